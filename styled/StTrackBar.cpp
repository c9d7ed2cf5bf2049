#include "styled/StTrackBar.h"

#include "styled/StDragHint.h"

#include "platform/core/Numbers.h"
#include "platform/sys/Scheduler.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWidget>

#include <algorithm>
#include <cctype>
#include <cmath>

namespace kv {

std::vector<std::string> EnumIdents(TTrackBarOrientation) {
    return {"trHorizontal", "trVertical"};
}
std::vector<std::string> EnumIdents(TMoveOnClick) {
    return {"mcStep", "mcMove", "mcMoveSlide"};
}

namespace {

bool InRect(const TRect& r, TPoint p) {
    return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}

TRect Inflate(TRect r, int d) {
    return {r.Left - d, r.Top - d, r.Right + d, r.Bottom + d};
}

const TRect kNoRect{-1, -1, -1, -1};

// Hands the widget's leave event to the fader, and turns a double click into a second press: the
// fader takes no double clicks, so quick presses on the track each step.
class FaderEventFilter : public QObject {
public:
    FaderEventFilter(QObject* parent, TCustomTrackBar* bar) : QObject(parent), FBar(bar) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Leave) {
            FBar->MouseLeave();
        } else if (e->type() == QEvent::MouseButtonDblClick && FBar->Enabled()) {
            auto* m = static_cast<QMouseEvent*>(e);
            TMouseButton button = m->button() == Qt::RightButton    ? TMouseButton::mbRight
                                  : m->button() == Qt::MiddleButton ? TMouseButton::mbMiddle
                                                                    : TMouseButton::mbLeft;
            FBar->MouseDown(button, ShiftStateOf(m->modifiers(), m->buttons() | m->button()),
                            static_cast<int>(m->position().x()), static_cast<int>(m->position().y()));
            return true;
        }
        return false;
    }

private:
    TCustomTrackBar* FBar;
};

} // namespace

// ---------------------------------------------------------------------------------------------------
// Tick images

KV_REGISTER_CLASS(TTickImageList, TComponent, b) {}

void TTickImageList::Add(const QImage& image) {
    if (FImages.empty()) {
        FWidth = image.width();
        FHeight = image.height();
    }
    FImages.push_back(image);
}

void TTickImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const {
    if (index < 0 || index >= Count() || !canvas.Target())
        return;
    QImage img = FImages[static_cast<std::size_t>(index)];
    if (!enabled)
        img = img.convertToFormat(QImage::Format_Grayscale8).convertToFormat(QImage::Format_ARGB32);
    TBitmap bmp;
    bmp.FromImage(img);
    canvas.Draw(x, y, &bmp);
}

// ---------------------------------------------------------------------------------------------------
// Class registration

KV_REGISTER_CLASS(TCustomTrackBar, TCustomControl, b) {}

