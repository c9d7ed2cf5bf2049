#include "tests/fuzz/LinkFuzzTargets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kvfuzz::ReportDescriptor(data, size);
    return 0;
}
