#include "tests/plot/PlotFileFuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kvfuzz::PlotFiles(data, size);
    return 0;
}
