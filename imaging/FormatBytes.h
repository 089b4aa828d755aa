// Little-endian fields and the fixed layouts of BMP files and Windows metafiles, shared by every reader and
// writer of them. Free of window code and of the rest of the program.
#pragma once

#include <cstddef>
#include <cstdint>

namespace imaging {

namespace le {

inline std::uint16_t u16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}
inline std::uint32_t u32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
inline int s16(const std::uint8_t* p) {
    return int(std::int16_t(u16(p)));
}
inline void put16(std::uint8_t* p, std::uint32_t value) {
    p[0] = static_cast<std::uint8_t>(value);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}
inline void put32(std::uint8_t* p, std::uint32_t value) {
    put16(p, value & 0xFFFF);
    put16(p + 2, value >> 16);
}

} // namespace le

namespace bmp {

// BITMAPFILEHEADER: "BM", the file size, two reserved words, the offset of the pixels.
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kFileSizeAt = 2;
constexpr std::size_t kPixelOffsetAt = 10;

// BITMAPCOREHEADER (12 bytes, 16-bit sides) and BITMAPINFOHEADER (40 bytes) with its later versions.
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::size_t kCoreWidthAt = 4;
constexpr std::size_t kCoreHeightAt = 6;
constexpr std::size_t kCorePlanesAt = 8;
constexpr std::size_t kCoreBitCountAt = 10;
constexpr std::size_t kWidthAt = 4;
constexpr std::size_t kHeightAt = 8;
constexpr std::size_t kPlanesAt = 12;
constexpr std::size_t kBitCountAt = 14;
constexpr std::size_t kCompressionAt = 16;
constexpr std::size_t kSizeImageAt = 20;
constexpr std::size_t kClrUsedAt = 32;
// The red, green and blue masks: behind a 40-byte header with bit fields, inside the later headers,
// which from 56 bytes on also hold an alpha mask.
constexpr std::size_t kMasksAt = 40;
constexpr std::size_t kMaskBytes = 12;
constexpr std::size_t kAlphaMaskAt = 52;
constexpr std::uint32_t kAlphaMaskHeaderSize = 56;

constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitfields = 3;

} // namespace bmp

namespace wmf {

// The placeable header ahead of a metafile: key, handle, bounding box (left, top, right, bottom), units
// per inch, reserved word and checksum.
constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7u;
constexpr std::size_t kPlaceableHeaderSize = 22;
constexpr std::size_t kLeftAt = 6;
constexpr std::size_t kTopAt = 8;
constexpr std::size_t kRightAt = 10;
constexpr std::size_t kBottomAt = 12;
constexpr std::size_t kInchAt = 14;

// The metafile header proper: type, header size in words, version, size, object count, largest record,
// parameter count; each record: its size in words, its function, then its parameters.
constexpr std::size_t kHeaderWords = 9;
constexpr std::size_t kHeaderWordsAt = 2;
constexpr std::size_t kVersionAt = 4;
constexpr std::size_t kObjectsAt = 10;
constexpr std::uint64_t kRecordHeaderWords = 3;

inline bool hasPlaceableKey(const std::uint8_t* data, std::size_t size) {
    return size >= 4 && le::u32(data) == kPlaceableKey;
}

} // namespace wmf

} // namespace imaging
