#pragma once
// The plotting area of a plot: the rectangle left in the middle once the layout has placed the axes,
// legends, labels and toolbars around it. It fills its background, has its grid axes draw their grid
// lines across it, draws its frame, the selection frame and the zoom box, converts between pixels and
// percentages of its rectangle (percentages grow to the right and upwards), and lets the mouse and
// the wheel drive every axis of the plot (axes control, zoom box).
//
// What it needs of the plot (the axes, the first toolbar's mode, events) it asks through
// IgPlotDataViewHost, which the plot control implements; without it the data view draws its
// background and frame only and its mouse input changes nothing outside itself.

#include "plot/gPlotAxis.h"
#include "plot/gPlotObjects.h"

#include "platform/gui/Graphics.h"

#include <string>
#include <vector>

namespace kv {

class TgPlotDataView;

enum class TgPlotAxesControlStyle { ipacsXAxis, ipacsYAxis, ipacsBoth, ipacsNone };
std::vector<std::string> EnumIdents(TgPlotAxesControlStyle);

class IgPlotDataViewHost {
public:
    virtual int XAxisCount() = 0;
    virtual int YAxisCount() = 0;
    virtual TgPlotAxis* GetXAxis(int index) = 0;
    virtual TgPlotAxis* GetYAxis(int index) = 0;
    // The first axis of that kind whose name equals `name` ignoring case; null when none.
    virtual TgPlotAxis* GetXAxisByName(const std::string& name) = 0;
    virtual TgPlotAxis* GetYAxisByName(const std::string& name) = 0;
    // The first toolbar's select and zoom-box buttons; false when the plot has no toolbar.
    virtual bool ToolBarSelectActive() = 0;
    virtual bool ToolBarZoomBoxActive() = 0;
    // Switches tracking off on every axis.
    virtual void DisableAllTracking() = 0;
    // OnBeforeZoomBox: the handler may change the rectangle or cancel the zoom.
    virtual void DoBeforeZoomBox(TRect& rect, bool& cancel) = 0;
    // OnClickDataView, or OnDblClickDataView after a double click.
    virtual void DoClickDataView(TgPlotDataView* dataView, bool dblClick) = 0;
    // OnGetMouseCursorDataView: the handler may change the cursor.
    virtual void DoGetMouseCursorDataView(TgPlotDataView* dataView, TCursor& cursor) = 0;

protected:
    ~IgPlotDataViewHost() = default;
};

class TgPlotDataView : public TgPlotLayoutObject {
    KV_CLASS(TgPlotDataView)
public:
    TgPlotDataView(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert, TNotifyEvent onRemove,
                   TNotifyEvent onRename);
    ~TgPlotDataView() override;

    // What the mouse does inside, from the plot's first toolbar and AxesControlEnabled.
    enum class TControlMode { Select, ZoomBox, AxesControl, None };
    TControlMode GetControlMode() const;

    // --- properties
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& v) { SetStringProperty(v, FTitle, &TgPlotObject::DoChange); }
    bool BackgroundTransparent() const { return FBackgroundTransparent; }
    void SetBackgroundTransparent(bool v) {
        SetBooleanProperty(v, FBackgroundTransparent, &TgPlotObject::DoChange);
    }
    TColor BackgroundColor() const { return FBackgroundColor; }
    void SetBackgroundColor(TColor v) { SetColorProperty(v, FBackgroundColor, &TgPlotObject::DoChange); }
    bool GridShow() const { return FGridShow; }
    void SetGridShow(bool v) { SetBooleanProperty(v, FGridShow, &TgPlotObject::DoChange); }
    TColor GridLineColor() const { return FGridLineColor; }
    void SetGridLineColor(TColor v) { SetColorProperty(v, FGridLineColor, &TgPlotObject::DoChange); }
    bool GridLineShowLeft() const { return FGridLineShowLeft; }
    void SetGridLineShowLeft(bool v) { SetBooleanProperty(v, FGridLineShowLeft, &TgPlotObject::DoChange); }
    bool GridLineShowTop() const { return FGridLineShowTop; }
    void SetGridLineShowTop(bool v) { SetBooleanProperty(v, FGridLineShowTop, &TgPlotObject::DoChange); }
    bool GridLineShowRight() const { return FGridLineShowRight; }
    void SetGridLineShowRight(bool v) { SetBooleanProperty(v, FGridLineShowRight, &TgPlotObject::DoChange); }
    bool GridLineShowBottom() const { return FGridLineShowBottom; }
    void SetGridLineShowBottom(bool v) {
        SetBooleanProperty(v, FGridLineShowBottom, &TgPlotObject::DoChange);
    }
    bool GridLineShowXMajors() const { return FGridLineShowXMajors; }
    void SetGridLineShowXMajors(bool v) {
        SetBooleanProperty(v, FGridLineShowXMajors, &TgPlotObject::DoChange);
    }
    bool GridLineShowYMajors() const { return FGridLineShowYMajors; }
    void SetGridLineShowYMajors(bool v) {
        SetBooleanProperty(v, FGridLineShowYMajors, &TgPlotObject::DoChange);
    }
    bool GridLineShowXMinors() const { return FGridLineShowXMinors; }
    void SetGridLineShowXMinors(bool v) {
        SetBooleanProperty(v, FGridLineShowXMinors, &TgPlotObject::DoChange);
    }
    bool GridLineShowYMinors() const { return FGridLineShowYMinors; }
    void SetGridLineShowYMinors(bool v) {
        SetBooleanProperty(v, FGridLineShowYMinors, &TgPlotObject::DoChange);
    }
    TgPlotGridLineStyle GridLineMajorStyle() const { return FGridLineMajorStyle; }
    void SetGridLineMajorStyle(TgPlotGridLineStyle v) { SetStyle(v, FGridLineMajorStyle); }
    TgPlotGridLineStyle GridLineMinorStyle() const { return FGridLineMinorStyle; }
    void SetGridLineMinorStyle(TgPlotGridLineStyle v) { SetStyle(v, FGridLineMinorStyle); }

