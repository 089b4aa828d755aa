// Picture files made in memory for the decoder tests: BMPs field by field, JPEGs with libjpeg itself.
#pragma once

#include "imaging/Image.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include <jpeglib.h>

namespace fixtures {

using Bytes = std::vector<std::uint8_t>;

inline void put16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = std::uint8_t(v);
    b[at + 1] = std::uint8_t(v >> 8);
}
inline void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = std::uint8_t(v >> (8 * i));
}
inline void append32(Bytes& b, std::uint32_t v) {
    b.resize(b.size() + 4);
    put32(b, b.size() - 4, v);
}

// Rows given top row first, values per pixel: palette indices, 16-bit words, 0xRRGGBB or raw 32 bits.
// Packed into padded rows in file order (bottom row first unless topDown).
inline Bytes packRows(unsigned bitCount, const std::vector<std::vector<std::uint32_t>>& rows, bool topDown) {
    Bytes out;
    const std::size_t width = rows.empty() ? 0 : rows[0].size();
    const std::size_t stride = (width * bitCount + 31) / 32 * 4;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const auto& row = rows[topDown ? r : rows.size() - 1 - r];
        Bytes line(stride, 0);
        for (std::size_t x = 0; x < width; ++x) {
            const std::uint32_t v = row[x];
            switch (bitCount) {
            case 1:
            case 4:
            case 8: {
                const std::size_t bit = x * bitCount;
                line[bit / 8] |= std::uint8_t(v << (8 - bitCount - bit % 8));
                break;
            }
            case 16:
                put16(line, 2 * x, v);
                break;
            case 24:
                line[3 * x] = std::uint8_t(v);
                line[3 * x + 1] = std::uint8_t(v >> 8);
                line[3 * x + 2] = std::uint8_t(v >> 16);
                break;
            case 32:
                put32(line, 4 * x, v);
                break;
            }
        }
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

struct BmpFields {
    std::uint32_t headerSize = 40;
    std::int32_t width = 0;
    std::int32_t height = 0; // negative: top-down
    std::uint16_t planes = 1;
    std::uint16_t bitCount = 24;
    std::uint32_t compression = 0;
    std::uint32_t clrUsed = 0;
    std::vector<std::uint32_t> masks;   // behind a 40-byte header, inside a larger one
    std::vector<std::uint32_t> palette; // 0xRRGGBB; entries written (4 bytes, 3 for the core header)
    std::size_t gap = 0;                // bytes between the colour table and the pixels
    Bytes pixels;
};

// A packed DIB: header, masks, colour table, gap, pixels.
inline Bytes makeDib(const BmpFields& s) {
    Bytes b(s.headerSize, 0);
    put32(b, 0, s.headerSize);
    if (s.headerSize == 12) {
        put16(b, 4, std::uint32_t(s.width));
        put16(b, 6, std::uint32_t(s.height));
        put16(b, 8, s.planes);
        put16(b, 10, s.bitCount);
    } else {
        put32(b, 4, std::uint32_t(s.width));
        put32(b, 8, std::uint32_t(s.height));
        put16(b, 12, s.planes);
        put16(b, 14, s.bitCount);
        put32(b, 16, s.compression);
        put32(b, 20, std::uint32_t(s.pixels.size()));
        put32(b, 32, s.clrUsed);
        if (s.headerSize > 40)
            for (std::size_t i = 0; i < s.masks.size() && 40 + 4 * i + 4 <= s.headerSize; ++i)
                put32(b, 40 + 4 * i, s.masks[i]);
    }
    if (s.headerSize == 40)
        for (std::uint32_t m : s.masks)
            append32(b, m);
    for (std::uint32_t c : s.palette) {
        b.push_back(std::uint8_t(c));
        b.push_back(std::uint8_t(c >> 8));
        b.push_back(std::uint8_t(c >> 16));
        if (s.headerSize != 12)
            b.push_back(0);
    }
    b.resize(b.size() + s.gap, 0xEE);
    b.insert(b.end(), s.pixels.begin(), s.pixels.end());
    return b;
}

// A BMP file: the file header with bfOffBits pointing just past the gap, then the DIB.
inline Bytes makeBmp(const BmpFields& s) {
    const Bytes dib = makeDib(s);
    Bytes b(14 + dib.size(), 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, std::uint32_t(b.size()));
    put32(b, 10, std::uint32_t(b.size() - s.pixels.size()));
    std::copy(dib.begin(), dib.end(), b.begin() + 14);
    return b;
}

struct JpegOptions {
    int quality = 95;
    bool progressive = false;
    // Chroma subsampling of YCbCr pictures: 1 (4:4:4) or 2 (4:2:0).
    int subsampling = 1;
    J_COLOR_SPACE input = JCS_RGB;    // JCS_RGB, JCS_GRAYSCALE or JCS_CMYK
    J_COLOR_SPACE stored = JCS_YCbCr; // what the file holds: JCS_YCbCr, JCS_GRAYSCALE, JCS_CMYK, JCS_YCCK
};

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

// Four flat quadrants, 16-pixel aligned so every 8 x 8 block (and 16 x 16 chroma block) is one colour.
inline std::vector<std::uint8_t> quadrants(int width, int height, const std::uint32_t (&rgb)[4]) {
    std::vector<std::uint8_t> samples;
    samples.reserve(std::size_t(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = rgb[(y >= height / 2) * 2 + (x >= width / 2)];
            samples.push_back(std::uint8_t(c >> 16));
            samples.push_back(std::uint8_t(c >> 8));
            samples.push_back(std::uint8_t(c));
        }
    return samples;
}

// Offset of the first byte after the marker (0xFF, code), or 0.
inline std::size_t findMarker(const Bytes& b, std::uint8_t code, std::size_t from = 2) {
    for (std::size_t i = from; i + 1 < b.size(); ++i)
        if (b[i] == 0xFF && b[i + 1] == code)
            return i + 2;
    return 0;
}

inline bool closeTo(std::uint32_t pixel, std::uint32_t rgb, int tolerance) {
    for (int shift = 0; shift <= 16; shift += 8) {
        const int a = int((pixel >> shift) & 255), b = int((rgb >> shift) & 255);
        if (a - b > tolerance || b - a > tolerance)
            return false;
    }
    return true;
}

inline std::string hex(std::uint32_t v) {
    char text[16];
    std::snprintf(text, sizeof text, "%08X", v);
    return text;
}

} // namespace fixtures
