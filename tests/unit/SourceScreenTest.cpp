// Which picture files may reach the system picture loader: sound BMPs, JPEGs within our size limit and
// sound metafiles; everything whose header would send the loader past its buffers is kept away.
#include "library/SourceScreen.h"
#include "tests/support/MetafileWriter.h"
#include "tools/hostile/HostilePictures.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using support::Bytes;

bool safe(const Bytes& bytes) {
    return library::isSafeForSystemLoader(bytes.data(), bytes.size());
}

Bytes rleBmp(std::uint32_t sizeImage) {
    hostile::BmpSpec s;
    s.bitCount = 8;
    s.compression = 1;
    s.tableEntries = 256;
    s.pixelsGiven = true;
    s.pixels = {8, 1, 0, 0, 8, 2, 0, 1}; // two rows of eight, then the end
    Bytes b = hostile::bmpFile(s);
    support::put32(b, 34, sizeImage);
    return b;
}

// An 8-bit BMP stating no colour count, its pixels ten entries after the header, and `tail` bytes of
// pixels: the system reads the whole table of 256 entries whatever the offset says.
Bytes shortTableBmp(std::size_t tail) {
    hostile::BmpSpec s;
    s.bitCount = 8;
    s.width = 4;
    s.height = 1;
    s.tableEntries = 10;
    s.pixelsGiven = true;
    s.pixels = Bytes(tail, 1);
    return hostile::bmpFile(s);
}

TEST(SourceScreen, SoundPicturesPassAndLyingHeadersAreRefused) {
    const Bytes jpeg = hostile::jpegFile(32, 24);
    hostile::BmpSpec beyond;
    beyond.width = 16000;
    beyond.height = 4000;
    beyond.bitCount = 32;
    beyond.pixelsGiven = true;
    beyond.pixels = Bytes(100, 0);
    hostile::BmpSpec offset;
    offset.bogusOffset = true;
    offset.offBits = 0x7FFFFFF0u;
    const Bytes rectangle = support::metafile({{7, 0, 0x041B, 0, 0, 10, 10}});
    const Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    Bytes icon(22, 0);
    icon[2] = 1;
    icon[4] = 0xFF;

    const struct {
        const char* name;
        Bytes bytes;
        bool safe;
    } cases[] = {
        {"good BMP", hostile::bmpFile(hostile::BmpSpec{}), true},
        {"good JPEG", jpeg, true},
        {"good progressive JPEG", hostile::jpegFile(32, 24, true), true},
        {"JPEG frame within our limit", hostile::withJpegSize(jpeg, 11000, 11000), true},
        {"JPEG frame beyond our limit", hostile::withJpegSize(jpeg, 40000, 40000), false},
        {"JPEG cut inside its header", hostile::cut(jpeg, 20), false},
        {"BMP pixels beyond the end", hostile::bmpFile(beyond), false},
        {"BMP offset beyond the end", hostile::bmpFile(offset), false},
        {"short colour table, file holding a whole one", shortTableBmp(1024), true},
        {"short colour table at the end of the file", shortTableBmp(4), false},
        {"RLE within the file", rleBmp(8), true},
        {"RLE size beyond the end", rleBmp(0x10000000u), false},
        {"RLE without a size", rleBmp(0), false},
        {"placeable metafile", support::placeable(0, 0, 100, 100, 1440, rectangle), true},
        {"metafile with a polygon overrun", support::metafile({{4, 0, 0x0324, 0x7FFF}}), false},
        {"GIF", hostile::gifFile(), false},
        {"PNG", png, false},
        {"icon directory", icon, false},
        {"text", hostile::text("hello"), false},
        {"nothing", Bytes{}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(safe(c.bytes), c.safe) << c.name;
}

} // namespace
