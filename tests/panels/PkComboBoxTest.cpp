// The pack's combo box: type-ahead on a fake clock, Backspace and invalid keys, read-only mode, the
// wheel, auto-completion, state colours, the values list, and clicks through the open list.

#include "panels/PkComboBox.h"
#include "platform/gui/Forms.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QWheelEvent>
#include <QWindow>

using namespace kv;

namespace {

const char* const kSlopes[] = {"BW -6",  "BL -6",  "BW -12", "BL -12", "LK -12", "BW -18", "BL -18",
                               "BW -24", "BL -24", "LK -24", "BW -30", "BL -30", "LK -36", "BW -36",
                               "BL -36", "BW -42", "BL -42", "BW -48", "BL -48", "LK -48"};

// A combo box that counts its beeps and logs its events.
class Probe : public TPkComboBox {
public:
    explicit Probe(TComboBoxStyle style) : TPkComboBox(nullptr) {
        SetStyleValue(style);
        for (const char* s : kSlopes)
            Items()->Add(s);
        OnChange = [this](TObject*) { log += "change "; };
        OnClick = [this](TObject*) { log += "click "; };
    }
    void InvalidKeyBeep() override { ++beeps; }
    std::string Selected() const { return ItemIndex() < 0 ? std::string("-") : (*Items())[ItemIndex()]; }
    void Type(const std::string& keys) {
        for (char c : keys) {
            char k = c;
            KeyPress(k);
        }
    }
    void Back() {
        std::uint16_t k = VK_BACK;
        KeyDown(k, {});
    }
    int beeps = 0;
    std::string log;
};

struct Clocked {
    TVirtualClock clock;
    Clocked() { TScheduler::SetDefault(&clock); }
    ~Clocked() { TScheduler::SetDefault(nullptr); }
};

} // namespace

TEST(PkComboBoxTest, TypeAheadSequencesResetAfterAPause) {
    Clocked c;
    Probe cb(TComboBoxStyle::csDropDownList);
    cb.Type("L");
    EXPECT_EQ(cb.Selected(), "LK -12");
    EXPECT_EQ(cb.log, "click change ");
    c.clock.Advance(1000);
    cb.Type("K -4");
    EXPECT_EQ(cb.Selected(), "LK -48");
    EXPECT_EQ(cb.SearchString(), "LK -4");
    // Each key restarts the 1500 ms; only a full pause clears the search text.
    c.clock.Advance(1499);
    EXPECT_EQ(cb.SearchString(), "LK -4");
    c.clock.Advance(1);
    EXPECT_EQ(cb.SearchString(), "");
    cb.Type("B");
    EXPECT_EQ(cb.Selected(), "BW -6");
}

TEST(PkComboBoxTest, TypeAheadThroughTheWidgetsKeyEvents) {
    Clocked c;
    Probe cb(TComboBoxStyle::csDropDownList);
    for (char ch : std::string("LK -4")) {
        QKeyEvent press(QEvent::KeyPress,
                        ch == ' '   ? Qt::Key_Space
                        : ch == '-' ? Qt::Key_Minus
                                    : Qt::Key_A + 0,
                        Qt::NoModifier, QString(QChar(ch)));
        QApplication::sendEvent(cb.Widget(), &press);
    }
    EXPECT_EQ(cb.Selected(), "LK -48") << "the platform's own keyboard search stays out";
}

TEST(PkComboBoxTest, InvalidKeysAndBackspace) {
    Clocked c;
    Probe cb(TComboBoxStyle::csDropDownList);
    cb.Type("BL");
    EXPECT_EQ(cb.Selected(), "BL -6");
    cb.log.clear();
    cb.Type("x");
    EXPECT_EQ(cb.beeps, 1);
    EXPECT_EQ(cb.Selected(), "BL -6") << "a key that matches nothing changes nothing";
    EXPECT_EQ(cb.SearchString(), "BL");
    EXPECT_EQ(cb.log, "");
    cb.Back();
    EXPECT_EQ(cb.SearchString(), "B");
    EXPECT_EQ(cb.Selected(), "BW -6");
    cb.Back();
    EXPECT_EQ(cb.SearchString(), "");
    EXPECT_EQ(cb.Selected(), "BW -6");
    cb.SetItemIndex(5);
    cb.Back();
    EXPECT_EQ(cb.beeps, 2) << "Backspace on an empty search text beeps";
    EXPECT_EQ(cb.Selected(), "BW -6") << "and selects the first item";
}

