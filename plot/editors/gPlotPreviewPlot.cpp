#include "plot/editors/gPlotPreviewPlot.h"

#include "plot/gPlotComponent.h"
#include "plot/gPlotMasterManager.h"
#include "plot/gPlotToolBar.h"

namespace kv {

double TgPlotPreviewPlotSource::PreviewPrintMarginLeft() {
    return FPlot.PrintMarginLeft();
}
double TgPlotPreviewPlotSource::PreviewPrintMarginTop() {
    return FPlot.PrintMarginTop();
}
double TgPlotPreviewPlotSource::PreviewPrintMarginRight() {
    return FPlot.PrintMarginRight();
}
double TgPlotPreviewPlotSource::PreviewPrintMarginBottom() {
    return FPlot.PrintMarginBottom();
}
TPrinterOrientation TgPlotPreviewPlotSource::PreviewPrintOrientation() {
    return FPlot.PrintOrientation();
}
std::string TgPlotPreviewPlotSource::PreviewPrintDocumentName() {
    return FPlot.PrintDocumentName();
}

void TgPlotPreviewPlotSource::SetPreviewPrintSettings(double left, double top, double right, double bottom,
                                                      TPrinterOrientation orientation,
                                                      const std::string& documentName) {
    FPlot.SetPrintMarginLeft(left);
    FPlot.SetPrintMarginTop(top);
    FPlot.SetPrintMarginRight(right);
    FPlot.SetPrintMarginBottom(bottom);
    FPlot.SetPrintOrientation(orientation);
    FPlot.SetPrintDocumentName(documentName);
}

bool TgPlotPreviewPlotSource::PreviewToolBarVisible() {
    return FPlot.ToolBarCount() > 0 && FPlot.GetToolBar(0)->Visible();
}

void TgPlotPreviewPlotSource::SetPreviewToolBarVisible(bool visible) {
    if (FPlot.ToolBarCount() > 0)
        FPlot.GetToolBar(0)->SetVisible(visible);
}

void TgPlotPreviewPlotSource::PreviewBeforePrint(TObject* sender) {
    if (FPlot.OnBeforePrint)
        FPlot.OnBeforePrint(sender);
}

void TgPlotPreviewPlotSource::PreviewAfterPrint(TObject* sender) {
    if (FPlot.OnAfterPrint)
        FPlot.OnAfterPrint(sender);
}

TSize TgPlotPreviewPlotSource::PreviewSnapShotSize() {
    return {FPlot.Width(), FPlot.Height()};
}

void TgPlotPreviewPlotSource::PreviewDrawSnapShot(TCanvas& canvas, const TRect& rect) {
    if (FPlot.Width() <= 0 || FPlot.Height() <= 0)
        return;
    TBitmap snapShot(FPlot.Width(), FPlot.Height());
    FPlot.gPaintToDC(0, 0, *snapShot.Canvas(), false);
    canvas.StretchDraw(rect, &snapShot);
}

void TgPlotPreviewPlotSource::PreviewPrint() {
    FPlot.PrintChart();
}

void TgPlotPreviewPlotSource::PreviewTranslateForm(TComponent* form) {
    if (FPlot.Master())
        FPlot.Master()->TranslateForm(form);
}

void gPlotPreviewChart(TgPlotComponent& plot, const std::function<void(TgPlotPreviewForm&)>& run) {
    TgPlotPreviewPlotSource source(plot);
    TgPlotPreviewForm form(nullptr);
    form.gComponent = &plot;
    form.SetSource(&source);
    form.SetCaption(plot.PrintDocumentName() + " (Preview)");
    form.DoTranslation();
    if (run)
        run(form);
    else
        form.ShowModal();
}

void gRegisterPlotPreview() {
    gSetPlotPreviewRunner([](TgPlotComponent& plot) { gPlotPreviewChart(plot); });
}

} // namespace kv
