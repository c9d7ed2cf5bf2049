#include "controls/LMyFFTDraw.h"

#include "platform/core/Numbers.h"
#include "platform/core/ScaleMap.h"
#include "styled/gdiplus/GDIPlus.h"

#include <QFont>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <unordered_map>
#include <utility>

namespace kv {

std::vector<std::string> EnumIdents(TMyAxisStyle) {
    return {"Box", "Centered", "CenteredBox", "LB", "None"};
}
std::vector<std::string> EnumIdents(TMyAxisFormat) {
    return {"Linear", "Log"};
}
std::vector<std::string> EnumIdents(TFFTNumber) {
    return {"n256", "n512", "n1024", "n2048", "n4096"};
}
std::vector<std::string> EnumIdents(TSampleRate) {
    return {"n48000", "n96000", "n192000"};
}
std::vector<std::string> EnumIdents(TStringFloatFormat) {
    return {"sffGeneral", "sffExponent", "sffFixed", "sffNumber", "sffCurrency"};
}

namespace {

// Pixel positions are truncated toward zero.
int Trunc(double v) {
    return TScaleMap::TruncatePixel(v);
}

} // namespace

// ---------------------------------------------------------------------------------------------------
// The graph as the response engine sees it.

class LMyFFTDrawBase::TGraphAdapter final : public CurveGraph {
public:
    explicit TGraphAdapter(LMyFFTDrawBase& graph) : FOwner(graph) {}
    void FFTDraw(const double* values, int count, int curve, CurveColour colour, int style) override {
        FOwner.FFTDraw(values, count, curve, colour, static_cast<TMyPlotStyle>(style));
    }
    bool RemovePlot(int curve) override { return FOwner.RemovePlot(curve); }
    void DrawBlock(float y, double x, CurveColour colour, int block, bool hidden, int shape) override {
        FOwner.DrawBlock(y, x, colour, block, hidden, shape);
    }
    void SetBlockParameter(int block, double frequency, double gain, double q, int type) override {
        FOwner.SetBlockParameter(block, frequency, gain, q, type);
    }
    void DrawParam(int displayType, double gain, double x, float frequency, double q,
                   CurveColour colour) override {
        FOwner.DrawParam(displayType, gain, x, frequency, q, colour);
    }
    void DrawCurveFill(int displayType, const double* values, int count) override {
        FOwner.DrawCurveFill(displayType, values, count);
    }
    void SetCurveDisplay(bool show) override { FOwner.SetCurveDisplay(show); }

private:
    LMyFFTDrawBase& FOwner;
};

// ---------------------------------------------------------------------------------------------------
// Construction

LMyFFTDrawBase::LMyFFTDrawBase(TComponent* owner)
    : TPaintBox(owner), FCurve(CURVE_POINTS, 0.0), FGraph(std::make_unique<TGraphAdapter>(*this)) {
    SetProperties();
    Initialize();
}

LMyFFTDrawBase::~LMyFFTDrawBase() {
    for (auto& f : FFonts)
        if (f)
            f->OnChange = nullptr;
}

void LMyFFTDrawBase::SetProperties() {
    SetBounds(Left(), Top(), 500, 250);
    SetColor(clBlack);
    CalculateLogMaxMin();
}

void LMyFFTDrawBase::Initialize() {
    for (auto& p : FPages)
        p = std::make_unique<TPaintPage>();
    const TColor colours[FONT_COUNT] = {clLime, clLime, clYellow, clLime};
    for (int i = 0; i < FONT_COUNT; ++i) {
        FFonts[static_cast<std::size_t>(i)] = std::make_unique<TFont>();
        FFonts[static_cast<std::size_t>(i)]->SetColor(colours[i]);
        auto role = static_cast<TFontRole>(i);
        // A layout writes the fonts' attributes straight into them; they take effect as a setter's.
        FFonts[static_cast<std::size_t>(i)]->OnChange = [this, role](TObject*) {
            if (!FSettingFont)
                GraphFontChanged(role);
        };
    }
}

CurveGraph& LMyFFTDrawBase::Graph() {
    return *FGraph;
}

// A layout sets many properties, each drawing the pages again; the drawing waits for the last one.
bool LMyFFTDrawBase::DrawingHeld(unsigned what) {
    if (IsLoading()) {
        FDrawHeld = true;
        return true;
    }
    if (FHolds == 0)
        return false;
    FHeld |= what;
    return true;
}

void LMyFFTDrawBase::ReleaseDrawing() {
    if (FHolds == 0 || --FHolds > 0)
        return;
    const unsigned held = std::exchange(FHeld, 0u);
    const std::vector<TPageRole> pages = std::exchange(FHeldPages, {});
    // Each of these draws from the state as it is now, so once at the end leaves what the last of
    // the held calls would have left.
    if (held & hdPlots)
        DrawAllPlots();
    if (held & hdXLabels)
        DrawXAxisLabels();
    if (held & hdYLabels)
        DrawYAxisLabels();
    if (held & hdTitles)
        DrawTitles();
    for (TPageRole role : pages)
        UpdatePaintPage(role);
    // A paint during the hold showed the pages as they were.
    if (held & hdCompose) {
        ComposePlot();
        Invalidate();
    }
}

void LMyFFTDrawBase::Loaded() {
    TPaintBox::Loaded();
    if (!FDrawHeld)
        return;
    FDrawHeld = false;
    Redraw();
}

void LMyFFTDrawBase::Change() {
    if (OnChange)
        OnChange(this);
}

// ---------------------------------------------------------------------------------------------------
// Property setters

void LMyFFTDrawBase::SetAutoRedraw(bool v) {
    FAutoRedraw = v;
    if (v)
        Redraw();
}

void LMyFFTDrawBase::SetAxisColor(TColor v) {
    FAxisColor = v;
    DrawAxis();
}

void LMyFFTDrawBase::SetAxisStyle(TMyAxisStyle v) {
    FAxisStyle = v;
    if (FAutoRedraw)
        DrawPlotsAndLabels();
}

void LMyFFTDrawBase::SetYLabelScale(double v) {
    FYLabelScale = v;
    if (FAutoRedraw)
        DrawPlotsAndLabels();
}

void LMyFFTDrawBase::SetXAxisFormat(TMyAxisFormat v) {
    FXAxisFormat = v;
    FindXMaxMin();
    if (v == TMyAxisFormat::Log) {
        if (FXMax <= 0) {
            FXMax = 10;
            FXMin = 1;
        } else if (FXMin <= 0) {
            FXMin = 0.1 * FXMax;
        }
        FLogXMin = std::log10(FXMin);
        FLogXMax = std::log10(FXMax);
    }
    if (FAutoRedraw)
        DrawPlotsAndLabels();
}

void LMyFFTDrawBase::SetYAxisFormat(TMyAxisFormat v) {
    FYAxisFormat = v;
    FindYMaxMin();
    if (v == TMyAxisFormat::Log) {
        if (FYMax <= 0) {
            FYMax = 10;
            FYMin = 1;
        } else if (FYMin <= 0) {
            FYMin = 0.1 * FYMax;
        }
        FLogYMin = std::log10(FYMin);
        FLogYMax = std::log10(FYMax);
    }
    if (FAutoRedraw)
        DrawPlotsAndLabels();
}

void LMyFFTDrawBase::SetVisibility(bool& flag, bool v) {
    flag = v;
    ResizePaintPage();
    if (FAutoRedraw)
        Redraw();
}

void LMyFFTDrawBase::SetShowXLabel(bool v) {
    SetVisibility(FShowXLabel, v);
}
void LMyFFTDrawBase::SetShowYLabel(bool v) {
    SetVisibility(FShowYLabel, v);
}
void LMyFFTDrawBase::SetShowXTitle(bool v) {
    SetVisibility(FShowXTitle, v);
}
void LMyFFTDrawBase::SetShowYTitle(bool v) {
    SetVisibility(FShowYTitle, v);
}
void LMyFFTDrawBase::SetShowPlotTitle(bool v) {
    SetVisibility(FShowPlotTitle, v);
}

void LMyFFTDrawBase::SetXLabelFormat(TStringFloatFormat v) {
    FXLabelFormat = v;
    SetShowXLabel(FShowXLabel);
}
void LMyFFTDrawBase::SetXLabelPrecision(int v) {
    FXLabelPrecision = v;
    SetShowXLabel(FShowXLabel);
}
void LMyFFTDrawBase::SetXLabelDigits(int v) {
    FXLabelDigits = v;
    SetShowXLabel(FShowXLabel);
}
void LMyFFTDrawBase::SetYLabelFormat(TStringFloatFormat v) {
    FYLabelFormat = v;
    SetShowYLabel(FShowYLabel);
}
void LMyFFTDrawBase::SetYLabelPrecision(int v) {
    FYLabelPrecision = v;
    SetShowYLabel(FShowYLabel);
}
void LMyFFTDrawBase::SetYLabelDigits(int v) {
    FYLabelDigits = v;
    SetShowYLabel(FShowYLabel);
}

void LMyFFTDrawBase::SetShowCoordinates(bool v) {
    FShowCoordinates = v;
    if (Visible() && FAutoRedraw) {
        FPages[prCoordinate]->Fill(Color());
        CopyPage(prCoordinate);
        DrawAllPlots();
    }
}

void LMyFFTDrawBase::SetXAutoScale(bool v) {
    FXAutoScale = v;
    FindXMaxMin();
    if (FAutoRedraw)
        DrawPlotsAndLabels();
}
void LMyFFTDrawBase::SetYAutoScale(bool v) {
    FYAutoScale = v;
    FindYMaxMin();
    if (FAutoRedraw)
        DrawPlotsAndLabels();
}

void LMyFFTDrawBase::SetBound(double& bound, double v) {
    bound = v;
    CompareMaxMin();
    CalculateLogMaxMin();
    if (FAutoRedraw)
        DrawPlotsAndLabels();
}

void LMyFFTDrawBase::SetXMax(double v) {
    SetBound(FXMax, v);
}
void LMyFFTDrawBase::SetXMin(double v) {
    SetBound(FXMin, v);
}
void LMyFFTDrawBase::SetYMax(double v) {
    SetBound(FYMax, v);
}
void LMyFFTDrawBase::SetYMin(double v) {
    SetBound(FYMin, v);
}

void LMyFFTDrawBase::SetPointSize(int v) {
    FPointSize = std::clamp(v, 1, 10);
    if (FAutoRedraw)
        DrawAllPlots();
}

void LMyFFTDrawBase::SetShowHorzGrid(bool v) {
    FShowHorzGrid = v;
    if (FAutoRedraw)
        DrawAllPlots();
}
void LMyFFTDrawBase::SetShowVertGrid(bool v) {
    FShowVertGrid = v;
    if (FAutoRedraw)
        DrawAllPlots();
}
void LMyFFTDrawBase::SetShowHorzTicks(bool v) {
    FShowHorzTicks = v;
    if (FAutoRedraw)
        DrawAllPlots();
}
void LMyFFTDrawBase::SetShowVertTicks(bool v) {
    FShowVertTicks = v;
    if (FAutoRedraw)
        DrawAllPlots();
}
void LMyFFTDrawBase::SetGridColor(TColor v) {
    FGridColor = v;
    if (FAutoRedraw)
        DrawAllPlots();
}
void LMyFFTDrawBase::SetHorzTickLength(int v) {
    FHorzTickLength = std::clamp(v, 0, std::max(0, Width()));
    if (FAutoRedraw)
        DrawAllPlots();
}
void LMyFFTDrawBase::SetVertTickLength(int v) {
    FVertTickLength = std::clamp(v, 0, std::max(0, Height()));
    if (FAutoRedraw)
        DrawAllPlots();
}
void LMyFFTDrawBase::SetNumHorzGrid(int v) {
    FNumHorzGrid = std::max(0, v);
    if (FAutoRedraw)
        DrawPlotsAndLabels();
}
void LMyFFTDrawBase::SetNumVertGrid(int v) {
    FNumVertGrid = std::max(0, v);
    if (FAutoRedraw)
        DrawPlotsAndLabels();
}

void LMyFFTDrawBase::SetXTitle(const std::string& v) {
    FXTitle = v;
    if (FAutoRedraw)
        DrawTitles();
}
void LMyFFTDrawBase::SetPlotTitle(const std::string& v) {
    FPlotTitle = v;
    if (FAutoRedraw)
        DrawTitles();
}
void LMyFFTDrawBase::SetYTitle(const std::string& v) {
    FYTitle = v;
    ResizePaintPage();
    if (FAutoRedraw)
        DrawTitles();
}
void LMyFFTDrawBase::SetYLabel(const std::string& v) {
    FYLabel = v;
    ResizePaintPage();
    if (FAutoRedraw)
        DrawPlotsAndLabels();
}

void LMyFFTDrawBase::SetFontProperty(TFontRole role, TFont* f) {
    if (f) {
        FSettingFont = true;
        FFonts[role]->Assign(f);
        FSettingFont = false;
    }
    GraphFontChanged(role);
}

void LMyFFTDrawBase::GraphFontChanged(TFontRole role) {
    const TFont* f = FFonts[role].get();
    switch (role) {
    case ftPlotTitle:
        FPages[prPlotTitle]->SetFont(f);
        break;
    case ftAxisTitle:
        FPages[prXTitle]->SetFont(f);
        FPages[prYTitle]->SetFont(f);
        break;
    case ftAxisLabel:
        FPages[prXLabel]->SetFont(f);
        FPages[prYLabel]->SetFont(f);
        break;
    case ftMouseCoord:
        FPages[prCoordinate]->SetFont(f);
        break;
    case FONT_COUNT:
        break;
    }
    ResizePaintPage();
    if (!FAutoRedraw)
        return;
    if (role == ftMouseCoord)
        DrawPlotsAndLabels();
    else
        Redraw();
}

void LMyFFTDrawBase::SetPlotTitleFont(TFont* f) {
    SetFontProperty(ftPlotTitle, f);
}
void LMyFFTDrawBase::SetAxisTitleFont(TFont* f) {
    SetFontProperty(ftAxisTitle, f);
}
void LMyFFTDrawBase::SetAxisLabelFont(TFont* f) {
    SetFontProperty(ftAxisLabel, f);
}
void LMyFFTDrawBase::SetMouseCoordFont(TFont* f) {
    SetFontProperty(ftMouseCoord, f);
}

// ---------------------------------------------------------------------------------------------------
// Mapping and scaling

namespace {

// One axis of the plot page. A log axis keeps the exponents its bounds were last worked out into, and
// puts a value <= 0 a decade below its minimum.
TScaleMap AxisMap(TMyAxisFormat format, double min, double max, double logMin, double logMax, double first,
                  double last) {
    if (format == TMyAxisFormat::Log)
        return TScaleMap(TScaleKind::Log10, logMin, logMax - logMin, first, last - first)
            .NonPositiveAs(0.1 * min);
    return TScaleMap::Linear(min, max, first, last);
}

} // namespace

// The page runs x from 0 at the left and y from 0 at the bottom, upward; mapped back, a page without
// width or height counts as one pixel.
TScaleMap LMyFFTDrawBase::XMap(int width) const {
    return AxisMap(FXAxisFormat, FXMin, FXMax, FLogXMin, FLogXMax, 0, width);
}

TScaleMap LMyFFTDrawBase::YMap(int height) const {
    return AxisMap(FYAxisFormat, FYMin, FYMax, FLogYMin, FLogYMax, height, 0);
}

double LMyFFTDrawBase::ScreenX(double x) const {
    return XMap(FPages[prPlot]->Bitmap()->Width()).ToPixel(x);
}

double LMyFFTDrawBase::ScreenY(double y) const {
    return YMap(FPages[prPlot]->Bitmap()->Height()).ToPixel(y);
}

double LMyFFTDrawBase::PlotX(int px) const {
    return XMap(std::max(1, FPages[prPlot]->Bitmap()->Width())).ToValue(px);
}

double LMyFFTDrawBase::PlotY(int py) const {
    return YMap(std::max(1, FPages[prPlot]->Bitmap()->Height())).ToValue(py);
}

double LMyFFTDrawBase::TopFrequency() const {
    switch (FSampleRate) {
    case TSampleRate::n48000:
        return 24000.0;
    case TSampleRate::n96000:
        return 48000.0;
    case TSampleRate::n192000:
        return 96000.0; // half the sample rate, like the others
    }
    return 24000.0;
}

double LMyFFTDrawBase::AxisLength() const {
    return 256.0 * (1 << static_cast<int>(FFFTNumber));
}

double LMyFFTDrawBase::FrequencyIndex(double hz) const {
    return TScaleMap::Log10(1, TopFrequency(), 0, AxisLength()).ToPixel(hz);
}

namespace {

// The range of one coordinate over every point of every curve, starting from the first point there
// is; -1..1 when no curve holds a point. Curves without points are passed over.
template <class Values>
void CurveRange(const TPlotListMember* head, Values TPlotListMember::*values, double& max, double& min) {
    bool any = false;
    for (const TPlotListMember* m = head; m; m = m->Next)
        for (double v : m->*values) {
            max = any ? std::max(max, v) : v;
            min = any ? std::min(min, v) : v;
            any = true;
        }
    if (!any) {
        max = 1;
        min = -1;
    }
}

} // namespace

void LMyFFTDrawBase::FindXMaxMin() {
    if (!FXAutoScale)
        return;
    CurveRange(FPlots.Head(), &TPlotListMember::X, FXMax, FXMin);
    CompareMaxMin();
    CalculateLogMaxMin();
}

void LMyFFTDrawBase::FindYMaxMin() {
    if (!FYAutoScale)
        return;
    CurveRange(FPlots.Head(), &TPlotListMember::Y, FYMax, FYMin);
    CompareMaxMin();
    CalculateLogMaxMin();
}

void LMyFFTDrawBase::CompareMaxMin() {
    if (FYMax == FYMin)
        FYMax = FYAxisFormat == TMyAxisFormat::Log ? 10 * FYMin : FYMax + 1;
    if (FXMax == FXMin)
        FXMax = FXAxisFormat == TMyAxisFormat::Log ? 10 * FXMin : FXMax + 1;
}

void LMyFFTDrawBase::CalculateLogMaxMin() {
    if (FXAxisFormat == TMyAxisFormat::Log) {
        if (FXMax <= 0)
            FXMax = 10;
        if (FXMin <= 0)
            FXMin = 0.1 * FXMax;
        FLogXMax = std::log10(FXMax);
        FLogXMin = std::log10(FXMin);
    }
    if (FYAxisFormat == TMyAxisFormat::Log) {
        if (FYMax <= 0)
            FYMax = 10;
        if (FYMin <= 0)
            FYMin = 0.01 * FYMax;
        FLogYMax = std::log10(FYMax);
        FLogYMin = std::log10(FYMin);
    }
}

void LMyFFTDrawBase::SetXYMinMax(double xMin, double xMax, double yMin, double yMax) {
    FXMin = xMin;
    FXMax = xMax;
    FYMin = yMin;
    FYMax = yMax;
    CalculateLogMaxMin();
    CompareMaxMin();
    if (FAutoRedraw)
        DrawPlotsAndLabels();
}

// ---------------------------------------------------------------------------------------------------
// Pages and layout

bool LMyFFTDrawBase::PageEmpty(TPageRole role) const {
    return FPages[role]->Bitmap()->Empty();
}

void LMyFFTDrawBase::PageText(TPageRole role, int x, int y, const std::string& text) {
    TCanvas* c = PageCanvas(role);
    if (FTextTrace)
        FTextTrace->push_back({role, x, y, text, c->Font()->Color(), c->Font()->Size()});
    if (!PageEmpty(role))
        c->TextOut(x, y, text);
    if (role == prPlot)
        PlotTouched();
}

std::string LMyFFTDrawBase::XText(double v) const {
    return FloatToStrF(v, ToFloatFormat(FXLabelFormat), FXLabelPrecision, FXLabelDigits);
}
std::string LMyFFTDrawBase::YText(double v) const {
    return FloatToStrF(v, ToFloatFormat(FYLabelFormat), FYLabelPrecision, FYLabelDigits);
}

namespace {

// The widest of the numbers pi * 10^k, k = -100..100, written in a format and measured in a font.
// Measuring them is dear (201 shapings) and the graphs ask again on every property the layout sets,
// always with the same few fonts and formats, so each answer is kept for the life of the program.
int WidestNumber(const TCanvas& canvas, const char* prefix, TFloatFormat format, int precision, int digits) {
    const QFont font = canvas.Font()->ToQFont();
    const std::string key = font.key().toStdString() + '|' + prefix + '|' +
                            std::to_string(static_cast<int>(format)) + '|' + std::to_string(precision) + '|' +
                            std::to_string(digits);
    static std::unordered_map<std::string, int> known;
    if (auto it = known.find(key); it != known.end())
        return it->second;
    int w = 0;
    for (int k = -100; k <= 100; ++k)
        w = std::max(w, canvas.TextWidth(prefix + FloatToStrF(std::numbers::pi * std::pow(10.0, k), format,
                                                              precision, digits)));
    known.emplace(key, w);
    return w;
}

} // namespace

void LMyFFTDrawBase::ResizePaintPage() {
    const int width = Width(), height = Height();
    const int plotWidth = GetPlotWidth(), plotHeight = GetPlotHeight();
    // Dropping labels and titles can only happen once each, so the retries end.
    for (;;) {
        int left = -30, yTitleWidth = 0, plotBottom = height, xLabelBottom = height, top = 0;
        int yTextWidth = 0, yTextHeight = 0;
        if (FShowXLabel) {
            FPages[prXLabel]->SetFont(AxisLabelFont());
            int h = PageCanvas(prXLabel)->TextHeight(XText(FXMin));
            plotBottom = Trunc(plotBottom - 1.2 * h);
        }
        if (FShowXTitle) {
            FPages[prXTitle]->SetFont(AxisTitleFont());
            int t = PageCanvas(prXTitle)->TextHeight(FXTitle);
            plotBottom -= 2 * t;
            xLabelBottom -= 2 * t;
        }
        if (FShowYLabel) {
            FPages[prYLabel]->SetFont(AxisLabelFont());
            const TCanvas* c = PageCanvas(prYLabel);
            int precision = std::max(FXLabelPrecision, FYLabelPrecision);
            int digits = std::max(FXLabelDigits, FYLabelDigits);
            left += WidestNumber(*c, "", ToFloatFormat(FXLabelFormat), precision, digits) + 4;
        }
        if (FShowYTitle) {
            FPages[prYTitleText]->SetFont(AxisTitleFont());
            FPages[prYTitle]->SetFont(AxisTitleFont());
            const TCanvas* c = PageCanvas(prYTitle);
            int t = c->TextHeight(FYTitle);
            left += 2 * t;
            yTitleWidth += 2 * t;
            yTextWidth = c->TextWidth(FYTitle);
            yTextHeight = t;
        }
        if (FShowPlotTitle) {
            FPages[prPlotTitle]->SetFont(PlotTitleFont());
            top += 2 * PageCanvas(prPlotTitle)->TextHeight(FPlotTitle);
        } else {
            top += 10;
        }
        if (FShowCoordinates) {
            FPages[prCoordinate]->SetFont(MouseCoordFont());
            const TCanvas* c = PageCanvas(prCoordinate);
            int s = WidestNumber(*c, "x = ", ToFloatFormat(FYLabelFormat), FYLabelPrecision, FYLabelDigits);
            int h = 2 * c->TextHeight("x = ") + 10;
            FPages[prCoordinate]->SetPageRect(width - s - 5, top + 4, width - 5, top + h + 2);
        }
        if (top < plotBottom && left < width) {
            FPages[prPlot]->SetPageRect(left, top, width - 10, plotBottom);
            FPages[prXLabel]->SetPageRect(left, plotBottom, width - 10, xLabelBottom);
            FPages[prXTitle]->SetPageRect(left, xLabelBottom, width - 10, height);
            FPages[prYLabel]->SetPageRect(yTitleWidth, top, left, height);
            FPages[prYTitle]->SetPageRect(0, top, yTitleWidth, height);
            FPages[prYTitleText]->SetPageRect(0, 0, yTextWidth, yTextHeight);
            FPages[prPlotTitle]->SetPageRect(0, 0, width - 10, top);
            FPages[prRightMargin]->SetPageRect(width - 10, 0, width, height);
        }
        if (top > plotBottom && (FShowPlotTitle || FShowXLabel || FShowXTitle)) {
            FShowPlotTitle = FShowXLabel = FShowXTitle = false;
            continue;
        }
        if (left > width && (FShowYLabel || FShowYTitle)) {
            FShowYLabel = FShowYTitle = false;
            continue;
        }
        break;
    }
    for (int i = 0; i < BLOCK_COUNT; ++i) {
        const TFFTBlock& b = FBlocks[static_cast<std::size_t>(i)];
        SetBlockPosition(ScreenX(b.X), ScreenY(b.Y), i);
    }
    // Resized pages keep only the pixels that still fit: labels are drawn again, and the plot page
    // is built again before its next update.
    for (auto& key : FLabelKeys)
        key.clear();
    if (GetPlotWidth() != plotWidth || GetPlotHeight() != plotHeight)
        PlotTouched();
}

void LMyFFTDrawBase::CopyPage(TPageRole role) {
    FOnScreen[role] = true;
    // The coordinate read-out lies over the plot page and the right margin; copying either covers it.
    if (role == prPlot || role == prRightMargin)
        FOnScreen[prCoordinate] = false;
    // The paint itself copies the pages out; asking for another paint from there would never end.
    if (!FPainting)
        Invalidate();
}

void LMyFFTDrawBase::UpdatePaintPage(TPageRole role) {
    if (DrawingHeld(0)) {
        // The order matters where pages overlap: the coordinate read-out and the plot page.
        if (FHolds > 0) {
            std::erase(FHeldPages, role);
            FHeldPages.push_back(role);
        }
        return;
    }
    ComposePlot();
    CopyPage(role);
}

void LMyFFTDrawBase::ComposePlot() {
    if (FPlotState == psComposed)
        return;
    if (FHolds > 0) {
        FHeld |= hdCompose;
        return;
    }
    // Overlays of an older state, or drawing done straight onto the page, are taken away first.
    if (FPlotState == psDirty)
        DrawAllPlots();
    PaintOverlays();
    FPlotState = psComposed;
    // The toolkit keeps a painter's working buffers with the image it painted, sized to the
    // longest stroke so far; a fresh copy of the pixels lets them go.
    QImage& image = FPages[prPlot]->Bitmap()->Image();
    image = image.copy();
}

void LMyFFTDrawBase::PaintOverlays() {
    FComposing = true;
    BlockPaint();
    if (FLineShown)
        LinePaint();
    TextPaint();
    CuveDisplayPaint();
    FComposing = false;
}

int LMyFFTDrawBase::GetPlotWidth() const {
    return FPages[prPlot]->Bitmap()->Width();
}
int LMyFFTDrawBase::GetPlotHeight() const {
    return FPages[prPlot]->Bitmap()->Height();
}

void LMyFFTDrawBase::SetLineSize(int n) {
    if (n != FLineSize)
        FLineSize = n;
}

bool LMyFFTDrawBase::SetPlotWidth(int w) {
    FPages[prPlot]->Bitmap()->SetWidth(w);
    PlotTouched();
    return true;
}

void LMyFFTDrawBase::ClearPlot() {
    TColor c = Color();
    if (FShowXLabel)
        FPages[prXLabel]->Fill(c);
    if (FShowXTitle)
        FPages[prXTitle]->Fill(c);
    if (FShowYLabel)
        FPages[prYLabel]->Fill(c);
    if (FShowYTitle) {
        FPages[prYTitle]->Fill(c);
        FPages[prYTitleText]->Fill(c);
    }
    if (FShowPlotTitle)
        FPages[prPlotTitle]->Fill(c);
    FPages[prRightMargin]->Fill(c);
    FPages[prPlot]->Fill(c);
    PlotTouched();
}

// ---------------------------------------------------------------------------------------------------
// Base layer

void LMyFFTDrawBase::LogScheme(double logMin, double logMax, int count,
                               const std::function<void(double v)>& each) const {
    // A decade line and `count` lines between it and the next decade, for every decade in range.
    for (double d = std::floor(logMin); d < logMax; d += 1.0) {
        double lo = std::pow(10.0, d), hi = std::pow(10.0, d + 1);
        each(lo);
        for (int k = 1; k <= count; ++k)
            each(lo + k * (hi - lo) / (count + 1));
    }
}

void LMyFFTDrawBase::HorizontalGridValues(const std::function<void(double y)>& each) const {
    if (FYAxisFormat == TMyAxisFormat::Linear) {
        for (int k = 1; k <= FNumHorzGrid; ++k)
            each(FYMin + k * (FYMax - FYMin) / (FNumHorzGrid + 1));
    } else {
        LogScheme(FLogYMin, FLogYMax, FNumHorzGrid, each);
    }
}

void LMyFFTDrawBase::VerticalGridFrequencies(const std::function<void(double x, bool decade)>& each) const {
    if (FXAxisFormat == TMyAxisFormat::Linear) {
        for (int a = 1; a <= 14; ++a)
            for (int i = 1; i <= 10; ++i)
                each(ScreenX(FrequencyIndex(i * std::pow(10.0, a))), i == 1);
    } else {
        LogScheme(FLogXMin, FLogXMax, FNumVertGrid, [&](double v) { each(ScreenX(v), false); });
    }
}

void LMyFFTDrawBase::DrawGrid() {
    if (PageEmpty(prPlot))
        return;
    TCanvas* c = PageCanvas(prPlot);
    const int w = GetPlotWidth(), h = GetPlotHeight();
    c->Pen()->SetColor(FGridColor);
    if (FShowHorzGrid)
        HorizontalGridValues([&](double v) {
            int y = Trunc(ScreenY(v));
            c->MoveTo(0, y);
            c->LineTo(w, y);
        });
    if (FShowVertGrid)
        VerticalGridFrequencies([&](double px, bool decade) {
            if (FXAxisFormat == TMyAxisFormat::Linear)
                c->Pen()->SetColor(decade ? FAxisColor : FGridColor);
            int x = Trunc(px);
            c->MoveTo(x, 0);
            c->LineTo(x, h);
        });
}

void LMyFFTDrawBase::DrawTicks() {
    if (PageEmpty(prPlot))
        return;
    TCanvas* c = PageCanvas(prPlot);
    const int h = GetPlotHeight();
    c->Pen()->SetColor(FAxisColor);
    if (FShowHorzTicks)
        HorizontalGridValues([&](double v) {
            int y = Trunc(ScreenY(v));
            c->MoveTo(0, y);
            c->LineTo(FHorzTickLength, y);
        });
    if (FShowVertTicks) {
        int length = FXAxisFormat == TMyAxisFormat::Linear ? FVertTickLength + 2 : FVertTickLength;
        VerticalGridFrequencies([&](double px, bool) {
            int x = Trunc(px);
            c->MoveTo(x, h);
            c->LineTo(x, h - length);
        });
    }
}

void LMyFFTDrawBase::DrawAxis() {
    if (!Visible() || PageEmpty(prPlot))
        return;
    TCanvas* c = PageCanvas(prPlot);
    const int w = GetPlotWidth(), h = GetPlotHeight();
    c->Pen()->SetColor(FAxisColor);
    c->Brush()->SetStyle(TBrushStyle::bsSolid);
    c->Brush()->SetColor(FAxisColor);
    auto centred = [&] {
        if (FYMax != FYMin) {
            int y = Trunc(ScreenY(0));
            c->MoveTo(0, y);
            c->LineTo(w, y);
        }
        if (FXMax != FXMin) {
            int x = Trunc(ScreenX(0));
            c->MoveTo(x, 0);
            c->LineTo(x, h);
        }
    };
    switch (FAxisStyle) {
    case TMyAxisStyle::Box:
        c->FrameRect(FPages[prPlot]->BitmapRect());
        break;
    case TMyAxisStyle::Centered:
        centred();
        break;
    case TMyAxisStyle::CenteredBox:
        c->FrameRect(FPages[prPlot]->BitmapRect());
        centred();
        break;
    case TMyAxisStyle::LB:
        c->MoveTo(0, 0);
        c->LineTo(0, h - 1);
        c->LineTo(w, h - 1);
        break;
    case TMyAxisStyle::None:
        break;
    }
}

const TPlotListMember* LMyFFTDrawBase::LastCurve() const {
    const TPlotListMember* last = FPlots.Head();
    while (last && last->Next)
        last = last->Next;
    return last;
}

LMyFFTDrawBase::TBaseInputs LMyFFTDrawBase::BaseInputs() const {
    TBaseInputs in;
    in.Width = GetPlotWidth();
    in.Height = GetPlotHeight();
    in.Visible = Visible();
    in.Colour = Color();
    in.GridColour = FGridColor;
    in.AxisColour = FAxisColor;
    in.AxisStyle = FAxisStyle;
    in.XFormat = FXAxisFormat;
    in.YFormat = FYAxisFormat;
    in.XMin = FXMin;
    in.XMax = FXMax;
    in.YMin = FYMin;
    in.YMax = FYMax;
    in.LogXMin = FLogXMin;
    in.LogXMax = FLogXMax;
    in.LogYMin = FLogYMin;
    in.LogYMax = FLogYMax;
    in.HorzGrid = FShowHorzGrid;
    in.VertGrid = FShowVertGrid;
    in.HorzTicks = FShowHorzTicks;
    in.VertTicks = FShowVertTicks;
    in.HorzTickLength = FHorzTickLength;
    in.VertTickLength = FVertTickLength;
    in.NumHorzGrid = FNumHorzGrid;
    in.NumVertGrid = FNumVertGrid;
    in.PointSize = FPointSize;
    in.FFTNumber = FFFTNumber;
    in.SampleRate = FSampleRate;
    in.CurvesVersion = FCurvesVersion;
    return in;
}

void LMyFFTDrawBase::DrawBase() {
    FPages[prPlot]->Fill(Color());
    TCanvas* c = PageCanvas(prPlot);
    // Curves leave a two-pixel pen behind; the grid is always drawn one pixel wide.
    c->Pen()->SetWidth(1);
    DrawGrid();
    DrawTicks();
    DrawAxis();
    const TPlotListMember* last = LastCurve();
    for (const TPlotListMember* m = FPlots.Head(); m && m != last; m = m->Next)
        DrawOnePlot(*m);
}

void LMyFFTDrawBase::SetLayerCache(bool on) {
    FLayerCache = on;
    FBase.Clear();
    FBaseInputs = {};
    for (auto& key : FLabelKeys)
        key.clear();
}

void LMyFFTDrawBase::DrawAllPlots() {
    if (DrawingHeld(hdPlots))
        return;
    if (!Visible() || PageEmpty(prPlot))
        return;
    ++FPlotDraws;
    TCanvas* c = PageCanvas(prPlot);
    const TBaseInputs inputs = BaseInputs();
    if (FLayerCache && !FBase.Empty() && inputs == FBaseInputs) {
        FBase.Restore(FPages[prPlot]->Bitmap()->Image());
    } else {
        DrawBase();
        FBaseState = {c->Pen()->Color(), c->Brush()->Color(), c->Pen()->Width(),
                      c->Pen()->Style(), c->Brush()->Style(), c->PenPos()};
        if (FLayerCache) {
            FBase.Store(FPages[prPlot]->Bitmap()->Image());
            FBaseInputs = inputs;
        }
    }
    // The canvas as the base layer leaves it, whichever way the layer came: the pen and brush set
    // anew (which also ends a background mode set for text).
    c->Pen()->SetStyle(FBaseState.PenStyle == TPenStyle::psClear ? TPenStyle::psSolid : TPenStyle::psClear);
    c->Pen()->SetStyle(FBaseState.PenStyle);
    c->Pen()->SetColor(FBaseState.PenColour);
    c->Pen()->SetWidth(FBaseState.PenWidth);
    c->Brush()->SetStyle(FBaseState.BrushStyle == TBrushStyle::bsClear ? TBrushStyle::bsSolid
                                                                       : TBrushStyle::bsClear);
    c->Brush()->SetStyle(FBaseState.BrushStyle);
    c->Brush()->SetColor(FBaseState.BrushColour);
    if (FBaseState.BrushStyle == TBrushStyle::bsClear)
        c->Brush()->SetStyle(TBrushStyle::bsClear); // a colour makes a clear brush solid
    c->SetPenPos(FBaseState.PenPos);
    if (const TPlotListMember* last = LastCurve())
        DrawOnePlot(*last);
    FPlotState = psClean;
}

void LMyFFTDrawBase::DrawOnePlot(const TPlotListMember& m) {
    if (!Visible() || PageEmpty(prPlot) || m.Count <= 0)
        return;
    TCanvas* c = PageCanvas(prPlot);
    const int w = GetPlotWidth(), h = GetPlotHeight();
    const int style = static_cast<int>(m.Style);
    c->Pen()->SetWidth(2);
    c->Pen()->SetColor(m.Colour);
    c->Brush()->SetColor(style == 1 || style == 3 ? m.Colour : Color());
    c->MoveTo(Trunc(FFTScreenX(m.X[0])), Trunc(FFTScreenY(m.Y[0])));
    // Runs of plain line points go to the canvas as one polyline. A segment with both ends beyond
    // the same edge of the page, by more than the pen's half width, sets no pixel and is left out.
    constexpr int margin = 4;
    auto side = [&](TPoint p) {
        return (p.X < -margin ? 1 : 0) | (p.X >= w + margin ? 2 : 0) | (p.Y < -margin ? 4 : 0) |
               (p.Y >= h + margin ? 8 : 0);
    };
    // Runs are handed over in pieces of a few hundred points: the painter keeps buffers sized to
    // the longest stroke it has drawn, for as long as the page lives. Round joins and caps make
    // the pieces the same pixels as one stroke.
    constexpr std::size_t piece = 256;
    std::vector<TPoint> run;
    run.reserve(piece + 1);
    auto flush = [&] {
        if (run.size() >= 2)
            c->Polyline(run);
        run.clear();
    };
    const int p = FPointSize;
    for (int i = 0; i < m.Count; ++i) {
        const TPoint pt{Trunc(FFTScreenX(m.X[static_cast<std::size_t>(i)])),
                        Trunc(FFTScreenY(m.Y[static_cast<std::size_t>(i)]))};
        if (pt.X < -2 * w || pt.X >= 3 * w || pt.Y < -2 * h || pt.Y >= 3 * h) {
            flush();
            c->MoveTo(pt.X, pt.Y);
            continue;
        }
        switch (style) {
        case 0: {
            const TPoint from = c->PenPos();
            if ((side(from) & side(pt)) != 0) {
                flush();
            } else {
                if (run.empty())
                    run.push_back(from);
                run.push_back(pt);
                if (run.size() > piece) {
                    flush();
                    run.push_back(pt);
                }
            }
            c->MoveTo(pt.X, pt.Y);
            break;
        }
        case 1:
        case 2:
            c->Rectangle(pt.X - p, pt.Y - p, pt.X + p, pt.Y + p);
            break;
        case 3:
        case 4:
            c->LineTo(pt.X, pt.Y);
            c->Rectangle(pt.X - p, pt.Y - p, pt.X + p, pt.Y + p);
            c->MoveTo(pt.X, pt.Y);
            break;
        default:
            break;
        }
    }
    flush();
    c->Pen()->SetWidth(2);
}

// ---------------------------------------------------------------------------------------------------
// Cached layers

void LMyFFTDrawBase::TLayer::Clear() {
    FWidth = FHeight = 0;
    FPalette = {};
    FRuns = {};
    FFull = QImage();
}

void LMyFFTDrawBase::TLayer::Store(const QImage& image) {
    Clear();
    FWidth = image.width();
    FHeight = image.height();
    // Runs of one colour, as (colour index, length) pairs; a run never crosses a row end nor
    // exceeds 255 pixels. Grid lines, axis lines and curves on a plain background make few runs.
    std::vector<std::uint8_t> runs;
    for (int y = 0; y < FHeight; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        int x = 0;
        while (x < FWidth) {
            const QRgb c = line[x];
            int n = 1;
            while (x + n < FWidth && n < 255 && line[x + n] == c)
                ++n;
            auto it = std::find(FPalette.begin(), FPalette.end(), c);
            if (it == FPalette.end()) {
                if (FPalette.size() == 256) {
                    // Too many colours for a table: keep the pixels as they are.
                    const int w = FWidth, h = FHeight;
                    Clear();
                    FWidth = w;
                    FHeight = h;
                    FFull = image.copy();
                    return;
                }
                FPalette.push_back(c);
                it = FPalette.end() - 1;
            }
            runs.push_back(static_cast<std::uint8_t>(it - FPalette.begin()));
            runs.push_back(static_cast<std::uint8_t>(n));
            x += n;
        }
    }
    FRuns.assign(runs.begin(), runs.end()); // exactly the size it needs
}

void LMyFFTDrawBase::TLayer::Restore(QImage& image) const {
    if (image.width() != FWidth || image.height() != FHeight)
        return;
    if (!FFull.isNull()) {
        for (int y = 0; y < FHeight; ++y)
            std::memcpy(image.scanLine(y), FFull.constScanLine(y), static_cast<std::size_t>(FWidth) * 4);
        return;
    }
    std::size_t at = 0;
    for (int y = 0; y < FHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < FWidth; at += 2) {
            const int n = FRuns[at + 1];
            std::fill(line + x, line + x + n, FPalette[FRuns[at]]);
            x += n;
        }
    }
}

