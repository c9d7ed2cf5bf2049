#include "plot/gPlot.h"

#include "plot/gPlotLayoutManager.h"

namespace kv {

KV_REGISTER_CLASS(TgPlot, TgPlotComponent, b) {}

namespace {
// The master manager creates channels by class name.
void PlotRegisterChannelClass() {
    static const bool registered = (gRegisterPlotObjectClassOf<TgPlotChannel>("TgPlotChannel"), true);
    (void)registered;
}
} // namespace

void gRegisterPlotClass() {
    PlotRegisterChannelClass();
    RegisterClass(TgPlot::StaticClassInfo());
}

TgPlot::TgPlot(TComponent* owner) : TgPlotComponent(owner) {
    PlotRegisterChannelClass();
    Master()->SetChannelClass("TgPlotChannel");
    DisableLayoutManager();
    // The layout manager comes back on however the defaults end.
    struct LayoutOn {
        TgPlot* plot;
        ~LayoutOn() { plot->EnableLayoutManager(); }
    } layoutOn{this};
    GetToolBar(AddToolBar())->SetZOrder(3);
    GetLegend(AddLegend())->SetZOrder(2);
    AddXAxis();
    AddYAxis();
    AddChannel();
    AddDataView();
    AddDataCursor();
    TgPlotLabel* title = GetLabel(AddLabel());
    title->SetZOrder(2);
    title->SetName("Title");
    title->SetCaption("Untitled");
    title->SetMarginBottom(0);
}

TgPlotChannel* TgPlot::GetChannel(int index) {
    auto* channel = dynamic_cast<TgPlotChannel*>(TgPlotComponent::GetChannel(index));
    if (!channel)
        throw EConvertError("Invalid class typecast");
    return channel;
}

} // namespace kv
