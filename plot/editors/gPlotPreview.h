#pragma once
// The print preview window: one page of the chosen paper with a drop shadow, the plot's snapshot
// scaled into the page's printable area, and buttons to print, to change the page settings and to
// close. It reaches the plot only through IgPlotPreviewSource, so that it can be shown (and tested)
// without the printer behind it.

#include "platform/gui/Forms.h"
#include "plot/gPlotMasterManager.h"

#include <string>

namespace kv {

class TButton;
class TImage;
class TPanel;
class TgPaintBox;
class TgComponent;
class TgPlotPreviewSettingsForm;

// What the preview needs of the plot it shows.
class IgPlotPreviewSource {
public:
    virtual ~IgPlotPreviewSource() = default;
    // The plot's print margins (inches), orientation and document name.
    virtual double PreviewPrintMarginLeft() = 0;
    virtual double PreviewPrintMarginTop() = 0;
    virtual double PreviewPrintMarginRight() = 0;
    virtual double PreviewPrintMarginBottom() = 0;
    virtual TPrinterOrientation PreviewPrintOrientation() = 0;
    virtual std::string PreviewPrintDocumentName() = 0;
    virtual void SetPreviewPrintSettings(double left, double top, double right, double bottom,
                                         TPrinterOrientation orientation,
                                         const std::string& documentName) = 0;
    // Toolbar 0's visibility; a plot without a toolbar answers false and ignores the setter, so that
    // it previews like any other.
    virtual bool PreviewToolBarVisible() = 0;
    virtual void SetPreviewToolBarVisible(bool visible) = 0;
    // The plot's OnBeforePrint / OnAfterPrint, with `sender` as their sender.
    virtual void PreviewBeforePrint(TObject* sender) = 0;
    virtual void PreviewAfterPrint(TObject* sender) = 0;
    // A fresh snapshot of the plot (its size), and drawing it stretched into a rectangle.
    virtual TSize PreviewSnapShotSize() = 0;
    virtual void PreviewDrawSnapShot(TCanvas& canvas, const TRect& rect) = 0;
    // Prints the plot.
    virtual void PreviewPrint() = 0;
    // Replaces the form's texts through the plot's translation list.
    virtual void PreviewTranslateForm(TComponent* form) = 0;
};

// Paper indexes of the preview (PrintSize): 0 Letter, 1 Legal, 2 A3, 3 A4, 4 A5.
// The sheet in inches of a paper index, swapped in landscape; an unknown index gives Letter.
void gPlotPreviewPaperSize(int printSize, TPrinterOrientation orientation, double& width, double& height);

// Where the page and the plot land in a paint box of `boxWidth` x `boxHeight`.
struct TgPlotPreviewGeometry {
    TRect Page; // the white sheet (the shadow is this moved by 7, 7)
    int PixelsPerInch = 0;
    int PrintableWidth = 0, PrintableHeight = 0;
    TRect Plot; // the snapshot, scaled to fit the printable area keeping its aspect
};
TgPlotPreviewGeometry gPlotPreviewLayout(int boxWidth, int boxHeight, double paperWidth, double paperHeight,
                                         double marginLeft, double marginTop, double marginRight,
                                         double marginBottom, TSize snapShot);

class TgPlotPreviewForm : public TForm {
    KV_CLASS(TgPlotPreviewForm)
public:
    explicit TgPlotPreviewForm(TComponent* owner);
    ~TgPlotPreviewForm() override;

    // The plot shown; its margins, orientation and document name are taken over.
    void SetSource(IgPlotPreviewSource* source);
    IgPlotPreviewSource* Source() const { return FSource; }

    TgComponent* gComponent = nullptr;
    double PrintMarginLeft = 0, PrintMarginTop = 0, PrintMarginRight = 0, PrintMarginBottom = 0;
    TPrinterOrientation PrintOrientation = TPrinterOrientation::poPortrait;
    std::string PrintDocumentName;
    std::int32_t PrintSize = 0;

    TPanel* Panel2 = nullptr;
    TButton* PrintButton = nullptr;
    TButton* SettingsButton = nullptr;
    TButton* CloseButton = nullptr;
    TgPaintBox* Preview = nullptr;

    void PreviewPaint(TObject* sender);
    void PrintButtonClick(TObject* sender);
    void SettingsButtonClick(TObject* sender);
    void CloseButtonClick(TObject* sender);
    void DoTranslation();

    // Draws the whole preview (background, shadow, page and plot) on a canvas of the given size.
    void DrawPage(TCanvas& canvas, int width, int height);
    // Shows the settings dialog modally; tests replace it to answer for the user.
    std::function<TModalResult(TgPlotPreviewSettingsForm&)> RunSettings;

private:
    IgPlotPreviewSource* FSource = nullptr;
    TImage* FPrintPicture = nullptr;
};

} // namespace kv
