#include "plot/gPlotComponent.h"

#include "plot/gXYPlot.h"

#include "platform/gui/Dialogs.h"
#include "platform/gui/Graphics.h"
#include "platform/gui/Printing.h"

#include "ErrorOf.h"
#include "tests/support/TempFiles.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <QRegularExpression>
#include <QStandardPaths>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <vector>

namespace kvtest {
using namespace kv;

namespace {

std::unique_ptr<TgXYPlot> ExportPlot() {
    auto plot = std::make_unique<TgXYPlot>(nullptr);
    plot->SetBounds(0, 0, 400, 300);
    plot->GetXAxis(0)->SetTrackingEnabled(false);
    plot->GetXAxis(0)->SetMinSpan(0, 30);
    return plot;
}

std::vector<std::uint8_t> ExportReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The largest difference of one colour channel between two images of the same size.
int ExportMaxDiff(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return 1000;
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                              std::abs(qBlue(p) - qBlue(q))});
        }
    return worst;
}

// The mean difference per channel, for lossy formats.
double ExportMeanDiff(const QImage& a, const QImage& b) {
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum +=
                std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) + std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

QImage ExportDecode(const std::vector<std::uint8_t>& bytes) {
    TPicture picture;
    picture.LoadFromBytes(bytes);
    return picture.Graphic()->ToImage().convertToFormat(QImage::Format_RGB32);
}

// The PNG an SVG export carries.
QImage ExportSvgPicture(const std::vector<std::uint8_t>& svg) {
    const std::string text(svg.begin(), svg.end());
    const std::string key = "data:image/png;base64,";
    const std::size_t at = text.find(key);
    if (text.rfind("<?xml", 0) != 0 || text.find("<svg") == std::string::npos || at == std::string::npos)
        return {};
    const std::size_t end = text.find('"', at);
    const QByteArray png = QByteArray::fromBase64(
        QByteArray::fromStdString(text.substr(at + key.size(), end - at - key.size())));
    return QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32);
}

// A printer that rasterises each page into an image at a known resolution.
class ExportImagePrinter : public TgPlotPrinter {
public:
    struct Log {
        std::vector<QImage> pages;
        bool dialogAsked = false, begun = false, ended = false;
        std::string title;
        TPrinterOrientation orientation = TPrinterOrientation::poPortrait;
    };
    ExportImagePrinter(Log& log, bool dialogAnswer) : FLog(log), FAnswer(dialogAnswer) {}
    ~ExportImagePrinter() override { EndDoc(); }
    void SelectPrinter(const std::string&) override {}
    void SetOrientation(TPrinterOrientation o) override { FLog.orientation = o; }
    void SetTitle(const std::string& title) override { FLog.title = title; }
    bool ExecuteDialog() override {
        FLog.dialogAsked = true;
        return FAnswer;
    }
    // Letter paper in landscape at 40 pixels per inch: 440 x 340.
    double PaperWidthInches() override { return 11; }
    double PaperHeightInches() override { return 8.5; }
    int DpiX() override { return 40; }
    int DpiY() override { return 40; }
    void BeginDoc() override {
        FLog.begun = true;
        StartPage();
    }
    QPainter& Painter() override { return FPainter; }
    void NewPage() override {
        FinishPage();
        StartPage();
    }
    void EndDoc() override {
        if (FPainter.isActive()) {
            FinishPage();
            FLog.ended = true;
        }
    }

private:
    void StartPage() {
        FPage = QImage(440, 340, QImage::Format_RGB32);
        FPage.fill(Qt::white);
        FPainter.begin(&FPage);
    }
    void FinishPage() {
        FPainter.end();
        FLog.pages.push_back(FPage);
    }
    Log& FLog;
    bool FAnswer;
    QImage FPage;
    QPainter FPainter;
};

// Installs the image printer for one test.
class ExportPrinterScope {
public:
    explicit ExportPrinterScope(bool dialogAnswer = true) {
        TgPlotPrinter::PrinterFactory = [this, dialogAnswer] {
            return std::make_unique<ExportImagePrinter>(log, dialogAnswer);
        };
    }
    ~ExportPrinterScope() { TgPlotPrinter::PrinterFactory = nullptr; }
    ExportImagePrinter::Log log;
};

