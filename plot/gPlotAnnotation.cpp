#include "plot/gPlotAnnotation.h"

#include "plot/gPlotAxis.h"
#include "plot/gPlotChannel.h"
#include "plot/gPlotComponent.h"
#include "plot/gPlotDataView.h"
#include "plot/gPlotLabel.h"
#include "plot/gPlotManagers.h"

#include "platform/gui/ImageList.h"

#include <algorithm>
#include <cmath>

namespace kv {

std::vector<std::string> EnumIdents(TgPlotReferenceType) {
    return {"iprtDataView", "iprtChannel", "iprtXChannelYDataView", "iprtXDataViewYChannel"};
}
std::vector<std::string> EnumIdents(TgPlotReferenceIndividual) {
    return {"ipriDataView", "ipriChannel", "ipriAuto"};
}
std::vector<std::string> EnumIdents(TgPlotAnnotationStyle) {
    return {"ipasText",    "ipasLine",     "ipasRectangle",     "ipasLineX",
            "ipasLineY",   "ipasImage",    "ipasTextRectangle", "ipasEllipse",
            "ipasTextBox", "ipasEllipse2", "ipasPolygon",       "ipasRectangle2"};
}
std::vector<std::string> EnumIdents(TgAlignmentVertical) {
    return {"iavCenter", "iavTop", "iavBottom"};
}

KV_REGISTER_CLASS(TgPlotAnnotation, TgPlotObject, b) {
    using A = TgPlotAnnotation;
    using R = TgPlotReferenceIndividual;
    b.Prop("Style", &A::Style, &A::SetStyle).Default(TgPlotAnnotationStyle::ipasText);
    b.Prop("Reference", &A::Reference, &A::SetReference).Default(TgPlotReferenceType::iprtDataView);
    b.Prop("ReferencePositionX", &A::ReferencePositionX, &A::SetReferencePositionX).Default(R::ipriAuto);
    b.Prop("ReferencePositionY", &A::ReferencePositionY, &A::SetReferencePositionY).Default(R::ipriAuto);
    b.Prop("ReferenceSizeX", &A::ReferenceSizeX, &A::SetReferenceSizeX).Default(R::ipriAuto);
    b.Prop("ReferenceSizeY", &A::ReferenceSizeY, &A::SetReferenceSizeY).Default(R::ipriAuto);
    b.Prop("X", &A::X, &A::SetX);
    b.Prop("Y", &A::Y, &A::SetY);
    b.Prop("X2", &A::X2, &A::SetX2);
    b.Prop("Y2", &A::Y2, &A::SetY2);
    b.Prop("Width", &A::Width, &A::SetWidth);
    b.Prop("Height", &A::Height, &A::SetHeight);
    b.Prop("PenColor", &A::PenColor, &A::SetPenColor).Default(static_cast<int>(clWhite));
    b.Prop("PenStyle", &A::PenStyle, &A::SetPenStyle).Default(TPenStyle::psSolid);
    b.Prop("PenWidth", &A::PenWidth, &A::SetPenWidth).Default(1);
    b.Prop("BrushColor", &A::BrushColor, &A::SetBrushColor).Default(static_cast<int>(clWhite));
    b.Prop("BrushStyle", &A::BrushStyle, &A::SetBrushStyle).Default(TBrushStyle::bsSolid);
    b.Prop("Text", &A::Text, &A::SetText);
    b.Prop("TextRotation", &A::TextRotation, &A::SetTextRotation).Default(TgRotationAngle::ira000);
    b.Prop("TextHorzAlignment", &A::TextHorzAlignment, &A::SetTextHorzAlignment)
        .Default(TgAlignmentHorizontal::iahCenter);
    b.Prop("TextVertAlignment", &A::TextVertAlignment, &A::SetTextVertAlignment)
        .Default(TgAlignmentVertical::iavCenter);
    b.Prop("TextLineAlignment", &A::TextLineAlignment, &A::SetTextLineAlignment)
        .Default(TgAlignmentHorizontal::iahCenter);
    b.Prop("TextHorzMargin", &A::TextHorzMargin, &A::SetTextHorzMargin);
    b.Prop("TextVertMargin", &A::TextVertMargin, &A::SetTextVertMargin);
    b.Prop("Font", &A::Font, &A::SetFont);
    b.Prop("OuterMargin", &A::OuterMargin, &A::SetOuterMargin).Default(0);
    b.Prop("ImageListIndex", &A::ImageListIndex, &A::SetImageListIndex).Default(0);
    b.Prop("ImageIndex", &A::ImageIndex, &A::SetImageIndex).Default(0);
    b.Prop("ChannelName", &A::ChannelName, &A::SetChannelName);
    b.Prop("UserCanMove", &A::UserCanMove, &A::SetUserCanMove).Default(false);
    b.Prop("UserCanSize", &A::UserCanSize, &A::SetUserCanSize).Default(false);
    b.Prop("SelectModeOnlyInteraction", &A::SelectModeOnlyInteraction, &A::SetSelectModeOnlyInteraction)
        .Default(true);
    b.Prop("ClipToAxes", &A::ClipToAxes, &A::SetClipToAxes).Default(false);
    b.Prop("ShowFocusRect", &A::ShowFocusRect, &A::SetShowFocusRect).Default(true);
}

namespace {
const bool kAnnotationClassRegistered =
    (gRegisterPlotObjectClassOf<TgPlotAnnotation>("TgPlotAnnotation"), true);

TgPlotComponent* AnnotationPlot(TComponent* owner) {
    return dynamic_cast<TgPlotComponent*>(owner);
}

bool AnnotationInRect(const TRect& r, int x, int y) {
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

TRect AnnotationIntersect(const TRect& a, const TRect& b) {
    return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
            std::min(a.Bottom, b.Bottom)};
}

// Rectangles that share at least a point; a line (zero width or height) counts.
bool AnnotationMeets(const TRect& a, const TRect& b) {
    return a.Left <= b.Right && b.Left <= a.Right && a.Top <= b.Bottom && b.Top <= a.Bottom;
}

// Cuts the segment p0-p1 to the rectangle (right and bottom edges included); false when nothing is left.
bool AnnotationClipSegment(const TRect& r, TPoint& p0, TPoint& p1) {
    double t0 = 0, t1 = 1;
    const double dx = p1.X - p0.X, dy = p1.Y - p0.Y;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {double(p0.X - r.Left), double(r.Right - p0.X), double(p0.Y - r.Top),
                         double(r.Bottom - p0.Y)};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
        } else {
            const double t = q[i] / p[i];
            if (p[i] < 0)
                t0 = std::max(t0, t);
            else
                t1 = std::min(t1, t);
        }
    }
    if (t0 > t1)
        return false;
    const TPoint a = p0;
    p0 = {gRoundSaturated(a.X + t0 * dx), gRoundSaturated(a.Y + t0 * dy)};
    p1 = {gRoundSaturated(a.X + t1 * dx), gRoundSaturated(a.Y + t1 * dy)};
    return true;
}
} // namespace

