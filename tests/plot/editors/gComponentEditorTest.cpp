#include "plot/editors/gComponentEditor.h"

#include "plot/gClasses.h"
#include "plot/gDraw.h"

#include "platform/gui/Dialogs.h"
#include "tests/support/VirtualClock.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QWidget>

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace kv;

namespace {

// An editor form that counts the kit's user-change notifications.
class KitForm : public TgCustomEditorForm {
public:
    KitForm() : TgCustomEditorForm(nullptr) { SetBounds(0, 0, 400, 300); }
    void UserChange() override { ++userChanges; }
    int userChanges = 0;
};

template <class T> T* KitMake(KitForm& form, TWinControl* parent, int l, int t, int w, int h) {
    auto* c = new T(&form);
    c->SetParent(parent);
    c->SetBounds(l, t, w, h);
    return c;
}

// Sends a key through Qt, as the keyboard would.
void KitKey(TWinControl* control, int key, const QString& text = {}, Qt::KeyboardModifiers mods = {}) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(control->Widget(), &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(control->Widget(), &release);
}

void KitType(TWinControl* control, const std::string& text) {
    for (char c : text)
        KitKey(control, c >= '0' && c <= '9' ? Qt::Key_0 + (c - '0') : Qt::Key_A, QString(QChar(c)));
}

// --------------------------------------------------------------------------------------------------
// Edit

TEST(gComponentEditorEdit, ReadsNumbersFromTrimmedTextAndZeroForTheRest) {
    KitForm form;
    auto* edit = KitMake<TgComponentEditorEdit>(form, &form, 0, 0, 80, 21);
    struct Case {
        const char* text;
        int asInteger;
        double asFloat;
    };
    const Case cases[] = {
        {" 7 ", 7, 7},     {"letters", 0, 0}, {"", 0, 0},
        {"-12", -12, -12}, {" 2.5 ", 0, 2.5}, {"99999999999", 0, 99999999999.0},
        {"inf", 0, 0},     {"nan", 0, 0},
    };
    for (const Case& c : cases) {
        edit->SetAsString(c.text);
        EXPECT_EQ(edit->AsInteger(), c.asInteger) << '"' << c.text << '"';
        EXPECT_EQ(edit->AsFloat(), c.asFloat) << '"' << c.text << '"';
    }
    // What a setter writes reads back through the matching getter.
    for (double v : {0.1, -1.25, 100.109375, 1e14 + 0.25, 123456789.123456, -3e-7}) {
        edit->SetAsFloat(v);
        EXPECT_EQ(edit->AsFloat(), v) << edit->Text();
    }
    edit->SetAsInteger(-2147483647 - 1);
    EXPECT_EQ(edit->AsInteger(), -2147483647 - 1);
    for (double v : {0.0, 1.5, 45000.000123, -1.25, 2958465.999988426}) {
        edit->SetAsDateTime(v);
        EXPECT_NEAR(edit->AsDateTime(), v, 0.5 / 86400000) << edit->Text();
    }
    edit->SetAsString("31.02.2020");
    EXPECT_THROW(edit->AsDateTime(), EConvertError);
    edit->SetAsString("2020-02-30");
    EXPECT_THROW(edit->AsDateTime(), EConvertError);
    edit->SetAsString("2020-02-29 25:00");
    EXPECT_THROW(edit->AsDateTime(), EConvertError);
    edit->SetAsString("1899-12-31 12:00");
    EXPECT_DOUBLE_EQ(edit->AsDateTime(), 1.5);
}

TEST(gComponentEditorEdit, QuietSettersAndDisableFireNothing) {
    KitForm form;
    auto* edit = KitMake<TgComponentEditorEdit>(form, &form, 0, 0, 80, 21);
    int changes = 0, updates = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    edit->OnUpdate = [&](TObject*) { ++updates; };
    edit->SetAsInteger(5);
    edit->SetAsString("x");
    edit->SetAsFloat(2.5);
    edit->SetAsDateTime(1.5);
    edit->CommitText(); // the quiet text is the committed one
    EXPECT_EQ(changes + updates + form.userChanges, 0);
    EXPECT_TRUE(edit->OnChange) << "the detached event is back";
    EXPECT_FALSE(edit->BlockingEvents());

    edit->SetAsString("keep");
    edit->DisableNoClear();
    EXPECT_EQ(edit->Text(), "keep");
    EXPECT_EQ(edit->Color(), clBtnFace);
    edit->Enable();
    EXPECT_EQ(edit->Color(), clWindow);
    edit->Disable();
    EXPECT_EQ(edit->Text(), "");
    EXPECT_EQ(edit->OriginalText(), "");
    EXPECT_FALSE(edit->Enabled());
    EXPECT_EQ(edit->Color(), clBtnFace);
    EXPECT_EQ(changes + updates + form.userChanges, 0);

    // The with-event setters act as a user: OnChange, UserChange, then the commit's OnUpdate.
    edit->Enable();
    std::vector<std::string> order;
    edit->OnChange = [&](TObject*) { order.push_back("change"); };
    edit->OnUpdate = [&](TObject*) { order.push_back("update:" + std::to_string(form.userChanges)); };
    edit->SetIntegerWithEvent(3);
    EXPECT_EQ(order, (std::vector<std::string>{"change", "update:1"}));
    EXPECT_EQ(form.userChanges, 2) << "the commit reports the change too";
    edit->SetDoubleWithEvent(3);
    EXPECT_EQ(order.size(), 2u) << "the same text changes and commits nothing";
}

TEST(gComponentEditorEdit, EscapeRestoresAndEnterCommitsOnce) {
    KitForm form;
    auto* edit = KitMake<TgComponentEditorEdit>(form, &form, 0, 0, 80, 21);
    edit->SetAsInteger(5);
    int changes = 0, updates = 0;
    edit->OnChange = [&](TObject*) { ++changes; };
    edit->OnUpdate = [&](TObject*) { ++updates; };

    KitType(edit, "12");
    EXPECT_EQ(edit->Text(), "512");
    KitKey(edit, Qt::Key_Escape, "\x1b");
    EXPECT_EQ(edit->Text(), "5");
    EXPECT_EQ(updates, 0);
    EXPECT_EQ(form.userChanges, 0);

    EXPECT_EQ(edit->Widget()->property("selectedText").toString(), "5") << "Escape selects all";
    KitKey(edit, Qt::Key_End);
    KitType(edit, "3");
    changes = 0;
    KitKey(edit, Qt::Key_Return, "\r");
    EXPECT_EQ(edit->Text(), "53") << "Enter adds no character";
    EXPECT_EQ(updates, 1);
    EXPECT_EQ(form.userChanges, 1);
    KitKey(edit, Qt::Key_Return, "\r");
    EXPECT_EQ(updates, 1) << "nothing changed since the commit";
    EXPECT_EQ(changes, 0);

    // Leaving the edit commits too.
    KitKey(edit, Qt::Key_End);
    KitType(edit, "4");
    edit->DoExit();
    EXPECT_EQ(updates, 2);
    EXPECT_EQ(edit->OriginalText(), "534");
}

TEST(gComponentEditorEdit, EnterDoesNotPressTheDefaultButton) {
    KitForm form;
    auto* edit = KitMake<TgComponentEditorEdit>(form, &form, 0, 0, 80, 21);
    auto* ok = KitMake<TgComponentEditorButton>(form, &form, 0, 30, 75, 25);
    ok->SetDefault(true);
    int clicks = 0;
    ok->OnClick = [&](TObject*) { ++clicks; };
    KitType(edit, "1");
    KitKey(edit, Qt::Key_Return, "\r");
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(edit->OriginalText(), "1");
}

TEST(gComponentEditorEdit, ClaimsOnlyTheLeftAndRightArrows) {
    for (std::uint16_t key : {VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_TAB, VK_RETURN})
        EXPECT_EQ(gEditorWantsArrow(key), key == VK_LEFT || key == VK_RIGHT) << key;
    // Left and Right move the caret; the page control around the edit keeps its page.
    KitForm form;
    auto* pages = KitMake<TgComponentEditorPageControl>(form, &form, 0, 0, 300, 200);
    auto* one = new TTabSheet(&form);
    one->SetPageControl(pages);
    auto* two = new TTabSheet(&form);
    two->SetPageControl(pages);
    pages->SetActivePage(one);
    auto* edit = KitMake<TgComponentEditorEdit>(form, one, 5, 5, 80, 21);
    edit->SetAsString("ab");
    KitKey(edit, Qt::Key_Left);
    KitKey(edit, Qt::Key_Right);
    EXPECT_EQ(pages->ActivePage(), one);
    EXPECT_EQ(edit->Text(), "ab");
}

// --------------------------------------------------------------------------------------------------
// Tab navigation

TEST(gComponentEditorKit, TabMovesThroughTheFormInTabOrderAlsoInsidePages) {
    KitForm form;
    auto* pages = KitMake<TgComponentEditorPageControl>(form, &form, 0, 0, 300, 150);
    pages->SetTabOrder(0);
    auto* sheet = new TTabSheet(&form);
    sheet->SetPageControl(pages);
    auto* hidden = new TTabSheet(&form);
    hidden->SetPageControl(pages);
    pages->SetActivePage(sheet);
    auto* second = KitMake<TgComponentEditorEdit>(form, sheet, 5, 40, 80, 21);
    second->SetTabOrder(1);
    auto* first = KitMake<TgComponentEditorEdit>(form, sheet, 5, 5, 80, 21);
    first->SetTabOrder(0);
    auto* onHiddenPage = KitMake<TgComponentEditorEdit>(form, hidden, 5, 5, 80, 21);
    (void)onHiddenPage;
    auto* combo = KitMake<TgComponentEditorComboBox>(form, &form, 5, 160, 100, 21);
    combo->SetTabOrder(1);
    auto* disabled = KitMake<TgComponentEditorEdit>(form, &form, 120, 160, 80, 21);
    disabled->SetTabOrder(2);
    disabled->Disable();
    auto* button = KitMake<TgComponentEditorButton>(form, &form, 5, 190, 75, 25);
    button->SetTabOrder(3);
    auto* color = KitMake<TgComponentEditorColorPicker>(form, &form, 100, 190, 47, 21);
    color->SetTabOrder(4);

    EXPECT_EQ(gEditorTabList(&form), (std::vector<TWinControl*>{pages, first, second, combo, button, color}));

    form.Show();
    QApplication::setActiveWindow(form.Widget()->window());
    first->SetFocus();
    QApplication::processEvents();
    ASSERT_TRUE(first->Focused());
    gSetKeyStateForTests(0, 0);
    std::vector<TWinControl*> seen;
    for (int i = 0; i < 5; ++i) {
        TWinControl* now = nullptr;
        for (TWinControl* c : gEditorTabList(&form))
            if (c->Focused())
                now = c;
        ASSERT_TRUE(now) << "step " << i;
        KitKey(now, Qt::Key_Tab, "\t");
        QApplication::processEvents();
        for (TWinControl* c : gEditorTabList(&form))
            if (c->Focused())
                seen.push_back(c);
    }
    EXPECT_EQ(seen, (std::vector<TWinControl*>{second, combo, button, color, pages}));

    // Tab on the colour picker's own button moves on from the picker.
    color->Button()->Widget()->setFocus();
    QApplication::processEvents();
    KitKey(color->Button(), Qt::Key_Tab, "\t");
    QApplication::processEvents();
    EXPECT_TRUE(pages->Focused());
    KitKey(pages, Qt::Key_Tab, "\t");
    QApplication::processEvents();
    ASSERT_TRUE(first->Focused());

    // Shift+Tab goes back, wrapping round.
    gSetKeyStateForTests(1, 0);
    KitKey(first, Qt::Key_Backtab, "\t", Qt::ShiftModifier);
    QApplication::processEvents();
    EXPECT_TRUE(pages->Focused());
    KitKey(pages, Qt::Key_Backtab, "\t", Qt::ShiftModifier);
    QApplication::processEvents();
    EXPECT_TRUE(color->Focused());
    gSetKeyStateForTests(-1, -1);
    form.Hide();
}

// --------------------------------------------------------------------------------------------------
// Up-down

class gUpDownTest : public ::testing::Test {
protected:
    void SetUp() override { TScheduler::SetDefault(&clock); }
    void TearDown() override { TScheduler::SetDefault(nullptr); }
    TVirtualClock clock;
};

TEST_F(gUpDownTest, StepsClampOnlyWithARange) {
    struct Case {
        int min, max, increment, start;
        bool up;
        int expected;
    };
    const Case cases[] = {
        {0, 0, 1, 5, true, 6},
        {0, 0, 1, -3, false, -4},
        {0, 0, 7, 0, false, -7},
        {0, 23, 1, 23, true, 23},
        {0, 23, 1, 0, false, 0},
        {0, 23, 1, 22, true, 23},
        {0, 999, 100, 950, true, 999},
        {0, 999, 100, 50, false, 0},
        {0, 0, 1, 2147483647, true, 2147483647},
        {0, 0, 1, -2147483647 - 1, false, -2147483647 - 1},
    };
    for (const Case& c : cases) {
        KitForm form;
        auto* edit = KitMake<TgComponentEditorEdit>(form, &form, 0, 0, 60, 21);
        auto* upDown = new TgUpDown(&form);
        upDown->SetParent(&form);
        upDown->SetMin(static_cast<std::int16_t>(c.min));
        upDown->SetMax(static_cast<std::int16_t>(c.max));
        upDown->SetIncrement(c.increment);
        upDown->SetAssociate(edit);
        EXPECT_EQ(upDown->BoundsRect(), (TRect{60, 0, 75, 21})) << "placed at the edit's right edge";
        edit->SetAsInteger(c.start);
        const int y = c.up ? 3 : 18;
        upDown->MouseDown(TMouseButton::mbLeft, {}, 7, y);
        upDown->MouseUp(TMouseButton::mbLeft, {}, 7, y);
        EXPECT_EQ(edit->AsInteger(), c.expected) << c.min << ".." << c.max << " from " << c.start;
    }
}

TEST_F(gUpDownTest, HeldButtonRepeatsAfter500MsThenEvery50AndFollowsThePointer) {
    KitForm form;
    auto* edit = KitMake<TgComponentEditorEdit>(form, &form, 0, 0, 60, 21);
    auto* upDown = new TgUpDown(&form);
    upDown->SetParent(&form);
    upDown->SetAssociate(edit);
    edit->SetAsInteger(5);
    int updates = 0;
    edit->OnUpdate = [&](TObject*) { ++updates; };

    upDown->MouseDown(TMouseButton::mbLeft, {}, 7, 3);
    EXPECT_EQ(edit->AsInteger(), 6) << "one step at once";
    EXPECT_TRUE(upDown->UpButtonPressed());
    EXPECT_EQ(updates, 1) << "a mouse step writes with events";
    EXPECT_EQ(form.userChanges, 2) << "UserChange from the write and from the commit";
    clock.Advance(499);
    EXPECT_EQ(edit->AsInteger(), 6);
    clock.Advance(1);
    EXPECT_EQ(edit->AsInteger(), 7);
    clock.Advance(50);
    EXPECT_EQ(edit->AsInteger(), 8);
    clock.Advance(100);
    EXPECT_EQ(edit->AsInteger(), 10);

    // Off the up half (here onto the down half, then onto neither): the steps count down.
    upDown->MouseMove({TShiftItem::ssLeft}, 7, 18);
    EXPECT_TRUE(upDown->DownButtonPressed());
    clock.Advance(50);
    EXPECT_EQ(edit->AsInteger(), 9);
    upDown->MouseMove({TShiftItem::ssLeft}, 40, 40);
    EXPECT_FALSE(upDown->UpButtonPressed());
    clock.Advance(50);
    EXPECT_EQ(edit->AsInteger(), 8);

    upDown->MouseUp(TMouseButton::mbLeft, {}, 40, 40);
    EXPECT_FALSE(upDown->TimerRunning());
    clock.Advance(1000);
    EXPECT_EQ(edit->AsInteger(), 8);

    // From code: quiet.
    updates = 0;
    form.userChanges = 0;
    upDown->SetAsInteger(42);
    EXPECT_EQ(edit->AsInteger(), 42);
    EXPECT_EQ(updates + form.userChanges, 0);

    // Pressing again starts over at 500 ms.
    upDown->MouseDown(TMouseButton::mbLeft, {}, 7, 3);
    EXPECT_EQ(upDown->TimerInterval(), 500u);
    upDown->MouseUp(TMouseButton::mbLeft, {}, 7, 3);
}

TEST_F(gUpDownTest, AStepTheEditRefusesEndsTheRepeat) {
    KitForm form;
    auto* edit = KitMake<TgComponentEditorEdit>(form, &form, 0, 0, 60, 21);
    auto* upDown = new TgUpDown(&form);
    upDown->SetParent(&form);
    upDown->SetAssociate(edit);
    edit->SetAsInteger(1);
    int calls = 0;
    edit->OnUpdate = [&](TObject*) {
        ++calls;
        throw EConvertError("Invalid argument to time encode");
    };
    EXPECT_THROW(upDown->MouseDown(TMouseButton::mbLeft, {}, 7, 3), EConvertError);
    EXPECT_FALSE(upDown->TimerRunning());
    EXPECT_FALSE(upDown->UpButtonPressed());
    clock.Advance(1000);
    EXPECT_EQ(calls, 1);
    upDown->MouseUp(TMouseButton::mbLeft, {}, 7, 3);

    // Once the handler accepts again, the spinner works as before (the flag of the failed step is gone).
    edit->OnUpdate = nullptr;
    upDown->SetAsInteger(5);
    EXPECT_EQ(form.userChanges, 1) << "a write from code is quiet again";
}

TEST_F(gUpDownTest, DisableTakesTheEditAlongAndAFreedEditIsForgotten) {
    KitForm form;
    auto* edit = KitMake<TgComponentEditorEdit>(form, &form, 0, 0, 60, 21);
    auto* upDown = new TgUpDown(&form);
    upDown->SetParent(&form);
    upDown->SetAssociate(edit);
    edit->SetAsInteger(3);
    upDown->Disable();
    EXPECT_FALSE(edit->Enabled());
    EXPECT_EQ(edit->Text(), "");
    upDown->Enable();
    EXPECT_TRUE(edit->Enabled());

    delete edit;
    EXPECT_EQ(upDown->Associate(), nullptr);
    EXPECT_EQ(upDown->AsInteger(), 0);
    upDown->MouseDown(TMouseButton::mbLeft, {}, 7, 3); // nothing to write
    upDown->MouseUp(TMouseButton::mbLeft, {}, 7, 3);
}

TEST_F(gUpDownTest, PaintsRaisedHalvesAndPressedOneSunken) {
    KitForm form;
    auto* upDown = new TgUpDown(&form);
    upDown->SetParent(&form);
    upDown->SetBounds(0, 0, 15, 21);
    auto paint = [&] {
        TBitmap bitmap;
        bitmap.SetSize(15, 21);
        bitmap.Canvas()->Brush()->SetColor(clBtnFace);
        bitmap.Canvas()->FillRect({0, 0, 15, 21});
        upDown->Paint(*bitmap.Canvas());
        return bitmap.Canvas()->Pixel(0, 0);
    };
    const TColor released = paint();
    EXPECT_EQ(upDown->UpButtonRect(), (TRect{0, 0, 15, 10}));
    EXPECT_EQ(upDown->DownButtonRect(), (TRect{0, 11, 15, 21}));
    upDown->MouseDown(TMouseButton::mbLeft, {}, 7, 3);
    const TColor pressed = paint();
    upDown->MouseUp(TMouseButton::mbLeft, {}, 7, 3);
    EXPECT_NE(released, pressed) << "the top-left edge changes from highlight to shadow";

    // The arrows: black when enabled, grey when disabled (centre of the up half: (7, 5)).
    TBitmap bitmap;
    bitmap.SetSize(15, 21);
    upDown->Paint(*bitmap.Canvas());
    EXPECT_EQ(bitmap.Canvas()->Pixel(7, 5), clBlack);
    upDown->SetEnabled(false);
    upDown->Paint(*bitmap.Canvas());
    EXPECT_EQ(bitmap.Canvas()->Pixel(7, 5), TColor(0x808080));
}

// --------------------------------------------------------------------------------------------------
// Check box, radio group, combo box

TEST(gComponentEditorCheckBox, QuietSetRestoresEventsAlsoWhenTheWriteThrows) {
    KitForm form;
    auto* box = KitMake<TgComponentEditorCheckBox>(form, &form, 0, 0, 100, 17);
    std::vector<std::string> order;
    box->OnChange = [&](TObject*) { order.push_back("change"); };
    box->OnClick = [&](TObject*) { order.push_back("click:" + std::to_string(form.userChanges)); };
    box->SetAsBoolean(true);
    EXPECT_TRUE(box->AsBoolean());
    EXPECT_TRUE(order.empty());
    EXPECT_EQ(form.userChanges, 0);

    box->OnRequestEdit = [](TObject*, const std::string&, bool&) { throw std::runtime_error("refused"); };
    EXPECT_THROW(box->SetAsBoolean(false), std::runtime_error);
    EXPECT_FALSE(box->BlockingEvents());
    EXPECT_TRUE(box->OnClick);
    EXPECT_TRUE(box->OnChange);
    box->OnRequestEdit = nullptr;

    // A change from code through the base: the base's events, UserChange, then OnClick.
    box->SetChecked(false);
    EXPECT_EQ(order, (std::vector<std::string>{"change", "click:1"}));

    order.clear();
    form.userChanges = 0;
    box->Disable();
    EXPECT_FALSE(box->AsBoolean());
    EXPECT_FALSE(box->Enabled());
    box->SetAsBoolean(true);
    box->Disable();
    EXPECT_FALSE(box->AsBoolean());
    EXPECT_TRUE(order.empty());
    EXPECT_EQ(form.userChanges, 0);
}

// A left click through Qt, as the mouse makes it.
void KitClick(TControl* control, int x, int y) {
    const QPointF p(x, y);
    QMouseEvent press(QEvent::MouseButtonPress, p, control->Widget()->mapToGlobal(p), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(control->Widget(), &press);
    QMouseEvent release(QEvent::MouseButtonRelease, p, control->Widget()->mapToGlobal(p), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(control->Widget(), &release);
}

TEST(gComponentEditorCheckBox, AUserClickReportsChangeThenUserChangeThenClick) {
    KitForm form;
    auto* box = KitMake<TgComponentEditorCheckBox>(form, &form, 0, 0, 100, 17);
    std::vector<std::string> order;
    box->OnChange = [&](TObject*) { order.push_back("change"); };
    box->OnChangeUser = [&](TObject*) { order.push_back("user"); };
    box->OnClick = [&](TObject*) { order.push_back("click:" + std::to_string(form.userChanges)); };
    KitClick(box, 5, 8);
    EXPECT_TRUE(box->AsBoolean());
    EXPECT_EQ(order, (std::vector<std::string>{"change", "user", "click:1"}));
}

TEST(gComponentEditorRadioGroup, AUserClickRunsClickAndUserChange) {
    KitForm form;
    auto* group = KitMake<TgComponentEditorRadioGroup>(form, &form, 0, 0, 120, 80);
    group->Items()->SetText("a\nb\nc");
    TBitmap scratch;
    scratch.SetSize(120, 80);
    group->CalcItemLayout(*scratch.Canvas());
    int clicks = 0, changes = 0;
    group->OnClick = [&](TObject*) { ++clicks; };
    group->OnChange = [&](TObject*) { ++changes; };
    const int y = group->ItemsRowStart() + static_cast<int>(group->ItemsRowSpacing());
    KitClick(group, 20, y);
    EXPECT_EQ(group->AsInteger(), 1);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(form.userChanges, 1);
}

TEST(gComponentEditorRadioGroup, QuietSetAndClick) {
    KitForm form;
    auto* group = KitMake<TgComponentEditorRadioGroup>(form, &form, 0, 0, 120, 80);
    group->Items()->SetText("a\nb\nc");
    int clicks = 0, changes = 0;
    group->OnClick = [&](TObject*) { ++clicks; };
    group->OnChange = [&](TObject*) { ++changes; };
    group->SetAsInteger(2);
    EXPECT_EQ(group->AsInteger(), 2);
    EXPECT_EQ(clicks + changes + form.userChanges, 0);

    group->OnChangeProtected = [](TObject*, const std::string&) { throw std::runtime_error("bad"); };
    EXPECT_THROW(group->SetAsInteger(0), std::runtime_error);
    EXPECT_FALSE(group->BlockingEvents());
    EXPECT_TRUE(group->OnClick && group->OnChange);
    group->OnChangeProtected = nullptr;

    group->Click();
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(form.userChanges, 1);

    group->Disable();
    EXPECT_EQ(group->AsInteger(), -1);
    EXPECT_FALSE(group->Enabled());
    EXPECT_EQ(changes, 0);
}

TEST(gComponentEditorComboBox, QuietSetAndAUserPickReportsUserChangeButNoClick) {
    KitForm form;
    auto* combo = KitMake<TgComponentEditorComboBox>(form, &form, 0, 0, 120, 21);
    combo->Items()->SetText("one\ntwo\nthree");
    int clicks = 0, changes = 0;
    combo->OnClick = [&](TObject*) { ++clicks; };
    combo->OnChange = [&](TObject*) { ++changes; };
    combo->SetAsInteger(1);
    EXPECT_EQ(combo->AsInteger(), 1);
    EXPECT_EQ(combo->AsString(), "two");
    combo->SetAsString("three");
    EXPECT_EQ(combo->AsInteger(), 2);
    EXPECT_EQ(clicks + changes + form.userChanges, 0);

    combo->UserSelect(0);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(form.userChanges, 1);

    combo->Disable();
    EXPECT_EQ(combo->AsInteger(), -1);
    EXPECT_EQ(combo->AsString(), "");
    EXPECT_EQ(combo->Color(), clBtnFace);
    EXPECT_EQ(changes, 1);
    combo->Enable();
    EXPECT_EQ(combo->Color(), clWindow);
}

// --------------------------------------------------------------------------------------------------
// List box

class KitItem : public TObject {
public:
    explicit KitItem(int& alive) : FAlive(alive) { ++FAlive; }
    ~KitItem() override { --FAlive; }

private:
    int& FAlive;
};

struct KitListFixture {
    KitForm form;
    TgComponentEditorListBox* list = KitMake<TgComponentEditorListBox>(form, &form, 0, 0, 120, 100);
    int alive = 0;
    std::vector<KitItem*> items;
    void Fill(int n) {
        for (int i = 0; i < n; ++i) {
            items.push_back(new KitItem(alive));
            list->Items()->AddObject(std::string(1, char('a' + i)), items.back());
        }
    }
    std::string Order() const {
        std::string s;
        for (int i = 0; i < list->Items()->Count(); ++i)
            s += (*list->Items())[i];
        return s;
    }
    ~KitListFixture() {
        for (int i = 0; i < list->Items()->Count(); ++i)
            delete list->Items()->Objects(i);
    }
};

TEST(gComponentEditorListBox, DeleteSelectedObjectFreesItAndKeepsASelection) {
    struct Case {
        int count, selected;
        const char* left;
        int selectedAfter;
    };
    const Case cases[] = {{3, 2, "ab", 1}, {3, 0, "bc", 0}, {3, 1, "ac", 1}, {1, 0, "", -1}, {0, -1, "", -1}};
    for (const Case& c : cases) {
        KitListFixture f;
        f.Fill(c.count);
        f.list->SetItemIndex(c.selected);
        f.list->DeleteSelectedObject();
        EXPECT_EQ(f.Order(), c.left) << c.count << "/" << c.selected;
        EXPECT_EQ(f.list->ItemIndex(), c.selectedAfter) << c.count << "/" << c.selected;
        EXPECT_EQ(f.alive, f.list->Items()->Count()) << "the removed entry's object is freed";
    }
    KitListFixture f;
    f.list->SelectLast();
    EXPECT_EQ(f.list->ItemIndex(), -1);
    f.Fill(3);
    f.list->SelectLast();
    EXPECT_EQ(f.list->ItemIndex(), 2);
}

TEST(gComponentEditorListBox, DeleteObjectIndexKeepsTheObjectAndIgnoresAnAbsentOne) {
    KitListFixture f;
    f.Fill(3);
    f.list->SetItemIndex(1);
    int outsider = 0;
    KitItem absent(outsider);
    f.list->DeleteObjectIndex(&absent);
    EXPECT_EQ(f.Order(), "abc");
    EXPECT_EQ(f.list->ItemIndex(), 1);

    KitItem* last = f.items[2];
    f.list->DeleteObjectIndex(last);
    EXPECT_EQ(f.Order(), "ab");
    EXPECT_EQ(f.list->ItemIndex(), 1);
    EXPECT_EQ(f.alive, 3) << "not freed";
    f.list->DeleteObjectIndex(f.items[0]);
    EXPECT_EQ(f.Order(), "b");
    EXPECT_EQ(f.list->ItemIndex(), 0) << "index 1 is gone: the last entry";
    delete last;
    delete f.items[0];
}

TEST(gComponentEditorListBox, DragDropMovesTheSelectedEntry) {
    KitListFixture f;
    f.Fill(3);
    int moves = 0;
    f.list->OnItemMove = [&](TObject*) { ++moves; };
    const int h = f.list->ItemHeight();
    f.list->SetItemIndex(0);
    f.list->DragDrop(f.list, 5, h * 10); // below the last entry
    EXPECT_EQ(f.Order(), "bca");
    EXPECT_EQ(f.list->ItemIndex(), 2);
    EXPECT_EQ(f.list->Items()->Objects(2), f.items[0]) << "the object travels with its entry";
    EXPECT_EQ(moves, 1);

    f.list->DragDrop(f.list, 5, 2 * h + 1); // onto itself
    EXPECT_EQ(f.Order(), "bca");
    EXPECT_EQ(moves, 1);

    f.list->DragDrop(&f.form, 5, 0); // from another control
    EXPECT_EQ(f.Order(), "bca");
    EXPECT_FALSE(f.list->DragOver(&f.form));

    f.list->DragDrop(f.list, 5, 0);
    EXPECT_EQ(f.Order(), "abc");
    EXPECT_EQ(f.list->ItemIndex(), 0);
    EXPECT_EQ(moves, 2);

    // With the mouse: press on an entry, move, release over another.
    f.list->SetItemIndex(0);
    f.list->MouseDown(TMouseButton::mbLeft, {}, 5, 2);
    f.list->MouseMove({TShiftItem::ssLeft}, 5, h + 5);
    f.list->MouseUp(TMouseButton::mbLeft, {}, 5, h + 5);
    EXPECT_EQ(f.Order(), "bac");
    EXPECT_EQ(moves, 3);
}

TEST(gComponentEditorListBox, DrawsTheColourBoxAndTextFromOnGetData) {
    KitListFixture f;
    f.Fill(2);
    f.list->OnGetData = [&](int index, bool& box, TColor& color, std::string& text) {
        EXPECT_TRUE(box);
        EXPECT_EQ(color, TColor(255));
        EXPECT_EQ(text, index == 0 ? "a" : "b");
        box = index == 0;
        color = clBlue;
        text = "Channel";
    };
    TBitmap bitmap;
    bitmap.SetSize(120, 13);
    const TRect r{0, 0, 120, 13};
    f.list->DrawItem(0, *bitmap.Canvas(), r, false);
    EXPECT_EQ(bitmap.Canvas()->Pixel(10, 6), clBlue) << "inside the box";
    EXPECT_EQ(bitmap.Canvas()->Pixel(2, 6), clBlack) << "its frame";
    EXPECT_EQ(bitmap.Canvas()->Pixel(17, 6), clBlack);
    EXPECT_EQ(bitmap.Canvas()->Pixel(10, 0), ColorToRGB(clWindow)) << "one pixel free above";
    EXPECT_EQ(bitmap.Canvas()->Pixel(20, 6), ColorToRGB(clWindow)) << "text starts at 22";
    f.list->DrawItem(1, *bitmap.Canvas(), r, true);
    EXPECT_EQ(bitmap.Canvas()->Pixel(10, 0), TColor(0x808000)) << "selected: teal";
    bool textBeforeBoxEdge = false;
    for (int x = 2; x < 18; ++x)
        for (int y = 0; y < 13; ++y)
            textBeforeBoxEdge |= bitmap.Canvas()->Pixel(x, y) == clWhite;
    EXPECT_TRUE(textBeforeBoxEdge) << "without a box the text starts at 2";

    // On screen the list draws its entries the same way, one ItemHeight apart.
    f.list->SetItemIndex(1);
    const QImage shot = f.list->RenderToImage();
    if (const char* dir = std::getenv("KV_SHOT_DIR"))
        shot.save(QString::fromStdString(std::string(dir) + "/kit-list.png"));
    bool blueBox = false, tealRow = false;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x) {
            blueBox |= shot.pixel(x, y) == qRgb(0, 0, 255);
            tealRow |= shot.pixel(x, y) == qRgb(0, 128, 128) && y >= f.list->ItemHeight();
        }
    EXPECT_TRUE(blueBox);
    EXPECT_TRUE(tealRow);
}

// --------------------------------------------------------------------------------------------------
// Pickers

TEST(gComponentEditorPickers, OpenPickerStartsAFolderOnUntitledAndUsesTheDefaultDirOnce) {
    KitForm form;
    auto* picker = KitMake<TgComponentEditorOpenPicker>(form, &form, 0, 0, 75, 25);
    picker->SetDefaultDir("/data");
    std::vector<std::string> names, dirs;
    bool answer = false;
    TOpenDialog::ExecuteHook = [&](TOpenDialog& d) {
        names.push_back(d.FileName());
        dirs.push_back(d.InitialDir());
        if (answer)
            d.SetFileName("/data/run.txt");
        return answer;
    };
    int changes = 0;
    picker->OnChange = [&](TObject*) { ++changes; };
    picker->SetFileName("C:\\plots\\");
    EXPECT_FALSE(picker->Execute());
    picker->SetFileName("/tmp/plots/");
    answer = true;
    EXPECT_TRUE(picker->Execute());
    TOpenDialog::ExecuteHook = nullptr;
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], "C:\\plots\\Untitled");
    EXPECT_EQ(names[1], "/tmp/plots/Untitled");
    EXPECT_EQ(dirs[0], "/data");
    EXPECT_NE(dirs[1], "/data") << "only the first dialog starts in the default folder";
    EXPECT_EQ(picker->FileName(), "/data/run.txt");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(form.userChanges, 1);
}