    // One custom line set (colour, width, style) per X/Y and major/minor.
    struct TLineSet {
        bool Custom = false;
        TColor Color = clGreen;
        int Width = 0;
        TgPlotGridLineStyle Style = TgPlotGridLineStyle::ipglsSolid;
    };
#define KV_DV_LINESET(Name, Field)                                                                           \
    bool GridLine##Name##Custom() const {                                                                    \
        return Field.Custom;                                                                                 \
    }                                                                                                        \
    void SetGridLine##Name##Custom(bool v) {                                                                 \
        SetBooleanProperty(v, Field.Custom, &TgPlotObject::DoChange);                                        \
    }                                                                                                        \
    TColor GridLine##Name##Color() const {                                                                   \
        return Field.Color;                                                                                  \
    }                                                                                                        \
    void SetGridLine##Name##Color(TColor v) {                                                                \
        SetColorProperty(v, Field.Color, &TgPlotObject::DoChange);                                           \
    }                                                                                                        \
    int GridLine##Name##Width() const {                                                                      \
        return Field.Width;                                                                                  \
    }                                                                                                        \
    void SetGridLine##Name##Width(int v) {                                                                   \
        SetIntegerProperty(v, Field.Width, &TgPlotObject::DoChange);                                         \
    }                                                                                                        \
    TgPlotGridLineStyle GridLine##Name##Style() const {                                                      \
        return Field.Style;                                                                                  \
    }                                                                                                        \
    void SetGridLine##Name##Style(TgPlotGridLineStyle v) {                                                   \
        SetStyle(v, Field.Style);                                                                            \
    }
    KV_DV_LINESET(XMajor, FXMajor)
    KV_DV_LINESET(XMinor, FXMinor)
    KV_DV_LINESET(YMajor, FYMajor)
    KV_DV_LINESET(YMinor, FYMinor)
