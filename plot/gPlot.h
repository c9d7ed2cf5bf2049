#pragma once
// The time-series plot: a plot control whose channels take points in X order (usually time) and whose
// X axis scrolls smoothly with new data. It starts with a toolbar, a legend, an X and a Y axis, a
// channel, a data view, a data cursor and the title label.

#include "plot/gPlotComponent.h"
#include "plot/gPlotTimeChannel.h"

namespace kv {

class TgPlot : public TgPlotComponent {
    KV_CLASS(TgPlot)
public:
    explicit TgPlot(TComponent* owner);

    // The channel at Index; raises the manager's list error outside the channels and EConvertError
    // "Invalid class typecast" for a channel that is not a time-series channel.
    TgPlotChannel* GetChannel(int index);
};

// Makes TgPlot and its channel kind known to the window layout reader.
void gRegisterPlotClass();

} // namespace kv
