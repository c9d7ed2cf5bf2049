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
    AddDefaultObjects("TgPlotChannel");
}

TgPlotChannel* TgPlot::GetChannel(int index) {
    auto* channel = dynamic_cast<TgPlotChannel*>(TgPlotComponent::GetChannel(index));
    if (!channel)
        throw EConvertError("Invalid class typecast");
    return channel;
}

} // namespace kv
