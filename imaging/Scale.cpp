#include "imaging/Scale.h"

#include "imaging/TentAxis.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace imaging {

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
