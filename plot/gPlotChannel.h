#pragma once
// The common part of a plot's channels: the point list, the X and Y axes the points are drawn
// against, running statistics, axis tracking, logging to a text file, data and property files, the
// trace line and point markers, the legend sample, and the point hit test, hint and drag that the
// plot's mouse routing reaches. The XY and time-series channels fill in which points are drawn.

#include "plot/gPlotDataList.h"
#include "plot/gPlotObjects.h"

#include "platform/gui/Graphics.h"

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kv {

struct TgOPCVariant;

class TgPlotAxis;
class TgPlotDataView;

enum class TgPlotChannelDataPointMoveStyle { ipcdpmsXandY, ipcdpmsXOnly, ipcdpmsYOnly };
std::vector<std::string> EnumIdents(TgPlotChannelDataPointMoveStyle);
enum class TgPlotDataPointStatus { ipdpsValid, ipdpsNull, ipdpsEmpty };
enum class TgPlotDataCursorStyle;
std::vector<std::string> EnumIdents(TgPlotDataPointStatus);

// An array handed over by a caller as the old automation interface passed it: bounds per dimension
// (low, high) and the elements, the last dimension running fastest.
struct TgVariantArray {
    std::vector<std::pair<int, int>> Bounds;
    std::vector<double> Data;

    int Dimensions() const { return static_cast<int>(Bounds.size()); }
    // Element [i] of a one-dimensional array, [i][j] of a two-dimensional one; indexes are bounds-based.
    double At(int i) const;
    double At(int i, int j) const;
};

// The pen style that draws a trace line style.
TPenStyle gPenStyleOf(TgPlotLineStyle style);

// What a channel needs of the plot that owns it besides its axes, which it finds through the plot's
// IgPlotAxisHost (the plot control implements both). A channel whose owner offers neither has no axes,
// no data view, and fires no events.
class IgPlotChannelHost {
public:
    // The plot's first data view; nullptr when it has none.
    virtual TgPlotDataView* GetFirstDataView() = 0;
    // The plot's first toolbar is in select mode (points are hit-tested only then).
    virtual bool GetSelectModeActive() = 0;
    // A tab, or a comma when the plot's data files separate their columns by commas.
    virtual char GetDataFileSeparatorChar() = 0;
    virtual bool GetDifferentialPropertySave() = 0;
    virtual int GetChannelIndex(const TgPlotObject* channel) = 0;
    virtual TFont* GetHintsFont() = 0;

    virtual void DoMouseDownDataPoint(int channelIndex, int dataIndex, TMouseButton button, TShiftState shift,
                                      int x, int y) = 0;
    virtual void DoMouseMoveDataPoint(int channelIndex, int dataIndex, TShiftState shift, int x, int y) = 0;
    virtual void DoMouseUpDataPoint(int channelIndex, int dataIndex, TMouseButton button, TShiftState shift,
                                    int x, int y) = 0;
    virtual void DoClickDataPoint(int channelIndex, int dataIndex, bool dblClick) = 0;
    virtual void DoDataPointMoved(int channelIndex, int dataIndex, double oldX, double oldY, double newX,
                                  double newY) = 0;
    virtual void DoDataPointCustomizeHint(int channelIndex, int dataIndex, std::string& text) = 0;
    virtual void DoClickChannel(int channelIndex, bool dblClick) = 0;
    virtual void DoGetMouseCursorChannel(int channelIndex, TCursor& cursor) = 0;

protected:
    ~IgPlotChannelHost() = default;
};

class TgPlotChannelCustom : public TgPlotManagerObject {
    KV_CLASS(TgPlotChannelCustom)
public:
    TgPlotChannelCustom(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                        TNotifyEvent onRemove, TNotifyEvent onRename);
    ~TgPlotChannelCustom() override;

    // --- axes: resolved by name through the plot on first use and cached until dropped
    TgPlotAxis* XAxis();
    TgPlotAxis* YAxis();
    bool HasAxes();
    const std::string& XAxisName() const { return FXAxisName; }
    void SetXAxisName(const std::string& value);
    const std::string& YAxisName() const { return FYAxisName; }
    void SetYAxisName(const std::string& value);
    void NotificationAxisRemove(TObject* sender) override;
    void NotificationAxisRename(TObject* sender) override;

    // --- published properties
    const std::string& TitleText() const { return FTitleText; }
    void SetTitleText(const std::string& value);
    bool VisibleInLegend() const { return FVisibleInLegend; }
    void SetVisibleInLegend(bool value);
    bool ClipToAxes() const { return FClipToAxes; }
    void SetClipToAxes(bool value);
    bool ShowDataPointHints() const { return FShowDataPointHints; }
    void SetShowDataPointHints(bool value) { FShowDataPointHints = value; }
    bool UserCanMoveDataPoints() const { return FUserCanMoveDataPoints; }
    void SetUserCanMoveDataPoints(bool value) { FUserCanMoveDataPoints = value; }
    TgPlotChannelDataPointMoveStyle UserCanMoveDataPointsStyle() const { return FUserCanMoveDataPointsStyle; }
    void SetUserCanMoveDataPointsStyle(TgPlotChannelDataPointMoveStyle value) {
        FUserCanMoveDataPointsStyle = value;
    }
    int RingBufferSize() const { return FDataList->RingBufferSize(); }
    void SetRingBufferSize(int value);
    bool TraceVisible() const { return FTraceVisible; }
    void SetTraceVisible(bool value);
    TColor Color() const { return FDataList->StoredTraceLineColor; }
    void SetColor(TColor value);
    TgPlotLineStyle TraceLineStyle() const { return FDataList->StoredTraceLineStyle; }
    void SetTraceLineStyle(TgPlotLineStyle value);
    int TraceLineWidth() const { return FDataList->StoredTraceLineWidth; }
    void SetTraceLineWidth(int value);
    bool MarkersAllowIndividual() const { return FMarkersAllowIndividual; }
    void SetMarkersAllowIndividual(bool value);
    bool MarkersPenUseChannelColor() const { return FMarkersPenUseChannelColor; }
    void SetMarkersPenUseChannelColor(bool value);
    bool MarkersBrushUseChannelColor() const { return FMarkersBrushUseChannelColor; }
    void SetMarkersBrushUseChannelColor(bool value);
    int MarkersTurnOffLimit() const { return FMarkersTurnOffLimit; }
    void SetMarkersTurnOffLimit(int value);
    bool MarkersVisible() const { return FDataList->StoredMarkerVisible; }
    void SetMarkersVisible(bool value);
    int MarkersSize() const { return FDataList->StoredMarkerSize; }
    void SetMarkersSize(int value);
    TgPlotMarkerStyle MarkersStyle() const { return FDataList->StoredMarkerStyle; }
    void SetMarkersStyle(TgPlotMarkerStyle value);
    TColor MarkersPenColor() const { return FDataList->StoredMarkerPenColor; }
    void SetMarkersPenColor(TColor value);
    TPenStyle MarkersPenStyle() const { return FDataList->StoredMarkerPenStyle; }
    void SetMarkersPenStyle(TPenStyle value);
    int MarkersPenWidth() const { return FDataList->StoredMarkerPenWidth; }
    void SetMarkersPenWidth(int value);
    TColor MarkersBrushColor() const { return FDataList->StoredMarkerBrushColor; }
    void SetMarkersBrushColor(TColor value);
    TBrushStyle MarkersBrushStyle() const { return FDataList->StoredMarkerBrushStyle; }
    void SetMarkersBrushStyle(TBrushStyle value);
    TFont* MarkersFont() const { return FMarkersFont.get(); }
    void SetMarkersFont(const TFont* value);
    bool XAxisTrackingEnabled() const { return FXAxisTrackingEnabled; }
    void SetXAxisTrackingEnabled(bool value);
    bool YAxisTrackingEnabled() const { return FYAxisTrackingEnabled; }
    void SetYAxisTrackingEnabled(bool value);
    const std::string& LogFileName() const { return FLogFileName; }
    // Raises "Log File Name can not be changed while logging is active." (translated) while logging.
    void SetLogFileName(const std::string& value);
    int LogBufferSize() const { return FLogBufferSize; }
    void SetLogBufferSize(int value) { FLogBufferSize = value; }
    bool LoggingActive() const { return FLoggingActive; }
    TgPlotDataStyle DataStyle() const { return FDataStyle; }
    // A new list of the new kind keeps the stored defaults and the ring size; the points are lost.
    void SetDataStyle(TgPlotDataStyle value);
    // The user's value; not part of any file.
    std::string Tag;

    // --- public reads
    int Count() const { return FDataList->Count(); }
    // The list's capacity: a smaller value drops the newest points, a larger one reserves room.
    void SetCount(int value);
    int Capacity() const { return FDataList->Capacity(); }
    int DataPointSize() const { return FDataList->DataPointSize(); }
    int MaxDataPoints() const { return FDataList->MaxDataPoints(); }
    std::int64_t MemoryUsed() const { return FDataList->MemoryUsed(); }
    double XFirst() const { return Count() ? FDataList->GetX(0) : -1; }
    double XLast() const { return Count() ? FDataList->GetX(Count() - 1) : -1; }
    double YFirst() const { return Count() ? FDataList->GetY(0) : -1; }
    double YLast() const { return Count() ? FDataList->GetY(Count() - 1) : -1; }
    int IndexFirst() const { return Count() ? 0 : -1; }
    int IndexLast() const { return Count() - 1; }
    int DrawStartIndex() const { return FStartIndex; }
    int DrawStopIndex() const { return FStopIndex; }
    double RunningXMin() const { return FRunningXMin; }
    double RunningXMax() const { return FRunningXMax; }
    double RunningXMean() const { return FRunningXMean; }
    double RunningYMin() const { return FRunningYMin; }
    double RunningYMax() const { return FRunningYMax; }
    double RunningYMean() const { return FRunningYMean; }
    int RunningCount() const { return FRunningCount; }
    const std::string& DataCursorXText() const { return FDataCursorXText; }
    const std::string& DataCursorYText() const { return FDataCursorYText; }
    double DataCursorXValue() const { return FDataCursorXValue; }
    double DataCursorYValue() const { return FDataCursorYValue; }
    TgPlotDataPointStatus DataCursorStatus() const { return FDataCursorStatus; }
    TgPlotDataCustomList& DataList() const { return *FDataList; }
    int SelectDataIndex() const { return FSelectDataIndex; }
    const TRect& LegendRect() const { return FLegendRect; }
    void SetLegendRect(const TRect& rect) { FLegendRect = rect; }

    // --- points
    virtual int AddXY(double x, double y);
    // The one road by which points come in with statistics, tracking and logging.
    int AddPoint(double x, double y, bool null, bool empty);
    // Raise the array messages before any point is added; a failing element leaves the points before it.
    void AddXYArrays(const TgVariantArray& xData, const TgVariantArray& yData);
    void AddXYArray(const TgVariantArray& data);
    void Clear();
    // Deleting every point clears the channel; otherwise the list's rules.
    void DeletePoints(int size);
    void GetXYEmptyNull(int index, double& x, double& y, bool& empty, bool& null) const {
        FDataList->GetXYEmptyNull(index, x, y, empty, null);
    }

    double GetDataX(int index) const { return FDataList->GetX(index); }
    double GetDataY(int index) const { return FDataList->GetY(index); }
    bool GetDataNull(int index) const { return FDataList->GetNull(index); }
    bool GetDataEmpty(int index) const { return FDataList->GetEmpty(index); }
    bool GetDataValid(int index) const { return !GetDataNull(index) && !GetDataEmpty(index); }
    bool GetDataMarkerVisible(int index) const { return FDataList->GetMarkerVisible(index); }
    TgPlotMarkerStyle GetDataMarkerStyle(int index) const { return FDataList->GetMarkerStyle(index); }
    int GetDataMarkerSize(int index) const { return FDataList->GetMarkerSize(index); }
    TColor GetDataMarkerPenColor(int index) const { return FDataList->GetMarkerPenColor(index); }
    int GetDataMarkerPenWidth(int index) const { return FDataList->GetMarkerPenWidth(index); }
    TPenStyle GetDataMarkerPenStyle(int index) const { return FDataList->GetMarkerPenStyle(index); }
    TColor GetDataMarkerBrushColor(int index) const { return FDataList->GetMarkerBrushColor(index); }
    TBrushStyle GetDataMarkerBrushStyle(int index) const { return FDataList->GetMarkerBrushStyle(index); }
    char16_t GetDataMarkerCharacter(int index) const { return FDataList->GetMarkerCharacter(index); }
    TColor GetDataTraceLineColor(int index) const { return FDataList->GetTraceLineColor(index); }
    TgPlotLineStyle GetDataTraceLineStyle(int index) const { return FDataList->GetTraceLineStyle(index); }
    int GetDataTraceLineWidth(int index) const { return FDataList->GetTraceLineWidth(index); }
    void SetDataX(int index, double value);
    void SetDataY(int index, double value);
    void SetDataNull(int index, bool value);
    void SetDataEmpty(int index, bool value);

    // The point's value widened by its marker, in axis units. Raise "Data Point Null" for a null
    // point, "X-Axis not assigned" / "Y-Axis not assigned" when markers are shown without the axis.
    double GetMarkerXMax(int index);
    double GetMarkerXMin(int index);
    double GetMarkerYMax(int index);
    double GetMarkerYMin(int index);

    // --- statistics over the valid points (null and empty ones left out); each stores what it finds
    double GetXMin();
    double GetXMax();
    double GetXMean();
    double GetYMin();
    double GetYMax();
    double GetYMean();
    void ReCalcRunningMinMaxMean();

    // The axis' cursor text of the value, or "No X-Axis" / "No Y-Axis" (translated).
    std::string GetXValueText(double value);
    std::string GetYValueText(double value);

    // --- files
    void SavePropertiesToFile(const std::string& fileName);
    void LoadPropertiesFromFile(const std::string& fileName);
    void SaveDataToFile(const std::string& fileName);
    void LoadDataFromFile(const std::string& fileName, bool clearPreviousData);
    void LogActivate(bool append);
    void LogDeactivate();

    // --- kinds fill these: the range of points drawn and hit-tested (into FStartIndex, FStopIndex),
    // the visible extremes, and the texts under a data cursor
    virtual void CalcStartIndex() = 0;
    virtual void CalcStopIndex() = 0;
    virtual double GetVisibleXMax() = 0;
    virtual double GetVisibleXMin() = 0;
    virtual double GetVisibleYMax() = 0;
    virtual double GetVisibleYMin() = 0;
    virtual void UpdateDataCursorText(TgPlotObject* cursor) = 0;

    // --- drawing
    // Draws the channel's layers clipped to its axes (with ClipToAxes) inside the plot's clip of the
    // first data view, then gives the canvas the plot's clip back. Nothing without both axes; a layer
    // that raises ends only this channel's paint.
    void DrawClippedToAxes(TCanvas& canvas, const std::function<void(bool reversed)>& drawLayers);
    virtual void DrawTraceLine(TCanvas& canvas, bool reversed, TColor backgroundColor);
    virtual void DrawMarkers(TCanvas& canvas, bool reversed, TColor backgroundColor);
    // A segment between two value points, clipped to the X range (and with ClipToAxes to the Y range).
    // With percentY the Y values are percentages of the first data view.
    void DrawClippedLine(TCanvas& canvas, bool reversed, bool percentY, double ax, double ay, double bx,
                         double by);
    // Fills the quadrilateral of four value points with the canvas' pen and brush.
    void DrawValuePolygon(TCanvas& canvas, bool reversed, const std::pair<double, double> (&points)[4]);
    TRect ValueRectToPixels(double x1, double y1, double x2, double y2);
    bool CanDrawMarker(int index);
    TPoint GetPointPixels(int index);
    TRect GetMarkerRect(int index);
    // Index -1 draws the legend sample.
    void DrawMarker(TCanvas& canvas, int index, TColor backgroundColor, TPoint point);

    // --- mouse
    bool gMouseHitTest(const TgPlotMouseData& mouseData) override;
    void DoMouseHint(const TgPlotMouseData& mouseData, TgHintData& hintData) override;
    void DoMouseLeft(const TgPlotMouseData& mouseData) override;
    void DoMouseMove(const TgPlotMouseData& mouseData) override;
    void DoMouseUp(const TgPlotMouseData& mouseData) override;
    TCursor GetMouseCursor(TPoint point) override;
    void NotificationFocusChange(TObject* sender) override;
    void BuildPopupMenu(TPopupMenu* popupMenu) override;

protected:
    // How the channel kinds differ in the texts under a data cursor.
    struct TgCursorTextRules {
        bool digital = false;              // a valid Y reads "High" or "Low"
        bool deltaYShowsStatus = false;    // Delta Y shows "Null"/"Empty" as Value Y does
        bool inverseAsCursorValue = false; // Inverse Delta X in the axis's cursor value format
    };
    // Stores the values and builds the texts under a data cursor; returns the cursor's text.
    std::string FormatCursorText(TgPlotDataCursorStyle style, TgPlotDataPointStatus status, double x,
                                 double y, const TgCursorTextRules& rules);
    IgPlotChannelHost* ChannelHost() const;
    TgPlotDataView* FirstDataView() const;
    // Kinds with bars (the time-series channel) hit-test bar rectangles.
    virtual bool HitTestBars() { return false; }
    virtual TRect GetBarRect(int) { return {}; }
    void ResetRunningStatistics();
    void WriteLogBuffer();
    int ChannelIndex() const;

    TgPlotAxis* FXAxis = nullptr;
    TgPlotAxis* FYAxis = nullptr;
    int FSelectDataIndex = -1;
    TRect FSelectHitTestRect{};
    bool FSelectMouseDown = false;
    int FSelectMouseDownIndex = -1;
    int FMouseDownDataIndex = -1;
    TRect FSelectDownRect{};
    double FMouseDownValueX = 0, FMouseDownValueY = 0;
    int FMouseDownPixelX = 0, FMouseDownPixelY = 0;
    int FStartIndex = -1, FStopIndex = -1;
    std::unique_ptr<TgPlotDataCustomList> FDataList;
    std::string FTitleText, FYAxisName, FXAxisName;
    bool FXAxisTrackingEnabled = true, FYAxisTrackingEnabled = true;
    bool FLoggingActive = false;
    int FLogBufferCount = 0;
    bool FMarkersAllowIndividual = false;
    int FMarkersTurnOffLimit = 0;
    TRect FLegendRect{};
    bool FVisibleInLegend = true, FClipToAxes = false, FShowDataPointHints = false,
         FUserCanMoveDataPoints = false;
    TgPlotChannelDataPointMoveStyle FUserCanMoveDataPointsStyle =
        TgPlotChannelDataPointMoveStyle::ipcdpmsXandY;
    bool FMarkersBrushUseChannelColor = true, FMarkersPenUseChannelColor = true, FTraceVisible = true;
    int FLogBufferSize = 0;
    std::string FLogFileName;
    int FRunningCount = 0;
    double FRunningXMin = 1e300, FRunningXMax = -1e300, FRunningXMean = 0;
    long double FRunningXTotal = 0;
    double FRunningYMin = 1e300, FRunningYMax = -1e300, FRunningYMean = 0;
    long double FRunningYTotal = 0;
    TgPlotDataStyle FDataStyle = TgPlotDataStyle::ipdsStandard;
    std::unique_ptr<TFont> FMarkersFont;
    char FLoadingSeparator = '\t';
    std::string FDataCursorXText, FDataCursorYText;
    double FDataCursorYValue = 0, FDataCursorXValue = 0;
    TgPlotDataPointStatus FDataCursorStatus = TgPlotDataPointStatus::ipdpsValid;
};

// A number as the channel's data and log files write it: the shortest text that reads back exactly,
// with "." as decimal point whatever the user's locale.
std::string gChannelValueText(double value);
// Reads a number written with "." or "," as decimal point; raises EConvertError for anything else.
double gChannelTextValue(const std::string& text);
// The number an OPC value carries; false for empty, null and texts that are no number.
bool gChannelVariantNumber(const TgOPCVariant& v, double& out);

} // namespace kv
