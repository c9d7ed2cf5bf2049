#pragma once
// A plot axis: the layout object on one side of the data view that owns a value range (Min, Span),
// maps values to pixels and back, generates its ticks with their label texts, formats values for
// labels, data cursors and legends, measures the room it needs and draws its scale line, tick
// strokes, labels, title and the grid lines a data view asks for. Its range follows the values the
// channels feed it (tracking), fits itself to their data (zoom to fit), and the user scrolls and zooms
// it by dragging, the wheel and the keys (plot/gPlotAxisInput.cpp).
//
// The arithmetic lives in TgPlotAxisScale and the texts in TgPlotAxisFormat; the axis feeds them its
// properties, its fonts' text extents and the rectangle the plot's layout assigns. What the axis needs
// of the plot (axes by name, events, the label collision list) it asks through IgPlotAxisHost, which
// the plot control implements; an owner without it gives no events and resolves no reference axes.

#include "plot/gDraw.h"
#include "plot/gPlotAxisFormat.h"
#include "plot/gPlotAxisScale.h"
#include "plot/gPlotObjects.h"

#include "platform/gui/Graphics.h"

#include <memory>
#include <string>
#include <vector>

namespace kv {

class TgPlotAxis;

// Layout names of the label rotations (the enumeration belongs to the drawing routines).
std::vector<std::string> EnumIdents(TgRotationAngle);
enum class TgPlotCartesianStyle { ipcsNone, ipcsMaster, ipcsChild };
std::vector<std::string> EnumIdents(TgPlotCartesianStyle);
// The side of the scale line on which the labels lie.
enum class TgQuadSide { iqsLeft, iqsTop, iqsRight, iqsBottom };
std::vector<std::string> EnumIdents(TgQuadSide);
enum class TgPlotGridLineStyle { ipglsSolid, ipglsDash, ipglsDot };
std::vector<std::string> EnumIdents(TgPlotGridLineStyle);

// How tracking moves the range when new data arrive.
enum class TgPlotTrackingStyle {
    iptsScaleMinMax,
    iptsScaleMax,
    iptsScaleMin,
    iptsScrollSmooth,
    iptsScrollPage,
    iptsExpandCollapse,
    iptsExpandCollapseFast,
    iptsExpandMinMax
};
std::vector<std::string> EnumIdents(TgPlotTrackingStyle);
enum class TgPlotAlignFirstStyle { ipafsMin, ipafsMax, ipafsAuto, ipafsNone };
std::vector<std::string> EnumIdents(TgPlotAlignFirstStyle);
// Tracked ranges widen to multiples of the major or minor increment, or not at all.
enum class TgPlotTrackingIncrementStyle { iptisMinimum, iptisMajor, iptisMinor };
// What dragging, the wheel and the keys do to an axis.
enum class TgPlotAxisMode { ipamScroll, ipamZoom };
std::vector<std::string> EnumIdents(TgPlotAxisMode);
std::vector<std::string> EnumIdents(TgPlotTrackingIncrementStyle);

// What an axis needs of the plot that owns it.
class IgPlotAxisHost {
public:
    // The first axis of that kind whose name equals `name` ignoring case; null when none.
    virtual TgPlotAxis* GetXAxisByName(const std::string& name) = 0;
    virtual TgPlotAxis* GetYAxisByName(const std::string& name) = 0;
    // No axis event fires while the plot loads.
    virtual bool PlotIsLoading() const = 0;
    // The plot fires the X or the Y kind of each event with the axis's index in its manager.
    virtual void DoAxisMinChange(TgPlotAxis* axis, double oldValue, double newValue) = 0;
    virtual void DoAxisSpanChange(TgPlotAxis* axis, double oldValue, double newValue) = 0;
    virtual void DoAxisMinSpanChange(TgPlotAxis* axis, double oldMin, double oldSpan, double newMin,
                                     double newSpan) = 0;
    virtual void DoAxisCustomizeLabel(TgPlotAxis* axis, double value, std::string& label) = 0;
    virtual void DoAxisCustomizeHint(TgPlotAxis* axis, std::string& text) = 0;
    // The label collision list of the current paint: Register adds a rectangle; Test answers true and
    // registers it when it meets no registered one (and lies inside the first data view once any
    // rectangle is registered).
    virtual void RegisterLabelRect(const TRect& rect) = 0;
    virtual bool TestLabelRect(const TRect& rect) = 0;
    // The canvas hints are measured on; null when the plot has none.
    virtual TCanvas* HintCanvas() = 0;
    // The extent of the data of the plot's channels drawn against `axis` (their X values for an X
    // axis, Y for a Y axis): what the channels show, or their running extremes when `running`. False
    // when the plot has no such data.
    virtual bool GetChannelsRange(TgPlotAxis* axis, bool running, double& lo, double& hi) {
        (void)axis;
        (void)running;
        (void)lo;
        (void)hi;
        return false;
    }

protected:
    ~IgPlotAxisHost() = default;
};

class TgPlotAxis : public TgPlotLayoutObject {
    KV_CLASS(TgPlotAxis)
public:
    TgPlotAxis(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert, TNotifyEvent onRemove,
               TNotifyEvent onRename);
    ~TgPlotAxis() override;

