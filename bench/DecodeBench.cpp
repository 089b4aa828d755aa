// Picture to a face-sized square, two ways on the same files in the same run:
//   whole  - decode at the smallest DCT scale that covers S, then scaleTriangle over the whole picture
//   stream - decodePictureToSize: rows filtered as libjpeg delivers them
// Time per picture (best of the repeats) and the most heap each way held, libjpeg's included.
// The pictures are made here: soft gradients, shapes, fine texture and grain, 4:2:0, quality 90.
// Usage: DecodeBench [repeats]
#include "imaging/PictureDecoder.h"
#include "imaging/Scale.h"

#include "tests/support/JpegWriter.h"
#include "tests/support/Noise.h"
#include "tests/support/PeakMemory.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using support::Bytes;
using Clock = std::chrono::steady_clock;

Bytes photoLikeJpeg(int width, int height) {
    std::uint32_t grain = 0x9E3779B9u;
    return support::paintJpeg(width, height, support::cameraJpeg(90), [&](int x, int y) {
        const float u = (x + 0.5f) / width, v = (y + 0.5f) / height;
        const float noise = float(int(support::nextRandom(grain) & 15) - 8);
        const bool shape = std::sin(u * 9.0f) * std::cos(v * 7.0f) > 0.3f;
        const float detail = std::sin(x * 0.37f) * std::sin(y * 0.23f) * 25.0f;
        return support::clampedRgb(40 + 150 * u + (shape ? 40 : 0) + detail + noise, 60 + 100 * v + detail + noise,
                                   180 - 120 * u * v + (shape ? 30 : 0) + noise);
    });
}

struct Measure {
    double ms = 1e30;
    std::size_t peak = 0;
};

template <typename F> void measure(Measure& m, F&& run) {
    peak::reset(std::size_t(4) << 30);
    const auto start = Clock::now();
    run();
    m.ms = std::min(m.ms, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    m.peak = std::max(m.peak, peak::bytes());
    peak::stop();
}

} // namespace

int main(int argc, char** argv) {
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const struct {
        const char* name;
        int width, height;
    } pictures[] = {{"2 MP", 1728, 1152}, {"12 MP", 4000, 3000}, {"24 MP", 6000, 4000}};
    bool withinBudget = true;

    std::printf("JPEG to S x S, best of %d runs; peak heap in MB\n", repeats);
    std::printf("%-6s %5s %10s %10s %8s %10s %10s %8s %7s\n", "photo", "S", "whole ms", "stream ms", "time", "whole MB",
                "stream MB", "memory", "budget");
    for (const auto& p : pictures) {
        const Bytes file = photoLikeJpeg(p.width, p.height);
        for (int s : {256, 1024}) {
            Measure whole, stream;
            imaging::Image out;
            for (int r = 0; r < repeats; ++r) {
                measure(whole, [&] {
                    imaging::Image decoded;
                    if (imaging::decodePicture(file.data(), file.size(), s, s, decoded) != imaging::ImageError::None)
                        std::abort();
                    out = imaging::scaleTriangle(decoded, s, s);
                });
                out = imaging::Image{};
                measure(stream, [&] {
                    if (imaging::decodePictureToSize(file.data(), file.size(), s, s, out) != imaging::ImageError::None)
                        std::abort();
                });
                out = imaging::Image{};
            }
            const double budget = double(imaging::decodeMemoryBudget(s, s)) / (1 << 20);
            const double wholeMb = double(whole.peak) / (1 << 20), streamMb = double(stream.peak) / (1 << 20);
            std::printf("%-6s %5d %10.1f %10.1f %7.2fx %10.1f %10.1f %7.2fx %7.0f\n", p.name, s, whole.ms, stream.ms,
                        stream.ms / whole.ms, wholeMb, streamMb, streamMb / wholeMb, budget);
            withinBudget = withinBudget && streamMb <= budget;
        }
    }
    std::printf("ratios are stream / whole; stream within budget: %s\n", withinBudget ? "yes" : "NO");
    return withinBudget ? 0 : 1;
}