struct ExportPageEvent {
    int page;
    bool last;
    double min, span;
    bool toolBarVisible;
};

} // namespace

// ---------------------------------------------------------------------------------------------------
// Image files and byte arrays

TEST(PlotExport, FilesAndBytesDecodeBackToThePlotAsRendered) {
    auto plot = ExportPlot();
    const QImage reference = plot->RenderImage();
    ASSERT_EQ(reference.size(), QSize(400, 300));
    TempDir dir;
    struct Case {
        const char* name;
        std::function<std::vector<std::uint8_t>()> bytes; // the export, read back from wherever it went
        bool lossy;
    };
    const std::vector<Case> cases = {
        {"bmp file",
         [&] {
             plot->SaveImageToBitmap(dir / "a.bmp");
             return ExportReadFile(dir / "a.bmp");
         },
         false},
        {"png file",
         [&] {
             plot->SaveImageToPNG(dir / "a.png", 9);
             return ExportReadFile(dir / "a.png");
         },
         false},
        {"jpeg file",
         [&] {
             plot->SaveImageToJPEG(dir / "a.jpg", 100, true);
             return ExportReadFile(dir / "a.jpg");
         },
         true},
        {"png bytes", [&] { return plot->GetBytesPNG(0); }, false},
        {"jpeg bytes", [&] { return plot->GetBytesJPEG(90, false); }, true},
        {"jpeg image", [&] { return plot->CreateJPEGImage(100, false)->SaveToBytes(); }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QImage decoded = ExportDecode(c.bytes());
        ASSERT_EQ(decoded.size(), reference.size());
        if (c.lossy)
            EXPECT_LT(ExportMeanDiff(decoded, reference), 3.0);
        else
            EXPECT_EQ(ExportMaxDiff(decoded, reference), 0);
    }

    plot->SaveImageToMetaFile(dir / "a.svg");
    EXPECT_EQ(ExportMaxDiff(ExportSvgPicture(ExportReadFile(dir / "a.svg")), reference), 0);
}

TEST(PlotExport, CompressionOutsideItsRangeRaisesAndWritesNothing) {
    auto plot = ExportPlot();
    TempDir dir;
    const std::string jpeg = "Compression must be in the range of 1-100",
                      png = "Compression must be in the range of 0-9";
    struct Case {
        std::function<void()> call;
        std::string message;
    };
    const std::vector<Case> cases = {
        {[&] { plot->SaveImageToJPEG(dir / "x", 0, false); }, jpeg},
        {[&] { plot->SaveImageToJPEG(dir / "x", 101, false); }, jpeg},
        {[&] { plot->GetBytesJPEG(0, false); }, jpeg},
        {[&] { plot->CreateJPEGImage(101, false); }, jpeg},
        {[&] { plot->SaveImageToPNG(dir / "x", -1); }, png},
        {[&] { plot->GetBytesPNG(10); }, png},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ErrorOf(c.call), c.message);
    EXPECT_FALSE(std::filesystem::exists(dir / "x"));
    // A folder that does not exist is an error, not a silent success.
    EXPECT_NE(ErrorOf([&] { plot->SaveImageToPNG(dir / "none/x.png", 9); }), "");
}

TEST(PlotExport, TheExtensionPicksTheFormatInAnyLetterCase) {
    auto plot = ExportPlot();
    const QImage reference = plot->RenderImage();
    TempDir dir;
    struct Case {
        const char* file;
        const char* magic; // the first bytes of the format, empty when nothing may be written
    };
    const Case cases[] = {{"p.BMP", "BM"},       {"p.bmp", "BM"},      {"p.jpeg", "\xFF\xD8"},
                          {"p.JPG", "\xFF\xD8"}, {"p.Png", "\x89PNG"}, {"p.svg", "<?xml"},
                          {"p.emf", "<?xml"},    {"p.txt", ""},        {"p", ""},
                          {"d.png/p", ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = dir / c.file;
        const bool written = plot->SaveImageByExtension(path);
        EXPECT_EQ(written, *c.magic != 0);
        if (!written) {
            EXPECT_FALSE(std::filesystem::exists(path));
            continue;
        }
        const std::vector<std::uint8_t> bytes = ExportReadFile(path);
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + static_cast<long>(std::strlen(c.magic))),
                  c.magic);
    }
}