TgPlotAnnotation::TgPlotAnnotation(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                                   TNotifyEvent onRemove, TNotifyEvent onRename)
    : TgPlotObject(owner, std::move(onChange), std::move(onInsert), std::move(onRemove), std::move(onRename)),
      TgPlotImageHolder(static_cast<TgPlotObject&>(*this)), FFont(std::make_unique<TFont>()) {
    FFont->SetName("Arial");
    FFont->SetColor(clWhite);
    FFont->OnChange = [this](TObject*) { DoChange(); };
}

TgPlotAnnotation::~TgPlotAnnotation() {
    NotifyRemove();
    FFont->OnChange = nullptr;
}

// --- properties

void TgPlotAnnotation::SetStyle(TgPlotAnnotationStyle value) {
    SetValue(value, FStyle);
}
void TgPlotAnnotation::SetBrushStyle(TBrushStyle value) {
    SetValue(value, FBrushStyle);
}
void TgPlotAnnotation::SetBrushColor(TColor value) {
    SetValue(value, FBrushColor);
}
void TgPlotAnnotation::SetPenStyle(TPenStyle value) {
    SetValue(value, FPenStyle);
}
void TgPlotAnnotation::SetPenColor(TColor value) {
    SetValue(value, FPenColor);
}
void TgPlotAnnotation::SetPenWidth(int value) {
    SetValue(value, FPenWidth);
}
void TgPlotAnnotation::SetReference(TgPlotReferenceType value) {
    SetValue(value, FReference);
}
void TgPlotAnnotation::SetReferencePositionX(TgPlotReferenceIndividual value) {
    SetValue(value, FReferencePositionX);
}
void TgPlotAnnotation::SetReferencePositionY(TgPlotReferenceIndividual value) {
    SetValue(value, FReferencePositionY);
}
void TgPlotAnnotation::SetReferenceSizeX(TgPlotReferenceIndividual value) {
    SetValue(value, FReferenceSizeX);
}
void TgPlotAnnotation::SetReferenceSizeY(TgPlotReferenceIndividual value) {
    SetValue(value, FReferenceSizeY);
}
void TgPlotAnnotation::SetText(const std::string& value) {
    SetValue(value, FText);
}
void TgPlotAnnotation::SetTextRotation(TgRotationAngle value) {
    SetValue(value, FTextRotation);
}
void TgPlotAnnotation::SetTextHorzAlignment(TgAlignmentHorizontal value) {
    SetValue(value, FTextHorzAlignment);
}
void TgPlotAnnotation::SetTextVertAlignment(TgAlignmentVertical value) {
    SetValue(value, FTextVertAlignment);
}
void TgPlotAnnotation::SetTextLineAlignment(TgAlignmentHorizontal value) {
    SetValue(value, FTextLineAlignment);
}
void TgPlotAnnotation::SetTextHorzMargin(double value) {
    SetValue(value, FTextHorzMargin);
}
void TgPlotAnnotation::SetTextVertMargin(double value) {
    SetValue(value, FTextVertMargin);
}
void TgPlotAnnotation::SetOuterMargin(int value) {
    SetValue(value, FOuterMargin);
}
void TgPlotAnnotation::SetImageListIndex(int value) {
    SetValue(value, FImageListIndex);
}
void TgPlotAnnotation::SetImageIndex(int value) {
    SetValue(value, FImageIndex);
}
void TgPlotAnnotation::SetUserCanMove(bool value) {
    SetValue(value, FUserCanMove);
}
void TgPlotAnnotation::SetUserCanSize(bool value) {
    SetValue(value, FUserCanSize);
}
void TgPlotAnnotation::SetSelectModeOnlyInteraction(bool value) {
    SetValue(value, FSelectModeOnlyInteraction);
}
void TgPlotAnnotation::SetClipToAxes(bool value) {
    SetValue(value, FClipToAxes);
}
void TgPlotAnnotation::SetShowFocusRect(bool value) {
    SetValue(value, FShowFocusRect);
}

