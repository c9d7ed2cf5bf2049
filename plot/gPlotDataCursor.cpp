#include "plot/gPlotDataCursor.h"

#include "plot/gDraw.h"
#include "plot/gPlotAxis.h"
#include "plot/gPlotChannel.h"
#include "plot/gPlotComponent.h"
#include "plot/gPlotDataView.h"
#include "plot/gPlotTimeChannel.h"
#include "plot/gXYPlot.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <limits>

namespace kv {

std::vector<std::string> EnumIdents(TgPlotDataCursorStyle) {
    return {"ipcsValueXY", "ipcsValueX", "ipcsValueY", "ipcsDeltaX", "ipcsDeltaY", "ipcsInverseDeltaX"};
}

std::vector<std::string> EnumIdents(TgOrientationSide) {
    return {"iosBottomRight", "iosTopLeft"};
}

KV_REGISTER_CLASS(TgPlotDataCursor, TgPlotManagerObject, b) {
    using C = TgPlotDataCursor;
    b.Prop("ChannelName", &C::ChannelName, &C::SetChannelName);
    b.Prop("ChannelAllowAll", &C::ChannelAllowAll, &C::SetChannelAllowAll);
    b.Prop("ChannelShowAllInLegend", &C::ChannelShowAllInLegend, &C::SetChannelShowAllInLegend);
    b.Prop("Style", &C::Style, &C::SetStyle);
    b.Prop("Font", &C::Font, &C::SetFont);
    b.Prop("Color", &C::Color, &C::SetColor).Idents(ColorIdents(), "TColor");
    b.Prop("UseChannelColor", &C::UseChannelColor, &C::SetUseChannelColor);
    b.Prop("HintShow", &C::HintShow, &C::SetHintShow);
    b.Prop("HintHideOnRelease", &C::HintHideOnRelease, &C::SetHintHideOnRelease);
    b.Prop("HintOrientationSide", &C::HintOrientationSide, &C::SetHintOrientationSide);
    b.Prop("HintPosition", &C::HintPosition, &C::SetHintPosition);
    b.Prop("Pointer1Position", &C::Pointer1Position, &C::SetPointer1Position);
    b.Prop("Pointer2Position", &C::Pointer2Position, &C::SetPointer2Position);
    b.Prop("PointerPenWidth", &C::PointerPenWidth, &C::SetPointerPenWidth);
    b.Prop("MenuUserCanChangeOptions", &C::MenuUserCanChangeOptions, &C::SetMenuUserCanChangeOptions)
        .Default(true);
    b.Prop("SnapToDataPoint", &C::SnapToDataPoint, &C::SetSnapToDataPoint).Default(false);
    b.Prop("UseCachedInterpolatedData", &C::UseCachedInterpolatedData, &C::SetUseCachedInterpolatedData)
        .Default(false);
    b.Prop("MenuItemVisibleValueXY", &C::MenuItemVisibleValueXY, &C::SetMenuItemVisibleValueXY);
    b.Prop("MenuItemVisibleValueX", &C::MenuItemVisibleValueX, &C::SetMenuItemVisibleValueX);
    b.Prop("MenuItemVisibleValueY", &C::MenuItemVisibleValueY, &C::SetMenuItemVisibleValueY);
    b.Prop("MenuItemVisibleDeltaX", &C::MenuItemVisibleDeltaX, &C::SetMenuItemVisibleDeltaX);
    b.Prop("MenuItemVisibleDeltaY", &C::MenuItemVisibleDeltaY, &C::SetMenuItemVisibleDeltaY);
    b.Prop("MenuItemVisibleInverseDeltaX", &C::MenuItemVisibleInverseDeltaX,
           &C::SetMenuItemVisibleInverseDeltaX);
    b.Prop("MenuItemCaptionValueXY", &C::MenuItemCaptionValueXY, &C::SetMenuItemCaptionValueXY);
    b.Prop("MenuItemCaptionValueX", &C::MenuItemCaptionValueX, &C::SetMenuItemCaptionValueX);
    b.Prop("MenuItemCaptionValueY", &C::MenuItemCaptionValueY, &C::SetMenuItemCaptionValueY);
    b.Prop("MenuItemCaptionDeltaX", &C::MenuItemCaptionDeltaX, &C::SetMenuItemCaptionDeltaX);
    b.Prop("MenuItemCaptionDeltaY", &C::MenuItemCaptionDeltaY, &C::SetMenuItemCaptionDeltaY);
    b.Prop("MenuItemCaptionInverseDeltaX", &C::MenuItemCaptionInverseDeltaX,
           &C::SetMenuItemCaptionInverseDeltaX);
}

namespace {
const bool kDataCursorClassRegistered =
    (gRegisterPlotObjectClassOf<TgPlotDataCursor>("TgPlotDataCursor"), true);

double DataCursorClampPercent(double value) {
    if (std::isnan(value))
        return 0;
    return std::clamp(value, 0.0, 100.0);
}

constexpr double kDataCursorNoDistance = 1e300;

bool DataCursorInside(const TRect& r, int x, int y) {
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

TgOrientation DataCursorFlip(TgOrientation o) {
    return o == TgOrientation::ioVertical ? TgOrientation::ioHorizontal : TgOrientation::ioVertical;
}

// A menu item that runs `click`, added to `parent`.
TgMenuItem* DataCursorMenuItem(TPopupMenu* menu, TMenuItem* parent, const std::string& caption,
                               std::function<void()> click = {}) {
    auto* item = new TgMenuItem(menu);
    item->SetCaption(caption);
    if (click)
        item->OnClick = [click = std::move(click)](TObject*) { click(); };
    parent->Add(item);
    return item;
}
} // namespace

TgPlotDataCursor::TgPlotDataCursor(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                                   TNotifyEvent onRemove, TNotifyEvent onRename)
    : TgPlotManagerObject(owner, std::move(onChange), std::move(onInsert), std::move(onRemove),
                          std::move(onRename)) {
    FVisible = false; // a cursor shows only when asked to
    FFont = std::make_unique<TFont>();
    FFont->OnChange = [this](TObject*) { DoChange(); };
    UpdatePointerLayout();
}

TgPlotDataCursor::~TgPlotDataCursor() {
    NotifyRemove();
    FFont->OnChange = nullptr;
}

IgPlotDataCursorHost* TgPlotDataCursor::CursorHost() const {
    return dynamic_cast<IgPlotDataCursorHost*>(FOwner);
}

void TgPlotDataCursor::SetChannelName(const std::string& value) {
    if (value == FChannelName)
        return;
    FChannelName = value;
    FChannel = nullptr;
    DoChange();
}

void TgPlotDataCursor::SetChannelShowAllInLegend(bool value) {
    SetBooleanProperty(value, FChannelShowAllInLegend, &TgPlotObject::DoChange);
}

void TgPlotDataCursor::SetStyle(TgPlotDataCursorStyle value) {
    if (value == FStyle)
        return;
    FStyle = value;
    UpdatePointerLayout();
    DoChange();
}

void TgPlotDataCursor::SetHintOrientationSide(TgOrientationSide value) {
    if (value == FHintOrientationSide)
        return;
    FHintOrientationSide = value;
    DoChange();
}

void TgPlotDataCursor::SetPointer1Position(double value) {
    SetDoubleProperty(DataCursorClampPercent(value), FPointer1Position, &TgPlotObject::DoChange);
}

void TgPlotDataCursor::SetPointer2Position(double value) {
    SetDoubleProperty(DataCursorClampPercent(value), FPointer2Position, &TgPlotObject::DoChange);
}

void TgPlotDataCursor::SetVisible(bool value) {
    TgPlotManagerObject::SetVisible(value);
    if (value)
        UpdateValues();
}

void TgPlotDataCursor::SetValues(TgPlotDataPointStatus status, double x, double y) {
    if (x == FValueX && y == FValueY && status == FStatus)
        return;
    FStatus = status;
    FValueX = x;
    FValueY = y;
    if (IgPlotDataCursorHost* host = CursorHost())
        host->DoDataCursorChange(this);
}

bool TgPlotDataCursor::ShowsAllChannels() const {
    return SameText(FChannelName, kDataCursorAllChannels);
}

TgPlotChannelCustom* TgPlotDataCursor::GetCursorChannel() {
    if (FChannel || ShowsAllChannels())
        return FChannel;
    if (IgPlotDataCursorHost* host = CursorHost()) {
        const int count = host->ChannelCount();
        for (int i = 0; i < count; ++i) {
            TgPlotChannelCustom* channel = host->GetChannelObject(i);
            if (channel && SameText(channel->Name(), FChannelName)) {
                FChannel = channel;
                break;
            }
        }
    }
    return FChannel;
}

void TgPlotDataCursor::UpdateValues() {
    IgPlotDataCursorHost* host = CursorHost();
    if (host)
        host->DoBeforeDataCursorUpdate(this);
    if (ShowsAllChannels()) {
        if (!host)
            return;
        const int count = host->ChannelCount();
        for (int i = 0; i < count; ++i)
            if (TgPlotChannelCustom* channel = host->GetChannelObject(i))
                channel->UpdateDataCursorText(this);
    } else if (TgPlotChannelCustom* channel = GetCursorChannel()) {
        channel->UpdateDataCursorText(this);
    }
}

void TgPlotDataCursor::NotificationAxisRemove(TObject* sender) {
    TgPlotManagerObject::NotificationAxisRemove(sender);
    if (sender == FChannel)
        FChannel = nullptr;
}

void TgPlotDataCursor::NotificationAxisRename(TObject* sender) {
    TgPlotManagerObject::NotificationAxisRename(sender);
    auto* channel = dynamic_cast<TgPlotChannelCustom*>(sender);
    if (!channel)
        return;
    // A channel the cursor has not resolved yet is still its channel when it had the cursor's name.
    if (channel == FChannel ||
        (!FChannel && !ShowsAllChannels() && SameText(channel->NameOld(), FChannelName))) {
        FChannel = channel;
        FChannelName = channel->Name();
    }
}

// ---------------------------------------------------------------------------------------------------
// Layout and drawing

TgPlotDataView* TgPlotDataCursor::View() const {
    return dynamic_cast<TgPlotDataView*>(FDataView);
}

bool TgPlotDataCursor::IsXYPlot() const {
    return dynamic_cast<TgXYPlot*>(FOwner) != nullptr;
}

bool TgPlotDataCursor::IsTwoPointerStyle() const {
    return FStyle == TgPlotDataCursorStyle::ipcsDeltaX || FStyle == TgPlotDataCursorStyle::ipcsDeltaY ||
           FStyle == TgPlotDataCursorStyle::ipcsInverseDeltaX;
}

void TgPlotDataCursor::UpdatePointerLayout() {
    using S = TgPlotDataCursorStyle;
    constexpr auto V = TgOrientation::ioVertical, H = TgOrientation::ioHorizontal;
    const bool xy = IsXYPlot();
    // Pointer 1 vertical alone, unless the style says otherwise.
    FPointer1Show = true;
    FPointer2Show = false;
    FPointer1Orientation = V;
    FPointer2Orientation = H;
    FHintOrientation = V;
    switch (FStyle) {
    case S::ipcsValueXY:
        FPointer2Show = xy;
        break;
    case S::ipcsValueX:
        break;
    case S::ipcsValueY:
        if (xy) {
            FPointer1Show = false;
            FPointer2Show = true;
            FHintOrientation = H;
        }
        break;
    case S::ipcsDeltaX:
    case S::ipcsInverseDeltaX:
        FPointer2Show = true;
        FPointer2Orientation = V;
        break;
    case S::ipcsDeltaY:
        FPointer2Show = true;
        FPointer1Orientation = H;
        FHintOrientation = H;
        break;
    }
    if (FXYAxesReversed) {
        FPointer1Orientation = DataCursorFlip(FPointer1Orientation);
        FPointer2Orientation = DataCursorFlip(FPointer2Orientation);
        FHintOrientation = DataCursorFlip(FHintOrientation);
    }
}

void TgPlotDataCursor::SetXYAxesReversed(bool value) {
    TgPlotManagerObject::SetXYAxesReversed(value);
    UpdatePointerLayout();
}

void TgPlotDataCursor::Draw(TCanvas& canvas, TColor) {
    if (!View() || !FVisible) {
        FHintShowing = false; // a hidden cursor's hint takes no clicks
        return;
    }
    // The plot's kind is known only once it is built; the layout is cheap to settle again.
    UpdatePointerLayout();
    UpdateValues();
    TgPlotChannelCustom* channel = GetCursorChannel();
    TPen& pen = *canvas.Pen();
    pen.SetStyle(TPenStyle::psSolid);
    pen.SetColor(FUseChannelColor && channel ? channel->Color() : FColor);
    if (FPointer1Show) {
        pen.SetWidth(FMouseDownPointer1 ? 0 : FPointerPenWidth);
        DrawPointer(canvas, FPointer1Orientation, FPointer1Position, FPointer1Rect);
    }
    if (FPointer2Show) {
        pen.SetWidth(FMouseDownPointer2 ? 0 : FPointerPenWidth);
        DrawPointer(canvas, FPointer2Orientation, FPointer2Position, FPointer2Rect);
    }
    FHintShowing = FHintShow && !ShowsAllChannels() &&
                   !(FHintHideOnRelease && !FMouseDownPointer1 && !FMouseDownPointer2);
    if (FHintShowing)
        DrawHint(canvas);
}

void TgPlotDataCursor::DrawPointer(TCanvas& canvas, TgOrientation orientation, double position,
                                   TRect& grabRect) {
    const TgPlotDataView& view = *View();
    const TRect r = view.DrawRect();
    if (orientation == TgOrientation::ioVertical) {
        const int x = view.PositionPercentToPixelsX(position);
        canvas.MoveTo(x, r.Top);
        canvas.LineTo(x, r.Bottom);
        grabRect = {x - 5, r.Top, x + 6, r.Bottom};
    } else {
        const int y = view.PositionPercentToPixelsY(position);
        canvas.MoveTo(r.Left, y);
        canvas.LineTo(r.Right, y);
        grabRect = {r.Left, y - 5, r.Right, y + 6};
    }
}

void TgPlotDataCursor::DrawHint(TCanvas& canvas) {
    const TgPlotDataView& view = *View();
    const TRect v = view.DrawRect();
    TgPlotChannelCustom* channel = GetCursorChannel();
    std::string text = channel ? FCursorDisplayText : TranslateString("No Channel");
    if (auto* plot = dynamic_cast<TgPlotComponent*>(FOwner))
        plot->DoDataCursorCustomizeHint(this, text);

    const TColor pointerColor = FUseChannelColor && channel ? channel->Color() : FColor;
    canvas.Pen()->SetStyle(TPenStyle::psSolid);
    canvas.Pen()->SetWidth(0);
    canvas.SetFont(FFont.get());
    const int tw = gTextWidthMultiLine(canvas, text);
    TRect measure{0, 0, tw, 0};
    const int th = gDrawText(canvas, text, measure, gtoWordBreak | gtoCalcRect, true, canvas.Font()->Color());
    const int a = canvas.TextWidth("A");
    FHintHeight = a / 2 + th;
    FHintWidth = tw + a;
    const int W = FHintWidth, H = FHintHeight;
    const bool two = IsTwoPointerStyle();
    TRect hint;
    if (FHintOrientation == TgOrientation::ioVertical) {
        const TRect& grab = FPointer1Show ? FPointer1Rect : FPointer2Rect;
        const int c = (grab.Left + grab.Right) / 2;
        // Flip to the side with room; the choice stays.
        if (v.Right < c + a + tw + 5)
            FHintOrientationSide = TgOrientationSide::iosTopLeft;
        if (c - a - tw - 5 < v.Left)
            FHintOrientationSide = TgOrientationSide::iosBottomRight;
        const int e = view.PositionPercentToPixelsY(FHintPosition);
        if (two) {
            const int f =
                (FPointer1Rect.Left + FPointer1Rect.Right + FPointer2Rect.Left + FPointer2Rect.Right) / 4;
            hint = {f - W / 2, e - H / 2, f + W / 2, e + H / 2};
        } else if (FHintOrientationSide == TgOrientationSide::iosBottomRight) {
            hint = {c + 5, e - H / 2, c + tw + a + 5, e + H / 2};
        } else {
            hint = {c - tw - a - 5, e - H / 2, c - 5, e + H / 2};
        }
    } else {
        const TRect& grab = FPointer1Show ? FPointer1Rect : FPointer2Rect;
        const int c = (grab.Top + grab.Bottom) / 2;
        if (v.Bottom < c + a + th)
            FHintOrientationSide = TgOrientationSide::iosTopLeft;
        if (c - a - th < v.Top)
            FHintOrientationSide = TgOrientationSide::iosBottomRight;
        const int e = view.PositionPercentToPixelsX(FHintPosition);
        if (two) {
            const int f =
                (FPointer1Rect.Top + FPointer1Rect.Bottom + FPointer2Rect.Top + FPointer2Rect.Bottom) / 4;
            hint = {e - W / 2, f - H / 2, e + W / 2, f + H / 2};
        } else if (FHintOrientationSide == TgOrientationSide::iosBottomRight) {
            hint = {e - W / 2, c + 5, e + W / 2, c + H + 5};
        } else {
            hint = {e - W / 2, c - H - 5, e + W / 2, c - 5};
        }
    }
    // Kept inside the data view, moved rather than cut.
    auto shift = [&](int dx, int dy) {
        hint.Left += dx;
        hint.Right += dx;
        hint.Top += dy;
        hint.Bottom += dy;
    };
    if (hint.Left < v.Left)
        shift(v.Left - hint.Left, 0);
    if (hint.Right > v.Right)
        shift(v.Right - hint.Right, 0);
    if (hint.Top < v.Top)
        shift(0, v.Top - hint.Top);
    if (hint.Bottom > v.Bottom)
        shift(0, v.Bottom - hint.Bottom);
    FHintRect = hint;

    if (two) {
        canvas.Pen()->SetColor(pointerColor);
        canvas.Pen()->SetStyle(TPenStyle::psDot);
        canvas.Brush()->SetStyle(TBrushStyle::bsClear);
        const int midX = (hint.Left + hint.Right) / 2, midY = (hint.Top + hint.Bottom) / 2;
        if (FHintOrientation == TgOrientation::ioVertical) {
            canvas.MoveTo((FPointer1Rect.Left + FPointer1Rect.Right) / 2, midY);
            canvas.LineTo((FPointer2Rect.Left + FPointer2Rect.Right) / 2, midY);
        } else {
            canvas.MoveTo(midX, (FPointer1Rect.Top + FPointer1Rect.Bottom) / 2);
            canvas.LineTo(midX, (FPointer2Rect.Top + FPointer2Rect.Bottom) / 2);
        }
        canvas.Pen()->SetStyle(TPenStyle::psSolid);
    }

    canvas.Pen()->SetColor(FUseChannelColor && channel ? channel->Color() : clBlack);
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas.Brush()->SetColor(clInfoBk);
    canvas.Rectangle(hint.Left, hint.Top, hint.Right, hint.Bottom);
    TRect textRect{hint.Left + 2, hint.Top + 1, hint.Right, hint.Bottom};
    gDrawText(canvas, text, textRect, gtoLeft | gtoVCenter, true, clInfoText);
    canvas.Brush()->SetStyle(TBrushStyle::bsClear);
    canvas.Rectangle(hint.Left, hint.Top, hint.Right, hint.Bottom);
    if (FUserSelected) {
        canvas.Pen()->SetColor(clWhite);
        gDrawFocusRect(canvas, {hint.Left - 2, hint.Top - 2, hint.Right + 2, hint.Bottom + 2});
    }
}

// ---------------------------------------------------------------------------------------------------
// Mouse

bool TgPlotDataCursor::gMouseHitTest(const TgPlotMouseData& d) {
    if (!View())
        return false;
    return (FPointer1Show && DataCursorInside(FPointer1Rect, d.X, d.Y)) ||
           (FPointer2Show && DataCursorInside(FPointer2Rect, d.X, d.Y)) ||
           (FHintShowing && DataCursorInside(FHintRect, d.X, d.Y));
}

double TgPlotDataCursor::PointerPosition(int pointer) const {
    return pointer == 1 ? FPointer1Position : FPointer2Position;
}

void TgPlotDataCursor::SetPointerPosition(int pointer, double value) {
    if (pointer == 1)
        SetPointer1Position(value);
    else
        SetPointer2Position(value);
}

void TgPlotDataCursor::DoMouseLeft(const TgPlotMouseData& d) {
    TgPlotManagerObject::DoMouseLeft(d);
    FMouseDownX = d.X;
    FMouseDownY = d.Y;
    TgPlotDataView* view = View();
    if (!view)
        return;
    auto grab = [&](bool& flag, double position) {
        FMouseDownXPixels = view->PositionPercentToPixelsX(position);
        FMouseDownYPixels = view->PositionPercentToPixelsY(position);
        flag = true;
    };
    // A hint that did not show in the last paint cannot be grabbed where it once was.
    if (!(FHintShowing && DataCursorInside(FHintRect, d.X, d.Y))) {
        if (FPointer1Show && DataCursorInside(FPointer1Rect, d.X, d.Y))
            grab(FMouseDownPointer1, FPointer1Position);
        else if (FPointer2Show && DataCursorInside(FPointer2Rect, d.X, d.Y))
            grab(FMouseDownPointer2, FPointer2Position);
        else
            return;
        RepaintNow();
        UpdateValues();
    } else {
        grab(FMouseDownHint, FHintPosition);
    }
}

void TgPlotDataCursor::DoMouseMove(const TgPlotMouseData& d) {
    TgPlotManagerObject::DoMouseMove(d);
    TgPlotDataView* view = View();
    if (!view)
        return;
    auto follow = [&](TgOrientation orientation) {
        const double p = orientation == TgOrientation::ioHorizontal
                             ? view->PixelsYToPositionPercent(d.Y + FMouseDownYPixels - FMouseDownY)
                             : view->PixelsXToPositionPercent(d.X + FMouseDownXPixels - FMouseDownX);
        return DataCursorClampPercent(p);
    };
    if (FMouseDownHint)
        // The hint slides along its pointer: across a vertical pointer's length, i.e. up and down.
        FHintPosition = follow(DataCursorFlip(FHintOrientation));
    else if (FMouseDownPointer1)
        FPointer1Position = follow(FPointer1Orientation);
    else if (FMouseDownPointer2)
        FPointer2Position = follow(FPointer2Orientation);
    else
        return;
    UpdateValues();
    RepaintNow();
}

void TgPlotDataCursor::DoMouseUp(const TgPlotMouseData& d) {
    TgPlotManagerObject::DoMouseUp(d);
    if (!FMouseDownHint && !FMouseDownPointer1 && !FMouseDownPointer2)
        return;
    if (FMouseDownPointer1)
        SnapPointer(1);
    else if (FMouseDownPointer2)
        SnapPointer(2);
    FMouseDownHint = FMouseDownPointer1 = FMouseDownPointer2 = false;
    RepaintNow();
    if (FMouseDown && gMouseHitTest(d))
        if (auto* plot = dynamic_cast<TgPlotComponent*>(FOwner))
            plot->DoClickObject(this, d.DblClickActive);
}

TCursor TgPlotDataCursor::GetMouseCursor(TPoint) {
    TCursor cursor = crHandPoint;
    if (auto* plot = dynamic_cast<TgPlotComponent*>(FOwner))
        plot->DoGetMouseCursor(this, cursor);
    return cursor;
}

// ---------------------------------------------------------------------------------------------------
// Keys

double TgPlotDataCursor::StepX() const {
    const TgPlotDataView* view = View();
    return view ? std::abs(view->PixelsXToPositionPercent(101) - view->PixelsXToPositionPercent(100)) : 0;
}

double TgPlotDataCursor::StepY() const {
    const TgPlotDataView* view = View();
    return view ? std::abs(view->PixelsYToPositionPercent(100) - view->PixelsYToPositionPercent(101)) : 0;
}

void TgPlotDataCursor::gKeyDown(std::uint16_t& key, TShiftState shift, TPopupMenu* popupMenu) {
    TgPlotManagerObject::gKeyDown(key, shift, popupMenu);
    if (!View())
        return;
    if (FSnapToDataPoint) {
        KeyNavigatePoints(key, shift);
        return;
    }
    const double dx = StepX(), dy = StepY();
    auto step = [&](TgOrientation o) { return o == TgOrientation::ioVertical ? dx : dy; };
    const bool ctrl = shift.Contains(TShiftItem::ssCtrl);
    if (ctrl) {
        if (FPointer2Show) {
            const bool vertical = FPointer2Orientation == TgOrientation::ioVertical;
            switch (key) {
            case VK_PRIOR:
                FPointer2Position += 5 * step(FPointer2Orientation);
                break;
            case VK_NEXT:
                FPointer2Position -= 5 * step(FPointer2Orientation);
                break;
            case VK_END:
                FPointer2Position = 100;
                break;
            case VK_HOME:
                FPointer2Position = 0;
                break;
            case VK_LEFT:
                if (vertical)
                    FPointer2Position -= dx;
                break;
            case VK_RIGHT:
                if (vertical)
                    FPointer2Position += dx;
                break;
            case VK_UP:
                if (!vertical)
                    FPointer2Position += dy;
                break;
            case VK_DOWN:
                if (!vertical)
                    FPointer2Position -= dy;
                break;
            default:
                break;
            }
        }
    } else {
        const bool vertical = FPointer1Orientation == TgOrientation::ioVertical;
        const bool hintVertical = FHintOrientation == TgOrientation::ioVertical;
        switch (key) {
        case VK_PRIOR:
            FPointer1Position += 5 * step(FPointer1Orientation);
            break;
        case VK_NEXT:
            FPointer1Position -= 5 * step(FPointer1Orientation);
            break;
        case VK_END:
            FPointer1Position = 100;
            break;
        case VK_HOME:
            FPointer1Position = 0;
            break;
        case VK_LEFT:
        case VK_RIGHT: {
            const double sign = key == VK_LEFT ? -1 : 1;
            if (FHintShow && !hintVertical)
                FHintPosition += sign * dx;
            if (FPointer1Show && vertical)
                FPointer1Position += sign * dx;
            break;
        }
        case VK_UP:
        case VK_DOWN: {
            const double sign = key == VK_UP ? 1 : -1;
            if (FHintShow && hintVertical)
                FHintPosition += sign * dy;
            if (FPointer1Show && !vertical)
                FPointer1Position += sign * dy;
            break;
        }
        default:
            break;
        }
    }
    FHintPosition = DataCursorClampPercent(FHintPosition);
    FPointer1Position = DataCursorClampPercent(FPointer1Position);
    FPointer2Position = DataCursorClampPercent(FPointer2Position);
    RepaintNow();
}

void TgPlotDataCursor::KeyNavigatePoints(std::uint16_t key, TShiftState shift) {
    const bool ctrl = shift.Contains(TShiftItem::ssCtrl);
    if (ctrl && !FPointer2Show)
        return;
    const int pointer = ctrl ? 2 : 1;
    auto move = [&](int index) {
        SnapPointer(pointer);
        MovePointerToPoint(FSnapToIndexChannel, index, 0, pointer);
    };
    auto moveBy = [&](int offset) {
        SnapPointer(pointer);
        MovePointerToPoint(FSnapToIndexChannel, FSnapToIndexData, offset, pointer);
    };
    switch (key) {
    case VK_PRIOR:
        moveBy(5);
        break;
    case VK_NEXT:
        moveBy(-5);
        break;
    case VK_END:
        move(std::numeric_limits<int>::max());
        break; // limited to the last point
    case VK_HOME:
        move(0);
        break;
    case VK_LEFT:
        FXYAxesReversed ? StepHint(false) : moveBy(-1);
        break;
    case VK_RIGHT:
        FXYAxesReversed ? StepHint(true) : moveBy(1);
        break;
    case VK_UP:
        FXYAxesReversed ? moveBy(1) : StepHint(true);
        break;
    case VK_DOWN:
        FXYAxesReversed ? moveBy(-1) : StepHint(false);
        break;
    default:
        break;
    }
}

void TgPlotDataCursor::StepHint(bool forward) {
    if (!View())
        return;
    const double step = FHintOrientation == TgOrientation::ioHorizontal ? StepX() : StepY();
    FHintPosition = DataCursorClampPercent(FHintPosition + (forward ? step : -step));
    RepaintNow();
}

// ---------------------------------------------------------------------------------------------------
// Snapping

TgPlotChannelCustom* TgPlotDataCursor::ChannelAt(int index) const {
    IgPlotDataCursorHost* host = CursorHost();
    if (!host || index < 0 || index >= host->ChannelCount())
        return nullptr;
    return host->GetChannelObject(index);
}

int TgPlotDataCursor::ChannelIndexOf(const TgPlotChannelCustom* channel) const {
    IgPlotDataCursorHost* host = CursorHost();
    if (!host || !channel)
        return -1;
    const int count = host->ChannelCount();
    for (int i = 0; i < count; ++i)
        if (host->GetChannelObject(i) == channel)
            return i;
    return -1;
}

void TgPlotDataCursor::DoSnapToDataPoint() {
    SnapPointer(1);
    SnapPointer(2);
}

void TgPlotDataCursor::SnapPointer(int pointer) {
    // Data points line up along X only in a time-series plot.
    if (!FSnapToDataPoint || !CursorHost() || IsXYPlot() || FStyle == TgPlotDataCursorStyle::ipcsDeltaY)
        return;
    const double p = PointerPosition(pointer);
    if (!ShowsAllChannels()) {
        TgPlotChannelCustom* channel = GetCursorChannel();
        if (!channel || !channel->XAxis())
            return;
        double distance = 0;
        const double x = channel->XAxis()->PercentToPosition(p / 100);
        FSnapToIndexData = FindNearestIndex(channel, p, x, distance);
        FSnapToIndexChannel = ChannelIndexOf(channel);
    } else {
        FSnapToIndexChannel = FSnapToIndexData = -1;
        double best = kDataCursorNoDistance;
        const int count = CursorHost()->ChannelCount();
        for (int i = 0; i < count; ++i) {
            TgPlotChannelCustom* channel = ChannelAt(i);
            if (!channel || !channel->XAxis())
                continue;
            double distance = kDataCursorNoDistance;
            const double x = channel->XAxis()->PercentToPosition(p / 100);
            const int index = FindNearestIndex(channel, p, x, distance);
            if (index != -1 && distance < best) {
                best = distance;
                FSnapToIndexChannel = i;
                FSnapToIndexData = index;
            }
        }
    }
    MovePointerToPoint(FSnapToIndexChannel, FSnapToIndexData, 0, pointer);
}

int TgPlotDataCursor::FindNearestIndex(TgPlotChannelCustom* channel, double, double x,
                                       double& distance) const {
    distance = kDataCursorNoDistance;
    // Points line up along X in time-series channels only.
    auto* series = dynamic_cast<TgPlotChannel*>(channel);
    if (!series || std::isnan(x))
        return -1;
    return series->FindNearestIndex(x, distance);
}

void TgPlotDataCursor::MovePointerToPoint(int channelIndex, int dataIndex, int offset, int pointer) {
    if (!CursorHost() || IsXYPlot())
        return;
    TgPlotChannelCustom* channel = ChannelAt(channelIndex);
    if (!channel || dataIndex < 0)
        return;
    TgPlotAxis* axis = channel->XAxis();
    if (!axis || channel->Count() == 0)
        return;
    const long long k = axis->ReverseScale() ? static_cast<long long>(dataIndex) - offset
                                             : static_cast<long long>(dataIndex) + offset;
    const int index = static_cast<int>(std::clamp<long long>(k, 0, channel->Count() - 1));
    const double x = channel->GetDataX(index);
    const double span = axis->Span();
    // A point beyond the axis' ends scrolls it into view, 1/40 of the span inside.
    if (x > axis->Min() + span)
        axis->SetMin(x - span + span / 40);
    else if (x < axis->Min())
        axis->SetMin(x - span / 40);
    SetPointerPosition(pointer, axis->PositionToPercent(x) * 100);
}

// ---------------------------------------------------------------------------------------------------
// Values at an X

TgPlotDataPointStatus TgPlotDataCursor::GetInterpolatedYValue(const std::string& channelName, double xValue,
                                                              double& yValue) {
    yValue = 0;
    TgPlotChannelCustom* channel = nullptr;
    if (IgPlotDataCursorHost* host = CursorHost(); host && !IsXYPlot()) {
        const int count = host->ChannelCount();
        for (int i = 0; i < count && !channel; ++i)
            if (TgPlotChannelCustom* c = host->GetChannelObject(i); c && SameText(c->Name(), channelName))
                channel = c;
    }
    TgPlotAxis* axis = channel ? channel->XAxis() : nullptr;
    if (!axis)
        return TgPlotDataPointStatus::ipdpsNull;

    const bool blocked = axis->BlockMinSpanEvents();
    axis->SetBlockMinSpanEvents(true);
    const bool visible = FVisible;
    const TgPlotDataCursorStyle style = FStyle;
    const std::string name = FChannelName;
    const double pointer1 = FPointer1Position, min = axis->Min();

    SetVisible(true);
    SetStyle(TgPlotDataCursorStyle::ipcsValueXY);
    SetChannelName(channelName);
    if (FUseCachedInterpolatedData) {
        SetPointer1Position(axis->PositionToPercent(xValue) * 100);
        UpdateValues();
    } else {
        SetPointer1Position(0);
        axis->SetMin(xValue);
        if (auto* plot = dynamic_cast<TgPlotComponent*>(FOwner))
            plot->ReCalcLayout();
        else
            UpdateValues();
    }
    const TgPlotDataPointStatus status = FStatus;
    yValue = FValueY;

    SetVisible(visible);
    SetStyle(style);
    SetChannelName(name);
    SetPointer1Position(pointer1);
    axis->SetMin(min);
    axis->SetBlockMinSpanEvents(blocked);
    return status;
}

// ---------------------------------------------------------------------------------------------------
// Focus and popup

void TgPlotDataCursor::DoGotFocus() {
    TgPlotManagerObject::DoGotFocus();
    if (TgPlotChannelCustom* channel = GetCursorChannel())
        channel->SetUserSelected(true);
}

void TgPlotDataCursor::NotificationFocusChange(TObject* sender) {
    TgPlotManagerObject::NotificationFocusChange(sender);
    if (sender == this)
        return;
    auto* channel = dynamic_cast<TgPlotChannelCustom*>(sender);
    if (channel && channel == GetCursorChannel())
        return;
    if (channel && FUserSelected) {
        // Picking another channel while the cursor is selected moves the cursor to it.
        SetChannelName(channel->Name());
        return;
    }
    YieldSelectionTo(sender);
}

void TgPlotDataCursor::BuildPopupMenu(TPopupMenu* popupMenu) {
    TgPlotManagerObject::BuildPopupMenu(popupMenu);
    TMenuItem* root = popupMenu->Items();

    TMenuItem* channels = DataCursorMenuItem(popupMenu, root, TranslateString("Channel"));
    if (FChannelAllowAll) {
        TMenuItem* all =
            DataCursorMenuItem(popupMenu, channels, TranslateString(kDataCursorAllChannels), [this] {
                SetChannelName(kDataCursorAllChannels);
                if (IgPlotDataCursorHost* host = CursorHost())
                    for (int i = 0; i < host->ChannelCount(); ++i)
                        if (TgPlotChannelCustom* c = host->GetChannelObject(i))
                            c->SetUserSelected(false);
            });
        all->SetChecked(ShowsAllChannels());
    }
    if (IgPlotDataCursorHost* host = CursorHost()) {
        const int count = host->ChannelCount();
        for (int i = 0; i < count; ++i) {
            TgPlotChannelCustom* channel = host->GetChannelObject(i);
            if (!channel || !channel->Visible())
                continue;
            std::string title = channel->TitleText();
            for (std::size_t at; (at = title.find("\r\n")) != std::string::npos;)
                title.erase(at, 2);
            const std::string name = channel->Name();
            TgMenuItem* item = DataCursorMenuItem(popupMenu, channels, title, [this, name] {
                SetChannelName(name);
                if (TgPlotChannelCustom* c = GetCursorChannel())
                    c->SetUserSelected(true);
                DoSnapToDataPoint();
            });
            item->AString = name;
            item->SetChecked(SameText(name, FChannelName));
        }
    }

    TMenuItem* styles = DataCursorMenuItem(popupMenu, root, TranslateString("Style"));
    using S = TgPlotDataCursorStyle;
    const struct {
        S style;
        const std::string& caption;
        bool visible;
    } kinds[] = {{S::ipcsValueXY, FMenuItemCaptionValueXY, FMenuItemVisibleValueXY},
                 {S::ipcsValueX, FMenuItemCaptionValueX, FMenuItemVisibleValueX},
                 {S::ipcsValueY, FMenuItemCaptionValueY, FMenuItemVisibleValueY},
                 {S::ipcsDeltaX, FMenuItemCaptionDeltaX, FMenuItemVisibleDeltaX},
                 {S::ipcsDeltaY, FMenuItemCaptionDeltaY, FMenuItemVisibleDeltaY},
                 {S::ipcsInverseDeltaX, FMenuItemCaptionInverseDeltaX, FMenuItemVisibleInverseDeltaX}};
    for (const auto& k : kinds) {
        const S style = k.style;
        TMenuItem* item = DataCursorMenuItem(popupMenu, styles, TranslateString(k.caption),
                                             [this, style] { SetStyle(style); });
        item->SetVisible(k.visible);
        item->SetChecked(style == FStyle);
    }

    if (FMenuUserCanChangeOptions) {
        TMenuItem* options = DataCursorMenuItem(popupMenu, root, TranslateString("Options"));
        DataCursorMenuItem(popupMenu, options, TranslateString("Use Channel Color"), [this] {
            FUseChannelColor = !FUseChannelColor;
            RepaintNow();
        })->SetChecked(FUseChannelColor);
        DataCursorMenuItem(popupMenu, options, TranslateString("Hide Hint On Release"), [this] {
            FHintHideOnRelease = !FHintHideOnRelease;
            RepaintNow();
        })->SetChecked(FHintHideOnRelease);
        TMenuItem* flip = DataCursorMenuItem(popupMenu, options, TranslateString("Flip Alignment"), [this] {
            FHintOrientationSide = FHintOrientationSide == TgOrientationSide::iosBottomRight
                                       ? TgOrientationSide::iosTopLeft
                                       : TgOrientationSide::iosBottomRight;
            RepaintNow();
        });
        flip->SetEnabled((FStyle == S::ipcsValueXY || FStyle == S::ipcsValueX || FStyle == S::ipcsValueY) &&
                         !ShowsAllChannels());
    }
    if (!IsXYPlot())
        DataCursorMenuItem(popupMenu, root, TranslateString("Snap to Data-Point"), [this] {
            FSnapToDataPoint = !FSnapToDataPoint;
            if (FSnapToDataPoint)
                DoSnapToDataPoint();
        })->SetChecked(FSnapToDataPoint);
    AddEditMenuItem(popupMenu);
}

} // namespace kv
