#include "imaging/JpegDecoder.h"

#include "tests/support/JpegWriter.h"
#include "tests/support/PixelCompare.h"

#include <gtest/gtest.h>

namespace {

using namespace support;
using imaging::ImageError;

constexpr std::uint32_t kRed = 0xE02020, kGreen = 0x20C040, kBlue = 0x3040D0, kYellow = 0xF0E060;
constexpr std::uint32_t kColours[4] = {kRed, kGreen, kBlue, kYellow};

struct ColourCase {
    const char* name;
    JpegOptions options;
};
void PrintTo(const ColourCase& c, std::ostream* os) {
    *os << c.name;
}

class JpegColour : public ::testing::TestWithParam<ColourCase> {};

TEST_P(JpegColour, QuadrantsComeOutInTheirColours) {
    const JpegOptions& s = GetParam().options;
    Bytes file = encodeJpeg(quadrants(64, 32, kColours), 64, 32, s);
    imaging::Image image;
    imaging::JpegDetails details;
    ASSERT_EQ(imaging::decodeJpeg(file.data(), file.size(), 0, 0, image, &details), ImageError::None);
    ASSERT_EQ(image.width, 64);
    ASSERT_EQ(image.height, 32);
    EXPECT_EQ(details.scaleNumerator, 8);
    EXPECT_EQ(details.progressive, s.progressive);
    for (int q = 0; q < 4; ++q) {
        const std::uint32_t pixel = image.at(q % 2 ? 48 : 16, q / 2 ? 24 : 8);
        EXPECT_TRUE(closeTo(pixel, kColours[q], 6)) << "quadrant " << q << ": " << hex(pixel);
        EXPECT_EQ(pixel >> 24, 0xFFu);
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, JpegColour,
                         ::testing::Values(ColourCase{"Baseline444", {95, false, 1}},
                                           ColourCase{"Baseline420", {95, false, 2}},
                                           ColourCase{"Progressive420", {95, true, 2}},
                                           ColourCase{"StoredAsRgb", {95, false, 1, JCS_RGB, JCS_RGB}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(JpegGreyscale, ComesOutAsGreys) {
    std::vector<std::uint8_t> samples(32 * 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            samples[y * 32 + x] = x < 16 ? 40 : 200;
    for (bool progressive : {false, true}) {
        Bytes file = encodeJpeg(samples, 32, 16, {95, progressive, 1, JCS_GRAYSCALE, JCS_GRAYSCALE});
        imaging::Image image;
        imaging::JpegDetails details;
        ASSERT_EQ(imaging::decodeJpeg(file.data(), file.size(), 0, 0, image, &details), ImageError::None);
        EXPECT_EQ(details.components, 1);
        EXPECT_TRUE(closeTo(image.at(4, 8), 0x282828, 3)) << hex(image.at(4, 8));
        EXPECT_TRUE(closeTo(image.at(28, 8), 0xC8C8C8, 3)) << hex(image.at(28, 8));
    }
}

// Adobe's CMYK JPEGs hold the channels inverted (255 = no ink), as libjpeg writes what it is given.
TEST(JpegCmyk, AdobeInvertedCmykAndYcckBecomeRgb) {
    const std::uint8_t inks[4][4] = {
        {0, 255, 255, 0}, // magenta + yellow: red
        {255, 0, 255, 0}, // cyan + yellow: green
        {0, 0, 0, 128},   // half black: grey
        {0, 0, 0, 0},     // no ink: white
    };
    const std::uint32_t expected[4] = {0xFF0000, 0x00FF00, 0x7F7F7F, 0xFFFFFF};
    std::vector<std::uint8_t> samples;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 64; ++x)
            for (int c = 0; c < 4; ++c)
                samples.push_back(std::uint8_t(255 - inks[x / 16][c]));
    for (J_COLOR_SPACE stored : {JCS_CMYK, JCS_YCCK}) {
        Bytes file = encodeJpeg(samples, 64, 16, {98, false, 1, JCS_CMYK, stored});
        imaging::Image image;
        ASSERT_EQ(imaging::decodeJpeg(file.data(), file.size(), 0, 0, image), ImageError::None);
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(closeTo(image.at(16 * i + 8, 8), expected[i], 6))
                << (stored == JCS_CMYK ? "CMYK " : "YCCK ") << i << ": " << hex(image.at(16 * i + 8, 8));
    }
}

TEST(JpegScaledDecode, DecodesAtTheChosenScaleWithTheSameColours) {
    Bytes file = encodeJpeg(quadrants(128, 96, kColours), 128, 96, {95, false, 2});
    imaging::Image image;
    imaging::JpegDetails details;
    ASSERT_EQ(imaging::decodeJpeg(file.data(), file.size(), 32, 32, image, &details), ImageError::None);
    EXPECT_EQ(details.scaleNumerator, 3); // 48 x 36: the 2/8 scale (32 x 24) would not cover 32 rows
    EXPECT_EQ(details.width, 128);
    EXPECT_EQ(image.width, 48);
    EXPECT_EQ(image.height, 36);
    for (int q = 0; q < 4; ++q) {
        const std::uint32_t pixel = image.at(q % 2 ? 36 : 12, q / 2 ? 27 : 9);
        EXPECT_TRUE(closeTo(pixel, kColours[q], 8)) << "quadrant " << q << ": " << hex(pixel);
    }
}

struct ScaleCase {
    std::uint32_t width, height, coverWidth, coverHeight;
    int numerator;
};

TEST(JpegScaleChoice, SmallestScaleThatCovers) {
    const ScaleCase cases[] = {
        {6000, 4000, 256, 256, 1}, // 24 MP camera picture to 256: 750 x 500
        {6000, 4000, 512, 512, 2}, // 1/8 gives 500 rows, not enough
        {4000, 3000, 512, 512, 2}, // 1000 x 750
        {4000, 3000, 128, 128, 1},
        {1600, 1200, 512, 512, 4}, // 3/8 gives 450 rows
        {1600, 1200, 256, 256, 2},
        {1600, 1200, 128, 128, 1},
        {512, 512, 256, 256, 4}, // exactly half
        {513, 513, 256, 256, 4},
        {257, 257, 256, 256, 8},  // 7/8 gives 225
        {100, 100, 256, 256, 8},  // smaller than the texture: full size
        {2000, 100, 256, 256, 8}, // a thin strip: its 100 rows are all needed
        {1024, 1024, 256, 64, 2}, // a non-square target: the wider side decides
        {8, 8, 1, 1, 1},
        {1, 1, 256, 256, 1},   // one pixel at any scale
        {6000, 4000, 0, 0, 8}, // no cover: full size
        {65500, 65500, 256, 256, 1},
        {4294967295u, 4294967295u, 4294967295u, 4294967295u, 8},
    };
    for (const ScaleCase& c : cases)
        EXPECT_EQ(imaging::chooseJpegScale(c.width, c.height, c.coverWidth, c.coverHeight), c.numerator)
            << c.width << "x" << c.height << " to " << c.coverWidth << "x" << c.coverHeight;
}

// Helpers for the hostile cases: a small valid picture and its frame header.
Bytes smallJpeg(bool progressive = false) {
    return encodeJpeg(quadrants(64, 32, kColours), 64, 32, {90, progressive, 2});
}
Bytes withSize(std::uint16_t width, std::uint16_t height, std::uint8_t sofCode = 0xC0) {
    Bytes b = smallJpeg(sofCode == 0xC2);
    const std::size_t sof = findMarker(b, sofCode);
    // length (2), precision (1), height (2), width (2), big-endian
    b[sof + 3] = std::uint8_t(height >> 8);
    b[sof + 4] = std::uint8_t(height);
    b[sof + 5] = std::uint8_t(width >> 8);
    b[sof + 6] = std::uint8_t(width);
    return b;
}

struct HostileJpeg {
    const char* name;
    Bytes data;
    ImageError expected;
};

TEST(JpegHostile, EachFailsCleanlyWithItsReason) {
    const Bytes good = smallJpeg();
    const std::size_t scan = findMarker(good, 0xDA);
    ASSERT_GT(scan, 0u);
    Bytes halfScan(good.begin(), good.begin() + (scan + good.size()) / 2);
    Bytes headerOnly(good.begin(), good.begin() + scan + 12);
    Bytes earlyEnd = good; // an end-of-image marker in the middle of the entropy-coded data
    earlyEnd[(scan + good.size()) / 2] = 0xFF;
    earlyEnd[(scan + good.size()) / 2 + 1] = 0xD9;
    Bytes noFrame = good; // the frame header renamed to an application marker, which is skipped
    noFrame[findMarker(noFrame, 0xC0) - 1] = 0xE5;
    Bytes progressiveCut = smallJpeg(true);
    progressiveCut.resize(progressiveCut.size() - 40);
    const std::string text = "This is a text file that someone named photo.jpg\n";

    const HostileJpeg cases[] = {
        {"ZeroBytes", {}, ImageError::Empty},
        {"TextNamedJpg", Bytes(text.begin(), text.end()), ImageError::UnknownFormat},
        {"SignatureOnly", {0xFF, 0xD8, 0xFF}, ImageError::Truncated},
        {"HeaderWithoutData", headerOnly, ImageError::Truncated},
        {"TruncatedInTheScan", halfScan, ImageError::Truncated},
        {"TruncatedProgressive", progressiveCut, ImageError::Truncated},
        {"EndMarkerInTheScan", earlyEnd, ImageError::Corrupt},
        {"NoFrameHeader", noFrame, ImageError::Corrupt},
        {"Claims65535Squared", withSize(65535, 65535), ImageError::TooLarge},
        {"Claims60000Squared", withSize(60000, 60000), ImageError::TooLarge},
        {"ProgressiveClaims30000Squared", withSize(30000, 30000, 0xC2), ImageError::TooLarge},
        {"WidthZero", withSize(0, 32), ImageError::BadHeader},
    };
    for (const HostileJpeg& c : cases) {
        imaging::Image image;
        image.width = 7;
        const ImageError e = imaging::decodeJpeg(c.data.data(), c.data.size(), 256, 256, image);
        EXPECT_EQ(std::string(imaging::imageErrorName(e)), imaging::imageErrorName(c.expected)) << c.name;
        EXPECT_EQ(image.width, 0) << c.name;
        EXPECT_TRUE(image.pixels.empty()) << c.name;
    }
}

// A crafted progressive file repeating its last refinement scan hundreds of times: refused instead
// of decoded for minutes.
TEST(JpegHostile, EndlessScansAreRefused) {
    std::vector<std::uint8_t> samples(64 * 64, 128);
    Bytes file = encodeJpeg(samples, 64, 64, {90, true, 1, JCS_GRAYSCALE, JCS_GRAYSCALE});
    std::size_t lastScan = 0;
    for (std::size_t at = findMarker(file, 0xDA); at; at = findMarker(file, 0xDA, at))
        lastScan = at - 2;
    const std::size_t end = file.size() - 2;
    ASSERT_GT(lastScan, 0u);
    Bytes scan(file.begin() + lastScan, file.begin() + end);
    Bytes crafted(file.begin(), file.begin() + end);
    for (int i = 0; i < 300; ++i)
        crafted.insert(crafted.end(), scan.begin(), scan.end());
    crafted.push_back(0xFF);
    crafted.push_back(0xD9);
    imaging::Image image;
    EXPECT_EQ(imaging::decodeJpeg(crafted.data(), crafted.size(), 0, 0, image), ImageError::Corrupt);
    EXPECT_TRUE(image.pixels.empty());
}

} // namespace