    // --- range
    double Min() const { return FScale.Min(); }
    // Clamped to [-1e300, 1e300]; fires the min and min/span events unless blocked.
    void SetMin(double value);
    double Span() const { return FScale.Span(); }
    // Clamped to [1e-300, 1e300]; fires the span and min/span events unless blocked.
    void SetSpan(double value);
    double Max() const { return FScale.Max(); }
    double Mid() const { return FScale.Mid(); }
    // Both at once, with one min/span event; on a log scale a value <= 0 becomes 1.
    void SetMinSpan(double newMin, double newSpan);
    // The data cursor moves the axis without events while it interpolates.
    bool BlockMinSpanEvents() const { return FBlockMinSpanEvents; }
    void SetBlockMinSpanEvents(bool value) { FBlockMinSpanEvents = value; }

    // --- scale
    bool ReverseScale() const { return FScale.ReverseScale; }
    void SetReverseScale(bool value);
    TgPlotScaleType ScaleType() const { return FScale.ScaleType(); }
    // Switching to log10 while Min <= 0 sets Min to 1, without an event.
    void SetScaleType(TgPlotScaleType value);
    double DesiredStart() const { return FScale.DesiredStart; }
    void SetDesiredStart(double value);
    double DesiredIncrement() const { return FScale.DesiredIncrement(); }
    void SetDesiredIncrement(double value);
    int MinorCount() const { return FScale.MinorCount; }
    void SetMinorCount(int value);
    int MajorLength() const { return FMajorLength; }
    void SetMajorLength(int value) { SetIntegerProperty(value, FMajorLength, &TgPlotObject::DoChange); }
    int MinorLength() const { return FMinorLength; }
    void SetMinorLength(int value) { SetIntegerProperty(value, FMinorLength, &TgPlotObject::DoChange); }
    int InnerMargin() const { return FInnerMargin; }
    void SetInnerMargin(int value) { SetIntegerProperty(value, FInnerMargin, &TgPlotObject::DoChange); }
    int OuterMargin() const { return FOuterMargin; }
    void SetOuterMargin(int value) { SetIntegerProperty(value, FOuterMargin, &TgPlotObject::DoChange); }
    double StackingEndsMargin() const { return FStackingEndsMargin; }
    void SetStackingEndsMargin(double value) {
        SetDoubleProperty(value, FStackingEndsMargin, &TgPlotObject::DoChange);
    }
    TgPlotCartesianStyle CartesianStyle() const { return FCartesianStyle; }
    void SetCartesianStyle(TgPlotCartesianStyle value);
    const std::string& CartesianChildRefAxisName() const { return FCartesianChildRefAxisName; }
    // Also drops the cached reference.
    void SetCartesianChildRefAxisName(const std::string& value);
    double CartesianChildRefValue() const { return FCartesianChildRefValue; }
    void SetCartesianChildRefValue(double value) {
        SetDoubleProperty(value, FCartesianChildRefValue, &TgPlotObject::DoChange);
    }
    const std::string& AlignRefAxisName() const { return FAlignRefAxisName; }
    // Also drops the cached reference.
    void SetAlignRefAxisName(const std::string& value);
    bool ScaleLineShow() const { return FScaleLineShow; }
    void SetScaleLineShow(bool value) { SetBooleanProperty(value, FScaleLineShow, &TgPlotObject::DoChange); }
    bool ScaleLinesShow() const { return FScaleLinesShow; }
    void SetScaleLinesShow(bool value) {
        SetBooleanProperty(value, FScaleLinesShow, &TgPlotObject::DoChange);
    }
    TColor ScaleLinesColor() const { return FScaleLinesColor; }
    void SetScaleLinesColor(TColor value) {
        SetColorProperty(value, FScaleLinesColor, &TgPlotObject::DoChange);
    }
    bool GridLinesVisible() const { return FGridLinesVisible; }
    void SetGridLinesVisible(bool value) {
        SetBooleanProperty(value, FGridLinesVisible, &TgPlotObject::DoChange);
    }

