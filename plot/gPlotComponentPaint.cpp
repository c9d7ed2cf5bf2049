#include "plot/gPlotComponent.h"

namespace kv {

void TgPlotComponent::gPaint(TCanvas& canvas) {
    PaintBackGround(canvas, BackGroundColor());
}
void TgPlotComponent::CalcLayout(TCanvas&) {}
void TgPlotComponent::ReCalcLayout() {}
bool TgPlotComponent::CheckAxesCollision(const TRect&) {
    return true;
}
void TgPlotComponent::AddAxesCollisionRect(const TRect&) {}
int TgPlotComponent::LayerWidth(TCanvas&, const std::vector<TgPlotLayoutObject*>&, int) {
    return 0;
}

} // namespace kv
