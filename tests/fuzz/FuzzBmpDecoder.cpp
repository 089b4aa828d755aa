// Any bytes read as a BMP file or a packed DIB: a clean failure, or a consistent picture that scales.
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