KV_REGISTER_CLASS(TStTrackBar, TCustomTrackBar, b) {
    using T = TCustomTrackBar;
    const TIdentMap& colours = ColorIdents();
    b.Prop("BackGround", &T::BackGround, &T::SetBackGround);
    b.Prop("BackGroundDisabled", &T::BackGroundDisabled, &T::SetBackGroundDisabled);
    b.Prop("BackGroundStretched", &T::BackGroundStretched, &T::SetBackGroundStretched).Default(false);
    b.Prop("BorderColor", &T::BorderColor, &T::SetBorderColor).Idents(colours, "TColor");
    b.Prop("BorderColorDisabled", &T::BorderColorDisabled, &T::SetBorderColorDisabled)
        .Idents(colours, "TColor");
    b.Prop("Buttons", &T::Buttons, &T::SetButtons);
    b.Prop("Color", &TControl::Color, &TControl::SetColor).Idents(colours, "TColor");
    b.Prop("ColorTo", &T::ColorTo, &T::SetColorTo).Idents(colours, "TColor");
    b.Prop("ColorDisabled", &T::ColorDisabled, &T::SetColorDisabled).Idents(colours, "TColor");
    b.Prop("ColorDisabledTo", &T::ColorDisabledTo, &T::SetColorDisabledTo).Idents(colours, "TColor");
    b.Prop("Direction", &T::Direction, &T::SetDirection);
    b.Prop("Max", &T::Max, &T::SetMax).Default(10);
    b.Prop("Min", &T::Min, &T::SetMin).Default(0);
    b.Prop("MoveOnClick", &T::MoveOnClick, &T::SetMoveOnClick).Default(TMoveOnClick::mcStep);
    b.Prop("Orientation", &T::Orientation, &T::SetOrientation).Default(TTrackBarOrientation::trHorizontal);
    b.Prop("PageSize", &T::PageSize, &T::SetPageSize).Default(1);
    b.Prop("Position", &T::Position, &T::SetPosition).Default(0);
    b.Prop("RateActive", &T::RateActive, &T::SetRateActive);
    b.Prop("RateInActive", &T::RateInActive, &T::SetRateInActive);
    b.Prop("ShowFocus", &T::ShowFocus, &T::SetShowFocus).Default(false);
    b.Prop("Slider", &T::Slider, &T::SetSlider);
    b.Prop("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder).Default(-1);
    b.Prop("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop).Default(true);
    b.Prop("Thumb", &T::Thumb, &T::SetThumb);
    b.Prop("TickMark", &T::TickMark, &T::SetTickMark);
    b.Ref("TickImages", &T::TickImages, &T::SetTickImages);
    b.Prop("TrackHint", &T::TrackHint, &T::SetTrackHint);
    b.Prop("TrackLabel", &T::TrackLabel, &T::SetTrackLabel);
    b.Prop("Transparent", &TControl::Transparent, &T::SetTransparent).Default(true);
    b.Prop("Version", &T::Version, &T::SetVersion);
    b.Event("OnChange", &T::OnChange);
    b.Event("OnDrawTick", &T::OnDrawTick);
    b.Event("OnGetTrackHint", &T::OnGetTrackHint);
    b.Event("OnGetTrackLabelText", &T::OnGetTrackLabelText);
    b.Event("OnGetTickMarkText", &T::OnGetTickMarkText);
    b.Event("OnMouseDown", &TControl::OnMouseDown);
}

// ---------------------------------------------------------------------------------------------------
// Life cycle

TCustomTrackBar::TCustomTrackBar(TComponent* owner) : TCustomControl(owner) {
    SetBounds(Left(), Top(), 150, 26);
    SetTabStop(true);
    SetColor(clNone);
    auto invalidate = [this](TObject*) { Invalidate(); };
    FIBackGround = std::make_unique<TGDIPPicture>();
    FIBackGround->OnChange = invalidate;
    FIBackGroundDisabled = std::make_unique<TGDIPPicture>();
    FIBackGroundDisabled->OnChange = invalidate;
    FThumb = std::make_unique<TTrackBarThumb>();
    FThumb->SetStTrackBar(this);
    FThumb->OnChange = invalidate;
    FSlider.reset(CreateSlider());
    FSlider->SetStTrackBar(this);
    FSlider->OnChange = invalidate;
    FTickMark = std::make_unique<TTrackBarTick>();
    FTickMark->OnChange = [this](TObject*) { TickMarkChanged(); };
    FIRateActive = std::make_unique<TGDIPPicture>();
    FIRateActive->OnChange = invalidate;
    FIRateInActive = std::make_unique<TGDIPPicture>();
    FIRateInActive->OnChange = invalidate;
    FButtons = std::make_unique<TTrackBarButtons>();
    FButtons->SetStTrackBar(this);
    FButtons->OnChange = invalidate;
    FTrackLabel = std::make_unique<TTrackBarLabel>();
    FTrackLabel->OnChange = invalidate;
    // Transparent: the parent shows behind the fader (the canvas starts see-through).
    FTransparent = true;
    FTrackHint = ShowHint();
    FTrackHintWnd = std::make_unique<TTrackHintWindow>(nullptr);
    Widget()->installEventFilter(new FaderEventFilter(Widget(), this));
    Widget()->setMouseTracking(true);
}

TCustomTrackBar::~TCustomTrackBar() {
    Destroying();
    FRepeatTimer.reset();
    FTrackHintWnd.reset();
}

TTrackBarSlider* TCustomTrackBar::CreateSlider() {
    return new TTrackBarSlider();
}

void TCustomTrackBar::Loaded() {
    TCustomControl::Loaded();
    TickMarkChanged();
    // A layout may set the orientation after the pictures: take the sizes again.
    FButtons->UpdateFromPicture();
    FThumb->UpdateFromPicture();
}

void TCustomTrackBar::Notification(TComponent* component, TOperation operation) {
    TCustomControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FImages && !IsDestroying()) {
        FImages = nullptr;
        Invalidate();
    }
}

void TCustomTrackBar::SetScheduler(TScheduler* scheduler) {
    FScheduler = scheduler;
    FRepeatTimer.reset();
}

bool TCustomTrackBar::RepeatTimerEnabled() const {
    return FRepeatTimer && FRepeatTimer->Enabled();
}

// ---------------------------------------------------------------------------------------------------
// Component styles

namespace {
struct TrackScheme {
    TColor color, colorTo, border, mirror, mirrorTo;      // thumb and buttons, normal
    TColor hot, hotTo, borderHot, mirrorHot, mirrorHotTo; // hot
    TColor down, downTo, borderDown, mirrorDown, mirrorDownTo;
    TColor sliderColor, sliderColorTo, sliderBorder;
};
// Blue, black and silver looks; the sixteen styles share them.
const TrackScheme kSchemes[] = {
    {15653832, 16178633, 10317632, 15586496, 16245200, 15465983, 11332863, 10079963, 5888767, 10807807,
     7778289, 4296947, 4548219, 946929, 5021693, clWhite, 16245200, 12752500},
    {13816530, 12566463, 6908265, 11711154, 13816530, 15465983, 11332863, 10079963, 5888767, 10807807,
     7778289, 4296947, 4548219, 946929, 5021693, clWhite, 8421504, 6908265},
    {15921906, 14540253, 11119017, 14211288, 15527148, 15465983, 11332863, 10079963, 5888767, 10807807,
     7778289, 4296947, 4548219, 946929, 5021693, clWhite, 14540253, 11119017},
};
} // namespace

void TCustomTrackBar::SetComponentStyle(int style) {
    TTrackBarSlider& sl = *FSlider;
    sl.SetOffset(10);
    sl.SetPicture(nullptr);
    sl.SetPictureDisabled(nullptr);
    sl.SetPictureCompleted(nullptr);
    sl.SetPictureCompletedDisabled(nullptr);
    sl.SetPictureStretched(false);
    FTickMark->SetPicture(nullptr);
    FTickMark->SetPictureDisabled(nullptr);
    FTickMark->SetPosition(TTickMark::tmBottomRight);
    FThumb->SetPicture(nullptr);
    FThumb->SetPictureHot(nullptr);
    FThumb->SetPictureDown(nullptr);
    FThumb->SetPictureDisabled(nullptr);
    FThumb->SetShape(TThumbShape::tsPointer);
    FButtons->SetSpacing(2);
    if (style == 8 || style < 0 || style > 15)
        return;
    const TrackScheme& s = kSchemes[style == 1 || style == 9 ? 1 : style == 2 || style == 10 ? 2 : 0];
    TTrackBarThumb& th = *FThumb;
    th.SetColor(s.color);
    th.SetColorTo(s.colorTo);
    th.SetBorderColor(s.border);
    th.SetColorMirror(s.mirror);
    th.SetColorMirrorTo(s.mirrorTo);
    th.SetColorHot(s.hot);
    th.SetColorHotTo(s.hotTo);
    th.SetBorderColorHot(s.borderHot);
    th.SetColorMirrorHot(s.mirrorHot);
    th.SetColorMirrorHotTo(s.mirrorHotTo);
    th.SetColorDown(s.down);
    th.SetColorDownTo(s.downTo);
    th.SetBorderColorDown(s.borderDown);
    th.SetColorMirrorDown(s.mirrorDown);
    th.SetColorMirrorDownTo(s.mirrorDownTo);
    TTrackBarButtons& bt = *FButtons;
    bt.SetColor(s.color);
    bt.SetColorTo(s.colorTo);
    bt.SetBorderColor(s.border);
    bt.SetColorMirror(s.mirror);
    bt.SetColorMirrorTo(s.mirrorTo);
    bt.SetColorHot(s.hot);
    bt.SetColorHotTo(s.hotTo);
    bt.SetBorderColorHot(s.borderHot);
    bt.SetColorMirrorHot(s.mirrorHot);
    bt.SetColorMirrorHotTo(s.mirrorHotTo);
    bt.SetColorDown(s.down);
    bt.SetColorDownTo(s.downTo);
    bt.SetBorderColorDown(s.borderDown);
    bt.SetColorMirrorDown(s.mirrorDown);
    bt.SetColorMirrorDownTo(s.mirrorDownTo);
    sl.SetColor(s.sliderColor);
    sl.SetColorTo(s.sliderColorTo);
    sl.SetBorderColor(s.sliderBorder);
    Invalidate();
}

// ---------------------------------------------------------------------------------------------------
// Simple setters

void TCustomTrackBar::SetTransparent(bool v) {
    if (v == FTransparent)
        return;
    FTransparent = v;
    Invalidate();
}

void TCustomTrackBar::SetBackGroundStretched(bool v) {
    if (v == FBackGroundStretched)
        return;
    FBackGroundStretched = v;
    Invalidate();
}

void TCustomTrackBar::SetBorderColor(TColor v) {
    if (v == FBorderColor)
        return;
    FBorderColor = v;
    Invalidate();
}

void TCustomTrackBar::SetColorTo(TColor v) {
    if (v == FColorTo)
        return;
    FColorTo = v;
    Invalidate();
}

void TCustomTrackBar::SetDirection(TTrackGradientDirection v) {
    if (v == FDirection)
        return;
    FDirection = v;
    Invalidate();
}

void TCustomTrackBar::SetTickImages(TTickImageList* v) {
    if (v == FImages)
        return;
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = v;
    if (FImages)
        FImages->FreeNotification(this);
    Invalidate();
}

void TCustomTrackBar::SetBorderWidth(int v) {
    FBorderWidth = v;
    Invalidate();
}

void TCustomTrackBar::TickMarkChanged() {
    TBitmap measure(1, 1);
    measure.Canvas()->Font()->Assign(FTickMark->Font());
    FTextHeight = measure.Canvas()->TextHeight("gh") + 2 * FTickTextOffset;
    Invalidate();
}

// ---------------------------------------------------------------------------------------------------
// Value model

void TCustomTrackBar::SetPosition(int value) {
    // Compared before clamping: a value beyond an end still reports a change (callers rely on it).
    if (value == FPosition)
        return;
    if (value < FMin)
        value = FMin;
    if (value > FMax)
        value = FMax;
    TRect oldThumb = GetThumbRect();
    int oldPosition = FPosition;
    FPosition = value;
    TRect newThumb = GetThumbRect();
    if (FDesigning) {
        Invalidate();
        return;
    }
    if (RatingMode()) {
        std::vector<TRect> items;
        for (int v = std::min(oldPosition, value); v <= std::max(oldPosition, value); ++v)
            items.push_back(GetRateItemRect(v));
        InvalidateRects(items);
    } else {
        std::vector<TRect> region{Inflate(oldThumb, 1), Inflate(newThumb, 1)};
        if (FSlider->ColorCompleted() != clNone || HasImage(FSlider->PictureCompleted()))
            region.push_back(GetSliderRect());
        if (FTickMark->ShowImageAtThumbOnly()) {
            TRect t = GetTrackRect();
            for (const TRect& th : {oldThumb, newThumb})
                region.push_back(FOrientation == TTrackBarOrientation::trHorizontal
                                     ? TRect{th.Left, t.Top, th.Right, t.Bottom}
                                     : TRect{t.Left, th.Top, t.Right, th.Bottom});
        }
        InvalidateRects(region);
        InvalidateTrackLabel();
    }
    Change();
}

void TCustomTrackBar::Change() {
    if (OnChange)
        OnChange(this);
}

void TCustomTrackBar::SetMax(int value) {
    if (value == FMax)
        return;
    FMax = value;
    if (value < FPosition)
        SetPosition(value);
    Invalidate();
}

void TCustomTrackBar::SetMin(int value) {
    if (value == FMin)
        return;
    FMin = value;
    if (FPosition < value)
        SetPosition(value);
    Invalidate();
}

void TCustomTrackBar::SetOrientation(TTrackBarOrientation value) {
    if (value == FOrientation)
        return;
    FOrientation = value;
    if (!IsLoading())
        SetBounds(Left(), Top(), Height(), Width());
    Invalidate();
}

void TCustomTrackBar::InvalidateRects(const std::vector<TRect>& rects) {
    for (const TRect& r : rects)
        if (r.Right > r.Left && r.Bottom > r.Top)
            Widget()->update(QRect(r.Left, r.Top, r.Width(), r.Height()));
}

void TCustomTrackBar::RedrawThumb() {
    InvalidateRects({GetThumbRect()});
}

void TCustomTrackBar::RedrawMinButton() {
    InvalidateRects({GetMinButtonRect()});
}

void TCustomTrackBar::RedrawMaxButton() {
    InvalidateRects({GetMaxButtonRect()});
}

void TCustomTrackBar::InvalidateTrackLabel() {
    if (!FTrackLabel->Visible())
        return;
    TRect r = GetTrackLabelRect(!HasTrackLabelEvent());
    if (FOrientation == TTrackBarOrientation::trHorizontal) {
        r.Left -= 5;
        r.Right += 5;
    } else {
        r.Top += 10;
        r.Bottom -= 10;
    }
    InvalidateRects({r});
}

void TCustomTrackBar::StepDown() {
    if (FPosition > FMin)
        SetPosition(FPosition - FButtons->Step());
}

void TCustomTrackBar::StepUp() {
    if (FPosition < FMax)
        SetPosition(FPosition + FButtons->Step());
}

// ---------------------------------------------------------------------------------------------------
// Geometry

TRect TCustomTrackBar::GetInnerRect() const {
    int d = FBorderWidth + FOffset;
    TRect c = ClientRect();
    return {c.Left + d, c.Top + d, c.Right - d, c.Bottom - d};
}

TRect TCustomTrackBar::GetMinButtonRect() const {
    TRect in = GetInnerRect();
    int s = FButtons->Size();
    if (FOrientation == TTrackBarOrientation::trHorizontal)
        return {in.Left, in.Top, in.Left + s, in.Bottom};
    return {in.Left, in.Bottom - s, in.Right, in.Bottom};
}

TRect TCustomTrackBar::GetMaxButtonRect() const {
    TRect in = GetInnerRect();
    int s = FButtons->Size();
    if (FOrientation == TTrackBarOrientation::trHorizontal)
        return {in.Right - s, in.Top, in.Right, in.Bottom};
    return {in.Left, in.Top, in.Right, in.Top + s};
}

TRect TCustomTrackBar::GetTrackRect() const {
    TRect t = GetInnerRect();
    const bool horizontal = FOrientation == TTrackBarOrientation::trHorizontal;
    if (horizontal)
        t.Top += FSlider->Offset();
    else
        t.Left += FSlider->Offset();
    TLabelPosition lp = FTrackLabel->Position();
    if (FTrackLabel->Visible() && (lp == TLabelPosition::lpTopCenter || lp == TLabelPosition::lpTopLeft ||
                                   lp == TLabelPosition::lpTopRight)) {
        TRect l = GetTrackLabelRect(false);
        if (horizontal)
            t.Top += l.Height() + 1;
        else
            t.Left += l.Width() + 1;
    }
    if (FButtons->Visible()) {
        TRect mn = GetMinButtonRect(), mx = GetMaxButtonRect();
        if (horizontal) {
            t.Left = mn.Right + FButtons->Spacing();
            t.Right = mx.Left - FButtons->Spacing();
        } else {
            t.Bottom = mn.Top - FButtons->Spacing();
            t.Top = mx.Bottom + FButtons->Spacing();
        }
    }
    return t;
}

namespace {
bool TicksTopLeft(const TTrackBarTick& t) {
    return t.Style() != TTickStyle::tsNone &&
           (t.Position() == TTickMark::tmTopLeft || t.Position() == TTickMark::tmBoth);
}
bool TicksBottomRight(const TTrackBarTick& t) {
    return t.Style() != TTickStyle::tsNone &&
           (t.Position() == TTickMark::tmBottomRight || t.Position() == TTickMark::tmBoth);
}
} // namespace

int TCustomTrackBar::GetThumbPointerOffset() const {
    int w = FThumb->Width();
    if (w <= 0)
        return 0;
    switch (FThumb->ThumbPointer()) {
    case TThumbPointer::tpLeft:
        return 0;
    case TThumbPointer::tpCenter:
        return w / 2;
    case TThumbPointer::tpRight:
        return w;
    }
    return 0;
}

int TCustomTrackBar::GetThumbLength() const {
    return FThumb->Width();
}

TRect TCustomTrackBar::GetTopLeftTickRect() const {
    if (!TicksTopLeft(*FTickMark))
        return kNoRect;
    TRect t = GetTrackRect();
    int po = GetThumbPointerOffset();
    int depth = FTickMark->Size() + (FTickMark->ShowText() ? FTextHeight : 0);
    if (FOrientation == TTrackBarOrientation::trHorizontal)
        return {t.Left + po, t.Top, t.Right - po, t.Top + depth};
    return {t.Left, t.Top + po, t.Left + depth, t.Bottom - po};
}

TRect TCustomTrackBar::GetBottomRightTickRect() const {
    if (!TicksBottomRight(*FTickMark))
        return kNoRect;
    TRect t = GetTrackRect();
    int po = GetThumbPointerOffset();
    int depth = FTickMark->Size() + (FTickMark->ShowText() ? FTextHeight : 0);
    const bool horizontal = FOrientation == TTrackBarOrientation::trHorizontal;
    TRect s = GetSliderRect();
    int start;
    if (s.Left >= 0 && s.Right > s.Left)
        start = (horizontal ? s.Bottom : s.Right) - (FSlider->Border3D() ? 1 : 0) + FTickMark->Spacing();
    else if (TicksTopLeft(*FTickMark)) {
        TRect tl = GetTopLeftTickRect();
        start = (horizontal ? tl.Bottom : tl.Right) + 2 * FTickMark->Spacing();
    } else
        start = horizontal ? t.Top : t.Left;
    if (horizontal)
        return {t.Left + po, start, t.Right - po, start + depth};
    return {start, t.Top + po, start + depth, t.Bottom - po};
}

TRect TCustomTrackBar::GetSliderRect() const {
    if (!FSlider->Visible() || FSlider->Size() <= 0)
        return kNoRect;
    TRect t = GetTrackRect();
    const bool horizontal = FOrientation == TTrackBarOrientation::trHorizontal;
    int start = horizontal ? t.Top : t.Left;
    if (TicksTopLeft(*FTickMark)) {
        TRect tl = GetTopLeftTickRect();
        start = (horizontal ? tl.Bottom : tl.Right) + FTickMark->Spacing();
    }
    if (horizontal)
        return {t.Left, start, t.Right, start + FSlider->Size()};
    return {start, t.Top, start + FSlider->Size(), t.Bottom};
}

TRect TCustomTrackBar::GetThumbRect() const {
    TRect t = GetTrackRect();
    const bool horizontal = FOrientation == TTrackBarOrientation::trHorizontal;
    const int len = GetThumbLength(), size = FThumb->Size();
    int start;
    TRect s = GetSliderRect();
    if (s.Left >= 0 && s.Right > s.Left) {
        int nearEdge = horizontal ? s.Top : s.Left, farEdge = horizontal ? s.Bottom : s.Right;
        start = nearEdge + (farEdge - nearEdge) / 2 - size / 2;
    } else if (TicksTopLeft(*FTickMark)) {
        TRect tl = GetTopLeftTickRect();
        start = (horizontal ? tl.Top : tl.Left) + FTickMark->Spacing() - size / 2;
    } else if (TicksBottomRight(*FTickMark)) {
        TRect br = GetBottomRightTickRect();
        start = horizontal ? br.Top : br.Left;
    } else {
        start = horizontal ? t.Top : t.Left;
    }
    int acrossStart = start, acrossEnd = start + size;
    if (FThumb->Shape() == TThumbShape::tsLine && !HasImage(FThumb->Picture())) {
        TRect in = GetInnerRect();
        acrossStart = horizontal ? in.Top : in.Left;
        acrossEnd = (horizontal ? Height() : Width()) - FBorderWidth;
    }
    int span = (horizontal ? t.Width() : t.Height()) - len;
    int offset = 0;
    if (FMax != FMin)
        offset = RoundEven(static_cast<long double>(span) * (static_cast<long double>(FPosition - FMin) /
                                                             static_cast<long double>(FMax - FMin)));
    if (horizontal) {
        int left = t.Left + offset;
        return {left, acrossStart, left + len, acrossEnd};
    }
    int bottom = t.Bottom - offset;
    return {acrossStart, bottom - len, acrossEnd, bottom};
}

TRect TCustomTrackBar::GetTrackLabelRect(bool fitted) const {
    TRect in = GetInnerRect();
    const bool horizontal = FOrientation == TTrackBarOrientation::trHorizontal;
    std::string text = GetTrackLabelText();
    if (text.empty() && HasTrackLabelEvent())
        text = "Pos";
    TBitmap measure(1, 1);
    TSize ext = GetTextExtent(*measure.Canvas(), FTrackLabel->Font(), text);
    int depth = ext.cy + FTrackLabel->Spacing();
    TLabelPosition lp = FTrackLabel->Position();
    bool top = lp == TLabelPosition::lpTopCenter || lp == TLabelPosition::lpTopLeft ||
               lp == TLabelPosition::lpTopRight;
    TRect r;
    if (top) {
        r = horizontal
                ? TRect{in.Left, in.Top + FSlider->Offset(), in.Right, in.Top + FSlider->Offset() + depth}
                : TRect{in.Left + FSlider->Offset(), in.Top, in.Left + FSlider->Offset() + depth, in.Bottom};
    } else {
        TRect br = GetBottomRightTickRect();
        TRect s = GetSliderRect();
        int base;
        if (br.Left >= 0)
            base = (horizontal ? br.Bottom : br.Right) + 1;
        else if (s.Left >= 0)
            base = (horizontal ? s.Bottom : s.Right) + 1;
        else
            base = (horizontal ? in.Top + FSlider->Offset() : in.Left + FSlider->Offset()) + 1;
        r = horizontal ? TRect{in.Left, base, in.Right, base + depth}
                       : TRect{base, in.Top, base + depth, in.Bottom};
    }
    if (!fitted)
        return r;
    int len = ext.cx + 5;
    bool atStart = lp == TLabelPosition::lpTopLeft || lp == TLabelPosition::lpBottomLeft;
    bool atEnd = lp == TLabelPosition::lpTopRight || lp == TLabelPosition::lpBottomRight;
    if (horizontal) {
        int left = atStart ? r.Left : atEnd ? r.Right - len : r.Left + (r.Width() - len) / 2;
        return {left, r.Top, left + len, r.Bottom};
    }
    // A vertical label runs from bottom to top: its start is at the bottom.
    int bottom = atStart ? r.Bottom : atEnd ? r.Top + len : r.Bottom - (r.Height() - len) / 2;
    return {r.Left, bottom - len, r.Right, bottom};
}

bool TCustomTrackBar::RatingMode() const {
    return HasImage(FIRateActive.get()) && HasImage(FIRateInActive.get());
}

TRect TCustomTrackBar::GetRateItemRect(int value) const {
    if (!RatingMode() || value <= FMin || value > FMax)
        return kNoRect;
    FIRateActive->GetImageSizes();
    FIRateInActive->GetImageSizes();
    int w = std::max(FIRateActive->Width(), FIRateInActive->Width());
    int h = std::max(FIRateActive->Height(), FIRateInActive->Height());
    if (w <= 0 || h <= 0)
        return kNoRect;
    TRect t = GetTrackRect();
    int x = t.Left, y = t.Top;
    for (int v = FMin + 1; v < value; ++v) {
        x += w;
        if (x + w > t.Right) {
            x = t.Left;
            y += h;
        }
    }
    if (y + h > t.Bottom)
        return kNoRect;
    return {x, y, x + w, y + h};
}

bool TCustomTrackBar::GetRateAtPoint(TPoint p, int& value) const {
    for (int v = FMin + 1; v <= FMax; ++v) {
        TRect r = GetRateItemRect(v);
        if (r.Left < 0)
            break;
        if (InRect(r, p)) {
            value = v;
            return true;
        }
    }
    return false;
}

std::string TCustomTrackBar::GetTrackLabelText() const {
    std::string text;
    const std::string& f = FTrackLabel->Format();
    // The format takes one integer: the position.
    for (std::size_t i = 0; i < f.size(); ++i) {
        if (f[i] == '%' && i + 1 < f.size()) {
            if (f[i + 1] == '%') {
                text += '%';
                ++i;
                continue;
            }
            std::size_t j = i + 1;
            while (j < f.size() && (std::isdigit(static_cast<unsigned char>(f[j])) || f[j] == '-'))
                ++j;
            if (j < f.size() && (f[j] == 'd' || f[j] == 'D')) {
                text += std::to_string(FPosition);
                i = j;
                continue;
            }
        }
        text += f[i];
    }
    if (OnGetTrackLabelText)
        OnGetTrackLabelText(const_cast<TCustomTrackBar*>(this), FPosition, text);
    return text;
}

// ---------------------------------------------------------------------------------------------------
// Mouse

int TCustomTrackBar::ValueFromOffset(long double d, long double span) const {
    // A track not longer than its thumb maps no pixel to a value: the position stays.
    if (span <= 0)
        return FPosition;
    int value = RoundEven(d / span * (FMax - FMin) + FMin);
    if (value > FMax)
        value = FMax;
    if (value < FMin)
        value = FMin;
    if (!IsValidPosition(value))
        value = FPosition;
    return value;
}

void TCustomTrackBar::StartRepeat() {
    if (!FRepeatTimer) {
        FRepeatTimer = std::make_unique<::TTimer>(FScheduler);
        FRepeatTimer->SetEnabled(false);
        FRepeatTimer->OnTimer = [this] { RepeatStep(); };
    }
    FRepeatTimer->SetEnabled(false);
    FRepeatTimer->SetInterval(static_cast<uint32_t>(std::max(1, FButtons->InitRepeatPause())));
    FRepeatTimer->SetEnabled(true);
}

void TCustomTrackBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TCustomControl::MouseDown(button, shift, x, y);
    FCaptured = true;
    if (!Focused() && CanFocus())
        SetFocus();
    const TPoint p{x, y};
    const TRect t = GetTrackRect();
    const TRect a = Inflate(t, 4);
    const bool inMin = FButtons->Visible() && InRect(GetMinButtonRect(), p);
    const bool inMax = FButtons->Visible() && InRect(GetMaxButtonRect(), p);
    const TRect thumb = GetThumbRect();
    const bool rating = RatingMode();
    const bool horizontal = FOrientation == TTrackBarOrientation::trHorizontal;

    if (!rating && !InRect(thumb, p) && button == TMouseButton::mbLeft &&
        FMoveOnClick != TMoveOnClick::mcStep && !inMin && !inMax) {
        const int w = FThumb->Width();
        long double d, span;
        if (horizontal) {
            d = x - t.Left - GetThumbPointerOffset();
            span = t.Right - t.Left - w;
        } else {
            d = t.Bottom - w - y;
            span = t.Bottom - t.Top - w;
        }
        SetPosition(ValueFromOffset(d, span));
        if (FMoveOnClick == TMoveOnClick::mcMoveSlide) {
            FThumbDown = true;
            FSliding = true;
        }
        return;
    }
    if (button != TMouseButton::mbLeft || rating)
        return;
    if (InRect(thumb, p) && CanDragThumb()) {
        FSliding = true;
        FThumbDown = true;
        RedrawThumb();
        FThumbCenterOffsetX = x - thumb.Left - (thumb.Right - thumb.Left) / 2;
        FThumbCenterOffsetY = y - thumb.Top - (thumb.Bottom - thumb.Top) / 2;
    } else if (InRect(a, p) && CanClickSlider()) {
        FSliderButtonDown = true;
        FSliderDownPt = p;
        FPageDirection = 0;
        PageStepToClick();
        StartRepeat();
    } else if (FButtons->Visible()) {
        if (inMin && !FMinButtonDown) {
            FMinButtonDown = true;
            RedrawMinButton();
            if (FButtons->RepeatClick())
                StartRepeat();
        }
        if (inMax && !FMaxButtonDown) {
            FMaxButtonDown = true;
            RedrawMaxButton();
            if (FButtons->RepeatClick())
                StartRepeat();
        }
    }
}

