#include "imaging/ExifOrientation.h"
#include "imaging/PictureDecoder.h"

#include "tests/support/ExifWriter.h"
#include "tests/support/PixelCompare.h"

#include <gtest/gtest.h>

namespace {

using namespace support;
using imaging::Image;
using imaging::ImageError;

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