// ---------------------------------------------------------------------------------------------------
// Labels and titles

namespace {
struct TLabelText {
    int X, Y;
    std::string Text;
};
} // namespace

bool LMyFFTDrawBase::LabelsUnchanged(TPageRole role, const std::string& key) {
    if (FLayerCache && !key.empty() && FLabelKeys[role] == key)
        return true;
    FLabelKeys[role] = FLayerCache ? key : std::string();
    return false;
}

// Labels are drawn again only when what they show changed: a curve change leaves them alone.
static std::string LabelKey(const TPaintPage& page, TColor colour, const TFont& font,
                            const std::vector<TLabelText>& labels) {
    std::string key = std::to_string(page.Bitmap()->Width()) + "x" + std::to_string(page.Bitmap()->Height()) +
                      "/" + std::to_string(colour) + "/" + font.Name() + "/" + std::to_string(font.Height()) +
                      "/" + std::to_string(font.Color()) + "/" + std::to_string(font.Style().bits);
    for (const auto& l : labels)
        key += "|" + std::to_string(l.X) + "," + std::to_string(l.Y) + "," + l.Text;
    return key;
}

void LMyFFTDrawBase::DrawXAxisLabels() {
    if (DrawingHeld(hdXLabels))
        return;
    if (!FShowXLabel)
        return;
    FPages[prXLabel]->SetFont(AxisLabelFont());
    TCanvas* c = PageCanvas(prXLabel);
    static const double frequencies[] = {20, 100, 1000, 10000, 20000, 50, 200, 500, 2000, 5000};
    const int count = Width() < 800 ? 4 : 10;
    std::vector<TLabelText> labels;
    for (int i = 0; i < count; ++i) {
        double f = frequencies[i];
        std::string text = f < 1000 ? XText(f) + "Hz" : XText(0.001 * f) + "KHz";
        labels.push_back({Trunc(ScreenX(FrequencyIndex(f)) - 0.5 * c->TextWidth(text)), 1, text});
    }
    if (LabelsUnchanged(prXLabel, LabelKey(*FPages[prXLabel], Color(), *c->Font(), labels))) {
        if (FTextTrace)
            for (const auto& l : labels)
                FTextTrace->push_back({prXLabel, l.X, l.Y, l.Text, c->Font()->Color(), c->Font()->Size()});
    } else {
        FPages[prXLabel]->Fill(Color());
        for (const auto& l : labels)
            PageText(prXLabel, l.X, l.Y, l.Text);
    }
    UpdatePaintPage(prXLabel);
}