void TgPlotAnnotation::SetChannelName(const std::string& value) {
    if (value == FChannelName)
        return;
    FChannelName = value;
    FChannel = nullptr;
    DoChange();
}

void TgPlotAnnotation::SetCoordinate(double value, double& field) {
    if (value == field)
        return;
    field = value;
    DoChange();
    if (TgPlotComponent* plot = AnnotationPlot(FOwner))
        plot->DoAnnotationCoordinatesChange(this);
}
void TgPlotAnnotation::SetX(double value) {
    SetCoordinate(value, FX);
}
void TgPlotAnnotation::SetY(double value) {
    SetCoordinate(value, FY);
}
void TgPlotAnnotation::SetX2(double value) {
    SetCoordinate(value, FX2);
}
void TgPlotAnnotation::SetY2(double value) {
    SetCoordinate(value, FY2);
}
void TgPlotAnnotation::SetWidth(double value) {
    SetCoordinate(value, FWidth);
}
void TgPlotAnnotation::SetHeight(double value) {
    SetCoordinate(value, FHeight);
}

// --- polygon

int TgPlotAnnotation::PolyPointAdd(double x, double y) {
    FPolyPoints.push_back({x, y});
    return PolyPointsCount() - 1;
}

void TgPlotAnnotation::PolyPointsClear() {
    std::vector<TgPlotAnnotationPoint>().swap(FPolyPoints);
}

// --- frames and conversions

TgPlotDataView* TgPlotAnnotation::GetDataView() const {
    return dynamic_cast<TgPlotDataView*>(FDataView);
}

TgPlotChannelCustom* TgPlotAnnotation::GetChannel() {
    if (!FChannel)
        if (TgPlotComponent* plot = AnnotationPlot(FOwner))
            FChannel = plot->GetChannelByName(FChannelName);
    return FChannel;
}

namespace {
bool AnnotationInChannel(TgPlotReferenceIndividual individual, TgPlotReferenceType reference, bool x) {
    if (individual != TgPlotReferenceIndividual::ipriAuto)
        return individual == TgPlotReferenceIndividual::ipriChannel;
    return reference == TgPlotReferenceType::iprtChannel ||
           reference ==
               (x ? TgPlotReferenceType::iprtXChannelYDataView : TgPlotReferenceType::iprtXDataViewYChannel);
}
} // namespace

bool TgPlotAnnotation::PositionXInChannel() const {
    return AnnotationInChannel(FReferencePositionX, FReference, true);
}
bool TgPlotAnnotation::PositionYInChannel() const {
    return AnnotationInChannel(FReferencePositionY, FReference, false);
}
bool TgPlotAnnotation::SizeXInChannel() const {
    return AnnotationInChannel(FReferenceSizeX, FReference, true);
}
bool TgPlotAnnotation::SizeYInChannel() const {
    return AnnotationInChannel(FReferenceSizeY, FReference, false);
}
bool TgPlotAnnotation::UsesChannelFrame() const {
    return PositionXInChannel() || PositionYInChannel() || SizeXInChannel() || SizeYInChannel();
}
bool TgPlotAnnotation::UsesDataViewFrame() const {
    return !PositionXInChannel() || !PositionYInChannel() || !SizeXInChannel() || !SizeYInChannel();
}

