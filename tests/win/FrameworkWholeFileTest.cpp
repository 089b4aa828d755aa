// The bounded whole-file reader: exact contents across chunks, the limit, a stop between chunks.
#include "framework/WholeFile.h"
#include "tests/win/LibraryTestSupport.h"

#include <gtest/gtest.h>

using namespace librarytest;

namespace {

// Not a whole number of the reader's 1 MB chunks, and no two neighbouring bytes alike.
std::vector<unsigned char> patterned(std::size_t size) {
    std::vector<unsigned char> bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<unsigned char>(i * 7 + i / 251);
    return bytes;
}

TEST(FrameworkWholeFile, ReadsExactlyUpToTheLimitAndNothingBeyond) {
    TempFolder folder("prismata-wholefile-");
    const std::string path = folder.path() + "data.bin";
    const std::vector<unsigned char> written = patterned((3u << 20) + 5);
    writeBytes(path, written);

    std::vector<std::uint8_t> bytes;
    ASSERT_EQ(fw::readWholeFile(path, written.size(), bytes), fw::WholeFileRead::Read);
    EXPECT_TRUE(bytes == written) << "read " << bytes.size() << " bytes of " << written.size();

    EXPECT_EQ(fw::readWholeFile(path, written.size() - 1, bytes), fw::WholeFileRead::TooLarge);
    EXPECT_TRUE(bytes.empty());

    EXPECT_EQ(fw::readWholeFile(folder.path() + "missing.bin", 1u << 30, bytes), fw::WholeFileRead::Unreadable);
    EXPECT_EQ(fw::readWholeFile(folder.path(), 1u << 30, bytes), fw::WholeFileRead::Unreadable);

    writeBytes(folder.path() + "empty.bin", {});
    bytes.assign(3, 1);
    EXPECT_EQ(fw::readWholeFile(folder.path() + "empty.bin", 0, bytes), fw::WholeFileRead::Read);
    EXPECT_TRUE(bytes.empty());
}

TEST(FrameworkWholeFile, AStopIsSeenBetweenChunks) {
    TempFolder folder("prismata-wholefile-");
    const std::string path = folder.path() + "data.bin";
    writeBytes(path, patterned((3u << 20) + 5));

    int asked = 0;
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(fw::readWholeFile(path, 1u << 30, bytes, [&] { return ++asked == 2; }), fw::WholeFileRead::Stopped);
    EXPECT_EQ(asked, 2) << "asked once before each chunk, and no more after the stop";
    EXPECT_TRUE(bytes.empty());

    asked = 0;
    EXPECT_EQ(fw::readWholeFile(path, 1u << 30, bytes, [&] { return ++asked > 100; }), fw::WholeFileRead::Read);
    EXPECT_EQ(asked, 4) << "four chunks";
}

} // namespace
