#pragma once
// A list of equally sized pictures drawn by index, each with the colour that is transparent in it.

#include "platform/gui/Graphics.h"

#include <cstdint>
#include <vector>

namespace kv {

class TImageList {
public:
    TImageList(int width = 16, int height = 16);

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Changes the picture size; the list is emptied.
    void SetSize(int width, int height);
    int Count() const { return static_cast<int>(FImages.size()); }
    void Clear();
    // Appends the bitmap (cut or padded with see-through pixels to the list's size) with the pixels of
    // `maskColor` see-through (none with clNone); returns its index.
    int Add(const TBitmap& bitmap, TColor maskColor);
    // Draws picture `index` with its top-left corner at (x, y). A disabled picture is drawn greyed:
    // its dark parts in the button-shadow colour over a button-highlight copy one pixel right and
    // down, its light parts left out. An index outside the list draws nothing.
    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;
    // Picture `index` as drawn when enabled (ARGB, see-through pixels have alpha 0).
    const QImage& Image(int index) const;

    // The list as bytes and back; a byte string that is no image list raises EKvError and leaves the
    // list as it was.
    std::vector<std::uint8_t> SaveToBytes() const;
    void LoadFromBytes(const std::vector<std::uint8_t>& bytes);

private:
    int FWidth, FHeight;
    std::vector<QImage> FImages; // ARGB, the mask colour already made transparent
};

} // namespace kv
