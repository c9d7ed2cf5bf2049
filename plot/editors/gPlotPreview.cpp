#include "plot/editors/gPlotPreview.h"

#include "platform/core/Numbers.h"
#include "platform/gui/Layout.h"
#include "platform/gui/StdButtons.h"
#include "platform/gui/StdEdits.h"
#include "platform/gui/StdLists.h"
#include "platform/gui/StdPanels.h"
#include "plot/editors/gComponentEditor.h"
#include "plot/editors/gPlotPreviewSettings.h"
#include "plot/gDraw.h"

#include <cmath>

namespace kv {

KV_REGISTER_CLASS(TgPlotPreviewForm, TForm, b) {
    (void)b;
}

void gPlotPreviewPaperSize(int printSize, TPrinterOrientation orientation, double& width, double& height) {
    // Printer paper codes of Letter, Legal, A3, A4 and A5.
    static constexpr int kCodes[] = {1, 5, 8, 9, 11};
    const int code = printSize >= 0 && printSize < 5 ? kCodes[printSize] : 1;
    gGetPaperSize(code, width, height);
    if (orientation == TPrinterOrientation::poLandscape)
        std::swap(width, height);
}

TgPlotPreviewGeometry gPlotPreviewLayout(int boxWidth, int boxHeight, double paperWidth, double paperHeight,
                                         double marginLeft, double marginTop, double marginRight,
                                         double marginBottom, TSize snapShot) {
    TgPlotPreviewGeometry g;
    const int aw = boxWidth - 20, ah = boxHeight - 20;
    int pw, ph;
    if (double(ah) / paperHeight > double(aw) / paperWidth) {
        pw = aw;
        ph = int(std::lround(paperHeight * aw / paperWidth));
    } else {
        ph = ah;
        pw = int(std::lround(ah / paperHeight * paperWidth));
    }
    const int k = int(std::lround(pw / paperWidth));
    g.PixelsPerInch = k;
    g.PrintableWidth = pw - int(std::lround((marginLeft + marginRight) * k));
    g.PrintableHeight = ph - int(std::lround((marginTop + marginBottom) * k));
    g.Page = {boxWidth / 2 - pw / 2 - 5, boxHeight / 2 - ph / 2 - 5, boxWidth / 2 + pw / 2 - 5,
              boxHeight / 2 + ph / 2 - 5};
    int w = 0, h = 0;
    if (snapShot.cx > 0 && snapShot.cy > 0) {
        if (double(g.PrintableWidth) / snapShot.cx >= double(g.PrintableHeight) / snapShot.cy) {
            h = g.PrintableHeight;
            w = int(std::lround(double(snapShot.cx) * g.PrintableHeight / snapShot.cy));
        } else {
            w = g.PrintableWidth;
            h = int(std::lround(double(snapShot.cy) * g.PrintableWidth / snapShot.cx));
        }
    }
    const int left = g.Page.Left + int(std::lround(k * marginLeft));
    const int top = g.Page.Top + int(std::lround(k * marginTop));
    g.Plot = {left, top, left + w, top + h};
    return g;
}

TgPlotPreviewForm::TgPlotPreviewForm(TComponent* owner) : TForm(owner) {
    SetName("gPlotPreviewForm");
    SetCaption("Tarvek Plot Preview");
    SetBorderIcons({TBorderIcon::biSystemMenu, TBorderIcon::biMaximize});
    SetPosition(TPosition::poScreenCenter);
    SetColor(clBtnFace);
    SetBounds(0, 0, 836, 563);
    Constraints()->SetMinWidth(500);
    Constraints()->SetMinHeight(300);

    Panel2 = new TPanel(this);
    Panel2->SetName("Panel2");
    Panel2->SetParent(this);
    Panel2->SetCaption("");
    Panel2->SetHeight(41);
    Panel2->SetAlign(TAlign::alTop);

    PrintButton = new TButton(this);
    PrintButton->SetName("PrintButton");
    PrintButton->SetParent(Panel2);
    PrintButton->SetCaption("");
    PrintButton->SetBounds(8, 8, 28, 28);
    PrintButton->OnClick = [this](TObject* s) { PrintButtonClick(s); };
    FPrintPicture = new TImage(this);
    FPrintPicture->SetName("PrintPicture");
    FPrintPicture->SetParent(PrintButton);
    FPrintPicture->SetBounds(2, 2, 24, 24);
    FPrintPicture->SetCenter(true);
    FPrintPicture->SetTransparent(true);
    FPrintPicture->Picture()->LoadFromBytes(ResourceBytes("plot/SMALLPRINTER.png"));
    FPrintPicture->OnClick = [this](TObject* s) { PrintButtonClick(s); };

    SettingsButton = new TButton(this);
    SettingsButton->SetName("SettingsButton");
    SettingsButton->SetParent(Panel2);
    SettingsButton->SetCaption("Settings");
    SettingsButton->SetBounds(48, 8, 75, 28);
    SettingsButton->OnClick = [this](TObject* s) { SettingsButtonClick(s); };

    CloseButton = new TButton(this);
    CloseButton->SetName("CloseButton");
    CloseButton->SetParent(Panel2);
    CloseButton->SetCaption("Close");
    CloseButton->SetBounds(135, 8, 75, 28);
    CloseButton->OnClick = [this](TObject* s) { CloseButtonClick(s); };

    Preview = new TgPaintBox(this);
    Preview->SetName("Preview");
    Preview->SetParent(this);
    Preview->SetAlign(TAlign::alClient);
    Preview->OnPaint = [this](TObject* s) { PreviewPaint(s); };

    RunSettings = [](TgPlotPreviewSettingsForm& form) { return form.ShowModal(); };
}

TgPlotPreviewForm::~TgPlotPreviewForm() = default;

void TgPlotPreviewForm::SetSource(IgPlotPreviewSource* source) {
    FSource = source;
    if (!source)
        return;
    PrintMarginLeft = source->PreviewPrintMarginLeft();
    PrintMarginTop = source->PreviewPrintMarginTop();
    PrintMarginRight = source->PreviewPrintMarginRight();
    PrintMarginBottom = source->PreviewPrintMarginBottom();
    PrintOrientation = source->PreviewPrintOrientation();
    PrintDocumentName = source->PreviewPrintDocumentName();
    PrintSize = 0;
}

void TgPlotPreviewForm::DrawPage(TCanvas& canvas, int width, int height) {
    canvas.Pen()->SetStyle(TPenStyle::psSolid);
    canvas.Pen()->SetWidth(1);
    canvas.Pen()->SetColor(clBlack);
    canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
    canvas.Brush()->SetColor(clBtnFace);
    canvas.FillRect({0, 0, width, height});
    if (!FSource)
        return;
    double paperWidth = 0, paperHeight = 0;
    gPlotPreviewPaperSize(PrintSize, PrintOrientation, paperWidth, paperHeight);
    // The page shows the plot's own margins: the preview's copies change only through the settings,
    // which also hand them to the plot.
    const TgPlotPreviewGeometry g =
        gPlotPreviewLayout(width, height, paperWidth, paperHeight, FSource->PreviewPrintMarginLeft(),
                           FSource->PreviewPrintMarginTop(), FSource->PreviewPrintMarginRight(),
                           FSource->PreviewPrintMarginBottom(), FSource->PreviewSnapShotSize());
    canvas.Brush()->SetColor(clBlack);
    canvas.Rectangle(g.Page.Left + 7, g.Page.Top + 7, g.Page.Right + 7, g.Page.Bottom + 7);
    canvas.Brush()->SetColor(clWhite);
    canvas.Rectangle(g.Page);
    if (g.Plot.Right > g.Plot.Left && g.Plot.Bottom > g.Plot.Top)
        FSource->PreviewDrawSnapShot(canvas, g.Plot);
}

void TgPlotPreviewForm::PreviewPaint(TObject*) {
    TCanvas* target = Preview->Canvas();
    if (!target)
        return;
    const int width = Preview->Width(), height = Preview->Height();
    if (!FSource) {
        DrawPage(*target, width, height);
        return;
    }
    TBitmap bitmap(width, height);
    // The toolbar stays out of the page, as it stays out of print.
    const bool toolBarVisible = FSource->PreviewToolBarVisible();
    FSource->SetPreviewToolBarVisible(false);
    try {
        FSource->PreviewBeforePrint(this);
        DrawPage(*bitmap.Canvas(), width, height);
        target->Draw(0, 0, &bitmap);
    } catch (...) {
        FSource->SetPreviewToolBarVisible(toolBarVisible);
        throw;
    }
    FSource->SetPreviewToolBarVisible(toolBarVisible);
    FSource->PreviewAfterPrint(this);
}

void TgPlotPreviewForm::PrintButtonClick(TObject*) {
    if (FSource)
        FSource->PreviewPrint();
    Preview->Invalidate();
}

void TgPlotPreviewForm::SettingsButtonClick(TObject*) {
    auto form = std::make_unique<TgPlotPreviewSettingsForm>(nullptr);
    form->PrintMarginLeftEdit->SetAsFloat(PrintMarginLeft);
    form->PrintMarginTopEdit->SetAsFloat(PrintMarginTop);
    form->PrintMarginRightEdit->SetAsFloat(PrintMarginRight);
    form->PrintMarginBottomEdit->SetAsFloat(PrintMarginBottom);
    form->SetOrientationIndex(PrintOrientation == TPrinterOrientation::poLandscape ? 1 : 0);
    form->PrintDocumentNameEdit->SetAsString(PrintDocumentName);
    form->PrintPaperSizeComboBox->SetAsInteger(PrintSize);
    if (FSource)
        FSource->PreviewTranslateForm(form.get());
    if (RunSettings(*form) != mrOk)
        return;
    PrintMarginLeft = gPlotPreviewEditValue(*form->PrintMarginLeftEdit);
    PrintMarginTop = gPlotPreviewEditValue(*form->PrintMarginTopEdit);
    PrintMarginRight = gPlotPreviewEditValue(*form->PrintMarginRightEdit);
    PrintMarginBottom = gPlotPreviewEditValue(*form->PrintMarginBottomEdit);
    PrintOrientation =
        form->OrientationIndex() == 1 ? TPrinterOrientation::poLandscape : TPrinterOrientation::poPortrait;
    PrintDocumentName = form->PrintDocumentNameEdit->AsString();
    const int paper = form->PrintPaperSizeComboBox->AsInteger();
    PrintSize = paper >= 0 && paper < 5 ? paper : 0;
    if (FSource)
        FSource->SetPreviewPrintSettings(PrintMarginLeft, PrintMarginTop, PrintMarginRight, PrintMarginBottom,
                                         PrintOrientation, PrintDocumentName);
    SetCaption(PrintDocumentName + " (Preview)");
    Preview->Invalidate();
}

void TgPlotPreviewForm::CloseButtonClick(TObject*) {
    SetModalResult(mrOk);
}

void TgPlotPreviewForm::DoTranslation() {
    if (FSource)
        FSource->PreviewTranslateForm(this);
}

} // namespace kv