#undef KV_DV_LINESET

    // "<ALL>" in any case: every axis of that kind. Setting a name drops the cached axis.
    const std::string& GridXAxisName() const {
        return FGridXAxisName;
    }
    void SetGridXAxisName(const std::string& v);
    const std::string& GridYAxisName() const {
        return FGridYAxisName;
    }
    void SetGridYAxisName(const std::string& v);
    // Stored without a change notification.
    bool AxesControlEnabled() const {
        return FAxesControlEnabled;
    }
    void SetAxesControlEnabled(bool v) {
        FAxesControlEnabled = v;
    }
    TgPlotAxesControlStyle AxesControlMouseStyle() const {
        return FAxesControlMouseStyle;
    }
    void SetAxesControlMouseStyle(TgPlotAxesControlStyle v) {
        FAxesControlMouseStyle = v;
    }
    TgPlotAxesControlStyle AxesControlWheelStyle() const {
        return FAxesControlWheelStyle;
    }
    void SetAxesControlWheelStyle(TgPlotAxesControlStyle v) {
        FAxesControlWheelStyle = v;
    }
    bool AxesControlAllowInSelectMode() const {
        return FAxesControlAllowInSelectMode;
    }
    void SetAxesControlAllowInSelectMode(bool v) {
        SetBooleanProperty(v, FAxesControlAllowInSelectMode, &TgPlotObject::DoChange);
    }

    // --- conversions over the draw rectangle. A rectangle with no width (height) maps every pixel
    // to 0 percent, and every percentage to its near edge (left, bottom); pixels saturate.
    double PixelsXToPositionPercent(int x) const;
    double PixelsYToPositionPercent(int y) const;
    int PositionPercentToPixelsX(double percent) const;
    int PositionPercentToPixelsY(double percent) const;

    // --- drawing (the plot's paint calls these)
    void DrawBackground(TCanvas& canvas);
    // Alias of DrawBackground under the name the plot's frame uses.
    void FillBackground(TCanvas& canvas) {
        DrawBackground(canvas);
    }
    void Draw(TCanvas& canvas, TColor backGroundColor) override;
    void DrawZoomBox(TCanvas& canvas);
    // Zooms every X axis, then every Y axis, to a pixel rectangle (after OnBeforeZoomBox).
    void ZoomToRect(const TRect& rect);

    // The grid axes, resolved through the plot on first use and cached.
    TgPlotAxis* GetGridXAxis();
    TgPlotAxis* GetGridYAxis();

    bool ZoomBoxActive() const {
        return FZoomBoxActive;
    }
    TPoint MouseDownPoint() const {
        return {FMouseDownX, FMouseDownY};
    }
    TPoint MouseMovePoint() const {
        return {FMouseMoveX, FMouseMoveY};
    }

    // --- notifications and input
    void NotificationAxisRemove(TObject* sender) override;
    void NotificationAxisRename(TObject* sender) override;
    void NotificationFocusChange(TObject* sender) override;
    void DoMouseLeft(const TgPlotMouseData& mouseData) override;
    void DoMouseRight(const TgPlotMouseData& mouseData) override;
    void DoMouseMove(const TgPlotMouseData& mouseData) override;
    void DoMouseUp(const TgPlotMouseData& mouseData) override;
    bool DoMouseWheel(int wheelDelta, TShiftState shift, int x, int y) override;
    TgPlotObject* GetMouseOverObject(int x, int y) override;
    TCursor GetMouseCursor(TPoint point) override;
    void gKeyDown(std::uint16_t& key, TShiftState shift, TPopupMenu* popupMenu) override;
    void BuildPopupMenu(TPopupMenu* popupMenu) override;

private:
    IgPlotDataViewHost* ViewHost() const;
    void SetStyle(TgPlotGridLineStyle v, TgPlotGridLineStyle& field);
    void DrawGrid(TCanvas& canvas, TColor backGroundColor);
    void DrawFrameLines(TCanvas& canvas);
    // Every X axis (then every Y axis) of the plot, in index order.
    std::vector<TgPlotAxis*> XAxes() const;
    std::vector<TgPlotAxis*> YAxes() const;
    void InvalidateNow() {
        DoInvalidateNow();
    }

    std::string FTitle;
    bool FBackgroundTransparent = true;
    TColor FBackgroundColor = clTeal;
    bool FGridShow = true;
    TColor FGridLineColor = clGreen;
    bool FGridLineShowLeft = true, FGridLineShowTop = true, FGridLineShowRight = true,
         FGridLineShowBottom = true;
    bool FGridLineShowXMajors = true, FGridLineShowYMajors = true;
    bool FGridLineShowXMinors = false, FGridLineShowYMinors = false;
    TgPlotGridLineStyle FGridLineMajorStyle = TgPlotGridLineStyle::ipglsSolid;
    TgPlotGridLineStyle FGridLineMinorStyle = TgPlotGridLineStyle::ipglsSolid;
    TLineSet FXMajor, FXMinor, FYMajor, FYMinor;
    std::string FGridXAxisName, FGridYAxisName;
    bool FAxesControlEnabled = false;
    TgPlotAxesControlStyle FAxesControlMouseStyle = TgPlotAxesControlStyle::ipacsBoth;
    TgPlotAxesControlStyle FAxesControlWheelStyle = TgPlotAxesControlStyle::ipacsXAxis;
    bool FAxesControlAllowInSelectMode = false;

    TgPlotAxis* FXAxis = nullptr;
    TgPlotAxis* FYAxis = nullptr;
    bool FMouseDownLeft = false;
    bool FMouseDownRight = false;
    bool FZoomBoxActive = false;
    int FMouseDownX = 0, FMouseDownY = 0, FMouseMoveX = 0, FMouseMoveY = 0;
    bool FDirectionLock = false;
    bool FDirectionLockXAxis = false;
};

// Registers the factory of TgPlotDataView with the object managers (done once when the library
// loads; callable again to restore it).
void gRegisterPlotDataViewClass();

} // namespace kv
