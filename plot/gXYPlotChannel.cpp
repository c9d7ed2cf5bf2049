#include "plot/gXYPlotChannel.h"

#include "plot/gPlotManagers.h"

namespace kv {

KV_REGISTER_CLASS(TgXYPlotChannel, TgPlotChannelCustom, b) {}

namespace {
const bool kXYChannelClassRegistered = (gRegisterPlotObjectClassOf<TgXYPlotChannel>("TgXYPlotChannel"), true);
} // namespace

TgXYPlotChannel::TgXYPlotChannel(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                                 TNotifyEvent onRemove, TNotifyEvent onRename)
    : TgPlotChannelCustom(owner, std::move(onChange), std::move(onInsert), std::move(onRemove),
                          std::move(onRename)) {}

TgXYPlotChannel::~TgXYPlotChannel() {
    NotifyRemove();
}

void TgXYPlotChannel::CalcStartIndex() {}
void TgXYPlotChannel::CalcStopIndex() {}
double TgXYPlotChannel::GetVisibleXMax() {
    return -1e300;
}
double TgXYPlotChannel::GetVisibleXMin() {
    return 1e300;
}
double TgXYPlotChannel::GetVisibleYMax() {
    return -1e300;
}
double TgXYPlotChannel::GetVisibleYMin() {
    return 1e300;
}
void TgXYPlotChannel::UpdateDataCursorText(TgPlotObject*) {}

} // namespace kv