void TCustomTrackBar::PageStepToClick() {
    // Steps toward the press point while it lies beyond the thumb on the side of the first step, and
    // stops for good once the thumb covers it or the value cannot move further that way; a thumb that
    // flipped back and forth around the point sent a command to the unit on every flip.
    const TRect thumb = GetThumbRect();
    const TPoint p = FSliderDownPt;
    int direction = 0; // +1: toward Max
    if (FOrientation == TTrackBarOrientation::trHorizontal) {
        if (p.X < thumb.Left)
            direction = -1;
        else if (p.X >= thumb.Right)
            direction = +1;
    } else {
        if (p.Y < thumb.Top)
            direction = +1;
        else if (p.Y >= thumb.Bottom)
            direction = -1;
    }
    if (FPageDirection == 0)
        FPageDirection = direction;
    if (direction == 0 || direction != FPageDirection)
        return;
    if ((direction > 0 && FPosition >= FMax) || (direction < 0 && FPosition <= FMin))
        return;
    SetPosition(FPosition + direction * FPageSize);
}

void TCustomTrackBar::RepeatStep() {
    if (!FRepeatTimer)
        return;
    FRepeatTimer->SetInterval(static_cast<uint32_t>(std::max(1, FButtons->RepeatPause())));
    if (!FCaptured)
        return;
    try {
        if (FSliderButtonDown)
            PageStepToClick();
        else if (FMinButtonDown)
            StepDown();
        else if (FMaxButtonDown)
            StepUp();
        else
            FRepeatTimer->SetEnabled(false);
    } catch (...) {
        FRepeatTimer->SetEnabled(false);
        throw;
    }
}

