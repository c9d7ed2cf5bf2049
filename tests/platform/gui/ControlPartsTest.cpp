// The Qt parts under the controls: made when first needed, painted alone where a control covers its
// rectangle, and let go in one pass when a window closes.

#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrls.h"
#include "platform/gui/StdEdits.h"
#include "platform/gui/StdLists.h"
#include "platform/gui/StdPanels.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTest>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

using namespace kv;

namespace {

// Mouse and keys as the window system delivers them: to the window, which hands them on (to the open
// list while one is open).
void Click(QWidget* widget, QPoint at) {
    QWindow* window = widget->window()->windowHandle();
    const QPoint p = widget->mapTo(widget->window(), at);
    QTest::mousePress(window, Qt::LeftButton, {}, p);
    QTest::mouseRelease(window, Qt::LeftButton, {}, p);
}

void Type(QWindow* window, const char* text) {
    for (const char* c = text; *c; ++c)
        QTest::keyClick(window, *c);
}

int WidgetsUnder(const QWidget* w) {
    return static_cast<int>(w->findChildren<QWidget*>().size());
}

// Counts events of one type that reach any object of the program.
class EventCounter : public QObject {
public:
    explicit EventCounter(QEvent::Type type) : FType(type) { qApp->installEventFilter(this); }
    ~EventCounter() override { qApp->removeEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == FType)
            ++count;
        return false;
    }

private:
    QEvent::Type FType;
};

// A combo box is its widget (and its edit part when it has one) until its list first drops down; a
// click drops the list, which scrolls as keys move through items that overflow it, and Enter picks.
// Both styles.
TEST(ControlPartsTest, ComboBoxMakesItsListWhenItFirstDropsDown) {
    for (TComboBoxStyle style : {TComboBoxStyle::csDropDown, TComboBoxStyle::csDropDownList}) {
        const bool editable = style == TComboBoxStyle::csDropDown;
        SCOPED_TRACE(editable ? "editable" : "list");
        TForm form(nullptr);
        form.SetBounds(0, 0, 300, 300);
        auto* cb = new TComboBox(&form, style);
        cb->SetParent(&form);
        cb->SetBounds(10, 10, 120, 22);
        for (int i = 0; i < 30; ++i)
            cb->Items()->Add("Item " + std::to_string(i));
        cb->SetItemIndex(0);
        std::string picked;
        cb->OnSelect = [&](TObject*) { picked = cb->Text(); };
        form.Show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.Widget()->windowHandle()));
        auto* combo = static_cast<QComboBox*>(cb->Widget());
        EXPECT_FALSE(cb->HasListView());
        EXPECT_EQ(WidgetsUnder(combo), editable ? 1 : 0);
        EXPECT_EQ(combo->isEditable(), editable);

        Click(combo, {combo->width() - 8, combo->height() / 2});
        ASSERT_TRUE(cb->HasListView());
        QAbstractItemView* view = cb->ListView();
        ASSERT_TRUE(QTest::qWaitFor([&] { return view->isVisible(); }));
        EXPECT_GT(view->verticalScrollBar()->maximum(), 0) << "30 items overflow the list";
        QWindow* list = view->window()->windowHandle();
        EXPECT_EQ(view->indexAt({4, 4}).row(), 0);
        for (int i = 0; i < 21; ++i)
            QTest::keyClick(list, Qt::Key_Down);
        EXPECT_GT(view->indexAt({4, 4}).row(), 0) << "the list scrolled to the current item";
        EXPECT_GT(view->verticalScrollBar()->value(), 0);
        QTest::keyClick(list, Qt::Key_Return);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !view->isVisible(); }));
        EXPECT_EQ(cb->ItemIndex(), 21);
        EXPECT_EQ(picked, "Item 21");
    }
}

// The parts made late behave as made at once: the edit part takes typed keys once focused, and a combo
// box switched from editable to a list keeps working.
TEST(ControlPartsTest, EditsTakeKeysWhenFocused) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 300, 200);
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    edit->SetBounds(10, 10, 100, 21);
    auto* cb = new TComboBox(&form);
    cb->SetParent(&form);
    cb->SetBounds(10, 50, 100, 22);
    cb->Items()->Add("Low");
    cb->Items()->Add("High");
    int changes = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    cb->OnChange = [&](TObject*) { ++changes; };
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.Widget()->windowHandle()));
    QWindow* window = form.Widget()->windowHandle();

    edit->SetFocus();
    Type(window, "12.5");
    EXPECT_EQ(edit->Text(), "12.5");
    cb->SetFocus();
    Type(window, "Mid");
    EXPECT_EQ(cb->Text(), "Mid");
    EXPECT_EQ(changes, 7);

    cb->SetStyle(TComboBoxStyle::csDropDownList);
    cb->SetItemIndex(1);
    EXPECT_EQ(cb->Text(), "High");
    cb->SetStyle(TComboBoxStyle::csDropDown);
    Type(window, "x");
    EXPECT_EQ(cb->Text(), "Highx");
}