void LMyFFTDrawBase::DrawYAxisLabels() {
    if (DrawingHeld(hdYLabels))
        return;
    if (!FShowYLabel)
        return;
    FPages[prYLabel]->SetFont(AxisLabelFont());
    TCanvas* c = PageCanvas(prYLabel);
    const int pageWidth = FPages[prYLabel]->Bitmap()->Width();
    std::vector<TLabelText> labels;
    auto put = [&](const std::string& text, int top) {
        labels.push_back({pageWidth - c->TextWidth(text) - 2, top, text});
    };
    if (FYAxisFormat == TMyAxisFormat::Linear) {
        put("+" + YText(FYMax * FYLabelScale) + FYLabel, 0);
        std::string bottom = YText(FYMin * FYLabelScale) + FYLabel;
        put(bottom, Trunc(ScreenY(FYMin) - c->TextHeight(bottom)));
        double step = (FYMax - FYMin) / (FNumHorzGrid + 1);
        for (int k = 2; k - 2 < FNumHorzGrid - 1; k += 2) {
            double u = FYMin + k * step;
            std::string text =
                (u > 0 ? "+" : "") + YText(step * FYLabelScale * k + FYMin * FYLabelScale) + FYLabel;
            put(text, Trunc(ScreenY(u) - c->TextHeight(text) / 2));
        }
    } else {
        for (double k = std::floor(FLogYMin) + 1; k < FLogYMax; k += 1.0) {
            std::string text = YText(std::pow(10.0, k * FYLabelScale)) + FYLabel;
            put(text, Trunc(ScreenY(std::pow(10.0, k)) - c->TextHeight(text) / 2));
        }
    }
    if (LabelsUnchanged(prYLabel, LabelKey(*FPages[prYLabel], Color(), *c->Font(), labels))) {
        if (FTextTrace)
            for (const auto& l : labels)
                FTextTrace->push_back({prYLabel, l.X, l.Y, l.Text, c->Font()->Color(), c->Font()->Size()});
    } else {
        FPages[prYLabel]->Fill(Color());
        for (const auto& l : labels)
            PageText(prYLabel, l.X, l.Y, l.Text);
    }
    UpdatePaintPage(prYLabel);
}

