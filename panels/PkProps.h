#pragma once
// Registration helpers shared by the pack's controls: the inherited properties they publish.

#include "platform/gui/Controls.h"
#include "platform/gui/Menus.h"

namespace kv {

template <class C> void PkColorProp(TClassBuilder<C>& b, TColor def, bool withDefault = true) {
    b.Prop("Color", &TControl::Color, &TControl::SetColor).Idents(ColorIdents(), "TColor");
    if (withDefault)
        b.Default(def);
}

template <class C> void PkFontProps(TClassBuilder<C>& b) {
    b.Prop("Font", &TControl::Font, &TControl::SetFont).Stored([](const TControl& c) {
        return !c.ParentFont();
    });
    b.Prop("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
}

template <class C> void PkTabProps(TClassBuilder<C>& b, bool tabStopDefault) {
    b.Prop("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Default(-1);
    b.Prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(tabStopDefault);
}

template <class C> void PkPopupProp(TClassBuilder<C>& b) {
    b.Ref("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
}

} // namespace kv
