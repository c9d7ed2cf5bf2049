#include "plot/gXYPlot.h"

#include "plot/gPlotLayoutManager.h"

namespace kv {

KV_REGISTER_CLASS(TgXYPlot, TgPlotComponent, b) {}

void gRegisterXYPlotClass() {
    RegisterClass(TgXYPlot::StaticClassInfo());
}

TgXYPlot::TgXYPlot(TComponent* owner) : TgPlotComponent(owner) {
    Master()->SetChannelClass("TgXYPlotChannel");
    DisableLayoutManager();
    // The layout manager comes back on however the defaults end.
    struct LayoutOn {
        TgXYPlot* plot;
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

TgXYPlotChannel* TgXYPlot::GetXYChannel(int index) {
    auto* channel = dynamic_cast<TgXYPlotChannel*>(GetChannel(index));
    if (!channel)
        throw EConvertError("Invalid class typecast");
    return channel;
}

} // namespace kv
