// The plot rendered into other targets than its window: the clipboard, a snapshot picture, image files
// and the printer, where X axis 0's range is spread over pages.

#include "plot/gPlotComponent.h"

#include "platform/gui/Printing.h"

#include <QClipboard>
#include <QDir>
#include <QGuiApplication>
#include <QMimeData>
#include <QPageLayout>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <vector>

namespace kv {

std::function<std::unique_ptr<TgPlotPrinter>()> TgPlotPrinter::PrinterFactory;
std::function<bool(const std::string& title)> TgPlotPrinter::DialogHook;

namespace {

TgPlotPreviewRunner& ExportPreviewRunner() {
    static TgPlotPreviewRunner runner;
    return runner;
}

// Qt's printer; `toFile` prints into a PDF in the platform's print folder.
class ExportSystemPrinter : public TgPlotPrinter {
public:
    explicit ExportSystemPrinter(bool toFile) : FPrinter(QPrinter::HighResolution), FToFile(toFile) {
        FPrinter.setFullPage(true); // the page's origin is the paper's corner; margins are ours
    }
    void SelectPrinter(const std::string& name) override {
        if (FToFile)
            return;
        for (const QPrinterInfo& info : QPrinterInfo::availablePrinters())
            if (info.printerName() == QString::fromStdString(name))
                FPrinter.setPrinterName(info.printerName());
    }
    void SetOrientation(TPrinterOrientation orientation) override {
        FPrinter.setPageOrientation(orientation == TPrinterOrientation::poLandscape ? QPageLayout::Landscape
                                                                                    : QPageLayout::Portrait);
    }
    void SetTitle(const std::string& title) override {
        FTitle = title;
        FPrinter.setDocName(QString::fromStdString(title));
    }
    bool ExecuteDialog() override {
        if (DialogHook)
            return DialogHook(FTitle);
        QPrintDialog dialog(&FPrinter);
        return dialog.exec() == QDialog::Accepted;
    }
    double PaperWidthInches() override { return PaperInches().width(); }
    double PaperHeightInches() override { return PaperInches().height(); }
    int DpiX() override { return FPrinter.resolution(); }
    int DpiY() override { return FPrinter.resolution(); }
    void BeginDoc() override {
        if (FToFile) {
            QString name = QString::fromStdString(FTitle).trimmed();
            for (QChar& c : name)
                if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c.unicode() < 0x20)
                    c = QLatin1Char('_');
            if (name.isEmpty())
                name = QStringLiteral("Document");
            FPrinter.setOutputFormat(QPrinter::PdfFormat);
            FPrinter.setOutputFileName(
                QDir(QString::fromStdString(PrintOutputFolder())).filePath(name + ".pdf"));
        }
        if (!FPainter.begin(&FPrinter))
            throw EKvError("The printer could not start the document");
    }
    QPainter& Painter() override { return FPainter; }
    void NewPage() override { FPrinter.newPage(); }
    void EndDoc() override {
        if (FPainter.isActive())
            FPainter.end();
    }

private:
    QSizeF PaperInches() const { return FPrinter.pageLayout().fullRect(QPageLayout::Inch).size(); }
    QPrinter FPrinter;
    QPainter FPainter;
    std::string FTitle;
    bool FToFile;
};

std::unique_ptr<TgPlotPrinter> ExportMakePrinter() {
    if (TgPlotPrinter::PrinterFactory)
        return TgPlotPrinter::PrinterFactory();
    return std::make_unique<ExportSystemPrinter>(QPrinterInfo::availablePrinters().isEmpty());
}

std::string ExportLower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

// Hides every toolbar for a rendering and gives each its own visibility back afterwards.
class ExportToolBarsHidden {
public:
    explicit ExportToolBarsHidden(TgPlotComponent& plot) : FPlot(plot) {
        for (int i = 0; i < plot.ToolBarCount(); ++i)
            FVisible.push_back(plot.GetToolBar(i)->Visible());
        for (int i = 0; i < plot.ToolBarCount(); ++i)
            plot.GetToolBar(i)->SetVisible(false);
    }
    ~ExportToolBarsHidden() {
        for (int i = 0; i < FPlot.ToolBarCount() && i < static_cast<int>(FVisible.size()); ++i)
            FPlot.GetToolBar(i)->SetVisible(FVisible[static_cast<std::size_t>(i)]);
    }
    ExportToolBarsHidden(const ExportToolBarsHidden&) = delete;
    ExportToolBarsHidden& operator=(const ExportToolBarsHidden&) = delete;

private:
    TgPlotComponent& FPlot;
    std::vector<bool> FVisible;
};

// BeginUpdate now, EndUpdate however the scope is left.
class ExportUpdateScope {
public:
    explicit ExportUpdateScope(TgPlotComponent& plot) : FPlot(plot) { FPlot.BeginUpdate(); }
    ~ExportUpdateScope() { FPlot.EndUpdate(); }
    ExportUpdateScope(const ExportUpdateScope&) = delete;
    ExportUpdateScope& operator=(const ExportUpdateScope&) = delete;

private:
    TgPlotComponent& FPlot;
};

QByteArray ExportByteArray(const std::vector<std::uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
}

} // namespace

