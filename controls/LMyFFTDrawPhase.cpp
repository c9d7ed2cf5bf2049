#include "controls/LMyFFTDrawPhase.h"

namespace kv {

KV_REGISTER_CLASS(LMyFFTDrawPhase, TPaintBox, b) {
    RegisterFFTDrawProperties(b);
}

LMyFFTDrawPhase::LMyFFTDrawPhase(TComponent* owner) : LMyFFTDrawBase(owner) {}

LMyFFTDrawPhase::LMyFFTDrawPhase(TComponent* owner, const LMyFFTDrawPhase& other) : LMyFFTDrawBase(owner) {
    AssignPlot(other);
}

LMyFFTDrawBase::TParamText LMyFFTDrawPhase::ParamTextOf(int type, bool repaint) const {
    if (type <= 2)
        return ptAll;
    if (type == 5 || type == 10 || type == 11)
        return ptFrequency;
    if (repaint)
        return ptQFrequency;
    if (type == 3 || type == 4 || type == 6)
        return ptQFrequency;
    return ptNone;
}

} // namespace kv
