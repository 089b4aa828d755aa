#include "config/SliderValues.h"

namespace config {

namespace {
constexpr int kDeadZone = 6;
}

int clampToRange(int value, int low, int high) {
    if (value < low)
        return low;
    if (value > high)
        return high;
    return value;
}

int applyDeadZone(int value) {
    return value >= -kDeadZone && value <= kDeadZone ? 0 : value;
}

} // namespace config