    // --- mapping (valid after the scale geometry ran for the assigned rectangle)
    int PositionToPixels(double value) const;
    double PixelsToPosition(int pixels) const;
    int WidthToPixels(double width) const;
    bool PointOnScale(double value) const;
    bool ValueOnScale(double value) const { return PointOnScale(value); }
    // A fraction of the range, not a percentage.
    double PositionToPercent(double value) const;
    double PercentToPosition(double value) const;
    int MinPixels() const { return PositionToPixels(Min()); }
    int MaxPixels() const { return PositionToPixels(Max()); }
    // Pixels of Min and Max as the last scale geometry set them.
    int ActualStart() const { return Scale().ActualStart(); }
    int ActualStop() const { return Scale().ActualStop(); }
    double PixelsPerSpanUnit() const { return Scale().PixelsPerSpanUnit(); }
    const TRect& ScaleRect() const { return FScale.ScaleRect(); }
    const TRect& FocusRect() const { return FFocusRect; }
    TgQuadSide QuadSide() const { return FQuadSide; }

    // --- ticks
    double MajorIncrement() const { return FScale.MajorIncrement(); }
    double MinorIncrement() const { return FScale.MinorIncrement(); }
    int TickListCount() const { return int(FScale.Ticks().size()); }
    const TgPlotTick& Tick(int index) const;
    bool TickListCustom() const { return FScale.TickListCustom; }
    void SetTickListCustom(bool value) { FScale.TickListCustom = value; }
    void TickListClear();
    // Raises "Log Scale Requires Position to be Greater Than Zero" on a log scale for a position <= 0.
    int TickListAdd(double position, const std::string& label, TgPlotTickType style);
    bool MonthModeEnabled() const { return FScale.MonthModeEnabled(); }
    bool YearModeEnabled() const { return FScale.YearModeEnabled(); }

    // The scale geometry inside the assigned draw rectangle, then the ticks for the labels that fit.
    void CalcScaleRect(TCanvas& canvas);
    void CalcTicks(TCanvas& canvas);

    // --- references (resolved by name through the plot on first use)
    TgPlotAxis* GetCartesianRefAxis();
    TgPlotAxis* GetAlignRefAxis();
    void NotificationAxisRemove(TObject* sender) override;
    void NotificationAxisRename(TObject* sender) override;

