#include "plot/editors/gPlotEditorPages.h"

#include "plot/editors/gComponentEditor.h"
#include "plot/gPlotComponent.h"
#include "plot/gPlotLabel.h"
#include "plot/gPlotObjects.h"
#include "plot/gPlotTimeChannel.h"

#include "platform/core/Properties.h"
#include "platform/gui/PageControl.h"
#include "platform/gui/StdEdits.h"
#include "platform/gui/StdPanels.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

namespace kv {

namespace {

// One value on its way between a control and a property: ordinals (also booleans and colours),
// numbers, texts or a font.
struct PgValue {
    long long ord = 0;
    double num = 0;
    std::string text;
    const TFont* font = nullptr;
};

} // namespace

// The rows of every page of the plot property editor, in write-back order (included once, by
// gPlotEditorPages.cpp). A row names its sub-page (and the nested sub-page or group inside it), the
// control, the kind of control, the property it edits and the caption shown next to it.

namespace {

using PgList = std::vector<std::string>;

const PgList kPgBorderStyles = {"None", "Raised", "Lowered"};
const PgList kPgClipboardFormats = {"Meta File", "Bitmap", "JPEG"};
const PgList kPgColumnSeparators = {"Tab", "Comma"};
const PgList kPgGradientDirections = {"Top/Bottom",
                                      "Bottom/Top",
                                      "Left/Right",
                                      "Right/Left",
                                      "Top Left/Bottom Right",
                                      "Bottom Right/Top Left",
                                      "Bottom Left/Top Right",
                                      "Top Right/Bottom Left",
                                      "Rectangle Out",
                                      "Rectangle In",
                                      "Circle Out",
                                      "Circle In"};
const PgList kPgOrientations = {"Portrait", "Landscape"};
const PgList kPgReferenceTypes = {"DataView", "Channel", "X-Channel Y-DataView", "Y-Channel X-DataView "};
const PgList kPgReferenceIndividual = {"DataView", "Channel", "Auto"};
const PgList kPgPenStylesSpaced = {"Solid", "Dash", "Dot", "DashDot", "DashDotDot", "Clear", "Inside Frame"};
const PgList kPgPenStyles = {"Solid", "Dash", "Dot", "DashDot", "DashDotDot", "Clear", "InsideFrame"};
const PgList kPgTraceLineStyles = {"Solid", "Dash", "Dot", "DashDot", "DashDotDot"};
const PgList kPgBrushStyles = {"Solid",     "Clear",     "Horizontal", "Vertical",
                               "FDiagonal", "BDiagonal", "Cross",      "DiagCross"};
const PgList kPgGridLineStyles = {"Solid", "Dash", "Dot"};
const PgList kPgMoveStyles = {"X and Y", "X Only", "Y Only"};
const PgList kPgDataStyles = {"Standard", "Compact", "Compact Interval", "Full Feature"};
const PgList kPgMarkerStyles = {"Circle",         "Square",        "Diamond",         "Cross",
                                "Plus",           "Triangle Up",   "Triangle Down",   "Triangle Left",
                                "Triangle Right", "Vertical Line", "Horizontal Line", "Character"};
const PgList kPgInterpolationStyles = {"Straight Line", "Cubic Spline", "Polynomial",
                                       "Rational",      "Differential", "Differential Terminated"};
const PgList kPgHighLowStyles = {"Open/Close", "Candlestick"};
const PgList kPgDigitalReferenceStyles = {"Scale", "Percent"};
const PgList kPgCursorStyles = {"Value XY", "Value X", "Value Y", "Delta X", "Delta Y", "Inverse Delta X"};
const PgList kPgOrientationSides = {"Bottom-Right", "Top-Left"};
const PgList kPgLimitStyles = {"Line X", "Line Y", "Band X", "Band Y", "Poly Band X", "Poly Band Y"};
const PgList kPgAlignments = {"Center", "Left", "Right"};
const PgList kPgScaleTypes = {"Linear", "Log10"};
const PgList kPgTextFormats = {"Value", "Exponent", "Prefix", "Date/Time", "Price 32nds", "Thousands"};
const PgList kPgRotations = {"0", "90", "180", "270"};
const PgList kPgPrecisionStyles = {"Significant Digits", "Fixed Decimal Points"};
const PgList kPgTrackingStyles = {"Scale Min & Max",      "Scale Max",       "Scale Min",
                                  "Scroll Smooth",        "Scroll Page",     "Expand Collapse",
                                  "Expand Collapse Fast", "Expand Min & Max"};
const PgList kPgTrackingIncrementStyles = {"Minimum", "Major", "Minor"};
const PgList kPgAlignFirstStyles = {"Min", "Max", "Auto", "None"};
const PgList kPgCartesianStyles = {"None", "Master", "Child"};
const PgList kPgNameColorStyles = {"Font", "ChannelColor", "XAxisFontColor ", "YAxisFontColor"};
const PgList kPgAxesControlStyles = {"X-Axis", "Y-Axis", "Both", "None"};
// Suggestions only: the date-time format boxes take any typed format.
const PgList kPgDateTimeFormats = {"hh:nn:ss",
                                   "hh:nn:ss.zzz",
                                   "m/d hh:nn:ss",
                                   "d mmm h:nn:ss am/pm",
                                   "m/d/yy h:nn:ss am/pm",
                                   "m/d/yyyy h:nn:ss am/pm"};

enum PgFlags : unsigned {
    kPgTimeSeries = 1, // read and written for time-series channels only
    kPgFormMade = 2,   // made (and bound) by the form; filled and written here
};

struct PgRow {
    std::string page;    // sub-page caption; empty: straight into the container
    std::string sub;     // nested sub-page or group inside the sub-page; empty: none
    std::string control; // the control's name on the form
    TgPlotEditorCtl kind;
    std::string prop;    // the property of the object (or the plot setting)
    std::string caption; // the label before the control (the caption of check boxes and buttons)
    const PgList* items = nullptr;
    bool upDown = false;
    int udMin = 0, udMax = 100, udIncrement = 1;
    unsigned flags = 0;

