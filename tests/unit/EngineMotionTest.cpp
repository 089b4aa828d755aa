// The cube's motion: slider scaling, depth band, bounces, drift and the upright schedule.
#include "engine/Motion.h"

#include <gtest/gtest.h>

using namespace motion;

namespace {

MotionSettings sliders(int spinX, int spinY, int spinZ, int speedX, int speedY, int speedZ, int cubeSize) {
    return MotionSettings{spinX, spinY, spinZ, speedX, speedY, speedZ, cubeSize, false};
}

TEST(EngineMotion, SlidersScaleToRadiansAndUnitsPerFrame) {
    struct Case {
        MotionSettings in;
        Vec3 spin, velocity;
    } cases[] = {
        // The window's defaults: SpinX 10, SpinY 15, SpinZ 0, SpeedX 15, SpeedY 5, SpeedZ 0.
        {sliders(10, 15, 0, 15, 5, 0, 0), {0.0872664f, 0.1308996f, 0.0f}, {0.003f, 0.00025f, 0.0f}},
        {sliders(1, -1, 99, 1, 1, 1, 0), {0.00872664f, -0.00872664f, 0.86393736f}, {0.0002f, 0.00005f, 0.00008333333f}},
        {sliders(-99, 0, 0, 99, 99, 99, 0), {-0.86393736f, 0.0f, 0.0f}, {0.0198f, 0.00495f, 0.00825f}},
    };
    for (const Case& c : cases) {
        MotionParams p = motionFromSettings(c.in);
        EXPECT_FLOAT_EQ(p.spinRate.x, c.spin.x);
        EXPECT_FLOAT_EQ(p.spinRate.y, c.spin.y);
        EXPECT_FLOAT_EQ(p.spinRate.z, c.spin.z);
        EXPECT_FLOAT_EQ(p.velocity.x, c.velocity.x);
        EXPECT_FLOAT_EQ(p.velocity.y, c.velocity.y);
        EXPECT_FLOAT_EQ(p.velocity.z, c.velocity.z);
    }
}

TEST(EngineMotion, CubeSizeMovesTheDepthBandNearer) {
    MotionParams smallest = motionFromSettings(sliders(0, 0, 0, 0, 0, 0, 0));
    EXPECT_FLOAT_EQ(smallest.zMin, 5.1f);
    EXPECT_FLOAT_EQ(smallest.zMax, 10.1f);
    MotionParams largest = motionFromSettings(sliders(0, 0, 0, 0, 0, 0, 99));
    EXPECT_NEAR(largest.zMin, 2.1f, 1e-5f);
    EXPECT_NEAR(largest.zMax, 3.1f, 1e-5f);
    Vec3 start = startPosition(largest.zMin, largest.zMax);
    EXPECT_FLOAT_EQ(start.x, 0.0f);
    EXPECT_FLOAT_EQ(start.y, 0.0f);
    EXPECT_NEAR(start.z, 2.6f, 1e-5f);
}

TEST(EngineMotion, EdgeBitsTurnOnlyOutwardVelocities) {
    struct Case {
        unsigned bits;
        Vec3 before, after;
        bool touched;
    } cases[] = {
        {0, {1, 1, 1}, {1, 1, 1}, false},
        {kClipRight, {1, 1, 1}, {-1, 1, 1}, true},
        {kClipRight, {-1, 1, 1}, {-1, 1, 1}, true},
        {kClipLeft, {-1, 1, 1}, {1, 1, 1}, true},
        {kClipLeft, {1, 1, 1}, {1, 1, 1}, true},
        {kClipTop, {1, 1, 1}, {1, -1, 1}, true},
        {kClipTop, {1, -1, 1}, {1, -1, 1}, true},
        {kClipBottom, {1, -1, 1}, {1, 1, 1}, true},
        {kClipBottom, {1, 1, 1}, {1, 1, 1}, true},
        {kClipRight | kClipTop, {1, 1, 1}, {-1, -1, 1}, true},
        {kClipLeft | kClipBottom, {-1, -1, -1}, {1, 1, -1}, true},
        // A standing axis stays standing.
        {kClipRight | kClipBottom, {0, 0, 0}, {0, 0, 0}, true},
        // Bits other than the four sides (front, back) are no edge.
        {0x10 | 0x20, {1, 1, 1}, {1, 1, 1}, false},
    };
    for (const Case& c : cases) {
        Vec3 v = c.before;
        EXPECT_EQ(bounceAtEdges(c.bits, v), c.touched) << c.bits;
        EXPECT_EQ(v.x, c.after.x) << c.bits;
        EXPECT_EQ(v.y, c.after.y) << c.bits;
        EXPECT_EQ(v.z, c.after.z) << c.bits;
    }
}

TEST(EngineMotion, AFaceBeyondTwoOppositeEdgesFlipsFaceByFace) {
    // Right is tested first, so an outward-right velocity turns left and the next such face turns it back.
    Vec3 v{0.01f, -0.02f, 0};
    const unsigned allSides = kClipLeft | kClipRight | kClipTop | kClipBottom;
    EXPECT_TRUE(bounceAtEdges(allSides, v));
    EXPECT_EQ(v.x, -0.01f);
    EXPECT_EQ(v.y, 0.02f);
    EXPECT_TRUE(bounceAtEdges(allSides, v));
    EXPECT_EQ(v.x, 0.01f);
    EXPECT_EQ(v.y, -0.02f);
}

TEST(EngineMotion, DepthBounceTurnsOnlyOutwardDepthSpeed) {
    struct Case {
        float z, vz, expected;
    } cases[] = {
        {5.0f, -0.1f, 0.1f},                       // nearer than zMin, coming nearer
        {5.0f, 0.1f, 0.1f},                        // nearer, already going away
        {10.2f, 0.1f, -0.1f},                      // farther than zMax, going away
        {10.2f, -0.1f, -0.1f}, {7.0f, 0.1f, 0.1f}, // inside the band
        {7.0f, -0.1f, -0.1f},  {5.0f, 0.0f, 0.0f}, // SpeedZ 0: nothing to turn
        {10.2f, 0.0f, 0.0f},
    };
    for (const Case& c : cases) {
        Vec3 v{0.5f, 0.5f, c.vz};
        bounceInDepth(c.z, 5.1f, 10.1f, v);
        EXPECT_EQ(v.z, c.expected) << c.z << " " << c.vz;
        EXPECT_EQ(v.x, 0.5f);
        EXPECT_EQ(v.y, 0.5f);
    }
}

TEST(EngineMotion, DepthStaysInsideTheBandOverALongRun) {
    for (int size : {0, 50, 99}) {
        for (int speedZ : {0, 1, 99}) {
            MotionParams p = motionFromSettings(sliders(0, 0, 0, 0, 0, speedZ, size));
            Vec3 position = startPosition(p.zMin, p.zMax);
            Vec3 velocity = p.velocity;
            float lowest = position.z, highest = position.z;
            for (int frame = 0; frame < 20000; ++frame) {
                bounceInDepth(position.z, p.zMin, p.zMax, velocity);
                drift(position, velocity);
                lowest = std::min(lowest, position.z);
                highest = std::max(highest, position.z);
            }
            if (speedZ == 0) {
                EXPECT_EQ(lowest, highest) << size;
            } else {
                // One step beyond each end at most, and both ends reached.
                EXPECT_GE(lowest, p.zMin - 2 * p.velocity.z) << size << " " << speedZ;
                EXPECT_LE(highest, p.zMax + 2 * p.velocity.z) << size << " " << speedZ;
                if (speedZ == 99) {
                    EXPECT_LT(lowest, p.zMin);
                    EXPECT_GT(highest, p.zMax);
                }
            }
        }
    }
}

TEST(EngineMotion, ElapsedSecondsSurviveTheClockWrap) {
    EXPECT_FLOAT_EQ(secondsSince(1500, 500), 1.0f);
    EXPECT_FLOAT_EQ(secondsSince(5, 0xFFFFFFF0u), 0.021f);
    EXPECT_FLOAT_EQ(secondsSince(7, 7), 0.0f);
}

TEST(EngineMotion, UprightPairsAdvanceOnlyInFramesClearOfTheEdges) {
    int pair = 0;
    const struct {
        bool touched;
        int taken, pairAfter;
    } frames[] = {
        {false, 0, 2}, {false, 2, 4}, {true, -1, 4}, {true, -1, 4}, {false, 4, 0}, {false, 0, 2},
    };
    for (const auto& f : frames) {
        EXPECT_EQ(takeUprightPair(f.touched, true, pair), f.taken);
        EXPECT_EQ(pair, f.pairAfter);
    }
    // KeepUpright off: nothing is taken or advanced.
    int still = 2;
    EXPECT_EQ(takeUprightPair(false, false, still), -1);
    EXPECT_EQ(still, 2);
}

} // namespace
