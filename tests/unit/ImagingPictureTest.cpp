#include "imaging/PictureDecoder.h"
#include "imaging/PixelPack.h"

#include "tests/support/BmpWriter.h"
#include "tests/support/JpegWriter.h"
#include "tests/support/PixelCompare.h"

#include <gtest/gtest.h>

namespace {

using namespace support;
using imaging::ImageError;
using imaging::PictureFormat;

Bytes smallBmp() {
    BmpFields s;
    s.width = 3;
    s.height = 2;
    s.pixels = packRows(24, {{0xFF0000, 0xFF0000, 0x0000FF}, {0xFF0000, 0xFF0000, 0x0000FF}}, false);
    return makeBmp(s);
}

TEST(PictureFormatDetection, ByContentNotByName) {
    const Bytes bmp = smallBmp();
    const Bytes dib(bmp.begin() + 14, bmp.end());
    const std::uint32_t colours[4] = {1, 2, 3, 4};
    const Bytes jpeg = encodeJpeg(quadrants(16, 16, colours), 16, 16, {});
    const Bytes placeable = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0};
    const Bytes metafile = {1, 0, 9, 0, 0, 3, 0x20, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0};
    const std::string text = "GIF89a is not one of ours";
    struct Case {
        const char* name;
        Bytes data;
        PictureFormat format;
    } cases[] = {
        {"bmp", bmp, PictureFormat::Bmp},
        {"dib", dib, PictureFormat::PackedDib},
        {"jpeg", jpeg, PictureFormat::Jpeg},
        {"placeable wmf", placeable, PictureFormat::Wmf},
        {"plain wmf", metafile, PictureFormat::Wmf},
        {"text", Bytes(text.begin(), text.end()), PictureFormat::Unknown},
        {"empty", {}, PictureFormat::Unknown},
        {"one byte", {0xFF}, PictureFormat::Unknown},
    };
    for (const Case& c : cases)
        EXPECT_EQ(int(imaging::detectPictureFormat(c.data.data(), c.data.size())), int(c.format)) << c.name;
}

TEST(PictureToSize, BmpOfAnyShapeFillsTheSquare) {
    const Bytes bmp = smallBmp();
    imaging::Image image;
    imaging::PictureInfo info;
    ASSERT_EQ(imaging::decodePictureToSize(bmp.data(), bmp.size(), 16, 16, image, &info), ImageError::None);
    EXPECT_EQ(info.format, PictureFormat::Bmp);
    EXPECT_EQ(info.width, 3);
    EXPECT_EQ(info.height, 2);
    EXPECT_EQ(info.bitsPerPixel, 24);
    ASSERT_EQ(image.width, 16);
    ASSERT_EQ(image.height, 16);
    EXPECT_EQ(image.at(0, 0), 0xFFFF0000u);
    EXPECT_EQ(image.at(0, 15), 0xFFFF0000u);
    EXPECT_EQ(image.at(15, 7), 0xFF0000FFu);
}

TEST(PictureToSize, JpegIsDecodedScaledThenFiltered) {
    const std::uint32_t colours[4] = {0xE02020, 0x20C040, 0x3040D0, 0xF0E060};
    const Bytes jpeg = encodeJpeg(quadrants(256, 128, colours), 256, 128, {95, false, 2});
    imaging::Image image;
    imaging::PictureInfo info;
    ASSERT_EQ(imaging::decodePictureToSize(jpeg.data(), jpeg.size(), 32, 32, image, &info), ImageError::None);
    EXPECT_EQ(info.width, 256);
    EXPECT_EQ(info.height, 128);
    EXPECT_EQ(info.components, 3);
    ASSERT_EQ(image.width, 32);
    ASSERT_EQ(image.height, 32);
    for (int q = 0; q < 4; ++q)
        EXPECT_TRUE(closeTo(image.at(q % 2 ? 24 : 8, q / 2 ? 24 : 8), colours[q], 8)) << q;
}

TEST(PictureToSize, FailuresAreResults) {
    const Bytes bmp = smallBmp();
    const std::string text = "plain text, named photo.jpg";
    const Bytes placeable = {0xD7, 0xCD, 0xC6, 0x9A, 0, 0, 0, 0};
    imaging::Image image;
    EXPECT_EQ(imaging::decodePictureToSize(bmp.data(), bmp.size(), 0, 16, image), ImageError::BadSize);
    EXPECT_EQ(imaging::decodePictureToSize(bmp.data(), bmp.size(), 16, -256, image), ImageError::BadSize);
    EXPECT_EQ(imaging::decodePictureToSize(nullptr, 0, 16, 16, image), ImageError::Empty);
    EXPECT_EQ(
        imaging::decodePictureToSize(reinterpret_cast<const std::uint8_t*>(text.data()), text.size(), 16, 16, image),
        ImageError::UnknownFormat);
    EXPECT_EQ(imaging::decodePictureToSize(placeable.data(), placeable.size(), 16, 16, image),
              ImageError::UnknownFormat);
    EXPECT_TRUE(image.pixels.empty());
}

TEST(PixelPack, EachFormatAtTheLockPitch) {
    imaging::Image image;
    image.width = 2;
    image.height = 2;
    image.pixels = {0x80FF8040, 0x00000000, 0xFFFFFFFF, 0x7F123456};
    struct Case {
        imaging::PackedFormat format;
        Bytes first, second; // the first pixel of each row
    } cases[] = {
        {imaging::PackedFormat::A8R8G8B8, {0x40, 0x80, 0xFF, 0x80}, {0xFF, 0xFF, 0xFF, 0xFF}},
        {imaging::PackedFormat::X8R8G8B8, {0x40, 0x80, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF, 0xFF}},
        {imaging::PackedFormat::R8G8B8, {0x40, 0x80, 0xFF}, {0xFF, 0xFF, 0xFF}},
        {imaging::PackedFormat::R5G6B5, {0x08, 0xFC}, {0xFF, 0xFF}},
        {imaging::PackedFormat::X1R5G5B5, {0x08, 0xFE}, {0xFF, 0xFF}},
        {imaging::PackedFormat::A1R5G5B5, {0x08, 0xFE}, {0xFF, 0xFF}},
        {imaging::PackedFormat::A4R4G4B4, {0x84, 0x8F}, {0xFF, 0xFF}},
        {imaging::PackedFormat::X4R4G4B4, {0x84, 0xFF}, {0xFF, 0xFF}},
    };
    for (const Case& c : cases) {
        const int bpp = imaging::bytesPerPixel(c.format);
        ASSERT_EQ(std::size_t(bpp), c.first.size());
        const std::ptrdiff_t pitch = 2 * bpp + 5; // wider than a row, as drivers pad
        Bytes surface(std::size_t(pitch) * 2, 0xCC);
        imaging::packImage(image, c.format, surface.data(), pitch);
        EXPECT_EQ(Bytes(surface.begin(), surface.begin() + bpp), c.first) << int(c.format);
        EXPECT_EQ(Bytes(surface.begin() + pitch, surface.begin() + pitch + bpp), c.second) << int(c.format);
        EXPECT_EQ(surface[std::size_t(2 * bpp)], 0xCC) << "the padding stays untouched";
    }
    // Alpha below one half clears the one-bit alpha.
    Bytes two(2);
    imaging::Image dim;
    dim.width = dim.height = 1;
    dim.pixels = {0x7FFFFFFF};
    imaging::packImage(dim, imaging::PackedFormat::A1R5G5B5, two.data(), 2);
    EXPECT_EQ(two, (Bytes{0xFF, 0x7F}));
}

} // namespace
