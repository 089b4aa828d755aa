#include "imaging/JpegDecoder.h"
#include "imaging/PictureDecoder.h"
#include "imaging/Scale.h"

#include "tests/support/BmpWriter.h"
#include "tests/support/JpegWriter.h"
#include "tests/support/PeakMemory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

using namespace support;
using imaging::Image;
using imaging::ImageError;

// Soft gradients, fine stripes, a hard-edged disc and grain: something of everything a filter can get wrong.
std::uint32_t detailAt(int x, int y, int width, int height) {
    const double u = double(x) / width, v = double(y) / height;
    const bool disc = (u - 0.6) * (u - 0.6) + (v - 0.4) * (v - 0.4) < 0.05;
    const unsigned grain = (unsigned(x) * 2654435761u ^ unsigned(y) * 40503u) >> 27;
    const int r = int(200 * u + 30 * std::sin(x * 0.9)) + int(grain);
    const int g = disc ? 240 : int(180 * v + 40 * std::sin((x + y) * 0.35)) + int(grain);
    const int b = (x / 3 + y / 5) % 2 ? 220 : 30;
    return std::uint32_t(std::clamp(r, 0, 255)) << 16 | std::uint32_t(std::clamp(g, 0, 255)) << 8 | std::uint32_t(b);
}

std::vector<std::vector<std::uint32_t>> detailRows(int width, int height, bool alpha) {
    std::vector<std::vector<std::uint32_t>> rows(static_cast<std::size_t>(height));
    for (auto& row : rows)
        row.resize(std::size_t(width));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            rows[y][x] = detailAt(x, y, width, height) | (alpha ? std::uint32_t((x * 7 + y) & 255) << 24 : 0);
    return rows;
}

Bytes detailJpeg(int width, int height) {
    std::vector<std::uint8_t> samples;
    for (const auto& row : detailRows(width, height, false))
        for (std::uint32_t p : row) {
            samples.push_back(std::uint8_t(p >> 16));
            samples.push_back(std::uint8_t(p >> 8));
            samples.push_back(std::uint8_t(p));
        }
    return encodeJpeg(samples, width, height, {90, false, 2});
}

// A 1,480-byte RLE bitmap that declares 1 x 1,600,000: a few hundred drawn rows, the rest black.
Bytes tallRleBmp() {
    BmpFields s;
    s.width = 1;
    s.height = 1600000;
    s.compression = 1; // RLE8
    s.bitCount = 8;
    s.clrUsed = 2;
    s.palette = {0x000000, 0xFFFFFF};
    while (s.pixels.size() < 1480 - 14 - 40 - 8 - 2)
        s.pixels.insert(s.pixels.end(), {1, 1, 0, 0}); // one white pixel, end of line
    s.pixels.resize(1480 - 14 - 40 - 8 - 2);
    s.pixels.insert(s.pixels.end(), {0, 1}); // end of bitmap
    return makeBmp(s);
}

Bytes withFrameSize(Bytes jpeg, std::uint8_t frameMarker, unsigned width, unsigned height) {
    const std::size_t at = findMarker(jpeg, frameMarker);
    EXPECT_NE(at, 0u);
    jpeg[at + 3] = std::uint8_t(height >> 8), jpeg[at + 4] = std::uint8_t(height);
    jpeg[at + 5] = std::uint8_t(width >> 8), jpeg[at + 6] = std::uint8_t(width);
    return jpeg;
}

TEST(StreamDecode, FiltersAsTheWholePictureScalerDoes) {
    BmpFields bottomUp;
    bottomUp.width = 333;
    bottomUp.height = 211;
    bottomUp.pixels = packRows(24, detailRows(333, 211, false), false);
    BmpFields topDownAlpha;
    topDownAlpha.headerSize = 56;
    topDownAlpha.width = 190;
    topDownAlpha.height = -97;
    topDownAlpha.bitCount = 32;
    topDownAlpha.compression = 3;
    topDownAlpha.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000};
    topDownAlpha.pixels = packRows(32, detailRows(190, 97, true), true);
    const struct Picture {
        const char* name;
        Bytes file;
    } pictures[] = {
        {"bottom-up bmp", makeBmp(bottomUp)},
        {"top-down dib with alpha", makeDib(topDownAlpha)},
        {"jpeg", detailJpeg(640, 480)},
    };
    const int sizes[][2] = {{64, 64}, {256, 256}, {333, 211}, {7, 300}, {500, 13}, {1, 1}, {3, 2}};
    for (const Picture& picture : pictures)
        for (const auto& size : sizes) {
            SCOPED_TRACE(std::string(picture.name) + " to " + std::to_string(size[0]) + "x" + std::to_string(size[1]));
            Image whole, streamed;
            ASSERT_EQ(imaging::decodePicture(picture.file.data(), picture.file.size(), size[0], size[1], whole),
                      ImageError::None);
            const Image expected = imaging::scaleTriangle(whole, size[0], size[1]);
            ASSERT_EQ(
                imaging::decodePictureToSize(picture.file.data(), picture.file.size(), size[0], size[1], streamed),
                ImageError::None);
            ASSERT_EQ(streamed.width, size[0]);
            ASSERT_EQ(streamed.height, size[1]);
            ASSERT_EQ(streamed.pixels.size(), expected.pixels.size());
            int worst = 0;
            for (std::size_t i = 0; i < expected.pixels.size(); ++i)
                for (int shift = 0; shift < 32; shift += 8)
                    worst = std::max(worst, std::abs(int((streamed.pixels[i] >> shift) & 255) -
                                                     int((expected.pixels[i] >> shift) & 255)));
            EXPECT_LE(worst, 1);
        }
}

