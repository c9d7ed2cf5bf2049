#pragma once
// The hover button: a momentary push button drawn by itself, with one font while the mouse is over
// it (FontEnter) and one otherwise (FontLeave), an optional tiled bitmap and a 3D text style.

#include "panels/led/LdControls.h"

namespace kv {

class TLdDemoButton : public TLdCustomImageControl, public IDialogKeyTarget {
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
    TColor OutlineColor() const { return FOutlineColor; }
    void SetOutlineColor(TColor v);
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor v);
    TColor HighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(TColor v);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int v);
    int OutlineWidth() const { return FOutlineWidth; }
    void SetOutlineWidth(int v);
    TLdTextAlignment TextAlignment() const { return FTextAlignment; }
    void SetTextAlignment(TLdTextAlignment v);
    TColor DisabledTextColor() const { return FDisabledTextColor; }
    void SetDisabledTextColor(TColor v);
    TColor FocusColor() const { return FFocusColor; }
    void SetFocusColor(TColor v);
    bool Flat() const { return FFlat; }
    void SetFlat(bool v);

    bool Down() const { return FDown; }
    bool Pressed() const { return FPressed; }
    bool HasMouse() const { return FHasMouse; }

    void Paint(TCanvas& canvas) override;
    // OnClick fires only from the release handling below.
    void Click() override {}
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void DblClick() override;
    bool KeyDown(std::uint16_t& key, TShiftState shift) override;
    bool KeyUp(std::uint16_t& key, TShiftState shift) override;
    void DoEnter() override;
    void DoExit() override;
    void SetEnabled(bool v) override;
    bool DialogKey(std::uint16_t, TShiftState) override { return false; }
    bool DialogChar(char key) override;

protected:
    void DoMouseEnter() override;
    void DoMouseLeave() override;
    void TextChanged() override;

private:
    void PressAt(int x, int y);
    void ClickEvent();
    std::unique_ptr<TBitmap> FBitmap;
    std::unique_ptr<TFont> FFontEnter, FFontLeave;
    int FBevelWidth = 2;
    int FOutlineWidth = 1;
    TColor FOutlineColor = clBlack, FShadowColor = clBtnShadow, FHighlightColor = clBtnHighlight,
           FFocusColor = clBlue;
    TLdTextAlignment FTextAlignment = TLdTextAlignment::vtaCenter;
    TColor FDisabledTextColor = clInactiveCaption;
    std::unique_ptr<TLdFont3D> FFont3D;
    bool FFlat = false;
    bool FHasMouse = false, FFocused = false;
    bool FDown = false, FPressed = false;
};

} // namespace kv
