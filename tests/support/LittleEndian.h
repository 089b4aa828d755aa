// Little-endian fields for the picture files the tests build byte by byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace support {

using Bytes = std::vector<std::uint8_t>;

inline void put16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}
inline void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = std::uint8_t(v >> (8 * i));
}
inline void append16(Bytes& b, std::uint32_t v) {
    b.resize(b.size() + 2);
    put16(b, b.size() - 2, v);
}
inline void append32(Bytes& b, std::uint32_t v) {
    b.resize(b.size() + 4);
    put32(b, b.size() - 4, v);
}

} // namespace support
