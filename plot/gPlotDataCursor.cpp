#include "plot/gPlotDataCursor.h"

#include "plot/gPlotChannel.h"

#include <algorithm>
#include <cmath>

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
} // namespace

TgPlotDataCursor::TgPlotDataCursor(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                                   TNotifyEvent onRemove, TNotifyEvent onRename)
    : TgPlotManagerObject(owner, std::move(onChange), std::move(onInsert), std::move(onRemove),
                          std::move(onRename)) {
    FVisible = false; // a cursor shows only when asked to
    FFont = std::make_unique<TFont>();
    FFont->OnChange = [this](TObject*) { DoChange(); };
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

} // namespace kv
