// The compressor, limiter and gate strips.

#include "app/FMain.h"

using namespace kv;

void TfmMain::PublishDynamics(TClassBuilder<TfmMain>&) {}
