// Where a picture lands in its cached bitmap: plain fits, letter-boxes and the sizes that are refused.
#include "library/FitGeometry.h"

#include <gtest/gtest.h>

namespace {

using library::planFit;

struct FitCase {
    const char* name;
    long hmWidth, hmHeight;
    long pixelWidth, pixelHeight;
    bool letterBox;
    int bitmapWidth, bitmapHeight;
    int drawX, drawY, drawWidth, drawHeight;
};

TEST(FitGeometry, FitsOrLetterBoxesAtTargetSize256) {
    const FitCase cases[] = {
        {"4:3 landscape", 42333, 31750, 1600, 1200, false, 256, 192, 0, 0, 256, 192},
        {"4:3 upright", 31750, 42333, 1200, 1600, false, 192, 256, 0, 0, 192, 256},
        {"square", 50000, 50000, 1890, 1890, false, 256, 256, 0, 0, 256, 256},
        // The single-precision ratio lies just above 16/9: 143 rows, 56 above and 57 below.
        {"16:9", 16000, 9000, 605, 340, true, 256, 256, 0, 56, 256, 143},
        {"2:1", 20000, 10000, 756, 378, true, 256, 256, 0, 64, 256, 128},
        {"3:1", 30000, 10000, 1134, 378, true, 256, 256, 0, 85, 256, 85},
        {"9:16", 9000, 16000, 340, 605, true, 256, 256, 56, 0, 144, 256},
        {"135:100 is still plain", 13500, 10000, 1350, 1000, false, 256, 189, 0, 0, 256, 189},
        {"73:100 is still plain", 7300, 10000, 730, 1000, false, 186, 256, 0, 0, 186, 256},
        {"136:100 is letter-boxed", 13600, 10000, 1360, 1000, true, 256, 256, 0, 34, 256, 188},
        {"72:100 is letter-boxed", 7200, 10000, 720, 1000, true, 256, 256, 36, 0, 184, 256},
        // The plain fit scales by the pixel size, the choice by the HIMETRIC ratio.
        {"small picture grows", 4233, 3175, 160, 120, false, 256, 192, 0, 0, 256, 192},
    };
    for (const FitCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto plan = planFit(c.hmWidth, c.hmHeight, c.pixelWidth, c.pixelHeight, 256);
        ASSERT_TRUE(plan.has_value());
        EXPECT_EQ(plan->letterBox, c.letterBox);
        EXPECT_EQ(plan->bitmapWidth, c.bitmapWidth);
        EXPECT_EQ(plan->bitmapHeight, c.bitmapHeight);
        EXPECT_EQ(plan->drawX, c.drawX);
        EXPECT_EQ(plan->drawY, c.drawY);
        EXPECT_EQ(plan->drawWidth, c.drawWidth);
        EXPECT_EQ(plan->drawHeight, c.drawHeight);
    }
}

TEST(FitGeometry, OddBandPixelFallsBelowOrRight) {
    auto wide = planFit(16000, 9000, 605, 340, 256);
    ASSERT_TRUE(wide);
    EXPECT_EQ(256 - wide->drawY - wide->drawHeight, 57);
    auto tall = planFit(10000, 30000, 378, 1134, 256);
    ASSERT_TRUE(tall);
    EXPECT_EQ(tall->drawX, 85);
    EXPECT_EQ(256 - tall->drawX - tall->drawWidth, 86);
}

TEST(FitGeometry, OtherTargetSizesScaleTheSameWay) {
    auto plan = planFit(42333, 31750, 1600, 1200, 512);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->bitmapWidth, 512);
    EXPECT_EQ(plan->bitmapHeight, 384);
    plan = planFit(20000, 10000, 756, 378, library::kMaxTargetSize);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->drawHeight, 2048);
    EXPECT_EQ(plan->drawY, 1024);
}

TEST(FitGeometry, UnusableSizesGiveNoPlan) {
    struct Refused {
        const char* name;
        long hmWidth, hmHeight, pixelWidth, pixelHeight;
        int target;
    };
    const Refused cases[] = {
        {"target 0", 42333, 31750, 1600, 1200, 0},
        {"negative target", 42333, 31750, 1600, 1200, -256},
        {"target above the limit", 42333, 31750, 1600, 1200, library::kMaxTargetSize + 1},
        {"absurd target", 42333, 31750, 1600, 1200, 2000000000},
        {"zero HIMETRIC width", 0, 31750, 1600, 1200, 256},
        {"zero HIMETRIC height", 42333, 0, 1600, 1200, 256},
        {"negative HIMETRIC height", 42333, -31750, 1600, 1200, 256},
        {"zero pixel width", 42333, 31750, 0, 1200, 256},
        {"zero pixel height", 31750, 42333, 1200, 0, 256},
        // Less than a pixel of picture or bitmap.
        {"3:1 at one pixel", 30000, 10000, 1134, 378, 1},
        {"pixels disagree with the ratio", 10000, 10000, 1000, 1, 256},
        {"needle", 2000000000, 1, 2000000, 1, 256},
    };
    for (const Refused& c : cases)
        EXPECT_FALSE(planFit(c.hmWidth, c.hmHeight, c.pixelWidth, c.pixelHeight, c.target)) << c.name;
}

TEST(FitGeometry, HimetricToPixelsRoundsToNearest) {
    EXPECT_EQ(library::himetricToPixels(42333, 96), 1600);
    EXPECT_EQ(library::himetricToPixels(2540, 96), 96);
    EXPECT_EQ(library::himetricToPixels(2540, 120), 120);
    EXPECT_EQ(library::himetricToPixels(13, 96), 0);
    EXPECT_EQ(library::himetricToPixels(14, 96), 1);
    EXPECT_EQ(library::himetricToPixels(0, 96), 0);
}

TEST(FitGeometry, PixelSizesAt96DpiSurviveTheRoundTripThroughHimetric) {
    // The values the system loader reports for 96-dpi pictures.
    EXPECT_EQ(library::pixelsToHimetric(384, 96), 10160);
    EXPECT_EQ(library::pixelsToHimetric(216, 96), 5715);
    EXPECT_EQ(library::pixelsToHimetric(1600, 96), 42333);
    EXPECT_EQ(library::pixelsToHimetric(1, 96), 26);
    EXPECT_EQ(library::pixelsToHimetric(3, 96), 79);
    for (long pixels = 1; pixels <= 65535; ++pixels)
        ASSERT_EQ(library::himetricToPixels(library::pixelsToHimetric(pixels, 96), 96), pixels);
}

} // namespace
