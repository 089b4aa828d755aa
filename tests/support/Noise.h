// Pseudo-random grain and smooth value noise for photograph-like test pictures: pictures that neither
// compress to nothing nor decode unusually fast.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace support {

// xorshift32: the same sequence on every compiler and platform.
inline std::uint32_t nextRandom(std::uint32_t& state) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
}

// A lattice of random values, bilinearly interpolated: one octave of value noise.
class Noise {
public:
    Noise(int cells, std::uint32_t seed) : m_cells(cells), m_values(std::size_t(cells + 1) * (cells + 1)) {
        for (float& v : m_values)
            v = float(nextRandom(seed) & 0xFFFF) / 65535.0f;
    }
    float at(float u, float v) const { // u, v in [0, 1)
        const float x = u * m_cells, y = v * m_cells;
        const int x0 = int(x), y0 = int(y);
        const float fx = x - x0, fy = y - y0;
        const float* row0 = &m_values[std::size_t(y0) * (m_cells + 1)];
        const float* row1 = row0 + (m_cells + 1);
        const float top = row0[x0] + (row0[x0 + 1] - row0[x0]) * fx;
        const float bottom = row1[x0] + (row1[x0 + 1] - row1[x0]) * fx;
        return top + (bottom - top) * fy;
    }

private:
    int m_cells;
    std::vector<float> m_values;
};

// 0xRRGGBB of three channel values clamped to 0..255.
inline std::uint32_t clampedRgb(float r, float g, float b) {
    auto channel = [](float v) { return std::uint32_t(std::clamp(v, 0.0f, 255.0f)); };
    return channel(r) << 16 | channel(g) << 8 | channel(b);
}

} // namespace support
