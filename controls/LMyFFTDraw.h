#pragma once
// The shared body of the two response-curve graphs (LMyFFTDrawHpLp6dB and LMyFFTDrawPhase): a paint
// box that draws curves over an FFT-index axis (index x stands for F^(x/N) Hz) on nine off-screen
// pages, with grid, ticks, axis lines, labels and titles, and on top of them the band handles
// (blocks), the selected band's text and translucent fill, an indicator line and one free text.
//
// The two graphs differ only in which parameter texts a band type gets; that choice is the one
// virtual hook below. A page "copied to the screen" is marked for the next paint, which copies the
// finished pages out and draws nothing itself (drawing outside a paint is not possible on this
// toolkit).
//
// The plot page is built in layers so that a band edit stays cheap: what a curve change leaves
// alone (background, grid, ticks, axis lines and every curve but the one drawn last, which is the
// channel's own) is kept in a compact cached layer and put back instead of being drawn again; the
// last curve and the overlays (handles, the selected band's texts and fill, the indicator line, the
// free text) are drawn over it once per page update. The result is pixel for pixel what drawing
// everything again gives.

#include "controls/PaintPage.h"
#include "controls/PlotList.h"
#include "editors/response/CurveGraph.h"
#include "platform/core/Numbers.h"
#include "platform/core/ScaleMap.h"
#include "platform/gui/StdCtrls.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kv {

enum class TMyAxisStyle { Box, Centered, CenteredBox, LB, None };
std::vector<std::string> EnumIdents(TMyAxisStyle);
enum class TMyAxisFormat { Linear, Log };
std::vector<std::string> EnumIdents(TMyAxisFormat);
enum class TFFTNumber { n256, n512, n1024, n2048, n4096 };
std::vector<std::string> EnumIdents(TFFTNumber);
enum class TSampleRate { n48000, n96000, n192000 };
std::vector<std::string> EnumIdents(TSampleRate);
enum class TStringFloatFormat { sffGeneral, sffExponent, sffFixed, sffNumber, sffCurrency };
std::vector<std::string> EnumIdents(TStringFloatFormat);

// The label texts' float format, as the number formatting takes it (the same order).
inline TFloatFormat ToFloatFormat(TStringFloatFormat f) {
    return static_cast<TFloatFormat>(f);
}

// One band handle.
struct TFFTBlock {
    double X = 0.0; // index units
    double Y = 0.0; // dB
    TColor Colour = 0;
    int Shape = 0; // 0 numbered square, 1 numbered circle, 2 "LPF", 3 "HPF"
    bool Hidden = false;
    double Frequency = 0.0, Gain = 0.0, Q = 0.0, Type = 0.0; // for the parameter text
    double PixelX = 0.0, PixelY = 0.0;
    TPoint Pixel;
};

// A text written onto a page, as recorded for inspection.
struct TFFTText {
    int Page = 0;
    int X = 0, Y = 0;
    std::string Text;
    TColor Colour = 0;
    int Size = 0;
};

class LMyFFTDrawBase : public TPaintBox {
public:
    enum TPageRole {
        prPlot,
        prXLabel,
        prYLabel,
        prXTitle,
        prYTitle,
        prYTitleText,
        prPlotTitle,
        prRightMargin,
        prCoordinate,
        PAGE_COUNT
    };
    static constexpr int BLOCK_COUNT = 50;
    static constexpr int CURVE_POINTS = 4096;

    ~LMyFFTDrawBase() override;

    virtual void Change();