void TCustomTrackBar::MouseMove(TShiftState shift, int x, int y) {
    TCustomControl::MouseMove(shift, x, y);
    if (RatingMode())
        return;
    const TPoint p{x, y};
    if (FSliding) {
        const TRect t = GetTrackRect();
        const int len = GetThumbLength();
        const bool horizontal = FOrientation == TTrackBarOrientation::trHorizontal;
        const long double span = (horizontal ? t.Width() : t.Height()) - len;
        long double d = horizontal ? static_cast<long double>(x - t.Left - FThumbCenterOffsetX - len / 2)
                                   : span - y + t.Top + FThumbCenterOffsetY + len / 2;
        int value = ValueFromOffset(d, span);
        if (value != FPosition && FTrackHint && value != FHintTickIndex) {
            FHintTickIndex = value;
            std::string text = std::to_string(value);
            if (OnGetTrackHint)
                OnGetTrackHint(this, value, text);
            FTrackHintWnd->SetCaption(text);
            TRect r = FTrackHintWnd->CalcHintRect(100, text);
            TPoint cursor = ClientToScreen({x, y});
            r = {cursor.X + 10, cursor.Y, cursor.X + 10 + r.Width(), cursor.Y + r.Height()};
            FTrackHintWnd->SetColor(clInfoBk);
            FTrackHintWnd->ActivateHint(r, text);
            FTrackHintShow = true;
        }
        FSliderButtonDown = false;
        SetPosition(value);
        return;
    }
    if (FButtons->Visible()) {
        bool inMin = InRect(GetMinButtonRect(), p), inMax = InRect(GetMaxButtonRect(), p);
        if (inMin && !FMinButtonHot) {
            FMinButtonHot = true;
            RedrawMinButton();
        } else if (!inMin && FMinButtonHot) {
            FMinButtonHot = false;
            FMinButtonDown = false;
            RedrawMinButton();
        }
        if (inMax && !FMaxButtonHot) {
            FMaxButtonHot = true;
            RedrawMaxButton();
        } else if (!inMax && FMaxButtonHot) {
            FMaxButtonHot = false;
            FMaxButtonDown = false;
            RedrawMaxButton();
        }
    }
    if (InRect(GetThumbRect(), p) && CanDragThumb()) {
        if (!FThumbHot) {
            FThumbHot = true;
            RedrawThumb();
        }
    } else if (FThumbHot) {
        FThumbHot = false;
        FThumbDown = false;
        RedrawThumb();
    }
}

