#pragma once
// Tells a control when the mouse enters or leaves its widget: the pack's controls react to these
// as the old framework's mouse-enter and mouse-leave notifications, which the bridge does not forward.

#include <QEvent>
#include <QObject>
#include <QWidget>

#include <functional>
#include <utility>

namespace kv {

class TPkMouseWatch : public QObject {
public:
    TPkMouseWatch(QWidget* widget, std::function<void()> enter, std::function<void()> leave)
        : FWidget(widget), FEnter(std::move(enter)), FLeave(std::move(leave)) {
        FWidget->installEventFilter(this);
    }
    ~TPkMouseWatch() override { FWidget->removeEventFilter(this); }
    TPkMouseWatch(const TPkMouseWatch&) = delete;
    TPkMouseWatch& operator=(const TPkMouseWatch&) = delete;

    // Children of the widget (the edit part of a combo box) report through the same watch.
    void Watch(QWidget* child) { child->installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Enter && FEnter)
            FEnter();
        else if (e->type() == QEvent::Leave && FLeave)
            FLeave();
        return false;
    }

private:
    QWidget* FWidget;
    std::function<void()> FEnter, FLeave;
};

} // namespace kv
