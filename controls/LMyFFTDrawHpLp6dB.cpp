#include "controls/LMyFFTDrawHpLp6dB.h"

namespace kv {

KV_REGISTER_CLASS(LMyFFTDrawHpLp6dB, TPaintBox, b) {
    RegisterFFTDrawProperties(b);
}

LMyFFTDrawHpLp6dB::LMyFFTDrawHpLp6dB(TComponent* owner) : LMyFFTDrawBase(owner) {}

LMyFFTDrawHpLp6dB::LMyFFTDrawHpLp6dB(TComponent* owner, const LMyFFTDrawHpLp6dB& other)
    : LMyFFTDrawBase(owner) {
    AssignPlot(other);
}

LMyFFTDrawBase::TParamText LMyFFTDrawHpLp6dB::ParamTextOf(int type, bool) const {
    if (type <= 2)
        return ptAll;
    if (type == 3 || type == 5 || type == 7)
        return ptFrequency;
    return ptQFrequency;
}

} // namespace kv