int TgPlotAnnotation::FrameToPixels(bool xRole, bool channelFrame, double value) {
    if (channelFrame) {
        TgPlotChannelCustom* channel = GetChannel();
        if (!channel || !channel->XAxis() || !channel->YAxis())
            return 0;
        return (xRole ? channel->XAxis() : channel->YAxis())->PositionToPixels(value);
    }
    TgPlotDataView* dv = GetDataView();
    if (!dv)
        return 0;
    // While the plot swaps its axes, X runs down the data view and Y across it.
    return xRole != FXYAxesReversed ? dv->PositionPercentToPixelsX(value)
                                    : dv->PositionPercentToPixelsY(value);
}

double TgPlotAnnotation::FrameFromPixels(bool xRole, bool channelFrame, int pixels) {
    if (channelFrame) {
        TgPlotChannelCustom* channel = GetChannel();
        if (!channel || !channel->XAxis() || !channel->YAxis())
            return 0;
        return (xRole ? channel->XAxis() : channel->YAxis())->PixelsToPosition(pixels);
    }
    TgPlotDataView* dv = GetDataView();
    if (!dv)
        return 0;
    return xRole != FXYAxesReversed ? dv->PixelsXToPositionPercent(pixels)
                                    : dv->PixelsYToPositionPercent(pixels);
}

int TgPlotAnnotation::PositionXToPixels(double value) {
    return FrameToPixels(true, PositionXInChannel(), value);
}
int TgPlotAnnotation::PositionYToPixels(double value) {
    return FrameToPixels(false, PositionYInChannel(), value);
}
double TgPlotAnnotation::PixelsXToPosition(int pixels) {
    return FrameFromPixels(true, PositionXInChannel(), pixels);
}
double TgPlotAnnotation::PixelsYToPosition(int pixels) {
    return FrameFromPixels(false, PositionYInChannel(), pixels);
}

int TgPlotAnnotation::SizeToPixels(bool xRole, double size) {
    const bool channelFrame = xRole ? SizeXInChannel() : SizeYInChannel();
    double base = 0;
    if (channelFrame) {
        TgPlotChannelCustom* channel = GetChannel();
        if (!channel || !channel->XAxis() || !channel->YAxis())
            return 0;
        base = (xRole ? channel->XAxis() : channel->YAxis())->Min();
    }
    return std::abs(FrameToPixels(xRole, channelFrame, base + size) -
                    FrameToPixels(xRole, channelFrame, base));
}

// --- notifications

void TgPlotAnnotation::NotificationAxisRemove(TObject* sender) {
    if (FChannel && sender == static_cast<TObject*>(FChannel))
        FChannel = nullptr;
    if (FDataView && sender == static_cast<TObject*>(FDataView))
        FDataView = nullptr;
}

void TgPlotAnnotation::NotificationAxisRename(TObject* sender) {
    auto* channel = dynamic_cast<TgPlotChannelCustom*>(sender);
    if (!channel)
        return;
    // A channel not looked up yet is followed by its old name.
    if (channel == FChannel || (!FChannel && SameText(channel->NameOld(), FChannelName)))
        FChannelName = channel->Name();
}

void TgPlotAnnotation::NotificationFocusChange(TObject* sender) {
    TgPlotObject::NotificationFocusChange(sender);
    YieldSelectionTo(sender);
}

// --- drawing

bool TgPlotAnnotation::CanResize() const {
    switch (FStyle) {
    case TgPlotAnnotationStyle::ipasRectangle:
    case TgPlotAnnotationStyle::ipasTextRectangle:
    case TgPlotAnnotationStyle::ipasEllipse:
    case TgPlotAnnotationStyle::ipasEllipse2:
    case TgPlotAnnotationStyle::ipasRectangle2:
        return true;
    default:
        return false;
    }
}

bool TgPlotAnnotation::HasHandles() const {
    return CanResize() || FStyle == TgPlotAnnotationStyle::ipasPolygon;
}

void TgPlotAnnotation::SetHandles(const TRect& dataView) {
    const TRect& r = FDrawRect;
    const auto square = [&](int x, int y) {
        return AnnotationIntersect({x - 3, y - 3, x + 3, y + 3}, dataView);
    };
    FSizeTopLeftRect = square(r.Left, r.Top);
    FSizeTopRightRect = square(r.Right, r.Top);
    FSizeBottomLeftRect = square(r.Left, r.Bottom);
    FSizeBottomRightRect = square(r.Right, r.Bottom);
}

