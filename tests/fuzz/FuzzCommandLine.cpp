// Any command line parses to one mode without reading outside the text.
#include "app/CommandLine.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view line(reinterpret_cast<const char*>(data), size);
    ParsedCommandLine parsed = parseCommandLineText(line);
    int mode = static_cast<int>(parsed.mode);
    if (mode < 0 || mode > 5)
        std::abort();
    if (parsed.useForegroundWindow && (parsed.mode != SaverMode::ModeConfig || parsed.handle != 0))
        std::abort();
    (void)readDecimal(line);
    return 0;
}
