// Picture to a face-sized square, two ways on the same files in the same run:
//   whole  - decode at the smallest DCT scale that covers S, then scaleTriangle over the whole picture
//   stream - decodePictureToSize: rows filtered as libjpeg delivers them
// Time per picture (best of the repeats) and the most heap each way held, libjpeg's included.
// The pictures are made here: soft gradients, shapes, fine texture and grain, 4:2:0, quality 90.
// Usage: DecodeBench [repeats]
#include "imaging/PictureDecoder.h"
#include "imaging/Scale.h"

#include "tests/unit/PeakMemory.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

Bytes photoLikeJpeg(int width, int height) {
    std::vector<std::uint8_t> row(std::size_t(width) * 3);
    std::uint32_t grain = 0x9E3779B9u;
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 90, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    for (int y = 0; y < height; ++y) {
        const float v = (y + 0.5f) / height;
        for (int x = 0; x < width; ++x) {
            const float u = (x + 0.5f) / width;
            grain ^= grain << 13, grain ^= grain >> 17, grain ^= grain << 5;
            const float noise = float(int(grain & 15) - 8);
            const bool shape = std::sin(u * 9.0f) * std::cos(v * 7.0f) > 0.3f;
            const float detail = std::sin(x * 0.37f) * std::sin(y * 0.23f) * 25.0f;
            row[3 * std::size_t(x)] =
                std::uint8_t(std::clamp(40 + 150 * u + (shape ? 40 : 0) + detail + noise, 0.f, 255.f));
            row[3 * std::size_t(x) + 1] = std::uint8_t(std::clamp(60 + 100 * v + detail + noise, 0.f, 255.f));
            row[3 * std::size_t(x) + 2] =
                std::uint8_t(std::clamp(180 - 120 * u * v + (shape ? 30 : 0) + noise, 0.f, 255.f));
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
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
