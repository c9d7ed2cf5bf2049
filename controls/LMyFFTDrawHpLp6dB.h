#pragma once
// The response-curve graph of the channel pages: the shared graph with the parameter texts of the
// band table's type order (peak and shelves show Q, frequency and gain; first-order types the
// frequency alone; second-order types Q and frequency).

#include "controls/LMyFFTDraw.h"

namespace kv {

class LMyFFTDrawHpLp6dB : public LMyFFTDrawBase {
    KV_CLASS(LMyFFTDrawHpLp6dB)
public:
    explicit LMyFFTDrawHpLp6dB(TComponent* owner);
    // A graph with the other's curves (in reverse order, as the store copies them) and display
    // properties; controls are not copied as values.
    LMyFFTDrawHpLp6dB(TComponent* owner, const LMyFFTDrawHpLp6dB& other);

protected:
    TParamText ParamTextOf(int type, bool repaint) const override;
};

} // namespace kv
