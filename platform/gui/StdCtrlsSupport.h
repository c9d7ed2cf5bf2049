#pragma once
// Inside the standard controls' files only: the published-property groups they share and the text
// conversions at the Qt seam.

#include "platform/core/Properties.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Menus.h"

#include <QString>

#include <string>

namespace kv {
namespace {

template <class C> inline void ColorProps(TClassBuilder<C>& b, TColor def, bool parentColorDefault) {
    b.Prop("Color", &TControl::Color, &TControl::SetColor)
        .Default(def)
        .Idents(ColorIdents(), "TColor")
        .Stored([](const TControl& c) { return !c.ParentColor(); });
    b.Prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(parentColorDefault);
}

template <class C> inline void FontProps(TClassBuilder<C>& b) {
    b.Prop("Font", &TControl::Font, &TControl::SetFont).Stored([](const TControl& c) {
        return !c.ParentFont();
    });
    b.Prop("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
}

template <class C> inline void PopupProp(TClassBuilder<C>& b) {
    b.Ref("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
}

template <class C> inline void TabProps(TClassBuilder<C>& b, bool tabStopDefault) {
    b.Prop("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Default(-1);
    b.Prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(tabStopDefault);
}

inline QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
inline std::string S(const QString& s) {
    return s.toStdString();
}

} // namespace

} // namespace kv
