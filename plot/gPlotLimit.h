#pragma once
// Limit lines, bands and poly-bands drawn over the data view.

#include "plot/gPlotObjects.h"

#include "platform/gui/Graphics.h"

#include <string>
#include <vector>

namespace kv {

enum class TgPlotLimitStyle { iplsLineX, iplsLineY, iplsBandX, iplsBandY, iplsPolyBandX, iplsPolyBandY };
std::vector<std::string> EnumIdents(TgPlotLimitStyle);

class TgPlotLimit : public TgPlotObject {
    KV_CLASS(TgPlotLimit)
public:
    TgPlotLimit(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert, TNotifyEvent onRemove,
                TNotifyEvent onRename);
    ~TgPlotLimit() override;

    TgPlotLimitStyle Style() const { return FStyle; }
    void SetStyle(TgPlotLimitStyle value);
    TBrushStyle FillStyle() const { return FFillStyle; }
    void SetFillStyle(TBrushStyle value);
    // Band styles are drawn below the data view's grid, except a plain band whose fill is clear.
    bool IsBelowGrid() const;

protected:
    TgPlotLimitStyle FStyle = TgPlotLimitStyle::iplsLineY;
    TBrushStyle FFillStyle = TBrushStyle::bsSolid;
};

} // namespace kv