// A control painted over its whole rectangle repaints alone; a transparent one has its parent paint
// what shows through it. Either way the window looks the same as rendered at once.
TEST(ControlPartsTest, OpaqueControlsRepaintWithoutTheirParents) {
    TForm form(nullptr);
    form.SetBounds(0, 0, 200, 160);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(0, 0, 200, 160);
    panel->SetColor(clYellow);
    auto* inner = new TPanel(&form);
    inner->SetParent(panel);
    inner->SetBounds(40, 40, 80, 60);
    inner->SetColor(clNavy);
    form.Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.Widget()->windowHandle()));
    QApplication::processEvents();

    int parentPaints = 0, innerPaints = 0;
    struct PaintWatch : QObject {
        int& count;
        PaintWatch(QWidget* w, int& n) : count(n) { w->installEventFilter(this); }
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint)
                ++count;
            return false;
        }
    };
    PaintWatch watchParent(panel->Widget(), parentPaints), watchInner(inner->Widget(), innerPaints);
    for (bool transparent : {false, true, false}) {
        SCOPED_TRACE(transparent ? "transparent" : "opaque");
        inner->SetTransparent(transparent);
        QApplication::processEvents();
        parentPaints = innerPaints = 0;
        inner->Invalidate();
        ASSERT_TRUE(QTest::qWaitFor([&] { return innerPaints > 0; }));
        EXPECT_EQ(parentPaints > 0, transparent);
        const QImage onScreen = form.Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        EXPECT_EQ(onScreen, form.RenderToImage());
        EXPECT_EQ(QColor(onScreen.pixel(80, 70)), transparent ? QColor(Qt::yellow) : QColor(0, 0, 128));
    }
}

// Closing a window lets its controls go where they are: no widget is moved out of the window, and no
// focus wanders through controls about to go. A control freed on its own leaves its parent's colour.
TEST(ControlPartsTest, WindowTeardownMovesNoWidgetAndNoFocus) {
    auto form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 400, 300);
    form->SetColor(clWhite);
    int enters = 0;
    std::vector<TEdit*> edits;
    for (int p = 0; p < 4; ++p) {
        auto* panel = new TPanel(form.get());
        panel->SetParent(form.get());
        panel->SetBounds(p * 100, 0, 100, 300);
        for (int i = 0; i < 10; ++i) {
            auto* edit = new TEdit(form.get());
            edit->SetParent(panel);
            edit->SetBounds(4, i * 25, 90, 21);
            edit->OnEnter = [&](TObject*) { ++enters; };
            edits.push_back(edit);
            auto* cb = new TComboBox(form.get());
            cb->SetParent(panel);
            cb->SetBounds(4, 260, 90, 22);
        }
    }
    auto* label = new TLabel(form.get());
    label->SetParent(form.get());
    label->SetBounds(0, 0, 50, 20);
    form->Show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form->Widget()->windowHandle()));

    // One control on its own: gone from its parent, which paints where it was.
    TPanel* first = static_cast<TPanel*>(form->Controls(0));
    first->SetColor(clGreen);
    const int before = first->ControlCount();
    delete edits.front();
    EXPECT_EQ(first->ControlCount(), before - 1);
    EXPECT_EQ(QColor(first->RenderToImage().pixel(10, 10)), QColor(0, 128, 0));

    edits.back()->SetFocus();
    ASSERT_TRUE(edits.back()->Focused());
    enters = 0;
    QPointer<QWidget> window = form->Widget();
    EventCounter moves(QEvent::ParentChange);
    EventCounter focusIns(QEvent::FocusIn);
    form.reset();
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(moves.count, 0) << "widgets re-parented while their window went";
    EXPECT_EQ(focusIns.count, 0);
    EXPECT_EQ(enters, 0);
}

} // namespace
