// Picture files in memory, recognised by their first bytes (never by their name), decoded and scaled.
#pragma once

#include "imaging/Image.h"
#include "imaging/StopSignal.h"

#include <cstddef>
#include <cstdint>

namespace imaging {

enum class PictureFormat { Unknown, Bmp, PackedDib, Jpeg, Wmf };

PictureFormat detectPictureFormat(const std::uint8_t* data, std::size_t size);

struct PictureInfo {
    PictureFormat format = PictureFormat::Unknown;
    int width = 0; // of the upright picture in the file, before any scaling
    int height = 0;
    int bitsPerPixel = 0; // BMP and DIB only
    int components = 0;   // JPEG only
    int orientation = 1;  // JPEG only: the EXIF orientation the stored pixels are turned upright by
};

// The picture's format and size from its headers alone, checked as a decode would check them; nothing
// is decoded. Metafiles give UnknownFormat with info.format set, as in decodePicture.
ImageError readPictureInfo(const std::uint8_t* data, std::size_t size, PictureInfo& info);

// Decodes a BMP file, packed DIB or JPEG file, upright. JPEG pictures come out at the smallest DCT scale
// that covers coverWidth x coverHeight of the upright picture (0 x 0: full size), the others at full
// size. Metafiles are recognised (info->format) but left to the platform: UnknownFormat. A raised stop
// gives Cancelled and no picture.
ImageError decodePicture(const std::uint8_t* data, std::size_t size, std::uint32_t coverWidth,
                         std::uint32_t coverHeight, Image& out, PictureInfo* info = nullptr,
                         const StopSignal* stop = nullptr);

// The most working memory decodePictureToSize takes for a result of width x height, whatever the file
// holds or claims: the decoder's buffers and library, the filter and the result (not the file's bytes).
// A picture that could not be read within it (a row too wide) is TooLarge.
constexpr std::size_t kMinDecodeMemory = std::size_t(16) << 20;
constexpr std::size_t kDecodeMemoryPerPixel = 64;
// A progressive JPEG's coefficient buffers come on top (kProgressiveCoefficientMemory).
std::size_t decodeMemoryBudget(int width, int height);

// The picture filtered to exactly width x height whatever its shape, as decodePicture then scaleTriangle
// would give it, but streamed: rows are filtered as they are decoded, within decodeMemoryBudget.
ImageError decodePictureToSize(const std::uint8_t* data, std::size_t size, int width, int height, Image& out,
                               PictureInfo* info = nullptr, const StopSignal* stop = nullptr);

} // namespace imaging
