#include "imaging/Scale.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace imaging {

namespace {

// The taps of one axis: output i reads sources index[start[i]] .. index[start[i + 1] - 1].
struct AxisFilter {
    std::vector<int> start;
    std::vector<int> index;
    std::vector<float> weight;
};

// Reflects an index beyond either edge back inside: -1 reads 0, n reads n - 1.
int mirrored(int j, int n) {
    if (n == 1)
        return 0;
    const int period = 2 * n;
    j %= period;
    if (j < 0)
        j += period;
    return j < n ? j : period - 1 - j;
}

AxisFilter makeAxis(int sourceSize, int targetSize) {
    AxisFilter axis;
    const double scale = double(sourceSize) / targetSize;
    const double radius = std::max(1.0, scale);
    axis.start.reserve(static_cast<std::size_t>(targetSize) + 1);
    for (int i = 0; i < targetSize; ++i) {
        axis.start.push_back(static_cast<int>(axis.index.size()));
        const double centre = (i + 0.5) * scale - 0.5;
        const int first = static_cast<int>(std::floor(centre - radius)) + 1;
        const int last = static_cast<int>(std::ceil(centre + radius)) - 1;
        const std::size_t begin = axis.weight.size();
        double sum = 0;
        for (int j = first; j <= last; ++j) {
            const double w = 1.0 - std::fabs(j - centre) / radius;
            if (w <= 0)
                continue;
            axis.index.push_back(mirrored(j, sourceSize));
            axis.weight.push_back(static_cast<float>(w));
            sum += w;
        }
        for (std::size_t k = begin; k < axis.weight.size(); ++k)
            axis.weight[k] = static_cast<float>(axis.weight[k] / sum);
    }
    axis.start.push_back(static_cast<int>(axis.index.size()));
    return axis;
}

std::uint32_t toByte(float v) {
    if (v <= 0.0f)
        return 0;
    if (v >= 255.0f)
        return 255;
    return static_cast<std::uint32_t>(v + 0.5f);
}

} // namespace

Image scaleTriangle(const Image& source, int width, int height) {
    Image out;
    if (source.width <= 0 || source.height <= 0 || width <= 0 || height <= 0 ||
        source.pixels.size() != std::size_t(source.width) * std::size_t(source.height))
        return out;

    const AxisFilter across = makeAxis(source.width, width);
    const AxisFilter down = makeAxis(source.height, height);
    const std::size_t sw = static_cast<std::size_t>(source.width);
    const std::size_t tw = static_cast<std::size_t>(width);

    // Pass 1, along each source row: width x source.height, four float channels (b, g, r, a).
    std::vector<float> rows(tw * source.height * 4);
    std::vector<float> unpacked(sw * 4);
    for (int y = 0; y < source.height; ++y) {
        const std::uint32_t* src = source.pixels.data() + std::size_t(y) * sw;
        for (std::size_t x = 0; x < sw; ++x) {
            unpacked[4 * x] = float(src[x] & 255);
            unpacked[4 * x + 1] = float((src[x] >> 8) & 255);
            unpacked[4 * x + 2] = float((src[x] >> 16) & 255);
            unpacked[4 * x + 3] = float(src[x] >> 24);
        }
        float* dst = rows.data() + std::size_t(y) * tw * 4;
        for (std::size_t x = 0; x < tw; ++x) {
            float b = 0, g = 0, r = 0, a = 0;
            for (int k = across.start[x]; k < across.start[x + 1]; ++k) {
                const float w = across.weight[k];
                const float* p = unpacked.data() + 4 * std::size_t(across.index[k]);
                b += w * p[0];
                g += w * p[1];
                r += w * p[2];
                a += w * p[3];
            }
            dst[4 * x] = b;
            dst[4 * x + 1] = g;
            dst[4 * x + 2] = r;
            dst[4 * x + 3] = a;
        }
    }

    // Pass 2, down the columns, one output row at a time.
    out.width = width;
    out.height = height;
    out.pixels.resize(tw * std::size_t(height));
    std::vector<float> sum(tw * 4);
    for (int y = 0; y < height; ++y) {
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (int k = down.start[y]; k < down.start[y + 1]; ++k) {
            const float w = down.weight[k];
            const float* src = rows.data() + std::size_t(down.index[k]) * tw * 4;
            for (std::size_t i = 0; i < tw * 4; ++i)
                sum[i] += w * src[i];
        }
        std::uint32_t* dst = out.pixels.data() + std::size_t(y) * tw;
        for (std::size_t x = 0; x < tw; ++x)
            dst[x] = (toByte(sum[4 * x + 3]) << 24) | (toByte(sum[4 * x + 2]) << 16) | (toByte(sum[4 * x + 1]) << 8) |
                     toByte(sum[4 * x]);
    }
    return out;
}

} // namespace imaging
