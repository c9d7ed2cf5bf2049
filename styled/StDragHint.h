#pragma once
// The small window that shows a fader's value while its thumb is dragged: a top-level tool window that
// never takes the focus and stays inside the screen's edges.

#include "platform/gui/Controls.h"

#include <string>

namespace kv {

class TTrackHintWindow : public TCustomControl {
    KV_CLASS(TTrackHintWindow)
public:
    explicit TTrackHintWindow(TComponent* owner);

    // Shows the hint at R's top-left, sized to the text, moved so that it stays 2 pixels inside the
    // right and bottom edges of the screen nearest to that point.
    void ActivateHint(const TRect& r, const std::string& hint);
    // The same with the screen's rectangle given.
    void ActivateHintOnScreen(const TRect& r, const std::string& hint, const TRect& screen);
    // (0, 0, width, height) of the current caption in the window's font.
    TRect CalcHintRect(int maxWidth, const std::string& hint) const;
    // Hides the window.
    void ReleaseHandle();
    int TextWidth() const { return FTextWidth; }
    int TextHeight() const { return FTextHeight; }

    void Paint(TCanvas& canvas) override;

protected:
    void TextChanged() override { Invalidate(); }

private:
    int FTextHeight = 0, FTextWidth = 0;
};

} // namespace kv
