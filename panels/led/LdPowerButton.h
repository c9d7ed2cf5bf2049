#pragma once
// The LED toggle button: a small rectangular LED beside the caption shows the Active state in one
// of two palette colours; a release over the button toggles it before OnMouseUp and OnClick run.

#include "panels/led/LdControls.h"

namespace kv {

class TLdPowerButton : public TLdButtonControl {
    KV_CLASS(TLdPowerButton)
public:
    explicit TLdPowerButton(TComponent* owner);
    ~TLdPowerButton() override;

    bool Active() const { return FActive; }
    // No event: only the user's toggle reaches OnClick.
    void SetActive(bool v);
    int LedWidth() const { return FLedWidth; }
    void SetLedWidth(int v);
    int LedHeight() const { return FLedHeight; }
    void SetLedHeight(int v);
    TLdImageTextLayout Layout() const { return FLayout; }
    void SetLayout(TLdImageTextLayout v);
    int Margin() const { return FMargin; }
    void SetMargin(int v);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int v);
    TLdPalette* Palette() const { return FPalette.get(); }
    void SetPalette(const TLdPalette* v) { FPalette->Assign(v); }
    // The frame widths move the LED and the caption.
    void SetOutlineWidth(int v);
    void SetBevelWidth(int v);

    const TRect& TextBounds() const { return FTextBounds; }
    const TRect& ImageRect() const { return FImageRect; }

    void Paint(TCanvas& canvas) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    bool KeyDown(std::uint16_t& key, TShiftState shift) override;
    bool KeyUp(std::uint16_t& key, TShiftState shift) override;
    void SetBounds(int left, int top, int width, int height) override;
    void Loaded() override;

protected:
    void DoMouseEnter() override;
    void DoMouseLeave() override;
    void FontChanged() override;
    void TextChanged() override;

private:
    void UpdateLayout();
    bool FActive = false;
    int FLedWidth = 12, FLedHeight = 12;
    std::unique_ptr<TLdPalette> FPalette;
    int FSpacing = 5, FMargin = -1;
    TLdImageTextLayout FLayout = TLdImageTextLayout::ImageLeft;
    bool FSpaceDown = false;
    TRect FTextBounds, FImageRect;
};

// True when `key` is the accelerator of `caption` (the character after a single "&"), ignoring case.
bool IsAccel(char key, const std::string& caption);

} // namespace kv
