#include "imaging/BmpDecoder.h"

#include "tests/support/BmpWriter.h"
#include "tests/support/PixelCompare.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>

namespace {

using namespace support;
using imaging::ImageError;
using Rows = std::vector<std::vector<std::uint32_t>>;

struct KnownPixels {
    const char* name;
    std::function<Bytes()> make;
    bool packed;   // a packed DIB rather than a file
    Rows expected; // 0xAARRGGBB, top row first
};

void PrintTo(const KnownPixels& c, std::ostream* os) {
    *os << c.name;
}

constexpr std::uint32_t O = 0xFF000000; // opaque

std::vector<std::uint32_t> greyRamp(int count) {
    std::vector<std::uint32_t> palette;
    for (int i = 0; i < count; ++i)
        palette.push_back(std::uint32_t(i * 0x0A0B0C) & 0xFFFFFF);
    return palette;
}

BmpFields fields(int width, int height, unsigned bits, Bytes pixels) {
    BmpFields s;
    s.width = width;
    s.height = height;
    s.bitCount = std::uint16_t(bits);
    s.pixels = std::move(pixels);
    return s;
}

const KnownPixels kKnown[] = {
    {"OneBit",
     [] {
         BmpFields s = fields(3, 2, 1, packRows(1, {{0, 1, 1}, {1, 0, 1}}, false));
         s.palette = {0x102030, 0xA0B0C0};
         return makeBmp(s);
     },
     false,
     {{O | 0x102030, O | 0xA0B0C0, O | 0xA0B0C0}, {O | 0xA0B0C0, O | 0x102030, O | 0xA0B0C0}}},
    {"FourBit",
     [] {
         BmpFields s = fields(3, 2, 4, packRows(4, {{1, 15, 7}, {0, 3, 12}}, false));
         s.palette = greyRamp(16);
         return makeBmp(s);
     },
     false,
     {{O | 0x0A0B0C, O | (15 * 0x0A0B0C), O | (7 * 0x0A0B0C)}, {O, O | (3 * 0x0A0B0C), O | (12 * 0x0A0B0C)}}},
    {"EightBit",
     [] {
         BmpFields s = fields(3, 2, 8, packRows(8, {{0, 128, 255}, {17, 34, 51}}, false));
         for (std::uint32_t i = 0; i < 256; ++i)
             s.palette.push_back((i << 16) | ((255 - i) << 8) | (i / 2));
         return makeBmp(s);
     },
     false,
     {{O | 0x00FF00, O | 0x807F40, O | 0xFF007F}, {O | 0x11EE08, O | 0x22DD11, O | 0x33CC19}}},
    {"EightBitShortTableIndexBeyondIsBlack",
     [] {
         BmpFields s = fields(3, 1, 8, packRows(8, {{0, 3, 9}}, false));
         s.clrUsed = 4;
         s.palette = {0x010203, 0x111111, 0x222222, 0x3F4F5F};
         return makeBmp(s);
     },
     false,
     {{O | 0x010203, O | 0x3F4F5F, O}}},
    {"SixteenBit555",
     [] {
         return makeBmp(fields(5, 1, 16, packRows(16, {{0x7C00, 0x03E0, 0x001F, 0x4210, 0x7FFF}}, false)));
     },
     false,
     {{O | 0xFF0000, O | 0x00FF00, O | 0x0000FF, O | 0x848484, O | 0xFFFFFF}}},
    {"SixteenBit565Bitfields",
     [] {
         BmpFields s = fields(4, 1, 16, packRows(16, {{0xF800, 0x07E0, 0x001F, 0x8410}}, false));
         s.compression = 3;
         s.masks = {0xF800, 0x07E0, 0x001F};
         return makeBmp(s);
     },
     false,
     {{O | 0xFF0000, O | 0x00FF00, O | 0x0000FF, O | 0x848284}}},
    {"SixteenBitWithTheCachesColourTable",
     [] {
         // What the picture cache writes on a 16-bit display: 65,536 empty entries ahead of the pixels.
         BmpFields s = fields(2, 2, 16, packRows(16, {{0x7C00, 0x001F}, {0x03E0, 0x0000}}, false));
         s.clrUsed = 65536;
         s.palette.assign(65536, 0);
         return makeBmp(s);
     },
     false,
     {{O | 0xFF0000, O | 0x0000FF}, {O | 0x00FF00, O}}},
    {"TwentyFourBitBottomUp",
     [] {
         return makeBmp(
             fields(3, 2, 24, packRows(24, {{0x112233, 0x445566, 0x778899}, {0xAABBCC, 0, 0xFFFFFF}}, false)));
     },
     false,
     {{O | 0x112233, O | 0x445566, O | 0x778899}, {O | 0xAABBCC, O, O | 0xFFFFFF}}},
    {"TwentyFourBitTopDown",
     [] {
         return makeBmp(
             fields(3, -2, 24, packRows(24, {{0x112233, 0x445566, 0x778899}, {0xAABBCC, 0, 0xFFFFFF}}, true)));
     },
     false,
     {{O | 0x112233, O | 0x445566, O | 0x778899}, {O | 0xAABBCC, O, O | 0xFFFFFF}}},
    {"ThirtyTwoBitIgnoresTheFourthByte",
     [] {
         return makeBmp(fields(2, 1, 32, packRows(32, {{0x7F123456, 0x00ABCDEF}}, false)));
     },
     false,
     {{O | 0x123456, O | 0xABCDEF}}},
    {"ThirtyTwoBitV5BitfieldsWithAlpha",
     [] {
         BmpFields s = fields(2, 1, 32, packRows(32, {{0x80332211, 0xFF665544}}, false));
         s.headerSize = 124;
         s.compression = 3;
         s.masks = {0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000}; // bytes in R, G, B, A order
         return makeBmp(s);
     },
     false,
     {{0x80112233, 0xFF445566}}},
    {"CoreHeaderEightBit",
     [] {
         BmpFields s = fields(2, 2, 8, packRows(8, {{1, 0}, {0, 1}}, false));
         s.headerSize = 12;
         s.palette.assign(256, 0x102030);
         s.palette[1] = 0xC0D0E0;
         return makeBmp(s);
     },
     false,
     {{O | 0xC0D0E0, O | 0x102030}, {O | 0x102030, O | 0xC0D0E0}}},
    {"CoreHeaderTwentyFourBit",
     [] {
         BmpFields s = fields(1, 2, 24, packRows(24, {{0x010203}, {0x040506}}, false));
         s.headerSize = 12;
         return makeBmp(s);
     },
     false,
     {{O | 0x010203}, {O | 0x040506}}},
    {"PixelsFoundThroughOffBitsAfterAGap",
     [] {
         BmpFields s = fields(2, 1, 24, packRows(24, {{0xABCDEF, 0x123456}}, false));
         s.gap = 6;
         return makeBmp(s);
     },
     false,
     {{O | 0xABCDEF, O | 0x123456}}},
    {"LastRowWithoutItsPadding",
     [] {
         Bytes file = makeBmp(fields(1, 2, 24, packRows(24, {{0x0000FF}, {0x00FF00}}, false)));
         file.resize(file.size() - 1);
         return file;
     },
     false,
     {{O | 0x0000FF}, {O | 0x00FF00}}},
    {"Rle8RunsAbsoluteDeltaAndSkippedPixels",
     [] {
         BmpFields s = fields(4, 3, 8, Bytes{4, 1, 0, 0,                   // bottom row: four of index 1
                                             0, 3, 2, 3, 2, 0, 1, 1, 0, 0, // absolute 2 3 2 (padded), one 1
                                             0, 2, 2, 0, 2, 3, 0, 1});     // delta right 2, two of 3, end
         s.compression = 1;
         s.palette = {0x000000, 0x111111, 0x222222, 0x333333};
         return makeBmp(s);
     },
     false,
     {{O, O, O | 0x333333, O | 0x333333},
      {O | 0x222222, O | 0x333333, O | 0x222222, O | 0x111111},
      {O | 0x111111, O | 0x111111, O | 0x111111, O | 0x111111}}},
    {"Rle4AlternatingNibbles",
     [] {
         BmpFields s = fields(5, 1, 4, Bytes{5, 0x12, 0, 1});
         s.compression = 2;
         s.palette = greyRamp(16);
         return makeBmp(s);
     },
     false,
     {{O | 0x0A0B0C, O | 0x141618, O | 0x0A0B0C, O | 0x141618, O | 0x0A0B0C}}},
    {"PackedDibAsInABitmapResource",
     [] {
         BmpFields s = fields(2, 2, 8, packRows(8, {{2, 1}, {0, 2}}, false));
         s.palette = {0x000000, 0x9D99DE, 0x9BD4B6};
         s.clrUsed = 3;
         return makeDib(s);
     },
     true,
     {{O | 0x9BD4B6, O | 0x9D99DE}, {O, O | 0x9BD4B6}}},
    {"PackedDibWithMasksBehindTheHeader",
     [] {
         BmpFields s = fields(2, 1, 16, packRows(16, {{0xF800, 0x001F}}, false));
         s.compression = 3;
         s.masks = {0xF800, 0x07E0, 0x001F};
         return makeDib(s);
     },
     true,
     {{O | 0xFF0000, O | 0x0000FF}}},
};

class BmpKnownPixels : public ::testing::TestWithParam<KnownPixels> {};

TEST_P(BmpKnownPixels, DecodesEveryPixel) {
    const KnownPixels& c = GetParam();
    Bytes data = c.make();
    imaging::Image image;
    ImageError e = c.packed ? imaging::decodePackedDib(data.data(), data.size(), image)
                            : imaging::decodeBmpFile(data.data(), data.size(), image);
    ASSERT_EQ(e, ImageError::None) << imaging::imageErrorName(e);
    ASSERT_EQ(image.height, int(c.expected.size()));
    ASSERT_EQ(image.width, int(c.expected[0].size()));
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            EXPECT_EQ(hex(image.at(x, y)), hex(c.expected[y][x])) << "at " << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(Variants, BmpKnownPixels, ::testing::ValuesIn(kKnown),
                         [](const auto& info) { return std::string(info.param.name); });

// A valid 2 x 2 24-bit file, then one field changed. Offsets: bfOffBits 10, biSize 14, biWidth 18,
// biHeight 22, biPlanes 26, biBitCount 28, biCompression 30, biClrUsed 46.
Bytes base() {
    return makeBmp(fields(2, 2, 24, packRows(24, {{1, 2}, {3, 4}}, false)));
}
Bytes with32(std::size_t at, std::uint32_t value, Bytes b = base()) {
    put32(b, at, value);
    return b;
}
Bytes with16(std::size_t at, std::uint32_t value, Bytes b = base()) {
    put16(b, at, value);
    return b;
}
Bytes eightBit(std::uint32_t clrUsed) {
    BmpFields s = fields(2, 1, 8, packRows(8, {{0, 1}}, false));
    s.palette = greyRamp(256);
    Bytes b = makeBmp(s);
    put32(b, 46, clrUsed);
    return b;
}
Bytes bitfields(unsigned bits, std::vector<std::uint32_t> masks) {
    BmpFields s = fields(1, 1, bits, packRows(bits, {{0}}, false));
    s.compression = 3;
    s.masks = std::move(masks);
    return makeBmp(s);
}

struct Hostile {
    const char* name;
    std::function<Bytes()> make;
    ImageError expected;
};
void PrintTo(const Hostile& c, std::ostream* os) {
    *os << c.name;
}

const Hostile kHostile[] = {
    {"ZeroBytes", [] { return Bytes{}; }, ImageError::Empty},
    {"SignatureOnly",
     [] {
         return Bytes{'B', 'M'};
     },
     ImageError::Truncated},
    {"FileHeaderOnly",
     [] {
         Bytes b = base();
         b.resize(14);
         return b;
     },
     ImageError::Truncated},
    {"OffsetZero", [] { return with32(10, 0); }, ImageError::BadHeader},
    {"OffsetInsideTheHeader", [] { return with32(10, 20); }, ImageError::BadHeader},
    {"OffsetPastTheEnd", [] { return with32(10, 1000); }, ImageError::BadHeader},
    {"OffsetHuge", [] { return with32(10, 0xFFFFFFFF); }, ImageError::BadHeader},
    {"HeaderSizeZero", [] { return with32(14, 0); }, ImageError::BadHeader},
    {"HeaderSizeOdd", [] { return with32(14, 39); }, ImageError::BadHeader},
    {"HeaderSizeHuge", [] { return with32(14, 0xFFFFFFFF); }, ImageError::BadHeader},
    {"HeaderLargerThanTheFile", [] { return with32(14, 124); }, ImageError::Truncated},
    {"WidthZero", [] { return with32(18, 0); }, ImageError::BadHeader},
    {"WidthNegative", [] { return with32(18, std::uint32_t(-3)); }, ImageError::BadHeader},
    {"HeightZero", [] { return with32(22, 0); }, ImageError::BadHeader},
    {"Claims65535Squared", [] { return with32(22, 65535, with32(18, 65535)); }, ImageError::TooLarge},
    {"WidthIntMax", [] { return with32(22, 1, with32(18, 0x7FFFFFFF)); }, ImageError::TooLarge},
    {"HeightIntMin", [] { return with32(22, 0x80000000u, with32(18, 1)); }, ImageError::TooLarge},
    {"PlanesZero", [] { return with16(26, 0); }, ImageError::BadHeader},
    {"PlanesTwo", [] { return with16(26, 2); }, ImageError::BadHeader},
    {"DepthZero", [] { return with16(28, 0); }, ImageError::BadHeader},
    {"DepthTwo", [] { return with16(28, 2); }, ImageError::BadHeader},
    {"DepthSeven", [] { return with16(28, 7); }, ImageError::BadHeader},
    {"DepthFortyEight", [] { return with16(28, 48); }, ImageError::BadHeader},
    {"Palette257ForEightBits", [] { return eightBit(257); }, ImageError::BadHeader},
    {"PaletteCountOverflowsEightBits", [] { return eightBit(0xFFFFFFFF); }, ImageError::BadHeader},
    {"PaletteCountOverflowsTimesFour", [] { return with32(46, 0x40000001); }, ImageError::BadHeader},
    {"PaletteRunsIntoThePixels", [] { return with32(46, 100); }, ImageError::BadHeader},
    {"EmbeddedJpeg", [] { return with32(30, 4); }, ImageError::Unsupported},
    {"UnknownCompression", [] { return with32(30, 0x12345678); }, ImageError::Unsupported},
    {"Rle8OnTwentyFourBits", [] { return with32(30, 1); }, ImageError::BadHeader},
    {"BitfieldsOnTwentyFourBits", [] { return with32(30, 3); }, ImageError::BadHeader},
    {"MaskWithAHole",
     [] {
         return bitfields(16, {0xF0F0, 0x000F, 0x0000});
     },
     ImageError::BadHeader},
    {"MaskWiderThanSixteenBits",
     [] {
         return bitfields(16, {0x1F0000, 0x07E0, 0x001F});
     },
     ImageError::BadHeader},
    {"MasksCutOff",
     [] {
         Bytes b = bitfields(16, {0xF800, 0x07E0, 0x001F});
         b.resize(60);
         return b;
     },
     ImageError::Truncated},
    {"MoreRowsThanData", [] { return with32(22, 1000); }, ImageError::Truncated},
    {"LastPixelCut",
     [] {
         Bytes b = base();
         b.resize(b.size() - 3);
         return b;
     },
     ImageError::Truncated},
    {"RleAbsoluteRunPastTheEnd",
     [] {
         BmpFields s = fields(8, 1, 8, Bytes{0, 8, 1, 2});
         s.compression = 1;
         s.palette = greyRamp(4);
         return makeBmp(s);
     },
     ImageError::Truncated},
    {"RleCanvasFarLargerThanItsData",
     [] {
         BmpFields s = fields(10000, 10000, 8, Bytes{0, 1});
         s.compression = 1;
         s.palette = greyRamp(2);
         return makeBmp(s);
     },
     ImageError::TooLarge},
    {"RleTopDown",
     [] {
         BmpFields s = fields(1, -1, 8, Bytes{1, 0, 0, 1});
         s.compression = 1;
         s.palette = greyRamp(2);
         return makeBmp(s);
     },
     ImageError::BadHeader},
};

class BmpHostile : public ::testing::TestWithParam<Hostile> {};

TEST_P(BmpHostile, FailsCleanly) {
    const Hostile& c = GetParam();
    Bytes data = c.make();
    imaging::Image image;
    image.width = 9; // must be cleared
    ImageError e = imaging::decodeBmpFile(data.data(), data.size(), image);
    EXPECT_EQ(imaging::imageErrorName(e), std::string(imaging::imageErrorName(c.expected)));
    EXPECT_EQ(image.width, 0);
    EXPECT_TRUE(image.pixels.empty());
}

INSTANTIATE_TEST_SUITE_P(Inputs, BmpHostile, ::testing::ValuesIn(kHostile),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BmpPackedDib, HostileDibs) {
    imaging::Image image;
    EXPECT_EQ(imaging::decodePackedDib(nullptr, 0, image), ImageError::Empty);
    BmpFields s = fields(4, 4, 24, packRows(24, Rows(4, std::vector<std::uint32_t>(4, 0)), false));
    Bytes headerOnly = makeDib(s);
    headerOnly.resize(40);
    EXPECT_EQ(imaging::decodePackedDib(headerOnly.data(), headerOnly.size(), image), ImageError::Truncated);
    s.bitCount = 8;
    s.clrUsed = 0x40000000; // the table alone would be 4 GiB
    Bytes table = makeDib(s);
    EXPECT_EQ(imaging::decodePackedDib(table.data(), table.size(), image), ImageError::BadHeader);
}

TEST(BmpRecognition, SignaturesAndHeaderSizes) {
    Bytes file = base();
    EXPECT_TRUE(imaging::looksLikeBmpFile(file.data(), file.size()));
    Bytes dib(file.begin() + 14, file.end());
    EXPECT_TRUE(imaging::looksLikePackedDib(dib.data(), dib.size()));
    EXPECT_FALSE(imaging::looksLikePackedDib(file.data(), file.size()));
    put16(dib, 12, 0); // no planes
    EXPECT_FALSE(imaging::looksLikePackedDib(dib.data(), dib.size()));
    const std::uint8_t text[] = "Just some text, not a picture";
    EXPECT_FALSE(imaging::looksLikeBmpFile(text, sizeof text));
    EXPECT_FALSE(imaging::looksLikePackedDib(text, sizeof text));
}

} // namespace
