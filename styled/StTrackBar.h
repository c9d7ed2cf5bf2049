#pragma once
// The fader: the slider through which every continuous parameter is edited. It holds a value range and
// position, maps values to pixels and back, follows presses, drags, held page steps, keys and the
// wheel, and raises OnChange for every position change, also for changes made from code; every live
// edit of the editor starts there.

#include "styled/StTrackBarSettings.h"

#include "platform/gui/Controls.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TScheduler;
class TTimer;

namespace kv {

class TTrackHintWindow;

enum class TTrackBarOrientation { trHorizontal, trVertical };
std::vector<std::string> EnumIdents(TTrackBarOrientation);
enum class TMoveOnClick { mcStep, mcMove, mcMoveSlide };
std::vector<std::string> EnumIdents(TMoveOnClick);

// Pictures for the tick marks, drawn centred on a tick by number.
class TTickImageList : public TComponent {
    KV_CLASS(TTickImageList)
public:
    explicit TTickImageList(TComponent* owner) : TComponent(owner) {}
    int Count() const { return static_cast<int>(FImages.size()); }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void Add(const QImage& image);
    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const;

private:
    std::vector<QImage> FImages;
    int FWidth = 16, FHeight = 16;
};

using TDrawTickEvent =
    std::function<void(TObject* sender, TCanvas* canvas, TPoint location, int position, TTickMark tickPos,
                       int& length, TColor& color, TColor& textColor, std::string& text, bool& defaultDraw)>;
using TGetTrackHintEvent = std::function<void(TObject* sender, int position, std::string& hintStr)>;
using TGetTrackLabelEvent = std::function<void(TObject* sender, int position, std::string& value)>;
using TGetTickMarkTextEvent = std::function<void(TObject* sender, int index, std::string& value)>;

class TCustomTrackBar : public TCustomControl {
    KV_CLASS(TCustomTrackBar)
public:
    explicit TCustomTrackBar(TComponent* owner);
    ~TCustomTrackBar() override;

    // The value. A value equal to the stored one is ignored; any other is clamped to Min..Max and
    // raises OnChange, also when clamping gives back the stored value.
    int Position() const { return FPosition; }
    virtual void SetPosition(int value);
    int Min() const { return FMin; }
    void SetMin(int value);
    int Max() const { return FMax; }
    void SetMax(int value);
    TTrackBarOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TTrackBarOrientation value);
    int PageSize() const { return FPageSize; }
    void SetPageSize(int v) { FPageSize = v; }
    TMoveOnClick MoveOnClick() const { return FMoveOnClick; }
    void SetMoveOnClick(TMoveOnClick v) { FMoveOnClick = v; }
    bool ShowFocus() const { return FShowFocus; }
    void SetShowFocus(bool v) { FShowFocus = v; }
    bool TrackHint() const { return FTrackHint; }
    void SetTrackHint(bool v) { FTrackHint = v; }
    void SetTransparent(bool v) override;

    TTrackBarThumb* Thumb() const { return FThumb.get(); }
    void SetThumb(const TTrackBarThumb* v) { FThumb->Assign(v); }
    TTrackBarSlider* Slider() const { return FSlider.get(); }
    void SetSlider(const TTrackBarSlider* v) { FSlider->Assign(v); }
    TTrackBarTick* TickMark() const { return FTickMark.get(); }
    void SetTickMark(const TTrackBarTick* v) { FTickMark->Assign(v); }
    TTrackBarButtons* Buttons() const { return FButtons.get(); }
    void SetButtons(const TTrackBarButtons* v) { FButtons->Assign(v); }
    TTrackBarLabel* TrackLabel() const { return FTrackLabel.get(); }
    void SetTrackLabel(const TTrackBarLabel* v) { FTrackLabel->Assign(v); }

