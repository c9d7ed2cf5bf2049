#pragma once
// The channel of the time-series plot: points arrive in X order (usually time), so the drawn range and
// the value lookups are bisection searches. Besides the straight trace it draws fills, bars, step,
// spline, polynomial and rational traces, a two-level digital trace and high-low glyphs. One OPC item
// can feed it Y values stamped with a time, or two items an (X, Y) pair.

#include "plot/gPlotChannel.h"
#include "plot/gPlotChannelOPC.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kv {

class TgOPCManager;
class TgOPCItemManager;
class TgOPCItem;
class TgPlotMinMaxPoint;
class TDigitalSequenceData;
enum class TgPlotDataCursorStyle;

enum class TgPlotInterpolationStyle {
    ipistStraightLine,
    ipistCubicSpline,
    ipistPolynomial,
    ipistRational,
    ipistDifferential,
    ipistDifferentialTerminated
};
std::vector<std::string> EnumIdents(TgPlotInterpolationStyle);
enum class TgPlotHighLowStyle { iphlsOpenClose, iphlsCandleStick };
std::vector<std::string> EnumIdents(TgPlotHighLowStyle);
enum class TgPlotDigitalReferenceStyle { ipdrScale, ipdrPercent };
std::vector<std::string> EnumIdents(TgPlotDigitalReferenceStyle);
enum class TgOPCXValueSourceStyle {
    iopcxvsOPCServerTimeStamp,
    iopcxvsSystemTimeStamp,
    iopcxvsElapsedTime,
    iopcxvsElapsedSeconds,
    iopcxvsOPCItem
};
std::vector<std::string> EnumIdents(TgOPCXValueSourceStyle);

// The value an interpolated trace drew in one pixel column; Null when it drew none there.
struct TgPlotPixelPoint {
    bool Null = true;
    int XPixel = 0;
    double YValue = 0;
};

// The local date-time as days since 1899-12-30, the X of time-stamped points.
double gPlotLocalNow();

class TgPlotChannel : public TgPlotChannelCustom, public TgPlotChannelOPC {
    KV_CLASS(TgPlotChannel)
public:
    TgPlotChannel(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert, TNotifyEvent onRemove,
                  TNotifyEvent onRename);
    ~TgPlotChannel() override;

    // The clock of the time-stamped adders; tests put a fake one in. Empty restores the real clock.
    void SetClock(std::function<double()> clock);
    double Now() const { return FClock ? FClock() : gPlotLocalNow(); }

