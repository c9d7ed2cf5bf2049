#include "plot/gPlotDataCursor.h"

namespace kv {

std::vector<std::string> EnumIdents(TgPlotDataCursorStyle) {
    return {"ipcsValueXY", "ipcsValueX", "ipcsValueY", "ipcsDeltaX", "ipcsDeltaY", "ipcsInverseDeltaX"};
}

KV_REGISTER_CLASS(TgPlotDataCursor, TgPlotManagerObject, b) {
    b.Prop("ChannelName", &TgPlotDataCursor::ChannelName, &TgPlotDataCursor::SetChannelName);
}

namespace {
const bool kDataCursorClassRegistered =
    (gRegisterPlotObjectClassOf<TgPlotDataCursor>("TgPlotDataCursor"), true);
} // namespace

TgPlotDataCursor::TgPlotDataCursor(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                                   TNotifyEvent onRemove, TNotifyEvent onRename)
    : TgPlotManagerObject(owner, std::move(onChange), std::move(onInsert), std::move(onRemove),
                          std::move(onRename)) {}

TgPlotDataCursor::~TgPlotDataCursor() {
    NotifyRemove();
}

void TgPlotDataCursor::SetChannelName(const std::string& value) {
    SetStringProperty(value, FChannelName, &TgPlotObject::DoChange);
}

void TgPlotDataCursor::SetChannelShowAllInLegend(bool value) {
    SetBooleanProperty(value, FChannelShowAllInLegend, &TgPlotObject::DoChange);
}

void TgPlotDataCursor::UpdateValues() {}

} // namespace kv