// Each pixel of the handle squares turned to its inverse colour; doing it twice restores the picture.
void TgPlotAnnotation::InvertHandles(TCanvas& canvas) {
    canvas.Pen()->SetStyle(TPenStyle::psSolid);
    canvas.Pen()->SetWidth(1);
    canvas.Pen()->SetMode(TPenMode::pmNot);
    for (const TRect& r : {FSizeTopLeftRect, FSizeTopRightRect, FSizeBottomLeftRect, FSizeBottomRightRect})
        for (int y = r.Top; y < r.Bottom && r.Left < r.Right; ++y) {
            canvas.MoveTo(r.Left, y);
            canvas.LineTo(r.Right, y);
        }
    canvas.Pen()->SetMode(TPenMode::pmCopy);
}

TRect TgPlotAnnotation::TextRect(TCanvas& canvas, TPoint centre, int extra) {
    int w = gTextWidthMultiLine(canvas, FText) + 2 * extra;
    int h = gTextHeightMultiLine(canvas, FText) + 2 * extra;
    if (FTextRotation == TgRotationAngle::ira090 || FTextRotation == TgRotationAngle::ira270)
        std::swap(w, h);
    int left = centre.X - w / 2, top = centre.Y - h / 2;
    const int dx = gRoundSaturated(canvas.TextWidth("A") * FTextHorzMargin) + w / 2;
    const int dy = gRoundSaturated(canvas.TextHeight("A") * FTextVertMargin) + h / 2;
    if (FTextHorzAlignment == TgAlignmentHorizontal::iahLeft)
        left += dx;
    else if (FTextHorzAlignment == TgAlignmentHorizontal::iahRight)
        left -= dx;
    if (FTextVertAlignment == TgAlignmentVertical::iavTop)
        top += dy;
    else if (FTextVertAlignment == TgAlignmentVertical::iavBottom)
        top -= dy;
    return {left, top, left + w, top + h};
}

void TgPlotAnnotation::DrawText(TCanvas& canvas, const TRect& rect) {
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    TRect used;
    gDrawRotatedText(canvas, FText, rect, FTextRotation, FTextLineAlignment, FEnabled, FFont->Color(), used);
}

