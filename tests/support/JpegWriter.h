// JPEG files of libjpeg's own making, from samples or from a painter giving each pixel's colour.
#pragma once

#include "tests/support/LittleEndian.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <vector>

#include <jpeglib.h>

namespace support {

struct JpegOptions {
    int quality = 95;
    bool progressive = false;
    // Chroma subsampling of YCbCr pictures: 1 (4:4:4) or 2 (4:2:0, what libjpeg and cameras write).
    int subsampling = 1;
    J_COLOR_SPACE input = JCS_RGB;    // JCS_RGB, JCS_GRAYSCALE or JCS_CMYK
    J_COLOR_SPACE stored = JCS_YCbCr; // what the file holds: JCS_YCbCr, JCS_GRAYSCALE, JCS_CMYK, JCS_YCCK
};

// libjpeg's defaults at a quality: 4:2:0, baseline unless asked.
inline JpegOptions cameraJpeg(int quality, bool progressive = false) {
    JpegOptions options;
    options.quality = quality;
    options.progressive = progressive;
    options.subsampling = 2;
    return options;
}

struct JpegErrorToException {
    jpeg_error_mgr pub;
    static void exit(j_common_ptr cinfo) {
        char text[JMSG_LENGTH_MAX];
        (*cinfo->err->format_message)(cinfo, text);
        throw std::runtime_error(text);
    }
};

// samples: width x height x components bytes, top row first.
inline Bytes encodeJpeg(const std::vector<std::uint8_t>& samples, int width, int height, const JpegOptions& options) {
    jpeg_compress_struct cinfo;
    JpegErrorToException err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = &JpegErrorToException::exit;
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = JDIMENSION(width);
    cinfo.image_height = JDIMENSION(height);
    cinfo.in_color_space = options.input;
    cinfo.input_components = options.input == JCS_GRAYSCALE ? 1 : options.input == JCS_CMYK ? 4 : 3;
    jpeg_set_defaults(&cinfo);
    jpeg_set_colorspace(&cinfo, options.stored);
    jpeg_set_quality(&cinfo, options.quality, TRUE);
    if (options.stored == JCS_YCbCr) {
        cinfo.comp_info[0].h_samp_factor = options.subsampling;
        cinfo.comp_info[0].v_samp_factor = options.subsampling;
    }
    if (options.progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    const std::size_t stride = std::size_t(width) * cinfo.input_components;
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data() + cinfo.next_scanline * stride);
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

// RGB samples, top row first, of paint(x, y) -> 0xRRGGBB called row by row.
template <typename Paint> std::vector<std::uint8_t> rgbSamples(int width, int height, Paint&& paint) {
    std::vector<std::uint8_t> samples;
    samples.reserve(std::size_t(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = paint(x, y);
            samples.push_back(std::uint8_t(c >> 16));
            samples.push_back(std::uint8_t(c >> 8));
            samples.push_back(std::uint8_t(c));
        }
    return samples;
}

template <typename Paint> Bytes paintJpeg(int width, int height, const JpegOptions& options, Paint&& paint) {
    return encodeJpeg(rgbSamples(width, height, paint), width, height, options);
}

// Four flat quadrants, 16-pixel aligned so every 8 x 8 block (and 16 x 16 chroma block) is one colour.
inline std::vector<std::uint8_t> quadrants(int width, int height, const std::uint32_t (&rgb)[4]) {
    return rgbSamples(width, height, [&](int x, int y) { return rgb[(y >= height / 2) * 2 + (x >= width / 2)]; });
}

// Offset of the first byte after the marker (0xFF, code), or 0.
inline std::size_t findMarker(const Bytes& b, std::uint8_t code, std::size_t from = 2) {
    for (std::size_t i = from; i + 1 < b.size(); ++i)
        if (b[i] == 0xFF && b[i + 1] == code)
            return i + 2;
    return 0;
}

} // namespace support
