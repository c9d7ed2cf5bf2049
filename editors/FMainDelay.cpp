// The delay page: each channel's delay by fader, indicator drag or typed value, and the delay unit.

#include "app/FMain.h"

using namespace kv;

void TfmMain::PublishDelay(TClassBuilder<TfmMain>&) {}

void TfmMain::PlaceDelayIndicator(int) {}
