#include "library/BmpLayout.h"

#include <cstddef>
#include <limits>

namespace library {

namespace {

namespace bmp = imaging::bmp;

template <size_t N> void put16(std::array<std::uint8_t, N>& bytes, size_t at, std::uint32_t value) {
    imaging::le::put16(bytes.data() + at, value);
}

template <size_t N> void put32(std::array<std::uint8_t, N>& bytes, size_t at, std::uint32_t value) {
    imaging::le::put32(bytes.data() + at, value);
}

} // namespace

int roundColourDepth(int bits) {
    if (bits == 1)
        return 1;
    if (bits <= 4)
        return 4;
    if (bits <= 8)
        return 8;
    if (bits <= 16)
        return 16;
    if (bits <= 24)
        return 24;
    return 32;
}

std::optional<BmpDescription> describeBitmap(long width, long height, int planes, int bitsPixel) {
    if (width <= 0 || height <= 0 || planes <= 0 || bitsPixel <= 0 || planes > 0xFFFF || bitsPixel > 0xFFFF)
        return std::nullopt;
    const long long bits = static_cast<long long>(planes) * bitsPixel;
    const int depth = roundColourDepth(bits > 32 ? 32 : static_cast<int>(bits));

    // Rows padded to 32 bits: ((width * depth + 31) with the low five bits cleared) / 8.
    const unsigned long long rowBytes = ((static_cast<unsigned long long>(width) * depth + 31) & ~31ull) / 8;
    const unsigned long long sizeImage = rowBytes * static_cast<unsigned long long>(height);
    const std::uint32_t clrUsed = depth < 24 ? (1u << depth) : 0u;
    // The whole file size must fit the header's 32-bit field.
    const unsigned long long fileSize = kFileHeaderSize + kInfoHeaderSize + 4ull * clrUsed + sizeImage;
    if (width > std::numeric_limits<std::int32_t>::max() || height > std::numeric_limits<std::int32_t>::max() ||
        fileSize > std::numeric_limits<std::uint32_t>::max())
        return std::nullopt;

    BmpDescription description;
    description.width = static_cast<std::int32_t>(width);
    description.height = static_cast<std::int32_t>(height);
    description.planes = static_cast<std::uint16_t>(planes);
    description.bitCount = static_cast<std::uint16_t>(bitsPixel);
    description.colourDepth = depth;
    description.clrUsed = clrUsed;
    description.sizeImage = static_cast<std::uint32_t>(sizeImage);
    return description;
}

std::array<std::uint8_t, kInfoHeaderSize> encodeInfoHeader(const BmpDescription& description) {
    std::array<std::uint8_t, kInfoHeaderSize> bytes{};
    put32(bytes, 0, kInfoHeaderSize);
    put32(bytes, bmp::kWidthAt, static_cast<std::uint32_t>(description.width));
    put32(bytes, bmp::kHeightAt, static_cast<std::uint32_t>(description.height));
    put16(bytes, bmp::kPlanesAt, description.planes);
    put16(bytes, bmp::kBitCountAt, description.bitCount);
    put32(bytes, bmp::kCompressionAt, bmp::kRgb);
    put32(bytes, bmp::kSizeImageAt, description.sizeImage);
    put32(bytes, bmp::kClrUsedAt, description.clrUsed);
    return bytes;
}

std::array<std::uint8_t, kFileHeaderSize> encodeFileHeader(std::uint32_t infoSize, std::uint32_t clrUsed,
                                                           std::uint32_t sizeImage) {
    std::array<std::uint8_t, kFileHeaderSize> bytes{};
    const std::uint32_t offBits = kFileHeaderSize + infoSize + 4 * clrUsed;
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(bytes, bmp::kFileSizeAt, offBits + sizeImage);
    put32(bytes, bmp::kPixelOffsetAt, offBits);
    return bytes;
}

} // namespace library
