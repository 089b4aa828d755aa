// For the fuzz targets: a failed property aborts, so libFuzzer keeps the input; values are taken from the
// front of the input, zero-filled once it runs out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace support {

inline void check(bool condition) {
    if (!condition)
        std::abort();
}

template <typename T> T take(const std::uint8_t*& data, std::size_t& size) {
    T value{};
    const std::size_t n = size < sizeof value ? size : sizeof value;
    std::memcpy(&value, data, n);
    data += n;
    size -= n;
    return value;
}

} // namespace support
