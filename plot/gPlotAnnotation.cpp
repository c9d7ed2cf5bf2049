#include "plot/gPlotAnnotation.h"

#include "plot/gPlotManagers.h"

namespace kv {

std::vector<std::string> EnumIdents(TgPlotReferenceType) {
    return {"iprtDataView", "iprtChannel", "iprtXChannelYDataView", "iprtXDataViewYChannel"};
}
std::vector<std::string> EnumIdents(TgPlotReferenceIndividual) {
    return {"ipriDataView", "ipriChannel", "ipriAuto"};
}

KV_REGISTER_CLASS(TgPlotAnnotation, TgPlotObject, b) {}

namespace {
const bool kAnnotationClassRegistered =
    (gRegisterPlotObjectClassOf<TgPlotAnnotation>("TgPlotAnnotation"), true);
} // namespace

TgPlotAnnotation::TgPlotAnnotation(TComponent* owner, TNotifyEvent onChange, TNotifyEvent onInsert,
                                   TNotifyEvent onRemove, TNotifyEvent onRename)
    : TgPlotObject(owner, std::move(onChange), std::move(onInsert), std::move(onRemove), std::move(onRename)),
      FFont(std::make_unique<TFont>()) {}

TgPlotAnnotation::~TgPlotAnnotation() {
    NotifyRemove();
}

void TgPlotAnnotation::SetBrushStyle(TBrushStyle value) {
    SetValue(value, FBrushStyle);
}
void TgPlotAnnotation::SetBrushColor(TColor value) {
    SetValue(value, FBrushColor);
}
void TgPlotAnnotation::SetPenStyle(TPenStyle value) {
    SetValue(value, FPenStyle);
}
void TgPlotAnnotation::SetPenColor(TColor value) {
    SetValue(value, FPenColor);
}
void TgPlotAnnotation::SetPenWidth(int value) {
    SetValue(value, FPenWidth);
}
void TgPlotAnnotation::SetReference(TgPlotReferenceType value) {
    SetValue(value, FReference);
}
void TgPlotAnnotation::SetReferencePositionX(TgPlotReferenceIndividual value) {
    SetValue(value, FReferencePositionX);
}
void TgPlotAnnotation::SetReferencePositionY(TgPlotReferenceIndividual value) {
    SetValue(value, FReferencePositionY);
}
void TgPlotAnnotation::SetReferenceSizeX(TgPlotReferenceIndividual value) {
    SetValue(value, FReferenceSizeX);
}
void TgPlotAnnotation::SetReferenceSizeY(TgPlotReferenceIndividual value) {
    SetValue(value, FReferenceSizeY);
}

} // namespace kv