    // --- published properties
    bool FastDrawEnabled() const { return FFastDrawEnabled; }
    void SetFastDrawEnabled(bool value);
    bool AllowOutOfOrderXValues() const { return FAllowOutOfOrderXValues; }
    void SetAllowOutOfOrderXValues(bool value) { FAllowOutOfOrderXValues = value; }
    bool DrawOutOfOrderXValues() const { return FDrawOutOfOrderXValues; }
    void SetDrawOutOfOrderXValues(bool value);
    bool ResetStartTimeOnFirstDataPoint() const { return FResetStartTimeOnFirstDataPoint; }
    void SetResetStartTimeOnFirstDataPoint(bool value) { FResetStartTimeOnFirstDataPoint = value; }
    TgPlotInterpolationStyle InterpolationStyle() const { return FInterpolationStyle; }
    void SetInterpolationStyle(TgPlotInterpolationStyle value);
    bool FillEnabled() const { return FFillEnabled; }
    void SetFillEnabled(bool value);
    double FillReference() const { return FFillReference; }
    void SetFillReference(double value);
    TBrushStyle FillStyle() const { return FFillStyle; }
    void SetFillStyle(TBrushStyle value);
    TColor FillColor() const { return FFillColor; }
    void SetFillColor(TColor value);
    bool FillUseChannelColor() const { return FFillUseChannelColor; }
    void SetFillUseChannelColor(bool value);
    bool DigitalEnabled() const { return FDigitalEnabled; }
    void SetDigitalEnabled(bool value);
    TgPlotDigitalReferenceStyle DigitalReferenceStyle() const { return FDigitalReferenceStyle; }
    void SetDigitalReferenceStyle(TgPlotDigitalReferenceStyle value);
    double DigitalReferenceLow() const { return FDigitalReferenceLow; }
    void SetDigitalReferenceLow(double value);
    double DigitalReferenceHigh() const { return FDigitalReferenceHigh; }
    void SetDigitalReferenceHigh(double value);
    TgPlotHighLowStyle HighLowStyle() const { return FHighLowStyle; }
    void SetHighLowStyle(TgPlotHighLowStyle value);
    bool HighLowEnabled() const { return FHighLowEnabled; }
    void SetHighLowEnabled(bool value);
    TColor HighLowBarColor() const { return FHighLowBarColor; }
    void SetHighLowBarColor(TColor value);
    double HighLowBarWidth() const { return FHighLowBarWidth; }
    void SetHighLowBarWidth(double value);
    bool HighLowOpenShow() const { return FHighLowOpenShow; }
    void SetHighLowOpenShow(bool value);
    TColor HighLowOpenColor() const { return FHighLowOpenColor; }
    void SetHighLowOpenColor(TColor value);
    double HighLowOpenWidth() const { return FHighLowOpenWidth; }
    void SetHighLowOpenWidth(double value);
    double HighLowOpenHeight() const { return FHighLowOpenHeight; }
    void SetHighLowOpenHeight(double value);
    bool HighLowCloseShow() const { return FHighLowCloseShow; }
    void SetHighLowCloseShow(bool value);
    TColor HighLowCloseColor() const { return FHighLowCloseColor; }
    void SetHighLowCloseColor(TColor value);
    double HighLowCloseWidth() const { return FHighLowCloseWidth; }
    void SetHighLowCloseWidth(double value);
    double HighLowCloseHeight() const { return FHighLowCloseHeight; }
    void SetHighLowCloseHeight(double value);
    TColor HighLowShadowColor() const { return FHighLowShadowColor; }
    void SetHighLowShadowColor(TColor value);
    TColor HighLowBullishColor() const { return FHighLowBullishColor; }
    void SetHighLowBullishColor(TColor value);
    TColor HighLowBearishColor() const { return FHighLowBearishColor; }
    void SetHighLowBearishColor(TColor value);
    bool BarEnabled() const { return FBarEnabled; }
    void SetBarEnabled(bool value);
    bool BarPenUseChannelColor() const { return FBarPenUseChannelColor; }
    void SetBarPenUseChannelColor(bool value);
    bool BarBrushUseChannelColor() const { return FBarBrushUseChannelColor; }
    void SetBarBrushUseChannelColor(bool value);
    // The bar defaults live in the point list, which per-point lists override.
    double BarReference() const;
    void SetBarReference(double value);
    double BarWidth() const;
    void SetBarWidth(double value);
    TColor BarPenColor() const;
    void SetBarPenColor(TColor value);
    int BarPenWidth() const;
    void SetBarPenWidth(int value);
    TPenStyle BarPenStyle() const;
    void SetBarPenStyle(TPenStyle value);
    TColor BarBrushColor() const;
    void SetBarBrushColor(TColor value);
    TBrushStyle BarBrushStyle() const;
    void SetBarBrushStyle(TBrushStyle value);
    TgOPCXValueSourceStyle OPCXValueSource() const { return FOPCXValueSource; }
    void SetOPCXValueSource(TgOPCXValueSourceStyle value) { FOPCXValueSource = value; }
    double ElapsedStartTime() const { return FElapsedStartTime; }
    void SetElapsedStartTime(double value) { FElapsedStartTime = value; }

    // --- OPC settings, each kept by one of the two items
    const std::string& OPCGroupName() const;
    void SetOPCGroupName(const std::string& value);
    void OPCActivate() override;
    void OPCActivateSuspend();
    void OPCDeactivate();
    void OPCUpdateSuspend();
    void OPCUpdateResume();

