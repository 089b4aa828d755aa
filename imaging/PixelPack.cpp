#include "imaging/PixelPack.h"

#include <cstdint>
#include <cstring>

namespace imaging {

namespace {

// Rounds an 8-bit channel to the given number of bits.
unsigned narrow(unsigned value, unsigned bits) {
    const unsigned max = (1u << bits) - 1;
    return (value * max + 127) / 255;
}

std::uint16_t pack16(std::uint32_t p, PackedFormat format) {
    const unsigned a = p >> 24, r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
    switch (format) {
    case PackedFormat::R5G6B5:
        return std::uint16_t((narrow(r, 5) << 11) | (narrow(g, 6) << 5) | narrow(b, 5));
    case PackedFormat::X1R5G5B5:
        return std::uint16_t(0x8000 | (narrow(r, 5) << 10) | (narrow(g, 5) << 5) | narrow(b, 5));
    case PackedFormat::A1R5G5B5:
        return std::uint16_t(((a >= 128) << 15) | (narrow(r, 5) << 10) | (narrow(g, 5) << 5) | narrow(b, 5));
    case PackedFormat::A4R4G4B4:
        return std::uint16_t((narrow(a, 4) << 12) | (narrow(r, 4) << 8) | (narrow(g, 4) << 4) | narrow(b, 4));
    case PackedFormat::X4R4G4B4:
        return std::uint16_t(0xF000 | (narrow(r, 4) << 8) | (narrow(g, 4) << 4) | narrow(b, 4));
    default:
        return 0;
    }
}

} // namespace

int bytesPerPixel(PackedFormat format) {
    switch (format) {
    case PackedFormat::X8R8G8B8:
    case PackedFormat::A8R8G8B8:
        return 4;
    case PackedFormat::R8G8B8:
        return 3;
    default:
        return 2;
    }
}

void packImage(const Image& image, PackedFormat format, void* bits, std::ptrdiff_t pitch) {
    auto* base = static_cast<std::uint8_t*>(bits);
    for (int y = 0; y < image.height; ++y) {
        const std::uint32_t* src = image.pixels.data() + std::size_t(y) * image.width;
        std::uint8_t* dst = base + y * pitch;
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t p = src[x];
            switch (format) {
            case PackedFormat::A8R8G8B8:
                std::memcpy(dst + 4 * x, &p, 4);
                break;
            case PackedFormat::X8R8G8B8: {
                const std::uint32_t opaque = p | 0xFF000000u;
                std::memcpy(dst + 4 * x, &opaque, 4);
                break;
            }
            case PackedFormat::R8G8B8:
                dst[3 * x] = std::uint8_t(p);
                dst[3 * x + 1] = std::uint8_t(p >> 8);
                dst[3 * x + 2] = std::uint8_t(p >> 16);
                break;
            default: {
                const std::uint16_t v = pack16(p, format);
                dst[2 * x] = std::uint8_t(v);
                dst[2 * x + 1] = std::uint8_t(v >> 8);
                break;
            }
            }
        }
    }
}

} // namespace imaging
