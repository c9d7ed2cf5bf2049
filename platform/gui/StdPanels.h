#pragma once
// Labels, images, shapes, paint boxes, panels and group boxes.

#include "platform/gui/Controls.h"

#include <memory>

namespace kv {

// Draws width bevel lines inside rect and shrinks it by them.
void Frame3D(TCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);

enum class TTextLayout { tlTop, tlCenter, tlBottom };
std::vector<std::string> EnumIdents(TTextLayout);

class TLabel : public TGraphicControl {
    KV_CLASS(TLabel)
public:
    explicit TLabel(TComponent* owner);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout v);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool v);
    void Paint(TCanvas& canvas) override;
    void AdjustBounds();
    void Loaded() override;

protected:
    void TextChanged() override;
    void FontChanged() override;
    void ColorChanged() override;

private:
    unsigned TextFlags() const;
    TAlignment FAlignment = TAlignment::taLeftJustify;
    bool FAutoSize = true;
    TTextLayout FLayout = TTextLayout::tlTop;
    bool FWordWrap = false;
    bool FShowAccelChar = true;
};

class TPicture;

class TImage : public TGraphicControl {
    KV_CLASS(TImage)
public:
    explicit TImage(TComponent* owner);
    ~TImage() override;
    TPicture* Picture() const { return FPicture.get(); }
    void SetPicture(TPicture* p);
    bool Stretch() const { return FStretch; }
    void SetStretch(bool v);
    bool Center() const { return FCenter; }
    void SetCenter(bool v);
    bool Proportional() const { return FProportional; }
    void SetProportional(bool v);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    void SetTransparent(bool v) override;
    void Paint(TCanvas& canvas) override;

private:
    void PictureChanged();
    std::unique_ptr<TPicture> FPicture;
    bool FStretch = false, FCenter = false, FProportional = false, FAutoSize = false;
};

enum class TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };
std::vector<std::string> EnumIdents(TShapeType);

class TShape : public TGraphicControl {
    KV_CLASS(TShape)
public:
    explicit TShape(TComponent* owner);
    TBrush* Brush() const { return FBrush.get(); }
    void SetBrush(TBrush* b) { FBrush->Assign(b); }
    TPen* Pen() const { return FPen.get(); }
    void SetPen(TPen* p) { FPen->Assign(p); }
    TShapeType Shape() const { return FShape; }
    void SetShape(TShapeType v);
    void Paint(TCanvas& canvas) override;

private:
    std::unique_ptr<TBrush> FBrush;
    std::unique_ptr<TPen> FPen;
    TShapeType FShape = TShapeType::stRectangle;
};

class TPaintBox : public TGraphicControl {
    KV_CLASS(TPaintBox)
public:
    explicit TPaintBox(TComponent* owner);
    // The canvas while OnPaint runs.
    TCanvas* Canvas() const { return FPaintCanvas; }
    void Paint(TCanvas& canvas) override;
    TNotifyEvent OnPaint;

private:
    TCanvas* FPaintCanvas = nullptr;
};

class TCustomPanel : public TCustomControl {
    KV_CLASS(TCustomPanel)
public:
    explicit TCustomPanel(TComponent* owner);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut v);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut v);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int v);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int v);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v);
    TRect ClientRect() const override;
    void Paint(TCanvas& canvas) override;

protected:
    void TextChanged() override { Invalidate(); }

private:
    TAlignment FAlignment = TAlignment::taCenter;
    TBevelCut FBevelInner = TBevelCut::bvNone, FBevelOuter = TBevelCut::bvRaised;
    int FBevelWidth = 1, FBorderWidth = 0;
    TBorderStyle FBorderStyle = TBorderStyle::bsNone;
};

class TPanel : public TCustomPanel {
    KV_CLASS(TPanel)
public:
    explicit TPanel(TComponent* owner) : TCustomPanel(owner) {}
};

class TGroupBox : public TCustomControl {
    KV_CLASS(TGroupBox)
public:
    explicit TGroupBox(TComponent* owner);
    TRect ClientRect() const override;
    void Paint(TCanvas& canvas) override;

protected:
    void TextChanged() override { Invalidate(); }
};

} // namespace kv
