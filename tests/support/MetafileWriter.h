// Windows metafiles byte by byte: a standard header and records, and the placeable header in front.
#pragma once

#include "tests/support/LittleEndian.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace support {

// A standard metafile header and the records given (each: size in words, function, parameter words),
// with an end record unless told otherwise.
inline Bytes metafile(const std::vector<std::vector<std::uint16_t>>& records, bool endRecord = true) {
    Bytes b;
    append16(b, 1);     // in memory
    append16(b, 9);     // header words
    append16(b, 0x300); // version
    append32(b, 0);     // total words, below
    append16(b, 0);     // objects
    append32(b, 0);     // largest record
    append16(b, 0);
    for (const auto& words : records)
        for (std::uint16_t w : words)
            append16(b, w);
    if (endRecord) {
        append32(b, 3);
        append16(b, 0);
    }
    put32(b, 6, std::uint32_t(b.size() / 2));
    put32(b, 12, 0x7FFF);
    return b;
}

// A placeable header (bounding box and units per inch as given) in front of a metafile body.
inline Bytes placeable(std::int16_t left, std::int16_t top, std::int16_t right, std::int16_t bottom, std::uint16_t inch,
                       const Bytes& body) {
    Bytes b;
    append32(b, 0x9AC6CDD7u);
    append16(b, 0);
    append16(b, std::uint16_t(left));
    append16(b, std::uint16_t(top));
    append16(b, std::uint16_t(right));
    append16(b, std::uint16_t(bottom));
    append16(b, inch);
    append32(b, 0);
    std::uint16_t checksum = 0;
    for (std::size_t i = 0; i < 20; i += 2)
        checksum ^= std::uint16_t(b[i] | (b[i + 1] << 8));
    append16(b, checksum);
    b.insert(b.end(), body.begin(), body.end());
    return b;
}

} // namespace support
