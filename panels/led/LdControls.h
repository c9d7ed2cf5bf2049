#pragma once
// The small control library behind the LED toggle button and the hover button: a control base with
// update counting and notification hooks, a base that paints through an off-screen bitmap, the
// buttons' shared focus and frame handling, the palette and 3D-text settings, and four drawing
// routines.

#include "platform/gui/Controls.h"

#include <QCursor>

#include <memory>
#include <string>

namespace kv {

class TPkMouseWatch;

enum class TLdImageTextLayout { ImageLeft, ImageRight, ImageTop, ImageBottom };
std::vector<std::string> EnumIdents(TLdImageTextLayout);
enum class TLdTextAlignment {
    vtaLeft,
    vtaCenter,
    vtaRight,
    vtaTopLeft,
    vtaTop,
    vtaTopRight,
    vtaBottomLeft,
    vtaBottom,
    vtaBottomRight
};
std::vector<std::string> EnumIdents(TLdTextAlignment);
enum class TLdFont3DStyle { f3dNone, f3dRaised, f3dSunken, f3dShadow };
std::vector<std::string> EnumIdents(TLdFont3DStyle);

// 0..255 and 1..MaxInt, the library's subrange types; setters clamp into them.
using TLdByteInt = int;
using TLdMaxInt = int;

class TLdCustomControl : public TCustomControl {
    KV_CLASS(TLdCustomControl)
public:
    ~TLdCustomControl() override;

    const std::string& Version() const { return FVersion; }
    // Readable and writable so that layouts may name it; a value read from a layout is ignored.
    void SetVersion(const std::string&) {}

    // Repaints at once, unless the control is being loaded or an update is open.
    virtual void RequestRepaint();
    void BeginUpdate() { ++FUpdateCount; }
    // Unbalanced calls leave the count at 0, so one stray call cannot stop repainting for good.
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    // The mouse-enter and mouse-leave notifications (the widget reports them; tests may call them).
    virtual void MouseEnter();
    virtual void MouseLeave();

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnFontChanged;
    TNotifyEvent OnTextChanged;

protected:
    explicit TLdCustomControl(TComponent* owner);
    virtual void DoMouseEnter();
    virtual void DoMouseLeave();
    virtual void DoFontChanged();
    virtual void DoTextChanged();
    void FontChanged() override;
    void TextChanged() override;

private:
    std::string FVersion;
    int FUpdateCount = 0;
    std::unique_ptr<TPkMouseWatch> FWatch;
};

class TLdCustomImageControl : public TLdCustomControl {
    KV_CLASS(TLdCustomImageControl)
public:
    ~TLdCustomImageControl() override;
    // Copies the off-screen image onto the control; descendants draw into BitmapCanvas first.
    void Paint(TCanvas& canvas) override;

protected:
    explicit TLdCustomImageControl(TComponent* owner);
    // Sizes the image to the control and fills it with Color.
    virtual void PrepareImage();
    TCanvas* BitmapCanvas() { return FBitmapImage->Canvas(); }
    TBitmap* BitmapImage() { return FBitmapImage.get(); }
    // The control's canvas while a paint runs.
    TCanvas* DestCanvas = nullptr;

private:
    std::unique_ptr<TBitmap> FBitmapImage;
};

// What the two LED buttons share: the focus outline, the frame colours, the repaint on a focus or
// enabled change, and the click that OnClick comes from (the framework's own click on release is not
// used). The frame widths' setters stay with each button: one lays out by them, one only repaints.
class TLdButtonControl : public TLdCustomImageControl, public IDialogKeyTarget {
    KV_CLASS(TLdButtonControl)
public:
    TColor FocusColor() const { return FFocusColor; }
    void SetFocusColor(TColor v);
    TColor OutlineColor() const { return FOutlineColor; }
    void SetOutlineColor(TColor v);
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor v);
    TColor HighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(TColor v);
    int BevelWidth() const { return FBevelWidth; }
    int OutlineWidth() const { return FOutlineWidth; }
    bool Pressed() const { return FPressed; }

