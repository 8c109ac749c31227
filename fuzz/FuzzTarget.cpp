// The libFuzzer entry of one target; REELPOCKET_FUZZ_CHECK names its check.
#include "FuzzChecks.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string failure = REELPOCKET_FUZZ_CHECK(std::string(reinterpret_cast<const char*>(data), size));
    if (!failure.empty()) {
        std::fprintf(stderr, "broken property: %s\n", failure.c_str());
        std::abort();
    }
    return 0;
}
