// Real pictures through the system picture loader into cache files, read back pixel by pixel.
#include "framework/ComApartment.h"
#include "library/ImageConversion.h"
#include "tests/support/ExifWriter.h"
#include "tests/win/LibraryTestSupport.h"

#include <gtest/gtest.h>

using namespace librarytest;

namespace {

const Rgb kBlack{0, 0, 0};
const Rgb kFrame{64, 64, 64};
const Rgb kRed{220, 30, 30};
const Rgb kGreen{30, 200, 40};
const Rgb kBlue{30, 40, 210};
const Rgb kWhite{255, 255, 255};

class LibraryConversion : public ::testing::Test {
protected:
    void SetUp() override { TraceRecorder::instance().clear(); }

    bool convert(const std::string& source, const std::string& output, int size = 256) {
        return library::convertPicture(source, output, size, nullptr);
    }
    int displayDepth() {
        HDC screen = GetDC(nullptr);
        int bits = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
        ReleaseDC(nullptr, screen);
        return bits;
    }
    // Header fields every cache file shares.
    void expectSoundHeader(const BmpFileView& bmp) {
        ASSERT_TRUE(bmp.ok);
        EXPECT_EQ(bmp.u32(2), bmp.bytes.size());
        EXPECT_EQ(bmp.u32(10), 54u);
        EXPECT_EQ(bmp.u32(14), 40u);
        EXPECT_EQ(bmp.u16(26), 1u);
        EXPECT_EQ(bmp.bitCount(), displayDepth());
        EXPECT_EQ(bmp.u32(30), 0u);
        EXPECT_EQ(bmp.u32(34), bmp.bytes.size() - 54);
        EXPECT_EQ(bmp.u32(46), 0u);
    }

