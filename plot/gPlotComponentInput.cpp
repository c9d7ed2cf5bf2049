#include "plot/gPlotComponent.h"

namespace kv {

void TgPlotComponent::gMouseDown(TMouseButton, TShiftState, int, int) {}
void TgPlotComponent::gMouseMove(TShiftState, int, int) {}
void TgPlotComponent::gMouseUp(TMouseButton, TShiftState, int, int) {}
void TgPlotComponent::gDblClick() {}
bool TgPlotComponent::gMouseWheel(int, TShiftState, TPoint) {
    return true;
}
void TgPlotComponent::gKeyDown(std::uint16_t&, TShiftState) {}
void TgPlotComponent::gWantSpecialKey(std::uint16_t&, std::int32_t&) {}
TgPlotObject* TgPlotComponent::GetObjectAtPoint(const TgPlotMouseData&) {
    return nullptr;
}
void TgPlotComponent::HintTimerTick() {}
void TgPlotComponent::HideHint() {}
void TgPlotComponent::HandleCaptureChanged(TControl*) {}
void TgPlotComponent::DoMasterAxisMouseLeft(TgPlotAxis*, const TgPlotMouseData&) {}
void TgPlotComponent::DoMasterAxisMouseMove(TgPlotAxis*, const TgPlotMouseData&) {}
void TgPlotComponent::DoMasterAxisMouseUp(TgPlotAxis*, const TgPlotMouseData&) {}
void TgPlotComponent::DoMasterAxisMouseWheel(TgPlotAxis*, int, TShiftState, int, int) {}
void TgPlotComponent::DoMasterAxisKeyDown(TgPlotAxis*, std::uint16_t&, TShiftState) {}
void TgPlotComponent::CaptureMouse() {}
void TgPlotComponent::ReleaseMouseCapture() {}
void TgPlotComponent::TakeKeyboardFocus() {}
void TgPlotComponent::ApplyMouseCursor(TCursor) {}
TgPlotMouseData TgPlotComponent::MakeMouseData(int, int, TMouseButton, TShiftState) const {
    return {};
}
void TgPlotComponent::HintTimerStart(int) {}

} // namespace kv
