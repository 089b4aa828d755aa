// The uncompressed BMP layout of the cache files: the bitmap description and the file header.
// Free of window code.
#pragma once

#include "imaging/FormatBytes.h"

#include <array>
#include <cstdint>
#include <optional>

namespace library {

constexpr std::uint32_t kInfoHeaderSize = imaging::bmp::kInfoHeaderSize;
constexpr std::uint32_t kFileHeaderSize = imaging::bmp::kFileHeaderSize;

// The fields of the description that depend on the bitmap.
struct BmpDescription {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;  // the bitmap's own bits per pixel
    int colourDepth = 0;         // bitCount rounded to 1, 4, 8, 16, 24 or 32
    std::uint32_t clrUsed = 0;   // colour-table entries: 2^depth below 24 bits, else 0
    std::uint32_t sizeImage = 0; // pixel rows, each padded to a multiple of 4 bytes
};

int roundColourDepth(int bits);

// No description for a bitmap without pixels or planes, or whose pixel rows would not fit 32 bits.
std::optional<BmpDescription> describeBitmap(long width, long height, int planes, int bitsPixel);

// The 40-byte header as stored in the file (resolution fields 0, BI_RGB).
std::array<std::uint8_t, kInfoHeaderSize> encodeInfoHeader(const BmpDescription& description);

// The 14-byte file header for a description of the given header size and table length.
std::array<std::uint8_t, kFileHeaderSize> encodeFileHeader(std::uint32_t infoSize, std::uint32_t clrUsed,
                                                           std::uint32_t sizeImage);

} // namespace library
