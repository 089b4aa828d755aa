// JPEG files with an Exif orientation, and the pictures a camera stores for each orientation.
#pragma once

#include "tests/support/JpegWriter.h"

#include "imaging/Image.h"

namespace support {

struct ExifFields {
    bool bigEndian = false;
    unsigned value = 1;
    unsigned type = 3;
    std::uint32_t count = 1;
    std::uint32_t ifdOffset = 8;
    unsigned entries = 2; // as declared; two are written
};

inline void putOrdered(Bytes& b, std::size_t at, std::uint32_t v, int bytes, bool bigEndian) {
    for (int i = 0; i < bytes; ++i)
        b[at + i] = std::uint8_t(v >> (8 * (bigEndian ? bytes - 1 - i : i)));
}

// An APP1 segment: "Exif\0\0", a TIFF header, IFD0 with a camera make and then the orientation.
inline Bytes exifSegment(const ExifFields& f) {
    Bytes tiff(8 + 2 + 2 * 12 + 4, 0);
    tiff[0] = tiff[1] = f.bigEndian ? 'M' : 'I';
    putOrdered(tiff, 2, 42, 2, f.bigEndian);
    putOrdered(tiff, 4, f.ifdOffset, 4, f.bigEndian);
    putOrdered(tiff, 8, f.entries, 2, f.bigEndian);
    putOrdered(tiff, 10, 0x010F, 2, f.bigEndian); // Make, ASCII "Cam"
    putOrdered(tiff, 12, 2, 2, f.bigEndian);
    putOrdered(tiff, 14, 4, 4, f.bigEndian);
    tiff[18] = 'C', tiff[19] = 'a', tiff[20] = 'm';
    putOrdered(tiff, 22, 0x0112, 2, f.bigEndian);
    putOrdered(tiff, 24, f.type, 2, f.bigEndian);
    putOrdered(tiff, 26, f.count, 4, f.bigEndian);
    putOrdered(tiff, 30, f.value, 2, f.bigEndian);
    Bytes segment = {0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
    segment.insert(segment.end(), tiff.begin(), tiff.end());
    segment[2] = std::uint8_t((segment.size() - 2) >> 8);
    segment[3] = std::uint8_t(segment.size() - 2);
    return segment;
}

inline Bytes withSegment(Bytes jpeg, const Bytes& segment, std::size_t at = 2) {
    jpeg.insert(jpeg.begin() + std::ptrdiff_t(at), segment.begin(), segment.end());
    return jpeg;
}

// Rotates a picture a quarter turn clockwise, or mirrors it left to right.
inline imaging::Image turned(const imaging::Image& in) {
    imaging::Image out;
    out.width = in.height;
    out.height = in.width;
    out.pixels.resize(in.pixels.size());
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x)
            out.pixels[std::size_t(x) * out.width + (in.height - 1 - y)] = in.at(x, y);
    return out;
}
inline imaging::Image mirrored(const imaging::Image& in) {
    imaging::Image out = in;
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x)
            out.pixels[std::size_t(y) * in.width + (in.width - 1 - x)] = in.at(x, y);
    return out;
}
inline imaging::Image turnedTimes(imaging::Image in, int quarters) {
    for (int i = 0; i < quarters; ++i)
        in = turned(in);
    return in;
}

// What a camera stores for each orientation, so that the viewer's transform shows the upright picture.
inline imaging::Image storedFor(const imaging::Image& upright, int orientation) {
    switch (orientation) {
    case 2:
        return mirrored(upright);
    case 3:
        return turnedTimes(upright, 2);
    case 4:
        return mirrored(turnedTimes(upright, 2));
    case 5: // shown mirrored, then turned three quarters clockwise
        return mirrored(turned(upright));
    case 6: // shown turned a quarter clockwise
        return turnedTimes(upright, 3);
    case 7: // shown mirrored, then turned a quarter clockwise
        return mirrored(turnedTimes(upright, 3));
    case 8: // shown turned three quarters clockwise
        return turned(upright);
    }
    return upright;
}

// Flat 8 x 8 blocks, each its own colour, stored 4:4:4: every block decodes to one exact value wherever
// it sits, so a turned raster encodes to the same pixels turned.
inline imaging::Image blockPicture(int blocksAcross, int blocksDown) {
    imaging::Image image;
    image.width = blocksAcross * 8;
    image.height = blocksDown * 8;
    image.pixels.resize(std::size_t(image.width) * image.height);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const unsigned block = unsigned(y / 8 * blocksAcross + x / 8);
            image.pixels[std::size_t(y) * image.width + x] =
                imaging::packRgb(40 + block * 53 % 180, 30 + block * 97 % 200, 20 + block * 29 % 220);
        }
    return image;
}

inline Bytes encodeImage(const imaging::Image& image) {
    std::vector<std::uint8_t> samples;
    for (std::uint32_t p : image.pixels) {
        samples.push_back(std::uint8_t(p >> 16));
        samples.push_back(std::uint8_t(p >> 8));
        samples.push_back(std::uint8_t(p));
    }
    return encodeJpeg(samples, image.width, image.height, JpegOptions{});
}

} // namespace support
