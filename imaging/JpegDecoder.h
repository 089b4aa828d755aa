// JPEG pictures through libjpeg, decoded at the smallest DCT scale that still covers the size wanted.
#pragma once

#include "imaging/Image.h"
#include "imaging/RowSink.h"
#include "imaging/StopSignal.h"

#include <cstddef>
#include <cstdint>

namespace imaging {

struct JpegDetails {
    int width = 0; // as the file says
    int height = 0;
    int components = 0;
    int scaleNumerator = 8; // decoded at scaleNumerator / 8 of the full size
    bool progressive = false;
};

// The most a progressive picture's coefficient buffers, which libjpeg needs whole whatever the scale, may
// take on top of a decode's budget: 40 megapixels at the usual 4:2:0 sampling, 20 at 4:4:4. Larger
// progressive pictures are TooLarge.
constexpr std::size_t kProgressiveCoefficientMemory = std::size_t(128) << 20;

bool looksLikeJpeg(const std::uint8_t* data, std::size_t size);

// The numerator M (1 to 8) of the smallest scale M/8 whose decoded size, ceil(side * M / 8), is at least
// coverWidth x coverHeight, or the whole picture along a side that is smaller than that. A cover of 0
// asks for the full size.
int chooseJpegScale(std::uint32_t width, std::uint32_t height, std::uint32_t coverWidth, std::uint32_t coverHeight);

// Decodes baseline, progressive, greyscale and CMYK/YCCK pictures. Any libjpeg error, a truncated
// file and damaged entropy-coded data give an error result; nothing ever ends the process.
ImageError decodeJpeg(const std::uint8_t* data, std::size_t size, std::uint32_t coverWidth, std::uint32_t coverHeight,
                      Image& out, JpegDetails* details = nullptr, const StopSignal* stop = nullptr);
// The same, its rows handed to sink top row first, a batch of scan lines at a time.
ImageError decodeJpegRows(const std::uint8_t* data, std::size_t size, std::uint32_t coverWidth,
                          std::uint32_t coverHeight, RowSink& sink, JpegDetails* details = nullptr,
                          const StopSignal* stop = nullptr);

// The frame header alone, read by libjpeg as a full decode would read it: None with the declared size in
// details, or the error a decode would meet there (TooLarge beyond kMaxImagePixels).
ImageError readJpegHeader(const std::uint8_t* data, std::size_t size, JpegDetails& details);

} // namespace imaging
