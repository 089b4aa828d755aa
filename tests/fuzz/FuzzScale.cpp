// The texture scaler and the mip chain on pictures of any size and content: the size asked for, every
// channel within the range of the source's, a flat picture stays flat, each mip level half the last; the
// row-streaming scaler gives the same pixels within one level, in any row order and orientation.
#include "imaging/ExifOrientation.h"
#include "imaging/MipChain.h"
#include "imaging/Scale.h"
#include "imaging/StreamScaler.h"
#include "tests/support/FuzzInput.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

using support::check;

// Reads the input front to back; zeros once it runs out.
struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
    unsigned byte() { return at < size ? data[at++] : 0; }
    unsigned word() { return byte() | (byte() << 8); }
};

struct Range {
    unsigned low[4] = {255, 255, 255, 255};
    unsigned high[4] = {0, 0, 0, 0};
    void add(std::uint32_t p) {
        for (int c = 0; c < 4; ++c) {
            const unsigned v = (p >> (8 * c)) & 255;
            low[c] = std::min(low[c], v);
            high[c] = std::max(high[c], v);
        }
    }
    bool holds(std::uint32_t p) const {
        for (int c = 0; c < 4; ++c) {
            const unsigned v = (p >> (8 * c)) & 255;
            if (v < low[c] || v > high[c])
                return false;
        }
        return true;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Reader in{data, size};
    // Sources of any shape from a line of 65,536 to a square of 16,384 pixels; targets up to 512 pixels:
    // the shapes matter here more than the sizes (coverage tracing makes every filter tap cost).
    int sw = 1 + int(in.word());
    int sh = 1 + int(in.word());
    if (long(sw) * sh > 16384)
        sh = std::max(1, 16384 / sw);
    int tw = 1 + int(in.word() % 512);
    int th = 1 + int(in.word() % 512);
    if (tw * th > 512)
        th = std::max(1, 512 / tw);
    if (tw * sh > (1 << 18)) // the whole-picture scaler holds target width x source height
        sh = std::max(1, (1 << 18) / tw);
    const unsigned flags = in.byte();
    const int levels = int(in.byte() % 16);
    const int orientation = 1 + int(in.byte() % 8);
    const bool flat = flags & 1;

    imaging::Image source;
    source.width = sw;
    source.height = sh;
    source.pixels.resize(std::size_t(sw) * std::size_t(sh));
    Range range;
    const std::size_t pixelStart = in.at;
    for (std::size_t i = 0; i < source.pixels.size(); ++i) {
        std::uint32_t p = 0;
        for (int b = 0; b < 4; ++b) {
            const std::size_t k = size > pixelStart ? pixelStart + (flat ? b : 4 * i + b) % (size - pixelStart) : 0;
            p |= std::uint32_t(k < size ? data[k] : 0) << (8 * b);
        }
        source.pixels[i] = p;
        range.add(p);
    }

    if (flags & 2) {
        // Sizes below 1 give nothing.
        check(imaging::scaleTriangle(source, 0, th).pixels.empty());
        check(imaging::scaleTriangle(source, tw, -th).pixels.empty());
    }

    const imaging::Image out = imaging::scaleTriangle(source, tw, th);
    check(out.width == tw && out.height == th);
    check(out.pixels.size() == std::size_t(tw) * std::size_t(th));
    for (std::uint32_t p : out.pixels) {
        check(range.holds(p));
        if (flat)
            check(p == source.pixels[0]);
    }

    {
        const bool swap = imaging::swapsSides(orientation);
        const bool bottomUp = flags & 4;
        imaging::StreamScaler scaler(swap ? th : tw, swap ? tw : th, orientation, std::size_t(64) << 20, nullptr);
        check(scaler.start(sw, sh, bottomUp, 0) == imaging::ImageError::None);
        for (int y = 0; y < sh; ++y) {
            check(scaler.take().pixels.empty()); // nothing before the last row
            const int row = bottomUp ? sh - 1 - y : y;
            check(scaler.row(source.pixels.data() + std::size_t(row) * std::size_t(sw)) == imaging::ImageError::None);
        }
        imaging::Image streamed = scaler.take();
        check(streamed.width == (swap ? th : tw) && streamed.height == (swap ? tw : th));
        const imaging::Image upright = imaging::orientImage(out, orientation);
        check(streamed.pixels.size() == upright.pixels.size());
        for (std::size_t i = 0; i < upright.pixels.size(); ++i)
            for (int shift = 0; shift < 32; shift += 8) {
                const int a = int((streamed.pixels[i] >> shift) & 255), b = int((upright.pixels[i] >> shift) & 255);
                check(a - b <= 1 && b - a <= 1);
            }
    }

    {
        const int full = imaging::fullMipCount(tw, th);
        const std::vector<imaging::Image> chain = imaging::makeMipChain(out, levels);
        check(int(chain.size()) == (levels == 0 || levels > full ? full : levels));
        check(chain[0].pixels == out.pixels);
        for (std::size_t i = 1; i < chain.size(); ++i) {
            check(chain[i].width == std::max(1, chain[i - 1].width / 2));
            check(chain[i].height == std::max(1, chain[i - 1].height / 2));
            for (std::uint32_t p : chain[i].pixels)
                check(range.holds(p));
        }
        if (int(chain.size()) == full)
            check(chain.back().width == 1 && chain.back().height == 1);
    }
    return 0;
}
