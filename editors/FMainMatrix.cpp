// The matrix page: each output's sources and mix levels, and the routing lines.

#include "app/FMain.h"

using namespace kv;

void TfmMain::PublishMatrix(TClassBuilder<TfmMain>&) {}