    // --- labels and texts
    bool LabelsVisible() const { return FScale.LabelsVisible; }
    void SetLabelsVisible(bool value);
    double LabelsMargin() const { return FLabelsMargin; }
    void SetLabelsMargin(double value) { SetDoubleProperty(value, FLabelsMargin, &TgPlotObject::DoChange); }
    TFont* LabelsFont() const { return FLabelsFont.get(); }
    void SetLabelsFont(const TFont* value) { FLabelsFont->Assign(value); }
    double LabelSeparation() const { return FLabelSeparation; }
    void SetLabelSeparation(double value) {
        SetDoubleProperty(value, FLabelSeparation, &TgPlotObject::DoChange);
    }
    TgRotationAngle LabelsRotation() const { return FLabelsRotation; }
    void SetLabelsRotation(TgRotationAngle value);
    int LabelsPrecision() const { return FLabels.Precision; }
    void SetLabelsPrecision(int value);
    TgPrecisionStyle LabelsPrecisionStyle() const { return FLabels.PrecisionStyle; }
    void SetLabelsPrecisionStyle(TgPrecisionStyle value);
    TgPlotTextFormat LabelsFormatStyle() const { return FLabels.Style; }
    void SetLabelsFormatStyle(TgPlotTextFormat value);
    const std::string& DateTimeFormat() const { return FLabels.DateTimeFormat; }
    void SetDateTimeFormat(const std::string& value);
    double LabelsMinLength() const { return FLabels.MinLength; }
    void SetLabelsMinLength(double value);
    bool LabelsMinLengthAutoAdjust() const { return FLabels.MinLengthAutoAdjust; }
    void SetLabelsMinLengthAutoAdjust(bool value);
    const std::string& Title() const { return FTitle; }
    void SetTitle(const std::string& value) { SetStringProperty(value, FTitle, &TgPlotObject::DoChange); }
    bool TitleShow() const { return FTitleShow; }
    void SetTitleShow(bool value) { SetBooleanProperty(value, FTitleShow, &TgPlotObject::DoChange); }
    bool TitleRotated() const { return FTitleRotated; }
    void SetTitleRotated(bool value) { SetBooleanProperty(value, FTitleRotated, &TgPlotObject::DoChange); }
    double TitleMargin() const { return FTitleMargin; }
    void SetTitleMargin(double value) { SetDoubleProperty(value, FTitleMargin, &TgPlotObject::DoChange); }
    TFont* TitleFont() const { return FTitleFont.get(); }
    void SetTitleFont(const TFont* value) { FTitleFont->Assign(value); }

    bool CursorUseDefaultFormat() const { return FCursorUseDefaultFormat; }
    void SetCursorUseDefaultFormat(bool value) {
        SetBooleanProperty(value, FCursorUseDefaultFormat, &TgPlotObject::DoChange);
    }
    TgPlotTextFormat CursorFormatStyle() const { return FCursor.Style; }
    void SetCursorFormatStyle(TgPlotTextFormat value);
    const std::string& CursorDateTimeFormat() const { return FCursor.DateTimeFormat; }
    void SetCursorDateTimeFormat(const std::string& value);
    TgPrecisionStyle CursorPrecisionStyle() const { return FCursor.PrecisionStyle; }
    void SetCursorPrecisionStyle(TgPrecisionStyle value);
    int CursorPrecision() const { return FCursor.Precision; }
    void SetCursorPrecision(int value);
    double CursorMinLength() const { return FCursor.MinLength; }
    void SetCursorMinLength(double value);
    bool CursorMinLengthAutoAdjust() const { return FCursor.MinLengthAutoAdjust; }
    void SetCursorMinLengthAutoAdjust(bool value);
    bool LegendUseDefaultFormat() const { return FLegendUseDefaultFormat; }
    void SetLegendUseDefaultFormat(bool value) {
        SetBooleanProperty(value, FLegendUseDefaultFormat, &TgPlotObject::DoChange);
    }
    TgPlotTextFormat LegendFormatStyle() const { return FLegend.Style; }
    void SetLegendFormatStyle(TgPlotTextFormat value);
    const std::string& LegendDateTimeFormat() const { return FLegend.DateTimeFormat; }
    void SetLegendDateTimeFormat(const std::string& value);
    TgPrecisionStyle LegendPrecisionStyle() const { return FLegend.PrecisionStyle; }
    void SetLegendPrecisionStyle(TgPrecisionStyle value);
    int LegendPrecision() const { return FLegend.Precision; }
    void SetLegendPrecision(int value);
    double LegendMinLength() const { return FLegend.MinLength; }
    void SetLegendMinLength(double value);
    bool LegendMinLengthAutoAdjust() const { return FLegend.MinLengthAutoAdjust; }
    void SetLegendMinLengthAutoAdjust(bool value);
    double CursorScaler() const { return FCursorScaler; }
    void SetCursorScaler(double value) { SetDoubleProperty(value, FCursorScaler, &TgPlotObject::DoChange); }
    // A text set while the customize-label event runs replaces the label.
    const std::string& CustomizeLabelEventText() const { return FCustomizeLabelEventText; }
    void SetCustomizeLabelEventText(const std::string& value);

