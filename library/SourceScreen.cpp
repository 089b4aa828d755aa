#include "library/SourceScreen.h"

#include "imaging/BmpDecoder.h"
#include "imaging/FormatBytes.h"
#include "imaging/JpegDecoder.h"
#include "imaging/MetafileCheck.h"
#include "imaging/PictureDecoder.h"

#include <algorithm>

namespace library {

namespace {

namespace bmp = imaging::bmp;
using imaging::le::u16;
using imaging::le::u32;

// The bitmap header and colour table as the system reads them: a whole table of 2^bits entries when the
// header states none (our decoder also takes a shorter one that the pixel offset leaves room for).
std::uint64_t systemInfoSize(const std::uint8_t* header) {
    const std::uint32_t headerSize = u32(header);
    if (headerSize == bmp::kCoreHeaderSize) {
        const unsigned bits = u16(header + bmp::kCoreBitCountAt);
        return bmp::kCoreHeaderSize + (bits <= 8 ? (std::uint64_t(1) << bits) * 3 : 0);
    }
    const unsigned bits = u16(header + bmp::kBitCountAt);
    const std::uint32_t clrUsed = u32(header + bmp::kClrUsedAt);
    const std::uint64_t colours = clrUsed ? std::min<std::uint32_t>(clrUsed, 256) : bits <= 8 ? 1u << bits : 0;
    const std::uint64_t masks = u32(header + bmp::kCompressionAt) == bmp::kBitfields ? bmp::kMaskBytes : 0;
    return std::max<std::uint64_t>(headerSize, bmp::kInfoHeaderSize + masks) + colours * 4;
}

bool isSafeBmp(const std::uint8_t* data, std::size_t size) {
    if (imaging::checkBmpFile(data, size) != imaging::ImageError::None)
        return false;
    const std::uint8_t* header = data + bmp::kFileHeaderSize;
    if (bmp::kFileHeaderSize + systemInfoSize(header) > size)
        return false;
    // Compressed rows are read as far as the header's image size says, whatever the file holds.
    if (u32(header) >= bmp::kInfoHeaderSize) {
        const std::uint32_t compression = u32(header + bmp::kCompressionAt);
        if (compression == bmp::kRle8 || compression == bmp::kRle4) {
            const std::uint64_t offBits = u32(data + bmp::kPixelOffsetAt);
            const std::uint64_t sizeImage = u32(header + bmp::kSizeImageAt);
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
