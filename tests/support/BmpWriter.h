// BMP files and packed DIBs field by field, so that a test can state every header value it bends.
#pragma once

#include "tests/support/LittleEndian.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace support {

// Rows given top row first, values per pixel: palette indices, 16-bit words, 0xRRGGBB or raw 32 bits.
// Packed into padded rows in file order (bottom row first unless topDown).
inline Bytes packRows(unsigned bitCount, const std::vector<std::vector<std::uint32_t>>& rows, bool topDown) {
    Bytes out;
    const std::size_t width = rows.empty() ? 0 : rows[0].size();
    const std::size_t stride = (width * bitCount + 31) / 32 * 4;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto& row = rows[topDown ? r : rows.size() - 1 - r];
        Bytes line(stride, 0);
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint32_t v = row[x];
            switch (bitCount) {
            case 1:
            case 4:
            case 8: {
                const std::size_t bit = x * bitCount;
                line[bit / 8] |= std::uint8_t(v << (8 - bitCount - bit % 8));
                break;
            }
            case 16:
                put16(line, 2 * x, v);
                break;
            case 24:
                line[3 * x] = std::uint8_t(v);
                line[3 * x + 1] = std::uint8_t(v >> 8);
                line[3 * x + 2] = std::uint8_t(v >> 16);
                break;
            case 32:
                put32(line, 4 * x, v);
                break;
            }
        }
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

struct BmpFields {
    std::uint32_t headerSize = 40;
    std::int32_t width = 0;
    std::int32_t height = 0; // negative: top-down
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t clrUsed = 0;
    std::vector<std::uint32_t> masks;   // behind a 40-byte header, inside a larger one
    std::vector<std::uint32_t> palette; // 0xRRGGBB; entries written (4 bytes, 3 for the core header)
    std::size_t gap = 0;                // bytes between the colour table and the pixels
    Bytes pixels;
};

// A packed DIB: header, masks, colour table, gap, pixels.
inline Bytes makeDib(const BmpFields& s) {
    Bytes b(s.headerSize, 0);
    put32(b, 0, s.headerSize);
    if (s.headerSize == 12) {
        put16(b, 4, std::uint32_t(s.width));
        put16(b, 6, std::uint32_t(s.height));
        put16(b, 8, s.planes);
        put16(b, 10, s.bitCount);
    } else {
        put32(b, 4, std::uint32_t(s.width));
        put32(b, 8, std::uint32_t(s.height));
        put16(b, 12, s.planes);
        put16(b, 14, s.bitCount);
        put32(b, 16, s.compression);
        put32(b, 20, std::uint32_t(s.pixels.size()));
        put32(b, 32, s.clrUsed);
        if (s.headerSize > 40)
            for (std::size_t i = 0; i < s.masks.size() && 40 + 4 * i + 4 <= s.headerSize; ++i)
                put32(b, 40 + 4 * i, s.masks[i]);
    }
    if (s.headerSize == 40)
        for (std::uint32_t m : s.masks)
            append32(b, m);
    for (std::uint32_t c : s.palette) {
        b.push_back(std::uint8_t(c));
        b.push_back(std::uint8_t(c >> 8));
        b.push_back(std::uint8_t(c >> 16));
        if (s.headerSize != 12)
            b.push_back(0);
    }
    b.resize(b.size() + s.gap, 0xEE);
    b.insert(b.end(), s.pixels.begin(), s.pixels.end());
    return b;
}

// A BMP file: the file header with bfOffBits pointing just past the gap, then the DIB.
inline Bytes makeBmp(const BmpFields& s) {
    const Bytes dib = makeDib(s);
    Bytes b(14 + dib.size(), 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, std::uint32_t(b.size()));
    put32(b, 10, std::uint32_t(b.size() - s.pixels.size()));
    std::copy(dib.begin(), dib.end(), b.begin() + 14);
    return b;
}

// A 24-bit bottom-up BMP file of paint(x, y) -> 0xRRGGBB, coordinates top-down.
template <typename Paint> Bytes bmp24(int width, int height, Paint&& paint) {
    std::vector<std::vector<std::uint32_t>> rows(std::size_t(height),
                                                 std::vector<std::uint32_t>(std::size_t(width), 0));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            rows[std::size_t(y)][std::size_t(x)] = paint(x, y);
    BmpFields fields;
    fields.width = width;
    fields.height = height;
    fields.pixels = packRows(24, rows, false);
    return makeBmp(fields);
}

} // namespace support
