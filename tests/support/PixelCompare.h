// Comparing 0xRRGGBB pixels channel by channel, and printing them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace support {

inline bool closeTo(std::uint32_t pixel, std::uint32_t rgb, int tolerance) {
    for (int shift = 0; shift <= 16; shift += 8) {
        const int a = int((pixel >> shift) & 255), b = int((rgb >> shift) & 255);
        if (a - b > tolerance || b - a > tolerance)
            return false;
    }
    return true;
}

inline std::string hex(std::uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", v);
    return text;
}

} // namespace support