    // Published properties.
    bool AutoRedraw() const { return FAutoRedraw; }
    virtual void SetAutoRedraw(bool v);
    TColor AxisColor() const { return FAxisColor; }
    virtual void SetAxisColor(TColor v);
    TMyAxisStyle AxisStyle() const { return FAxisStyle; }
    virtual void SetAxisStyle(TMyAxisStyle v);
    TMyAxisFormat XAxisFormat() const { return FXAxisFormat; }
    virtual void SetXAxisFormat(TMyAxisFormat v);
    TMyAxisFormat YAxisFormat() const { return FYAxisFormat; }
    virtual void SetYAxisFormat(TMyAxisFormat v);
    bool ShowXLabel() const { return FShowXLabel; }
    virtual void SetShowXLabel(bool v);
    bool ShowYLabel() const { return FShowYLabel; }
    virtual void SetShowYLabel(bool v);
    bool YAutoScale() const { return FYAutoScale; }
    virtual void SetYAutoScale(bool v);
    bool XAutoScale() const { return FXAutoScale; }
    virtual void SetXAutoScale(bool v);
    double YLabelScale() const { return FYLabelScale; }
    virtual void SetYLabelScale(double v);
    double YMax() const { return FYMax; }
    virtual void SetYMax(double v);
    double YMin() const { return FYMin; }
    virtual void SetYMin(double v);
    double XMax() const { return FXMax; }
    virtual void SetXMax(double v);
    double XMin() const { return FXMin; }
    virtual void SetXMin(double v);
    bool ShowCoordinates() const { return FShowCoordinates; }
    virtual void SetShowCoordinates(bool v);
    int YLabelPrecision() const { return FYLabelPrecision; }
    virtual void SetYLabelPrecision(int v);
    int XLabelPrecision() const { return FXLabelPrecision; }
    virtual void SetXLabelPrecision(int v);
    int XLabelDigits() const { return FXLabelDigits; }
    virtual void SetXLabelDigits(int v);
    int YLabelDigits() const { return FYLabelDigits; }
    virtual void SetYLabelDigits(int v);
    TStringFloatFormat YLabelFormat() const { return FYLabelFormat; }
    virtual void SetYLabelFormat(TStringFloatFormat v);
    TStringFloatFormat XLabelFormat() const { return FXLabelFormat; }
    virtual void SetXLabelFormat(TStringFloatFormat v);
    int PointSize() const { return FPointSize; }
    virtual void SetPointSize(int v);
    bool MouseControl() const { return FMouseControl; }
    void SetMouseControl(bool v) { FMouseControl = v; }
    bool ShowVertGrid() const { return FShowVertGrid; }
    virtual void SetShowVertGrid(bool v);
    bool ShowHorzGrid() const { return FShowHorzGrid; }
    virtual void SetShowHorzGrid(bool v);
    bool ShowVertTicks() const { return FShowVertTicks; }
    virtual void SetShowVertTicks(bool v);
    bool ShowHorzTicks() const { return FShowHorzTicks; }
    virtual void SetShowHorzTicks(bool v);
    int VertTickLength() const { return FVertTickLength; }
    virtual void SetVertTickLength(int v);
    int HorzTickLength() const { return FHorzTickLength; }
    virtual void SetHorzTickLength(int v);
    int NumVertGrid() const { return FNumVertGrid; }
    virtual void SetNumVertGrid(int v);
    int NumHorzGrid() const { return FNumHorzGrid; }
    virtual void SetNumHorzGrid(int v);
    TColor GridColor() const { return FGridColor; }
    virtual void SetGridColor(TColor v);
    double MouseX() const { return FMouseX; }
    double MouseY() const { return FMouseY; }
    bool ShowXTitle() const { return FShowXTitle; }
    virtual void SetShowXTitle(bool v);
    bool ShowYTitle() const { return FShowYTitle; }
    virtual void SetShowYTitle(bool v);
    bool ShowPlotTitle() const { return FShowPlotTitle; }
    virtual void SetShowPlotTitle(bool v);
    const std::string& XTitle() const { return FXTitle; }
    virtual void SetXTitle(const std::string& v);
    const std::string& YTitle() const { return FYTitle; }
    virtual void SetYTitle(const std::string& v);
    const std::string& YLabel() const { return FYLabel; }
    virtual void SetYLabel(const std::string& v);
    const std::string& PlotTitle() const { return FPlotTitle; }
    virtual void SetPlotTitle(const std::string& v);
    TFont* PlotTitleFont() const { return FFonts[ftPlotTitle].get(); }
    virtual void SetPlotTitleFont(TFont* f);
    TFont* AxisTitleFont() const { return FFonts[ftAxisTitle].get(); }
    virtual void SetAxisTitleFont(TFont* f);
    TFont* AxisLabelFont() const { return FFonts[ftAxisLabel].get(); }
    virtual void SetAxisLabelFont(TFont* f);
    TFont* MouseCoordFont() const { return FFonts[ftMouseCoord].get(); }
    virtual void SetMouseCoordFont(TFont* f);
    TFFTNumber FFTNuimber() const { return FFFTNumber; }
    void SetFFTNuimber(TFFTNumber v) { FFFTNumber = v; }
    TSampleRate SampleRate() const { return FSampleRate; }
    void SetSampleRate(TSampleRate v) { FSampleRate = v; }
    TNotifyEvent OnChange;

