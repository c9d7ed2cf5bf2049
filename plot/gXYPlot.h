#pragma once
// The XY plot: a plot control whose channels hold free (X, Y) points drawn in the order they were
// added. It starts with a toolbar, a legend, an X and a Y axis, a channel, a data view, a data cursor
// and the title label; a window layout replaces them kind by kind.

#include "plot/gPlotComponent.h"
#include "plot/gXYPlotChannel.h"

namespace kv {

class TgXYPlot : public TgPlotComponent {
    KV_CLASS(TgXYPlot)
public:
    explicit TgXYPlot(TComponent* owner);

    // The channel at Index; raises the manager's list error outside the channels and EConvertError
    // "Invalid class typecast" for a channel that is not an XY channel.
    TgXYPlotChannel* GetXYChannel(int index);
};

// Makes TgXYPlot known to the window layout reader.
void gRegisterXYPlotClass();

} // namespace kv
