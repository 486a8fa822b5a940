// libFuzzer target for the RTF reader and writer (no Qt). Built and run by
// tools/fuzz-rtf.sh under AddressSanitizer and UndefinedBehaviorSanitizer.

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "rtf_invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string error = paipan::rtf::testing::CheckReader(bytes);
    if (!error.empty()) {
        std::fprintf(stderr, "RTF invariant broken: %s\n", error.c_str());
        std::abort();
    }
    return 0;
}
