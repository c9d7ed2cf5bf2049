#include "tests/styled/FormattedTextFuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kvfuzz::FormattedText(data, size);
    return 0;
}
