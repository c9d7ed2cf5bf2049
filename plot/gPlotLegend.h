#pragma once
// The plot's channel legend: one entry per channel shown (line sample, marker, name, axis titles,
// values and statistics), wrapped into rows and columns, with scroll buttons when not all fit.

#include "plot/gPlotObjects.h"

namespace kv {

class TgPlotLegend;
class TgPlotChannelCustom;

// What a legend needs of the plot that owns it (the plot control implements it).
class IgPlotLegendHost {
public:
    virtual int ChannelCount() = 0;
    virtual TgPlotChannelCustom* GetChannelObject(int index) = 0;
    // OnClickLegend, or OnDblClickLegend after a double click.
    virtual void DoClickLegend(TgPlotLegend* legend) = 0;
    // OnGetMouseCursorLegend: the handler may change the cursor.
    virtual void DoGetMouseCursorLegend(TgPlotLegend* legend, TCursor& cursor) = 0;

protected:
    ~IgPlotLegendHost() = default;
};

class TgPlotLegend : public TgPlotLayoutObject {
    KV_CLASS(TgPlotLegend)
public:
    TgPlotLegend(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert, TNotifyEvent onRemove,
                 TNotifyEvent onRename);
    ~TgPlotLegend() override;

    // Set by the plot before each paint: a visible data cursor shows every channel in the legend.
    bool CursorAllChannels() const { return FCursorAllChannels; }
    void SetCursorAllChannels(bool value) { FCursorAllChannels = value; }

protected:
    bool FCursorAllChannels = false;
};

} // namespace kv