    std::string GetLabelText(double value);
    // Line breaks become blanks in these three.
    std::string GetCursorText(double value);
    std::string GetCursorValueText(double value);
    std::string GetLegendText(double value);
    // The common formatter; raises MinLength to a longer text only while the widest label is estimated.
    std::string FormatValueText(TgPlotTextFormat style, const std::string& dateTimeFormat, double& minLength,
                                bool autoAdjust, int precision, TgPrecisionStyle precisionStyle,
                                double value);

    // --- measuring (pixels)
    int GetMaxLabelWidth(TCanvas& canvas, const TFont* font);
    int GetLegendMinWidth(TCanvas& canvas, const TFont* font);
    int GetCursorMinWidth(TCanvas& canvas, const TFont* font);
    int GetRequiredWidth(TCanvas& canvas) override;
    int GetRequiredEndsMargin(TCanvas& canvas) override;
    int RequiredWidth() const { return FRequiredWidth; }

    // --- drawing
    void DrawSetup() override;
    void Draw(TCanvas& canvas, TColor backGroundColor) override;
    // The grid lines of the shown ticks across Rect, for a data view.
    void DrawGridLines(TCanvas& canvas, const TRect& rect, int minorWidth, int majorWidth, TColor minorColor,
                       TColor majorColor, TgPlotGridLineStyle minorStyle, TgPlotGridLineStyle majorStyle,
                       bool showMinors, bool showMajors);
    void DoMouseHint(const TgPlotMouseData& mouseData, TgHintData& hintData) override;

    // --- tracking state (the channels feed new values here when their axis tracking is on)
    TgPlotAxisMode Mode() const { return FMode; }
    void SetMode(TgPlotAxisMode value) {
        if (value != FMode) {
            FMode = value;
            DoChange();
        }
    }
    bool TrackingEnabled() const { return FTrackingEnabled; }
    void SetTrackingEnabled(bool value);
    TgPlotTrackingStyle TrackingStyle() const { return FTrackingStyle; }
    void SetTrackingStyle(TgPlotTrackingStyle value);
    TgPlotAlignFirstStyle TrackingAlignFirstStyle() const { return FTrackingAlignFirstStyle; }
    void SetTrackingAlignFirstStyle(TgPlotAlignFirstStyle value);
    bool RestoreValuesOnResume() const { return FRestoreValuesOnResume; }
    void SetRestoreValuesOnResume(bool value) {
        SetBooleanProperty(value, FRestoreValuesOnResume, &TgPlotObject::DoChange);
    }
    TgPlotTrackingIncrementStyle TrackingIncrementStyle() const { return FTrackingIncrementStyle; }
    void SetTrackingIncrementStyle(TgPlotTrackingIncrementStyle value);
    // Limit of the span widening of the scroll styles; 0: the span stays.
    double TrackingScrollCompressMax() const { return FTrackingScrollCompressMax; }
    void SetTrackingScrollCompressMax(double value) {
        SetDoubleProperty(value, FTrackingScrollCompressMax, &TgPlotObject::DoChange);
    }
    // Smallest span after tracking and zoom to fit; 0 off.
    double TrackingSpanMinimum() const { return FTrackingSpanMinimum; }
    void SetTrackingSpanMinimum(double value) {
        SetDoubleProperty(value, FTrackingSpanMinimum, &TgPlotObject::DoChange);
    }
    // Room kept above the largest and below the smallest tracked value; 0 off.
    double TrackingMaxMargin() const { return FTrackingMaxMargin; }
    void SetTrackingMaxMargin(double value) {
        SetDoubleProperty(value, FTrackingMaxMargin, &TgPlotObject::DoChange);
    }
    double TrackingMinMargin() const { return FTrackingMinMargin; }
    void SetTrackingMinMargin(double value) {
        SetDoubleProperty(value, FTrackingMinMargin, &TgPlotObject::DoChange);
    }
    // One new data value for this axis; nothing while tracking is off.
    virtual void NewTrackingData(double value);
    // The next tracked value aligns the range again.
    void ResetFirstAlign() { FFirstAlignDone = false; }
    // Saves Min, Span and LabelsMinLength as the values switching tracking on restores.
    void UpdateResumeValues();
    // Widens the range outwards to multiples of the increment the increment style names; nothing
    // while that increment is 0 or not finite (before the first tick calculation).
    void AlignToIncrement();
    // Scales the span about the middle (log: the decades); a linear factor <= 0 raises "Linear Scale
    // Zoom Factor must be Greater than Zero".
    void Zoom(double value);
    // Fits the range to the channels' data with the tracking margins and span minimum; nothing when
    // the channels have no data or all values are equal. The fast form uses the running extremes and
    // no span minimum.
    void ZoomToFit();
    void ZoomToFitFast();
    // The range between two pixels of the scale (the data view's zoom box).
    void ZoomToPixels(const TRect& rect);
    // Moves the range by a fraction of its length (log: of its decades), kept inside ScrollMin..ScrollMax
    // when those bound it.
    void ScrollByFraction(double fraction);
    // Divides the span by 10^power about the middle (log: moves the decades inwards).
    void ZoomByPower(double power);