TEST(PlotExport, SaveWritesTheChosenFileOrTheChosenFiltersFormat) {
    auto plot = ExportPlot();
    plot->SetDefaultSaveImageFormat(TgPlotImageFormatStyle::ipifPNG);
    TempDir dir;
    plot->SetDefaultSaveImageDirectory(dir.path().string());
    struct Case {
        std::string chosen;
        int filter;
        bool confirmed;
        std::string expectFile; // empty: nothing written
        const char* magic;
    };
    const std::vector<Case> cases = {
        {dir / "shot.JPEG", 1, true, dir / "shot.JPEG", "\xFF\xD8"},
        {dir / "shot", 4, true, dir / "shot.png", "\x89PNG"},
        {dir / "shot2", 1, true, dir / "shot2.bmp", "BM"},
        {dir / "cancelled.png", 4, false, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        int seenFilter = 0;
        std::string seenDir;
        TOpenDialog::ExecuteHook = [&](TOpenDialog& d) {
            seenFilter = d.FilterIndex();
            seenDir = d.InitialDir();
            d.SetFileName(c.chosen);
            d.SetFilterIndex(c.filter);
            return c.confirmed;
        };
        plot->Save();
        TOpenDialog::ExecuteHook = nullptr;
        EXPECT_EQ(seenFilter, 4); // the default format's filter is offered
        EXPECT_EQ(seenDir, dir.path().string());
        if (c.expectFile.empty()) {
            EXPECT_FALSE(std::filesystem::exists(c.chosen));
            continue;
        }
        const std::vector<std::uint8_t> bytes = ExportReadFile(c.expectFile);
        ASSERT_GE(bytes.size(), 4u);
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + static_cast<long>(std::strlen(c.magic))),
                  c.magic);
    }
}

// ---------------------------------------------------------------------------------------------------
// Clipboard

TEST(PlotClipboard, EachFormatOffersItsTypesWithoutToolBarsAndKeepsEachToolBarsVisibility) {
    auto plot = ExportPlot();
    plot->GetToolBar(plot->AddToolBar())->SetVisible(false); // toolbar 1 hidden, toolbar 0 shown
    const QImage withToolBar = plot->RenderImage();
    plot->GetToolBar(0)->SetVisible(false);
    const QImage withoutToolBars = plot->RenderImage();
    plot->GetToolBar(0)->SetVisible(true);
    ASSERT_GT(ExportMaxDiff(withToolBar, withoutToolBars), 0);

    struct Case {
        TgPlotExportFormat format;
        QString extraType; // besides the image
        bool lossy;
    };
    const Case cases[] = {{TgPlotExportFormat::ipefMetaFile, "image/svg+xml", false},
                          {TgPlotExportFormat::ipefBitmap, "", false},
                          {TgPlotExportFormat::ipefJPEG, "image/jpeg", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.format));
        QGuiApplication::clipboard()->clear();
        plot->SetCopyToClipBoardFormat(c.format);
        plot->CopyToClipBoard();
        EXPECT_TRUE(plot->GetToolBar(0)->Visible());
        EXPECT_FALSE(plot->GetToolBar(1)->Visible());
        const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
        ASSERT_NE(mime, nullptr);
        ASSERT_TRUE(mime->hasImage());
        const QImage image = QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32);
        if (c.lossy)
            EXPECT_LT(ExportMeanDiff(image, withoutToolBars), 3.0);
        else
            EXPECT_EQ(ExportMaxDiff(image, withoutToolBars), 0);
        if (!c.extraType.isEmpty()) {
            ASSERT_TRUE(mime->hasFormat(c.extraType));
            const QByteArray data = mime->data(c.extraType);
            const std::vector<std::uint8_t> bytes(data.begin(), data.end());
            if (c.lossy)
                EXPECT_LT(ExportMeanDiff(ExportDecode(bytes), withoutToolBars), 3.0);
            else
                EXPECT_EQ(ExportMaxDiff(ExportSvgPicture(bytes), withoutToolBars), 0);
        }
    }
}

