#pragma once
// A data cursor: one or two pointers across the plot's first data view whose channel (or every
// channel, for "<All>") reports the values under them. The channels compute the values and texts and
// hand them back through SetValues and the display text.

#include "plot/gPlotManagers.h"
#include "plot/gPlotObjects.h"

#include "platform/gui/Graphics.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kv {

class TgPlotDataCursor;
class TgPlotChannelCustom;
class TgPlotDataView;
enum class TgPlotDataPointStatus;

enum class TgPlotDataCursorStyle {
    ipcsValueXY,
    ipcsValueX,
    ipcsValueY,
    ipcsDeltaX,
    ipcsDeltaY,
    ipcsInverseDeltaX
};
std::vector<std::string> EnumIdents(TgPlotDataCursorStyle);
// A vertical pointer is a line across the X direction, placed by its X position; a horizontal one the other
// way.
enum class TgOrientation { ioVertical, ioHorizontal };
// The side of its pointer on which the hint box lies.
enum class TgOrientationSide { iosBottomRight, iosTopLeft };
std::vector<std::string> EnumIdents(TgOrientationSide);

// The channel name that stands for every channel.
inline constexpr const char* kDataCursorAllChannels = "<All>";

// What a data cursor needs of the plot that owns it (the plot control implements it).
class IgPlotDataCursorHost {
public:
    virtual int ChannelCount() = 0;
    virtual TgPlotChannelCustom* GetChannelObject(int index) = 0;
    // OnBeforeDataCursorUpdate.
    virtual void DoBeforeDataCursorUpdate(TgPlotDataCursor* cursor) = 0;
    // OnDataCursorChange: the cursor's values changed.
    virtual void DoDataCursorChange(TgPlotObject* cursor) = 0;

protected:
    ~IgPlotDataCursorHost() = default;
};

class TgPlotDataCursor : public TgPlotManagerObject, public IgPlotDataViewLink {
    KV_CLASS(TgPlotDataCursor)
public:
    TgPlotDataCursor(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert, TNotifyEvent onRemove,
                     TNotifyEvent onRename);
    ~TgPlotDataCursor() override;

    // --- published properties
    const std::string& ChannelName() const { return FChannelName; }
    // Also drops the cached channel.
    void SetChannelName(const std::string& value);
    bool ChannelAllowAll() const { return FChannelAllowAll; }
    void SetChannelAllowAll(bool value) {
        SetBooleanProperty(value, FChannelAllowAll, &TgPlotObject::DoChange);
    }
    bool ChannelShowAllInLegend() const { return FChannelShowAllInLegend; }
    void SetChannelShowAllInLegend(bool value);
    TgPlotDataCursorStyle Style() const { return FStyle; }
    void SetStyle(TgPlotDataCursorStyle value);
    TFont* Font() const { return FFont.get(); }
    void SetFont(const TFont* value) { FFont->Assign(value); }
    TColor Color() const { return FColor; }
    void SetColor(TColor value) { SetColorProperty(value, FColor, &TgPlotObject::DoChange); }
    bool UseChannelColor() const { return FUseChannelColor; }
    void SetUseChannelColor(bool value) {
        SetBooleanProperty(value, FUseChannelColor, &TgPlotObject::DoChange);
    }
    bool HintShow() const { return FHintShow; }
    void SetHintShow(bool value) { SetBooleanProperty(value, FHintShow, &TgPlotObject::DoChange); }
    bool HintHideOnRelease() const { return FHintHideOnRelease; }
    void SetHintHideOnRelease(bool value) {
        SetBooleanProperty(value, FHintHideOnRelease, &TgPlotObject::DoChange);
    }
    TgOrientationSide HintOrientationSide() const { return FHintOrientationSide; }
    void SetHintOrientationSide(TgOrientationSide value);
    double HintPosition() const { return FHintPosition; }
    void SetHintPosition(double value) { SetDoubleProperty(value, FHintPosition, &TgPlotObject::DoChange); }
    // Percent of the data view: clamped to 0 .. 100, a value that is not a number becomes 0.
    double Pointer1Position() const { return FPointer1Position; }
    void SetPointer1Position(double value);
    double Pointer2Position() const { return FPointer2Position; }
    void SetPointer2Position(double value);
    int PointerPenWidth() const { return FPointerPenWidth; }
    void SetPointerPenWidth(int value) {
        SetIntegerProperty(value, FPointerPenWidth, &TgPlotObject::DoChange);
    }
    // Plain settings: their change needs no repaint.
    bool MenuUserCanChangeOptions() const { return FMenuUserCanChangeOptions; }
    void SetMenuUserCanChangeOptions(bool value) { FMenuUserCanChangeOptions = value; }
    bool SnapToDataPoint() const { return FSnapToDataPoint; }
    void SetSnapToDataPoint(bool value) { FSnapToDataPoint = value; }
    bool UseCachedInterpolatedData() const { return FUseCachedInterpolatedData; }
    void SetUseCachedInterpolatedData(bool value) { FUseCachedInterpolatedData = value; }
    bool MenuItemVisibleValueXY() const { return FMenuItemVisibleValueXY; }
    void SetMenuItemVisibleValueXY(bool value) { FMenuItemVisibleValueXY = value; }
    bool MenuItemVisibleValueX() const { return FMenuItemVisibleValueX; }
    void SetMenuItemVisibleValueX(bool value) { FMenuItemVisibleValueX = value; }
    bool MenuItemVisibleValueY() const { return FMenuItemVisibleValueY; }
    void SetMenuItemVisibleValueY(bool value) { FMenuItemVisibleValueY = value; }
    bool MenuItemVisibleDeltaX() const { return FMenuItemVisibleDeltaX; }
    void SetMenuItemVisibleDeltaX(bool value) { FMenuItemVisibleDeltaX = value; }
    bool MenuItemVisibleDeltaY() const { return FMenuItemVisibleDeltaY; }
    void SetMenuItemVisibleDeltaY(bool value) { FMenuItemVisibleDeltaY = value; }
    bool MenuItemVisibleInverseDeltaX() const { return FMenuItemVisibleInverseDeltaX; }
    void SetMenuItemVisibleInverseDeltaX(bool value) { FMenuItemVisibleInverseDeltaX = value; }
    const std::string& MenuItemCaptionValueXY() const { return FMenuItemCaptionValueXY; }
    void SetMenuItemCaptionValueXY(const std::string& value) { FMenuItemCaptionValueXY = value; }
    const std::string& MenuItemCaptionValueX() const { return FMenuItemCaptionValueX; }
    void SetMenuItemCaptionValueX(const std::string& value) { FMenuItemCaptionValueX = value; }
    const std::string& MenuItemCaptionValueY() const { return FMenuItemCaptionValueY; }
    void SetMenuItemCaptionValueY(const std::string& value) { FMenuItemCaptionValueY = value; }
    const std::string& MenuItemCaptionDeltaX() const { return FMenuItemCaptionDeltaX; }
    void SetMenuItemCaptionDeltaX(const std::string& value) { FMenuItemCaptionDeltaX = value; }
    const std::string& MenuItemCaptionDeltaY() const { return FMenuItemCaptionDeltaY; }
    void SetMenuItemCaptionDeltaY(const std::string& value) { FMenuItemCaptionDeltaY = value; }
    const std::string& MenuItemCaptionInverseDeltaX() const { return FMenuItemCaptionInverseDeltaX; }
    void SetMenuItemCaptionInverseDeltaX(const std::string& value) { FMenuItemCaptionInverseDeltaX = value; }

