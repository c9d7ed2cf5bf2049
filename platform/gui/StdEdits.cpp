// Edit boxes and memos.

#include "platform/gui/StdEdits.h"

#include "platform/gui/StdCtrlsSupport.h"
#include "platform/gui/WidgetBridge.h"

#include <QLineEdit>
#include <QPlainTextEdit>

#include <algorithm>
#include <cmath>

namespace kv {

std::vector<std::string> EnumIdents(TScrollStyle) {
    return {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"};
}

// ---------------------------------------------------------------------------------------------------
// Edit and memo

KV_REGISTER_CLASS(TEdit, TWinControl, b) {
    b.Prop("BorderStyle", &TEdit::BorderStyle, &TEdit::SetBorderStyle).Default(TBorderStyle::bsSingle);
    ColorProps(b, clWindow, false);
    FontProps(b);
    b.Prop("MaxLength", &TEdit::MaxLength, &TEdit::SetMaxLength).Default(0);
    b.Prop("PasswordChar", &TEdit::PasswordChar, &TEdit::SetPasswordChar).Default(0);
    PopupProp(b);
    b.Prop("ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly).Default(false);
    TabProps(b, true);
    b.Prop("Text", &TControl::Text, &TControl::SetText);
    b.Event("OnChange", &TEdit::OnChange);
}

TEdit::TEdit(TComponent* owner) : TWinControl(owner, &NewBridge<QLineEdit>) {
    auto* e = static_cast<QLineEdit*>(FWidget);
    FColor = clWindow;
    SetTabStop(true);
    QObject::connect(e, &QLineEdit::textChanged, e, [this](const QString& t) {
        FText = S(t);
        // Text set by code raises OnChange too, as in the old framework; not while loading.
        if (!FSyncing && !IsLoading() && OnChange)
            Guarded([this] { OnChange(this); });
    });
    SetBounds(0, 0, 121, 21);
    ColorChanged();
}

void TEdit::SetText(const std::string& v) {
    auto* e = static_cast<QLineEdit*>(FWidget);
    if (v == FText && e->text() == Q(v))
        return;
    e->setText(Q(v));
    // The box keeps at most MaxLength characters; Text is what it holds.
    FText = S(e->text());
}

void TEdit::SetReadOnly(bool v) {
    FReadOnly = v;
    static_cast<QLineEdit*>(FWidget)->setReadOnly(v);
}

void TEdit::SetMaxLength(int v) {
    FMaxLength = v;
    static_cast<QLineEdit*>(FWidget)->setMaxLength(v > 0 ? v : 32767);
}

void TEdit::SetPasswordChar(int v) {
    FPasswordChar = v;
    static_cast<QLineEdit*>(FWidget)->setEchoMode(v ? QLineEdit::Password : QLineEdit::Normal);
}

void TEdit::SetBorderStyle(TBorderStyle v) {
    FBorderStyle = v;
    static_cast<QLineEdit*>(FWidget)->setFrame(v == TBorderStyle::bsSingle);
}

void TEdit::SelectAll() {
    static_cast<QLineEdit*>(FWidget)->selectAll();
}

void TEdit::ColorChanged() {
    TWinControl::ColorChanged();
    QPalette pal = FWidget->palette();
    pal.setColor(QPalette::Base, QColor::fromRgb(ToQRgb(FColor)));
    FWidget->setPalette(pal);
}

KV_REGISTER_CLASS(TMemo, TWinControl, b) {
    ColorProps(b, clWindow, false);
    FontProps(b);
    b.Prop("Lines", &TMemo::Lines, &TMemo::SetLines);
    PopupProp(b);
    b.Prop("ReadOnly", &TMemo::ReadOnly, &TMemo::SetReadOnly).Default(false);
    b.Prop("ScrollBars", &TMemo::ScrollBars, &TMemo::SetScrollBars).Default(TScrollStyle::ssNone);
    TabProps(b, true);
    b.Prop("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap).Default(true);
    b.Event("OnChange", &TMemo::OnChange);
}

TMemo::TMemo(TComponent* owner)
    : TWinControl(owner, &NewBridge<QPlainTextEdit>), FLines(std::make_unique<TStrings>()) {
    auto* e = static_cast<QPlainTextEdit*>(FWidget);
    FColor = clWindow;
    SetTabStop(true);
    FLines->OnChange = [this](TObject*) { LinesChanged(); };
    QObject::connect(e, &QPlainTextEdit::textChanged, e, [this, e] {
        if (FSyncing)
            return;
        FSyncing = true;
        FLines->SetText(S(e->toPlainText()));
        FSyncing = false;
        if (!IsLoading() && OnChange)
            Guarded([this] { OnChange(this); });
    });
    SetScrollBars(TScrollStyle::ssNone);
    SetWordWrap(true);
    SetBounds(0, 0, 185, 89);
    ColorChanged();
}

TMemo::~TMemo() {
    FLines->OnChange = nullptr;
}

void TMemo::LinesChanged() {
    if (FSyncing)
        return;
    FSyncing = true;
    std::string text;
    for (int i = 0; i < FLines->Count(); ++i) {
        if (i)
            text += '\n';
        text += (*FLines)[i];
    }
    static_cast<QPlainTextEdit*>(FWidget)->setPlainText(Q(text));
    FSyncing = false;
    if (!IsLoading() && OnChange)
        OnChange(this);
}

const std::string& TMemo::Text() const {
    FJoined = FLines->Text();
    return FJoined;
}

void TMemo::SetText(const std::string& v) {
    FLines->SetText(v);
}

void TMemo::SetReadOnly(bool v) {
    FReadOnly = v;
    static_cast<QPlainTextEdit*>(FWidget)->setReadOnly(v);
}

void TMemo::SetWordWrap(bool v) {
    FWordWrap = v;
    static_cast<QPlainTextEdit*>(FWidget)->setLineWrapMode(v ? QPlainTextEdit::WidgetWidth
                                                             : QPlainTextEdit::NoWrap);
}

void TMemo::SetScrollBars(TScrollStyle v) {
    FScrollBars = v;
    auto* e = static_cast<QPlainTextEdit*>(FWidget);
    bool h = v == TScrollStyle::ssHorizontal || v == TScrollStyle::ssBoth;
    bool vert = v == TScrollStyle::ssVertical || v == TScrollStyle::ssBoth;
    e->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    e->setVerticalScrollBarPolicy(vert ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void TMemo::ColorChanged() {
    TWinControl::ColorChanged();
    QPalette pal = FWidget->palette();
    pal.setColor(QPalette::Base, QColor::fromRgb(ToQRgb(FColor)));
    FWidget->setPalette(pal);
}

} // namespace kv
