// The built-in face bitmaps as committed: 8-bit palette bitmaps of the right sizes whose average
// colours are the faces' colours.
#include "imaging/BmpDecoder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

std::string facesFolder() {
    std::string here = __FILE__; // .../tests/unit/FaceBitmapsTest.cpp
    for (int i = 0; i < 3; ++i)
        here = here.substr(0, here.find_last_of("/\\"));
    return here + "/resources/faces/";
}

TEST(FaceBitmaps, SizesDepthAndAverageColours) {
    const int colours[6][3] = {{157, 153, 222}, {155, 212, 182}, {153, 170, 112},
                               {241, 147, 150}, {189, 144, 179}, {232, 199, 123}};
    const struct {
        int firstId;
        int size;
    } sets[] = {{174, 128}, {219, 16}};
    for (const auto& set : sets) {
        for (int face = 0; face < 6; ++face) {
            const std::string path = facesFolder() + "face" + std::to_string(set.firstId + face) + ".bmp";
            std::ifstream file(path, std::ios::binary);
            ASSERT_TRUE(file) << path;
            std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
            imaging::Image image;
            imaging::BmpDetails details;
            ASSERT_EQ(imaging::decodeBmpFile(data.data(), data.size(), image, &details), imaging::ImageError::None);
            EXPECT_EQ(details.bitsPerPixel, 8) << path;
            ASSERT_EQ(image.width, set.size);
            ASSERT_EQ(image.height, set.size);
            double sum[3] = {0, 0, 0};
            std::set<std::uint32_t> distinct;
            for (std::uint32_t p : image.pixels) {
                sum[0] += (p >> 16) & 255;
                sum[1] += (p >> 8) & 255;
                sum[2] += p & 255;
                distinct.insert(p);
            }
            for (int c = 0; c < 3; ++c)
                EXPECT_NEAR(sum[c] / image.pixels.size(), colours[face][c], 0.5) << path << " channel " << c;
            EXPECT_GT(distinct.size(), 16u) << path << ": a grain, not a flat field";
        }
    }
}

} // namespace
