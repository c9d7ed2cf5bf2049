#include "plot/editors/gPlotPreview.h"
#include "plot/editors/gComponentEditor.h"
#include "plot/editors/gPlotPreviewSettings.h"

#include "platform/gui/Graphics.h"
#include "platform/gui/StdButtons.h"
#include "platform/gui/StdEdits.h"
#include "platform/gui/StdLists.h"
#include "platform/gui/StdPanels.h"

#include <gtest/gtest.h>

#include <QImage>

#include <memory>
#include <stdexcept>

using namespace kv;

namespace {

// Stands in for the plot: records what the preview asks of it.
class PvFakePlot : public IgPlotPreviewSource {
public:
    double PreviewPrintMarginLeft() override { return left; }
    double PreviewPrintMarginTop() override { return top; }
    double PreviewPrintMarginRight() override { return right; }
    double PreviewPrintMarginBottom() override { return bottom; }
    TPrinterOrientation PreviewPrintOrientation() override { return orientation; }
    std::string PreviewPrintDocumentName() override { return name; }
    void SetPreviewPrintSettings(double l, double t, double r, double b, TPrinterOrientation o,
                                 const std::string& n) override {
        left = l, top = t, right = r, bottom = b, orientation = o, name = n;
        ++settingsWritten;
    }
    bool PreviewToolBarVisible() override { return toolBarVisible; }
    void SetPreviewToolBarVisible(bool v) override { toolBarVisible = v; }
    void PreviewBeforePrint(TObject* sender) override {
        log += "before;";
        toolBarSeenInPrint = toolBarVisible;
        EXPECT_TRUE(dynamic_cast<TgPlotPreviewForm*>(sender));
    }
    void PreviewAfterPrint(TObject*) override { log += "after;"; }
    TSize PreviewSnapShotSize() override { return snapShot; }
    void PreviewDrawSnapShot(TCanvas& canvas, const TRect& r) override {
        if (failDrawing)
            throw std::runtime_error("drawing failed");
        drawnAt = r;
        canvas.Brush()->SetColor(clRed);
        canvas.FillRect(r);
    }
    void PreviewPrint() override { log += "print;"; }
    void PreviewTranslateForm(TComponent* form) override { translated.push_back(form->Name()); }

