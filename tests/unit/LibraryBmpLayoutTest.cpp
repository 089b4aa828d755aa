// The BMP layout of the cache files: description fields and the header bytes for each display depth.
#include "library/BmpLayout.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using library::describeBitmap;

std::vector<unsigned> headerBytes(const library::BmpDescription& d) {
    auto file = library::encodeFileHeader(library::kInfoHeaderSize, d.clrUsed, d.sizeImage);
    auto info = library::encodeInfoHeader(d);
    std::vector<unsigned> bytes(file.begin(), file.end());
    bytes.insert(bytes.end(), info.begin(), info.end());
    return bytes;
}

unsigned read32(const std::vector<unsigned>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | b[at + 3] << 24;
}
unsigned read16(const std::vector<unsigned>& b, size_t at) {
    return b[at] | b[at + 1] << 8;
}

struct DepthCase {
    long width, height;
    int bits;
    unsigned clrUsed, sizeImage, offBits, fileSize;
};

TEST(LibraryBmpLayout, HeaderFieldsForEachDisplayDepth) {
    const DepthCase cases[] = {
        {256, 192, 8, 256, 256 * 192, 14 + 40 + 1024, 14 + 40 + 1024 + 256 * 192},
        // 16 bits carries a table of 65,536 entries ahead of the pixels.
        {256, 192, 16, 65536, 512 * 192, 14 + 40 + 262144, 14 + 40 + 262144 + 512 * 192},
        // 255 * 3 = 765 bytes a row, padded to 768.
        {255, 256, 24, 0, 768 * 256, 54, 54 + 768 * 256},
        {256, 256, 32, 0, 1024 * 256, 54, 54 + 1024 * 256},
        {3, 1, 1, 2, 4, 14 + 40 + 8, 14 + 40 + 8 + 4},
    };
    for (const DepthCase& c : cases) {
        SCOPED_TRACE(c.bits);
        auto d = describeBitmap(c.width, c.height, 1, c.bits);
        ASSERT_TRUE(d);
        auto b = headerBytes(*d);
        ASSERT_EQ(b.size(), 54u);
        EXPECT_EQ(b[0], 'B');
        EXPECT_EQ(b[1], 'M');
        EXPECT_EQ(read32(b, 2), c.fileSize);
        EXPECT_EQ(read32(b, 6), 0u); // both reserved words
        EXPECT_EQ(read32(b, 10), c.offBits);
        EXPECT_EQ(read32(b, 14), 40u);
        EXPECT_EQ(read32(b, 18), static_cast<unsigned>(c.width));
        EXPECT_EQ(read32(b, 22), static_cast<unsigned>(c.height));
        EXPECT_EQ(read16(b, 26), 1u);
        EXPECT_EQ(read16(b, 28), static_cast<unsigned>(c.bits));
        EXPECT_EQ(read32(b, 30), 0u);
        EXPECT_EQ(read32(b, 34), c.sizeImage);
        EXPECT_EQ(read32(b, 38), 0u);
        EXPECT_EQ(read32(b, 42), 0u);
        EXPECT_EQ(read32(b, 46), c.clrUsed);
        EXPECT_EQ(read32(b, 50), 0u);
    }
}

TEST(LibraryBmpLayout, ExactBytesOfA32BitHeader) {
    auto d = describeBitmap(256, 192, 1, 32);
    ASSERT_TRUE(d);
    const std::vector<unsigned> expected = {
        'B', 'M', 0x36, 0x00, 0x03, 0x00, 0,    0,    0,    0,    0x36, 0, 0, 0,        // 54 + 196,608 bytes
        40,  0,   0,    0,    0x00, 0x01, 0,    0,    0xC0, 0x00, 0,    0, 1, 0, 32, 0, // 256 x 192, 1 plane, 32 bits
        0,   0,   0,    0,    0x00, 0x00, 0x03, 0x00, 0,    0,    0,    0, 0, 0, 0,  0, // BI_RGB, 196,608 bytes
        0,   0,   0,    0,    0,    0,    0,    0};
    EXPECT_EQ(headerBytes(*d), expected);
}

TEST(LibraryBmpLayout, DepthRoundsUpButTheHeaderKeepsTheBitmapsOwnCount) {
    const int rounded[][2] = {{1, 1}, {2, 4}, {4, 4}, {5, 8}, {8, 8}, {15, 16}, {16, 16}, {24, 24}, {32, 32}};
    for (auto [bits, depth] : rounded)
        EXPECT_EQ(library::roundColourDepth(bits), depth) << bits;
    // 15 bits per pixel: a 16-bit layout with a table, while biBitCount stays 15.
    auto d = describeBitmap(10, 2, 1, 15);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->bitCount, 15);
    EXPECT_EQ(d->clrUsed, 65536u);
    EXPECT_EQ(d->sizeImage, 20u * 2);
    // Planes multiply into the depth: four planes of one bit are a 4-bit layout.
    d = describeBitmap(8, 1, 4, 1);
    ASSERT_TRUE(d);
    EXPECT_EQ(d->colourDepth, 4);
    EXPECT_EQ(d->clrUsed, 16u);
    EXPECT_EQ(d->sizeImage, 4u);
}

TEST(LibraryBmpLayout, UnusableBitmapsHaveNoDescription) {
    EXPECT_FALSE(describeBitmap(0, 10, 1, 32));
    EXPECT_FALSE(describeBitmap(10, 0, 1, 32));
    EXPECT_FALSE(describeBitmap(10, -10, 1, 32));
    EXPECT_FALSE(describeBitmap(10, 10, 0, 32));
    EXPECT_FALSE(describeBitmap(10, 10, 1, 0));
    // Pixel rows beyond the header's 32-bit size field.
    EXPECT_FALSE(describeBitmap(40000, 40000, 1, 32));
    EXPECT_TRUE(describeBitmap(4096, 4096, 1, 32));
}

} // namespace