void LMyFFTDrawBase::DrawTitles() {
    if (DrawingHeld(hdTitles))
        return;
    const int plotWidth = GetPlotWidth(), plotHeight = GetPlotHeight();
    FPages[prPlotTitle]->Fill(Color());
    if (FShowPlotTitle) {
        FPages[prPlotTitle]->SetFont(PlotTitleFont());
        TCanvas* c = PageCanvas(prPlotTitle);
        int th = c->TextHeight(FPlotTitle);
        PageText(prPlotTitle, (plotWidth - c->TextWidth(FPlotTitle)) / 2 + FPages[prPlot]->ScreenRect().Left,
                 FPages[prPlotTitle]->Bitmap()->Height() - (3 * th) / 2, FPlotTitle);
    }
    UpdatePaintPage(prPlotTitle);
    if (FShowXTitle) {
        FPages[prXTitle]->Fill(Color());
        FPages[prXTitle]->SetFont(AxisTitleFont());
        TCanvas* c = PageCanvas(prXTitle);
        int th = c->TextHeight(FXTitle);
        PageText(prXTitle, (FPages[prXTitle]->Bitmap()->Width() - c->TextWidth(FXTitle)) / 2,
                 FPages[prXTitle]->Bitmap()->Height() - (3 * th) / 2, FXTitle);
        UpdatePaintPage(prXTitle);
    }
    if (FShowYTitle) {
        FPages[prYTitle]->Fill(Color());
        FPages[prYTitleText]->Fill(Color());
        FPages[prYTitle]->SetFont(AxisTitleFont());
        FPages[prYTitleText]->SetFont(AxisTitleFont());
        PageText(prYTitleText, 0, 0, FYTitle);
        TCanvas* c = PageCanvas(prYTitle);
        PageText(prYTitle, c->TextHeight(FYTitle) / 2, (plotHeight - c->TextWidth(FYTitle)) / 2, FYTitle);
        UpdatePaintPage(prYTitle);
    }
    FPages[prRightMargin]->Fill(Color());
    UpdatePaintPage(prRightMargin);
}