    double left = 1, top = 0.5, right = 1, bottom = 0.5;
    TPrinterOrientation orientation = TPrinterOrientation::poLandscape;
    std::string name = "Levels";
    bool toolBarVisible = true, toolBarSeenInPrint = true, failDrawing = false;
    TSize snapShot{400, 200};
    TRect drawnAt{};
    int settingsWritten = 0;
    std::string log;
    std::vector<std::string> translated;
};

class PlotPreview : public ::testing::Test {
protected:
    void SetUp() override {
        form = std::make_unique<TgPlotPreviewForm>(nullptr);
        form->SetSource(&plot);
    }
    PvFakePlot plot;
    std::unique_ptr<TgPlotPreviewForm> form;
};

TEST(PlotPreviewGeometry, PagesFitTheBoxAndThePlotFitsThePage) {
    struct Case {
        int paper;
        TPrinterOrientation orientation;
        int boxW, boxH;
        TSize snap;
        TRect page;
        int k;
        TRect plot;
    };
    const auto L = TPrinterOrientation::poLandscape, P = TPrinterOrientation::poPortrait;
    // Margins 1 inch left and right, 0.5 top and bottom throughout.
    const Case cases[] = {
        // Landscape A4 (11.69 x 8.27) in 828 x 488: the height limits, page 662 x 468, k = 57;
        // printable 548 x 411; a 2:1 plot takes the width (548 x 274).
        {3, L, 828, 488, {400, 200}, {78, 5, 740, 473}, 57, {135, 34, 683, 308}},
        // Portrait Letter in the same box: limited by height.
        {0, P, 828, 488, {400, 200}, {228, 5, 590, 473}, 43, {271, 27, 547, 165}},
        // A tall box: the width limits; a tall plot takes the printable height.
        {4, P, 300, 800, {100, 400}, {5, 197, 285, 593}, 48, {53, 221, 140, 570}},
    };
    for (const Case& c : cases) {
        double w = 0, h = 0;
        gPlotPreviewPaperSize(c.paper, c.orientation, w, h);
        const TgPlotPreviewGeometry g = gPlotPreviewLayout(c.boxW, c.boxH, w, h, 1, 0.5, 1, 0.5, c.snap);
        SCOPED_TRACE(c.paper);
        EXPECT_EQ(g.Page, c.page);
        EXPECT_EQ(g.PixelsPerInch, c.k);
        EXPECT_EQ(g.Plot, c.plot);
    }
}

TEST(PlotPreviewGeometry, PaperSizesAndUnknownIndexes) {
    struct Case {
        int index;
        double w, h;
    } const cases[] = {{0, 8.5, 11},    {1, 8.5, 14},  {2, 11.69, 16.54}, {3, 8.27, 11.69},
                       {4, 5.83, 8.27}, {-1, 8.5, 11}, {5, 8.5, 11}};
    for (const Case& c : cases) {
        double w = 0, h = 0;
        gPlotPreviewPaperSize(c.index, TPrinterOrientation::poPortrait, w, h);
        EXPECT_NEAR(w, c.w, 0.01) << c.index;
        EXPECT_NEAR(h, c.h, 0.01) << c.index;
        gPlotPreviewPaperSize(c.index, TPrinterOrientation::poLandscape, w, h);
        EXPECT_NEAR(w, c.h, 0.01) << c.index;
    }
}

TEST_F(PlotPreview, OpensWithThePlotsSettingsAndLetterPaper) {
    EXPECT_EQ(form->PrintMarginLeft, 1);
    EXPECT_EQ(form->PrintMarginTop, 0.5);
    EXPECT_EQ(form->PrintOrientation, TPrinterOrientation::poLandscape);
    EXPECT_EQ(form->PrintDocumentName, "Levels");
    EXPECT_EQ(form->PrintSize, 0);
    EXPECT_EQ(form->Caption(), "Tarvek Plot Preview");
    EXPECT_EQ(form->Width(), 836);
    EXPECT_EQ(form->Height(), 563);
}

TEST_F(PlotPreview, PaintHidesTheToolBarAroundThePrintEventsAndRestoresIt) {
    form->Show();
    form->Preview->Repaint();
    Application->ProcessMessages();
    QImage img = form->RenderToImage();
    ASSERT_FALSE(plot.log.empty());
    EXPECT_EQ(plot.log.find("before;after;"), 0u);
    EXPECT_EQ(plot.log.size() % std::string("before;after;").size(), 0u);
    EXPECT_FALSE(plot.toolBarSeenInPrint);
    EXPECT_TRUE(plot.toolBarVisible);
    // The plot lands where the geometry puts it, inside the paint box below the button panel.
    const int boxTop = form->Preview->Top();
    const QRgb mid = img.pixel(plot.drawnAt.Left + 5, boxTop + plot.drawnAt.Top + 5);
    EXPECT_EQ(qRed(mid), 255);
    EXPECT_EQ(qBlue(mid), 0);
    img.save(QString::fromStdString(::testing::TempDir() + "plot_preview_form.png"));

    // A hidden toolbar stays hidden; a failing snapshot still gives the toolbar back.
    plot.toolBarVisible = false;
    plot.log.clear();
    form->Preview->Repaint();
    Application->ProcessMessages();
    EXPECT_FALSE(plot.toolBarVisible);
    plot.toolBarVisible = true;
    plot.failDrawing = true;
    TBitmap target(300, 200);
    EXPECT_ANY_THROW(form->DrawPage(*target.Canvas(), 300, 200));
    form->Hide();
}

TEST_F(PlotPreview, SettingsCancelChangesNothingAndOkWritesBack) {
    TgPlotPreviewSettingsForm* seen = nullptr;
    form->RunSettings = [&](TgPlotPreviewSettingsForm& f) {
        seen = &f;
        EXPECT_EQ(f.PrintMarginLeftEdit->Text(), "1");
        EXPECT_EQ(f.PrintMarginTopEdit->Text(), "0.5");
        EXPECT_EQ(f.OrientationIndex(), 1);
        EXPECT_EQ(f.PrintDocumentNameEdit->Text(), "Levels");
        EXPECT_EQ(f.PrintPaperSizeComboBox->ItemIndex(), 0);
        f.PrintMarginLeftEdit->SetText("2.25");
        f.PrintMarginRightEdit->SetText("");
        f.PrintMarginTopEdit->SetText("abc");
        f.PrintMarginBottomEdit->SetText("nan");
        f.SetOrientationIndex(0);
        f.PrintDocumentNameEdit->SetText("Report");
        f.PrintPaperSizeComboBox->SetItemIndex(3);
        return mrCancel;
    };
    form->SettingsButtonClick(nullptr);
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(plot.translated, std::vector<std::string>{"gPlotPreviewSettingsForm"});
    EXPECT_EQ(form->PrintMarginLeft, 1);
    EXPECT_EQ(form->PrintOrientation, TPrinterOrientation::poLandscape);
    EXPECT_EQ(form->PrintDocumentName, "Levels");
    EXPECT_EQ(form->PrintSize, 0);
    EXPECT_EQ(form->Caption(), "Tarvek Plot Preview");
    EXPECT_EQ(plot.settingsWritten, 0);

    auto answer = form->RunSettings;
    form->RunSettings = [&](TgPlotPreviewSettingsForm& f) {
        answer(f);
        return mrOk;
    };
    form->SettingsButtonClick(nullptr);
    EXPECT_EQ(form->PrintMarginLeft, 2.25);
    // Empty and invalid boxes read as 0.
    EXPECT_EQ(form->PrintMarginRight, 0);
    EXPECT_EQ(form->PrintMarginTop, 0);
    EXPECT_EQ(form->PrintMarginBottom, 0);
    EXPECT_EQ(form->PrintOrientation, TPrinterOrientation::poPortrait);
    EXPECT_EQ(form->PrintSize, 3);
    EXPECT_EQ(form->Caption(), "Report (Preview)");
    // The plot takes the margins, orientation and name, but not the paper.
    EXPECT_EQ(plot.settingsWritten, 1);
    EXPECT_EQ(plot.left, 2.25);
    EXPECT_EQ(plot.orientation, TPrinterOrientation::poPortrait);
    EXPECT_EQ(plot.name, "Report");
}

TEST_F(PlotPreview, ButtonsPrintAndClose) {
    form->PrintButton->Click();
    EXPECT_EQ(plot.log, "print;");
    form->CloseButtonClick(nullptr);
    EXPECT_EQ(form->ModalResult(), mrOk);
    form->DoTranslation();
    EXPECT_EQ(plot.translated, std::vector<std::string>{"gPlotPreviewForm"});
}

TEST(PlotPreviewSettings, RendersTheDialog) {
    TgPlotPreviewSettingsForm f(nullptr);
    f.SetOrientationIndex(1);
    f.PrintMarginTopEdit->SetText("0.5");
    f.PrintPaperSizeComboBox->SetItemIndex(3);
    f.Show();
    Application->ProcessMessages();
    QImage img = f.RenderToImage();
    EXPECT_EQ(img.width(), f.ClientWidth());
    img.save(QString::fromStdString(::testing::TempDir() + "plot_preview_settings.png"));
    f.Hide();
}

} // namespace