TEST(PlotClipboard, APlotWithoutToolBarsCopies) {
    auto plot = ExportPlot();
    plot->RemoveAllToolBars();
    QGuiApplication::clipboard()->clear();
    plot->SetCopyToClipBoardFormat(TgPlotExportFormat::ipefBitmap);
    EXPECT_EQ(ErrorOf([&] { plot->CopyToClipBoard(); }), "");
    EXPECT_EQ(ExportMaxDiff(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32),
                            plot->RenderImage()),
              0);
}

TEST(PlotClipboard, TheSnapShotIsOnePictureRenewedOnEachCall) {
    auto plot = ExportPlot();
    TPicture* first = plot->GetSnapShotPicture();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(
        ExportMaxDiff(first->Graphic()->ToImage().convertToFormat(QImage::Format_RGB32), plot->RenderImage()),
        0);
    plot->SetBackGroundColor(clNavy);
    TPicture* second = plot->GetSnapShotPicture();
    EXPECT_EQ(second, first);
    EXPECT_EQ(ExportMaxDiff(second->Graphic()->ToImage().convertToFormat(QImage::Format_RGB32),
                            plot->RenderImage()),
              0);
}

// ---------------------------------------------------------------------------------------------------
// Printing

TEST(PlotPrint, ANarrowedSpanPrintsPagesUpToTheStopAndRestoresThePlot) {
    auto plot = ExportPlot();
    plot->SetPrintShowDialog(false);
    plot->SetPrintDocumentName("Trend");
    plot->GetToolBar(plot->AddToolBar())->SetVisible(false);
    std::vector<ExportPageEvent> events;
    int before = 0, after = 0;
    plot->OnBeforePrint = [&](TObject*) {
        ++before;
        plot->GetXAxis(0)->SetSpan(10);
    };
    plot->OnBeforePrintPage = [&](TObject*, int page, bool last) {
        TgPlotAxis& x = *plot->GetXAxis(0);
        events.push_back({page, last, x.Min(), x.Span(), plot->GetToolBar(0)->Visible()});
    };
    plot->OnAfterPrint = [&](TObject*) { ++after; };
    ExportPrinterScope printer;
    plot->PrintChart();

    ASSERT_EQ(events.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(events[i].page, i + 1);
        EXPECT_EQ(events[i].last, i == 2);
        EXPECT_DOUBLE_EQ(events[i].min, 10.0 * i);
        EXPECT_DOUBLE_EQ(events[i].span, 10);
        EXPECT_FALSE(events[i].toolBarVisible);
    }
    EXPECT_EQ(before, 1);
    EXPECT_EQ(after, 1);
    EXPECT_FALSE(printer.log.dialogAsked);
    EXPECT_EQ(printer.log.title, "Trend");
    EXPECT_EQ(printer.log.orientation, TPrinterOrientation::poLandscape);
    EXPECT_TRUE(printer.log.ended);
    EXPECT_DOUBLE_EQ(plot->GetXAxis(0)->Min(), 0);
    EXPECT_DOUBLE_EQ(plot->GetXAxis(0)->Span(), 30);
    EXPECT_TRUE(plot->GetToolBar(0)->Visible());
    EXPECT_FALSE(plot->GetToolBar(1)->Visible());
    EXPECT_EQ(plot->PrinterPaperWidthPixels(), 440);
    EXPECT_EQ(plot->PrinterPaperHeightPixels(), 340);
    EXPECT_NEAR(plot->PrinterPaperWidthCentimeters(), 27.94, 1e-9);

    // At 40 dpi with 1-inch margins the 400 x 300 plot scales by min(360/400, 260/300) into
    // (40, 40)-(387, 300); the rest of the paper stays white.
    ASSERT_EQ(printer.log.pages.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        const QImage& page = printer.log.pages[i];
        page.save(QString::fromStdString(::testing::TempDir() + "export-print-page%1.png").arg(i + 1));
        EXPECT_EQ(page.pixel(20, 20), qRgb(255, 255, 255));
        EXPECT_EQ(page.pixel(395, 200), qRgb(255, 255, 255));
        EXPECT_EQ(page.pixel(200, 310), qRgb(255, 255, 255));
        EXPECT_NE(page.pixel(45, 45), qRgb(255, 255, 255));
        EXPECT_NE(page.pixel(380, 295), qRgb(255, 255, 255));
    }
    // Each page shows its own span, so the X labels differ.
    EXPECT_NE(printer.log.pages[0], printer.log.pages[1]);
    EXPECT_NE(printer.log.pages[1], printer.log.pages[2]);
}

