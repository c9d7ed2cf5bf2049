#pragma once
// The plot control seen through the print preview's interface, and the preview opened on a plot.

#include "plot/editors/gPlotPreview.h"

namespace kv {

class TgPlotComponent;

class TgPlotPreviewPlotSource : public IgPlotPreviewSource {
public:
    explicit TgPlotPreviewPlotSource(TgPlotComponent& plot) : FPlot(plot) {}

    double PreviewPrintMarginLeft() override;
    double PreviewPrintMarginTop() override;
    double PreviewPrintMarginRight() override;
    double PreviewPrintMarginBottom() override;
    TPrinterOrientation PreviewPrintOrientation() override;
    std::string PreviewPrintDocumentName() override;
    void SetPreviewPrintSettings(double left, double top, double right, double bottom,
                                 TPrinterOrientation orientation, const std::string& documentName) override;
    bool PreviewToolBarVisible() override;
    void SetPreviewToolBarVisible(bool visible) override;
    void PreviewBeforePrint(TObject* sender) override;
    void PreviewAfterPrint(TObject* sender) override;
    TSize PreviewSnapShotSize() override;
    void PreviewDrawSnapShot(TCanvas& canvas, const TRect& rect) override;
    void PreviewPrint() override;
    void PreviewTranslateForm(TComponent* form) override;

private:
    TgPlotComponent& FPlot;
};

// Opens the preview of a plot modally: the plot's margins, orientation and document name, the caption
// "<document name> (Preview)", the texts translated; `run` shows it (ShowModal by default).
void gPlotPreviewChart(TgPlotComponent& plot, const std::function<void(TgPlotPreviewForm&)>& run = nullptr);
// Makes every plot's PreviewChart open this preview (the plot library cannot reach its editor windows by
// itself); a program that offers previews calls it once at start.
void gRegisterPlotPreview();

} // namespace kv
