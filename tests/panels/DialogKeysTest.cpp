// The form's dialog keys reach the pack's controls through the platform's key path: Enter and Escape
// typed into an edit click the default and cancel push buttons, Alt+letter clicks the control whose
// caption holds that accelerator, and a label's accelerator focuses its focus control.

#include "panels/PkBmpButton.h"
#include "panels/PkButton.h"
#include "panels/PkLabel.h"
#include "panels/PkPanel.h"
#include "panels/PkShapeButton.h"
#include "panels/led/LdDemoButton.h"
#include "panels/led/LdPowerButton.h"
#include "platform/gui/Forms.h"
#include "platform/gui/StdEdits.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <map>
#include <string>

using namespace kv;

namespace {

class DialogKeysTest : public ::testing::Test {
protected:
    void SetUp() override {
        form.SetBounds(0, 0, 400, 300);
        edit = Add<TEdit>("edit", 10, 10);
        ok = Add<TPkButton>("ok", 10, 40);
        ok->SetCaption("OK");
        ok->SetDefault(true);
        ok->SetModalResult(mrOk);
        cancel = Add<TPkButton>("cancel", 100, 40);
        cancel->SetCaption("Cancel");
        cancel->SetCancel(true);
        cancel->SetModalResult(mrCancel);
        pkb = Add<TPkBmpButton>("pkb", 10, 80);
        pkb->SetCaption("&Preset");
        auto* led = Add<TLdPowerButton>("led", 10, 120);
        led->SetCaption("&Link");
        auto* hover = Add<TLdDemoButton>("hover", 10, 160);
        hover->SetCaption("&Hover");
        auto* shape = Add<TPkShapeButton>("shape", 200, 80);
        shape->SetCaption("&Shape");
        group = Add<TPkGroupBox>("group", 200, 120);
        group->SetCaption("&Group");
        groupEdit = new TEdit(&form);
        groupEdit->SetParent(group);
        named = Add<TEdit>("named", 200, 200);
        auto* label = Add<TPkLabel>("label", 200, 230);
        label->SetCaption("&Name");
        label->SetFocusControl(named);
        form.Show();
        QApplication::setActiveWindow(form.Widget());
        edit->SetFocus();
    }

    template <class T> T* Add(const std::string& name, int left, int top) {
        auto* c = new T(&form);
        c->SetName(name);
        c->SetParent(&form);
        c->SetLeft(left);
        c->SetTop(top);
        c->OnClick = [this, name](TObject*) { ++clicks[name]; };
        return c;
    }

    // A key pressed while the edit has the focus, as the keyboard delivers it to the focused window.
    void Press(int qtKey, Qt::KeyboardModifiers mods, const QString& text) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : edit->Widget();
        QKeyEvent down(QEvent::KeyPress, qtKey, mods, text);
        QApplication::sendEvent(target, &down);
        QKeyEvent up(QEvent::KeyRelease, qtKey, mods, text);
        QApplication::sendEvent(target, &up);
    }

    TForm form{nullptr};
    TEdit* edit = nullptr;
    TPkButton* ok = nullptr;
    TPkButton* cancel = nullptr;
    TPkBmpButton* pkb = nullptr;
    TPkGroupBox* group = nullptr;
    TEdit* groupEdit = nullptr;
    TEdit* named = nullptr;
    std::map<std::string, int> clicks;
};

TEST_F(DialogKeysTest, EnterAndEscapeInAnEditClickTheDefaultAndCancelButtons) {
    Press(Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_EQ(clicks, (std::map<std::string, int>{{"ok", 1}}));
    EXPECT_EQ(form.ModalResult(), mrOk);
    Press(Qt::Key_Escape, Qt::NoModifier, "\x1b");
    EXPECT_EQ(clicks, (std::map<std::string, int>{{"ok", 1}, {"cancel", 1}}));
    EXPECT_EQ(form.ModalResult(), mrCancel);
    EXPECT_EQ(edit->Text(), "");

    // A default button that cannot be reached takes no Enter.
    ok->SetEnabled(false);
    Press(Qt::Key_Return, Qt::NoModifier, "\r");
    EXPECT_EQ(clicks["ok"], 1);
}

TEST_F(DialogKeysTest, AltLetterClicksTheCaptionsAccelerator) {
    const struct {
        int key;
        const char* text;
        const char* clicked; // nullptr: nothing is clicked
    } cases[] = {
        {Qt::Key_P, "p", "pkb"},   {Qt::Key_L, "l", "led"},   {Qt::Key_H, "h", "hover"},
        {Qt::Key_S, "s", "shape"}, {Qt::Key_Q, "q", nullptr},
    };
    for (const auto& c : cases) {
        clicks.clear();
        Press(c.key, Qt::AltModifier, c.text);
        if (c.clicked)
            EXPECT_EQ(clicks, (std::map<std::string, int>{{c.clicked, 1}})) << c.text;
        else
            EXPECT_TRUE(clicks.empty()) << c.text;
    }
    // The letters never reached the edit, and a plain letter is typed, not an accelerator.
    EXPECT_EQ(edit->Text(), "");
    clicks.clear();
    Press(Qt::Key_P, Qt::NoModifier, "p");
    EXPECT_TRUE(clicks.empty());
    EXPECT_EQ(edit->Text(), "p");

    // A hidden control's accelerator is not there.
    pkb->SetVisible(false);
    Press(Qt::Key_P, Qt::AltModifier, "p");
    EXPECT_TRUE(clicks.empty());
}

TEST_F(DialogKeysTest, AcceleratorsOfLabelsAndGroupBoxesMoveTheFocus) {
    Press(Qt::Key_N, Qt::AltModifier, "n");
    EXPECT_TRUE(named->Focused());
    Press(Qt::Key_G, Qt::AltModifier, "g");
    EXPECT_TRUE(groupEdit->Focused());
}

} // namespace