TEST(PkComboBoxTest, ReadOnlyIgnoresKeysAndWheelAndPaintsNoButton) {
    Clocked c;
    Probe cb(TComboBoxStyle::csDropDownList);
    cb.SetBounds(0, 0, 80, 22);
    cb.SetItemIndex(3);
    cb.SetReadOnly(true);
    cb.Type("L");
    cb.Back();
    std::uint16_t down = VK_DOWN;
    EXPECT_TRUE(cb.KeyDown(down, {}));
    EXPECT_TRUE(cb.DoMouseWheel({}, -120, {0, 0}));
    EXPECT_EQ(cb.ItemIndex(), 3);
    EXPECT_EQ(cb.log, "");
    EXPECT_EQ(cb.Color(), clInfoBk);
    QImage img = cb.RenderToImage();
    const TRect button{80 - 17 - 2, 2, 78, 20};
    for (int y = button.Top; y < button.Bottom; ++y)
        for (int x = button.Left; x < button.Right; ++x)
            ASSERT_EQ(img.pixel(x, y) & 0xFFFFFFu, ToQRgb(clInfoBk) & 0xFFFFFFu) << x << "," << y;
    cb.SetReadOnly(false);
    EXPECT_EQ(cb.Color(), clWindow);
}

TEST(PkComboBoxTest, WheelStepsAndTheirEvents) {
    struct Case {
        const char* what;
        int start, delta, end;
        const char* log;
    } cases[] = {
        {"down moves on", 3, -120, 4, "click change "},
        {"down on the last item keeps it", 19, -120, 19, ""},
        {"up moves back", 3, 120, 2, "click change "},
        {"up on the first item keeps it", 0, 120, 0, ""},
        {"up from no selection selects the first item", -1, 120, 0, "click change "},
        {"down from no selection selects the first item", -1, -120, 0, "click change "},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        Probe cb(TComboBoxStyle::csDropDownList);
        cb.SetItemIndex(k.start);
        EXPECT_TRUE(cb.DoMouseWheel({}, k.delta, {0, 0})) << "the wheel is always taken";
        EXPECT_EQ(cb.ItemIndex(), k.end);
        EXPECT_EQ(cb.log, k.log);
    }
    // A handler that sets handled keeps the selection, and the wheel is still taken.
    Probe cb(TComboBoxStyle::csDropDownList);
    cb.SetItemIndex(3);
    cb.OnMouseWheel = [](TObject*, TShiftState, int, TPoint, bool& handled) { handled = true; };
    QWheelEvent wheel(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(cb.Widget(), &wheel);
    EXPECT_EQ(cb.ItemIndex(), 3);
}

TEST(PkComboBoxTest, SelectionByCodeRaisesNothingAndValuesFollowTheList) {
    Probe cb(TComboBoxStyle::csDropDownList);
    cb.SetItemIndex(19);
    cb.FindItem("BW -12");
    cb.FindClosestItem("lk -2");
    EXPECT_EQ(cb.Selected(), "LK -24");
    EXPECT_EQ(cb.log, "");

    TPkComboBox v(nullptr);
    v.SetStyleValue(TComboBoxStyle::csDropDownList);
    v.AddItemValue("Low", "L");
    v.AddItemValue("High", "");
    EXPECT_EQ(v.GetItemValue(0), "L");
    EXPECT_EQ(v.GetItemValue(1), "High") << "an empty value falls back to the item";
    EXPECT_EQ(v.GetItemValue(7), "") << "past both lists";
    v.SetValue("High");
    EXPECT_EQ(v.ItemIndex(), 1);
    v.SetValue("L");
    EXPECT_EQ(v.ItemIndex(), 0);
    EXPECT_EQ(v.GetValue(), "L");
    v.SetValue("none");
    EXPECT_EQ(v.ItemIndex(), -1);
}

TEST(PkComboBoxTest, EditableStyleCompletesAndRefusesUnknownTextWithoutAllowEdit) {
    // Through a list style and back: the new edit part is set up as the first was.
    Probe cb(TComboBoxStyle::csDropDownList);
    cb.SetStyleValue(TComboBoxStyle::csDropDown);
    QLineEdit* e = cb.EditPart(); // made when first needed
    ASSERT_NE(e, nullptr);
    cb.Type("lk");
    EXPECT_EQ(cb.Selected(), "LK -12");
    EXPECT_EQ(e->text().toStdString(), "LK -12");
    EXPECT_EQ(e->selectedText().toStdString(), " -12") << "the untyped tail is selected";
    EXPECT_EQ(e->cursorPosition(), 2);
    cb.SetAllowEdit(false);
    char q = 'q';
    EXPECT_TRUE(cb.KeyPress(q)) << "dropped";
    EXPECT_EQ(cb.beeps, 1);
    EXPECT_EQ(cb.SearchString(), "lk");
    cb.SetAllowEdit(true);
    EXPECT_FALSE(cb.KeyPress(q)) << "free text goes to the edit";
}

TEST(PkComboBoxTest, StateColours) {
    Probe cb(TComboBoxStyle::csDropDownList);
    cb.SetColor(RGB(255, 255, 223));
    EXPECT_EQ(cb.FocusColor(), RGB(255, 255, 223)) << "a focus colour equal to the colour follows it";
    cb.DoEnter();
    EXPECT_EQ(cb.Color(), RGB(255, 255, 223)) << "no visible change on focus";
    cb.DoExit();
    cb.SetFocusColor(clAqua);
    cb.DoEnter();
    EXPECT_EQ(cb.Color(), clAqua);
    cb.DoExit();
    EXPECT_EQ(cb.Color(), RGB(255, 255, 223));
    cb.SetEnabled(false);
    EXPECT_EQ(cb.Color(), clBtnFace);
    cb.SetEnabled(true);
    EXPECT_EQ(cb.Color(), RGB(255, 255, 223));
}

// A drop-down list made in its style from the start ends as one switched to it after creation: no edit
// part, the same list, delegate and focus, and it takes keys the same way.
TEST(PkComboBoxTest, MadeAsDropDownListMatchesOneSwitchedToIt) {
    Clocked c;
    TPkComboBox switched(nullptr);
    switched.SetStyleValue(TComboBoxStyle::csDropDownList);
    TPkComboBox made(nullptr, TComboBoxStyle::csDropDownList);
    made.SetStyleValue(TComboBoxStyle::csDropDownList);
    for (TPkComboBox* cb : {&switched, &made}) {
        for (const char* s : kSlopes)
            cb->Items()->Add(s);
        cb->SetItemIndex(3);
    }
    auto* a = static_cast<QComboBox*>(switched.Widget());
    auto* b = static_cast<QComboBox*>(made.Widget());
    EXPECT_EQ(made.Style(), TComboBoxStyle::csDropDownList);
    EXPECT_FALSE(b->isEditable());
    EXPECT_EQ(b->lineEdit(), nullptr);
    EXPECT_EQ(b->count(), a->count());
    EXPECT_EQ(b->currentIndex(), a->currentIndex());
    EXPECT_EQ(b->currentText(), a->currentText());
    EXPECT_EQ(b->size(), a->size());
    EXPECT_EQ(b->focusPolicy(), a->focusPolicy());
    EXPECT_EQ(b->testAttribute(Qt::WA_InputMethodEnabled), a->testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_EQ(b->view()->verticalScrollBarPolicy(), a->view()->verticalScrollBarPolicy());
    EXPECT_STREQ(b->itemDelegate()->metaObject()->className(), a->itemDelegate()->metaObject()->className());
    EXPECT_EQ(b->maxVisibleItems(), a->maxVisibleItems());

    for (TPkComboBox* cb : {&switched, &made}) {
        char k = 'L';
        cb->KeyPress(k);
    }
    EXPECT_EQ(made.ItemIndex(), switched.ItemIndex());
}

namespace {

// Mouse and keys as the window system delivers them: to a window, which hands them on (to the open list
// while one is open).
void ClickWindow(QWidget* widget, QPoint at) {
    QWindow* window = widget->window()->windowHandle();
    const QPoint p = widget->mapTo(widget->window(), at);
    QTest::mousePress(window, Qt::LeftButton, {}, p);
    QTest::mouseRelease(window, Qt::LeftButton, {}, p);
}

// A click on item `row` of the combo box's open list, scrolled into view first as the user would.
void ClickItem(QComboBox* combo, int row) {
    QAbstractItemView* view = combo->view();
    const QModelIndex index = view->model()->index(row, 0);
    view->scrollTo(index);
    ClickWindow(view->viewport(), view->visualRect(index).center());
}

} // namespace

// A click on the drop button opens the list and leaves it open; a click on an item picks it and closes
// the list; Escape closes it and keeps the selection. Both styles, as the main window and the band
// tables use them.
TEST(PkComboBoxTest, AClickOpensTheListAndAClickOnAnItemPicksIt) {
    for (TComboBoxStyle style : {TComboBoxStyle::csDropDown, TComboBoxStyle::csDropDownList}) {
        SCOPED_TRACE(style == TComboBoxStyle::csDropDown ? "editable" : "list");
        TForm form(nullptr);
        form.SetBounds(0, 0, 300, 400);
        Probe cb(style);
        cb.SetParent(&form);
        cb.SetBounds(10, 10, 60, 22);
        cb.SetItemIndex(19);
        std::string ends;
        cb.OnSelEndOk = [&](TObject*) { ends += "ok "; };
        cb.OnSelEndCancel = [&](TObject*) { ends += "cancel "; };
        form.Show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.Widget()->windowHandle()));
        auto* combo = static_cast<QComboBox*>(cb.Widget());
        const QPoint button(52, 11);

        ClickWindow(combo, button);
        ASSERT_TRUE(cb.DroppedDown()) << "the release of the opening click leaves the list open";
        EXPECT_EQ(cb.log, "");
        ClickItem(combo, 2);
        EXPECT_FALSE(cb.DroppedDown());
        EXPECT_EQ(cb.Selected(), "BW -12");
        EXPECT_EQ(cb.log, "click change ");
        EXPECT_EQ(ends, "ok ");

        cb.log.clear();
        ClickWindow(combo, button);
        ASSERT_TRUE(cb.DroppedDown());
        QTest::keyClick(combo->view()->window()->windowHandle(), Qt::Key_Escape);
        EXPECT_FALSE(cb.DroppedDown());
        EXPECT_EQ(cb.Selected(), "BW -12");
        EXPECT_EQ(cb.log, "") << "Escape picks nothing";
        EXPECT_EQ(ends, "ok cancel ");
    }
}

