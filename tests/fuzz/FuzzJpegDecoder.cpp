// Any bytes read as a JPEG (the first byte picks the size to cover): libjpeg's errors come back as
// results, never end the process, a decoded picture is consistent with the scale chosen, and the
// header read alone agrees with the decode.
#include "imaging/JpegDecoder.h"
#include "imaging/Scale.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    const std::uint32_t cover = data[0] % 64 + 1;
    imaging::Image image;
    imaging::JpegDetails details;
    const imaging::ImageError error = imaging::decodeJpeg(data + 1, size - 1, cover, cover, image, &details);
    // The header read alone sees the frame the decode saw, and refuses what the decode refused for its size.
    imaging::JpegDetails header;
    const imaging::ImageError headerError = imaging::readJpegHeader(data + 1, size - 1, header);
    if (error == imaging::ImageError::None &&
        (headerError != imaging::ImageError::None || header.width != details.width || header.height != details.height))
        std::abort();
    if (headerError == imaging::ImageError::TooLarge && error != imaging::ImageError::TooLarge)
        std::abort();
    if (error != imaging::ImageError::None) {
        if (!image.pixels.empty() || image.width != 0)
            std::abort();
        return 0;
    }
    const std::uint64_t w = (std::uint64_t(details.width) * details.scaleNumerator + 7) / 8;
    const std::uint64_t h = (std::uint64_t(details.height) * details.scaleNumerator + 7) / 8;
    if (std::uint64_t(image.width) != w || std::uint64_t(image.height) != h ||
        image.pixels.size() != std::size_t(w * h))
        std::abort();
    if (imaging::scaleTriangle(image, 8, 8).pixels.size() != 64)
        std::abort();
    return 0;
}