TEST(gComponentEditorPickers, ColorPickerSetsQuietlyAndPaintsItsColour) {
    KitForm form;
    auto* picker = KitMake<TgComponentEditorColorPicker>(form, &form, 0, 0, 47, 21);
    EXPECT_EQ(picker->Color(), TColor(255));
    EXPECT_EQ(picker->Button()->BoundsRect(), (TRect{26, 0, 47, 21}));
    picker->SetBounds(0, 0, 80, 30);
    EXPECT_EQ(picker->Button()->BoundsRect(), (TRect{59, 0, 80, 30}));
    int changes = 0;
    picker->OnChange = [&](TObject*) { ++changes; };
    picker->SetColor(clLime);
    EXPECT_EQ(changes + form.userChanges, 0);
    TBitmap bitmap;
    bitmap.SetSize(80, 30);
    picker->Paint(*bitmap.Canvas());
    EXPECT_EQ(bitmap.Canvas()->Pixel(20, 15), clLime);
    EXPECT_EQ(bitmap.Canvas()->Pixel(0, 15), clBlack);
    picker->Disable();
    EXPECT_FALSE(picker->Button()->Enabled());
    picker->Paint(*bitmap.Canvas());
    EXPECT_EQ(bitmap.Canvas()->Pixel(20, 15), ColorToRGB(clBtnFace));
}