void LMyFFTDrawBase::DrawPlotsAndLabelsNoUpdate() {
    DrawAllPlots();
    DrawXAxisLabels();
    DrawYAxisLabels();
}

void LMyFFTDrawBase::DrawPlotsAndLabels() {
    DrawPlotsAndLabelsNoUpdate();
    UpdatePaintPage(prPlot);
}

void LMyFFTDrawBase::Redraw() {
    DrawPlotsAndLabels();
    DrawTitles();
}

void LMyFFTDrawBase::RedrawScreen() {
    if (FShowXLabel)
        UpdatePaintPage(prXLabel);
    if (FShowXTitle)
        UpdatePaintPage(prXTitle);
    if (FShowYLabel)
        UpdatePaintPage(prYLabel);
    if (FShowYTitle)
        UpdatePaintPage(prYTitle);
    if (FShowPlotTitle)
        UpdatePaintPage(prPlotTitle);
    UpdatePaintPage(prRightMargin);
    UpdatePaintPage(prPlot);
}

void LMyFFTDrawBase::Paint(TCanvas& canvas) {
    FPainting = true;
    if (Width() != FLaidOutWidth || Height() != FLaidOutHeight) {
        FLaidOutWidth = Width();
        FLaidOutHeight = Height();
        ResizePaintPage();
        Redraw();
    }
    // Normally the plot page was finished by its last update and this draws nothing.
    ComposePlot();
    FPainting = false;
    // The pages in the order the old paint copied them; a page shows once it has been updated.
    static const TPageRole order[] = {prXLabel, prYLabel, prPlot,        prPlotTitle,
                                      prXTitle, prYTitle, prRightMargin, prCoordinate};
    for (TPageRole role : order) {
        if (!FOnScreen[role] || PageEmpty(role))
            continue;
        if ((role == prXLabel && !FShowXLabel) || (role == prYLabel && !FShowYLabel) ||
            (role == prXTitle && !FShowXTitle) || (role == prYTitle && !FShowYTitle))
            continue;
        const TPaintPage& page = *FPages[role];
        canvas.CopyRect(page.ScreenRect(), *page.Bitmap()->Canvas(), page.BitmapRect());
    }
    if (FBoxShown) {
        const TRect& plot = FPages[prPlot]->ScreenRect();
        canvas.DrawFocusRect(
            {std::min(FBox.Left, FBox.Right) + plot.Left, std::min(FBox.Top, FBox.Bottom) + plot.Top,
             std::max(FBox.Left, FBox.Right) + plot.Left, std::max(FBox.Top, FBox.Bottom) + plot.Top});
    }
    TPaintBox::Paint(canvas);
}

