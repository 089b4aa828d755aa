// Any bytes as a JPEG's markers, and as the TIFF block inside an EXIF segment: an orientation from 1 to 8,
// never a read beyond the data.
#include "imaging/ExifOrientation.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int direct = imaging::readExifOrientation(data, size);
    if (direct < 1 || direct > 8)
        std::abort();
    // The same bytes behind a sound APP1 header reach the TIFF reader however the markers went.
    if (size <= 65535 - 8) {
        std::vector<std::uint8_t> wrapped = {0xFF, 0xD8, 0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
        wrapped[4] = std::uint8_t((size + 8) >> 8);
        wrapped[5] = std::uint8_t(size + 8);
        wrapped.insert(wrapped.end(), data, data + size);
        const int inner = imaging::readExifOrientation(wrapped.data(), wrapped.size());
        if (inner < 1 || inner > 8)
            std::abort();
    }
    return 0;
}
