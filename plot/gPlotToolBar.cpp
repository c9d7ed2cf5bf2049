#include "plot/gPlotToolBar.h"

#include "plot/gPlotManagers.h"

namespace kv {

std::vector<std::string> EnumIdents(TgPlotToolBarButtonType) {
    return {"iptbbtResume",  "iptbbtPause",   "iptbbtScrollAxesMode", "iptbbtZoomAxesMode", "iptbbtSelect",
            "iptbbtZoomBox", "iptbbtZoomOut", "iptbbtZoomIn",         "iptbbtCursor",       "iptbbtEdit",
            "iptbbtCopy",    "iptbbtSave",    "iptbbtPrint",          "iptbbtPreview"};
}

KV_REGISTER_CLASS(TgPlotToolBar, TgPlotLayoutObject, b) {}

namespace {
const bool kToolBarClassRegistered = (gRegisterPlotObjectClassOf<TgPlotToolBar>("TgPlotToolBar"), true);
} // namespace

TgPlotToolBar::TgPlotToolBar(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                             TNotifyEvent onRemove, TNotifyEvent onRename)
    : TgPlotLayoutObject(owner, std::move(onChange), std::move(onInsert), std::move(onRemove),
                         std::move(onRename)) {
    FHorizontal = true;
}

TgPlotToolBar::~TgPlotToolBar() {
    NotifyRemove();
}

bool TgPlotToolBar::GetSelectActive() const {
    return false;
}
bool TgPlotToolBar::ZoomBoxActive() const {
    return false;
}
bool TgPlotToolBar::CursorActive() const {
    return false;
}
void TgPlotToolBar::DoButtonClickSelect() {}

} // namespace kv