void TgPlotAnnotation::Draw(TCanvas& canvas, TColor backGroundColor) {
    FShowing = false;
    FSizeTopLeftRect = FSizeTopRightRect = FSizeBottomLeftRect = FSizeBottomRightRect = TRect{};
    if (!FVisible)
        return;
    TgPlotDataView* dataView = GetDataView();
    // Every shape is measured against the data view, so nothing is placed without one.
    if (!dataView)
        return;
    const bool channelFrame = UsesChannelFrame();
    TgPlotChannelCustom* channel = channelFrame ? GetChannel() : nullptr;
    if (channelFrame && (!channel || !channel->XAxis() || !channel->YAxis()))
        return;
    const TRect dv = dataView->DrawRect();
    const TRect dvArea{dv.Left, dv.Top, dv.Right + 1, dv.Bottom + 1};
    const bool rev = FXYAxesReversed;

    if (channelFrame) {
        TgPlotComponent* plot = AnnotationPlot(FOwner);
        if (FClipToAxes ||
            (FReference == TgPlotReferenceType::iprtChannel && plot && plot->ClipAnnotationsToAxes())) {
            TgPlotAxis* xAxis = channel->XAxis();
            TgPlotAxis* yAxis = channel->YAxis();
            TRect r = gSwapRect(rev, xAxis->MinPixels(), yAxis->MinPixels(), xAxis->MaxPixels(),
                                yAxis->MaxPixels());
            ++r.Right;
            ++r.Bottom;
            // The plot sets its own clip again after each object.
            r = AnnotationIntersect(r, dvArea);
            canvas.SetClipRect(&r);
        }
    }

    const auto closedShapeTools = [&] {
        canvas.Pen()->SetColor(FPenColor);
        canvas.Pen()->SetWidth(FPenWidth);
        canvas.Pen()->SetStyle(FPenStyle);
        canvas.Brush()->SetColor(FBrushColor);
        canvas.Brush()->SetStyle(FBrushStyle);
        if (FBrushStyle != TBrushStyle::bsSolid)
            canvas.SetBkMode(true, backGroundColor);
    };
    const auto lineTools = [&] {
        canvas.Pen()->SetColor(FPenColor);
        canvas.Pen()->SetWidth(FPenWidth);
        canvas.Pen()->SetStyle(FPenStyle);
        canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
        canvas.Brush()->SetColor(backGroundColor);
    };

    const int x = PositionXToPixels(FX), y = PositionYToPixels(FY);
    const TPoint centre = gSwapPoint(rev, x, y);
    canvas.SetFont(FFont.get());

    switch (FStyle) {
    case TgPlotAnnotationStyle::ipasText:
    case TgPlotAnnotationStyle::ipasTextBox: {
        const bool box = FStyle == TgPlotAnnotationStyle::ipasTextBox;
        const TRect r = TextRect(canvas, centre, box ? FOuterMargin : 0);
        if (!AnnotationMeets(r, dv))
            return;
        if (box) {
            closedShapeTools();
            canvas.Rectangle(r);
            DrawText(canvas, {r.Left + FOuterMargin, r.Top + FOuterMargin, r.Right - FOuterMargin,
                              r.Bottom - FOuterMargin});
        } else {
            DrawText(canvas, r);
        }
        FClickRect = r;
        FShowing = true;
        return;
    }
    case TgPlotAnnotationStyle::ipasLine: {
        TPoint p0 = centre, p1 = gSwapPoint(rev, PositionXToPixels(FX2), PositionYToPixels(FY2));
        if (!AnnotationClipSegment(dv, p0, p1))
            return;
        lineTools();
        canvas.MoveTo(p0.X, p0.Y);
        canvas.LineTo(p1.X, p1.Y);
        return;
    }
    case TgPlotAnnotationStyle::ipasLineX:
    case TgPlotAnnotationStyle::ipasLineY: {
        // An X line runs across the Y extent of the data view: up and down, or left to right while the
        // axes are swapped.
        const bool vertical = (FStyle == TgPlotAnnotationStyle::ipasLineX) != rev;
        const int at = vertical ? centre.X : centre.Y;
        if (vertical ? (at < dv.Left || at > dv.Right) : (at < dv.Top || at > dv.Bottom))
            return;
        lineTools();
        if (vertical) {
            canvas.MoveTo(at, dv.Top);
            canvas.LineTo(at, dv.Bottom + 1);
            FClickRect = {at - 5, dv.Top, at + 6, dv.Bottom + 1};
        } else {
            canvas.MoveTo(dv.Right, at);
            canvas.LineTo(dv.Left - 1, at);
            FClickRect = {dv.Left, at - 5, dv.Right + 1, at + 6};
        }
        FShowing = true;
        return;
    }
    case TgPlotAnnotationStyle::ipasImage: {
        if (FImage && !FImage->Empty()) {
            const TRect r{centre.X - FImage->Width() / 2, centre.Y - FImage->Height() / 2, 0, 0};
            const TRect full{r.Left, r.Top, r.Left + FImage->Width(), r.Top + FImage->Height()};
            if (!AnnotationMeets(full, dv))
                return;
            FImage->SetTransparent(true);
            canvas.Draw(full.Left, full.Top, FImage.get());
            FClickRect = full;
        } else {
            auto* host = dynamic_cast<IgPlotImageListHost*>(FOwner);
            TImageList* list = host ? host->GetImageList(FImageListIndex == 0   ? 0
                                                         : FImageListIndex == 1 ? 1
                                                                                : 2)
                                    : nullptr;
            if (!list || FImageIndex < 0 || FImageIndex >= list->Count())
                return;
            const int left = centre.X - list->Width() / 2, top = centre.Y - list->Height() / 2;
            const TRect full{left, top, left + list->Width(), top + list->Height()};
            if (!AnnotationMeets(full, dv))
                return;
            list->Draw(canvas, left, top, FImageIndex, FEnabled);
            FClickRect = full;
        }
        FShowing = true;
        return;
    }
    case TgPlotAnnotationStyle::ipasPolygon: {
        if (FPolyPoints.size() < 2)
            return;
        std::vector<TPoint> points;
        points.reserve(FPolyPoints.size());
        for (const TgPlotAnnotationPoint& p : FPolyPoints)
            points.push_back(gSwapPoint(rev, PositionXToPixels(p.X), PositionYToPixels(p.Y)));
        TRect box{points[0].X, points[0].Y, points[0].X, points[0].Y};
        for (const TPoint& p : points)
            box = {std::min(box.Left, p.X), std::min(box.Top, p.Y), std::max(box.Right, p.X),
                   std::max(box.Bottom, p.Y)};
        if (!AnnotationMeets(box, dv))
            return;
        closedShapeTools();
        canvas.Polygon(points);
        FDrawRect = box;
        break;
    }
    default: { // the rectangles and ellipses
        TRect r;
        if (FStyle == TgPlotAnnotationStyle::ipasEllipse || FStyle == TgPlotAnnotationStyle::ipasRectangle2) {
            const TPoint c2 = gSwapPoint(rev, PositionXToPixels(FX2), PositionYToPixels(FY2));
            r = gRectFromCorners(centre.X, centre.Y, c2.X, c2.Y);
        } else {
            const int hw = SizeToPixels(true, FWidth) / 2, hh = SizeToPixels(false, FHeight) / 2;
            r = gSwapRect(rev, x - hw, y - hh, x + hw, y + hh);
        }
        if (!AnnotationMeets(r, dv))
            return;
        closedShapeTools();
        if (FStyle == TgPlotAnnotationStyle::ipasEllipse || FStyle == TgPlotAnnotationStyle::ipasEllipse2)
            canvas.Ellipse(r.Left, r.Top, r.Right, r.Bottom);
        else
            canvas.Rectangle(r);
        if (FStyle == TgPlotAnnotationStyle::ipasTextRectangle) {
            const int tw = gTextWidthMultiLine(canvas, FText), th = gTextHeightMultiLine(canvas, FText);
            const int mx = gRoundSaturated(canvas.TextWidth("0") * FTextHorzMargin);
            const int my = gRoundSaturated(canvas.TextHeight("A") * FTextVertMargin);
            TRect t = r;
            if (FTextHorzAlignment == TgAlignmentHorizontal::iahLeft)
                t = {r.Left + mx, t.Top, r.Left + mx + tw, t.Bottom};
            else if (FTextHorzAlignment == TgAlignmentHorizontal::iahRight)
                t = {r.Right - mx - tw, t.Top, r.Right - mx, t.Bottom};
            if (FTextVertAlignment == TgAlignmentVertical::iavTop)
                t = {t.Left, r.Top + my, t.Right, r.Top + my + th};
            else if (FTextVertAlignment == TgAlignmentVertical::iavBottom)
                t = {t.Left, r.Bottom - my - th, t.Right, r.Bottom - my};
            DrawText(canvas, t);
        }
        FDrawRect = r;
        break;
    }
    }

    // The shapes with size handles.
    FClickRect = AnnotationIntersect(FDrawRect, dvArea);
    FShowing = true;
    SetHandles(dvArea);
    if (FUserSelected && FShowFocusRect)
        InvertHandles(canvas);
}

