// Which parts of the desktop the show's black covers hide: every monitor, less the show's own window.
// Free of window code.
#pragma once

#include <string>
#include <vector>

namespace cover {

// A screen rectangle in virtual-screen pixels: left and top inside, right and bottom outside. Monitors
// left of or above the primary one have negative coordinates.
struct Area {
    long left = 0;
    long top = 0;
    long right = 0;
    long bottom = 0;

    bool empty() const { return right <= left || bottom <= top; }
    bool operator==(const Area& other) const {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
};

// The areas to cover, in the order of the monitors: each monitor less the part the show's window already
// hides (a monitor beside it whole, a mirrored one not at all, one that overlaps it in up to four strips).
// Empty and repeated areas are left out.
std::vector<Area> coverAreas(const Area& show, const std::vector<Area>& monitors);

// How many monitors have something to cover.
int coveredMonitorCount(const Area& show, const std::vector<Area>& monitors);

// "1024,0-1824,600 -800,-600-0,0": each area as left,top-right,bottom, separated by spaces.
std::string describeAreas(const std::vector<Area>& areas);

} // namespace cover
