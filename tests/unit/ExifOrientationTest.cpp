#include "imaging/ExifOrientation.h"
#include "imaging/PictureDecoder.h"

#include "ImageFixtures.h"

#include <gtest/gtest.h>

namespace {

using namespace fixtures;
using imaging::Image;
using imaging::ImageError;

struct ExifFields {
    bool bigEndian = false;
    unsigned value = 1;
    unsigned type = 3;
    std::uint32_t count = 1;
    std::uint32_t ifdOffset = 8;
    unsigned entries = 2; // as declared; two are written
};

void putOrdered(Bytes& b, std::size_t at, std::uint32_t v, int bytes, bool bigEndian) {
    for (int i = 0; i < bytes; ++i)
        b[at + i] = std::uint8_t(v >> (8 * (bigEndian ? bytes - 1 - i : i)));
}

// An APP1 segment: "Exif\0\0", a TIFF header, IFD0 with a camera make and then the orientation.
Bytes exifSegment(const ExifFields& f) {
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

Bytes withSegment(Bytes jpeg, const Bytes& segment, std::size_t at = 2) {
    jpeg.insert(jpeg.begin() + std::ptrdiff_t(at), segment.begin(), segment.end());
    return jpeg;
}

int orientationOf(const Bytes& b) {
    return imaging::readExifOrientation(b.data(), b.size());
}

TEST(ExifOrientation, ReadsIfd0InEitherByteOrderAndDistrustsTheRest) {
    const std::uint32_t colours[4] = {0x102030, 0x405060, 0x708090, 0xA0B0C0};
    const Bytes jpeg = encodeJpeg(quadrants(16, 16, colours), 16, 16, {});
    EXPECT_EQ(orientationOf(jpeg), 1) << "no EXIF block";
    for (unsigned v = 1; v <= 8; ++v) {
        EXPECT_EQ(orientationOf(withSegment(jpeg, exifSegment({false, v}))), int(v)) << "II " << v;
        EXPECT_EQ(orientationOf(withSegment(jpeg, exifSegment({true, v}))), int(v)) << "MM " << v;
    }
    const Bytes xmp = {0xFF, 0xE1, 0, 8, 'h', 't', 't', 'p', ':', '/'};
    EXPECT_EQ(orientationOf(withSegment(withSegment(jpeg, exifSegment({true, 6})), xmp)), 6)
        << "another APP1 block first";
    EXPECT_EQ(orientationOf(withSegment(jpeg, exifSegment({false, 6}), findMarker(jpeg, 0xDA) + 4)), 1)
        << "bytes inside the scan are not markers";

    struct Case {
        const char* name;
        ExifFields fields;
    } hostile[] = {
        {"value 0", {false, 0}},
        {"value 9", {false, 9}},
        {"value 0x0601", {false, 0x0601}},
        {"LONG instead of SHORT", {false, 6, 4}},
        {"count 2", {false, 6, 3, 2}},
        {"count 0", {false, 6, 3, 0}},
        {"IFD beyond the block", {false, 6, 3, 1, 0xFFFFFFF0u}},
        {"IFD at the last byte", {false, 6, 3, 1, 37}},
        {"more entries declared than written", {false, 6, 3, 1, 8, 0xFFFF}},
    };
    for (const Case& c : hostile) {
        Bytes segment = exifSegment(c.fields);
        if (c.fields.entries == 0xFFFF)
            segment[10 + 8 + 2 + 12 + 1] = 0x34; // the orientation entry's tag is something else now
        EXPECT_EQ(orientationOf(withSegment(jpeg, segment)), 1) << c.name;
    }

    Bytes bad = exifSegment({false, 6});
    bad[12] = 43; // the TIFF magic number is 42
    EXPECT_EQ(orientationOf(withSegment(jpeg, bad)), 1) << "not a TIFF header";
    Bytes overlong = withSegment(jpeg, exifSegment({false, 6}));
    overlong.resize(2 + 20);
    EXPECT_EQ(orientationOf(overlong), 1) << "truncated inside the block";
    Bytes tooShort = exifSegment({false, 6});
    tooShort[3] = 0x16; // ends inside the orientation entry
    EXPECT_EQ(orientationOf(withSegment(jpeg, tooShort)), 1) << "block length cuts the entry";
    EXPECT_EQ(orientationOf(Bytes{0xFF, 0xD8, 0xFF, 0xFF, 0xFF}), 1);
    EXPECT_EQ(orientationOf(Bytes{}), 1);
}

// Rotates a picture a quarter turn clockwise, or mirrors it left to right.
Image turned(const Image& in) {
    Image out;
    out.width = in.height;
    out.height = in.width;
    out.pixels.resize(in.pixels.size());
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x)
            out.pixels[std::size_t(x) * out.width + (in.height - 1 - y)] = in.at(x, y);
    return out;
}
Image mirrored(const Image& in) {
    Image out = in;
    for (int y = 0; y < in.height; ++y)
        for (int x = 0; x < in.width; ++x)
            out.pixels[std::size_t(y) * in.width + (in.width - 1 - x)] = in.at(x, y);
    return out;
}
Image turnedTimes(Image in, int quarters) {
    for (int i = 0; i < quarters; ++i)
        in = turned(in);
    return in;
}

// What a camera stores for each orientation, so that the viewer's transform shows the upright picture.
Image storedFor(const Image& upright, int orientation) {
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
Image blockPicture(int blocksAcross, int blocksDown) {
    Image image;
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

Bytes encodeImage(const Image& image) {
    std::vector<std::uint8_t> samples;
    for (std::uint32_t p : image.pixels) {
        samples.push_back(std::uint8_t(p >> 16));
        samples.push_back(std::uint8_t(p >> 8));
        samples.push_back(std::uint8_t(p));
    }
    return encodeJpeg(samples, image.width, image.height, {95, false, 1});
}

TEST(ExifOrientation, EveryOrientationDecodesToTheSameUprightPixels) {
    const Image upright = blockPicture(8, 2); // 64 x 16
    const Bytes reference = encodeImage(upright);
    Image expected, expectedSmall, expectedSized;
    ASSERT_EQ(imaging::decodePicture(reference.data(), reference.size(), 0, 0, expected), ImageError::None);
    ASSERT_EQ(imaging::decodePicture(reference.data(), reference.size(), 16, 4, expectedSmall), ImageError::None);
    ASSERT_EQ(expectedSmall.width, 16) << "a quarter scale covers 16 x 4";
    ASSERT_EQ(imaging::decodePictureToSize(reference.data(), reference.size(), 16, 8, expectedSized), ImageError::None);

    for (int o = 1; o <= 8; ++o) {
        SCOPED_TRACE("orientation " + std::to_string(o));
        const Bytes file = withSegment(encodeImage(storedFor(upright, o)), exifSegment({o % 2 == 0, unsigned(o)}));
        imaging::PictureInfo info;
        ASSERT_EQ(imaging::readPictureInfo(file.data(), file.size(), info), ImageError::None);
        EXPECT_EQ(info.width, 64);
        EXPECT_EQ(info.height, 16);
        EXPECT_EQ(info.orientation, o);

        Image full, small, sized;
        ASSERT_EQ(imaging::decodePicture(file.data(), file.size(), 0, 0, full, &info), ImageError::None);
        EXPECT_EQ(info.width, 64);
        EXPECT_EQ(info.orientation, o);
        ASSERT_EQ(full.width, 64);
        ASSERT_EQ(full.height, 16);
        EXPECT_EQ(full.pixels, expected.pixels);

        // The scale is chosen for the upright cover, not the stored one.
        ASSERT_EQ(imaging::decodePicture(file.data(), file.size(), 16, 4, small), ImageError::None);
        ASSERT_EQ(small.width, 16);
        ASSERT_EQ(small.height, 4);
        EXPECT_EQ(small.pixels, expectedSmall.pixels);

        ASSERT_EQ(imaging::decodePictureToSize(file.data(), file.size(), 16, 8, sized), ImageError::None);
        ASSERT_EQ(sized.pixels.size(), expectedSized.pixels.size());
        for (std::size_t i = 0; i < sized.pixels.size(); ++i)
            ASSERT_TRUE(closeTo(sized.pixels[i], expectedSized.pixels[i], 1))
                << i << ": " << hex(sized.pixels[i]) << " vs " << hex(expectedSized.pixels[i]);
    }
}

} // namespace