void TCustomTrackBar::HideTrackHint() {
    if (FTrackHintShow) {
        FTrackHintWnd->ReleaseHandle();
        FTrackHintShow = false;
    }
}

void TCustomTrackBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (FRepeatTimer)
        FRepeatTimer->SetEnabled(false);
    FSliderButtonDown = false;
    FCaptured = false;
    const TPoint p{x, y};
    if (RatingMode()) {
        if (button == TMouseButton::mbLeft) {
            int value = 0;
            if (GetRateAtPoint(p, value)) {
                SetPosition(value);
            } else {
                TRect first = GetRateItemRect(FMin + 1);
                if (first.Left >= 0 && x >= first.Left - 4 && x < first.Left && y >= first.Top &&
                    y < first.Bottom)
                    SetPosition(FMin);
            }
        }
    } else if (button == TMouseButton::mbLeft) {
        HideTrackHint();
        FSliding = false;
        if (FThumbDown) {
            FThumbDown = false;
            if (!InRect(GetThumbRect(), p))
                FThumbHot = false;
            RedrawThumb();
        }
        if (FButtons->Visible()) {
            if (InRect(GetMinButtonRect(), p) && FMinButtonDown) {
                FMinButtonDown = false;
                RedrawMinButton();
                StepDown();
            }
            if (InRect(GetMaxButtonRect(), p) && FMaxButtonDown) {
                FMaxButtonDown = false;
                RedrawMaxButton();
                StepUp();
            }
        }
    }
    TCustomControl::MouseUp(button, shift, x, y);
}

