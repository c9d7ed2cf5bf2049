#pragma once
// Push buttons, check boxes and radio buttons.

#include "platform/gui/Controls.h"

#include <memory>

namespace kv {

class TButtonControl : public TWinControl {
    KV_CLASS(TButtonControl)
protected:
    using TWinControl::TWinControl;
    void TextChanged() override;
};

class TButton : public TButtonControl {
    KV_CLASS(TButton)
public:
    explicit TButton(TComponent* owner);
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int v) { FModalResult = v; }
    bool Default() const { return FDefault; }
    void SetDefault(bool v);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool v) { FCancel = v; }
    // Sets the parent form's ModalResult to this button's, then runs OnClick.
    void Click() override;

private:
    int FModalResult = 0;
    bool FDefault = false, FCancel = false;
};

enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
std::vector<std::string> EnumIdents(TCheckBoxState);
enum class TLeftRight { taLeftJustify, taRightJustify };
std::vector<std::string> EnumIdents(TLeftRight);

class TCheckBox : public TButtonControl {
    KV_CLASS(TCheckBox)
public:
    explicit TCheckBox(TComponent* owner);
    bool Checked() const { return FState == TCheckBoxState::cbChecked; }
    // A change from code runs OnClick, as a user's click does.
    void SetChecked(bool v) { SetState(v ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked); }
    TCheckBoxState State() const { return FState; }
    void SetState(TCheckBoxState v);
    bool AllowGrayed() const { return FAllowGrayed; }
    void SetAllowGrayed(bool v) { FAllowGrayed = v; }
    TLeftRight Alignment() const { return FAlignment; }
    void SetAlignment(TLeftRight v);

private:
    void Toggle();
    TCheckBoxState FState = TCheckBoxState::cbUnchecked;
    bool FAllowGrayed = false;
    TLeftRight FAlignment = TLeftRight::taRightJustify;
};

class TRadioButton : public TButtonControl {
    KV_CLASS(TRadioButton)
public:
    explicit TRadioButton(TComponent* owner);
    bool Checked() const { return FChecked; }
    // Checking turns the other radio buttons of the parent off and runs OnClick, also from code.
    void SetChecked(bool v);
    TLeftRight Alignment() const { return FAlignment; }
    void SetAlignment(TLeftRight v);

private:
    bool FChecked = false;
    TLeftRight FAlignment = TLeftRight::taRightJustify;
};

} // namespace kv