TEST(PlotPrint, OnePageWithoutHandlersAndWithoutAnXAxisOrToolBar) {
    struct Case {
        const char* name;
        std::function<void(TgXYPlot&)> prepare;
    };
    const std::vector<Case> cases = {
        {"whole span", [](TgXYPlot&) {}},
        {"no X axis", [](TgXYPlot& p) { p.RemoveAllXAxes(); }},
        {"no toolbar", [](TgXYPlot& p) { p.RemoveAllToolBars(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto plot = ExportPlot();
        plot->SetPrintShowDialog(false);
        c.prepare(*plot);
        std::vector<std::pair<int, bool>> pages;
        plot->OnBeforePrintPage = [&](TObject*, int page, bool last) { pages.emplace_back(page, last); };
        ExportPrinterScope printer;
        EXPECT_EQ(ErrorOf([&] { plot->PrintChart(); }), "");
        EXPECT_EQ(pages, (std::vector<std::pair<int, bool>>{{1, true}}));
        EXPECT_EQ(printer.log.pages.size(), 1u);
    }
}

TEST(PlotPrint, AFailingPageIsReportedAndThePlotIsRestored) {
    auto plot = ExportPlot();
    plot->SetPrintShowDialog(false);
    plot->OnBeforePrint = [&](TObject*) { plot->GetXAxis(0)->SetSpan(10); };
    plot->OnBeforePrintPage = [&](TObject*, int page, bool) {
        if (page == 2)
            throw EKvError("paper jam");
    };
    ExportPrinterScope printer;
    EXPECT_EQ(ErrorOf([&] { plot->PrintChart(); }), "Error Printing : paper jam");
    EXPECT_TRUE(printer.log.ended);
    EXPECT_DOUBLE_EQ(plot->GetXAxis(0)->Min(), 0);
    EXPECT_DOUBLE_EQ(plot->GetXAxis(0)->Span(), 30);
    EXPECT_TRUE(plot->GetToolBar(0)->Visible());
}

TEST(PlotPrint, ACancelledDialogPrintsNothing) {
    auto plot = ExportPlot();
    int before = 0;
    plot->OnBeforePrint = [&](TObject*) { ++before; };
    {
        ExportPrinterScope printer(false);
        EXPECT_EQ(ErrorOf([&] { plot->PrintChart(); }), "");
        EXPECT_TRUE(printer.log.dialogAsked);
        EXPECT_FALSE(printer.log.begun);
        EXPECT_TRUE(printer.log.pages.empty());
    }
    // The system printer's dialog, answered by the test: no document is written.
    TempDir dir;
    SetPrintOutputFolder(dir.path().string());
    std::string asked;
    TgPlotPrinter::DialogHook = [&](const std::string& title) {
        asked = title;
        return false;
    };
    plot->SetPrintDocumentName("Cancelled");
    plot->PrintChart();
    TgPlotPrinter::DialogHook = nullptr;
    SetPrintOutputFolder("");
    EXPECT_EQ(asked, "Cancelled");
    EXPECT_EQ(before, 0);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

TEST(PlotPrint, ThreePagesGoToAPdfWithoutAPrinter) {
    if (TgPlotPrinter::CurrentSystemPrinter())
        GTEST_SKIP() << "a real printer is installed";
    auto plot = ExportPlot();
    plot->SetPrintShowDialog(true);
    plot->SetPrintDocumentName("Three pages");
    plot->OnBeforePrint = [&](TObject*) { plot->GetXAxis(0)->SetSpan(10); };
    TempDir dir;
    SetPrintOutputFolder(dir.path().string());
    TgPlotPrinter::DialogHook = [](const std::string&) { return true; };
    EXPECT_EQ(ErrorOf([&] { plot->PrintChart(); }), "");
    TgPlotPrinter::DialogHook = nullptr;
    SetPrintOutputFolder("");
    const std::vector<std::uint8_t> pdf = ExportReadFile(dir / "Three pages.pdf");
    const QString text =
        QString::fromLatin1(reinterpret_cast<const char*>(pdf.data()), static_cast<qsizetype>(pdf.size()));
    ASSERT_TRUE(text.startsWith("%PDF"));
    EXPECT_EQ(text.count(QRegularExpression("/Type\\s*/Page(?!s)")), 3);
    EXPECT_DOUBLE_EQ(plot->GetXAxis(0)->Span(), 30);

    // The pages as a printer puts them on paper, at 30 dots per inch: three landscape pages, each with
    // the plot's black background inside the margins and white paper outside them.
    const QString rasteriser = QStandardPaths::findExecutable("pdftoppm");
    if (rasteriser.isEmpty())
        GTEST_SKIP() << "no pdftoppm to read the PDF back";
    const std::string out = dir / "page";
    const std::string command = rasteriser.toStdString() + " -r 30 -png '" + (dir / "Three pages.pdf") +
                                "' '" + out + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (int page = 1; page <= 4; ++page) {
        const QImage image(QString::fromStdString(out + "-" + std::to_string(page) + ".png"));
        if (page == 4) {
            EXPECT_TRUE(image.isNull()) << "three pages only";
            break;
        }
        ASSERT_FALSE(image.isNull()) << page;
        EXPECT_GT(image.width(), image.height()) << "landscape";
        EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::white)) << "the margin";
        EXPECT_EQ(image.pixelColor(image.width() / 2, image.height() / 2).lightness(), 0) << "the plot";
        if (const char* keep = std::getenv("KV_PRINT_PNG_DIR"))
            image.save(QString::fromLocal8Bit(keep) + QStringLiteral("/print-page-%1.png").arg(page));
    }
}

TEST(PlotPrint, SizeToFillPageTakesThePapersAspectOrLeavesTheHeight) {
    auto plot = ExportPlot();
    // No print yet and no printer: nothing changes.
    if (!TgPlotPrinter::CurrentSystemPrinter()) {
        plot->PrintSizeToFillPage();
        EXPECT_EQ(plot->Height(), 300);
    }
    // The current printer's paper: 11 x 8.5 inches.
    ExportPrinterScope printer;
    plot->PrintSizeToFillPage();
    EXPECT_EQ(plot->Height(), 309); // 400 * 8.5 / 11
    EXPECT_TRUE(printer.log.pages.empty());
}

TEST(PlotPrint, MinutesPerMillimeterSetsASpanProportionalToTheScale) {
    auto plot = ExportPlot();
    plot->PrintAdjustXSpanToMinutesPerMillimeter(1); // no paper known yet: nothing changes
    EXPECT_DOUBLE_EQ(plot->GetXAxis(0)->Span(), 30);
    plot->SetPrintShowDialog(false);
    {
        ExportPrinterScope printer;
        plot->PrintChart();
    }
    plot->PrintAdjustXSpanToMinutesPerMillimeter(1);
    const double one = plot->GetXAxis(0)->Span();
    // The axis's printed length in millimetres, each worth one minute (a span in days).
    const double printedMm = std::abs(plot->GetXAxis(0)->MaxPixels() - plot->GetXAxis(0)->MinPixels()) *
                             (8.5 - 2) / plot->Height() * 25.4;
    EXPECT_NEAR(one, printedMm / 1440, 1e-12);
    plot->PrintAdjustXSpanToMinutesPerMillimeter(3);
    EXPECT_NEAR(plot->GetXAxis(0)->Span(), 3 * one, 1e-12);
}

TEST(PlotPreview, PreviewChartHandsThePlotToTheInstalledPreview) {
    auto plot = ExportPlot();
    EXPECT_EQ(ErrorOf([&] { plot->PreviewChart(); }), ""); // none installed
    TgPlotComponent* shown = nullptr;
    gSetPlotPreviewRunner([&](TgPlotComponent& p) { shown = &p; });
    plot->PreviewChart();
    gSetPlotPreviewRunner(nullptr);
    EXPECT_EQ(shown, plot.get());
}

} // namespace kvtest
