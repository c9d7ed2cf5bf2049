#include "plot/gPlotLimit.h"

#include "plot/gPlotManagers.h"

namespace kv {

std::vector<std::string> EnumIdents(TgPlotLimitStyle) {
    return {"iplsLineX", "iplsLineY", "iplsBandX", "iplsBandY", "iplsPolyBandX", "iplsPolyBandY"};
}

KV_REGISTER_CLASS(TgPlotLimit, TgPlotObject, b) {
    b.Prop("Style", &TgPlotLimit::Style, &TgPlotLimit::SetStyle).Default(TgPlotLimitStyle::iplsLineY);
    b.Prop("FillStyle", &TgPlotLimit::FillStyle, &TgPlotLimit::SetFillStyle);
}

namespace {
const bool kLimitClassRegistered = (gRegisterPlotObjectClassOf<TgPlotLimit>("TgPlotLimit"), true);
} // namespace

TgPlotLimit::TgPlotLimit(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                         TNotifyEvent onRemove, TNotifyEvent onRename)
    : TgPlotObject(owner, std::move(onChange), std::move(onInsert), std::move(onRemove), std::move(onRename)) {}

TgPlotLimit::~TgPlotLimit() {
    NotifyRemove();
}

void TgPlotLimit::SetStyle(TgPlotLimitStyle value) {
    if (value != FStyle) {
        FStyle = value;
        DoChange();
    }
}

void TgPlotLimit::SetFillStyle(TBrushStyle value) {
    if (value != FFillStyle) {
        FFillStyle = value;
        DoChange();
    }
}

bool TgPlotLimit::IsBelowGrid() const {
    if (FStyle < TgPlotLimitStyle::iplsBandX)
        return false;
    if (FStyle == TgPlotLimitStyle::iplsBandX || FStyle == TgPlotLimitStyle::iplsBandY)
        return FFillStyle != TBrushStyle::bsClear;
    return true;
}

} // namespace kv
