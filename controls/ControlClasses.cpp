#include "controls/ControlClasses.h"

#include "controls/LMyFFTDrawHpLp6dB.h"
#include "controls/LMyFFTDrawPhase.h"
#include "controls/LProgressBar.h"
#include "controls/MyPEQ.h"
#include "controls/MyPEQGain.h"
#include "controls/MyPEQType8.h"

namespace kv {

void RegisterControlClasses() {
    RegisterClass(LProgressBar::StaticClassInfo());
    RegisterClass(LMyFFTDrawHpLp6dB::StaticClassInfo());
    RegisterClass(LMyFFTDrawPhase::StaticClassInfo());
    RegisterClass(TMyPEQType8::StaticClassInfo());
    RegisterClass(TMyPEQGain::StaticClassInfo());
    RegisterClass(TMyPEQ::StaticClassInfo());
}

} // namespace kv
