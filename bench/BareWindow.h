#pragma once
// The bare Qt reference for the start-up figures: a window with the main window's controls as the
// plain Qt widgets of the same kinds (a label as a QLabel, an edit as a QLineEdit, a combo box as a
// QComboBox, a fader as a QSlider, a panel as a QFrame ...), in the same tree, at the same places, shown
// or hidden as they are. Plain Qt only, so that the bare program links nothing of the editor.

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QTabBar>
#include <QWidget>

#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace benchbare {

// One control of the window: its kind, its parent's index (-1: the window), its bounds and whether it
// is set visible.
struct Item {
    std::string kind;
    int parent = -1;
    int x = 0, y = 0, w = 0, h = 0;
    bool visible = true;
};

struct Plan {
    int width = 0, height = 0;
    std::vector<Item> items;
};

inline bool Write(const Plan& s, const std::string& path) {
    std::ofstream f(path);
    f << s.width << ' ' << s.height << '\n';
    for (const Item& i : s.items)
        f << i.kind << ' ' << i.parent << ' ' << i.x << ' ' << i.y << ' ' << i.w << ' ' << i.h << ' '
          << i.visible << '\n';
    return static_cast<bool>(f);
}

inline bool Read(Plan& s, const std::string& path) {
    std::ifstream f(path);
    if (!(f >> s.width >> s.height))
        return false;
    Item i;
    while (f >> i.kind >> i.parent >> i.x >> i.y >> i.w >> i.h >> i.visible)
        s.items.push_back(i);
    return true;
}

// A control that paints itself (a graph, a meter, a picture): one widget that fills its rectangle.
class Painted : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), QColor(40, 60, 80));
        p.setPen(Qt::white);
        p.drawLine(0, height(), width(), 0);
    }
};

class Window : public QWidget {
public:
    explicit Window(const Plan& s) {
        resize(s.width, s.height);
        std::vector<QWidget*> made;
        made.reserve(s.items.size());
        for (const Item& i : s.items) {
            QWidget* parent = i.parent >= 0 && i.parent < static_cast<int>(made.size()) ? made[i.parent] : this;
            QWidget* w = Make(i.kind, parent);
            w->setGeometry(i.x, i.y, i.w, i.h);
            w->setVisible(i.visible);
            made.push_back(w);
        }
    }
    int paints = 0;
    std::function<void()> onFirstPaint;

protected:
    void paintEvent(QPaintEvent*) override {
        if (++paints == 1 && onFirstPaint)
            onFirstPaint();
    }

private:
    static QWidget* Make(const std::string& kind, QWidget* parent) {
        if (kind == "label")
            return new QLabel("Label", parent);
        if (kind == "button")
            return new QPushButton("Button", parent);
        if (kind == "check")
            return new QCheckBox("Check", parent);
        if (kind == "radio")
            return new QRadioButton("Radio", parent);
        if (kind == "slider")
            return new QSlider(Qt::Vertical, parent);
        if (kind == "progress")
            return new QProgressBar(parent);
        if (kind == "edit")
            return new QLineEdit("0.0", parent);
        if (kind == "combo" || kind == "editcombo") {
            auto* c = new QComboBox(parent);
            c->setEditable(kind == "editcombo");
            c->addItems({"One", "Two", "Three"});
            return c;
        }
        if (kind == "list") {
            auto* l = new QListWidget(parent);
            l->addItems({"One", "Two", "Three"});
            return l;
        }
        if (kind == "memo")
            return new QPlainTextEdit(parent);
        if (kind == "scroll")
            return new QScrollArea(parent);
        if (kind == "tabs") {
            auto* t = new QTabBar(parent);
            t->addTab("One");
            t->addTab("Two");
            return t;
        }
        if (kind == "panel") {
            auto* f = new QFrame(parent);
            f->setFrameShape(QFrame::StyledPanel);
            return f;
        }
        return new Painted(parent);
    }
};

} // namespace benchbare