// Text set from code in the editable style selects the first item that starts with it, case aside, and
// shows that item with its untyped tail selected; text that starts no item stays as set, unselected.
TEST(PkComboBoxTest, TextSetFromCodeSelectsTheFirstMatchingItem) {
    Probe cb(TComboBoxStyle::csDropDown);
    QLineEdit* e = cb.EditPart(); // made when first needed
    ASSERT_NE(e, nullptr);
    struct Case {
        const char* text;
        const char* selected;
        const char* shown;
        const char* tail;
    };
    const Case cases[] = {
        {"LK -48", "LK -48", "LK -48", ""},
        {"bl -1", "BL -12", "BL -12", "2"},
        {"LK", "LK -12", "LK -12", " -12"},
        {"xyz", "-", "xyz", ""},
        {"", "-", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        cb.SetItemIndex(5);
        cb.SetText(c.text);
        EXPECT_EQ(cb.Selected(), c.selected);
        EXPECT_EQ(e->text().toStdString(), c.shown);
        EXPECT_EQ(e->selectedText().toStdString(), c.tail);
        EXPECT_EQ(cb.SearchString(), c.text);
    }
    EXPECT_EQ(cb.log, "") << "no events for text set from code";

    // The drop-down list takes only an exact item, as before.
    Probe list(TComboBoxStyle::csDropDownList);
    list.SetText("LK");
    EXPECT_EQ(list.Selected(), "-");
    list.SetText("lk -24");
    EXPECT_EQ(list.Selected(), "LK -24");
}