    // --- what the channels hand back
    double ValueX() const { return FValueX; }
    double ValueY() const { return FValueY; }
    TgPlotDataPointStatus Status() const { return FStatus; }
    // Stores the three and tells the plot, when any of them differs.
    void SetValues(TgPlotDataPointStatus status, double x, double y);
    // The text the channel built for the hint.
    const std::string& CursorDisplayText() const { return FCursorDisplayText; }
    void SetCursorDisplayText(const std::string& value) { FCursorDisplayText = value; }

    // The channel named by ChannelName (cached); null for "<All>" or when no channel has that name.
    TgPlotChannelCustom* GetCursorChannel();
    bool ShowsAllChannels() const;
    // Announces the update, then lets its channel (every channel for "<All>") compute its values.
    void UpdateValues();
    void SetDataViewLink(TgPlotObject* dataView) override { FDataView = dataView; }
    TgPlotObject* DataView() const { return FDataView; }

    // Snaps both pointers to their nearest data points (time-series plots, SnapToDataPoint on).
    void DoSnapToDataPoint();
    // The Y value of the named time-series channel at XValue, measured by the cursor itself; the
    // cursor's settings are put back afterwards. ipdpsNull for any other channel.
    TgPlotDataPointStatus GetInterpolatedYValue(const std::string& channelName, double xValue,
                                                double& yValue);

    // --- the pointer layout as the style and the plot decide it, and the rectangles of the last paint
    bool Pointer1Show() const { return FPointer1Show; }
    bool Pointer2Show() const { return FPointer2Show; }
    TgOrientation Pointer1Orientation() const { return FPointer1Orientation; }
    TgOrientation Pointer2Orientation() const { return FPointer2Orientation; }
    TgOrientation HintOrientation() const { return FHintOrientation; }
    const TRect& Pointer1Rect() const { return FPointer1Rect; }
    const TRect& Pointer2Rect() const { return FPointer2Rect; }
    const TRect& HintRect() const { return FHintRect; }
    bool HintShowing() const { return FHintShowing; }
    bool MouseDownHint() const { return FMouseDownHint; }
    bool MouseDownPointer1() const { return FMouseDownPointer1; }
    bool MouseDownPointer2() const { return FMouseDownPointer2; }
    // The channel index and point index the last snap found (-1: none).
    int SnapToIndexChannel() const { return FSnapToIndexChannel; }
    int SnapToIndexData() const { return FSnapToIndexData; }