// Pictures whose headers promise far more than their bytes hold, and rows far wider than the result.
TEST(StreamDecode, WorkingMemoryStaysWithinTheBudgetWhateverTheHeaderSays) {
    const bool measured = peak::available(); // not where the sanitizer owns malloc
    BmpFields wide;
    wide.width = 200000;
    wide.height = 2;
    wide.pixels = packRows(24, detailRows(200000, 2, false), false);
    BmpFields wideRle;
    wideRle.width = 1600000;
    wideRle.height = 1;
    wideRle.compression = 1;
    wideRle.bitCount = 8;
    wideRle.clrUsed = 2;
    wideRle.palette = {0x000000, 0xFFFFFF};
    for (int i = 0; i < 200; ++i)
        wideRle.pixels.insert(wideRle.pixels.end(), {255, 1});
    const Bytes small = detailJpeg(64, 48);
    std::vector<std::uint8_t> stripe;
    for (const auto& row : detailRows(60000, 8, false))
        for (std::uint32_t p : row)
            stripe.insert(stripe.end(), {std::uint8_t(p >> 16), std::uint8_t(p >> 8), std::uint8_t(p)});
    const Bytes progressive = encodeJpeg(std::vector<std::uint8_t>(64 * 48 * 3, 128), 64, 48, {90, true, 2});
    // A camera-sized progressive photo: its coefficients alone are 18 MB, beyond the budget at 256.
    const Bytes progressivePhoto =
        encodeJpeg(std::vector<std::uint8_t>(3000 * 2000 * 3, 90), 3000, 2000, {80, true, 2});

    const struct Case {
        const char* name;
        Bytes file;
        bool decodes;             // or is refused, whatever the reason
        bool progressive = false; // its coefficients have an allowance of their own
    } cases[] = {
        {"RLE 1 x 1,600,000 in 1,480 bytes", tallRleBmp(), true},
        {"RLE 1,600,000 x 1", makeBmp(wideRle), false},
        {"200,000 x 2", makeBmp(wide), true},
        {"60,000 x 8 jpeg", encodeJpeg(stripe, 60000, 8, {90, false, 2}), true},
        {"jpeg frame claiming 60,000 x 2,000", withFrameSize(small, 0xC0, 60000, 2000), false},
        {"jpeg frame claiming 8 x 65,000", withFrameSize(small, 0xC0, 8, 65000), false},
        {"jpeg frame claiming 65,000 x 300", withFrameSize(small, 0xC0, 65000, 300), false},
        {"jpeg frame claiming 65,000 x 1,100", withFrameSize(small, 0xC0, 65000, 1100), false},
        {"progressive 3,000 x 2,000 photo", progressivePhoto, true, true},
        {"progressive frame claiming 4,000 x 4,000", withFrameSize(progressive, 0xC2, 4000, 4000), false, true},
        {"progressive frame claiming 11,000 x 11,000", withFrameSize(progressive, 0xC2, 11000, 11000), false, true},
    };
    for (int side : {256, 1024}) {
        const std::size_t budget = imaging::decodeMemoryBudget(side, side);
        EXPECT_EQ(budget, side == 256 ? std::size_t(16) << 20 : std::size_t(64) << 20);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(side));
            Image out;
            peak::reset(std::size_t(1) << 30);
            const ImageError error = imaging::decodePictureToSize(c.file.data(), c.file.size(), side, side, out);
            const std::size_t used = peak::bytes();
            peak::stop();
            if (measured) {
                EXPECT_LE(used, budget + (c.progressive ? imaging::kProgressiveCoefficientMemory : 0))
                    << imageErrorName(error);
            }
            EXPECT_EQ(error == ImageError::None, c.decodes) << imageErrorName(error);
            EXPECT_EQ(out.pixels.size(), c.decodes ? std::size_t(side) * side : 0u);
        }
    }
    // Only the rows a file holds are drawn; the rest of the tall picture is black.
    const Bytes tall = tallRleBmp();
    Image out;
    ASSERT_EQ(imaging::decodePictureToSize(tall.data(), tall.size(), 4, 4, out), ImageError::None);
    EXPECT_EQ(out.at(0, 0), 0xFF000000u);
    EXPECT_EQ(out.at(3, 3), 0xFF000000u) << "a few hundred white rows in 1.6 million";
}

} // namespace