TEST(gComponentEditorPickers, ColorPickerRunsItsDialogFromTheButtonAndADoubleClick) {
    KitForm form;
    auto* picker = KitMake<TgComponentEditorColorPicker>(form, &form, 0, 0, 47, 21);
    picker->SetColor(clRed);
    std::vector<TColor> offered;
    bool answer = false;
    TColorDialog::ExecuteHook = [&](TColorDialog& d) {
        offered.push_back(d.Color());
        if (answer)
            d.SetColor(clBlue);
        return answer;
    };
    std::vector<std::string> order;
    picker->OnChange = [&](TObject*) { order.push_back("change:" + std::to_string(form.userChanges)); };
    picker->Button()->Click();
    EXPECT_EQ(picker->Color(), clRed) << "cancelled";
    EXPECT_TRUE(order.empty());
    answer = true;
    picker->DblClick();
    TColorDialog::ExecuteHook = nullptr;
    EXPECT_EQ(offered, (std::vector<TColor>{ColorToRGB(clRed), ColorToRGB(clRed)}));
    EXPECT_EQ(picker->Color(), ColorToRGB(clBlue));
    EXPECT_EQ(order, (std::vector<std::string>{"change:1"})) << "UserChange before OnChange";
}

TEST(gComponentEditorPickers, FontAndSavePickersChangeOnlyOnConfirmation) {
    KitForm form;
    auto* fontPicker = KitMake<TgComponentEditorFontPicker>(form, &form, 0, 0, 75, 25);
    auto* savePicker = KitMake<TgComponentEditorSavePicker>(form, &form, 0, 30, 75, 25);
    EXPECT_EQ(savePicker->Caption(), "Save");
    int changes = 0, clicks = 0;
    fontPicker->OnChange = [&](TObject*) { ++changes; };
    fontPicker->OnClick = [&](TObject*) { ++clicks; };
    savePicker->OnChange = [&](TObject*) { ++changes; };
    bool answer = false;
    TFontDialog::ExecuteHook = [&](TFontDialog& d) {
        if (answer)
            d.Font()->SetName("Courier New");
        return answer;
    };
    fontPicker->Click();
    EXPECT_EQ(clicks, 1) << "the button's own click first";
    EXPECT_EQ(changes + form.userChanges, 0);
    answer = true;
    fontPicker->Click();
    TFontDialog::ExecuteHook = nullptr;
    EXPECT_EQ(fontPicker->Font()->Name(), "Courier New");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(form.userChanges, 1);

    savePicker->SetFileName("/tmp/shots\\");
    savePicker->SetFilter("Text|*.txt");
    savePicker->SetFilterIndex(1);
    std::string offered;
    answer = false;
    TOpenDialog::ExecuteHook = [&](TOpenDialog& d) {
        offered = d.FileName();
        if (answer)
            d.SetFileName("/tmp/run");
        return answer;
    };
    EXPECT_FALSE(savePicker->Execute());
    EXPECT_EQ(offered, "/tmp/shots\\Untitled");
    EXPECT_EQ(changes, 1);
    answer = true;
    EXPECT_TRUE(savePicker->Execute());
    TOpenDialog::ExecuteHook = nullptr;
    EXPECT_EQ(savePicker->FileName(), "/tmp/run.txt") << "the chosen filter's extension";
    EXPECT_EQ(changes, 2);
}

