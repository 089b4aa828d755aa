// A decoded picture in memory, and why a decode can fail.
#pragma once

#include <cstdint>
#include <vector>

namespace imaging {

// 32-bit pixels 0xAARRGGBB (in memory: blue, green, red, alpha), rows top-down, no padding.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Decoders refuse pictures larger than this before allocating anything. A 100-megapixel camera
// picture still passes; a header claiming 65535 x 65535 does not.
constexpr std::uint64_t kMaxImagePixels = std::uint64_t(1) << 27;
// Picture files are read whole into memory; anything larger is refused before reading.
constexpr std::uint64_t kMaxPictureFileBytes = std::uint64_t(768) << 20;

enum class ImageError {
    None,
    Empty,         // no bytes at all
    UnknownFormat, // not a BMP, DIB or JPEG
    BadHeader,     // a header field that cannot be true (offset, size, dimension, depth, palette)
    Unsupported,   // a valid variant this decoder does not handle
    Truncated,     // the data ends before the picture does
    Corrupt,       // the compressed data is damaged
    TooLarge,      // more pixels than kMaxImagePixels
    OutOfMemory,
    BadSize,   // a requested size below 1 or beyond what a texture may have
    Cancelled, // the caller's stop signal was raised mid-decode
};

// A short name for traces and test output.
const char* imageErrorName(ImageError error);

inline std::uint32_t packRgb(unsigned r, unsigned g, unsigned b, unsigned a = 255) {
    return (std::uint32_t(a) << 24) | (std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | std::uint32_t(b);
}

} // namespace imaging