void TCustomTrackBar::MouseLeave() {
    if (FMinButtonHot || FMinButtonDown) {
        FMinButtonHot = FMinButtonDown = false;
        RedrawMinButton();
    }
    if (FMaxButtonHot || FMaxButtonDown) {
        FMaxButtonHot = FMaxButtonDown = false;
        RedrawMaxButton();
    }
    if ((FThumbHot || FThumbDown) && !FSliding) {
        FThumbHot = FThumbDown = false;
        RedrawThumb();
    }
}

// ---------------------------------------------------------------------------------------------------
// Keys, wheel, focus

bool TCustomTrackBar::KeyDown(std::uint16_t& key, TShiftState shift) {
    bool consumed = TCustomControl::KeyDown(key, shift);
    if (shift.Contains(TShiftItem::ssShift))
        return consumed;
    const bool vertical = FOrientation == TTrackBarOrientation::trVertical;
    switch (key) {
    case VK_PRIOR:
        SetPosition(FPosition + FPageSize);
        break;
    case VK_NEXT:
        SetPosition(FPosition - FPageSize);
        break;
    case VK_UP:
    case VK_RIGHT:
        if (FPosition < FMax)
            SetPosition(FPosition + 1);
        break;
    case VK_DOWN:
    case VK_LEFT:
        if (FPosition > FMin)
            SetPosition(FPosition - 1);
        break;
    case VK_END:
        SetPosition(vertical ? GetMin() : GetMax());
        break;
    case VK_HOME:
        SetPosition(vertical ? GetMax() : GetMin());
        break;
    default:
        break;
    }
    // The key goes on to the form's own handling.
    return key == 0;
}