// --- mouse

bool TgPlotAnnotation::gMouseHitTest(const TgPlotMouseData& mouseData) {
    if (FSelectModeOnlyInteraction) {
        TgPlotComponent* plot = AnnotationPlot(FOwner);
        if (!plot || !plot->GetSelectModeActive())
            return false;
    }
    if (!FShowing)
        return false;
    for (const TRect& r :
         {FClickRect, FSizeTopLeftRect, FSizeTopRightRect, FSizeBottomLeftRect, FSizeBottomRightRect})
        if (AnnotationInRect(r, mouseData.X, mouseData.Y))
            return true;
    return false;
}

TCursor TgPlotAnnotation::GetMouseCursor(TPoint point) {
    TCursor cursor = crHandPoint;
    if (FUserCanSize && CanResize() && FUserSelected) {
        if (AnnotationInRect(FSizeTopLeftRect, point.X, point.Y) ||
            AnnotationInRect(FSizeBottomRightRect, point.X, point.Y))
            cursor = crSizeNWSE;
        else if (AnnotationInRect(FSizeTopRightRect, point.X, point.Y) ||
                 AnnotationInRect(FSizeBottomLeftRect, point.X, point.Y))
            cursor = crSizeNESW;
    }
    if (TgPlotComponent* plot = AnnotationPlot(FOwner))
        plot->DoGetMouseCursor(this, cursor);
    return cursor;
}

void TgPlotAnnotation::DoMouseLeft(const TgPlotMouseData& mouseData) {
    TgPlotObject::DoMouseLeft(mouseData);
    if (!FShowing)
        return;
    using S = TgPlotAnnotationSelectStyle;
    FSelectStyle = S::ipassNone;
    const int mx = mouseData.X, my = mouseData.Y;
    if (FUserCanSize && CanResize()) {
        if (AnnotationInRect(FSizeTopLeftRect, mx, my))
            FSelectStyle = S::ipassSizeTopLeft;
        else if (AnnotationInRect(FSizeBottomRightRect, mx, my))
            FSelectStyle = S::ipassSizeBottomRight;
        else if (AnnotationInRect(FSizeTopRightRect, mx, my))
            FSelectStyle = S::ipassSizeTopRight;
        else if (AnnotationInRect(FSizeBottomLeftRect, mx, my))
            FSelectStyle = S::ipassSizeBottomLeft;
    }
    if (FSelectStyle == S::ipassNone && FUserCanMove)
        FSelectStyle = S::ipassMove;
    FPressed = true;
    FMouseDownX = mx;
    FMouseDownY = my;
    FMouseDownRect = FDrawRect;
    FMouseDownWidth = FWidth;
    FMouseDownHeight = FHeight;
    FMouseDownXValue = FX;
    FMouseDownYValue = FY;
    FMouseDownX2Value = FX2;
    FMouseDownY2Value = FY2;
    FMouseDownPositionPixelsX = PositionXToPixels(FX);
    FMouseDownPositionPixelsY = PositionYToPixels(FY);
    FRectChange = false;
}

