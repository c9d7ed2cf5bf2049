#include "tests/styled/RtfFuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kvfuzz::RtfReader(data, size);
    return 0;
}