    // --- user input: dragging, the wheel and the keys scroll or zoom by Mode (the other mode while Ctrl
    // is held, for dragging and the wheel)
    bool ScrollMinMaxEnabled() const { return FScrollMinMaxEnabled; }
    void SetScrollMinMaxEnabled(bool value) {
        SetBooleanProperty(value, FScrollMinMaxEnabled, &TgPlotObject::DoChange);
    }
    double ScrollMin() const { return FScrollMin; }
    void SetScrollMin(double value) { SetDoubleProperty(value, FScrollMin, &TgPlotObject::DoChange); }
    double ScrollMax() const { return FScrollMax; }
    void SetScrollMax(double value) { SetDoubleProperty(value, FScrollMax, &TgPlotObject::DoChange); }
    // This axis's input is repeated on every other axis of its kind.
    bool MasterUIInput() const { return FMasterUIInput; }
    void SetMasterUIInput(bool value) { SetBooleanProperty(value, FMasterUIInput, &TgPlotObject::DoChange); }
    TgPlotAxisMode GetEffectiveMode() const;
    // The range when the current drag or key began: what the change-finished event reports as old.
    double MouseDownMin() const { return FMouseDownMin; }
    double MouseDownSpan() const { return FMouseDownSpan; }

    void DoMouseLeft(const TgPlotMouseData& mouseData) override;
    void DoMouseMove(const TgPlotMouseData& mouseData) override;
    void DoMouseUp(const TgPlotMouseData& mouseData) override;
    bool DoMouseWheel(int wheelDelta, TShiftState shift, int x, int y) override;
    void gKeyDown(std::uint16_t& key, TShiftState shift, TPopupMenu* popupMenu) override;
    bool gMouseHitTest(const TgPlotMouseData& mouseData) override;
    TCursor GetMouseCursor(TPoint point) override;
    void BuildPopupMenu(TPopupMenu* popupMenu) override;
    void NotificationFocusChange(TObject* sender) override;

protected:
    IgPlotAxisHost* AxisHost() const;
    // The scale with the direction the layout gave the axis.
    const TgPlotAxisScale& Scale() const;
    // The label format with the axis's current range.
    TgPlotAxisFormat LabelFormat() const;
    void DrawLabel(TCanvas& canvas, const TgPlotTick& tick);
    void DrawScaleLine(TCanvas& canvas);
    void DrawTickStroke(TCanvas& canvas, const TgPlotTick& tick);
    void DrawTitle(TCanvas& canvas);
    int LabelDistance(TCanvas& canvas) const;
    void FitTo(bool running);

private:
    // The settings of one kind of value text: labels, cursor readouts or legend columns.
    struct TextSettings {
        TgPlotTextFormat Style = TgPlotTextFormat::iptfValue;
        std::string DateTimeFormat = "hh:nn:ss";
        int Precision = 3;
        TgPrecisionStyle PrecisionStyle = TgPrecisionStyle::ipsSignificantDigits;
        double MinLength = 5;
        bool MinLengthAutoAdjust = false;
    };
    // The cursor or legend text settings in force (the label ones when they use the default format).
    TextSettings& CursorSettings();
    TextSettings& LegendSettings();

    mutable TgPlotAxisScale FScale;
    TRect FFocusRect{};
    TgQuadSide FQuadSide = TgQuadSide::iqsBottom;
    TgPlotAxis* FCartesianRefAxis = nullptr;
    TgPlotAxis* FAlignRefAxis = nullptr;
    bool FCartesianRefResolved = false;
    bool FAlignRefResolved = false;
    bool FBlockMinSpanEvents = false;