    // Coordinate mapping: data value to plot-page pixel, and back.
    double ScreenX(double x) const;
    double ScreenY(double y) const;
    double FFTScreenX(double x) const { return ScreenX(x); }
    double FFTScreenY(double y) const { return ScreenY(y); }
    double PlotX(int px) const;
    double PlotY(int py) const;
    // Index position of a frequency in Hz on this graph's axis.
    double FrequencyIndex(double hz) const;

    // Curves.
    bool FFTDraw(const double* x, const double* y, int count, int curve, TColor colour, TMyPlotStyle style);
    bool FFTDraw(const double* y, int count, int curve, TColor colour, TMyPlotStyle style);
    bool FFTDraw(const double* y, int count, double xFirst, double xLast, int curve, TColor colour,
                 TMyPlotStyle style);
    bool RemovePlot(int curve);
    void DrawOnePlot(const TPlotListMember& member);
    bool GetPlotStyle(TMyPlotStyle& style, int curve) const;
    bool GetPlotColor(TColor& colour, int curve) const;
    bool GetPlotNumPoints(int& count, int curve) const;
    bool GetPlotX(double* out, int curve) const;
    bool GetPlotY(double* out, int curve) const;
    bool SetPlotStyle(TMyPlotStyle style, int curve);
    bool SetPlotColor(TColor colour, int curve);
    const TPlotList& Plots() const { return FPlots; }

    // Band handles.
    void DrawBlock(double y, double x, TColor colour, int block, bool hidden, int shape);
    void SetBlockParameter(int block, double frequency, double gain, double q, int type);
    void SetBlockPosition(double px, double py, int block);
    TPoint GetBlockPos(int block) const;
    void SetParameterDisplay(bool on) {
        FParameterDisplay = on;
        OverlaysChanged();
    }
    bool ParameterDisplay() const { return FParameterDisplay; }
    const TFFTBlock& Block(int block) const { return FBlocks.at(static_cast<std::size_t>(block)); }
    void BlockPaint();

    // The selected band.
    void DrawParam(int type, double gain, double x, float frequency, double q, TColor colour);
    void ShowParam(int type, double gain, double x, float frequency, double q, TColor colour);
    void DrawCurveFill(int type, const double* values, int count);
    void SetCurveDisplay(bool on) {
        FCurveShown = on;
        OverlaysChanged();
    }
    bool CurveDisplay() const { return FCurveShown; }
    void CuveDisplayPaint();

    // Indicator line and free text.
    void DrawLine(double x, TColor colour, bool dot);
    void LinePaint();
    void DrawTextA(int x, int y, int size, TColor colour, const std::string& fontName,
                   const std::string& text);
    void TextPaint();

    // Pages.
    void UpdateCurvePage() { UpdatePaintPage(prPlot); }
    int GetPlotWidth() const;
    int GetPlotHeight() const;
    void SetLineSize(int n);
    int LineSize() const { return FLineSize; }
    bool SetPlotWidth(int w);
    void ClearPlot();
    const TPaintPage& Page(TPageRole role) const { return *FPages[role]; }

    // Drawing steps.
    void ResizePaintPage();
    void DrawAllPlots();
    void DrawGrid();
    void DrawTicks();
    void DrawAxis();
    void DrawXAxisLabels();
    void DrawYAxisLabels();
    void DrawTitles();
    void DrawPlotsAndLabelsNoUpdate();
    void DrawPlotsAndLabels();
    void Redraw();
    void RedrawScreen();
    void UpdatePaintPage(TPageRole role);
    void Paint(TCanvas& canvas) override;
    void Loaded() override;