// ---------------------------------------------------------------------------------------------------
// Curves

bool LMyFFTDrawBase::FFTDraw(const double* x, const double* y, int count, int curve, TColor colour,
                             TMyPlotStyle style) {
    count = std::max(0, count);
    // New points for the curve drawn last leave the cached layer as it is.
    const TPlotListMember* last = LastCurve();
    if (!last || last->CurveNumber != curve)
        CurvesChanged();
    bool present = FPlots.AddOrReplace(x, y, count, curve, colour, style);
    FindXMaxMin();
    FindYMaxMin();
    if (FAutoRedraw)
        DrawPlotsAndLabelsNoUpdate();
    return present;
}

bool LMyFFTDrawBase::FFTDraw(const double* y, int count, int curve, TColor colour, TMyPlotStyle style) {
    std::vector<double> x(static_cast<std::size_t>(std::max(0, count)));
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = static_cast<double>(i);
    return FFTDraw(x.data(), y, count, curve, colour, style);
}

bool LMyFFTDrawBase::FFTDraw(const double* y, int count, double xFirst, double xLast, int curve,
                             TColor colour, TMyPlotStyle style) {
    std::vector<double> x(static_cast<std::size_t>(std::max(0, count)));
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = count > 1 ? xFirst + static_cast<double>(i) * (xLast - xFirst) / (count - 1) : xFirst;
    return FFTDraw(x.data(), y, count, curve, colour, style);
}

bool LMyFFTDrawBase::RemovePlot(int curve) {
    if (!FPlots.Remove(curve))
        return false;
    CurvesChanged();
    FindXMaxMin();
    FindYMaxMin();
    if (FAutoRedraw)
        DrawPlotsAndLabelsNoUpdate();
    return true;
}

bool LMyFFTDrawBase::GetPlotStyle(TMyPlotStyle& style, int curve) const {
    TPlotListMember* m = nullptr;
    if (!FPlots.Find(curve, m))
        return false;
    style = m->Style;
    return true;
}

bool LMyFFTDrawBase::GetPlotColor(TColor& colour, int curve) const {
    TPlotListMember* m = nullptr;
    if (!FPlots.Find(curve, m))
        return false;
    colour = m->Colour;
    return true;
}

bool LMyFFTDrawBase::GetPlotNumPoints(int& count, int curve) const {
    TPlotListMember* m = nullptr;
    if (!FPlots.Find(curve, m))
        return false;
    count = m->Count;
    return true;
}

bool LMyFFTDrawBase::GetPlotX(double* out, int curve) const {
    TPlotListMember* m = nullptr;
    if (!FPlots.Find(curve, m))
        return false;
    std::copy(m->X.begin(), m->X.end(), out);
    return true;
}

bool LMyFFTDrawBase::GetPlotY(double* out, int curve) const {
    TPlotListMember* m = nullptr;
    if (!FPlots.Find(curve, m))
        return false;
    std::copy(m->Y.begin(), m->Y.end(), out);
    return true;
}

bool LMyFFTDrawBase::SetPlotStyle(TMyPlotStyle style, int curve) {
    TPlotListMember* m = nullptr;
    if (!FPlots.Find(curve, m))
        return false;
    m->Style = style;
    CurvesChanged();
    if (FAutoRedraw)
        DrawAllPlots();
    return true;
}

bool LMyFFTDrawBase::SetPlotColor(TColor colour, int curve) {
    TPlotListMember* m = nullptr;
    if (!FPlots.Find(curve, m))
        return false;
    m->Colour = colour;
    CurvesChanged();
    PlotTouched();
    DrawOnePlot(*m);
    RedrawScreen();
    return true;
}

// ---------------------------------------------------------------------------------------------------
// Blocks

void LMyFFTDrawBase::SetBlockPosition(double px, double py, int block) {
    if (block < 0 || block >= BLOCK_COUNT)
        return;
    TFFTBlock& b = FBlocks[static_cast<std::size_t>(block)];
    b.PixelX = px;
    b.PixelY = py;
    b.Pixel = {Trunc(px), Trunc(py)};
    OverlaysChanged();
}

TPoint LMyFFTDrawBase::GetBlockPos(int block) const {
    if (block < 0 || block >= BLOCK_COUNT)
        return {};
    return FBlocks[static_cast<std::size_t>(block)].Pixel;
}

void LMyFFTDrawBase::SetBlockParameter(int block, double frequency, double gain, double q, int type) {
    if (block < 0 || block >= BLOCK_COUNT)
        return;
    TFFTBlock& b = FBlocks[static_cast<std::size_t>(block)];
    b.Frequency = frequency;
    b.Gain = gain;
    b.Q = q;
    b.Type = type;
    OverlaysChanged();
}

bool LMyFFTDrawBase::BlockOffPage(double px, double py) const {
    // Wider than anything a handle draws: its shape and number, its label and its parameter text.
    return px < -200 || px > GetPlotWidth() + 100 || py < -200 || py > GetPlotHeight() + 200;
}

