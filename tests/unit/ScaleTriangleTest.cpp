#include "imaging/MipChain.h"
#include "imaging/Scale.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

using imaging::Image;

Image filled(int width, int height, std::uint32_t pixel) {
    Image image;
    image.width = width;
    image.height = height;
    image.pixels.assign(std::size_t(width) * height, pixel);
    return image;
}

Image greyRow(std::vector<unsigned> values) {
    Image image = filled(int(values.size()), 1, 0);
    for (std::size_t i = 0; i < values.size(); ++i)
        image.pixels[i] = 0xFF000000u | values[i] * 0x010101u;
    return image;
}

std::vector<unsigned> blueOf(const Image& image) {
    std::vector<unsigned> out;
    for (std::uint32_t p : image.pixels)
        out.push_back(p & 255);
    return out;
}

TEST(ScaleTriangle, FlatColourStaysFlatWhateverTheShape) {
    struct Shape {
        int sw, sh, tw, th;
    };
    const Shape shapes[] = {{1, 1, 7, 3}, {3, 100, 16, 16},     {100, 3, 16, 16}, {1000, 1, 4, 4},
                            {5, 7, 5, 7}, {640, 480, 256, 256}, {2, 2, 1, 1},     {17, 1, 1, 33}};
    for (const Shape& s : shapes) {
        Image out = imaging::scaleTriangle(filled(s.sw, s.sh, 0x80C06020), s.tw, s.th);
        ASSERT_EQ(out.width, s.tw);
        ASSERT_EQ(out.height, s.th);
        ASSERT_EQ(out.pixels.size(), std::size_t(s.tw) * s.th);
        for (std::uint32_t p : out.pixels)
            ASSERT_EQ(p, 0x80C06020u) << s.sw << "x" << s.sh << " to " << s.tw << "x" << s.th;
    }
}

TEST(ScaleTriangle, SameSizeIsACopy) {
    Image source = greyRow({0, 17, 200, 255, 3});
    source.pixels[2] = 0x12345678;
    EXPECT_EQ(imaging::scaleTriangle(source, 5, 1).pixels, source.pixels);
}

TEST(ScaleTriangle, EnlargingInterpolatesWithMirroredEdges) {
    // Centres at -0.25, 0.25, 0.75, 1.25 source pixels; beyond the edges the picture is mirrored.
    EXPECT_EQ(blueOf(imaging::scaleTriangle(greyRow({0, 255}), 4, 1)), (std::vector<unsigned>{0, 64, 191, 255}));
}

TEST(ScaleTriangle, ShrinkingWidensTheTentToTheScale) {
    // Halving: weights 1/8, 3/8, 3/8, 1/8 around each output pixel.
    EXPECT_EQ(blueOf(imaging::scaleTriangle(greyRow({0, 0, 255, 255}), 2, 1)), (std::vector<unsigned>{32, 223}));
    // A quarter: every source pixel counts, none is dropped between samples.
    Image dots = greyRow({0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    std::vector<unsigned> out = blueOf(imaging::scaleTriangle(dots, 4, 1));
    EXPECT_GT(out[0], 20u);
    EXPECT_GT(out[1], 10u);
    EXPECT_EQ(out[2] + out[3], 0u);
}

TEST(ScaleTriangle, CheckerboardAveragesToMidGrey) {
    Image board = filled(64, 48, 0);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            board.pixels[y * 64 + x] = ((x + y) & 1) ? 0xFFFFFFFF : 0xFF000000;
    Image out = imaging::scaleTriangle(board, 16, 16);
    for (std::uint32_t p : out.pixels) {
        EXPECT_NEAR(int(p & 255), 128, 2);
        EXPECT_EQ(p >> 24, 0xFFu);
    }
}

TEST(ScaleTriangle, ChannelsStayApart) {
    Image source = filled(2, 2, 0);
    source.pixels = {0x00FF0000, 0xFF00FF00, 0x000000FF, 0xFF000000};
    Image out = imaging::scaleTriangle(source, 1, 1);
    ASSERT_EQ(out.pixels.size(), 1u);
    EXPECT_EQ(out.pixels[0], 0x80404040u);
}

TEST(ScaleTriangle, GradientKeepsItsShapeThroughAThinStrip) {
    std::vector<unsigned> ramp;
    for (unsigned i = 0; i < 1000; ++i)
        ramp.push_back(i * 255 / 999);
    Image strip = greyRow(ramp);
    std::vector<unsigned> out = blueOf(imaging::scaleTriangle(strip, 8, 1));
    for (int i = 1; i < 7; ++i) // away from the mirrored edges: the ramp at each centre, 125 pixels apart
        EXPECT_NEAR(int(out[i]), int((i * 125 + 62) * 255 / 999), 2) << i;
    Image tall = imaging::scaleTriangle(strip, 8, 8);
    for (int y = 1; y < 8; ++y)
        EXPECT_EQ(tall.at(3, y), tall.at(3, 0));
}

TEST(ScaleTriangle, NothingToScaleGivesNothing) {
    EXPECT_TRUE(imaging::scaleTriangle(Image{}, 4, 4).pixels.empty());
    EXPECT_TRUE(imaging::scaleTriangle(filled(4, 4, 1), 0, 4).pixels.empty());
    EXPECT_TRUE(imaging::scaleTriangle(filled(4, 4, 1), 4, -1).pixels.empty());
    Image inconsistent = filled(4, 4, 1);
    inconsistent.pixels.resize(3);
    EXPECT_TRUE(imaging::scaleTriangle(inconsistent, 2, 2).pixels.empty());
}

TEST(MipChain, LevelCounts) {
    const int cases[][3] = {{1, 1, 1}, {2, 2, 2}, {256, 256, 9}, {256, 16, 9}, {5, 3, 3}, {128, 1, 8}, {16, 16, 5}};
    for (const auto& c : cases)
        EXPECT_EQ(imaging::fullMipCount(c[0], c[1]), c[2]) << c[0] << "x" << c[1];
}

TEST(MipChain, HalvesDownToOnePixel) {
    Image top = filled(8, 4, 0xFF336699);
    top.pixels[0] = 0xFFFFFFFF;
    std::vector<Image> chain = imaging::makeMipChain(top, 0);
    const int sizes[][2] = {{8, 4}, {4, 2}, {2, 1}, {1, 1}};
    ASSERT_EQ(chain.size(), 4u);
    for (std::size_t i = 0; i < chain.size(); ++i) {
        EXPECT_EQ(chain[i].width, sizes[i][0]);
        EXPECT_EQ(chain[i].height, sizes[i][1]);
    }
    EXPECT_EQ(chain[0].pixels, top.pixels);
    // The white corner fades level by level but stays brighter than the rest.
    EXPECT_GT(chain[1].at(0, 0) & 255, 0x99u);
    EXPECT_EQ(chain[1].at(3, 1), 0xFF336699u);
    EXPECT_EQ(imaging::makeMipChain(top, 2).size(), 2u);
    EXPECT_EQ(imaging::makeMipChain(top, 99).size(), 4u);
    EXPECT_TRUE(imaging::makeMipChain(Image{}, 0).empty());
}

TEST(MipChain, TwoByTwoAveragesToOne) {
    Image top = filled(2, 2, 0);
    top.pixels = {0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000};
    std::vector<Image> chain = imaging::makeMipChain(top, 0);
    ASSERT_EQ(chain.size(), 2u);
    EXPECT_NEAR(int(chain[1].pixels[0] & 255), 128, 1);
}

} // namespace