    TGDIPPicture* BackGround() const { return FIBackGround.get(); }
    void SetBackGround(const TGDIPPicture* v) { FIBackGround->Assign(v); }
    TGDIPPicture* BackGroundDisabled() const { return FIBackGroundDisabled.get(); }
    void SetBackGroundDisabled(const TGDIPPicture* v) { FIBackGroundDisabled->Assign(v); }
    TGDIPPicture* RateActive() const { return FIRateActive.get(); }
    void SetRateActive(const TGDIPPicture* v) { FIRateActive->Assign(v); }
    TGDIPPicture* RateInActive() const { return FIRateInActive.get(); }
    void SetRateInActive(const TGDIPPicture* v) { FIRateInActive->Assign(v); }
    bool BackGroundStretched() const { return FBackGroundStretched; }
    void SetBackGroundStretched(bool v);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor v);
    TColor BorderColorDisabled() const { return FBorderColorDisabled; }
    void SetBorderColorDisabled(TColor v) { FBorderColorDisabled = v; }
    TColor ColorTo() const { return FColorTo; }
    void SetColorTo(TColor v);
    TColor ColorDisabled() const { return FColorDisabled; }
    void SetColorDisabled(TColor v) { FColorDisabled = v; }
    TColor ColorDisabledTo() const { return FColorDisabledTo; }
    void SetColorDisabledTo(TColor v) { FColorDisabledTo = v; }
    TTrackGradientDirection Direction() const { return FDirection; }
    void SetDirection(TTrackGradientDirection v);
    TTickImageList* TickImages() const { return FImages; }
    void SetTickImages(TTickImageList* v);
    int BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int v);
    std::string Version() const { return "1.6.3.0"; }
    void SetVersion(const std::string&) {}

    // The pack's component style (0..15; 8 is the custom style, which keeps the colours): resets the
    // slider, tick and thumb pictures and shapes, then applies the style's colour scheme.
    void SetComponentStyle(int style);

    // The repeat timer runs on this scheduler (tests pass a virtual clock); null is the real clock.
    void SetScheduler(TScheduler* scheduler);
    bool RepeatTimerEnabled() const;
    // True while the mouse is held down on the fader (the press captures the mouse).
    bool MouseCaptured() const { return FCaptured; }

    TNotifyEvent OnChange;
    TDrawTickEvent OnDrawTick;
    TGetTrackHintEvent OnGetTrackHint;
    TGetTrackLabelEvent OnGetTrackLabelText;
    TGetTickMarkTextEvent OnGetTickMarkText;

    // Geometry, in client coordinates with exclusive right and bottom edges.
    TRect GetInnerRect() const;
    TRect GetTrackRect() const;
    TRect GetSliderRect() const;
    TRect GetMinButtonRect() const;
    TRect GetMaxButtonRect() const;
    TRect GetTrackLabelRect(bool fitted) const;
    virtual TRect GetThumbRect() const;
    virtual TRect GetTopLeftTickRect() const;
    virtual TRect GetBottomRightTickRect() const;
    virtual int GetThumbLength() const;
    int GetThumbPointerOffset() const;
    virtual int GetMin() const { return FMin; }
    virtual int GetMax() const { return FMax; }
    virtual bool IsValidPosition(int value) const { return value >= FMin && value <= FMax; }
    virtual bool CanClickSlider() const { return true; }
    virtual bool CanDragThumb() const { return true; }
    virtual bool CanChangeThumbPointer() const { return true; }
    // Rating mode: one picture per value instead of track and thumb.
    bool RatingMode() const;
    TRect GetRateItemRect(int value) const;
    // The value whose rating picture holds p; false when none does.
    bool GetRateAtPoint(TPoint p, int& value) const;

    virtual void StepDown();
    virtual void StepUp();
    virtual void PageStepToClick();
    virtual void RepeatStep();
    virtual std::string GetTrackLabelText() const;
    virtual bool HasTrackLabelEvent() const { return static_cast<bool>(OnGetTrackLabelText); }

    // State the painting and the tests read.
    bool ThumbHot() const { return FThumbHot; }
    bool ThumbDown() const { return FThumbDown; }
    bool Sliding() const { return FSliding; }
    bool SliderButtonDown() const { return FSliderButtonDown; }
    bool MinButtonHot() const { return FMinButtonHot; }
    bool MinButtonDown() const { return FMinButtonDown; }
    bool MaxButtonHot() const { return FMaxButtonHot; }
    bool MaxButtonDown() const { return FMaxButtonDown; }
    bool TrackHintShowing() const { return FTrackHintShow; }
    TTrackHintWindow* TrackHintWindow() const { return FTrackHintWnd.get(); }
    int TextHeight() const { return FTextHeight; }

    // Input, as the widget hands it over.
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    bool DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) override;
    bool KeyDown(std::uint16_t& key, TShiftState shift) override;
    void DoEnter() override;
    void DoExit() override;
    void SetEnabled(bool v) override;
    // The mouse left the control.
    void MouseLeave();
    virtual bool DoMouseWheelDown(TShiftState shift, TPoint mousePos);
    virtual bool DoMouseWheelUp(TShiftState shift, TPoint mousePos);

    void Paint(TCanvas& canvas) override;
    bool OpaqueBackground() const override { return !FTransparent && Color() != clNone; }
    void Loaded() override;

    // Painting (in the painting unit).
    virtual void DrawSlider(TCanvas& canvas);
    virtual void DrawThumb(TCanvas& canvas);
    void DrawBackground(TCanvas& canvas);
    void DrawTickMarks(TCanvas& canvas);
    void DrawTrackLabel(TCanvas& canvas);
    void DrawButtons(TCanvas& canvas);
    void DrawMinButton(TCanvas& canvas);
    void DrawMaxButton(TCanvas& canvas);
    void DrawRateItems(TCanvas& canvas);
    void DrawRateItem(TCanvas& canvas, int value);