void LMyFFTDrawBase::DrawShape(double px, double py, int shape, int block) {
    if (PageEmpty(prPlot))
        return;
    PlotTouched();
    TCanvas* c = PageCanvas(prPlot);
    const int l = Trunc(px - 3), t = Trunc(py - 3), r = Trunc(px + 3), b = Trunc(py + 3);
    switch (shape) {
    case 0:
    case 1:
        if (shape == 0)
            c->Rectangle(l, t, r, b);
        else
            c->Ellipse(l, t, r, b);
        c->Font()->SetColor(clWhite);
        c->Font()->SetSize(11);
        PageText(prPlot, l, Trunc(py - 23), std::to_string(block + 1));
        break;
    case 2:
    case 3:
        c->Rectangle(l, t, r, b);
        c->Font()->SetColor(clWhite);
        c->Font()->SetSize(8);
        PageText(prPlot, Trunc(px - 8), Trunc(py - 20), shape == 2 ? "LPF" : "HPF");
        c->Font()->SetSize(FTextSize);
        break;
    default:
        break;
    }
}

void LMyFFTDrawBase::DrawBlock(double y, double x, TColor colour, int block, bool hidden, int shape) {
    // Handles outside the table would write past it; they are ignored.
    if (block < 0 || block >= BLOCK_COUNT)
        return;
    TFFTBlock& b = FBlocks[static_cast<std::size_t>(block)];
    b.X = x;
    b.Y = y;
    b.Colour = colour;
    double px = ScreenX(x), py = ScreenY(y);
    SetBlockPosition(px, py, block);
    TCanvas* c = PageCanvas(prPlot);
    c->Pen()->SetColor(colour);
    c->Pen()->SetWidth(1);
    c->Brush()->SetStyle(TBrushStyle::bsCross);
    if (!BlockOffPage(px, py))
        DrawShape(px, py, shape, block);
    b.Shape = shape;
    b.Hidden = hidden;
    OverlaysChanged();
}

void LMyFFTDrawBase::BlockPaint() {
    TCanvas* c = PageCanvas(prPlot);
    for (int i = 0; i < BLOCK_COUNT; ++i) {
        const TFFTBlock& b = FBlocks[static_cast<std::size_t>(i)];
        if (b.Hidden)
            continue;
        double px = ScreenX(b.X), py = ScreenY(b.Y);
        // Handles never placed lie far left of the page, like any handle off it: nothing to draw.
        if (BlockOffPage(px, py))
            continue;
        c->Pen()->SetColor(b.Colour);
        c->Pen()->SetWidth(5);
        c->Brush()->SetStyle(TBrushStyle::bsCross);
        DrawShape(px, py, b.Shape, i);
        if (b.Shape == 1 && FParameterDisplay && (FCurveX != b.X || FCurveGain != b.Y)) {
            int t = b.Type == 7 ? 5 : b.Type == 17 ? 6 : static_cast<int>(std::trunc(b.Type - 1));
            ShowParam(t, b.Gain, b.X, static_cast<float>(b.Frequency), b.Q, clWhite);
        }
        c->Pen()->SetWidth(1);
    }
}

// ---------------------------------------------------------------------------------------------------
// Selected band

void LMyFFTDrawBase::WriteParam(TParamText what, double gain, double x, float frequency, double q,
                                TColor colour) {
    TCanvas* c = PageCanvas(prPlot);
    const double px = ScreenX(x), py = ScreenY(gain);
    c->Pen()->SetColor(colour);
    c->Pen()->SetWidth(1);
    c->Font()->SetColor(colour);
    c->Font()->SetSize(8);
    const double f = frequency;
    // C-style "%4.2f" and friends, without the locale.
    const std::string freqText =
        f >= 1000 ? FormatFixed(0.001 * f, 2, 4) + "KHz" : FormatFixed(f, 1, 4) + "Hz";
    const std::string qText = "Q:" + FormatFixed(q, 2, 4);
    const std::string gainText = FormatFixed(gain, 1, 4) + "dB";
    const int left = Trunc(px - 20);
    const bool above = gain <= 0;
    auto line = [&](const std::string& text, double offset) {
        PageText(prPlot, left, Trunc(py + offset), text);
    };
    switch (what) {
    case ptAll:
        line(qText, above ? -69 : 20);
        line(freqText, above ? -56 : 33);
        line(gainText, above ? -43 : 46);
        break;
    case ptFrequency:
        line(freqText, above ? -43 : 20);
        break;
    case ptQFrequency:
        line(qText, above ? -69 : 20);
        line(freqText, above ? -56 : 33);
        break;
    case ptNone:
        break;
    }
    c->Font()->SetSize(FTextSize);
}

void LMyFFTDrawBase::ShowParam(int type, double gain, double x, float frequency, double q, TColor colour) {
    WriteParam(ParamTextOf(type, false), gain, x, frequency, q, colour);
}

void LMyFFTDrawBase::DrawParam(int type, double gain, double x, float frequency, double q, TColor colour) {
    FCurveType = type;
    FCurveGain = gain;
    FCurveX = x;
    FCurveFrequency = frequency;
    FCurveQ = q;
    FCurveColour = colour;
    OverlaysChanged();
    ShowParam(type, gain, x, frequency, q, colour);
}

