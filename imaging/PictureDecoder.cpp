#include "imaging/PictureDecoder.h"

#include "imaging/BmpDecoder.h"
#include "imaging/ExifOrientation.h"
#include "imaging/FormatBytes.h"
#include "imaging/JpegDecoder.h"
#include "imaging/StreamScaler.h"

#include <algorithm>
#include <new>
#include <utility>

namespace imaging {

namespace {

bool looksLikeMetafile(const std::uint8_t* data, std::size_t size) {
    if (wmf::hasPlaceableKey(data, size))
        return true;
    if (size < 2 * wmf::kHeaderWords)
        return false;
    const unsigned type = le::u16(data);
    const unsigned headerWords = le::u16(data + wmf::kHeaderWordsAt);
    const unsigned version = le::u16(data + wmf::kVersionAt);
    return (type == 1 || type == 2) && headerWords == wmf::kHeaderWords && (version == 0x100 || version == 0x300);
}

} // namespace

PictureFormat detectPictureFormat(const std::uint8_t* data, std::size_t size) {
    if (looksLikeBmpFile(data, size))
        return PictureFormat::Bmp;
    if (looksLikeJpeg(data, size))
        return PictureFormat::Jpeg;
    if (looksLikeMetafile(data, size))
        return PictureFormat::Wmf;
    if (looksLikePackedDib(data, size))
        return PictureFormat::PackedDib;
    return PictureFormat::Unknown;
}

ImageError readPictureInfo(const std::uint8_t* data, std::size_t size, PictureInfo& info) {
    info = PictureInfo{};
    if (size == 0)
        return ImageError::Empty;
    info.format = detectPictureFormat(data, size);
    switch (info.format) {
    case PictureFormat::Bmp:
    case PictureFormat::PackedDib: {
        BmpDetails bmp;
        ImageError error =
            info.format == PictureFormat::Bmp ? checkBmpFile(data, size, &bmp) : checkPackedDib(data, size, &bmp);
        info.bitsPerPixel = bmp.bitsPerPixel;
        if (error == ImageError::None) {
            info.width = bmp.width;
            info.height = bmp.height;
        }
        return error;
    }
    case PictureFormat::Jpeg: {
        JpegDetails jpeg;
        ImageError error = readJpegHeader(data, size, jpeg);
        if (error == ImageError::None) {
            info.orientation = readExifOrientation(data, size);
            const bool swap = swapsSides(info.orientation);
            info.width = swap ? jpeg.height : jpeg.width;
            info.height = swap ? jpeg.width : jpeg.height;
            info.components = jpeg.components;
        }
        return error;
    }
    case PictureFormat::Wmf:
    case PictureFormat::Unknown:
        break;
    }
    return ImageError::UnknownFormat;
}

ImageError decodePicture(const std::uint8_t* data, std::size_t size, std::uint32_t coverWidth,
                         std::uint32_t coverHeight, Image& out, PictureInfo* info, const StopSignal* stop) {
    out = Image{};
    if (size == 0)
        return ImageError::Empty;
    PictureInfo local;
    PictureInfo& details = info ? *info : local;
    details = PictureInfo{};
    details.format = detectPictureFormat(data, size);
    ImageError error = ImageError::UnknownFormat;
    switch (details.format) {
    case PictureFormat::Bmp:
    case PictureFormat::PackedDib: {
        BmpDetails bmp;
        error = details.format == PictureFormat::Bmp ? decodeBmpFile(data, size, out, &bmp, stop)
                                                     : decodePackedDib(data, size, out, &bmp, stop);
        details.bitsPerPixel = bmp.bitsPerPixel;
        details.width = out.width;
        details.height = out.height;
        break;
    }
    case PictureFormat::Jpeg: {
        // The cover is asked of the upright picture; the stored one may lie a quarter turn round.
        details.orientation = readExifOrientation(data, size);
        const bool swap = swapsSides(details.orientation);
        JpegDetails jpeg;
        error = swap ? decodeJpeg(data, size, coverHeight, coverWidth, out, &jpeg, stop)
                     : decodeJpeg(data, size, coverWidth, coverHeight, out, &jpeg, stop);
        details.width = swap ? jpeg.height : jpeg.width;
        details.height = swap ? jpeg.width : jpeg.height;
        details.components = jpeg.components;
        if (error == ImageError::None && details.orientation != 1) {
            try {
                out = orientImage(std::move(out), details.orientation);
            } catch (const std::bad_alloc&) {
                out = Image{};
                error = ImageError::OutOfMemory;
            }
        }
        break;
    }
    case PictureFormat::Wmf:
    case PictureFormat::Unknown:
        break;
    }
    return error;
}

std::size_t decodeMemoryBudget(int width, int height) {
    const std::uint64_t pixels = std::uint64_t(std::max(width, 0)) * std::uint64_t(std::max(height, 0));
    return std::size_t(std::max<std::uint64_t>(kMinDecodeMemory, kDecodeMemoryPerPixel * pixels));
}

ImageError decodePictureToSize(const std::uint8_t* data, std::size_t size, int width, int height, Image& out,
                               PictureInfo* info, const StopSignal* stop) {
    out = Image{};
    PictureInfo local;
    PictureInfo& details = info ? *info : local;
    details = PictureInfo{};
    if (width <= 0 || height <= 0 || std::uint64_t(width) * std::uint64_t(height) > kMaxImagePixels)
        return ImageError::BadSize;
    if (size == 0)
        return ImageError::Empty;
    details.format = detectPictureFormat(data, size);
    const std::size_t budget = decodeMemoryBudget(width, height);
    ImageError error = ImageError::UnknownFormat;
    switch (details.format) {
    case PictureFormat::Bmp:
    case PictureFormat::PackedDib: {
        StreamScaler scaler(width, height, 1, budget, stop);
        BmpDetails bmp;
        error = details.format == PictureFormat::Bmp ? decodeBmpRows(data, size, scaler, &bmp, stop)
                                                     : decodePackedDibRows(data, size, scaler, &bmp, stop);
        details.bitsPerPixel = bmp.bitsPerPixel;
        details.width = bmp.width;
        details.height = bmp.height;
        if (error == ImageError::None)
            out = scaler.take();
        break;
    }
    case PictureFormat::Jpeg: {
        details.orientation = readExifOrientation(data, size);
        const bool swap = swapsSides(details.orientation);
        StreamScaler scaler(width, height, details.orientation, budget, stop);
        JpegDetails jpeg;
        error = swap ? decodeJpegRows(data, size, std::uint32_t(height), std::uint32_t(width), scaler, &jpeg, stop)
                     : decodeJpegRows(data, size, std::uint32_t(width), std::uint32_t(height), scaler, &jpeg, stop);
        details.width = swap ? jpeg.height : jpeg.width;
        details.height = swap ? jpeg.width : jpeg.height;
        details.components = jpeg.components;
        if (error == ImageError::None)
            out = scaler.take();
        break;
    }
    case PictureFormat::Wmf:
    case PictureFormat::Unknown:
        break;
    }
    if (error == ImageError::None && out.pixels.empty())
        error = ImageError::Truncated; // a decoder that stopped short of its last row
    if (error != ImageError::None)
        out = Image{};
    return error;
}

} // namespace imaging