    int FMajorLength = 7;
    int FMinorLength = 3;
    int FInnerMargin = 5;
    int FOuterMargin = 5;
    double FStackingEndsMargin = 0.5;
    TgPlotCartesianStyle FCartesianStyle = TgPlotCartesianStyle::ipcsNone;
    std::string FCartesianChildRefAxisName = "<None>";
    double FCartesianChildRefValue = 0;
    std::string FAlignRefAxisName = "<None>";
    bool FScaleLineShow = true;
    bool FScaleLinesShow = true;
    TColor FScaleLinesColor = clWhite;
    bool FGridLinesVisible = true;

    double FLabelsMargin = 0.25;
    std::unique_ptr<TFont> FLabelsFont;
    double FLabelSeparation = 2;
    TgRotationAngle FLabelsRotation = TgRotationAngle::ira000;
    TextSettings FLabels;
    std::string FTitle;
    bool FTitleShow = false;
    bool FTitleRotated = false;
    double FTitleMargin = 0.25;
    std::unique_ptr<TFont> FTitleFont;
    bool FCursorUseDefaultFormat = true;
    TextSettings FCursor;
    bool FLegendUseDefaultFormat = true;
    TextSettings FLegend;
    double FCursorScaler = 1;
    std::string FCustomizeLabelEventText;
    bool FCustomizeLabelEventModified = false;
    bool FAllowLabelMinAdjust = false;
    int FRequiredWidth = 0;

    bool FTrackingEnabled = false;
    TgPlotAxisMode FMode = TgPlotAxisMode::ipamScroll;
    TgPlotTrackingStyle FTrackingStyle = TgPlotTrackingStyle::iptsScaleMinMax;
    TgPlotAlignFirstStyle FTrackingAlignFirstStyle = TgPlotAlignFirstStyle::ipafsMin;
    bool FRestoreValuesOnResume = false;
    bool FFirstAlignDone = false;
    double FPreviousMin = 0;
    double FPreviousSpan = 100;
    double FPreviousLabelsMinLength = 0;
    TgPlotTrackingIncrementStyle FTrackingIncrementStyle = TgPlotTrackingIncrementStyle::iptisMinimum;
    double FTrackingScrollCompressMax = 0;
    double FTrackingSpanMinimum = 0;
    double FTrackingMaxMargin = 0;
    double FTrackingMinMargin = 0;

    bool FScrollMinMaxEnabled = false;
    double FScrollMin = 0;
    double FScrollMax = 100;
    bool FMasterUIInput = false;
    // A drag in progress (kept apart from the press state of the base, which the plot's routing owns).
    bool FDragging = false;
    int FMouseDownX = 0, FMouseDownY = 0;
    double FMouseDownMin = 0, FMouseDownSpan = 0;
};

// An axis along the X values: horizontal unless the plot swaps X and Y.
class TgPlotXAxis : public TgPlotAxis {
    KV_CLASS(TgPlotXAxis)
public:
    TgPlotXAxis(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert, TNotifyEvent onRemove,
                TNotifyEvent onRename);
    ~TgPlotXAxis() override;
};

// An axis along the Y values: vertical unless the plot swaps X and Y.
class TgPlotYAxis : public TgPlotAxis {
    KV_CLASS(TgPlotYAxis)
public:
    TgPlotYAxis(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert, TNotifyEvent onRemove,
                TNotifyEvent onRename);
    ~TgPlotYAxis() override;
};

// Registers the factories of TgPlotXAxis and TgPlotYAxis with the object managers (done once when the
// library loads; callable again to restore them).
void gRegisterPlotAxisClasses();

// An object drawn against a named X and a named Y axis forgets an axis that goes, and follows a
// renamed one; an axis it has not looked up yet is followed by its old name, so a rename before the
// first paint keeps the object on its axis.
void gAxisPairRemoved(TObject* sender, TgPlotAxis*& x, TgPlotAxis*& y);
void gAxisPairRenamed(TObject* sender, const TgPlotAxis* x, const TgPlotAxis* y, std::string& xName,
                      std::string& yName);

} // namespace kv