void gSetPlotPreviewRunner(TgPlotPreviewRunner runner) {
    ExportPreviewRunner() = std::move(runner);
}

std::unique_ptr<TgPlotPrinter> TgPlotPrinter::CurrentSystemPrinter() {
    if (QPrinterInfo::availablePrinters().isEmpty())
        return nullptr;
    return std::make_unique<ExportSystemPrinter>(false);
}

// ---------------------------------------------------------------------------------------------------
// Clipboard and snapshot

void TgPlotComponent::CopyToClipBoard() {
    ExportUpdateScope update(*this);
    ExportToolBarsHidden hidden(*this);
    FMaster->DeSelectAll();
    auto mime = std::make_unique<QMimeData>();
    switch (FCopyToClipBoardFormat) {
    case TgPlotExportFormat::ipefMetaFile:
        mime->setData(QStringLiteral("image/svg+xml"), ExportByteArray(GetBytesMetaFile()));
        mime->setImageData(RenderImage());
        break;
    case TgPlotExportFormat::ipefBitmap:
        mime->setImageData(RenderImage());
        break;
    case TgPlotExportFormat::ipefJPEG: {
        std::unique_ptr<TJPEGImage> jpeg = CreateJPEGImage(100, false);
        mime->setData(QStringLiteral("image/jpeg"), ExportByteArray(jpeg->SaveToBytes()));
        mime->setImageData(jpeg->ToImage());
        break;
    }
    }
    QGuiApplication::clipboard()->setMimeData(mime.release());
}

TPicture* TgPlotComponent::GetSnapShotPicture() {
    if (!FSnapShotPicture)
        FSnapShotPicture = std::make_unique<TPicture>();
    TBitmap bitmap;
    bitmap.FromImage(RenderImage());
    FSnapShotPicture->SetGraphic(&bitmap);
    return FSnapShotPicture.get();
}

// ---------------------------------------------------------------------------------------------------
// Image files

bool TgPlotComponent::SaveImageByExtension(const std::string& fileName) {
    const std::size_t dot = fileName.find_last_of('.');
    const std::size_t slash = fileName.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return false;
    const std::string ext = ExportLower(fileName.substr(dot + 1));
    if (ext == "bmp")
        SaveImageToBitmap(fileName);
    else if (ext == "svg" || ext == "emf")
        SaveImageToMetaFile(fileName);
    else if (ext == "jpg" || ext == "jpeg")
        SaveImageToJPEG(fileName, 100, true);
    else if (ext == "png")
        SaveImageToPNG(fileName, 9);
    else
        return false;
    return true;
}

void TgPlotComponent::Save() {
    if (!FSaveDialog)
        FSaveDialog = std::make_unique<TSaveDialog>(nullptr);
    static const char* const extensions[] = {"bmp", "svg", "jpg", "png"};
    FSaveDialog->SetInitialDir(FDefaultSaveImageDirectory);
    FSaveDialog->SetFilter("Bitmap (*.bmp)|*.bmp|Scalable Vector Graphics (*.svg)|*.svg|JPEG File "
                           "(*.jpg)|*.jpg|PNG (*.png)|*.png");
    FSaveDialog->SetFileName("Untitled");
    FSaveDialog->SetFilterIndex(static_cast<int>(FDefaultSaveImageFormat) + 1);
    if (!FSaveDialog->Execute())
        return;
    FMaster->DeSelectAll();
    std::string fileName = FSaveDialog->FileName();
    if (SaveImageByExtension(fileName))
        return;
    // No known extension: the chosen filter decides.
    const int filter = std::clamp(FSaveDialog->FilterIndex(), 1, 4);
    fileName += std::string(".") + extensions[filter - 1];
    SaveImageByExtension(fileName);
}

// ---------------------------------------------------------------------------------------------------
// Printing

void TgPlotComponent::ReadPaperSize(TgPlotPrinter& printer) {
    FPrinterPaperWidthInches = printer.PaperWidthInches();
    FPrinterPaperHeightInches = printer.PaperHeightInches();
    FPrinterPaperWidthCentimeters = FPrinterPaperWidthInches * 2.54;
    FPrinterPaperHeightCentimeters = FPrinterPaperHeightInches * 2.54;
    FPrinterPaperWidthPixels = static_cast<int>(std::lround(printer.DpiX() * FPrinterPaperWidthInches));
    FPrinterPaperHeightPixels = static_cast<int>(std::lround(printer.DpiY() * FPrinterPaperHeightInches));
}

void TgPlotComponent::PrintChart() {
    try {
        std::unique_ptr<TgPlotPrinter> printer = ExportMakePrinter();
        printer->SetOrientation(FPrintOrientation);
        printer->SetTitle(FPrintDocumentName);
        if (FPrintShowDialog && !printer->ExecuteDialog())
            return;
        ExportUpdateScope update(*this);
        if (XAxisCount() > 0) {
            FPrintXStart = GetXAxis(0)->Min();
            FPrintXStop = GetXAxis(0)->Min() + GetXAxis(0)->Span();
        }
        PrintPages(*printer);
    } catch (const std::exception& e) {
        throw EKvError(std::string("Error Printing : ") + e.what());
    }
}

