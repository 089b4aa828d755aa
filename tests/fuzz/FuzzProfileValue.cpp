// INI values of any content read as a number or the default, never more; key names of any content
// count as picture-list entries only when written exactly the way "Entry%d" writes them.
#include "library/RebuildRules.h"
#include "framework/ProfileValue.h"

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    int value = fw::parseProfileInt(text, 12345);
    if (text.empty() && value != 12345)
        std::abort();

    const std::string key(text);
    std::string lower = key;
    for (char& c : lower)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    bool entry = false;
    const std::string digits = lower.size() > 5 ? lower.substr(5) : std::string();
    if (lower.compare(0, 5, "entry") == 0 && !digits.empty() && digits.size() <= 4 &&
        digits.find_first_not_of("0123456789") == std::string::npos) {
        const int n = std::stoi(digits);
        entry = std::to_string(n) == digits && n < 1000;
    }
    if (library::isListEntryBelow(key, 1000) != entry)
        std::abort();
    return 0;
}
