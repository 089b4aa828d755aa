// Metafile records the system's player may be given: every count and handle index inside what the
// record and the header hold.
#include "imaging/MetafileCheck.h"
#include "tests/support/MetafileWriter.h"
#include "tools/hostile/HostilePictures.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Words = std::vector<std::uint16_t>;

bool sound(const support::Bytes& bytes) {
    return imaging::isSoundMetafile(bytes.data(), bytes.size());
}

// One record of that function with those parameters, its size word filled in, in a metafile whose
// handle table has `objects` places.
bool soundRecord(std::uint16_t function, const Words& params, unsigned objects = 4) {
    Words record = {std::uint16_t(3 + params.size()), 0, function};
    record.insert(record.end(), params.begin(), params.end());
    support::Bytes bytes = support::metafile({record});
    support::put16(bytes, 10, objects);
    return sound(bytes);
}

// A BITMAPINFOHEADER of width x height at 24 bits followed by `pixelBytes` bytes, as parameter words.
Words dib(std::uint16_t width, std::uint16_t height, std::size_t pixelBytes, std::uint16_t compression = 0) {
    Words w = {40, 0, width, 0, height, 0, 1, 24, compression, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    w.resize(w.size() + (pixelBytes + 1) / 2, 0x7777);
    return w;
}

Words concat(Words a, const Words& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(MetafileCheck, RecordsMustHoldWhatTheirCountsPromise) {
    const Words stretchHead = {0x20, 0xCC, 0, 2, 2, 0, 0, 2, 2, 0, 0}; // StretchDIB before its DIB
    const struct {
        const char* name;
        std::uint16_t function;
        Words params;
        bool sound;
    } cases[] = {
        {"rectangle", 0x041B, {0, 0, 10, 10}, true},
        {"rectangle short of a corner", 0x041B, {0, 0, 10}, false},
        {"polygon of two points", 0x0324, {2, 0, 0, 5, 5}, true},
        {"polygon counting more points", 0x0324, {3, 0, 0, 5, 5}, false},
        {"polypolygon", 0x0538, {2, 1, 1, 0, 0, 4, 4}, true},
        {"polypolygon short of points", 0x0538, {2, 1, 2, 0, 0, 4, 4}, false},
        {"text of three characters", 0x0521, {3, 0x6261, 0x0063, 5, 5}, true},
        {"text counting more", 0x0521, {9, 0x6261, 0x0063, 5, 5}, false},
        {"text with a negative count", 0x0521, {0xFFFF, 0, 0, 0}, false},
        {"extended text in a rectangle", 0x0A32, {5, 5, 2, 0x0004, 0, 0, 9, 9, 0x6261}, true},
        {"extended text missing its rectangle", 0x0A32, {5, 5, 2, 0x0004, 0x6261}, false},
        {"palette of one colour", 0x00F7, {0x300, 1, 0, 0}, true},
        {"palette counting more", 0x00F7, {0x300, 8, 0, 0}, false},
        {"escape with its data", 0x0626, {15, 4, 0, 0}, true},
        {"escape counting more data", 0x0626, {15, 400, 0, 0}, false},
        {"font with its whole face name", 0x02FB, Words(25, 0), true},
        {"font cut inside its face name", 0x02FB, Words(12, 0), false},
        {"stretched DIB of 2 x 2", 0x0F43, concat(stretchHead, dib(2, 2, 16)), true},
        {"stretched DIB claiming 30000 x 30000", 0x0F43, concat(stretchHead, dib(30000, 30000, 16)), false},
        {"stretched DIB compressed", 0x0F43, concat(stretchHead, dib(2, 2, 16, 1)), false},
        {"DIB bit-block without a DIB", 0x0940, Words(9, 0), true},
        {"DIB bit-block short of a parameter", 0x0940, Words(8, 0), false},
        {"select object 3 of 4", 0x012D, {3}, true},
        {"select object 4 of 4", 0x012D, {4}, false},
        {"delete object beyond the table", 0x01F0, {900}, false},
        {"select palette 2 of 4", 0x0234, {2}, true},
        {"select palette 4 of 4", 0x0234, {4}, false},
        {"select palette beyond the table", 0x0234, {0, 7}, false},
        {"select palette, two words, the first beyond the table", 0x0234, {7, 0}, false},
        {"frame region beyond the table", 0x0429, {1, 1, 0, 9}, false},
        {"region", 0x06FF, Words(20, 0), false},
        {"device-dependent bit-block", 0x0922, Words(20, 0), false},
        {"unknown record", 0x0999, {0, 0}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(soundRecord(c.function, c.params), c.sound) << c.name;
}

TEST(MetafileCheck, SelectPaletteWordAfterTheRecordStaysInsideTheTable) {
    // A player that takes the second word as the index reads the next record's size there: the end
    // record's 3, inside a table of 4 places but not of 3.
    EXPECT_TRUE(soundRecord(0x0234, {0}, 4));
    EXPECT_FALSE(soundRecord(0x0234, {0}, 3));
}

TEST(MetafileCheck, HeaderRecordSizesAndTheEndRecord) {
    const support::Bytes empty = support::metafile({});
    EXPECT_TRUE(sound(empty));
    EXPECT_TRUE(sound(support::placeable(0, 0, 10, 10, 1440, empty)));
    EXPECT_FALSE(sound(support::metafile({{7, 0, 0x041B, 0, 0, 10, 10}}, false))) << "no end record";
    EXPECT_FALSE(sound(support::metafile({{2, 0, 0x041B}}))) << "record smaller than its own header";
    EXPECT_FALSE(sound(support::metafile({{0xFFFF, 0x7FFF, 0x0201, 0, 0}}))) << "record past the end";
    support::Bytes badHeader = empty;
    badHeader[2] = 8;
    EXPECT_FALSE(sound(badHeader));
    EXPECT_FALSE(sound(hostile::cut(empty, 10)));
    EXPECT_FALSE(sound(support::placeable(0, 0, 10, 10, 1440, {})));
}

} // namespace