void TgPlotAnnotation::SetGeometryFromRect(int left, int top, int right, int bottom) {
    const bool rev = FXYAxesReversed;
    // The pixels along each axis: X across the screen, or down it while the axes are swapped.
    const int xa = rev ? top : left, xb = rev ? bottom : right;
    const int ya = rev ? left : top, yb = rev ? right : bottom;
    if (FStyle == TgPlotAnnotationStyle::ipasEllipse || FStyle == TgPlotAnnotationStyle::ipasRectangle2) {
        FX = PixelsXToPosition(xa);
        FY = PixelsYToPosition(ya);
        FX2 = PixelsXToPosition(xb);
        FY2 = PixelsYToPosition(yb);
    } else {
        FX = (PixelsXToPosition(xa) + PixelsXToPosition(xb)) / 2;
        FY = (PixelsYToPosition(ya) + PixelsYToPosition(yb)) / 2;
        FWidth = std::abs(FrameFromPixels(true, SizeXInChannel(), xa) -
                          FrameFromPixels(true, SizeXInChannel(), xb));
        FHeight = std::abs(FrameFromPixels(false, SizeYInChannel(), ya) -
                           FrameFromPixels(false, SizeYInChannel(), yb));
    }
    FRectChange = true;
    DoChange();
    if (TgPlotComponent* plot = AnnotationPlot(FOwner))
        plot->DoAnnotationCoordinatesChange(this);
}

void TgPlotAnnotation::DoMouseMove(const TgPlotMouseData& mouseData) {
    TgPlotObject::DoMouseMove(mouseData);
    if (!FPressed || !FUserSelected)
        return;
    using S = TgPlotAnnotationSelectStyle;
    const int dx = mouseData.X - FMouseDownX, dy = mouseData.Y - FMouseDownY;
    TgPlotComponent* plot = AnnotationPlot(FOwner);
    if (FSelectStyle == S::ipassMove) {
        // The point moves with the mouse along each axis: the screen step exchanged while swapped.
        const int ax = FXYAxesReversed ? dy : dx, ay = FXYAxesReversed ? dx : dy;
        FX = PixelsXToPosition(FMouseDownPositionPixelsX + ax);
        FY = PixelsYToPosition(FMouseDownPositionPixelsY + ay);
        if (FStyle == TgPlotAnnotationStyle::ipasEllipse || FStyle == TgPlotAnnotationStyle::ipasRectangle2) {
            FX2 = FMouseDownX2Value - FMouseDownXValue + FX;
            FY2 = FMouseDownY2Value - FMouseDownYValue + FY;
        }
        FRectChange = true;
        DoChange();
        if (plot) {
            plot->DoAnnotationMoveUser(this);
            plot->DoAnnotationCoordinatesChange(this);
        }
    } else if (FSelectStyle != S::ipassNone) {
        TRect r = FMouseDownRect;
        if (FSelectStyle == S::ipassSizeTopLeft || FSelectStyle == S::ipassSizeBottomLeft)
            r.Left += dx;
        else
            r.Right += dx;
        if (FSelectStyle == S::ipassSizeTopLeft || FSelectStyle == S::ipassSizeTopRight)
            r.Top += dy;
        else
            r.Bottom += dy;
        SetGeometryFromRect(r.Left, r.Top, r.Right, r.Bottom);
        if (plot)
            plot->DoAnnotationResizeUser(this);
    }
    DoChange();
}

void TgPlotAnnotation::DoMouseUp(const TgPlotMouseData& mouseData) {
    TgPlotObject::DoMouseUp(mouseData);
    if (!FPressed)
        return;
    FPressed = false;
    TgPlotComponent* plot = AnnotationPlot(FOwner);
    if (plot && gMouseHitTest(mouseData))
        plot->DoClickObject(this, mouseData.DblClickActive);
    if (plot && FRectChange)
        plot->DoAnnotationCoordinatesChangeFinished(this);
    FSelectStyle = TgPlotAnnotationSelectStyle::ipassNone;
}

} // namespace kv
