#include "imaging/PictureDecoder.h"

#include "tests/support/BmpWriter.h"
#include "tests/support/JpegWriter.h"

#include <gtest/gtest.h>

namespace {

using namespace support;
using imaging::Image;
using imaging::ImageError;

// Says stop from the poll after the first `after` ones, and counts every poll.
class StopAfter : public imaging::StopSignal {
public:
    explicit StopAfter(long after) : m_after(after) {}
    bool stopRequested() const override { return ++m_polls > m_after; }
    long polls() const { return m_polls; }

private:
    long m_after;
    mutable long m_polls = 0;
};

Bytes largeJpeg(bool progressive = false) {
    std::vector<std::uint8_t> samples;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            samples.insert(samples.end(), {std::uint8_t(x / 4), std::uint8_t(y / 3), std::uint8_t((x ^ y) & 255)});
    return encodeJpeg(samples, 800, 600, {90, progressive, 2});
}

Bytes largeBmp() {
    std::vector<std::vector<std::uint32_t>> rows(600, std::vector<std::uint32_t>(800));
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            rows[y][x] = std::uint32_t(x * 0x10101 + y * 0x300);
    BmpFields s;
    s.width = 800;
    s.height = 600;
    s.pixels = packRows(24, rows, false);
    return makeBmp(s);
}

// Long rows of runs, 2,000 x 1,500 in about 27 KB: the decode is in the runs, not the file.
Bytes largeRle() {
    BmpFields s;
    s.width = 2000;
    s.height = 1500;
    s.compression = 1;
    s.bitCount = 8;
    s.clrUsed = 4;
    s.palette = {0x102030, 0x405060, 0x708090, 0xA0B0C0};
    for (int y = 0; y < 1500; ++y) {
        for (int run = 0; run < 8; ++run)
            s.pixels.insert(s.pixels.end(), {250, std::uint8_t((run + y) % 4)});
        s.pixels.insert(s.pixels.end(), {0, 0});
    }
    s.pixels.insert(s.pixels.end(), {0, 1});
    return makeBmp(s);
}

TEST(DecodeCancel, AStopMidwayIsCancelledAtOnceAndNeverAPartialPicture) {
    const struct Picture {
        const char* name;
        Bytes file;
    } pictures[] = {{"jpeg", largeJpeg()}, {"bmp", largeBmp()}, {"rle", largeRle()}};
    for (const Picture& picture : pictures)
        for (bool toSize : {true, false}) {
            SCOPED_TRACE(std::string(picture.name) + (toSize ? " to size" : " whole"));
            auto decode = [&](const imaging::StopSignal* stop, Image& out) {
                return toSize
                           ? imaging::decodePictureToSize(picture.file.data(), picture.file.size(), 256, 256, out,
                                                          nullptr, stop)
                           : imaging::decodePicture(picture.file.data(), picture.file.size(), 0, 0, out, nullptr, stop);
            };
            StopAfter never(1L << 40);
            Image whole;
            ASSERT_EQ(decode(&never, whole), ImageError::None);
            const long polls = never.polls();
            // A poll at least every few rows, all through the decode.
            EXPECT_GE(polls, toSize ? 256 : 600 / 16);
            for (long after : {0L, 7L, polls / 2, polls - 1}) {
                StopAfter stop(after);
                Image out;
                EXPECT_EQ(decode(&stop, out), ImageError::Cancelled) << "after " << after;
                EXPECT_EQ(stop.polls(), after + 1) << "nothing more once it said stop";
                EXPECT_TRUE(out.pixels.empty());
                EXPECT_EQ(out.width, 0);
            }
        }
}

// A progressive picture's scans are all read before its first output row, which at a small size is most
// of the work: the stop is asked there too.
TEST(DecodeCancel, AProgressivePictureSeesTheStopWhileItsScansAreRead) {
    const Bytes file = largeJpeg(true);
    StopAfter never(1L << 40);
    Image out;
    ASSERT_EQ(imaging::decodePictureToSize(file.data(), file.size(), 16, 16, out, nullptr, &never), ImageError::None);
    // The output alone: 75 rows at an eighth of the size, then 16 filtered rows.
    EXPECT_GT(never.polls(), 200);
    StopAfter stop(60);
    EXPECT_EQ(imaging::decodePictureToSize(file.data(), file.size(), 16, 16, out, nullptr, &stop),
              ImageError::Cancelled);
    EXPECT_TRUE(out.pixels.empty());
}

} // namespace
