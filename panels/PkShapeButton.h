#pragma once
// The shape button: a windowless button whose outline follows the opaque pixels of a bitmap, with
// bevel rings generated around the shape, a pixel-exact hit test and a freely placed caption.

#include "panels/PkGraphics.h"

#include <memory>

namespace kv {

enum class TPkCaptionPosition { cpCentered, cpXY };
std::vector<std::string> EnumIdents(TPkCaptionPosition);

// One ring side's pixel offsets, up to the first (0, 0) or 13 entries.
struct TRingOffset {
    int dx = 0, dy = 0;
};

// A monochrome bitmap of `bitmap`'s size: pixels of `backColor` white, all others black.
std::unique_ptr<TBitmap> CreateMonoMask(const TBitmap& bitmap, TColor backColor);
// Black exactly at the pixels transparent in `current` that lie at one of the offsets from an opaque
// pixel of `shape`; white elsewhere.
std::unique_ptr<TBitmap> CreateRingMask(const TBitmap& shape, const TBitmap& current,
                                        const TRingOffset* offsets, TColor transparentColor, int maxIndex);

class TPkShapeButton : public TGraphicControl, public IDialogKeyTarget {
    KV_CLASS(TPkShapeButton)
public:
    explicit TPkShapeButton(TComponent* owner);
    ~TPkShapeButton() override;

    TPkAboutInfo* About() const { return FAboutInfo.get(); }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    TColor BevelHighlightColor() const { return FBevelHighlightColor; }
    TColor BevelShadowColor() const { return FBevelShadowColor; }
    int BevelWidth() const { return FBevelWidth; }
    TBitmap* Bitmap() const { return FBitmap.get(); }
    TBitmap* BitmapUp() const { return FBitmapUp.get(); }
    TBitmap* BitmapDown() const { return FBitmapDown.get(); }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    TColor BorderColor() const { return FBorderColor; }
    bool PreciseClick() const { return FPreciseClick; }
    void SetPreciseClick(bool v) { FPreciseClick = v; }
    bool PreciseShowHint() const { return FPreciseShowHint; }
    void SetPreciseShowHint(bool v) { FPreciseShowHint = v; }
    TPkCaptionPosition CaptionPosition() const { return FCaptionPosition; }
    int CaptionX() const { return FCaptionX; }
    int CaptionY() const { return FCaptionY; }
    TButtonState State() const { return FState; }
    const TBitmap* HitTestMask() const { return FHitTestMask.get(); }

    virtual void DrawCaptionText(TCanvas& canvas, TRect r);
    virtual TRect GetCaptionRect(TCanvas& canvas) const;
    virtual void SetBevelHighlightColor(TColor v);
    virtual void SetBevelShadowColor(TColor v);
    virtual void SetBevelWidth(int v);
    virtual void SetBitmap(const TBitmap* v);
    virtual void SetBitmapDown(const TBitmap* v);
    virtual void SetBitmapUp(const TBitmap* v);
    virtual void SetBorderColor(TColor v);
    virtual void SetBorderStyle(TBorderStyle v);
    virtual void SetCaptionPosition(TPkCaptionPosition v);
    virtual void SetCaptionX(int v);
    virtual void SetCaptionY(int v);
    virtual bool PtInMask(int x, int y) const;
    virtual void SetCaptionXY(int x, int y);

    void SetBounds(int left, int top, int width, int height) override;
    void Paint(TCanvas& canvas) override;
    void Loaded() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    // The caption's accelerator typed in the dialog; true when it clicked.
    bool DialogKey(std::uint16_t, TShiftState) override { return false; }
    bool DialogChar(char key) override;
    // Builds both faces and the hit mask again from Bitmap and the bevel settings.
    void Regenerate();

protected:
    void FontChanged() override;
    void TextChanged() override;

private:
    QImage MakeFace(bool down) const;
    bool OnShape(int x, int y) const { return !FPreciseClick || PtInMask(x, y); }

    std::unique_ptr<TPkAboutInfo> FAboutInfo;
    bool FAutoSize = true;
    int FBevelWidth = 2;
    TColor FBevelHighlightColor = clBtnHighlight;
    TColor FBevelShadowColor = clBtnShadow;
    std::unique_ptr<TBitmap> FBitmap, FBitmapUp, FBitmapDown;
    TBorderStyle FBorderStyle = TBorderStyle::bsSingle;
    TColor FBorderColor = cl3DDkShadow;
    bool FDragging = false;
    std::unique_ptr<TBitmap> FHitTestMask;
    bool FPrevCursorSaved = false;
    TCursor FPrevCursor = crDefault;
    bool FPrevShowHintSaved = false;
    bool FPrevShowHint = false;
    bool FPrevParentShowHint = false;
    bool FPreciseClick = true;
    bool FPreciseShowHint = true;
    TPkCaptionPosition FCaptionPosition = TPkCaptionPosition::cpCentered;
    int FCaptionX = 0, FCaptionY = 0;
    TButtonState FState = TButtonState::bsUp;
};

} // namespace kv