    // --- overrides
    // Made visible, the cursor reads its values at once.
    void SetVisible(bool value) override;
    void NotificationAxisRemove(TObject* sender) override;
    void NotificationAxisRename(TObject* sender) override;
    void SetXYAxesReversed(bool value) override;
    void NotificationFocusChange(TObject* sender) override;
    void Draw(TCanvas& canvas, TColor backGroundColor) override;
    bool gMouseHitTest(const TgPlotMouseData& mouseData) override;
    void DoMouseLeft(const TgPlotMouseData& mouseData) override;
    void DoMouseMove(const TgPlotMouseData& mouseData) override;
    void DoMouseUp(const TgPlotMouseData& mouseData) override;
    void DoGotFocus() override;
    TCursor GetMouseCursor(TPoint point) override;
    void gKeyDown(std::uint16_t& key, TShiftState shift, TPopupMenu* popupMenu) override;
    void BuildPopupMenu(TPopupMenu* popupMenu) override;

protected:
    IgPlotDataCursorHost* CursorHost() const;
    TgPlotDataView* View() const;
    bool IsXYPlot() const;
    bool IsTwoPointerStyle() const;
    TgPlotChannelCustom* ChannelAt(int index) const;
    int ChannelIndexOf(const TgPlotChannelCustom* channel) const;
    void UpdatePointerLayout();
    void DrawPointer(TCanvas& canvas, TgOrientation orientation, double position, TRect& grabRect);
    void DrawHint(TCanvas& canvas);
    // The position of pointer `pointer` (1 or 2) and its setter.
    double PointerPosition(int pointer) const;
    void SetPointerPosition(int pointer, double value);
    void SnapPointer(int pointer);
    // The channel's point nearest to X (X = the X axis value at percent p of the data view); -1 for an
    // empty channel. Distance: how far that point lies from X (1e300 when none).
    int FindNearestIndex(TgPlotChannelCustom* channel, double percent, double x, double& distance) const;
    void MovePointerToPoint(int channelIndex, int dataIndex, int offset, int pointer);
    void KeyNavigatePoints(std::uint16_t key, TShiftState shift);
    void StepHint(bool forward);
    // One pixel of the data view in percent, across and up.
    double StepX() const;
    double StepY() const;
    void RepaintNow() { DoInvalidateNow(); }

    int FMouseDownXPixels = 0, FMouseDownYPixels = 0;
    int FMouseDownX = 0, FMouseDownY = 0;
    bool FMouseDownHint = false, FMouseDownPointer1 = false, FMouseDownPointer2 = false;
    TRect FPointer1Rect{}, FPointer2Rect{};
    bool FPointer1Show = true, FPointer2Show = false;
    TgOrientation FPointer1Orientation = TgOrientation::ioVertical,
                  FPointer2Orientation = TgOrientation::ioVertical;
    TRect FHintRect{};
    TgOrientation FHintOrientation = TgOrientation::ioVertical;
    bool FHintShowing = false;
    int FHintHeight = 0, FHintWidth = 0;
    int FSnapToIndexChannel = -1, FSnapToIndexData = -1;

    TgPlotChannelCustom* FChannel = nullptr;
    TgPlotObject* FDataView = nullptr;
    std::string FChannelName;
    TgPlotDataCursorStyle FStyle = TgPlotDataCursorStyle::ipcsValueXY;
    bool FUseChannelColor = true;
    double FPointer1Position = 50, FPointer2Position = 60;
    int FPointerPenWidth = 1;
    bool FChannelShowAllInLegend = true;
    bool FChannelAllowAll = true;
    TColor FColor = 0x00FFFF;
    std::unique_ptr<TFont> FFont;
    bool FHintShow = true;
    bool FHintHideOnRelease = false;
    TgOrientationSide FHintOrientationSide = TgOrientationSide::iosBottomRight;
    double FHintPosition = 50;
    std::string FCursorDisplayText;
    double FValueX = 0, FValueY = 0;
    TgPlotDataPointStatus FStatus{};
    bool FSnapToDataPoint = false, FUseCachedInterpolatedData = false;
    std::string FMenuItemCaptionValueXY = "Value X-Y", FMenuItemCaptionValueX = "Value X",
                FMenuItemCaptionValueY = "Value Y", FMenuItemCaptionDeltaX = "Period",
                FMenuItemCaptionDeltaY = "Peak-Peak", FMenuItemCaptionInverseDeltaX = "Frequency";
    bool FMenuItemVisibleDeltaX = true, FMenuItemVisibleDeltaY = true, FMenuItemVisibleValueXY = true,
         FMenuItemVisibleInverseDeltaX = true, FMenuItemVisibleValueX = true, FMenuItemVisibleValueY = true,
         FMenuUserCanChangeOptions = true;
};

} // namespace kv
