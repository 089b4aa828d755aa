// INI values of any content read as a number or the default, never more.
#include "settings/ProfileValue.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    int value = settings::parseProfileInt(text, 12345);
    if (text.empty() && value != 12345)
        std::abort();
    return 0;
}