TEST(gComponentEditorPickers, FontPickerCopiesTheFontQuietly) {
    KitForm form;
    auto* picker = KitMake<TgComponentEditorFontPicker>(form, &form, 0, 0, 75, 25);
    EXPECT_EQ(picker->Caption(), "Font");
    TFont font;
    font.SetName("Courier New");
    font.SetSize(14);
    int changes = 0;
    picker->OnChange = [&](TObject*) { ++changes; };
    picker->SetFont(&font);
    font.SetSize(20);
    EXPECT_EQ(picker->Font()->Name(), "Courier New");
    EXPECT_EQ(picker->Font()->Size(), 14) << "a copy";
    EXPECT_EQ(changes + form.userChanges, 0);
}

TEST(gComponentEditorKit, PaintBoxPaintsThroughOnPaintWithItsCanvas) {
    KitForm form;
    auto* box = KitMake<TgPaintBox>(form, &form, 0, 0, 20, 20);
    TCanvas* seen = nullptr;
    box->OnPaint = [&](TObject* sender) {
        EXPECT_EQ(sender, box);
        seen = box->Canvas();
        box->Canvas()->Brush()->SetColor(clRed);
        box->Canvas()->FillRect({0, 0, 20, 20});
    };
    TBitmap bitmap;
    bitmap.SetSize(20, 20);
    box->Paint(*bitmap.Canvas());
    EXPECT_EQ(seen, bitmap.Canvas());
    EXPECT_EQ(box->Canvas(), nullptr) << "only while painting";
    EXPECT_EQ(bitmap.Canvas()->Pixel(10, 10), clRed);
}

} // namespace
