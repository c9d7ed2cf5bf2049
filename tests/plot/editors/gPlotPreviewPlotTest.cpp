#include "plot/editors/gPlotPreviewPlot.h"
#include "plot/editors/gComponentEditor.h"
#include "plot/editors/gPlotLayoutViewer.h"

#include "plot/gPlot.h"
#include "plot/gPlotToolBar.h"

#include "platform/gui/StdPanels.h"

#include <gtest/gtest.h>

#include <QImage>

using namespace kv;

namespace {

TEST(PlotPreviewOfAPlot, ShowsThePlotWithoutItsToolBarAndWritesSettingsBack) {
    TgPlot plot(nullptr);
    plot.SetBounds(0, 0, 400, 300);
    plot.SetPrintDocumentName("Levels");
    plot.SetPrintMarginLeft(0.5);
    std::string events;
    plot.OnBeforePrint = [&](TObject* sender) {
        events += "before;";
        EXPECT_TRUE(dynamic_cast<TgPlotPreviewForm*>(sender));
        EXPECT_FALSE(plot.GetToolBar(0)->Visible());
    };
    plot.OnAfterPrint = [&](TObject*) { events += "after;"; };
    bool shown = false;
    gPlotPreviewChart(plot, [&](TgPlotPreviewForm& form) {
        shown = true;
        EXPECT_EQ(form.Caption(), "Levels (Preview)");
        EXPECT_EQ(form.gComponent, &plot);
        EXPECT_EQ(form.PrintMarginLeft, 0.5);
        EXPECT_EQ(form.PrintOrientation, plot.PrintOrientation());
        form.Show();
        form.Preview->Repaint();
        Application->ProcessMessages();
        QImage img = form.RenderToImage();
        img.save(QString::fromStdString(::testing::TempDir() + "plot_preview_of_plot.png"));
        form.Hide();
    });
    EXPECT_TRUE(shown);
    EXPECT_EQ(events.rfind("before;after;", 0), 0u);
    EXPECT_TRUE(plot.GetToolBar(0)->Visible());

    TgPlotPreviewPlotSource source(plot);
    source.SetPreviewPrintSettings(1, 2, 3, 4, TPrinterOrientation::poPortrait, "Report");
    EXPECT_EQ(plot.PrintMarginTop(), 2);
    EXPECT_EQ(plot.PrintMarginBottom(), 4);
    EXPECT_EQ(plot.PrintOrientation(), TPrinterOrientation::poPortrait);
    EXPECT_EQ(plot.PrintDocumentName(), "Report");
}

TEST(PlotPreviewOfAPlot, APlotWithoutAToolBarPreviewsToo) {
    TgPlot plot(nullptr);
    plot.SetBounds(0, 0, 200, 150);
    plot.RemoveAllToolBars();
    TgPlotPreviewPlotSource source(plot);
    EXPECT_FALSE(source.PreviewToolBarVisible());
    TgPlotPreviewForm form(nullptr);
    form.SetSource(&source);
    form.Show();
    EXPECT_NO_THROW({
        form.Preview->Repaint();
        Application->ProcessMessages();
    });
    form.Hide();
}

TEST(LayoutViewerOfAPlot, DrawsTheDefaultLayout) {
    TgPlot plot(nullptr);
    TgPlotLayoutViewer viewer(nullptr);
    viewer.SetBounds(0, 0, 360, 260);
    viewer.SetLayoutManager(plot.LayoutManager());
    TBitmap bitmap(360, 260);
    viewer.gPaint(*bitmap.Canvas());
    bitmap.Image().save(QString::fromStdString(::testing::TempDir() + "plot_layout_viewer_of_plot.png"));
    EXPECT_EQ(plot.GetToolBar(0)->LayoutRect().Top, 5) << "the toolbar on the top-most row";
    EXPECT_GT(viewer.DataViewRect().Width(), 0);
}

} // namespace