    fw::ComApartment m_com;
    TempFolder m_dir{"conv"};
};

TEST_F(LibraryConversion, WideJpegIsLetterBoxedWithBandsAndFrame) {
    // 384 x 216 pixels is exactly 10160 x 5715 HIMETRIC at 96 dpi: a 16:9 ratio.
    const std::string source = m_dir.path() + "wide.jpg";
    const std::string output = m_dir.path() + "wide.bmp";
    writeJpeg(source, 384, 216, [](int, int) { return kRed; });
    ASSERT_TRUE(convert(source, output));

    BmpFileView bmp = readBmpFile(output);
    expectSoundHeader(bmp);
    ASSERT_EQ(bmp.width(), 256);
    ASSERT_EQ(bmp.height(), 256);
    // 143 picture rows at y = 56: 56 band rows above, 57 below, the outermost ring grey.
    for (int x : {0, 255})
        for (int y : {0, 100, 255})
            EXPECT_TRUE(looksLike(bmp.at(x, y), kFrame, 0)) << x << "," << y << " " << bmp.at(x, y);
    for (int y : {0, 255})
        EXPECT_TRUE(looksLike(bmp.at(128, y), kFrame, 0)) << y;
    for (int y : {1, 30, 55, 199, 230, 254})
        EXPECT_TRUE(looksLike(bmp.at(128, y), kBlack, 0)) << y << " " << bmp.at(128, y);
    for (int y : {57, 127, 197})
        EXPECT_TRUE(looksLike(bmp.at(128, y), kRed)) << y << " " << bmp.at(128, y);
    EXPECT_TRUE(looksLike(bmp.at(5, 127), kRed)) << bmp.at(5, 127);
    EXPECT_EQ(TraceRecorder::instance().text(), "Preserving aspect ratio for image " + source + "\r\n");
}

TEST_F(LibraryConversion, BmpIsFittedPlainAndUpright) {
    const std::string source = m_dir.path() + "quads.bmp";
    const std::string output = m_dir.path() + "quads-out.bmp";
    writeBmp(source, 160, 120, [](int x, int y) {
        if (y < 60)
            return x < 80 ? kRed : kGreen;
        return x < 80 ? kBlue : kWhite;
    });
    ASSERT_TRUE(convert(source, output));

    BmpFileView bmp = readBmpFile(output);
    expectSoundHeader(bmp);
    ASSERT_EQ(bmp.width(), 256);
    ASSERT_EQ(bmp.height(), 192);
    // No band and no frame: the corners are the picture's own.
    EXPECT_TRUE(looksLike(bmp.at(0, 0), kRed, 0)) << bmp.at(0, 0);
    EXPECT_TRUE(looksLike(bmp.at(255, 0), kGreen, 0)) << bmp.at(255, 0);
    EXPECT_TRUE(looksLike(bmp.at(0, 191), kBlue, 0)) << bmp.at(0, 191);
    EXPECT_TRUE(looksLike(bmp.at(255, 191), kWhite, 0)) << bmp.at(255, 191);
    EXPECT_TRUE(looksLike(bmp.at(64, 48), kRed, 0));
    EXPECT_TRUE(looksLike(bmp.at(192, 144), kWhite, 0));
    EXPECT_EQ(TraceRecorder::instance().text(), "");
}

TEST_F(LibraryConversion, WmfIsLetterBoxedUpright) {
    // 2 x 1 inches: red and blue on top, green and white below.
    const std::string source = m_dir.path() + "clip.wmf";
    const std::string output = m_dir.path() + "clip.bmp";
    writePlaceableWmf(source, 2000, 1000, 1000, 2, 2, {kRed, kBlue, kGreen, kWhite});
    ASSERT_TRUE(convert(source, output));

    BmpFileView bmp = readBmpFile(output);
    expectSoundHeader(bmp);
    ASSERT_EQ(bmp.width(), 256);
    ASSERT_EQ(bmp.height(), 256);
    // A 2:1 picture: 128 rows at y = 64.
    EXPECT_TRUE(looksLike(bmp.at(128, 0), kFrame, 0));
    EXPECT_TRUE(looksLike(bmp.at(128, 40), kBlack, 0)) << bmp.at(128, 40);
    EXPECT_TRUE(looksLike(bmp.at(128, 220), kBlack, 0)) << bmp.at(128, 220);
    EXPECT_TRUE(looksLike(bmp.at(64, 96), kRed, 0)) << bmp.at(64, 96);
    EXPECT_TRUE(looksLike(bmp.at(192, 96), kBlue, 0)) << bmp.at(192, 96);
    EXPECT_TRUE(looksLike(bmp.at(64, 160), kGreen, 0)) << bmp.at(64, 160);
    EXPECT_TRUE(looksLike(bmp.at(192, 160), kWhite, 0)) << bmp.at(192, 160);
}

TEST_F(LibraryConversion, UnusableSourcesAndSizesFailWithoutAFile) {
    const std::string good = m_dir.path() + "good.jpg";
    writeJpeg(good, 64, 48, [](int, int) { return kGreen; });
    auto jpeg = readBytes(good);
    writeBytes(m_dir.path() + "garbage.jpg", std::vector<unsigned char>(5000, 0x5A));
    writeBytes(m_dir.path() + "truncated.jpg", std::vector<unsigned char>(jpeg.begin(), jpeg.begin() + 40));
    writeBytes(m_dir.path() + "empty.bmp", {});
    // A picture that reports no height.
    writePlaceableWmf(m_dir.path() + "flat.wmf", 1000, 0, 1000, 1, 1, {kRed});

    struct Case {
        std::string source;
        int size;
    };
    const Case cases[] = {
        {m_dir.path() + "garbage.jpg", 256},
        {m_dir.path() + "truncated.jpg", 256},
        {m_dir.path() + "empty.bmp", 256},
        {m_dir.path() + "missing.jpg", 256},
        {m_dir.path() + "flat.wmf", 256},
        {good, 0},
        {good, -256},
        {good, 2000000000},
        {m_dir.path(), 256},
    };
    for (const Case& c : cases) {
        const std::string output = m_dir.path() + "out.bmp";
        EXPECT_FALSE(convert(c.source, output, c.size)) << c.source << " at " << c.size;
        EXPECT_FALSE(fileExists(output)) << c.source << " at " << c.size;
    }
    // The smallest size that still leaves a pixel row: 2 x 1.
    EXPECT_TRUE(convert(good, m_dir.path() + "out.bmp", 2));
}

// Raised from its first poll on, or never; counts the polls.
class FixedStop : public imaging::StopSignal {
public:
    explicit FixedStop(bool raised) : m_raised(raised) {}
    bool stopRequested() const override {
        ++m_polls;
        return m_raised;
    }
    int polls() const { return m_polls; }

private:
    bool m_raised;
    mutable int m_polls = 0;
};

TEST_F(LibraryConversion, RaisedStopFailsWithoutAFile) {
    const std::string jpeg = m_dir.path() + "photo.jpg";
    const std::string wmf = m_dir.path() + "clip.wmf";
    writeJpeg(jpeg, 640, 480, [](int x, int y) { return Rgb{x % 256, y % 256, 90}; });
    writePlaceableWmf(wmf, 2000, 1000, 1000, 2, 2, {kRed, kBlue, kGreen, kWhite});
    for (const std::string& source : {jpeg, wmf}) {
        const std::string output = m_dir.path() + "out.bmp";
        FixedStop raised(true);
        EXPECT_FALSE(library::convertPicture(source, output, 256, nullptr, &raised)) << source;
        EXPECT_GE(raised.polls(), 1) << source;
        EXPECT_FALSE(fileExists(output)) << source;
        FixedStop never(false);
        EXPECT_TRUE(library::convertPicture(source, output, 256, nullptr, &never)) << source;
        EXPECT_TRUE(fileExists(output)) << source;
        DeleteFileA(output.c_str());
    }
}

TEST_F(LibraryConversion, EveryExifOrientationGivesTheSameUprightCacheFile) {
    // A landscape photo stored as cameras store it for each orientation: letter-boxed the same way.
    const imaging::Image upright = support::blockPicture(16, 4);
    std::vector<unsigned char> expected;
    for (int o = 1; o <= 8; ++o) {
        SCOPED_TRACE("orientation " + std::to_string(o));
        const support::Bytes file = support::withSegment(support::encodeImage(support::storedFor(upright, o)),
                                                         support::exifSegment({o % 2 == 0, unsigned(o)}));
        const std::string source = m_dir.path() + "photo" + std::to_string(o) + ".jpg";
        writeBytes(source, std::vector<unsigned char>(file.begin(), file.end()));
        const std::string output = m_dir.path() + "photo" + std::to_string(o) + ".bmp";
        ASSERT_TRUE(convert(source, output, 128));
        BmpFileView bmp = readBmpFile(output);
        ASSERT_TRUE(bmp.ok);
        EXPECT_EQ(bmp.width(), 128);
        EXPECT_EQ(bmp.height(), 128);
        if (o == 1)
            expected = bmp.bytes;
        else
            EXPECT_TRUE(bmp.bytes == expected) << "differs from the upright photo's cache file";
    }
}

TEST_F(LibraryConversion, UnwritableOutputFails) {
    const std::string source = m_dir.path() + "good.jpg";
    writeJpeg(source, 64, 48, [](int, int) { return kGreen; });
    EXPECT_FALSE(convert(source, m_dir.path() + "no-such-folder\\out.bmp"));
    // An existing file is replaced.
    const std::string output = m_dir.path() + "out.bmp";
    writeBytes(output, std::vector<unsigned char>(100000, 1));
    ASSERT_TRUE(convert(source, output));
    EXPECT_EQ(readBmpFile(output).width(), 256);
}

} // namespace