    void Click() override {}
    void DoEnter() override;
    void DoExit() override;
    void SetEnabled(bool v) override;
    bool DialogKey(std::uint16_t, TShiftState) override { return false; }
    // The caption's accelerator clicks (a toggle button does not toggle by it).
    bool DialogChar(char key) override;

protected:
    explicit TLdButtonControl(TComponent* owner);
    void ClickEvent();
    // The outer frame's colour: the focus colour while focused.
    TColor OutlineOrFocusColor() const { return FFocused ? FFocusColor : FOutlineColor; }

    int FBevelWidth = 2;
    int FOutlineWidth = 1;
    TColor FOutlineColor = clBlack, FShadowColor = clBtnShadow, FHighlightColor = clBtnHighlight,
           FFocusColor = clBlue;
    bool FFocused = false;
    bool FDown = false, FPressed = false;
};

// The focus and key events the LED buttons publish, registered last.
template <class C> void FocusAndKeyEvents(TClassBuilder<C>& b) {
    b.Event("OnEnter", &TWinControl::OnEnter);
    b.Event("OnExit", &TWinControl::OnExit);
    b.Event("OnKeyDown", &TWinControl::OnKeyDown);
    b.Event("OnKeyPress", &TWinControl::OnKeyPress);
    b.Event("OnKeyUp", &TWinControl::OnKeyUp);
}

class TLdPersistent : public TPersistent {
    KV_CLASS(TLdPersistent)
public:
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    void Changed();
    TNotifyEvent OnChange;

private:
    int FUpdateCount = 0;
};

class TLdPalette : public TLdPersistent {
    KV_CLASS(TLdPalette)
public:
    TColor Low() const { return FLow; }
    void SetLow(TColor v);
    TColor High() const { return FHigh; }
    void SetHigh(TColor v);
    void Assign(const TPersistent* source) override;
    virtual TColor ColorOf(int index) const { return index <= 0 ? FLow : FHigh; }
    // Recolours a two-tone bitmap: DarkColor pixels become Low, LightColor pixels High.
    void ToBMP(TBitmap* bitmap, TColor darkColor, TColor lightColor) const;

private:
    TColor FLow = clGreen;
    TColor FHigh = clLime;
};

class TLdFont3D : public TLdPersistent {
    KV_CLASS(TLdFont3D)
public:
    TLdFont3DStyle Style() const { return FStyle; }
    void SetStyle(TLdFont3DStyle v);
    TColor HighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(TColor v);
    TColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor v);
    int HighlightDepth() const { return FHighlightDepth; }
    void SetHighlightDepth(int v);
    int ShadowDepth() const { return FShadowDepth; }
    void SetShadowDepth(int v);
    void Assign(const TPersistent* source) override;
    // Draws the text with this style: shadow and highlight copies, then the text in the font colour.
    void Paint(TCanvas& canvas, const TRect& rect, unsigned format, const std::string& text) const;

private:
    TLdFont3DStyle FStyle = TLdFont3DStyle::f3dNone;
    TColor FHighlightColor = clBtnHighlight;
    TColor FShadowColor = clBtnShadow;
    int FHighlightDepth = 1;
    int FShadowDepth = 1;
};

// `width` rings, the top and left in topColor, right and bottom in bottomColor; `rect` is left as the
// area inside them.
void DrawFrame3D(TCanvas& canvas, TRect& rect, TColor topColor, TColor bottomColor, int width);
// Enabled: one line centred in rect in the font colour. Disabled: a highlight copy at (+1, +1), then
// a shadow copy, both from the rectangle's top-left.
void DrawEmbossedText(TCanvas& canvas, const std::string& text, const TRect& rect, bool enabled);
// Places an image of imageSize and the text inside content; margin -1 centres, spacing -1 spreads.
void CalcImageTextLayout(TCanvas& canvas, const TRect& content, TSize imageSize, int spacing, int margin,
                         TLdImageTextLayout layout, const std::string& text, TPoint& imagePos,
                         TRect& textRect);
// The bitmap repeated from the rectangle's top-left, column by column, past its right and bottom.
void TileBitmap(TCanvas& canvas, const TRect& rect, const TBitmap* bitmap);

// The screen cursor list of the library: number 99 is its hand cursor.
constexpr int crLdHandPoint = 99;
const QCursor* LdScreenCursor(int number);

} // namespace kv
