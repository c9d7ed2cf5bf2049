#include "controls/PaintPage.h"

namespace kv {

TPaintPage::TPaintPage() : FBitmap(std::make_unique<TBitmap>()) {}

TPaintPage::~TPaintPage() = default;

void TPaintPage::SetPageRect(int left, int top, int right, int bottom) {
    FBitmap->SetSize(right - left, bottom - top);
    FBitmapRect = {0, 0, right - left, bottom - top};
    FScreenRect = {left, top, right, bottom};
}

void TPaintPage::Fill(TColor colour) {
    TCanvas* c = FBitmap->Canvas();
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
    c->Brush()->SetColor(colour);
    c->FillRect(FBitmapRect);
}

void TPaintPage::SetFont(const TFont* font) {
    if (font)
        FBitmap->Canvas()->Font()->Assign(font);
}

} // namespace kv
