#include "library/SourceScreen.h"

#include "imaging/BmpDecoder.h"
#include "imaging/JpegDecoder.h"
#include "imaging/MetafileCheck.h"
#include "imaging/PictureDecoder.h"

#include <algorithm>

namespace library {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitfields = 3;

std::uint32_t u32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}

std::uint16_t u16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}

// The bitmap header and colour table as the system reads them: a whole table of 2^bits entries when the
// header states none (our decoder also takes a shorter one that the pixel offset leaves room for).
std::uint64_t systemInfoSize(const std::uint8_t* header) {
    const std::uint32_t headerSize = u32(header);
    if (headerSize == 12) {
        const unsigned bits = u16(header + 10);
        return 12 + (bits <= 8 ? (std::uint64_t(1) << bits) * 3 : 0);
    }
    const unsigned bits = u16(header + 14);
    const std::uint32_t clrUsed = u32(header + 32);
    const std::uint64_t colours = clrUsed ? std::min<std::uint32_t>(clrUsed, 256) : bits <= 8 ? 1u << bits : 0;
    const std::uint64_t masks = u32(header + 16) == kBitfields ? 12 : 0;
    return std::max<std::uint64_t>(headerSize, 40 + masks) + colours * 4;
}

bool isSafeBmp(const std::uint8_t* data, std::size_t size) {
    if (imaging::checkBmpFile(data, size) != imaging::ImageError::None)
        return false;
    const std::uint8_t* header = data + kFileHeaderSize;
    if (kFileHeaderSize + systemInfoSize(header) > size)
        return false;
    // Compressed rows are read as far as the header's image size says, whatever the file holds.
    if (u32(header) >= 40) {
        const std::uint32_t compression = u32(header + 16);
        if (compression == kRle8 || compression == kRle4) {
            const std::uint64_t offBits = u32(data + 10);
            const std::uint64_t sizeImage = u32(header + 20);
            return sizeImage > 0 && offBits + sizeImage <= size;
        }
    }
    return true;
}

} // namespace

bool isSafeForSystemLoader(const std::uint8_t* data, std::size_t size) {
    switch (imaging::detectPictureFormat(data, size)) {
    case imaging::PictureFormat::Bmp:
        return isSafeBmp(data, size);
    case imaging::PictureFormat::Jpeg: {
        imaging::JpegDetails details;
        return imaging::readJpegHeader(data, size, details) == imaging::ImageError::None;
    }
    case imaging::PictureFormat::Wmf:
        return imaging::isSoundMetafile(data, size);
    case imaging::PictureFormat::PackedDib:
    case imaging::PictureFormat::Unknown:
        break;
    }
    return false;
}

} // namespace library
