#include "imaging/StreamScaler.h"

#include "imaging/ExifOrientation.h"

#include <algorithm>
#include <new>
#include <utility>

namespace imaging {

StreamScaler::StreamScaler(int width, int height, int orientation, std::size_t budget, const StopSignal* stop)
    : m_width(width), m_height(height), m_orientation(orientation), m_budget(budget), m_stop(stop) {}

ImageError StreamScaler::start(int width, int height, bool bottomUp, std::size_t decoderBytes) {
    if (width <= 0 || height <= 0 || m_width <= 0 || m_height <= 0)
        return ImageError::BadHeader;
    m_sourceWidth = width;
    m_sourceHeight = height;
    m_bottomUp = bottomUp;
    const bool swap = swapsSides(m_orientation);
    m_targetWidth = swap ? m_height : m_width;
    m_targetHeight = swap ? m_width : m_height;
    const std::uint64_t tw = std::uint64_t(m_targetWidth), th = std::uint64_t(m_targetHeight);
    const std::uint64_t sw = std::uint64_t(width);

    // Everything that grows with the source row or the output, before any of it is allocated.
    // The open sums are kept at whichever width is narrower, so a tall thin picture costs little per row.
    m_verticalFirst = sw <= tw;
    m_sumWidth = m_verticalFirst ? width : m_targetWidth;
    std::uint64_t planned = decoderBytes + axisTapBound(width, m_targetWidth) * 8 + (tw + 1) * 4 + sw * 16 + tw * 16 +
                            th * (sizeof(Tent) + 8) + tw * th * 4;
    if (planned > m_budget)
        return ImageError::TooLarge;

    try {
        m_down.reserve(std::size_t(th));
        m_lowest.resize(std::size_t(th));
        m_highest.resize(std::size_t(th));
        for (int i = 0; i < m_targetHeight; ++i) {
            m_down.emplace_back(i, height, m_targetHeight);
            int low = height, high = -1;
            for (int j = m_down.back().first(); j <= m_down.back().last(); ++j) {
                const int k = mirroredIndex(j, height);
                low = std::min(low, k);
                high = std::max(high, k);
            }
            m_lowest[std::size_t(i)] = low;
            m_highest[std::size_t(i)] = high;
        }
        // Rows open and close in order: widen the ranges until both ends only ever grow.
        for (int i = m_targetHeight - 2; i >= 0; --i)
            m_lowest[std::size_t(i)] = std::min(m_lowest[std::size_t(i)], m_lowest[std::size_t(i) + 1]);
        for (int i = 1; i < m_targetHeight; ++i)
            m_highest[std::size_t(i)] = std::max(m_highest[std::size_t(i)], m_highest[std::size_t(i) - 1]);
        // The most output rows any one source row falls in.
        m_capacity = 1;
        int last = 0;
        for (int i = 0; i < m_targetHeight; ++i) {
            last = std::max(last, i);
            while (last + 1 < m_targetHeight && m_lowest[std::size_t(last) + 1] <= m_highest[std::size_t(i)])
                ++last;
            m_capacity = std::max(m_capacity, last - i + 1);
        }
        planned += std::uint64_t(m_capacity) * std::uint64_t(m_sumWidth) * 16;
        if (planned > m_budget)
            return ImageError::TooLarge;

        m_across = makeAxis(width, m_targetWidth);
        m_unpacked.resize(std::size_t(sw) * 4);
        m_filtered.resize(std::size_t(tw) * 4);
        m_sums.resize(std::size_t(m_capacity) * std::size_t(m_sumWidth) * 4);
        m_out.pixels.resize(std::size_t(tw) * std::size_t(th));
    } catch (const std::bad_alloc&) {
        return ImageError::OutOfMemory;
    }
    m_planned = std::size_t(planned);
    m_out.width = m_width;
    m_out.height = m_height;
    return ImageError::None;
}

std::size_t StreamScaler::decoderAllowance() const {
    return m_planned < m_budget ? m_budget - m_planned : 0;
}

float StreamScaler::weightOf(int output, int source) const {
    // Within a tent, row k is read at k itself and at its reflections across either edge.
    const Tent& tent = m_down[std::size_t(output)];
    return tent.weight(source) + tent.weight(-1 - source) + tent.weight(2 * m_sourceHeight - 1 - source);
}

// One row, four floats a pixel, along the horizontal taps.
void StreamScaler::filterAcross(const float* in) {
    for (std::size_t x = 0; x < std::size_t(m_targetWidth); ++x) {
        float b = 0, g = 0, r = 0, a = 0;
        for (int t = m_across.start[x]; t < m_across.start[x + 1]; ++t) {
            const float w = m_across.weight[std::size_t(t)];
            const float* p = in + 4 * std::size_t(m_across.index[std::size_t(t)]);
            b += w * p[0];
            g += w * p[1];
            r += w * p[2];
            a += w * p[3];
        }
        m_filtered[4 * x] = b;
        m_filtered[4 * x + 1] = g;
        m_filtered[4 * x + 2] = r;
        m_filtered[4 * x + 3] = a;
    }
}

ImageError StreamScaler::row(const std::uint32_t* pixels) {
    if (m_nextSource >= m_sourceHeight)
        return ImageError::Corrupt;
    const int k = m_nextSource++;
    const std::size_t sw = std::size_t(m_sourceWidth), sumWidth = std::size_t(m_sumWidth);
    for (std::size_t x = 0; x < sw; ++x) {
        m_unpacked[4 * x] = float(pixels[x] & 255);
        m_unpacked[4 * x + 1] = float((pixels[x] >> 8) & 255);
        m_unpacked[4 * x + 2] = float((pixels[x] >> 16) & 255);
        m_unpacked[4 * x + 3] = float(pixels[x] >> 24);
    }
    if (!m_verticalFirst)
        filterAcross(m_unpacked.data());
    const float* added = m_verticalFirst ? m_unpacked.data() : m_filtered.data();

    while (m_nextOpen < m_targetHeight && m_lowest[std::size_t(m_nextOpen)] <= k) {
        float* sum = m_sums.data() + std::size_t(m_nextOpen % m_capacity) * sumWidth * 4;
        std::fill(sum, sum + sumWidth * 4, 0.0f);
        ++m_nextOpen;
    }
    for (int i = m_firstOpen; i < m_nextOpen; ++i) {
        const float w = weightOf(i, k);
        if (w == 0.0f)
            continue;
        float* sum = m_sums.data() + std::size_t(i % m_capacity) * sumWidth * 4;
        for (std::size_t c = 0; c < sumWidth * 4; ++c)
            sum[c] += w * added[c];
    }
    while (m_firstOpen < m_nextOpen && m_highest[std::size_t(m_firstOpen)] <= k) {
        emit(m_firstOpen++);
        if (m_stop && m_stop->stopRequested())
            return ImageError::Cancelled;
    }
    return ImageError::None;
}

void StreamScaler::emit(int output) {
    const std::size_t tw = std::size_t(m_targetWidth);
    const float* sum = m_sums.data() + std::size_t(output % m_capacity) * std::size_t(m_sumWidth) * 4;
    if (m_verticalFirst) {
        filterAcross(sum);
        sum = m_filtered.data();
    }
    const int y = m_bottomUp ? m_targetHeight - 1 - output : output;
    for (std::size_t x = 0; x < tw; ++x) {
        const std::uint32_t pixel = (toByte(sum[4 * x + 3]) << 24) | (toByte(sum[4 * x + 2]) << 16) |
                                    (toByte(sum[4 * x + 1]) << 8) | toByte(sum[4 * x]);
        int ux = 0, uy = 0;
        uprightPosition(m_orientation, m_targetWidth, m_targetHeight, int(x), y, ux, uy);
        m_out.pixels[std::size_t(uy) * std::size_t(m_width) + std::size_t(ux)] = pixel;
    }
}

Image StreamScaler::take() {
    if (m_targetHeight == 0 || m_firstOpen != m_targetHeight)
        return Image{};
    return std::move(m_out);
}

} // namespace imaging