    // --- points; each adder returns the new point's index. With AllowOutOfOrderXValues off, an X
    // against the channel's direction raises and adds nothing.
    int AddXY(double x, double y) override;
    int AddXNull(double x);
    int AddXEmpty(double x);
    // A valid point at (X, 0) carrying four prices; only the full-feature list keeps them.
    int AddHighLow(double x, double high, double low, double open, double close);
    int AddYNow(double y);
    // X in days since ElapsedStartTime.
    int AddYElapsedTime(double y);
    int AddYElapsedSeconds(double y);
    // Points XInterval apart, the first at the last point's X (0 on an empty channel).
    void AddYArray(double xInterval, const TgVariantArray& yData);
    void ResetElapsedStartTime();
    void CheckXOrder(double x);

    // --- queries
    bool XIncreasing() const { return FXIncreasing; }
    // The last index a bisection probed: the match or a neighbour of where X would go; -1 when empty.
    int FindIndexIncreasing(double x) const;
    int FindIndexDecreasing(double x) const;
    // With increasing X the first point whose X is at least Target, with decreasing X the last such
    // point; -1 without an X axis, without points or outside the points.
    int CalcIndex(double target);
    // The trace's value at X, interpolated along the X axis' pixels; false outside the points or
    // across a null point.
    bool GetYInterpolated(double xValue, double& yValue);
    TgPlotDataPointStatus GetYAtX(double x, double& y);
    // The point nearest X and its distance (on a tie the point CalcIndex finds; beyond the points the
    // nearer end); -1 and 1e300 when none.
    int FindNearestIndex(double x, double& distance);
    std::string FormatDataCursorText(TgPlotDataCursorStyle style, TgPlotDataPointStatus status, double x,
                                     double y);
    void UpdateDataCursorText(TgPlotObject* cursor) override;

    double GetDataHigh(int index) const { return FDataList->GetHigh(index); }
    double GetDataLow(int index) const { return FDataList->GetLow(index); }
    double GetDataOpen(int index) const { return FDataList->GetOpen(index); }
    double GetDataClose(int index) const { return FDataList->GetClose(index); }
    bool GetDataBarVisible(int index) const { return FDataList->GetBarVisible(index); }
    double GetDataBarReference(int index) const { return FDataList->GetBarReference(index); }
    double GetDataBarWidth(int index) const { return FDataList->GetBarWidth(index); }
    TColor GetDataBarPenColor(int index) const { return FDataList->GetBarPenColor(index); }
    int GetDataBarPenWidth(int index) const { return FDataList->GetBarPenWidth(index); }
    TPenStyle GetDataBarPenStyle(int index) const { return FDataList->GetBarPenStyle(index); }
    TColor GetDataBarBrushColor(int index) const { return FDataList->GetBarBrushColor(index); }
    TBrushStyle GetDataBarBrushStyle(int index) const { return FDataList->GetBarBrushStyle(index); }

    // --- the channel kind's part
    void CalcStartIndex() override;
    void CalcStopIndex() override;
    double GetVisibleXMax() override;
    double GetVisibleXMin() override;
    double GetVisibleYMax() override;
    double GetVisibleYMin() override;
    bool gMouseHitTest(const TgPlotMouseData& mouseData) override;
    void DoInsert() override;

    // --- drawing
    void DrawSetup() override;
    // Never raises: a faulty channel must not stop the plot's paint.
    void Draw(TCanvas& canvas, TColor backGroundColor) override;
    void DrawTraceLine(TCanvas& canvas, bool reversed, TColor backgroundColor) override;
    void DrawMarkers(TCanvas& canvas, bool reversed, TColor backgroundColor) override;
    // The value an interpolated trace drew at the pixel column; raises outside the X axis' pixels.
    void SetPixelPoint(int xPixel, double y);
    const std::vector<TgPlotPixelPoint>& PixelList() const { return FPixelList; }
    int PixelListStart() const { return FPixelListStart; }
    int PixelListStop() const { return FPixelListStop; }

protected:
    bool HitTestBars() override { return FBarEnabled; }
    TRect GetBarRect(int index) override;

private:
    void StartTimeOnFirstPoint();
    void UpdateXIncreasing();
    void OPCNewData(TgOPCItem* item);
    double VisibleYExtreme(bool largest);

