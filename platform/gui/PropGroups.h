#pragma once
// Groups of published properties that many control classes share, for their class registrations.

#include "platform/core/Properties.h"
#include "platform/gui/Controls.h"
#include "platform/gui/Menus.h"

namespace kv {

// Color and ParentColor; the colour is stored only while it is the control's own.
template <class C> void ColorProps(TClassBuilder<C>& b, TColor def, bool parentColorDefault) {
    b.Prop("Color", &TControl::Color, &TControl::SetColor)
        .Default(def)
        .Idents(ColorIdents(), "TColor")
        .Stored([](const TControl& c) { return !c.ParentColor(); });
    b.Prop("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(parentColorDefault);
}

// Color alone, for classes that publish no ParentColor.
template <class C> void ColorProp(TClassBuilder<C>& b, TColor def, bool withDefault = true) {
    b.Prop("Color", &TControl::Color, &TControl::SetColor).Idents(ColorIdents(), "TColor");
    if (withDefault)
        b.Default(def);
}

template <class C> void FontProps(TClassBuilder<C>& b) {
    b.Prop("Font", &TControl::Font, &TControl::SetFont).Stored([](const TControl& c) {
        return !c.ParentFont();
    });
    b.Prop("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
}

template <class C> void PopupProp(TClassBuilder<C>& b) {
    b.Ref("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu);
}

template <class C> void TabProps(TClassBuilder<C>& b, bool tabStopDefault) {
    b.Prop("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Default(-1);
    b.Prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(tabStopDefault);
}

template <class C> void CaptionProp(TClassBuilder<C>& b) {
    b.Prop("Caption", &TControl::Caption, &TControl::SetCaption);
}

} // namespace kv
