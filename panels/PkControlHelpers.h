#pragma once
// Logic the pack's controls share without sharing a base class: the change test of their setters, the
// frame look a frame controller pushes into a label or a panel, and the round a grouped button sends to
// its siblings.

#include "panels/PkCommon.h"
#include "platform/gui/Controls.h"

#include <vector>

namespace kv {

// Stores `value` and answers whether it changed the field: the first step of every property setter.
template <class T> bool Differs(T& field, T value) {
    if (field == value)
        return false;
    field = value;
    return true;
}

// Takes the frame controller's look into a framed control (a friend: it sets the frame fields directly,
// so nothing realigns or repaints before the one repaint at the end).
template <class C> void PkApplyFrameController(C& c) {
    TPkFrameController* fc = c.FFrameController;
    if (!fc || !fc->FrameVisible())
        return;
    using P = TPkFrameControllerProperty;
    const auto& n = c.FFrameControllerNotifications;
    if (n.Contains(P::fcpFrameStyle))
        c.FBorderOuter = fc->FrameStyle();
    if (n.Contains(P::fcpFrameSides))
        c.FBorderSides = fc->FrameSides();
    if (n.Contains(P::fcpFrameColor)) {
        c.FFlatColor = fc->FrameColor();
        c.FFlatColorAdjustment = 0;
    }
    if (n.Contains(P::fcpColor))
        c.SetColor(fc->Color());
    if (n.Contains(P::fcpParentColor))
        c.SetParentColor(fc->ParentColor());
    if (n.Contains(P::fcpColor)) {
        c.FBorderHighlight = BrightenColor(c.Color(), 100);
        c.FBorderShadow = DimColor(c.Color(), 50);
    }
    c.Invalidate();
}

// Hands a press to every `T` among the parent's children, in control order, until one answers non-zero.
// The children are listed first, so a receiver may change the parent's list.
template <class T, class Press> void PkNotifySiblings(TWinControl* parent, Press press) {
    std::vector<TControl*> children;
    for (int i = 0; i < parent->ControlCount(); ++i)
        children.push_back(parent->Controls(i));
    for (TControl* c : children)
        if (auto* t = dynamic_cast<T*>(c))
            if (press(*t) != 0)
                break;
}

// A grouped button's answer to a sibling's press (a friend: the fields are the button's own): a down
// button of the same group goes up when the sender went down, and takes the sender's AllowAllUp.
template <class B> int PkSiblingPressed(B& self, int groupIndex, B* sender) {
    if (groupIndex != self.FGroupIndex || sender == &self || !sender)
        return 0;
    if (sender->FDown && self.FDown) {
        self.FDown = false;
        self.FState = TButtonState::bsUp;
        self.Invalidate();
    }
    self.FAllowAllUp = sender->FAllowAllUp;
    return 0;
}

} // namespace kv
