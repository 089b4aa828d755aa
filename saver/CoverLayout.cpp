#include "saver/CoverLayout.h"

#include <algorithm>

namespace cover {

namespace {

// The parts of a monitor outside the show: a band above, one below, then left and right between them.
std::vector<Area> outside(const Area& monitor, const Area& show) {
    if (monitor.empty())
        return {};
    const Area overlap{std::max(monitor.left, show.left), std::max(monitor.top, show.top),
                       std::min(monitor.right, show.right), std::min(monitor.bottom, show.bottom)};
    if (overlap.empty())
        return {monitor};
    const Area pieces[] = {
        {monitor.left, monitor.top, monitor.right, overlap.top},
        {monitor.left, overlap.bottom, monitor.right, monitor.bottom},
        {monitor.left, overlap.top, overlap.left, overlap.bottom},
        {overlap.right, overlap.top, monitor.right, overlap.bottom},
    };
    std::vector<Area> parts;
    for (const Area& piece : pieces)
        if (!piece.empty())
            parts.push_back(piece);
    return parts;
}

} // namespace

std::vector<Area> coverAreas(const Area& show, const std::vector<Area>& monitors) {
    std::vector<Area> areas;
    for (const Area& monitor : monitors)
        for (const Area& part : outside(monitor, show))
            if (std::find(areas.begin(), areas.end(), part) == areas.end())
                areas.push_back(part);
    return areas;
}

int coveredMonitorCount(const Area& show, const std::vector<Area>& monitors) {
    std::vector<Area> counted;
    for (const Area& monitor : monitors)
        if (!outside(monitor, show).empty() && std::find(counted.begin(), counted.end(), monitor) == counted.end())
            counted.push_back(monitor);
    return static_cast<int>(counted.size());
}

std::string describeAreas(const std::vector<Area>& areas) {
    std::string text;
    for (const Area& area : areas) {
        if (!text.empty())
            text += ' ';
        text += std::to_string(area.left) + ',' + std::to_string(area.top) + '-' + std::to_string(area.right) + ',' +
                std::to_string(area.bottom);
    }
    return text;
}

} // namespace cover
