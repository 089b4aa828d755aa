// Bitmap descriptions for any size and depth: consistent row padding, table and file size, and every
// cache file laid out this way reads back through the texture loader's decoder at its own size and
// passes the screen in front of the system picture loader.
#include "imaging/BmpDecoder.h"
#include "library/BmpLayout.h"
#include "library/SourceScreen.h"
#include "tests/support/FuzzInput.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

using support::check;
using support::take;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::uint8_t mode = take<std::uint8_t>(data, size);
    long width, height;
    int planes, bits;
    if (mode & 1) {
        // Any values at all.
        width = take<long>(data, size);
        height = take<long>(data, size);
        planes = take<std::int32_t>(data, size);
        bits = take<std::int32_t>(data, size);
    } else {
        // The bitmaps a display makes: one plane, a usual depth, a small size that can be written out.
        static const int kDepths[] = {1, 4, 8, 16, 24, 32};
        width = 1 + take<std::uint8_t>(data, size);
        height = 1 + take<std::uint8_t>(data, size);
        planes = 1;
        bits = kDepths[take<std::uint8_t>(data, size) % 6];
    }
    const auto description = library::describeBitmap(width, height, planes, bits);
    if (!description)
        return 0;
    const library::BmpDescription& d = *description;
    check(d.width == width && d.height == height && d.planes == planes && d.bitCount == bits);
    const int depth = d.colourDepth;
    check(depth == 1 || depth == 4 || depth == 8 || depth == 16 || depth == 24 || depth == 32);
    check(std::int64_t(planes) * bits <= depth || depth == 32);
    check(d.clrUsed == (depth < 24 ? (1u << depth) : 0u));
    const std::uint64_t row = (std::uint64_t(width) * depth + 31) / 32 * 4;
    check(d.sizeImage == row * std::uint64_t(height));
    const std::uint64_t fileSize = 14 + 40 + 4ull * d.clrUsed + d.sizeImage;
    check(fileSize <= 0xFFFFFFFFull);

    const auto info = library::encodeInfoHeader(d);
    const auto file = library::encodeFileHeader(library::kInfoHeaderSize, d.clrUsed, d.sizeImage);
    std::uint32_t stored = 0;
    std::memcpy(&stored, file.data() + 2, 4);
    check(stored == fileSize);
    std::memcpy(&stored, file.data() + 10, 4);
    check(stored == 14 + 40 + 4 * d.clrUsed);
    if (mode & 1)
        return 0;

    std::vector<std::uint8_t> bytes(file.begin(), file.end());
    bytes.insert(bytes.end(), info.begin(), info.end());
    bytes.resize(bytes.size() + 4 * std::size_t(d.clrUsed), 0);
    for (std::uint32_t i = 0; i < d.sizeImage; ++i)
        bytes.push_back(size ? data[i % size] : 0);
    check(bytes.size() == fileSize);
    imaging::Image image;
    check(imaging::decodeBmpFile(bytes.data(), bytes.size(), image) == imaging::ImageError::None);
    check(image.width == width && image.height == height);
    check(library::isSafeForSystemLoader(bytes.data(), bytes.size()));
    return 0;
}
