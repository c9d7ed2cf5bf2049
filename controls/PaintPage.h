#pragma once
// One off-screen drawing page of a curve graph and the rectangle it covers on the control.
// The GDI+-style drawing the graphs do through a page (the band fill) needs no start-up of its own
// here: the canvas offers it at any time.

#include "platform/gui/Graphics.h"

#include <memory>

namespace kv {

class TPaintPage {
public:
    TPaintPage();
    TPaintPage(const TPaintPage&) = delete;
    TPaintPage& operator=(const TPaintPage&) = delete;
    ~TPaintPage();

    TBitmap* Bitmap() const { return FBitmap.get(); }
    const TRect& ScreenRect() const { return FScreenRect; }
    const TRect& BitmapRect() const { return FBitmapRect; }

    // The bitmap takes the rectangle's size (a reversed rectangle gives an empty bitmap).
    void SetPageRect(int left, int top, int right, int bottom);
    void Fill(TColor colour);
    void SetFont(const TFont* font);

private:
    std::unique_ptr<TBitmap> FBitmap;
    TRect FScreenRect;
    TRect FBitmapRect;
};

} // namespace kv
