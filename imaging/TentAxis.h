// The taps of the triangle filter along one axis, shared by the whole-picture and the row-streaming scalers.
#pragma once

#include <cstdint>
#include <vector>

namespace imaging {

// Reflects an index beyond either edge back inside: -1 reads 0, n reads n - 1.
int mirroredIndex(int j, int n);

// The tent of one output sample over source positions first .. last (before mirroring). Shrinking widens
// it to the scale factor so every source sample contributes; enlarging interpolates linearly.
class Tent {
public:
    Tent(int output, int sourceSize, int targetSize);
    int first() const { return m_first; }
    int last() const { return m_last; }
    // The normalised weight of source position j; 0 outside the tent.
    float weight(int j) const;

private:
    float rawWeight(int j) const;
    double m_centre;
    double m_radius;
    int m_first;
    int m_last;
    double m_sum = 0;
};

// Output i reads sources index[start[i]] .. index[start[i + 1] - 1], mirrored into the picture.
struct AxisFilter {
    std::vector<int> start;
    std::vector<int> index;
    std::vector<float> weight;
};

AxisFilter makeAxis(int sourceSize, int targetSize);

// An upper bound on makeAxis's number of taps, known before building it.
inline std::uint64_t axisTapBound(int sourceSize, int targetSize) {
    return 2 * std::uint64_t(sourceSize) + 3 * std::uint64_t(targetSize);
}

inline std::uint32_t toByte(float v) {
    if (v <= 0.0f)
        return 0;
    if (v >= 255.0f)
        return 255;
    return static_cast<std::uint32_t>(v + 0.5f);
}

} // namespace imaging