protected:
    virtual void Change();
    virtual TTrackBarSlider* CreateSlider();
    virtual void InvalidateTrackLabel();
    // Marks these rectangles for repainting; the fader never paints outside a paint.
    virtual void InvalidateRects(const std::vector<TRect>& rects);
    // Redraws the thumb (or a button) at once: an update of its rectangle.
    void RedrawThumb();
    void RedrawMinButton();
    void RedrawMaxButton();
    void Notification(TComponent* component, TOperation operation) override;
    void TickMarkChanged();
    bool IsDesigning() const { return FDesigning; }

public:
    // The form designer's mode: SetPosition repaints everything and raises no event.
    void SetDesigning(bool v) { FDesigning = v; }

private:
    void StartRepeat();
    void HideTrackHint();
    int ValueFromOffset(long double d, long double span) const;
    void PaintThumb(TCanvas& canvas, const TRect& r, int value, bool down, bool hot);
    void DrawButton(TCanvas& canvas, bool isMax);

    std::unique_ptr<TTrackBarThumb> FThumb;
    std::unique_ptr<TTrackBarSlider> FSlider;
    std::unique_ptr<TTrackBarTick> FTickMark;
    int FMax = 10, FMin = 0;
    TTrackBarOrientation FOrientation = TTrackBarOrientation::trHorizontal;
    int FPageSize = 1, FPosition = 0;
    bool FSliding = false;
    TColor FColorDisabled = clNone, FColorTo = clNone, FBorderColorDisabled = clNone, FBorderColor = clNone,
           FColorDisabledTo = clNone;
    std::unique_ptr<TGDIPPicture> FIBackGround;
    TTrackGradientDirection FDirection = TTrackGradientDirection::gdHorizontal;
    int FOffset = 2, FTickTextOffset = 2;
    bool FThumbHot = false, FThumbDown = false;
    int FThumbCenterOffsetX = 0, FThumbCenterOffsetY = 0;
    TTickImageList* FImages = nullptr;
    std::unique_ptr<TGDIPPicture> FIRateInActive, FIRateActive, FIBackGroundDisabled;
    std::unique_ptr<TTrackBarButtons> FButtons;
    int FBorderWidth = 1;
    bool FMinButtonHot = false, FMinButtonDown = false, FMaxButtonHot = false, FMaxButtonDown = false;
    bool FSliderButtonDown = false;
    TPoint FSliderDownPt;
    int FTextHeight = 0;
    std::unique_ptr<::TTimer> FRepeatTimer;
    bool FTrackHint = false;
    bool FBackGroundStretched = false;
    int FHintTickIndex = -1;
    std::unique_ptr<TTrackHintWindow> FTrackHintWnd;
    bool FTrackHintShow = false;
    bool FShowFocus = false;
    TMoveOnClick FMoveOnClick = TMoveOnClick::mcStep;
    std::unique_ptr<TTrackBarLabel> FTrackLabel;

    TScheduler* FScheduler = nullptr;
    bool FCaptured = false;
    bool FDesigning = false;
    int FWheelAccumulator = 0;
    // The way the held track press went first (+1 toward Max); 0 before the first step.
    int FPageDirection = 0;
};

class TStTrackBar : public TCustomTrackBar {
    KV_CLASS(TStTrackBar)
public:
    explicit TStTrackBar(TComponent* owner) : TCustomTrackBar(owner) {}
};

// Pixel-level drawing routines of the fader.
void DrawBandGradient(TCanvas& canvas, TColor from, TColor to, bool horizontal, TRect r, int steps);
void DrawGradient(TCanvas& canvas, TColor from, TColor to, TTrackGradientDirection direction, const TRect& r,
                  int steps);
TColor BlendColor(TColor a, TColor b, int percent);
void DrawSliderBevel(TCanvas& canvas, const TRect& r, TColor outer, TColor inner);
TSize GetTextExtent(TCanvas& canvas, const TFont* font, const std::string& text);
void DrawDottedFocusRect(TCanvas& canvas, const TRect& r, TColor colour);

} // namespace kv