void TgPlotComponent::PrintPages(TgPlotPrinter& printer) {
    const std::string name = QString::fromStdString(FPrinterName).trimmed().toStdString();
    if (!name.empty())
        printer.SelectPrinter(name);
    ReadPaperSize(printer);
    const int dpiX = printer.DpiX(), dpiY = printer.DpiY();
    const int offX = printer.OffsetX(), offY = printer.OffsetY();

    printer.BeginDoc();
    TgPlotAxis* axis = XAxisCount() > 0 ? GetXAxis(0) : nullptr;
    const double oldMin = axis ? axis->Min() : 0, oldSpan = axis ? axis->Span() : 0;
    const int oldWidth = Width(), oldHeight = Height();
    const int margins[] = {FOuterMarginLeft, FOuterMarginTop, FOuterMarginRight, FOuterMarginBottom};
    auto restore = [&] {
        if (axis && XAxisCount() > 0 && GetXAxis(0) == axis)
            axis->SetMinSpan(oldMin, oldSpan);
        SetBounds(Left(), Top(), oldWidth, oldHeight);
        FOuterMarginLeft = margins[0];
        FOuterMarginTop = margins[1];
        FOuterMarginRight = margins[2];
        FOuterMarginBottom = margins[3];
        printer.EndDoc();
    };
    try {
        ExportToolBarsHidden hidden(*this);
        FMaster->DeSelectAll();
        if (OnBeforePrint)
            OnBeforePrint(this);
        int page = 1;
        if (axis)
            axis->SetMin(FPrintXStart);
        for (;;) {
            // Without an X axis the whole plot is one page.
            if (axis && axis->Min() >= FPrintXStop)
                break;
            const bool last = !axis || axis->Min() + axis->Span() >= FPrintXStop;
            if (OnBeforePrintPage)
                OnBeforePrintPage(this, page, last);
            const int w = std::max(Width(), 1), h = std::max(Height(), 1);
            const double scale =
                std::min((FPrinterPaperWidthPixels - (FPrintMarginLeft + FPrintMarginRight) * dpiX) / w,
                         (FPrinterPaperHeightPixels - (FPrintMarginTop + FPrintMarginBottom) * dpiY) / h);
            const int left = static_cast<int>(std::lround(dpiX * FPrintMarginLeft - offX));
            const int top = static_cast<int>(std::lround(dpiY * FPrintMarginTop - offY));
            const int right = static_cast<int>(std::lround(dpiX * FPrintMarginLeft - offX + w * scale));
            const int bottom = static_cast<int>(std::lround(dpiY * FPrintMarginTop - offY + h * scale));
            ReCalcLayout();
            const QImage image = RenderImage();
            QPainter& painter = printer.Painter();
            painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
            painter.drawImage(QRect(left, top, right - left, bottom - top), image);
            if (!axis || axis->Min() + axis->Span() <= axis->Min() ||
                axis->Min() + axis->Span() >= FPrintXStop)
                break;
            printer.NewPage();
            ++page;
            axis->SetMin(axis->Min() + axis->Span());
        }
    } catch (...) {
        restore();
        throw;
    }
    restore();
    if (OnAfterPrint)
        OnAfterPrint(this);
}

void TgPlotComponent::PrintSizeToFillPage() {
    if (FPrinterPaperWidthInches <= 0) {
        // Before the first print: ask the current printer, if there is one.
        std::unique_ptr<TgPlotPrinter> printer = TgPlotPrinter::PrinterFactory
                                                     ? TgPlotPrinter::PrinterFactory()
                                                     : TgPlotPrinter::CurrentSystemPrinter();
        if (!printer)
            return;
        printer->SetOrientation(FPrintOrientation);
        ReadPaperSize(*printer);
        if (FPrinterPaperWidthInches <= 0)
            return;
    }
    SetHeight(static_cast<int>(Width() * FPrinterPaperHeightInches / FPrinterPaperWidthInches));
    ReCalcLayout();
}

void TgPlotComponent::PrintAdjustXSpanToMinutesPerMillimeter(double minutesPerMillimeter) {
    if (XAxisCount() == 0 || Height() <= 0 || FPrinterPaperHeightInches <= 0)
        return;
    ReCalcLayout();
    TgPlotAxis* axis = GetXAxis(0);
    const double length = std::abs(axis->MaxPixels() - axis->MinPixels());
    axis->SetSpan(length * (FPrinterPaperHeightInches - FPrintMarginTop - FPrintMarginBottom) / Height() *
                  25.4 * minutesPerMillimeter / 1440);
}

void TgPlotComponent::PreviewChart() {
    if (ExportPreviewRunner())
        ExportPreviewRunner()(*this);
}

} // namespace kv
