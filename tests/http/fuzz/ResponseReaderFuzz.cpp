// libFuzzer entry point for the HTTP response reader (scripts/fuzz-http.sh).
#include "ResponseReaderHarness.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string broken = quorvex::fuzz::ReadResponse(data, size);
    if (!broken.empty()) {
        std::fprintf(stderr, "response reader rule broken: %s\n", broken.c_str());
        std::abort();
    }
    return 0;
}
