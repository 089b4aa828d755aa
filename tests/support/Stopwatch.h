// Wall-clock milliseconds and the median of repeated timings, for the benchmarks.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

namespace support {

inline double nowMs() {
    using Clock = std::chrono::steady_clock;
    return std::chrono::duration<double, std::milli>(Clock::now().time_since_epoch()).count();
}

inline double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

} // namespace support
