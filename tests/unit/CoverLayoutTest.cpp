// What the black covers hide for a set of monitors: the show's own window stays uncovered, monitors on
// any side of it (negative coordinates included) are covered whole, overlapping ones in strips.
#include "saver/CoverLayout.h"

#include <gtest/gtest.h>

#include <ostream>

namespace cover {
void PrintTo(const Area& area, std::ostream* out) {
    *out << describeAreas({area});
}
} // namespace cover

namespace {

using cover::Area;

constexpr Area kShow{0, 0, 1024, 768};

struct LayoutCase {
    const char* name;
    std::vector<Area> monitors;
    std::vector<Area> covers;
    int coveredMonitors;
};

TEST(CoverLayout, CoversEveryMonitorLessTheShow) {
    const LayoutCase cases[] = {
        {"the primary alone", {kShow}, {}, 0},
        {"no monitors reported", {}, {}, 0},
        {"right of the primary", {kShow, {1024, 0, 1824, 600}}, {{1024, 0, 1824, 600}}, 1},
        {"left of the primary", {{-1280, -128, 0, 896}, kShow}, {{-1280, -128, 0, 896}}, 1},
        {"above the primary", {kShow, {0, -900, 1600, 0}}, {{0, -900, 1600, 0}}, 1},
        {"left of and above the primary", {kShow, {-800, -600, 0, 0}}, {{-800, -600, 0, 0}}, 1},
        {"three in a row, in the monitors' order",
         {{-1920, 0, 0, 1080}, kShow, {1024, 0, 2048, 768}},
         {{-1920, 0, 0, 1080}, {1024, 0, 2048, 768}},
         2},
        {"a mirror of the primary", {kShow, kShow}, {}, 0},
        {"the same monitor reported twice",
         {kShow, {1024, 0, 1824, 600}, {1024, 0, 1824, 600}},
         {{1024, 0, 1824, 600}},
         1},
        // Both at the origin (Xvfb's own Xinerama): only what the show leaves free, below and to the right.
        {"a larger one at the origin", {kShow, {0, 0, 1280, 1024}}, {{0, 768, 1280, 1024}, {1024, 0, 1280, 768}}, 1},
        {"one around the show",
         {{-100, -50, 1124, 868}},
         {{-100, -50, 1124, 0}, {-100, 768, 1124, 868}, {-100, 0, 0, 768}, {1024, 0, 1124, 768}},
         1},
        {"empty and inverted rectangles", {kShow, {1024, 0, 1024, 600}, {1824, 600, 1024, 0}}, {}, 0},
    };
    for (const LayoutCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(cover::coverAreas(kShow, c.monitors), c.covers);
        EXPECT_EQ(cover::coveredMonitorCount(kShow, c.monitors), c.coveredMonitors);
    }
}

TEST(CoverLayout, DescribesAreasForTheTrace) {
    EXPECT_EQ(cover::describeAreas({}), "");
    EXPECT_EQ(cover::describeAreas({{1024, 0, 1824, 600}}), "1024,0-1824,600");
    EXPECT_EQ(cover::describeAreas({{-800, -600, 0, 0}, {1024, 0, 2048, 768}}), "-800,-600-0,0 1024,0-2048,768");
}

} // namespace
