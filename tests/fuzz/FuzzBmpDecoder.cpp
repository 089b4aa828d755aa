// Any bytes read as a BMP file or a packed DIB: a clean failure, or a consistent picture that scales; the
// header checks alone agree with the decode.
#include "imaging/BmpDecoder.h"
#include "imaging/Scale.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (bool packed : {false, true}) {
        imaging::Image image;
        const imaging::ImageError error =
            packed ? imaging::decodePackedDib(data, size, image) : imaging::decodeBmpFile(data, size, image);
        // The header checks alone come to the same verdict, short of running out of memory and of damage
        // inside a compressed stream, which only decoding it finds.
        const imaging::ImageError checked =
            packed ? imaging::checkPackedDib(data, size) : imaging::checkBmpFile(data, size);
        const bool decodeOnly = error == imaging::ImageError::OutOfMemory || error == imaging::ImageError::Truncated;
        if (checked != error && !(checked == imaging::ImageError::None && decodeOnly))
            std::abort();
        if (error != imaging::ImageError::None) {
            if (!image.pixels.empty() || image.width != 0)
                std::abort();
            continue;
        }
        if (image.width <= 0 || image.height <= 0 ||
            image.pixels.size() != std::size_t(image.width) * std::size_t(image.height))
            std::abort();
        if (imaging::scaleTriangle(image, 7, 5).pixels.size() != 35)
            std::abort();
    }
    return 0;
}
