#pragma once
// The hover button: a momentary push button drawn by itself, with one font while the mouse is over
// it (FontEnter) and one otherwise (FontLeave), an optional tiled bitmap and a 3D text style.

#include "panels/led/LdControls.h"

namespace kv {

class TLdDemoButton : public TLdButtonControl {
    KV_CLASS(TLdDemoButton)
public:
    explicit TLdDemoButton(TComponent* owner);
    ~TLdDemoButton() override;

    TFont* FontEnter() const { return FFontEnter.get(); }
    void SetFontEnter(const TFont* v) { FFontEnter->Assign(v); }
    TFont* FontLeave() const { return FFontLeave.get(); }
    void SetFontLeave(const TFont* v) { FFontLeave->Assign(v); }
    TBitmap* Bitmap() const { return FBitmap.get(); }
    void SetBitmap(const TBitmap* v);
    TLdFont3D* Font3D() const { return FFont3D.get(); }
    void SetFont3D(const TLdFont3D* v) { FFont3D->Assign(v); }
    void SetBevelWidth(int v);
    void SetOutlineWidth(int v);
    TLdTextAlignment TextAlignment() const { return FTextAlignment; }
    void SetTextAlignment(TLdTextAlignment v);
    TColor DisabledTextColor() const { return FDisabledTextColor; }
    void SetDisabledTextColor(TColor v);
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);

    bool Down() const { return FDown; }
    bool HasMouse() const { return FHasMouse; }

    void Paint(TCanvas& canvas) override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void DblClick() override;
    bool KeyDown(std::uint16_t& key, TShiftState shift) override;
    bool KeyUp(std::uint16_t& key, TShiftState shift) override;

protected:
    void DoMouseEnter() override;
    void DoMouseLeave() override;
    void TextChanged() override;

private:
    void PressAt(int x, int y);
    std::unique_ptr<TBitmap> FBitmap;
    std::unique_ptr<TFont> FFontEnter, FFontLeave;
    TLdTextAlignment FTextAlignment = TLdTextAlignment::vtaCenter;
    TColor FDisabledTextColor = clInactiveCaption;
    std::unique_ptr<TLdFont3D> FFont3D;
    bool FFlat = false;
    bool FHasMouse = false;
};

} // namespace kv
