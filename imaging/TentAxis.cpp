#include "imaging/TentAxis.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace imaging {

int mirroredIndex(int j, int n) {
    if (n == 1)
        return 0;
    const int period = 2 * n;
    j %= period;
    if (j < 0)
        j += period;
    return j < n ? j : period - 1 - j;
}

Tent::Tent(int output, int sourceSize, int targetSize) {
    const double scale = double(sourceSize) / targetSize;
    m_radius = std::max(1.0, scale);
    m_centre = (output + 0.5) * scale - 0.5;
    m_first = static_cast<int>(std::floor(m_centre - m_radius)) + 1;
    m_last = static_cast<int>(std::ceil(m_centre + m_radius)) - 1;
    for (int j = m_first; j <= m_last; ++j) {
        const double w = 1.0 - std::fabs(j - m_centre) / m_radius;
        if (w > 0)
            m_sum += w;
    }
}

float Tent::rawWeight(int j) const {
    if (j < m_first || j > m_last)
        return 0.0f;
    const double w = 1.0 - std::fabs(j - m_centre) / m_radius;
    return w > 0 ? static_cast<float>(w) : 0.0f;
}

float Tent::weight(int j) const {
    const float w = rawWeight(j);
    return w > 0 ? static_cast<float>(w / m_sum) : 0.0f;
}

AxisFilter makeAxis(int sourceSize, int targetSize) {
    AxisFilter axis;
    axis.start.reserve(static_cast<std::size_t>(targetSize) + 1);
    for (int i = 0; i < targetSize; ++i) {
        axis.start.push_back(static_cast<int>(axis.index.size()));
        const Tent tent(i, sourceSize, targetSize);
        for (int j = tent.first(); j <= tent.last(); ++j) {
            const float w = tent.weight(j);
            if (w <= 0)
                continue;
            axis.index.push_back(mirroredIndex(j, sourceSize));
            axis.weight.push_back(w);
        }
    }
    axis.start.push_back(static_cast<int>(axis.index.size()));
    return axis;
}

} // namespace imaging