bool TCustomTrackBar::DoMouseWheel(TShiftState shift, int wheelDelta, TPoint mousePos) {
    if (TCustomControl::DoMouseWheel(shift, wheelDelta, mousePos))
        return true;
    // One unit per notch of 120.
    FWheelAccumulator += wheelDelta;
    bool handled = false;
    while (FWheelAccumulator >= 120) {
        FWheelAccumulator -= 120;
        handled = DoMouseWheelUp(shift, mousePos) || handled;
    }
    while (FWheelAccumulator <= -120) {
        FWheelAccumulator += 120;
        handled = DoMouseWheelDown(shift, mousePos) || handled;
    }
    return handled || wheelDelta != 0;
}

bool TCustomTrackBar::DoMouseWheelUp(TShiftState, TPoint) {
    if (FPosition < FMax)
        SetPosition(FPosition + 1);
    return true;
}

bool TCustomTrackBar::DoMouseWheelDown(TShiftState, TPoint) {
    if (FPosition > FMin)
        SetPosition(FPosition - 1);
    return true;
}

void TCustomTrackBar::DoEnter() {
    TCustomControl::DoEnter();
    Repaint();
}

void TCustomTrackBar::DoExit() {
    TCustomControl::DoExit();
    Repaint();
}

void TCustomTrackBar::SetEnabled(bool v) {
    TCustomControl::SetEnabled(v);
    Invalidate();
}

} // namespace kv
