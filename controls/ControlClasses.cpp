#include "controls/ControlClasses.h"

#include "controls/LMyFFTDrawHpLp6dB.h"
#include "controls/LMyFFTDrawPhase.h"
#include "controls/LProgressBar.h"

namespace kv {

void RegisterControlClasses() {
    RegisterClass(LProgressBar::StaticClassInfo());
    RegisterClass(LMyFFTDrawHpLp6dB::StaticClassInfo());
    RegisterClass(LMyFFTDrawPhase::StaticClassInfo());
}

} // namespace kv