    void DrawFill(TCanvas& canvas, bool reversed, TColor backgroundColor);
    void DrawBars(TCanvas& canvas, bool reversed, TColor backgroundColor);
    void DrawTraceFast(TCanvas& canvas, bool reversed);
    void DrawMinMaxColumns(TCanvas& canvas, bool reversed, const TgPlotMinMaxPoint& a,
                           const TgPlotMinMaxPoint& b, const TgPlotMinMaxPoint& c);
    void DrawCubicSpline(TCanvas& canvas, bool reversed);
    void DrawSplineRun(TCanvas& canvas, bool reversed, const std::vector<double>& x,
                       const std::vector<double>& y, int n);
    void DrawInterpolated(TCanvas& canvas, bool reversed, bool rational);
    // Evaluates the interpolant once per pixel column from x1 to xn and joins the columns.
    void DrawColumns(TCanvas& canvas, bool reversed, double x1, double xn,
                     const std::function<double(double)>& interpolant);
    void DrawDifferential(TCanvas& canvas, bool reversed);
    void DrawDigitalTrace(TCanvas& canvas, bool reversed);
    void DrawDigitalSegment(TCanvas& canvas, bool reversed, TDigitalSequenceData& s);
    void DrawHighLowOpenClose(TCanvas& canvas, bool reversed, TColor backgroundColor);
    void DrawHighLowCandleStick(TCanvas& canvas, bool reversed, TColor backgroundColor);
    TColor FillBrushColor() const { return FFillUseChannelColor ? Color() : FFillColor; }
    bool FillDrawn() const { return FFillEnabled && FFillStyle != TBrushStyle::bsClear; }

    std::vector<TgPlotPixelPoint> FPixelList;
    int FPixelListStart = 0, FPixelListStop = 0;
    int FPixelsHigh = 0, FPixelsLow = 0;
    bool FXIncreasing = true;
    bool FFastDrawEnabled = true, FAllowOutOfOrderXValues = true, FDrawOutOfOrderXValues = false,
         FResetStartTimeOnFirstDataPoint = false;
    TgPlotInterpolationStyle FInterpolationStyle = TgPlotInterpolationStyle::ipistStraightLine;
    double FElapsedStartTime = 0;
    bool FFillEnabled = false;
    double FFillReference = 0;
    bool FFillUseChannelColor = true;
    TBrushStyle FFillStyle = TBrushStyle::bsSolid;
    TColor FFillColor = 0;
    TgPlotHighLowStyle FHighLowStyle = TgPlotHighLowStyle::iphlsOpenClose;
    bool FHighLowEnabled = false;
    TColor FHighLowBarColor = 0xFFFF00;
    double FHighLowBarWidth = 0.5;
    bool FHighLowOpenShow = true;
    TColor FHighLowOpenColor = 0x00FF00;
    double FHighLowOpenWidth = 1, FHighLowOpenHeight = 1;
    bool FHighLowCloseShow = true;
    TColor FHighLowCloseColor = 0x0000FF;
    double FHighLowCloseWidth = 1, FHighLowCloseHeight = 1;
    TColor FHighLowShadowColor = 0x808080, FHighLowBullishColor = 0xFFFFFF, FHighLowBearishColor = 0x808080;
    bool FDigitalEnabled = false;
    double FDigitalReferenceLow = 10, FDigitalReferenceHigh = 90;
    TgPlotDigitalReferenceStyle FDigitalReferenceStyle = TgPlotDigitalReferenceStyle::ipdrScale;
    TgOPCXValueSourceStyle FOPCXValueSource = TgOPCXValueSourceStyle::iopcxvsOPCServerTimeStamp;
    bool FBarEnabled = false, FBarPenUseChannelColor = true, FBarBrushUseChannelColor = true;
    std::function<double()> FClock;
};

} // namespace kv