    // Scaling.
    void FindXMaxMin();
    void FindYMaxMin();
    void CompareMaxMin();
    void CalculateLogMaxMin();
    void SetXYMinMax(double xMin, double xMax, double yMin, double yMax);

    // Copying from another graph: curves (in reverse order, as the store copies them), display
    // properties, or both.
    void AssignPlot(const LMyFFTDrawBase& other);
    void AssignPlotProperties(const LMyFFTDrawBase& other);
    void AssignPlotData(const LMyFFTDrawBase& other);
    void AppendPlotData(const LMyFFTDrawBase& other);

    // Mouse handling of the graph's own: drag to pan, Alt-drag to zoom, Ctrl-drag a box to zoom into,
    // double click to rescale, and the coordinate readout. Nothing routes the control's mouse events
    // here; callers that want it call these from their handlers (x, y in control pixels).
    virtual void MouseMove1(TShiftState shift, int x, int y);
    virtual void MouseDown1(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp1(TMouseButton button, TShiftState shift, int x, int y);
    virtual void DblClick1();
    void DrawMouseCoord();

    // Off: every step draws from scratch (the cached layers are neither kept nor used). For tests
    // that compare both ways.
    void SetLayerCache(bool on);
    // The graph as the response engine draws on it.
    CurveGraph& Graph();
    // Every text written onto a page is appended here while set.
    void SetTextTrace(std::vector<TFFTText>* trace) { FTextTrace = trace; }
    // While held (holds nest), the pages are not drawn; the last release draws once what was asked
    // for meanwhile. For a run of changes of which only the end result is shown.
    void HoldDrawing() { ++FHolds; }
    void ReleaseDrawing();
    // How often the plot page's curves were drawn anew.
    unsigned PlotDraws() const { return FPlotDraws; }

protected:
    explicit LMyFFTDrawBase(TComponent* owner);

    // Which texts a band type gets: none, frequency alone, Q and frequency, or Q, frequency and gain.
    enum TParamText { ptNone, ptFrequency, ptQFrequency, ptAll };
    // `repaint` is true for the selected band's text written again at a page update.
    virtual TParamText ParamTextOf(int type, bool repaint) const = 0;

private:
    enum TFontRole { ftPlotTitle, ftAxisTitle, ftAxisLabel, ftMouseCoord, FONT_COUNT };
    class TGraphAdapter;

    // What the cached base layer was drawn from; a layer drawn from other inputs is drawn again.
    struct TBaseInputs {
        int Width = -1, Height = -1;
        bool Visible = false;
        TColor Colour = 0, GridColour = 0, AxisColour = 0;
        TMyAxisStyle AxisStyle = TMyAxisStyle::None;
        TMyAxisFormat XFormat = TMyAxisFormat::Linear, YFormat = TMyAxisFormat::Linear;
        double XMin = 0, XMax = 0, YMin = 0, YMax = 0, LogXMin = 0, LogXMax = 0, LogYMin = 0, LogYMax = 0;
        bool HorzGrid = false, VertGrid = false, HorzTicks = false, VertTicks = false;
        int HorzTickLength = 0, VertTickLength = 0, NumHorzGrid = 0, NumVertGrid = 0, PointSize = 0;
        TFFTNumber FFTNumber = TFFTNumber::n256;
        TSampleRate SampleRate = TSampleRate::n48000;
        unsigned CurvesVersion = 0;
        friend bool operator==(const TBaseInputs&, const TBaseInputs&) = default;
    };
    // A page's pixels kept compactly: a colour table and runs of one colour while the page holds no
    // more than 256 colours (lines and fills without smoothing), else a plain copy.
    class TLayer {
    public:
        void Store(const QImage& image);
        void Restore(QImage& image) const;
        void Clear();
        bool Empty() const { return FWidth == 0; }

    private:
        int FWidth = 0, FHeight = 0;
        std::vector<QRgb> FPalette;
        std::vector<std::uint8_t> FRuns;
        QImage FFull;
    };
    // The canvas state the base layer leaves behind, put back with its pixels.
    struct TCanvasState {
        TColor PenColour = 0, BrushColour = 0;
        int PenWidth = 1;
        TPenStyle PenStyle = TPenStyle::psSolid;
        TBrushStyle BrushStyle = TBrushStyle::bsSolid;
        TPoint PenPos;
    };
    // The plot page holds the base layer and the last curve only, those with other drawing over them
    // (immediate drawing or overlays of an older state), or those with the current overlays.
    enum TPlotState { psClean, psDirty, psComposed };

    void SetProperties();
    void Initialize();
    void GraphFontChanged(TFontRole role);
    void SetFontProperty(TFontRole role, TFont* f);
    // The shared tails of the setters: a label or title shown or hidden lays the pages out again; a
    // bound is kept apart from its partner before the axes are drawn again.
    void SetVisibility(bool& flag, bool v);
    void SetBound(double& bound, double v);
    TCanvas* PageCanvas(TPageRole role) const { return FPages[role]->Bitmap()->Canvas(); }
    bool PageEmpty(TPageRole role) const;
    void CopyPage(TPageRole role);
    // What a hold keeps for its end.
    enum THeldDraw : unsigned { hdPlots = 1, hdXLabels = 2, hdYLabels = 4, hdTitles = 8, hdCompose = 16 };
    // True (and the drawing noted for the end) while a layout is being read or the drawing is held.
    bool DrawingHeld(unsigned what);
    TBaseInputs BaseInputs() const;
    void DrawBase();
    const TPlotListMember* LastCurve() const;
    void CurvesChanged() { ++FCurvesVersion; }
    // Something was drawn onto the plot page, or the overlays' state changed.
    void PlotTouched() {
        if (!FComposing)
            FPlotState = psDirty;
    }
    void OverlaysChanged() {
        if (FPlotState == psComposed)
            FPlotState = psDirty;
    }
    void ComposePlot();
    void PaintOverlays();
    // The plot page's axes for a page of this width or height.
    TScaleMap XMap(int width) const;
    TScaleMap YMap(int height) const;
    bool BlockOffPage(double px, double py) const;
    bool LabelsUnchanged(TPageRole role, const std::string& key);
    void PageText(TPageRole role, int x, int y, const std::string& text);
    std::string XText(double v) const;
    std::string YText(double v) const;
    double TopFrequency() const;
    double AxisLength() const;
    void DrawShape(double px, double py, int shape, int block);
    void WriteParam(TParamText what, double gain, double x, float frequency, double q, TColor colour);
    void DrawFill(int count, bool outlineWithClosing);
    void DrawIndicator(TPenStyle style);
    void VerticalGridFrequencies(const std::function<void(double x, bool decade)>& each) const;
    void HorizontalGridValues(const std::function<void(double y)>& each) const;
    void LogScheme(double logMin, double logMax, int count, const std::function<void(double v)>& each) const;

    bool FAutoRedraw = true;
    TColor FAxisColor = 0x008C00;
    TMyAxisStyle FAxisStyle = TMyAxisStyle::CenteredBox;
    TMyAxisFormat FXAxisFormat = TMyAxisFormat::Linear, FYAxisFormat = TMyAxisFormat::Linear;
    bool FShowXLabel = true, FShowYLabel = true;
    bool FYAutoScale = true, FXAutoScale = true;
    double FYLabelScale = 1.0;
    double FYMax = 18.0, FYMin = -18.0, FXMax = 4130.0, FXMin = 1030.0;
    double FLogXMin = 0.0, FLogXMax = 0.0, FLogYMin = 0.0, FLogYMax = 0.0;
    bool FShowCoordinates = true;
    int FYLabelPrecision = 5, FXLabelPrecision = 4, FXLabelDigits = 4, FYLabelDigits = 4;
    TStringFloatFormat FYLabelFormat = TStringFloatFormat::sffGeneral,
                       FXLabelFormat = TStringFloatFormat::sffGeneral;
    int FPointSize = 2;
    bool FMouseControl = true;
    bool FShowVertGrid = true, FShowHorzGrid = true, FShowVertTicks = true, FShowHorzTicks = true;
    int FVertTickLength = 0, FHorzTickLength = 0;
    int FNumVertGrid = 10, FNumHorzGrid = 11;
    TColor FGridColor = 0x004800;
    double FMouseX = 0.0, FMouseY = 0.0;
    bool FShowXTitle = false, FShowYTitle = false, FShowPlotTitle = false;
    std::string FXTitle = "Frequency ", FYTitle = "dB", FYLabel = "dB", FPlotTitle = "Frequency Response";
    TFFTNumber FFFTNumber = TFFTNumber::n4096;
    TSampleRate FSampleRate = TSampleRate::n48000;

    TPlotList FPlots;
    std::array<std::unique_ptr<TPaintPage>, PAGE_COUNT> FPages;
    std::array<std::unique_ptr<TFont>, FONT_COUNT> FFonts;
    bool FSettingFont = false;
    bool FDrawHeld = false;
    int FHolds = 0;
    unsigned FHeld = 0;
    // The pages asked to reach the screen during a hold, the one asked last at the end.
    std::vector<TPageRole> FHeldPages;
    unsigned FPlotDraws = 0;
    int FLaidOutWidth = 0, FLaidOutHeight = 0;
    bool FPainting = false;
    // Pages that have reached the screen and are copied by every paint.
    std::array<bool, PAGE_COUNT> FOnScreen{};
    bool FBoxShown = false;

    bool FLayerCache = true;
    TLayer FBase;
    TBaseInputs FBaseInputs;
    TCanvasState FBaseState;
    unsigned FCurvesVersion = 0;
    TPlotState FPlotState = psDirty;
    bool FComposing = false;
    std::array<std::string, PAGE_COUNT> FLabelKeys;
    int FLineSize = 0;

    std::array<TFFTBlock, BLOCK_COUNT> FBlocks{};
    bool FParameterDisplay = false;

    bool FCurveShown = false;
    int FCurveType = 0;
    double FCurveGain = 0.0;
    double FCurveX = 0.0;
    float FCurveFrequency = 0.0f;
    double FCurveQ = 0.0;
    TColor FCurveColour = 0;
    std::vector<double> FCurve;

    double FLineX = 0.0;
    TColor FLineColour = 0;
    bool FLineDot = false, FLineShown = false;
    int FLinePixelX = 0;

    int FTextX = 0, FTextY = 0, FTextSize = 0;
    TColor FTextColour = 0;
    std::string FTextFont, FText;

    enum TMouseMode { mmNone, mmPan, mmZoom, mmBox };
    TMouseMode FMouseMode = mmNone;
    TPoint FLastMouse;
    TRect FBox;
    void InvertBox();
    void AfterCopy();

    std::unique_ptr<TGraphAdapter> FGraph;
    std::vector<TFFTText>* FTextTrace = nullptr;
};

// Registers the published properties of a graph class, in the order the layouts list them.
template <class C> void RegisterFFTDrawProperties(TClassBuilder<C>& b) {
    using B = LMyFFTDrawBase;
    b.Prop("Width", &TControl::Width, &TControl::SetWidth).Default(300);
    b.Prop("Height", &TControl::Height, &TControl::SetHeight).Default(250);
    b.Prop("ParentFont", &TControl::ParentFont, &TControl::SetParentFont).Default(true);
    b.Prop("AutoRedraw", &B::AutoRedraw, &B::SetAutoRedraw).Default(true);
    b.Prop("AxisColor", &B::AxisColor, &B::SetAxisColor).Default(0).Idents(ColorIdents(), "TColor");
    b.Prop("AxisStyle", &B::AxisStyle, &B::SetAxisStyle).Default(TMyAxisStyle::CenteredBox);
    b.Prop("XAxisFormat", &B::XAxisFormat, &B::SetXAxisFormat).Default(TMyAxisFormat::Linear);
    b.Prop("YAxisFormat", &B::YAxisFormat, &B::SetYAxisFormat).Default(TMyAxisFormat::Linear);
    b.Prop("ShowXLabel", &B::ShowXLabel, &B::SetShowXLabel).Default(true);
    b.Prop("ShowYLabel", &B::ShowYLabel, &B::SetShowYLabel).Default(true);
    b.Prop("YAutoScale", &B::YAutoScale, &B::SetYAutoScale).Default(true);
    b.Prop("XAutoScale", &B::XAutoScale, &B::SetXAutoScale).Default(true);
    b.Prop("YLabelScale", &B::YLabelScale, &B::SetYLabelScale);
    b.Prop("YMax", &B::YMax, &B::SetYMax);
    b.Prop("YMin", &B::YMin, &B::SetYMin);
    b.Prop("XMax", &B::XMax, &B::SetXMax);
    b.Prop("XMin", &B::XMin, &B::SetXMin);
    b.Prop("ShowCoordinates", &B::ShowCoordinates, &B::SetShowCoordinates).Default(true);
    b.Prop("YLabelPrecision", &B::YLabelPrecision, &B::SetYLabelPrecision).Default(4);
    b.Prop("XLabelPrecision", &B::XLabelPrecision, &B::SetXLabelPrecision).Default(4);
    b.Prop("XLabelDigits", &B::XLabelDigits, &B::SetXLabelDigits).Default(4);
    b.Prop("YLabelDigits", &B::YLabelDigits, &B::SetYLabelDigits).Default(4);
    b.Prop("YLabelFormat", &B::YLabelFormat, &B::SetYLabelFormat).Default(TStringFloatFormat::sffGeneral);
    b.Prop("XLabelFormat", &B::XLabelFormat, &B::SetXLabelFormat).Default(TStringFloatFormat::sffGeneral);
    b.Prop("PointSize", &B::PointSize, &B::SetPointSize).Default(2);
    b.Prop("MouseControl", &B::MouseControl, &B::SetMouseControl).Default(true);
    b.Prop("ShowVertGrid", &B::ShowVertGrid, &B::SetShowVertGrid).Default(true);
    b.Prop("ShowHorzGrid", &B::ShowHorzGrid, &B::SetShowHorzGrid).Default(true);
    b.Prop("ShowVertTicks", &B::ShowVertTicks, &B::SetShowVertTicks).Default(true);
    b.Prop("ShowHorzTicks", &B::ShowHorzTicks, &B::SetShowHorzTicks).Default(true);
    b.Prop("VertTickLength", &B::VertTickLength, &B::SetVertTickLength).Default(6);
    b.Prop("HorzTickLength", &B::HorzTickLength, &B::SetHorzTickLength).Default(6);
    b.Prop("NumVertGrid", &B::NumVertGrid, &B::SetNumVertGrid).Default(3);
    b.Prop("NumHorzGrid", &B::NumHorzGrid, &B::SetNumHorzGrid).Default(3);
    b.Prop("GridColor", &B::GridColor, &B::SetGridColor).Default(0xD8E09E).Idents(ColorIdents(), "TColor");
    b.Prop("MouseX", &B::MouseX, nullptr);
    b.Prop("MouseY", &B::MouseY, nullptr);
    b.Prop("ShowXTitle", &B::ShowXTitle, &B::SetShowXTitle).Default(true);
    b.Prop("ShowYTitle", &B::ShowYTitle, &B::SetShowYTitle).Default(true);
    b.Prop("ShowPlotTitle", &B::ShowPlotTitle, &B::SetShowPlotTitle).Default(true);
    b.Prop("XTitle", &B::XTitle, &B::SetXTitle);
    b.Prop("YTitle", &B::YTitle, &B::SetYTitle);
    b.Prop("YLabel", &B::YLabel, &B::SetYLabel);
    b.Prop("PlotTitle", &B::PlotTitle, &B::SetPlotTitle);
    b.Prop("PlotTitleFont", &B::PlotTitleFont, &B::SetPlotTitleFont);
    b.Prop("AxisTitleFont", &B::AxisTitleFont, &B::SetAxisTitleFont);
    b.Prop("AxisLabelFont", &B::AxisLabelFont, &B::SetAxisLabelFont);
    b.Prop("MouseCoordFont", &B::MouseCoordFont, &B::SetMouseCoordFont);
    b.Event("OnChange", &B::OnChange);
    b.Prop("FFTNuimber", &B::FFTNuimber, &B::SetFFTNuimber).Default(TFFTNumber::n1024);
    b.Prop("SampleRate", &B::SampleRate, &B::SetSampleRate).Default(TSampleRate::n48000);
}

} // namespace kv
