#pragma once
// The channel of the XY plot: free (X, Y) points drawn in the order they were added.

#include "plot/gPlotChannel.h"

namespace kv {

class TgXYPlotChannel : public TgPlotChannelCustom {
    KV_CLASS(TgXYPlotChannel)
public:
    TgXYPlotChannel(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert, TNotifyEvent onRemove,
                    TNotifyEvent onRename);
    ~TgXYPlotChannel() override;

    void CalcStartIndex() override;
    void CalcStopIndex() override;
    double GetVisibleXMax() override;
    double GetVisibleXMin() override;
    double GetVisibleYMax() override;
    double GetVisibleYMin() override;
    void UpdateDataCursorText(TgPlotObject* cursor) override;
};

} // namespace kv
