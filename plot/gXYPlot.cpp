#include "plot/gXYPlot.h"

#include "plot/gPlotLayoutManager.h"

namespace kv {

KV_REGISTER_CLASS(TgXYPlot, TgPlotComponent, b) {}

void gRegisterXYPlotClass() {
    RegisterClass(TgXYPlot::StaticClassInfo());
}

TgXYPlot::TgXYPlot(TComponent* owner) : TgPlotComponent(owner) {
    AddDefaultObjects("TgXYPlotChannel");
}

TgXYPlotChannel* TgXYPlot::GetXYChannel(int index) {
    auto* channel = dynamic_cast<TgXYPlotChannel*>(GetChannel(index));
    if (!channel)
        throw EConvertError("Invalid class typecast");
    return channel;
}

} // namespace kv
