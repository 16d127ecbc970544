// The libFuzzer entry of one target: CC_FUZZ_PROPERTY names its property.
#include "fuzz_properties.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string broken = fuzz::CC_FUZZ_PROPERTY(data, size);
    if (!broken.empty()) {
        std::fprintf(stderr, "property broken: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
