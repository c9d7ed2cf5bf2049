#include "plot/gPlotLegend.h"

#include "plot/gPlotManagers.h"

namespace kv {

KV_REGISTER_CLASS(TgPlotLegend, TgPlotLayoutObject, b) {}

namespace {
const bool kLegendClassRegistered = (gRegisterPlotObjectClassOf<TgPlotLegend>("TgPlotLegend"), true);
} // namespace

TgPlotLegend::TgPlotLegend(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                           TNotifyEvent onRemove, TNotifyEvent onRename)
    : TgPlotLayoutObject(owner, std::move(onChange), std::move(onInsert), std::move(onRemove),
                         std::move(onRename)) {}

TgPlotLegend::~TgPlotLegend() {
    NotifyRemove();
}

} // namespace kv
