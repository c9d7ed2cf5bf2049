#pragma once
// The twin of the response-curve graph that numbers band types its own way: types 5, 10 and 11 show
// the frequency alone, 3, 4 and 6 Q and frequency; other types above 2 write no text beside a band
// but Q and frequency when the selected band is written again at a page update.

#include "controls/LMyFFTDraw.h"

namespace kv {

class LMyFFTDrawPhase : public LMyFFTDrawBase {
    KV_CLASS(LMyFFTDrawPhase)
public:
    explicit LMyFFTDrawPhase(TComponent* owner);
    // A graph with the other's curves (in reverse order, as the store copies them) and display
    // properties; controls are not copied as values.
    LMyFFTDrawPhase(TComponent* owner, const LMyFFTDrawPhase& other);

protected:
    TParamText ParamTextOf(int type, bool repaint) const override;
};

} // namespace kv