void LMyFFTDrawBase::DrawFill(int count, bool outlineWithClosing) {
    if (PageEmpty(prPlot) || count <= 0)
        return;
    PlotTouched();
    const double w = GetPlotWidth(), h = GetPlotHeight();
    std::vector<TGPPoint> pts(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        pts[static_cast<std::size_t>(i)] = {
            Trunc(w * (i - FXMin) / (FXMax - FXMin)),
            Trunc(h - h * (FCurve[static_cast<std::size_t>(i)] - FYMin) / (FYMax - FYMin))};
    // No smoothing mode is set, so the fill is drawn aliased. The outline is an open figure; the
    // fill closes it (alternate fill mode).
    TGPGraphics graphics(PageCanvas(prPlot));
    const ARGB colour = MakeARGB(30, 128, 128, 128);
    TGPSolidBrush brush(colour);
    TGPPen pen(colour, 1.0f);
    TGPGraphicsPath path(FillModeAlternate);
    path.AddCurve(pts.data(), count);
    if (!outlineWithClosing)
        graphics.DrawPath(&pen, &path);
    const double xl = ScreenX(10.0), xr = ScreenX(20000.0), y0 = ScreenY(0), yt = ScreenY(FYMax),
                 yb = ScreenY(FYMin);
    // A line added to a path joins the figure's last point to its start.
    auto line = [&](double x1, double y1, double x2, double y2) {
        path.AddLine(static_cast<REAL>(x1), static_cast<REAL>(y1), static_cast<REAL>(x2),
                     static_cast<REAL>(y2));
    };
    if (FCurveType == 0) {
        line(xl, y0, xr, y0);
    } else if (FCurveType == 1) {
        line(xr, y0, xl, y0);
        line(xl, y0, xl, FCurveGain >= 0 ? yt : yb);
    } else if (FCurveType == 2) {
        line(xr, FCurveGain >= 0 ? yt : yb, xr, y0);
        line(xr, y0, xl, y0);
    } else if (FCurveType >= 3) {
        line(xr, y0, xr, yb);
        line(xr, yb, xl, yb);
    }
    if (outlineWithClosing)
        graphics.DrawPath(&pen, &path);
    graphics.FillPath(&brush, &path);
}

void LMyFFTDrawBase::DrawCurveFill(int, const double* values, int count) {
    count = std::clamp(count, 0, CURVE_POINTS);
    if (values)
        std::copy(values, values + count, FCurve.begin());
    OverlaysChanged();
    DrawFill(count, true);
}

void LMyFFTDrawBase::CuveDisplayPaint() {
    if (!FCurveShown)
        return;
    WriteParam(ParamTextOf(FCurveType, true), FCurveGain, FCurveX, FCurveFrequency, FCurveQ, FCurveColour);
    DrawFill(CURVE_POINTS, false);
}

// ---------------------------------------------------------------------------------------------------
// Indicator line and free text

void LMyFFTDrawBase::DrawIndicator(TPenStyle style) {
    if (PageEmpty(prPlot))
        return;
    PlotTouched();
    TCanvas* c = PageCanvas(prPlot);
    const double px = ScreenX(FLineX);
    c->Pen()->SetWidth(1);
    c->Pen()->SetStyle(style);
    c->Pen()->SetColor(clRed);
    c->MoveTo(Trunc(px), 0);
    c->LineTo(Trunc(px), Height() - 10);
    c->Pen()->SetStyle(TPenStyle::psSolid);
    if (FLineDot) {
        FLinePixelX = Trunc(px);
        const double py = ScreenY(-3.0);
        c->Pen()->SetColor(clYellow);
        c->Pen()->SetWidth(1);
        c->Rectangle(Trunc(px - 4), Trunc(py - 4), Trunc(px + 4), Trunc(py + 4));
    }
}

void LMyFFTDrawBase::DrawLine(double x, TColor colour, bool dot) {
    FLineX = x;
    FLineColour = colour;
    FLineDot = dot;
    FLineShown = true;
    DrawIndicator(TPenStyle::psDash);
}

void LMyFFTDrawBase::LinePaint() {
    if (FLineShown)
        DrawIndicator(TPenStyle::psDot);
}

void LMyFFTDrawBase::DrawTextA(int x, int y, int size, TColor colour, const std::string& fontName,
                               const std::string& text) {
    FTextX = x;
    FTextY = y;
    FTextSize = size;
    FTextColour = colour;
    FTextFont = fontName;
    FText = text;
    OverlaysChanged();
    TCanvas* c = PageCanvas(prPlot);
    c->Font()->SetName(fontName);
    c->Font()->SetSize(size);
    c->SetBkMode(false, Color());
    if (!text.empty())
        PageText(prPlot, x, y, text);
}

void LMyFFTDrawBase::TextPaint() {
    TCanvas* c = PageCanvas(prPlot);
    c->Font()->SetSize(FTextSize);
    c->Font()->SetColor(FTextColour);
    c->Font()->SetName(FTextFont);
    c->SetBkMode(false, Color());
    if (!FText.empty())
        PageText(prPlot, FTextX, FTextY, FText);
}

// ---------------------------------------------------------------------------------------------------
// Copying from another graph

void LMyFFTDrawBase::AfterCopy() {
    CurvesChanged();
    FindXMaxMin();
    FindYMaxMin();
    ResizePaintPage();
    if (FAutoRedraw)
        Redraw();
}

void LMyFFTDrawBase::AssignPlotData(const LMyFFTDrawBase& other) {
    if (&other == this)
        return;
    FPlots.Clear();
    // Adding each curve at the head walks the other list backwards, as copying the store does.
    FPlots.AppendFrom(other.FPlots);
    AfterCopy();
}

void LMyFFTDrawBase::AppendPlotData(const LMyFFTDrawBase& other) {
    if (&other == this)
        return;
    FPlots.AppendFrom(other.FPlots);
    AfterCopy();
}

void LMyFFTDrawBase::AssignPlotProperties(const LMyFFTDrawBase& other) {
    if (&other == this)
        return;
    FAutoRedraw = other.FAutoRedraw;
    FAxisColor = other.FAxisColor;
    FAxisStyle = other.FAxisStyle;
    FXAxisFormat = other.FXAxisFormat;
    FYAxisFormat = other.FYAxisFormat;
    FShowXLabel = other.FShowXLabel;
    FShowYLabel = other.FShowYLabel;
    FYAutoScale = other.FYAutoScale;
    FXAutoScale = other.FXAutoScale;
    FYLabelScale = other.FYLabelScale;
    FYMax = other.FYMax;
    FYMin = other.FYMin;
    FXMax = other.FXMax;
    FXMin = other.FXMin;
    FLogXMin = other.FLogXMin;
    FLogXMax = other.FLogXMax;
    FLogYMin = other.FLogYMin;
    FLogYMax = other.FLogYMax;
    FShowCoordinates = other.FShowCoordinates;
    FYLabelPrecision = other.FYLabelPrecision;
    FXLabelPrecision = other.FXLabelPrecision;
    FXLabelDigits = other.FXLabelDigits;
    FYLabelDigits = other.FYLabelDigits;
    FYLabelFormat = other.FYLabelFormat;
    FXLabelFormat = other.FXLabelFormat;
    FPointSize = other.FPointSize;
    FMouseControl = other.FMouseControl;
    FShowVertGrid = other.FShowVertGrid;
    FShowHorzGrid = other.FShowHorzGrid;
    FShowVertTicks = other.FShowVertTicks;
    FShowHorzTicks = other.FShowHorzTicks;
    FVertTickLength = other.FVertTickLength;
    FHorzTickLength = other.FHorzTickLength;
    FNumVertGrid = other.FNumVertGrid;
    FNumHorzGrid = other.FNumHorzGrid;
    FGridColor = other.FGridColor;
    FShowXTitle = other.FShowXTitle;
    FShowYTitle = other.FShowYTitle;
    FShowPlotTitle = other.FShowPlotTitle;
    FXTitle = other.FXTitle;
    FYTitle = other.FYTitle;
    FYLabel = other.FYLabel;
    FPlotTitle = other.FPlotTitle;
    FFFTNumber = other.FFFTNumber;
    SetBounds(Left(), Top(), other.Width(), other.Height());
    FSettingFont = true;
    for (std::size_t i = 0; i < FFonts.size(); ++i)
        FFonts[i]->Assign(other.FFonts[i].get());
    FSettingFont = false;
    FPages[prPlotTitle]->SetFont(PlotTitleFont());
    FPages[prXTitle]->SetFont(AxisTitleFont());
    FPages[prYTitle]->SetFont(AxisTitleFont());
    FPages[prXLabel]->SetFont(AxisLabelFont());
    FPages[prYLabel]->SetFont(AxisLabelFont());
    FPages[prCoordinate]->SetFont(MouseCoordFont());
    if (FAutoRedraw)
        Redraw();
}

void LMyFFTDrawBase::AssignPlot(const LMyFFTDrawBase& other) {
    if (&other == this)
        return;
    // Pages and fonts are made anew, as at creation.
    for (auto& f : FFonts)
        f->OnChange = nullptr;
    Initialize();
    FOnScreen = {};
    SetLayerCache(FLayerCache);
    FPlotState = psDirty;
    FPlots.Clear();
    FPlots.AppendFrom(other.FPlots);
    AssignPlotProperties(other);
    AfterCopy();
}

// ---------------------------------------------------------------------------------------------------
// Mouse

void LMyFFTDrawBase::DrawMouseCoord() {
    TPaintPage& page = *FPages[prCoordinate];
    if (page.Bitmap()->Empty())
        return;
    page.Fill(Color());
    page.SetFont(MouseCoordFont());
    const int h = PageCanvas(prCoordinate)->TextHeight("x = ");
    PageText(prCoordinate, 0, 0, "x = " + YText(FMouseX));
    PageText(prCoordinate, 0, h, "y = " + YText(FMouseY));
    CopyPage(prCoordinate);
}

void LMyFFTDrawBase::InvertBox() {
    // Drawn by XOR over the pages at paint; drawing it again takes it away.
    FBoxShown = !FBoxShown;
    Invalidate();
}

void LMyFFTDrawBase::MouseDown1(TMouseButton button, TShiftState shift, int x, int y) {
    if (!FMouseControl || button != TMouseButton::mbLeft)
        return;
    const TRect& plot = FPages[prPlot]->ScreenRect();
    FLastMouse = {x - plot.Left, y - plot.Top};
    if (shift.Contains(TShiftItem::ssCtrl)) {
        FMouseMode = mmBox;
        FBox = {FLastMouse.X, FLastMouse.Y, FLastMouse.X, FLastMouse.Y};
        InvertBox();
    } else {
        FMouseMode = shift.Contains(TShiftItem::ssAlt) ? mmZoom : mmPan;
    }
}

void LMyFFTDrawBase::MouseMove1(TShiftState, int x, int y) {
    if (!FMouseControl)
        return;
    const TRect& plot = FPages[prPlot]->ScreenRect();
    const TPoint p{x - plot.Left, y - plot.Top};
    FMouseX = PlotX(p.X);
    FMouseY = PlotY(p.Y);
    if (FShowCoordinates)
        DrawMouseCoord();
    const double w = std::max(1, GetPlotWidth()), h = std::max(1, GetPlotHeight());
    const double dx = (p.X - FLastMouse.X) * (FXMax - FXMin) / w;
    const double dy = (p.Y - FLastMouse.Y) * (FYMax - FYMin) / h;
    switch (FMouseMode) {
    case mmPan:
        FLastMouse = p;
        SetXYMinMax(FXMin - dx, FXMax - dx, FYMin + dy, FYMax + dy);
        break;
    case mmZoom: {
        // Dragging up narrows both ranges about their middle, dragging down widens them.
        const double factor = std::clamp(1.0 + (p.Y - FLastMouse.Y) / h, 0.1, 10.0);
        FLastMouse = p;
        const double cx = (FXMin + FXMax) / 2, hx = (FXMax - FXMin) / 2 * factor;
        const double cy = (FYMin + FYMax) / 2, hy = (FYMax - FYMin) / 2 * factor;
        SetXYMinMax(cx - hx, cx + hx, cy - hy, cy + hy);
        break;
    }
    case mmBox:
        InvertBox();
        FBox.Right = p.X;
        FBox.Bottom = p.Y;
        InvertBox();
        break;
    case mmNone:
        break;
    }
}

void LMyFFTDrawBase::MouseUp1(TMouseButton button, TShiftState, int x, int y) {
    if (!FMouseControl || button != TMouseButton::mbLeft)
        return;
    TMouseMode mode = FMouseMode;
    FMouseMode = mmNone;
    if (mode != mmBox)
        return;
    InvertBox();
    const TRect& plot = FPages[prPlot]->ScreenRect();
    FBox.Right = x - plot.Left;
    FBox.Bottom = y - plot.Top;
    // A box without area would leave equal bounds; it is ignored.
    if (FBox.Left == FBox.Right || FBox.Top == FBox.Bottom)
        return;
    const double x1 = PlotX(FBox.Left), x2 = PlotX(FBox.Right);
    const double y1 = PlotY(FBox.Top), y2 = PlotY(FBox.Bottom);
    SetXYMinMax(std::min(x1, x2), std::max(x1, x2), std::min(y1, y2), std::max(y1, y2));
}

void LMyFFTDrawBase::DblClick1() {
    if (!FMouseControl)
        return;
    FindYMaxMin();
    FindXMaxMin();
    DrawPlotsAndLabels();
}

} // namespace kv
