// Push buttons, check boxes and radio buttons.

#include "platform/gui/StdButtons.h"

#include "platform/gui/Forms.h"
#include "platform/gui/StdCtrlsSupport.h"
#include "platform/gui/WidgetBridge.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

#include <algorithm>
#include <cmath>

namespace kv {

std::vector<std::string> EnumIdents(TCheckBoxState) {
    return {"cbUnchecked", "cbChecked", "cbGrayed"};
}
std::vector<std::string> EnumIdents(TLeftRight) {
    return {"taLeftJustify", "taRightJustify"};
}

// ---------------------------------------------------------------------------------------------------
// Buttons

KV_REGISTER_CLASS(TButtonControl, TWinControl, b) {}

void TButtonControl::TextChanged() {
    static_cast<QAbstractButton*>(FWidget)->setText(Q(FText));
}

KV_REGISTER_CLASS(TButton, TButtonControl, b) {
    b.Prop("Cancel", &TButton::Cancel, &TButton::SetCancel).Default(false);
    b.Prop("Caption", &TControl::Caption, &TControl::SetCaption);
    b.Prop("Default", &TButton::Default, &TButton::SetDefault).Default(false);
    FontProps(b);
    b.Prop("ModalResult", &TButton::ModalResult, &TButton::SetModalResult).Default(0);
    PopupProp(b);
    TabProps(b, true);
}

TButton::TButton(TComponent* owner) : TButtonControl(owner, &NewBridge<QPushButton>) {
    auto* btn = static_cast<QPushButton*>(FWidget);
    btn->setAutoDefault(false);
    SetTabStop(true);
    QObject::connect(btn, &QPushButton::clicked, btn, [this] { Guarded([this] { Click(); }); });
    SetBounds(0, 0, 75, 25);
}

void TButton::SetDefault(bool v) {
    FDefault = v;
    static_cast<QPushButton*>(FWidget)->setDefault(v);
}

void TButton::Click() {
    if (TCustomForm* form = ParentForm())
        form->SetModalResult(FModalResult);
    TButtonControl::Click();
}

KV_REGISTER_CLASS(TCheckBox, TButtonControl, b) {
    b.Prop("Alignment", &TCheckBox::Alignment, &TCheckBox::SetAlignment).Default(TLeftRight::taRightJustify);
    b.Prop("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed).Default(false);
    b.Prop("Caption", &TControl::Caption, &TControl::SetCaption);
    b.Prop("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked).Default(false);
    ColorProps(b, clBtnFace, false);
    FontProps(b);
    PopupProp(b);
    b.Prop("State", &TCheckBox::State, &TCheckBox::SetState).Default(TCheckBoxState::cbUnchecked);
    TabProps(b, true);
}

TCheckBox::TCheckBox(TComponent* owner) : TButtonControl(owner, &NewBridge<QCheckBox>) {
    auto* box = static_cast<QCheckBox*>(FWidget);
    SetTabStop(true);
    // Qt's own toggling is undone; the control's state and its events follow the old rules.
    QObject::connect(box, &QCheckBox::clicked, box, [this, box] {
        {
            QSignalBlocker block(box);
            box->setCheckState(FState == TCheckBoxState::cbChecked  ? Qt::Checked
                               : FState == TCheckBoxState::cbGrayed ? Qt::PartiallyChecked
                                                                    : Qt::Unchecked);
        }
        Guarded([this] { Toggle(); });
    });
    SetBounds(0, 0, 97, 17);
}

void TCheckBox::Toggle() {
    switch (FState) {
    case TCheckBoxState::cbUnchecked:
        SetState(FAllowGrayed ? TCheckBoxState::cbGrayed : TCheckBoxState::cbChecked);
        break;
    case TCheckBoxState::cbChecked:
        SetState(TCheckBoxState::cbUnchecked);
        break;
    case TCheckBoxState::cbGrayed:
        SetState(TCheckBoxState::cbChecked);
        break;
    }
}

void TCheckBox::SetState(TCheckBoxState v) {
    if (v == FState)
        return;
    FState = v;
    auto* box = static_cast<QCheckBox*>(FWidget);
    {
        QSignalBlocker block(box);
        box->setTristate(FAllowGrayed || v == TCheckBoxState::cbGrayed);
        box->setCheckState(v == TCheckBoxState::cbChecked  ? Qt::Checked
                           : v == TCheckBoxState::cbGrayed ? Qt::PartiallyChecked
                                                           : Qt::Unchecked);
    }
    if (!IsLoading())
        Click();
}

void TCheckBox::SetAlignment(TLeftRight v) {
    FAlignment = v;
    FWidget->setLayoutDirection(v == TLeftRight::taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

KV_REGISTER_CLASS(TRadioButton, TButtonControl, b) {
    b.Prop("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment)
        .Default(TLeftRight::taRightJustify);
    b.Prop("Caption", &TControl::Caption, &TControl::SetCaption);
    b.Prop("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked).Default(false);
    ColorProps(b, clBtnFace, false);
    FontProps(b);
    PopupProp(b);
    TabProps(b, false);
}

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner, &NewBridge<QRadioButton>) {
    auto* rb = static_cast<QRadioButton*>(FWidget);
    rb->setAutoExclusive(false);
    QObject::connect(rb, &QRadioButton::clicked, rb, [this, rb] {
        {
            QSignalBlocker block(rb);
            rb->setChecked(FChecked);
        }
        Guarded([this] { SetChecked(true); });
    });
    SetBounds(0, 0, 113, 17);
}

void TRadioButton::SetChecked(bool v) {
    if (v == FChecked)
        return;
    FChecked = v;
    {
        QSignalBlocker block(FWidget);
        static_cast<QRadioButton*>(FWidget)->setChecked(v);
    }
    if (!v)
        return;
    if (FParent)
        for (int i = 0; i < FParent->ControlCount(); ++i)
            if (auto* other = dynamic_cast<TRadioButton*>(FParent->Controls(i)); other && other != this)
                other->SetChecked(false);
    if (!IsLoading())
        Click();
}

void TRadioButton::SetAlignment(TLeftRight v) {
    FAlignment = v;
    FWidget->setLayoutDirection(v == TLeftRight::taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

} // namespace kv
