#pragma once
// Registration of the published properties that most controls of the pack share.

#include "platform/core/Properties.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Menus.h"

namespace kv {

template <class C> void PkcColorProps(TClassBuilder<C>& b, TColor def, bool parentColorDefault) {
    b.Prop("Color", &TControl::Color, &TControl::SetColor)
        .Default(def)
        .Idents(ColorIdents(), "TColor")
        .Stored([](const TControl& c) { return !c.ParentColor(); });
    b.Prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(parentColorDefault);
}

template <class C> void PkcFontProps(TClassBuilder<C>& b) {
    b.Prop("Font", &TControl::Font, &TControl::SetFont).Stored([](const TControl& c) {
        return !c.ParentFont();
    });
    b.Prop("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
}

template <class C> void PkcPopupProp(TClassBuilder<C>& b) {
    b.Ref("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
}

template <class C> void PkcTabProps(TClassBuilder<C>& b, bool tabStopDefault) {
    b.Prop("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Default(-1);
    b.Prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(tabStopDefault);
}

template <class C> void PkcCaptionProp(TClassBuilder<C>& b) {
    b.Prop("Caption", &TControl::Caption, &TControl::SetCaption);
}

// A colour property of the pack: named colours written by name.
#define PK_COLOR_PROP(b, name, getter, setter, def)                                                          \
    (b).Prop(name, getter, setter).Default(static_cast<long long>(def)).Idents(::kv::ColorIdents(), "TColor")

} // namespace kv
