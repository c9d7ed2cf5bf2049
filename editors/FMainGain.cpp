// Gain, mute and polarity of every channel, on its own page and on the gain page.

#include "app/FMain.h"

using namespace kv;

void TfmMain::PublishGain(TClassBuilder<TfmMain>&) {}