    PgRow& In(std::string s) {
        sub = std::move(s);
        return *this;
    }
    PgRow& Items(const PgList& list) {
        items = &list;
        return *this;
    }
    // An up-down; 0 to 0 spins without limits.
    PgRow& Ud(int min = 0, int max = 100, int increment = 1) {
        upDown = true;
        udMin = min;
        udMax = max;
        udIncrement = increment;
        return *this;
    }
    PgRow& Ts() {
        flags |= kPgTimeSeries;
        return *this;
    }
    PgRow& Form() {
        flags |= kPgFormMade;
        return *this;
    }
};

using PgCtl = TgPlotEditorCtl;

PgRow PgR(std::string page, std::string control, PgCtl kind, std::string prop, std::string caption) {
    PgRow r;
    r.page = std::move(page);
    r.control = std::move(control);
    r.kind = kind;
    r.prop = std::move(prop);
    r.caption = std::move(caption);
    return r;
}

std::vector<PgRow> PgChannelRows() {
    const std::string g = "General", t = "Trace", m = "Marker", f = "Fill", b = "Bar", h = "High/Low",
                      d = "Digital";
    return {
        PgR(g, "ChannelNameEdit", PgCtl::StringEdit, "Name", "Name"),
        PgR(g, "ChannelVisibleCheckBox", PgCtl::CheckBox, "Visible", "Visible"),
        PgR(g, "ChannelPopupEnabledCheckBox", PgCtl::CheckBox, "PopupEnabled", "Popup Enabled"),
        PgR(g, "ChannelLayerEdit", PgCtl::IntEdit, "Layer", "Layer").Ud(0, 0),
        PgR(g, "ChannelTitleEdit", PgCtl::StringEdit, "TitleText", "Title"),
        PgR(g, "ChannelVisibleInLegendCheckBox", PgCtl::CheckBox, "VisibleInLegend", "Visible In Legend"),
        PgR(g, "ChannelUserCanMoveDataPointsCheckBox", PgCtl::CheckBox, "UserCanMoveDataPoints",
            "User Can Move"),
        PgR(g, "ChannelUserCanMoveDataPointsStyleComboBox", PgCtl::ComboBox, "UserCanMoveDataPointsStyle",
            "Move Style")
            .Items(kPgMoveStyles),
        PgR(g, "ChannelRingBufferSizeEdit", PgCtl::IntEdit, "RingBufferSize", "Ring Buffer"),
        PgR(g, "ChannelColorPicker", PgCtl::ColorPicker, "Color", "Color"),
        PgR(g, "ChannelXAxisNameComboBox", PgCtl::NameComboBox, "XAxisName", "X-Axis"),
        PgR(g, "ChannelYAxisNameComboBox", PgCtl::NameComboBox, "YAxisName", "Y-Axis"),
        PgR(g, "ChannelXAxisTrackingEnabled", PgCtl::CheckBox, "XAxisTrackingEnabled", "X-Axis Tracking"),
        PgR(g, "ChannelYAxisTrackingEnabled", PgCtl::CheckBox, "YAxisTrackingEnabled", "Y-Axis Tracking"),
        PgR(g, "ChannelDataStyleComboBox", PgCtl::ComboBox, "DataStyle", "Data Style").Items(kPgDataStyles),
        PgR(t, "ChannelTraceVisibleCheckBox", PgCtl::CheckBox, "TraceVisible", "Visible"),
        PgR(t, "ChannelTraceLineStyleComboBox", PgCtl::ComboBox, "TraceLineStyle", "Line Style")
            .Items(kPgTraceLineStyles),
        PgR(t, "ChannelTraceLineWidthEdit", PgCtl::IntEdit, "TraceLineWidth", "Line Width").Ud(),
        PgR(m, "ChannelMarkersVisible", PgCtl::CheckBox, "MarkersVisible", "Visible"),
        PgR(m, "ChannelMarkersAllowIndividual", PgCtl::CheckBox, "MarkersAllowIndividual",
            "Allow Individual"),
        PgR(m, "ChannelMarkersSizeEdit", PgCtl::IntEdit, "MarkersSize", "Size").Ud(),
        PgR(m, "ChannelMarkersStyleComboBox", PgCtl::ComboBox, "MarkersStyle", "Style")
            .Items(kPgMarkerStyles),
        PgR(m, "ChannelMarkersPenColorPicker", PgCtl::ColorPicker, "MarkersPenColor", "Pen Color"),
        PgR(m, "ChannelMarkersPenUseChannelColorCheckBox", PgCtl::CheckBox, "MarkersPenUseChannelColor",
            "Pen Channel Color"),
        PgR(m, "ChannelMarkersPenStyleComboBox", PgCtl::ComboBox, "MarkersPenStyle", "Pen Style")
            .Items(kPgPenStyles),
        PgR(m, "ChannelMarkersPenWidthEdit", PgCtl::IntEdit, "MarkersPenWidth", "Pen Width").Ud(),
        PgR(m, "ChannelMarkersBrushColorPicker", PgCtl::ColorPicker, "MarkersBrushColor", "Brush Color"),
        PgR(m, "ChannelMarkersBrushUseChannelColorCheckBox", PgCtl::CheckBox, "MarkersBrushUseChannelColor",
            "Brush Channel Color"),
        PgR(m, "ChannelMarkersBrushStyleComboBox", PgCtl::ComboBox, "MarkersBrushStyle", "Brush Style")
            .Items(kPgBrushStyles),
        PgR(m, "ChannelMarkersTurnOffLimitEdit", PgCtl::IntEdit, "MarkersTurnOffLimit", "Turn Off Limit")
            .Ud(0, 20000, 100),
        PgR("File I/O", "ChannelLogFileNameEdit", PgCtl::StringEdit, "LogFileName", "Log File").Form(),
        PgR("File I/O", "ChannelLogBufferSizeEdit", PgCtl::IntEdit, "LogBufferSize", "Buffer Size").Form(),
        PgR(m, "ChannelMarkersFontPicker", PgCtl::FontPicker, "MarkersFont", "Font"),
        PgR(f, "ChannelFillEnabledCheckBox", PgCtl::CheckBox, "FillEnabled", "Enabled").Ts(),
        PgR(f, "ChannelFillReferenceEdit", PgCtl::FloatEdit, "FillReference", "Reference").Ts(),
        PgR(f, "ChannelFillStyleComboBox", PgCtl::ComboBox, "FillStyle", "Style").Items(kPgBrushStyles).Ts(),
        PgR(f, "ChannelFillColorPicker", PgCtl::ColorPicker, "FillColor", "Color").Ts(),
        PgR(f, "ChannelFillUseChannelColorCheckBox", PgCtl::CheckBox, "FillUseChannelColor",
            "Use Channel Color")
            .Ts(),
        PgR(b, "ChannelBarEnabledCheckBox", PgCtl::CheckBox, "BarEnabled", "Enabled").Ts(),
        PgR(b, "ChannelBarWidthEdit", PgCtl::FloatEdit, "BarWidth", "Width").Ts(),
        PgR(b, "ChannelBarReferenceEdit", PgCtl::FloatEdit, "BarReference", "Reference").Ts(),
        PgR(b, "ChannelBarPenUseChannelColorCheckBox", PgCtl::CheckBox, "BarPenUseChannelColor",
            "Pen Channel Color")
            .Ts(),
        PgR(b, "ChannelBarPenStyleComboBox", PgCtl::ComboBox, "BarPenStyle", "Pen Style")
            .Items(kPgPenStyles)
            .Ts(),
        PgR(b, "ChannelBarPenColorPicker", PgCtl::ColorPicker, "BarPenColor", "Pen Color").Ts(),
        PgR(b, "ChannelBarPenWidthEdit", PgCtl::IntEdit, "BarPenWidth", "Pen Width").Ud().Ts(),
        PgR(b, "ChannelBarBrushUseChannelColorCheckBox", PgCtl::CheckBox, "BarBrushUseChannelColor",
            "Brush Channel Color")
            .Ts(),
        PgR(b, "ChannelBarBrushStyleComboBox", PgCtl::ComboBox, "BarBrushStyle", "Brush Style")
            .Items(kPgBrushStyles)
            .Ts(),
        PgR(b, "ChannelBarBrushColorPicker", PgCtl::ColorPicker, "BarBrushColor", "Brush Color").Ts(),
        PgR(h, "ChannelHighLowStyleComboBox", PgCtl::ComboBox, "HighLowStyle", "Style")
            .Items(kPgHighLowStyles)
            .Ts(),
        PgR(h, "ChannelHighLowEnabledCheckBox", PgCtl::CheckBox, "HighLowEnabled", "Enabled").Ts(),
        PgR(h, "ChannelHighLowBarColorPicker", PgCtl::ColorPicker, "HighLowBarColor", "Bar Color")
            .In("Open/Close")
            .Ts(),
        PgR(h, "ChannelHighLowBarWidthEdit", PgCtl::FloatEdit, "HighLowBarWidth", "Bar Width")
            .In("Open/Close")
            .Ts(),
        PgR(h, "ChannelHighLowOpenShowCheckBox", PgCtl::CheckBox, "HighLowOpenShow", "Show Open")
            .In("Open/Close")
            .Ts(),
        PgR(h, "ChannelHighLowOpenColorPicker", PgCtl::ColorPicker, "HighLowOpenColor", "Open Color")
            .In("Open/Close")
            .Ts(),
        PgR(h, "ChannelHighLowOpenWidthEdit", PgCtl::FloatEdit, "HighLowOpenWidth", "Open Width")
            .In("Open/Close")
            .Ts(),
        PgR(h, "ChannelHighLowOpenHeightEdit", PgCtl::FloatEdit, "HighLowOpenHeight", "Open Height")
            .In("Open/Close")
            .Ts(),
        PgR(h, "ChannelHighLowCloseShowCheckBox", PgCtl::CheckBox, "HighLowCloseShow", "Show Close")
            .In("Open/Close")
            .Ts(),
        PgR(h, "ChannelHighLowCloseColorPicker", PgCtl::ColorPicker, "HighLowCloseColor", "Close Color")
            .In("Open/Close")
            .Ts(),
        PgR(h, "ChannelHighLowCloseWidthEdit", PgCtl::FloatEdit, "HighLowCloseWidth", "Close Width")
            .In("Open/Close")
            .Ts(),
        PgR(h, "ChannelHighLowCloseHeightEdit", PgCtl::FloatEdit, "HighLowCloseHeight", "Close Height")
            .In("Open/Close")
            .Ts(),
        PgR(h, "ChannelHighLowShadowColorPicker", PgCtl::ColorPicker, "HighLowShadowColor", "Shadow")
            .In("Candlestick")
            .Ts(),
        PgR(h, "ChannelHighLowBullishColorPicker", PgCtl::ColorPicker, "HighLowBullishColor", "Bullish")
            .In("Candlestick")
            .Ts(),
        PgR(h, "ChannelHighLowBearishColorPicker", PgCtl::ColorPicker, "HighLowBearishColor", "Bearish")
            .In("Candlestick")
            .Ts(),
        PgR(d, "ChannelDigitalEnabledCheckBox", PgCtl::CheckBox, "DigitalEnabled", "Enabled").Ts(),
        PgR(d, "ChannelDigitalReferenceHighEdit", PgCtl::FloatEdit, "DigitalReferenceHigh", "Reference High")
            .Ts(),
        PgR(d, "ChannelDigitalReferenceLowEdit", PgCtl::FloatEdit, "DigitalReferenceLow", "Reference Low")
            .Ts(),
        PgR(d, "ChannelDigitalReferenceStyleComboBox", PgCtl::ComboBox, "DigitalReferenceStyle",
            "Reference Style")
            .Items(kPgDigitalReferenceStyles)
            .Ts(),
        PgR(g, "ChannelFastDrawCheckBox", PgCtl::CheckBox, "FastDrawEnabled", "Fast Draw").Ts(),
        PgR(g, "ChannelClipToAxesCheckBox", PgCtl::CheckBox, "ClipToAxes", "Clip To Axes").Ts(),
        PgR(t, "ChannelInterpolationStyleComboBox", PgCtl::ComboBox, "InterpolationStyle", "Interpolation")
            .Items(kPgInterpolationStyles)
            .Ts(),
    };
}

std::vector<PgRow> PgDataCursorRows() {
    const std::string g = "General";
    return {
        PgR(g, "DataCursorNameEdit", PgCtl::StringEdit, "Name", "Name"),
        PgR(g, "DataCursorPopupEnabledCheckBox", PgCtl::CheckBox, "PopupEnabled", "Popup Enabled"),
        PgR(g, "DataCursorSnapToDataPointCheckBox", PgCtl::CheckBox, "SnapToDataPoint", "Snap To Data Point"),
        PgR(g, "DataCursorStyleComboBox", PgCtl::ComboBox, "Style", "Style").Items(kPgCursorStyles),
        PgR(g, "DataCursorColorPicker", PgCtl::ColorPicker, "Color", "Color"),
        PgR(g, "DataCursorUseChannelColorCheckBox", PgCtl::CheckBox, "UseChannelColor", "Use Channel Color"),
        PgR("Hint", "DataCursorHintPositionEdit", PgCtl::FloatEdit, "HintPosition", "Position"),
        PgR("Hint", "DataCursorHintShowCheckBox", PgCtl::CheckBox, "HintShow", "Show"),
        PgR("Hint", "DataCursorHintHideOnReleaseCheckBox", PgCtl::CheckBox, "HintHideOnRelease",
            "Hide On Release"),
        PgR("Hint", "DataCursorOrientationSideRadioGroup", PgCtl::RadioGroup, "HintOrientationSide", "Side")
            .Items(kPgOrientationSides),
        PgR(g, "DataCursorPointer1PositionEdit", PgCtl::FloatEdit, "Pointer1Position", "Pointer 1"),
        PgR(g, "DataCursorPointer2PositionEdit", PgCtl::FloatEdit, "Pointer2Position", "Pointer 2"),
        PgR(g, "DataCursorPointerPenWidthEdit", PgCtl::IntEdit, "PointerPenWidth", "Pen Width").Ud(1, 50),
        PgR("Channel", "DataCursorChannelNameComboBox", PgCtl::NameComboBox, "ChannelName", "Channel"),
        PgR("Channel", "DataCursorChannelAllowAllCheckBox", PgCtl::CheckBox, "ChannelAllowAll", "Allow All"),
        PgR("Channel", "DataCursorChannelShowAllInLegendCheckBox", PgCtl::CheckBox, "ChannelShowAllInLegend",
            "Show All In Legend"),
        PgR(g, "DataCursorFontPicker", PgCtl::FontPicker, "Font", "Font"),
    };
}

std::vector<PgRow> PgLimitRows() {
    const std::string g = "General";
    return {
        PgR(g, "LimitNameEdit", PgCtl::StringEdit, "Name", "Name"),
        PgR(g, "LimitVisibleCheckBox", PgCtl::CheckBox, "Visible", "Visible"),
        PgR(g, "LimitUserCanMoveCheckBox", PgCtl::CheckBox, "UserCanMove", "User Can Move"),
        PgR(g, "LimitPopUpEnabledCheckBox", PgCtl::CheckBox, "PopupEnabled", "Popup Enabled"),
        PgR(g, "LimitClipToAxesCheckBox", PgCtl::CheckBox, "ClipToAxes", "Clip To Axes"),
        PgR(g, "LimitLayerEdit", PgCtl::IntEdit, "Layer", "Layer").Ud(0, 0),
        PgR(g, "LimitStyleComboBox", PgCtl::ComboBox, "Style", "Style").Items(kPgLimitStyles),
        PgR(g, "LimitLine1PositionEdit", PgCtl::FloatEdit, "Line1Position", "Line 1"),
        PgR(g, "LimitLine2PositionEdit", PgCtl::FloatEdit, "Line2Position", "Line 2"),
        PgR(g, "LimitFillStyleCombobox", PgCtl::ComboBox, "FillStyle", "Fill Style").Items(kPgBrushStyles),
        PgR(g, "LimitLineStyleComboBox", PgCtl::ComboBox, "LineStyle", "Line Style")
            .Items(kPgPenStylesSpaced),
        PgR(g, "LimitLineWidthEdit", PgCtl::IntEdit, "LineWidth", "Line Width").Ud(),
        PgR(g, "LimitColorPicker", PgCtl::ColorPicker, "Color", "Color"),
        PgR(g, "LimitXAxisNameComboBox", PgCtl::NameComboBox, "XAxisName", "X-Axis"),
        PgR(g, "LimitYAxisNameComboBox", PgCtl::NameComboBox, "YAxisName", "Y-Axis"),
    };
}

std::vector<PgRow> PgLabelRows() {
    const std::string g = "General";
    return {
        PgR(g, "LabelNameEdit", PgCtl::StringEdit, "Name", "Name"),
        PgR(g, "LabelVisibleCheckBox", PgCtl::CheckBox, "Visible", "Visible"),
        PgR(g, "LabelCaptionMemo", PgCtl::Memo, "Caption", "Caption"),
        PgR(g, "LabelMarginLeftEdit", PgCtl::FloatEdit, "MarginLeft", "Left Margin"),
        PgR(g, "LabelMarginTopEdit", PgCtl::FloatEdit, "MarginTop", "Top Margin"),
        PgR(g, "LabelMarginRightEdit", PgCtl::FloatEdit, "MarginRight", "Right Margin"),
        PgR(g, "LabelMarginBottomEdit", PgCtl::FloatEdit, "MarginBottom", "Bottom Margin"),
        PgR(g, "LabelAlignmentComboBox", PgCtl::ComboBox, "Alignment", "Alignment").Items(kPgAlignments),
        PgR(g, "LabelImageListIndexEdit", PgCtl::IntEdit, "ImageListIndex", "Image List").Ud(-1, 2),
        PgR(g, "LabelImageIndexEdit", PgCtl::IntEdit, "ImageIndex", "Image Index").Ud(-1, 255),
        PgR(g, "LabelFontPicker", PgCtl::FontPicker, "Font", "Font"),
    };
}

// The X and Y axis pages differ in a few write positions and up-down ranges only.
std::vector<PgRow> PgAxisRows(bool y) {
    const std::string p = y ? "YAxis" : "XAxis";
    const std::string g = "General", c = "Cartesian", s = "Scale", t = "Title", l = "Labels";
    const int longPrecision = y ? 20 : 1000;
    auto A = [&](const std::string& page, const std::string& suffix, PgCtl kind, std::string prop,
                 std::string caption) {
        return PgR(page, p + suffix, kind, std::move(prop), std::move(caption));
    };
    std::vector<PgRow> rows = {
        A(g, "NameEdit", PgCtl::StringEdit, "Name", "Name"),
        A(g, "VisibleCheckBox", PgCtl::CheckBox, "Visible", "Visible"),
        A(g, "GridLinesVisibleCheckBox", PgCtl::CheckBox, "GridLinesVisible", "Grid Lines"),
        A(g, "EnabledCheckBox", PgCtl::CheckBox, "Enabled", "Enabled"),
        A(g, "PopupEnabledCheckBox", PgCtl::CheckBox, "PopupEnabled", "Popup Enabled"),
        A(c, "LayerEdit", PgCtl::IntEdit, "Layer", "Layer").Ud(0, 0),
        A(s, "StartPercentEdit", PgCtl::FloatEdit, "StartPercent", "Start Percent"),
        A(s, "StopPercentEdit", PgCtl::FloatEdit, "StopPercent", "Stop Percent"),
        A(g, "MinEdit", PgCtl::FloatEdit, "Min", "Min"),
        A(g, "SpanEdit", PgCtl::FloatEdit, "Span", "Span"),
    };
    PgRow start = A(g, "DesiredStartEdit", PgCtl::FloatEdit, "DesiredStart", "Desired Start");
    PgRow increment = A(g, "DesiredIncrementEdit", PgCtl::FloatEdit, "DesiredIncrement", "Desired Increment");
    if (y) {
        rows.push_back(increment);
        rows.push_back(start);
    } else {
        rows.push_back(start);
        rows.push_back(increment);
    }
    const std::vector<PgRow> middle = {
        A(g, "ReverseScaleCheckBox", PgCtl::CheckBox, "ReverseScale", "Reverse Scale"),
        A(g, "RestoreValuesOnResumeCheckBox", PgCtl::CheckBox, "RestoreValuesOnResume", "Restore On Resume"),
        A(g, "MasterUIInputCheckBox", PgCtl::CheckBox, "MasterUIInput", "Master UI Input"),
        A(s, "InnerMarginEdit", PgCtl::IntEdit, "InnerMargin", "Inner Margin").Ud(-1000, 1000),
        A(s, "OuterMarginEdit", PgCtl::IntEdit, "OuterMargin", "Outer Margin").Ud(-1000, 1000),
        A(t, "TitleTextEdit", PgCtl::StringEdit, "Title", "Text"),
        A(t, "TitleMarginEdit", PgCtl::FloatEdit, "TitleMargin", "Margin"),
        A(t, "TitleShowCheckBox", PgCtl::CheckBox, "TitleShow", "Show"),
        A(t, "TitleRotatedCheckBox", PgCtl::CheckBox, "TitleRotated", "Rotated"),
        A(s, "ScaleLinesShowCheckBox", PgCtl::CheckBox, "ScaleLinesShow", "Scale Lines"),
        A(s, "ScaleLinesColorPicker", PgCtl::ColorPicker, "ScaleLinesColor", "Lines Color"),
        A(s, "MajorLengthEdit", PgCtl::IntEdit, "MajorLength", "Major Length").Ud(0, 1000),
        A(s, "MinorLengthEdit", PgCtl::IntEdit, "MinorLength", "Minor Length").Ud(0, 1000),
        A(s, "MinorCountEdit", PgCtl::IntEdit, "MinorCount", "Minor Count").Ud(0, 100),
        A(l, "LabelVisibleCheckBox", PgCtl::CheckBox, "LabelsVisible", "Visible").In("(Default)"),
        A(l, "LabelMarginEdit", PgCtl::FloatEdit, "LabelsMargin", "Margin").In("(Default)"),
    };
    rows.insert(rows.end(), middle.begin(), middle.end());
    PgRow format = A(l, "LabelFormatStyleComboBox", PgCtl::ComboBox, "LabelsFormatStyle", "Format")
                       .Items(kPgTextFormats)
                       .In("(Default)");
    PgRow rotation = A(l, "LabelRotationComboBox", PgCtl::ComboBox, "LabelsRotation", "Rotation")
                         .Items(kPgRotations)
                         .In("(Default)");
    if (y) {
        rows.push_back(rotation);
        rows.push_back(format);
    } else {
        rows.push_back(format);
        rows.push_back(rotation);
    }
    PgRow cursorPrecision =
        A(l, "CursorPrecisionEdit", PgCtl::IntEdit, "CursorPrecision", "Precision").Ud(0, 20).In("Cursor");
    const std::vector<PgRow> rest = {
        A(l, "DateTimeFormatComboBox", PgCtl::DateTimeComboBox, "DateTimeFormat", "Date/Time")
            .Items(kPgDateTimeFormats)
            .In("(Default)"),
        A(l, "LabelPrecisionStyleComboBox", PgCtl::ComboBox, "LabelsPrecisionStyle", "Precision Style")
            .Items(kPgPrecisionStyles)
            .In("(Default)"),
        A(l, "LabelPrecisionEdit", PgCtl::IntEdit, "LabelsPrecision", "Precision")
            .Ud(0, longPrecision)
            .In("(Default)"),
        A(l, "LabelMinLengthEdit", PgCtl::FloatEdit, "LabelsMinLength", "Min Length").In("(Default)"),
        A(l, "LabelMinLengthAutoAdjustCheckBox", PgCtl::CheckBox, "LabelsMinLengthAutoAdjust",
          "Min Length Auto Adjust")
            .In("(Default)"),
        A(l, "CursorUseDefaultFormatCheckBox", PgCtl::CheckBox, "CursorUseDefaultFormat",
          "Use Default Format")
            .In("Cursor"),
        A(l, "CursorFormatStyleComboBox", PgCtl::ComboBox, "CursorFormatStyle", "Format")
            .Items(kPgTextFormats)
            .In("Cursor"),
        A(l, "CursorDateTimeFormatComboBox", PgCtl::DateTimeComboBox, "CursorDateTimeFormat", "Date/Time")
            .Items(kPgDateTimeFormats)
            .In("Cursor"),
        A(l, "CursorPrecisionStyleComboBox", PgCtl::ComboBox, "CursorPrecisionStyle", "Precision Style")
            .Items(kPgPrecisionStyles)
            .In("Cursor"),
        cursorPrecision,
        A(l, "CursorMinLengthEdit", PgCtl::FloatEdit, "CursorMinLength", "Min Length").In("Cursor"),
        A(l, "CursorMinLengthAutoAdjustCheckBox", PgCtl::CheckBox, "CursorMinLengthAutoAdjust",
          "Min Length Auto Adjust")
            .In("Cursor"),
        A(l, "LegendUseDefaultFormatCheckBox", PgCtl::CheckBox, "LegendUseDefaultFormat",
          "Use Default Format")
            .In("Legend"),
        A(l, "LegendFormatStyleComboBox", PgCtl::ComboBox, "LegendFormatStyle", "Format")
            .Items(kPgTextFormats)
            .In("Legend"),
        A(l, "LegendDateTimeFormatComboBox", PgCtl::DateTimeComboBox, "LegendDateTimeFormat", "Date/Time")
            .Items(kPgDateTimeFormats)
            .In("Legend"),
        A(l, "LegendPrecisionStyleComboBox", PgCtl::ComboBox, "LegendPrecisionStyle", "Precision Style")
            .Items(kPgPrecisionStyles)
            .In("Legend"),
        A(l, "LegendPrecisionEdit", PgCtl::IntEdit, "LegendPrecision", "Precision")
            .Ud(0, longPrecision)
            .In("Legend"),
        A(l, "LegendMinLengthEdit", PgCtl::FloatEdit, "LegendMinLength", "Min Length").In("Legend"),
        A(l, "LegendMinLengthAutoAdjustCheckBox", PgCtl::CheckBox, "LegendMinLengthAutoAdjust",
          "Min Length Auto Adjust")
            .In("Legend"),
        A("Tracking", "TrackingEnabledCheckBox", PgCtl::CheckBox, "TrackingEnabled", "Enabled"),
        A("Tracking", "TrackingStyleComboBox", PgCtl::ComboBox, "TrackingStyle", "Style")
            .Items(kPgTrackingStyles),
        A("Tracking", "TrackingIncrementStyleComboBox", PgCtl::ComboBox, "TrackingIncrementStyle",
          "Increment")
            .Items(kPgTrackingIncrementStyles),
        A("Tracking", "TrackingAlignFirstStyleComboBox", PgCtl::ComboBox, "TrackingAlignFirstStyle",
          "Align First")
            .Items(kPgAlignFirstStyles),
        A("Tracking", "TrackingScrollCompressMaxEdit", PgCtl::FloatEdit, "TrackingScrollCompressMax",
          "Compress Max"),
        A("Tracking", "TrackingSpanMinimumEdit", PgCtl::FloatEdit, "TrackingSpanMinimum", "Span Minimum"),
        A("Tracking", "TrackingMaxMarginEdit", PgCtl::FloatEdit, "TrackingMaxMargin", "Max Margin"),
        A("Tracking", "TrackingMinMarginEdit", PgCtl::FloatEdit, "TrackingMinMargin", "Min Margin"),
        A(s, "StackingEndsMarginEdit", PgCtl::FloatEdit, "StackingEndsMargin", "Stacking Ends Margin"),
        A(s, "ForceStackingCheckBox", PgCtl::CheckBox, "ForceStacking", "Force Stacking"),
        A(l, "LabelSeparationEdit", PgCtl::FloatEdit, "LabelSeparation", "Separation").In("(Default)"),
        A(g, "ScaleTypeRadioGroup", PgCtl::RadioGroup, "ScaleType", "Scale Type").Items(kPgScaleTypes),
    };
    rows.insert(rows.end(), rest.begin(), rest.end());
    if (y)
        rows.push_back(cursorPrecision);
    const std::vector<PgRow> tail = {
        A("Cursor", "CursorScalerEdit", PgCtl::FloatEdit, "CursorScaler", "Scaler"),
        A("Scroll", "ScrollMinMaxEnabledCheckBox", PgCtl::CheckBox, "ScrollMinMaxEnabled", "Enabled"),
        A("Scroll", "ScrollMinEdit", PgCtl::FloatEdit, "ScrollMin", "Min"),
        A("Scroll", "ScrollMaxEdit", PgCtl::FloatEdit, "ScrollMax", "Max"),
        A(c, "CartesianStyleComboBox", PgCtl::ComboBox, "CartesianStyle", "Style").Items(kPgCartesianStyles),
        A(c, "CartesianChildRefAxisNameComboBox", PgCtl::NameComboBox, "CartesianChildRefAxisName",
          y ? "Child Ref X-Axis" : "Child Ref Y-Axis"),
        A(c, "CartesianChildRefValueEdit", PgCtl::FloatEdit, "CartesianChildRefValue", "Child Ref Value"),
        A(s, "AlignRefAxisNameComboBox", PgCtl::NameComboBox, "AlignRefAxisName", "Align With"),
        A(t, "TitleFontPicker", PgCtl::FontPicker, "TitleFont", "Font"),
        A(l, "LabelFontPicker", PgCtl::FontPicker, "LabelsFont", "Font").In("(Default)"),
    };
    rows.insert(rows.end(), tail.begin(), tail.end());
    return rows;
}

std::vector<PgRow> PgLegendRows() {
    const std::string g = "General", c = "Columns", w = "Wrap";
    return {
        PgR("", "LegendNameEdit", PgCtl::StringEdit, "Name", "Name").Form(),
        PgR(g, "LegendVisibleCheckbox", PgCtl::CheckBox, "Visible", "Visible"),
        PgR(g, "LegendEnabledCheckbox", PgCtl::CheckBox, "Enabled", "Enabled"),
        PgR(g, "LegendPopupEnabledCheckbox", PgCtl::CheckBox, "PopupEnabled", "Popup Enabled"),
        PgR(g, "LegendTopMarginEdit", PgCtl::FloatEdit, "MarginTop", "Top Margin"),
        PgR(g, "LegendBottomMarginEdit", PgCtl::FloatEdit, "MarginBottom", "Bottom Margin"),
        PgR(g, "LegendLeftMarginEdit", PgCtl::FloatEdit, "MarginLeft", "Left Margin"),
        PgR(g, "LegendRightMarginEdit", PgCtl::FloatEdit, "MarginRight", "Right Margin"),
        PgR(g, "LegendChannelNameMaxWidthEdit", PgCtl::FloatEdit, "ChannelNameMaxWidth", "Name Max Width"),
        PgR(g, "LegendChannelNameColorStyleComboBox", PgCtl::ComboBox, "ChannelNameColorStyle", "Name Color")
            .Items(kPgNameColorStyles),
        PgR(g, "LegendLineColumnWidthEdit", PgCtl::IntEdit, "LineColumnWidth", "Line Width"),
        PgR(g, "LegendLineColumnHeightEdit", PgCtl::IntEdit, "LineColumnHeight", "Line Height"),
        PgR(g, "LegendColumnSpacingEdit", PgCtl::FloatEdit, "ColumnSpacing", "Column Spacing"),
        PgR(g, "LegendBackGroundTransparentCheckBox", PgCtl::CheckBox, "BackGroundTransparent",
            "Transparent"),
        PgR(g, "LegendBackgroundColorPicker", PgCtl::ColorPicker, "BackGroundColor", "Background"),
        PgR(g, "LegendSelectedItemColorPicker", PgCtl::ColorPicker, "SelectedItemBackGroundColor",
            "Selected Item"),
        PgR(c, "LegendShowLineCheckbox", PgCtl::CheckBox, "ShowColumnLine", "Line"),
        PgR(c, "LegendShowMarkerCheckbox", PgCtl::CheckBox, "ShowColumnMarker", "Marker"),
        PgR(c, "LegendShowXAxisTitleCheckbox", PgCtl::CheckBox, "ShowColumnXAxisTitle", "X-Axis Title"),
        PgR(c, "LegendShowYAxisTitleCheckbox", PgCtl::CheckBox, "ShowColumnYAxisTitle", "Y-Axis Title"),
        PgR(c, "LegendShowXValueCheckbox", PgCtl::CheckBox, "ShowColumnXValue", "X Value"),
        PgR(c, "LegendShowYValueCheckbox", PgCtl::CheckBox, "ShowColumnYValue", "Y Value"),
        PgR(c, "LegendShowYMaxCheckbox", PgCtl::CheckBox, "ShowColumnYMax", "Y Max"),
        PgR(c, "LegendShowYMinCheckbox", PgCtl::CheckBox, "ShowColumnYMin", "Y Min"),
        PgR(c, "LegendShowYMeanCheckbox", PgCtl::CheckBox, "ShowColumnYMean", "Y Mean"),
        PgR(w, "LegendWrapColDesiredCountEdit", PgCtl::IntEdit, "WrapColDesiredCount", "Columns").Ud(1, 1000),
        PgR(w, "LegendWrapColAutoCountEnabledCheckBox", PgCtl::CheckBox, "WrapColAutoCountEnabled",
            "Auto Columns"),
        PgR(w, "LegendWrapColAutoCountMaxEdit", PgCtl::IntEdit, "WrapColAutoCountMax", "Max Columns")
            .Ud(1, 1000),
        PgR(w, "LegendWrapColSpacingMinEdit", PgCtl::FloatEdit, "WrapColSpacingMin", "Column Spacing"),
        PgR(w, "LegendWrapColSpacingAutoCheckBox", PgCtl::CheckBox, "WrapColSpacingAuto",
            "Auto Column Spacing"),
        PgR(w, "LegendWrapRowDesiredCountEdit", PgCtl::IntEdit, "WrapRowDesiredCount", "Rows").Ud(1, 1000),
        PgR(w, "LegendWrapRowAutoCountEnabledCheckBox", PgCtl::CheckBox, "WrapRowAutoCountEnabled",
            "Auto Rows"),
        PgR(w, "LegendWrapRowAutoCountMaxEdit", PgCtl::IntEdit, "WrapRowAutoCountMax", "Max Rows")
            .Ud(1, 1000),
        PgR(w, "LegendWrapRowSpacingMinEdit", PgCtl::FloatEdit, "WrapRowSpacingMin", "Row Spacing"),
        PgR(w, "LegendWrapRowSpacingAutoCheckBox", PgCtl::CheckBox, "WrapRowSpacingAuto", "Auto Row Spacing"),
        PgR(c, "LegendColumnTitlesVisibleCheckbox", PgCtl::CheckBox, "ColumnTitlesVisible", "Column Titles"),
        PgR(g, "LegendFontPicker", PgCtl::FontPicker, "Font", "Font"),
        PgR(g, "LegendSelectedItemFontPicker", PgCtl::FontPicker, "SelectedItemFont", "Selected Font"),
        PgR(c, "LegendColumnTitlesFontPicker", PgCtl::FontPicker, "ColumnTitlesFont", "Titles Font"),
    };
}

std::vector<PgRow> PgTableRows() {
    const std::string g = "General", d = "Grid";
    return {
        PgR(g, "TableNameEdit", PgCtl::StringEdit, "Name", "Name"),
        PgR(g, "TableVisibleCheckbox", PgCtl::CheckBox, "Visible", "Visible"),
        PgR(g, "TableEnabledCheckbox", PgCtl::CheckBox, "Enabled", "Enabled"),
        PgR(g, "TablePopupEnabledCheckbox", PgCtl::CheckBox, "PopupEnabled", "Popup Enabled"),
        PgR(g, "TableTopMarginEdit", PgCtl::FloatEdit, "MarginTop", "Top Margin"),
        PgR(g, "TableLeftMarginEdit", PgCtl::FloatEdit, "MarginLeft", "Left Margin"),
        PgR(g, "TableRightMarginEdit", PgCtl::FloatEdit, "MarginRight", "Right Margin"),
        PgR(g, "TableBottomMarginEdit", PgCtl::FloatEdit, "MarginBottom", "Bottom Margin"),
        PgR(g, "TableColumnSpacingEdit", PgCtl::FloatEdit, "ColumnSpacing", "Column Spacing"),
        PgR(g, "TableRowSpacingEdit", PgCtl::FloatEdit, "RowSpacing", "Row Spacing"),
        PgR(g, "TableRowsMaxEdit", PgCtl::IntEdit, "RowsMax", "Rows Max"),
        PgR(g, "TableColumnTitlesVisibleCheckBox", PgCtl::CheckBox, "ColumnTitlesVisible", "Column Titles"),
        PgR(d, "TableGridLinesShowCheckBox", PgCtl::CheckBox, "GridLinesShow", "Grid Lines"),
        PgR(d, "TableGridLinesColorPicker", PgCtl::ColorPicker, "GridLinesColor", "Lines Color"),
        PgR("Layout", "TableStartPercentEdit", PgCtl::FloatEdit, "StartPercent", "Start Percent"),
        PgR("Layout", "TableStopPercentEdit", PgCtl::FloatEdit, "StopPercent", "Stop Percent"),
        PgR(d, "TableGridBackGroundTransparentCheckBox", PgCtl::CheckBox, "GridBackGroundTransparent",
            "Transparent"),
        PgR(d, "TableGridBackgroundColorPicker", PgCtl::ColorPicker, "GridBackGroundColor", "Background"),
        PgR(g, "TableDataFontPicker", PgCtl::FontPicker, "DataFont", "Data Font"),
        PgR(g, "TableColumnTitlesFontPicker", PgCtl::FontPicker, "ColumnTitlesFont", "Titles Font"),
    };
}

std::vector<PgRow> PgToolBarRows() {
    const std::string s = "Show Button";
    return {
        PgR("", "ToolBarNameEdit", PgCtl::StringEdit, "Name", "Name").Form(),
        PgR("", "ToolBarVisibleCheckBox", PgCtl::CheckBox, "Visible", "Visible"),
        PgR("", "ToolBarEnabledCheckBox", PgCtl::CheckBox, "Enabled", "Enabled"),
        PgR("", "ToolBarPopupEnabledCheckBox", PgCtl::CheckBox, "PopupEnabled", "Popup Enabled"),
        PgR("", "ToolBarFlatBorderCheckBox", PgCtl::CheckBox, "FlatBorder", "Flat Border"),
        PgR("", "ToolBarFlatButtonsCheckBox", PgCtl::CheckBox, "FlatButtons", "Flat Buttons"),
        PgR("", "ToolBarSmallButtonsCheckBox", PgCtl::CheckBox, "SmallButtons", "Small Buttons"),
        PgR("", "ToolBarShowResumeButtonCheckBox", PgCtl::CheckBox, "ShowResumeButton", "Resume").In(s),
        PgR("", "ToolBarShowPauseButtonCheckBox", PgCtl::CheckBox, "ShowPauseButton", "Pause").In(s),
        PgR("", "ToolBarShowAxesModeButtonsCheckBox", PgCtl::CheckBox, "ShowAxesModeButtons", "Axes Mode")
            .In(s),
        PgR("", "ToolBarShowZoomInOutButtonsCheckBox", PgCtl::CheckBox, "ShowZoomInOutButtons", "Zoom In/Out")
            .In(s),
        PgR("", "ToolBarShowSelectButtonCheckBox", PgCtl::CheckBox, "ShowSelectButton", "Select").In(s),
        PgR("", "ToolBarShowZoomBoxButtonCheckBox", PgCtl::CheckBox, "ShowZoomBoxButton", "Zoom Box").In(s),
        PgR("", "ToolBarShowCursorButtonCheckBox", PgCtl::CheckBox, "ShowCursorButton", "Cursor").In(s),
        PgR("", "ToolBarShowEditButtonCheckBox", PgCtl::CheckBox, "ShowEditButton", "Edit").In(s),
        PgR("", "ToolBarShowCopyButtonCheckBox", PgCtl::CheckBox, "ShowCopyButton", "Copy").In(s),
        PgR("", "ToolBarShowSaveButtonCheckBox", PgCtl::CheckBox, "ShowSaveButton", "Save").In(s),
        PgR("", "ToolBarShowPrintButtonCheckBox", PgCtl::CheckBox, "ShowPrintButton", "Print").In(s),
        PgR("", "ToolBarShowPreviewButtonCheckBox", PgCtl::CheckBox, "ShowPreviewButton", "Preview").In(s),
        PgR("", "ToolBarZoomInOutFactorEdit", PgCtl::FloatEdit, "ZoomInOutFactor", "Zoom Factor"),
    };
}

std::vector<PgRow> PgDataViewRows() {
    const std::string g = "General", l = "Grid Lines";
    std::vector<PgRow> rows = {
        PgR("", "DataViewNameEdit", PgCtl::StringEdit, "Name", "Name").Form(),
        PgR(g, "DataViewEnabledCheckBox", PgCtl::CheckBox, "Enabled", "Enabled"),
        PgR(g, "DataViewPopupEnabledCheckBox", PgCtl::CheckBox, "PopupEnabled", "Popup Enabled"),
        PgR(l, "DataViewLayerEdit", PgCtl::IntEdit, "Layer", "Layer").Ud(0, 0),
        PgR(g, "DataViewBackGroundTransparentCheckBox", PgCtl::CheckBox, "BackgroundTransparent",
            "Transparent"),
        PgR(g, "DataViewBackgroundColorPicker", PgCtl::ColorPicker, "BackgroundColor", "Background"),
        PgR(g, "DataViewGridShow", PgCtl::CheckBox, "GridShow", "Show Grid"),
        PgR(g, "DataViewGridXAxisNameComboBox", PgCtl::NameComboBox, "GridXAxisName", "Grid X-Axis"),
        PgR(g, "DataViewGridYAxisNameComboBox", PgCtl::NameComboBox, "GridYAxisName", "Grid Y-Axis"),
        PgR(g, "DataViewAxesControlEnabledCheckBox", PgCtl::CheckBox, "AxesControlEnabled", "Axes Control"),
        PgR(g, "DataViewAxesControlAllowInSelectModeCheckBox", PgCtl::CheckBox,
            "AxesControlAllowInSelectMode", "Allow In Select Mode"),
        PgR(g, "DataViewAxesControlMouseStyleComboBox", PgCtl::ComboBox, "AxesControlMouseStyle", "Mouse")
            .Items(kPgAxesControlStyles),
        PgR(g, "DataViewAxesControlWheelStyleComboBox", PgCtl::ComboBox, "AxesControlWheelStyle", "Wheel")
            .Items(kPgAxesControlStyles),
        PgR(l, "DataViewGridLineColorPicker", PgCtl::ColorPicker, "GridLineColor", "Color"),
        PgR(l, "DataViewGridLineShowLeft", PgCtl::CheckBox, "GridLineShowLeft", "Left"),
        PgR(l, "DataViewGridLineShowRight", PgCtl::CheckBox, "GridLineShowRight", "Right"),
        PgR(l, "DataViewGridLineShowTop", PgCtl::CheckBox, "GridLineShowTop", "Top"),
        PgR(l, "DataViewGridLineShowBottom", PgCtl::CheckBox, "GridLineShowBottom", "Bottom"),
    };
    const char* const sets[] = {"XMajor", "XMinor", "YMajor", "YMinor"};
    const char* const pages[] = {"X-Majors", "X-Minors", "Y-Majors", "Y-Minors"};
    for (int i = 0; i < 4; ++i)
        rows.push_back(PgR(l, std::string("DataViewGridLineShow") + sets[i] + "sCheckBox", PgCtl::CheckBox,
                           std::string("GridLineShow") + sets[i] + "s", "Show")
                           .In(pages[i]));
    rows.push_back(
        PgR(l, "DataViewGridLineMajorStyleComboBox", PgCtl::ComboBox, "GridLineMajorStyle", "Major Style")
            .Items(kPgGridLineStyles));
    rows.push_back(
        PgR(l, "DataViewGridLineMinorStyleComboBox", PgCtl::ComboBox, "GridLineMinorStyle", "Minor Style")
            .Items(kPgGridLineStyles));
    for (int i = 0; i < 4; ++i) {
        const std::string n = std::string("DataViewGridLine") + sets[i],
                          p = std::string("GridLine") + sets[i];
        rows.push_back(PgR(l, n + "CustomCheckBox", PgCtl::CheckBox, p + "Custom", "Custom").In(pages[i]));
        rows.push_back(PgR(l, n + "ColorColorPicker", PgCtl::ColorPicker, p + "Color", "Color").In(pages[i]));
        rows.push_back(PgR(l, n + "WidthEdit", PgCtl::IntEdit, p + "Width", "Width").Ud().In(pages[i]));
        rows.push_back(PgR(l, n + "StyleComboBox", PgCtl::ComboBox, p + "Style", "Style")
                           .Items(kPgGridLineStyles)
                           .In(pages[i]));
    }
    return rows;
}

const std::vector<PgRow>& PgRows(TgPlotEditorKind kind) {
    static const std::vector<PgRow> channel = PgChannelRows(), cursor = PgDataCursorRows(),
                                    limit = PgLimitRows(), label = PgLabelRows(), xAxis = PgAxisRows(false),
                                    yAxis = PgAxisRows(true), legend = PgLegendRows(), table = PgTableRows(),
                                    toolBar = PgToolBarRows(), dataView = PgDataViewRows();
    switch (kind) {
    case TgPlotEditorKind::Channel:
        return channel;
    case TgPlotEditorKind::DataCursor:
        return cursor;
    case TgPlotEditorKind::Limit:
        return limit;
    case TgPlotEditorKind::Label:
        return label;
    case TgPlotEditorKind::XAxis:
        return xAxis;
    case TgPlotEditorKind::YAxis:
        return yAxis;
    case TgPlotEditorKind::Legend:
        return legend;
    case TgPlotEditorKind::Table:
        return table;
    case TgPlotEditorKind::ToolBar:
        return toolBar;
    case TgPlotEditorKind::DataView:
        break;
    }
    return dataView;
}

// Sub-pages that hold a nested page control of their own (all other nested captions are groups).
const char* PgNestedPageControl(TgPlotEditorKind kind, const std::string& page) {
    if (kind == TgPlotEditorKind::XAxis && page == "Labels")
        return "XAxisLabelsPageControl";
    if (kind == TgPlotEditorKind::YAxis && page == "Labels")
        return "YAxisLabelsPageControl";
    if (kind == TgPlotEditorKind::DataView && page == "Grid Lines")
        return "DataViewGridLinesCustomPageControl";
    return nullptr;
}

// ---------------------------------------------------------------------------------------------------
// The Control page: the plot's own settings

using PgSettings = TgPlotEditorSettings;

struct PgSettingsRow {
    PgRow row;
    std::function<PgValue(const PgSettings&)> get;
    std::function<void(PgSettings&, const PgValue&)> set;
    int enumCount = 0; // enumerations: the number of values
};

template <auto Member> PgSettingsRow PgS(PgRow row) {
    using T = std::remove_cvref_t<decltype(std::declval<PgSettings&>().*Member)>;
    PgSettingsRow r;
    r.row = std::move(row);
    r.get = [](const PgSettings& s) {
        PgValue v;
        const T& m = s.*Member;
        if constexpr (std::is_same_v<T, bool>)
            v.ord = m ? 1 : 0;
        else if constexpr (std::is_enum_v<T> || std::is_integral_v<T>)
            v.ord = static_cast<long long>(m);
        else if constexpr (std::is_floating_point_v<T>)
            v.num = m;
        else if constexpr (std::is_same_v<T, std::string>)
            v.text = m;
        else
            v.font = m.get();
        return v;
    };
    r.set = [](PgSettings& s, const PgValue& v) {
        T& m = s.*Member;
        if constexpr (std::is_same_v<T, bool>)
            m = v.ord != 0;
        else if constexpr (std::is_enum_v<T> || std::is_integral_v<T>)
            m = static_cast<T>(v.ord);
        else if constexpr (std::is_floating_point_v<T>)
            m = v.num;
        else if constexpr (std::is_same_v<T, std::string>)
            m = v.text;
        else if (v.font)
            m->Assign(v.font);
    };
    if constexpr (std::is_enum_v<T>)
        r.enumCount = static_cast<int>(EnumIdents(T{}).size());
    return r;
}

const std::vector<PgSettingsRow>& PgControlRows() {
    static const std::vector<PgSettingsRow> rows = [] {
        const std::string g = "General", b = "Background", t = "Title", h = "Hints",
                          a = "Annotation Defaults", p = "Print";
        using S = PgSettings;
        return std::vector<PgSettingsRow>{
            PgS<&S::AutoFrameRate>(
                PgR(g, "AutoFrameRateCheckBox", PgCtl::CheckBox, "AutoFrameRate", "Auto Frame Rate")),
            PgS<&S::UpdateFrameRate>(
                PgR(g, "UpdateFrameRateEdit", PgCtl::IntEdit, "UpdateFrameRate", "Frame Rate").Ud(0, 100)),
            PgS<&S::ClipAnnotationsToAxes>(PgR(g, "ClipAnnotationsToAxesCheckBox", PgCtl::CheckBox,
                                               "ClipAnnotationsToAxes", "Clip Annotations To Axes")),
            PgS<&S::BorderStyle>(PgR(g, "BorderStyleRadioGroup", PgCtl::RadioGroup, "BorderStyle", "Border")
                                     .Items(kPgBorderStyles)),
            PgS<&S::CopyToClipBoardFormat>(PgR(g, "CopyToClipBoardFormatComboBox", PgCtl::ComboBox,
                                               "CopyToClipBoardFormat", "Copy Format")
                                               .Items(kPgClipboardFormats)),
            PgS<&S::DataFileColumnSeparator>(PgR(g, "FileColumnSeparatorComboBox", PgCtl::ComboBox,
                                                 "DataFileColumnSeparator", "Column Separator")
                                                 .Items(kPgColumnSeparators)),
            PgS<&S::BackGroundColor>(
                PgR(b, "BackGroundColorPicker", PgCtl::ColorPicker, "BackGroundColor", "Color")),
            PgS<&S::BackGroundGradientDirection>(PgR(b, "BackGroundGradientDirectionComboBox",
                                                     PgCtl::ComboBox, "BackGroundGradientDirection",
                                                     "Gradient Direction")
                                                     .Items(kPgGradientDirections)),
            PgS<&S::BackGroundGradientEnabled>(PgR(b, "BackGroundGradientEnabledCheckBox", PgCtl::CheckBox,
                                                   "BackGroundGradientEnabled", "Gradient Enabled")),
            PgS<&S::BackGroundGradientStartColor>(PgR(b, "BackGroundGradientStartColorPicker",
                                                      PgCtl::ColorPicker, "BackGroundGradientStartColor",
                                                      "Gradient Start")),
            PgS<&S::BackGroundGradientStopColor>(PgR(b, "BackGroundGradientStopColorPicker",
                                                     PgCtl::ColorPicker, "BackGroundGradientStopColor",
                                                     "Gradient Stop")),
            PgS<&S::OuterMarginLeft>(PgR(g, "OuterMarginLeftEdit", PgCtl::IntEdit, "OuterMarginLeft", "Left")
                                         .Ud(0, 0)
                                         .In("Outer Margin")),
            PgS<&S::OuterMarginTop>(PgR(g, "OuterMarginTopEdit", PgCtl::IntEdit, "OuterMarginTop", "Top")
                                        .Ud(0, 0)
                                        .In("Outer Margin")),
            PgS<&S::OuterMarginRight>(
                PgR(g, "OuterMarginRightEdit", PgCtl::IntEdit, "OuterMarginRight", "Right")
                    .Ud(0, 0)
                    .In("Outer Margin")),
            PgS<&S::OuterMarginBottom>(
                PgR(g, "OuterMarginBottomEdit", PgCtl::IntEdit, "OuterMarginBottom", "Bottom")
                    .Ud(0, 0)
                    .In("Outer Margin")),
            PgS<&S::TitleVisible>(PgR(t, "TitleVisibleCheckBox", PgCtl::CheckBox, "TitleVisible", "Visible")),
            PgS<&S::TitleMargin>(PgR(t, "TitleMarginEdit", PgCtl::FloatEdit, "TitleMargin", "Margin")),
            PgS<&S::TitleText>(PgR(t, "TitleTextEdit", PgCtl::StringEdit, "TitleText", "Text")),
            PgS<&S::TitleFont>(PgR(t, "TitleFontPicker", PgCtl::FontPicker, "TitleFont", "Font")),
            PgS<&S::LogFileName>(
                PgR("File I/O", "ControlLogFileNameEdit", PgCtl::StringEdit, "LogFileName", "Log File")
                    .Form()),
            PgS<&S::LogBufferSize>(
                PgR("File I/O", "ControlLogBufferSizeEdit", PgCtl::IntEdit, "LogBufferSize", "Buffer Size")
                    .Form()),
            PgS<&S::HintsShow>(PgR(h, "HintsShowCheckBox", PgCtl::CheckBox, "HintsShow", "Show Hints")),
            PgS<&S::HintsPause>(PgR(h, "HintsPauseEdit", PgCtl::IntEdit, "HintsPause", "Pause").Ud(0, 0)),
            PgS<&S::HintsHidePause>(
                PgR(h, "HintsHidePauseEdit", PgCtl::IntEdit, "HintsHidePause", "Hide Pause").Ud(0, 0)),
            PgS<&S::HintsFont>(PgR(h, "HintsFontPicker", PgCtl::FontPicker, "HintsFont", "Font")),
            PgS<&S::AnnotationDefaultPenColor>(PgR(a, "AnnotationDefaultPenColorPicker", PgCtl::ColorPicker,
                                                   "AnnotationDefaultPenColor", "Pen Color")),
            PgS<&S::AnnotationDefaultPenStyle>(PgR(a, "AnnotationDefaultPenStyleComboBox", PgCtl::ComboBox,
                                                   "AnnotationDefaultPenStlye", "Pen Style")
                                                   .Items(kPgPenStylesSpaced)),
            PgS<&S::AnnotationDefaultPenWidth>(PgR(a, "AnnotationDefaultPenWidthEdit", PgCtl::IntEdit,
                                                   "AnnotationDefaultPenWidth", "Pen Width")
                                                   .Ud()),
            PgS<&S::AnnotationDefaultBrushColor>(PgR(a, "AnnotationDefaultBrushColorPicker",
                                                     PgCtl::ColorPicker, "AnnotationDefaultBrushColor",
                                                     "Brush Color")),
            PgS<&S::AnnotationDefaultBrushStyle>(PgR(a, "AnnotationDefaultBrushStyleComboBox",
                                                     PgCtl::ComboBox, "AnnotationDefaultBrushStlye",
                                                     "Brush Style")
                                                     .Items(kPgBrushStyles)),
            PgS<&S::AnnotationDefaultReference>(PgR(a, "AnnotationDefaultReferenceComboBox", PgCtl::ComboBox,
                                                    "AnnotationDefaultReference", "Reference")
                                                    .Items(kPgReferenceTypes)),
            PgS<&S::AnnotationDefaultReferencePositionX>(
                PgR(a, "AnnotationDefaultReferencePositionXComboBox", PgCtl::ComboBox,
                    "AnnotationDefaultReferencePositionX", "Position X")
                    .Items(kPgReferenceIndividual)),
            PgS<&S::AnnotationDefaultReferencePositionY>(
                PgR(a, "AnnotationDefaultReferencePositionYComboBox", PgCtl::ComboBox,
                    "AnnotationDefaultReferencePositionY", "Position Y")
                    .Items(kPgReferenceIndividual)),
            PgS<&S::AnnotationDefaultReferenceSizeX>(PgR(a, "AnnotationDefaultReferenceSizeXComboBox",
                                                         PgCtl::ComboBox, "AnnotationDefaultReferenceSizeX",
                                                         "Size X")
                                                         .Items(kPgReferenceIndividual)),
            PgS<&S::AnnotationDefaultReferenceSizeY>(PgR(a, "AnnotationDefaultReferenceSizeYComboBox",
                                                         PgCtl::ComboBox, "AnnotationDefaultReferenceSizeY",
                                                         "Size Y")
                                                         .Items(kPgReferenceIndividual)),
            PgS<&S::AnnotationDefaultFont>(
                PgR(a, "AnnotationDefaultFontPicker", PgCtl::FontPicker, "AnnotationDefaultFont", "Font")),
            PgS<&S::PrintShowDialog>(
                PgR(p, "PrintShowDialogCheckBox", PgCtl::CheckBox, "PrintShowDialog", "Show Dialog")),
            PgS<&S::PrintOrientation>(
                PgR(p, "PrintOrientationRadioGroup", PgCtl::RadioGroup, "PrintOrientation", "Orientation")
                    .Items(kPgOrientations)),
            PgS<&S::PrintMarginLeft>(
                PgR(p, "PrintMarginLeftEdit", PgCtl::FloatEdit, "PrintMarginLeft", "Left").In("Margin")),
            PgS<&S::PrintMarginTop>(
                PgR(p, "PrintMarginTopEdit", PgCtl::FloatEdit, "PrintMarginTop", "Top").In("Margin")),
            PgS<&S::PrintMarginRight>(
                PgR(p, "PrintMarginRightEdit", PgCtl::FloatEdit, "PrintMarginRight", "Right").In("Margin")),
            PgS<&S::PrintMarginBottom>(
                PgR(p, "PrintMarginBottomEdit", PgCtl::FloatEdit, "PrintMarginBottom", "Bottom")
                    .In("Margin")),
            PgS<&S::PrintDocumentName>(
                PgR(p, "PrintDocumentNameEdit", PgCtl::StringEdit, "PrintDocumentName", "Document Name")),
        };
    }();
    return rows;
}

} // namespace

namespace {

// ---------------------------------------------------------------------------------------------------
// Controls: quiet sets and reads by kind

template <class T> T* PgFind(TComponent* form, const std::string& name) {
    return dynamic_cast<T*>(form->FindComponent(name));
}

// The memo's text as the user typed it: its lines end with a break, the last one included, which
// would give a caption an empty last line.
std::string PgMemoText(const TMemo& memo) {
    std::string text = memo.Text();
    if (text.ends_with("\r\n"))
        text.resize(text.size() - 2);
    else if (text.ends_with('\n'))
        text.pop_back();
    return text;
}

std::optional<PgValue> PgReadControl(TComponent* form, const PgRow& row) {
    TComponent* c = form->FindComponent(row.control);
    if (!c)
        return std::nullopt;
    PgValue v;
    switch (row.kind) {
    case PgCtl::IntEdit:
    case PgCtl::FloatEdit:
    case PgCtl::StringEdit: {
        auto* edit = dynamic_cast<TgComponentEditorEdit*>(c);
        if (!edit)
            return std::nullopt;
        if (row.kind == PgCtl::IntEdit)
            v.ord = edit->AsInteger();
        else if (row.kind == PgCtl::FloatEdit)
            v.num = edit->AsFloat();
        else
            v.text = edit->AsString();
        return v;
    }
    case PgCtl::CheckBox:
        if (auto* check = dynamic_cast<TgComponentEditorCheckBox*>(c)) {
            v.ord = check->AsBoolean() ? 1 : 0;
            return v;
        }
        return std::nullopt;
    case PgCtl::RadioGroup:
        if (auto* radio = dynamic_cast<TgComponentEditorRadioGroup*>(c)) {
            v.ord = radio->AsInteger();
            return v;
        }
        return std::nullopt;
    case PgCtl::ComboBox:
    case PgCtl::NameComboBox:
    case PgCtl::DateTimeComboBox:
        if (auto* combo = dynamic_cast<TgComponentEditorComboBox*>(c)) {
            v.ord = combo->AsInteger();
            v.text = combo->AsString();
            return v;
        }
        return std::nullopt;
    case PgCtl::ColorPicker:
        if (auto* picker = dynamic_cast<TgComponentEditorColorPicker*>(c)) {
            v.ord = picker->Color();
            return v;
        }
        return std::nullopt;
    case PgCtl::FontPicker:
        if (auto* picker = dynamic_cast<TgComponentEditorFontPicker*>(c)) {
            v.font = picker->Font();
            return v;
        }
        return std::nullopt;
    case PgCtl::Memo:
        if (auto* memo = dynamic_cast<TMemo*>(c)) {
            v.text = PgMemoText(*memo);
            return v;
        }
        return std::nullopt;
    }
    return std::nullopt;
}

// Sets a control without firing its change events.
void PgSetControl(TComponent* form, const PgRow& row, const PgValue& v) {
    TComponent* c = form->FindComponent(row.control);
    if (!c)
        return;
    switch (row.kind) {
    case PgCtl::IntEdit:
    case PgCtl::FloatEdit:
    case PgCtl::StringEdit:
        if (auto* edit = dynamic_cast<TgComponentEditorEdit*>(c)) {
            if (row.kind == PgCtl::IntEdit)
                edit->SetAsInteger(static_cast<int>(v.ord));
            else if (row.kind == PgCtl::FloatEdit)
                edit->SetAsFloat(v.num);
            else
                edit->SetAsString(v.text);
        }
        return;
    case PgCtl::CheckBox:
        if (auto* check = dynamic_cast<TgComponentEditorCheckBox*>(c))
            check->SetAsBoolean(v.ord != 0);
        return;
    case PgCtl::RadioGroup:
        if (auto* radio = dynamic_cast<TgComponentEditorRadioGroup*>(c))
            radio->SetAsInteger(static_cast<int>(v.ord));
        return;
    case PgCtl::ComboBox:
        if (auto* combo = dynamic_cast<TgComponentEditorComboBox*>(c))
            combo->SetAsInteger(static_cast<int>(v.ord));
        return;
    case PgCtl::NameComboBox:
        // The stored name is selected among the names the form listed; none when it is not there.
        if (auto* combo = dynamic_cast<TgComponentEditorComboBox*>(c))
            combo->SetAsInteger(combo->Items()->IndexOf(v.text));
        return;
    case PgCtl::DateTimeComboBox:
        if (auto* combo = dynamic_cast<TgComponentEditorComboBox*>(c))
            combo->SetAsString(v.text);
        return;
    case PgCtl::ColorPicker:
        if (auto* picker = dynamic_cast<TgComponentEditorColorPicker*>(c))
            picker->SetColor(static_cast<TColor>(v.ord));
        return;
    case PgCtl::FontPicker:
        if (auto* picker = dynamic_cast<TgComponentEditorFontPicker*>(c); picker && v.font)
            picker->SetFont(v.font);
        return;
    case PgCtl::Memo:
        if (auto* memo = dynamic_cast<TMemo*>(c); memo && PgMemoText(*memo) != v.text) {
            TNotifyEvent saved = std::move(memo->OnChange);
            memo->OnChange = nullptr;
            try {
                memo->SetText(v.text);
            } catch (...) {
                memo->OnChange = std::move(saved);
                throw;
            }
            memo->OnChange = std::move(saved);
        }
        return;
    }
}

// ---------------------------------------------------------------------------------------------------
// Properties through the registry

const TPropInfo* PgProp(const TObject& object, const PgRow& row) {
    return object.ClassInfo().FindProp(row.prop);
}

std::optional<PgValue> PgGetProp(const TObject& object, const PgRow& row) {
    const TPropInfo* p = PgProp(object, row);
    if (!p)
        return std::nullopt;
    PgValue v;
    switch (row.kind) {
    case PgCtl::FloatEdit:
        if (!p->GetFloat)
            return std::nullopt;
        v.num = p->GetFloat(object);
        return v;
    case PgCtl::StringEdit:
    case PgCtl::NameComboBox:
    case PgCtl::DateTimeComboBox:
    case PgCtl::Memo:
        if (!p->GetStr)
            return std::nullopt;
        v.text = p->GetStr(object);
        return v;
    case PgCtl::FontPicker:
        if (!p->GetObject)
            return std::nullopt;
        v.font = dynamic_cast<const TFont*>(p->GetObject(object));
        if (!v.font)
            return std::nullopt;
        return v;
    default:
        if (!p->GetOrd)
            return std::nullopt;
        v.ord = p->GetOrd(object);
        return v;
    }
}

void PgSetProp(TObject& object, const PgRow& row, const PgValue& v) {
    const TPropInfo* p = PgProp(object, row);
    if (!p)
        return;
    switch (row.kind) {
    case PgCtl::FloatEdit:
        // An edit shows 15 significant digits: a value it shows unchanged keeps its full precision
        // instead of being rounded to its text on every write-back of the page.
        if (p->SetFloat && p->GetFloat) {
            const double current = p->GetFloat(object);
            if (std::fabs(v.num - current) > 1e-14 * std::fabs(current))
                p->SetFloat(object, v.num);
        }
        return;
    case PgCtl::StringEdit:
    case PgCtl::NameComboBox:
    case PgCtl::DateTimeComboBox:
    case PgCtl::Memo:
        if (p->SetStr)
            p->SetStr(object, v.text);
        return;
    case PgCtl::FontPicker:
        // Every font property's setter copies into the object's own font, whose change the object
        // hears; so copying into the font the property holds is writing it through the setter.
        if (p->GetObject && v.font)
            if (auto* font = dynamic_cast<TFont*>(p->GetObject(object)))
                font->Assign(v.font);
        return;
    case PgCtl::ComboBox:
    case PgCtl::RadioGroup:
        // No item chosen is no value: an enumeration has no ordinal -1.
        if (v.ord < 0 ||
            (p->Kind == TTypeKind::tkEnumeration && v.ord >= static_cast<long long>(p->EnumNames.size())))
            return;
        if (p->SetOrd)
            p->SetOrd(object, v.ord);
        return;
    default:
        if (p->SetOrd)
            p->SetOrd(object, v.ord);
        return;
    }
}

bool PgIsTimeSeries(const TgPlotObject* object) {
    return dynamic_cast<const TgPlotChannel*>(object) != nullptr;
}

// ---------------------------------------------------------------------------------------------------
// Building and laying out

constexpr int kPgMargin = 5;     // round the controls of a sheet or group
constexpr int kPgColumnGap = 10; // between columns
constexpr int kPgLabelGap = 4;   // between a label and its control
constexpr int kPgGroupTop = 16;  // below a group box's caption
constexpr int kPgFallbackWidth = 392, kPgFallbackHeight = 182;

struct PgSize {
    int w = 0, h = 0;
};

struct PgBox;

// One line of a column: a label and its control (with its up-down), or a control that carries its
// own caption, or a group.
struct PgCell {
    TLabel* label = nullptr;
    TControl* control = nullptr;
    TgUpDown* upDown = nullptr;
    int labelWidth = 0;
    int width = 0, height = 21; // the control, its up-down included
    PgBox* box = nullptr;
};

struct PgBox {
    TWinControl* parent = nullptr; // sheet, group box or panel
    bool isGroup = false;
    std::vector<PgCell> cells;
    TgComponentEditorPageControl* nested = nullptr; // laid out after the cells, in the space left
    std::vector<PgBox*> nestedSheets;
    std::map<int, PgSize> sizeForHeight; // groups: the size each height limit gives
};

int PgTextWidth(const TControl* c, const std::string& text) {
    const QFontMetrics metrics(c->Font()->ToQFont());
    return metrics.horizontalAdvance(QString::fromStdString(text));
}

std::string PgAlnum(const std::string& s) {
    std::string out;
    for (char ch : s)
        if ((ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') || (ch >= '0' && ch <= '9'))
            out += ch;
    return out;
}

int PgRowPitch(int height) {
    return height + 2;
}

PgSize PgLayout(PgBox& box, int availW, int availH);

struct PgColumn {
    std::vector<PgCell*> cells;
    int labelW = 0, controlW = 0, fullW = 0;
};

// Deals the cells top-down into columns no taller than the limit (a cell taller than the limit
// still gets a column of its own).
std::vector<PgColumn> PgColumns(PgBox& box, int top, int limit) {
    std::vector<PgColumn> cols(1);
    int y = top;
    for (PgCell& cell : box.cells) {
        if (cell.box) {
            // Measured once per height; laid out for real when the columns are placed.
            const int h = limit - top - kPgMargin;
            auto it = cell.box->sizeForHeight.find(h);
            if (it == cell.box->sizeForHeight.end())
                it = cell.box->sizeForHeight.emplace(h, PgLayout(*cell.box, 0, h)).first;
            cell.width = it->second.w;
            cell.height = it->second.h;
        }
        if (y + cell.height > limit - kPgMargin && !cols.back().cells.empty()) {
            cols.emplace_back();
            y = top;
        }
        PgColumn& col = cols.back();
        col.cells.push_back(&cell);
        if (cell.label) {
            col.labelW = std::max(col.labelW, cell.labelWidth);
            col.controlW = std::max(col.controlW, cell.width);
        } else {
            col.fullW = std::max(col.fullW, cell.width);
        }
        y += PgRowPitch(cell.height);
    }
    return cols;
}

int PgColumnWidth(const PgColumn& col) {
    return std::max(col.labelW ? col.labelW + kPgLabelGap + col.controlW : col.controlW, col.fullW);
}

int PgColumnsWidth(const std::vector<PgColumn>& cols) {
    int w = 0;
    for (const PgColumn& col : cols)
        w += PgColumnWidth(col) + kPgColumnGap;
    return w;
}

// Flows the cells into columns of label + control: as few columns as the height allows, and those
// as evenly filled as they can be without growing wider than the space (a group, which has no width
// of its own to fill, no wider than it is).
PgSize PgFlow(PgBox& box, int top, int availW, int availH) {
    const std::vector<PgColumn> greedy = PgColumns(box, top, availH);
    const int width = std::max(PgColumnsWidth(greedy), availW - 2 * kPgMargin + kPgColumnGap);
    int limit = availH;
    if (greedy.size() > 1)
        for (int l = top + kPgMargin; l < availH; ++l) {
            const std::vector<PgColumn> cols = PgColumns(box, top, l);
            if (cols.size() <= greedy.size() && PgColumnsWidth(cols) <= width) {
                limit = l;
                break;
            }
        }
    std::vector<PgColumn> cols = PgColumns(box, top, limit);
    int x = kPgMargin, bottom = top;
    for (PgColumn& col : cols) {
        if (col.cells.empty())
            continue;
        const int labelSpace = col.labelW ? col.labelW + kPgLabelGap : 0;
        int cy = top;
        for (PgCell* cell : col.cells) {
            if (cell->label) {
                cell->label->SetBounds(x, cy + (cell->height - 13) / 2, col.labelW, 13);
                cell->control->SetBounds(x + labelSpace, cy, cell->width - (cell->upDown ? 15 : 0),
                                         cell->height);
                if (cell->upDown)
                    cell->upDown->SetBounds(x + labelSpace + cell->width - 15, cy, 15, cell->height);
            } else if (cell->box) {
                PgLayout(*cell->box, 0, limit - top - kPgMargin);
                cell->box->parent->SetBounds(x, cy, cell->width, cell->height);
            } else {
                cell->control->SetBounds(x, cy, cell->width, cell->height);
            }
            cy += PgRowPitch(cell->height);
        }
        bottom = std::max(bottom, cy - 2);
        x += PgColumnWidth(col) + kPgColumnGap;
    }
    return {x - kPgColumnGap + kPgMargin, bottom + kPgMargin};
}

// Lays a box out in the given space (groups: only the height counts; they take the width they need)
// and returns the size it takes.
PgSize PgLayout(PgBox& box, int availW, int availH) {
    const int top = box.isGroup ? kPgGroupTop : kPgMargin;
    // Cells beside a nested page control leave it the room they do not need.
    PgSize used = box.cells.empty() ? PgSize{0, 0} : PgFlow(box, top, box.nested ? 0 : availW, availH);
    if (box.nested) {
        const int left = box.cells.empty() ? kPgMargin : used.w;
        box.nested->SetBounds(left, kPgMargin, std::max(availW - left - kPgMargin, 40),
                              std::max(availH - 2 * kPgMargin, 40));
        for (PgBox* sheet : box.nestedSheets) {
            const int w =
                sheet->parent->ClientWidth() > 0 ? sheet->parent->ClientWidth() : box.nested->Width() - 8;
            const int h =
                sheet->parent->ClientHeight() > 0 ? sheet->parent->ClientHeight() : box.nested->Height() - 28;
            PgLayout(*sheet, w, h);
        }
        used.w = availW;
    }
    return used;
}

class PgBuilder {
public:
    // kind: the object page built; none for the Control page.
    PgBuilder(TComponent* form, std::string prefix, TWinControl* container, bool toolBarPanel,
              std::optional<TgPlotEditorKind> kind)
        : FForm(form), FPrefix(std::move(prefix)), FContainer(container), FPanel(toolBarPanel), FKind(kind) {
        FRoot.parent = container;
    }

    // The box a row's control goes into, made on first use (sub-pages in first-appearance order).
    PgBox& BoxFor(const std::string& page, const std::string& sub) {
        PgBox* base = &FRoot;
        if (!page.empty() && !FPanel)
            base = &Sheet(page);
        if (sub.empty())
            return *base;
        const std::string key = page + "\n" + sub;
        if (auto it = FBoxes.find(key); it != FBoxes.end())
            return *it->second;
        const char* nestedName = FKind ? PgNestedPageControl(*FKind, page) : nullptr;
        auto box = std::make_unique<PgBox>();
        PgBox* result = box.get();
        if (nestedName) {
            if (!base->nested) {
                base->nested = new TgComponentEditorPageControl(FForm);
                base->nested->SetName(nestedName);
                base->nested->SetParent(base->parent);
                base->nested->SetBounds(kPgMargin, kPgMargin, kPgFallbackWidth - 2 * kPgMargin,
                                        kPgFallbackHeight - 2 * kPgMargin);
            }
            auto* sheet = new TTabSheet(FForm);
            sheet->SetName(FPrefix + PgAlnum(page) + PgAlnum(sub) + "TabSheet");
            sheet->SetPageControl(base->nested);
            sheet->SetCaption(sub);
            box->parent = sheet;
            base->nestedSheets.push_back(result);
        } else {
            auto* group = new TgComponentEditorGroupBox(FForm);
            group->SetName(FPrefix + PgAlnum(page) + PgAlnum(sub) + "GroupBox");
            group->SetParent(base->parent);
            group->SetCaption(sub);
            box->parent = group;
            box->isGroup = true;
            PgCell cell;
            cell.box = result;
            base->cells.push_back(cell);
        }
        FBoxes.emplace(key, std::move(box));
        return *result;
    }

    PgBox& Sheet(const std::string& page) {
        if (auto it = FSheets.find(page); it != FSheets.end())
            return *it->second;
        auto* pageControl = dynamic_cast<TPageControl*>(FContainer);
        auto box = std::make_unique<PgBox>();
        auto* sheet = new TTabSheet(FForm);
        sheet->SetName(FPrefix + PgAlnum(page) + "TabSheet");
        if (pageControl)
            sheet->SetPageControl(pageControl);
        else
            sheet->SetParent(FContainer);
        sheet->SetCaption(page);
        box->parent = sheet;
        PgBox& result = *box;
        FSheetOrder.push_back(&result);
        FSheets.emplace(page, std::move(box));
        return result;
    }

    void Add(const PgRow& row, const TNotifyEvent& onChange) {
        if (row.flags & kPgFormMade) {
            if (!row.page.empty() && !FPanel)
                Sheet(row.page);
            return;
        }
        if (FForm->FindComponent(row.control))
            return; // written twice, made once
        PgBox& box = BoxFor(row.page, row.sub);
        TWinControl* parent = box.parent;
        PgCell cell;
        switch (row.kind) {
        case PgCtl::IntEdit:
        case PgCtl::FloatEdit:
        case PgCtl::StringEdit: {
            auto* edit = Make<TgComponentEditorEdit>(parent, row.control);
            edit->OnUpdate = onChange;
            cell.control = edit;
            cell.width = row.kind == PgCtl::StringEdit ? 96 : 56;
            if (row.upDown) {
                auto* upDown = new TgUpDown(FForm);
                upDown->SetName(row.control + "UpDown");
                upDown->SetParent(parent);
                upDown->SetAssociate(edit);
                upDown->SetMin(static_cast<std::int16_t>(row.udMin));
                upDown->SetMax(static_cast<std::int16_t>(row.udMax));
                upDown->SetIncrement(row.udIncrement);
                cell.upDown = upDown;
                cell.width += 15;
            }
            break;
        }
        case PgCtl::CheckBox: {
            auto* check = Make<TgComponentEditorCheckBox>(parent, row.control);
            check->SetAutoSize(false);
            check->SetCaption(row.caption);
            check->OnClick = onChange;
            cell.control = check;
            cell.width = PgTextWidth(check, row.caption) + 22;
            cell.height = 17;
            break;
        }
        case PgCtl::RadioGroup: {
            auto* radio = Make<TgComponentEditorRadioGroup>(parent, row.control);
            radio->SetCaption(row.caption);
            int w = 0;
            for (const std::string& item : *row.items) {
                radio->Items()->Add(item);
                w += PgTextWidth(radio, item) + 28;
            }
            radio->SetColumns(static_cast<int>(row.items->size()));
            radio->OnChange = onChange;
            cell.control = radio;
            cell.width = std::max(w + 12, PgTextWidth(radio, row.caption) + 24);
            cell.height = 40;
            break;
        }
        case PgCtl::ComboBox:
        case PgCtl::NameComboBox:
        case PgCtl::DateTimeComboBox: {
            const bool editable = row.kind == PgCtl::DateTimeComboBox;
            auto* combo = new TgComponentEditorComboBox(FForm, editable ? TComboBoxStyle::csDropDown
                                                                        : TComboBoxStyle::csDropDownList);
            combo->SetName(row.control);
            combo->SetParent(parent);
            int w = 0;
            if (row.items)
                for (const std::string& item : *row.items) {
                    combo->Items()->Add(item);
                    w = std::max(w, PgTextWidth(combo, item));
                }
            combo->OnChange = onChange;
            cell.control = combo;
            cell.width = row.kind == PgCtl::NameComboBox       ? 96
                         : row.kind == PgCtl::DateTimeComboBox ? 130
                                                               : std::max(w + 30, 56);
            break;
        }
        case PgCtl::ColorPicker: {
            auto* picker = Make<TgComponentEditorColorPicker>(parent, row.control);
            picker->OnChange = onChange;
            cell.control = picker;
            cell.width = 47;
            break;
        }
        case PgCtl::FontPicker: {
            auto* picker = Make<TgComponentEditorFontPicker>(parent, row.control);
            picker->SetCaption(row.caption);
            picker->OnChange = onChange;
            cell.control = picker;
            cell.width = std::max(75, PgTextWidth(picker, row.caption) + 20);
            cell.height = 23;
            break;
        }
        case PgCtl::Memo: {
            auto* memo = Make<TMemo>(parent, row.control);
            memo->SetScrollBars(TScrollStyle::ssVertical);
            memo->OnChange = onChange;
            cell.control = memo;
            cell.width = 130;
            cell.height = 52;
            break;
        }
        }
        if (row.kind != PgCtl::CheckBox && row.kind != PgCtl::RadioGroup && row.kind != PgCtl::FontPicker) {
            auto* label = Make<TLabel>(parent, row.control + "Label");
            label->SetCaption(row.caption);
            cell.label = label;
            cell.labelWidth = PgTextWidth(label, row.caption);
        }
        box.cells.push_back(cell);
    }

    // A plain button (made without a handler) at the end of a box.
    void AddButton(const std::string& page, const std::string& sub, const std::string& name,
                   const std::string& caption) {
        PgBox& box = BoxFor(page, sub);
        auto* button = Make<TgComponentEditorButton>(box.parent, name);
        button->SetCaption(caption);
        PgCell cell;
        cell.control = button;
        cell.width = std::max(90, PgTextWidth(button, caption) + 20);
        cell.height = 23;
        box.cells.push_back(cell);
    }

    void Layout() {
        const int w = FContainer->ClientWidth() > 0 ? FContainer->ClientWidth() : kPgFallbackWidth;
        const int h = FContainer->ClientHeight() > 0 ? FContainer->ClientHeight() : kPgFallbackHeight;
        if (FPanel || FSheetOrder.empty()) {
            PgLayout(FRoot, w, h);
            return;
        }
        for (PgBox* sheet : FSheetOrder) {
            const int sw = sheet->parent->ClientWidth() > 0 ? sheet->parent->ClientWidth() : w - 8;
            const int sh = sheet->parent->ClientHeight() > 0 ? sheet->parent->ClientHeight() : h - 28;
            PgLayout(*sheet, sw, sh);
        }
        if (auto* pageControl = dynamic_cast<TPageControl*>(FContainer);
            pageControl && pageControl->PageCount())
            if (pageControl->ActivePageIndex() < 0)
                pageControl->SetActivePageIndex(0);
    }

private:
    template <class T> T* Make(TWinControl* parent, const std::string& name) {
        auto* c = new T(FForm);
        c->SetName(name);
        c->SetParent(parent);
        return c;
    }

    TComponent* FForm;
    std::string FPrefix;
    TWinControl* FContainer;
    bool FPanel;
    std::optional<TgPlotEditorKind> FKind;
    PgBox FRoot;
    std::map<std::string, std::unique_ptr<PgBox>> FSheets;
    std::vector<PgBox*> FSheetOrder;
    std::map<std::string, std::unique_ptr<PgBox>> FBoxes;
};

TgPlotEditorPageRow PgPublic(const PgRow& row) {
    TgPlotEditorPageRow r;
    r.subPage = row.page;
    r.nested = row.sub;
    r.control = row.control;
    r.property = row.prop;
    r.kind = row.kind;
    if (row.items)
        r.items = *row.items;
    r.upDown = row.upDown;
    if (row.upDown) {
        r.upDownMin = row.udMin;
        r.upDownMax = row.udMax;
        r.upDownIncrement = row.udIncrement;
    }
    r.timeSeriesOnly = (row.flags & kPgTimeSeries) != 0;
    r.madeByForm = (row.flags & kPgFormMade) != 0;
    return r;
}

const PgSettingsRow* PgFindSettingsRow(const std::string& control) {
    for (const PgSettingsRow& r : PgControlRows())
        if (r.row.control == control)
            return &r;
    return nullptr;
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// The pages

void gBuildPlotEditorPage(TComponent* form, TgPlotEditorKind kind, TWinControl* container,
                          TNotifyEvent onChange) {
    PgBuilder builder(form, gPlotEditorKindPrefix(kind), container, kind == TgPlotEditorKind::ToolBar, kind);
    for (const PgRow& row : PgRows(kind))
        builder.Add(row, onChange);
    if (kind == TgPlotEditorKind::XAxis || kind == TgPlotEditorKind::YAxis) {
        const std::string p = gPlotEditorKindPrefix(kind);
        builder.AddButton("Labels", "Cursor", p + "CursorCopyDefaultButton", "Copy Default");
        builder.AddButton("Labels", "Legend", p + "LegendCopyDefaultButton", "Copy Default");
    }
    if (kind == TgPlotEditorKind::Channel)
        builder.Sheet("Stats");
    builder.Layout();
}

void gBuildPlotEditorControlPage(TComponent* form, TWinControl* pageControl, TNotifyEvent onGeneralChange,
                                 TNotifyEvent onTitleChange) {
    PgBuilder builder(form, "Control", pageControl, false, std::nullopt);
    for (const PgSettingsRow& r : PgControlRows())
        builder.Add(r.row, r.row.page == "Title" ? onTitleChange : onGeneralChange);
    builder.Layout();
}

void gFillPlotEditorPage(TComponent* form, TgPlotEditorKind kind, TgPlotObject* object) {
    if (!object)
        return;
    const bool timeSeries = PgIsTimeSeries(object);
    for (const PgRow& row : PgRows(kind)) {
        if ((row.flags & kPgTimeSeries) && !timeSeries)
            continue;
        if (const std::optional<PgValue> v = PgGetProp(*object, row))
            PgSetControl(form, row, *v);
    }
}

void gWritePlotEditorPage(TComponent* form, TgPlotEditorKind kind, TgPlotObject* object) {
    if (!object)
        return;
    const bool timeSeries = PgIsTimeSeries(object);
    for (const PgRow& row : PgRows(kind)) {
        if ((row.flags & kPgTimeSeries) && !timeSeries)
            continue;
        if (const std::optional<PgValue> v = PgReadControl(form, row))
            PgSetProp(*object, row, *v);
    }
}

void gFillPlotEditorControlPage(TComponent* form, const TgPlotEditorSettings& settings) {
    for (const PgSettingsRow& r : PgControlRows())
        PgSetControl(form, r.row, r.get(settings));
}

void gReadPlotEditorControlPage(TComponent* form, TgPlotEditorSettings& settings) {
    for (const PgSettingsRow& r : PgControlRows()) {
        if (r.enumCount == 0 && r.row.kind != PgCtl::ComboBox && r.row.kind != PgCtl::RadioGroup) {
            if (const std::optional<PgValue> v = PgReadControl(form, r.row))
                r.set(settings, *v);
            continue;
        }
        // No item chosen is no value.
        if (const std::optional<PgValue> v = PgReadControl(form, r.row);
            v && v->ord >= 0 && v->ord < r.enumCount)
            r.set(settings, *v);
    }
}

void gWritePlotEditorTitle(TComponent* form, TgPlotLabel* label) {
    if (!label)
        return;
    if (auto* visible = PgFind<TgComponentEditorCheckBox>(form, "TitleVisibleCheckBox"))
        label->SetVisible(visible->AsBoolean());
    if (auto* text = PgFind<TgComponentEditorEdit>(form, "TitleTextEdit"))
        label->SetCaption(text->AsString());
    if (auto* margin = PgFind<TgComponentEditorEdit>(form, "TitleMarginEdit"))
        label->SetMarginBottom(margin->AsFloat());
    if (auto* font = PgFind<TgComponentEditorFontPicker>(form, "TitleFontPicker"))
        label->SetFont(font->Font());
}

void gFillPlotEditorTitle(TComponent* form, const TgPlotLabel* label) {
    if (!label)
        return;
    if (auto* visible = PgFind<TgComponentEditorCheckBox>(form, "TitleVisibleCheckBox"))
        visible->SetAsBoolean(label->Visible());
    if (auto* text = PgFind<TgComponentEditorEdit>(form, "TitleTextEdit"))
        text->SetAsString(label->Caption());
    if (auto* margin = PgFind<TgComponentEditorEdit>(form, "TitleMarginEdit"))
        margin->SetAsFloat(label->MarginBottom());
    if (auto* font = PgFind<TgComponentEditorFontPicker>(form, "TitleFontPicker"))
        font->SetFont(label->Font());
}

void gShowPlotEditorTimeSeriesControls(TComponent* form, bool show) {
    const std::vector<PgRow>& rows = PgRows(TgPlotEditorKind::Channel);
    // A sub-page of time-series controls only is hidden as a whole (its tab); on a mixed one the
    // controls and their labels are.
    std::map<std::string, bool> allTimeSeries;
    for (const PgRow& row : rows) {
        auto [it, added] = allTimeSeries.emplace(row.page, true);
        it->second = it->second && (row.flags & kPgTimeSeries);
        (void)added;
    }
    for (const auto& [page, only] : allTimeSeries)
        if (only)
            if (auto* sheet = PgFind<TTabSheet>(form, "Channel" + PgAlnum(page) + "TabSheet"))
                sheet->SetTabVisible(show);
    for (const PgRow& row : rows) {
        if (!(row.flags & kPgTimeSeries) || allTimeSeries[row.page])
            continue;
        for (const std::string& name : {row.control, row.control + "Label"})
            if (auto* c = PgFind<TControl>(form, name))
                c->SetVisible(show);
    }
}

void gCopyPlotEditorDefaultFormat(TComponent* form, TgPlotEditorKind kind, bool toCursor) {
    const std::string p = gPlotEditorKindPrefix(kind), to = p + (toCursor ? "Cursor" : "Legend");
    auto combo = [&](const std::string& name) { return PgFind<TgComponentEditorComboBox>(form, name); };
    auto edit = [&](const std::string& name) { return PgFind<TgComponentEditorEdit>(form, name); };
    if (auto* from = combo(p + "LabelFormatStyleComboBox"), *target = combo(to + "FormatStyleComboBox");
        from && target)
        target->SetAsInteger(from->AsInteger());
    if (auto* from = combo(p + "DateTimeFormatComboBox"), *target = combo(to + "DateTimeFormatComboBox");
        from && target)
        target->SetAsString(from->AsString());
    if (auto* from = combo(p + "LabelPrecisionStyleComboBox"), *target = combo(to + "PrecisionStyleComboBox");
        from && target)
        target->SetAsInteger(from->AsInteger());
    if (auto* from = edit(p + "LabelPrecisionEdit"), *target = edit(to + "PrecisionEdit"); from && target)
        target->SetAsString(from->AsString());
    if (auto* from = edit(p + "LabelMinLengthEdit"), *target = edit(to + "MinLengthEdit"); from && target)
        target->SetAsString(from->AsString());
    auto* fromCheck = PgFind<TgComponentEditorCheckBox>(form, p + "LabelMinLengthAutoAdjustCheckBox");
    auto* toCheck = PgFind<TgComponentEditorCheckBox>(form, to + "MinLengthAutoAdjustCheckBox");
    if (fromCheck && toCheck)
        toCheck->SetAsBoolean(fromCheck->AsBoolean());
}

std::vector<std::string> gPlotEditorPageControlNames(TgPlotEditorKind kind) {
    std::vector<std::string> names;
    for (const PgRow& row : PgRows(kind))
        names.push_back(row.control);
    return names;
}

std::vector<TgPlotEditorPageRow> gPlotEditorPageRows(TgPlotEditorKind kind) {
    std::vector<TgPlotEditorPageRow> rows;
    for (const PgRow& row : PgRows(kind))
        rows.push_back(PgPublic(row));
    return rows;
}

std::vector<TgPlotEditorPageRow> gPlotEditorControlPageRows() {
    std::vector<TgPlotEditorPageRow> rows;
    for (const PgSettingsRow& r : PgControlRows())
        rows.push_back(PgPublic(r.row));
    return rows;
}

std::string gPlotEditorSettingText(const TgPlotEditorSettings& settings, const std::string& control) {
    const PgSettingsRow* r = PgFindSettingsRow(control);
    if (!r)
        return {};
    const PgValue v = r->get(settings);
    switch (r->row.kind) {
    case PgCtl::FloatEdit:
        return std::to_string(v.num);
    case PgCtl::StringEdit:
    case PgCtl::Memo:
    case PgCtl::NameComboBox:
    case PgCtl::DateTimeComboBox:
        return v.text;
    case PgCtl::FontPicker:
        return v.font ? v.font->Name() + " " + std::to_string(v.font->Size()) : std::string();
    default:
        return std::to_string(v.ord);
    }
}

int gPlotEditorSettingEnumCount(const std::string& control) {
    const PgSettingsRow* r = PgFindSettingsRow(control);
    return r ? r->enumCount : 0;
}

const char* gPlotEditorKindPrefix(TgPlotEditorKind kind) {
    switch (kind) {
    case TgPlotEditorKind::Channel:
        return "Channel";
    case TgPlotEditorKind::DataCursor:
        return "DataCursor";
    case TgPlotEditorKind::Limit:
        return "Limit";
    case TgPlotEditorKind::Label:
        return "Label";
    case TgPlotEditorKind::XAxis:
        return "XAxis";
    case TgPlotEditorKind::YAxis:
        return "YAxis";
    case TgPlotEditorKind::Legend:
        return "Legend";
    case TgPlotEditorKind::Table:
        return "Table";
    case TgPlotEditorKind::ToolBar:
        return "ToolBar";
    case TgPlotEditorKind::DataView:
        break;
    }
    return "DataView";
}

} // namespace kv
