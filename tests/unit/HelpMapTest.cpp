#include "tools/helpmap/HelpMap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

using helpmap::Bytes;

namespace {

const std::vector<std::pair<std::int32_t, std::string>> kDialogContexts = {{4, "main_settings"},
                                                                           {5, "advanced_settings"}};

Bytes readUnmappedHelp() {
    std::ifstream file(PRISMATA_UNMAPPED_HELP, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::uint32_t dwordAt(const Bytes& data, std::size_t at) {
    return data[at] | data[at + 1] << 8 | data[at + 2] << 16 | std::uint32_t(data[at + 3]) << 24;
}

void putDwordAt(Bytes& data, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        data[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

helpmap::InternalFile fileNamed(const Bytes& hlp, const std::string& name) {
    auto files = helpmap::listInternalFiles(hlp);
    EXPECT_TRUE(files);
    for (const auto& file : files.value_or(std::vector<helpmap::InternalFile>{}))
        if (file.name == name)
            return file;
    ADD_FAILURE() << name << " is not in the directory";
    return {};
}

class HelpMap : public testing::Test {
protected:
    void SetUp() override {
        unmapped = readUnmappedHelp();
        ASSERT_GT(unmapped.size(), 1000u) << "no help file at " << PRISMATA_UNMAPPED_HELP;
    }
    Bytes unmapped;
};

} // namespace

TEST(HelpMapHash, MatchesTheKeysHalibutWrites) {
    // The keys stand in the context table of a Halibut-made file for these names.
    EXPECT_EQ(helpmap::contextHash("main_settings"), 630908567);
    EXPECT_EQ(helpmap::contextHash("advanced_settings"), -1047482070);
    EXPECT_EQ(helpmap::contextHash("Top"), 67929);
    // Letters count without case; characters outside the viewer's table are skipped.
    EXPECT_EQ(helpmap::contextHash("MAIN_Settings"), 630908567);
    EXPECT_EQ(helpmap::contextHash("main-settings"), helpmap::contextHash("mainsettings"));
    EXPECT_EQ(helpmap::contextHash(""), 0);
}

TEST_F(HelpMap, SendsEachNumberToItsTopic) {
    // As Halibut leaves it, no number opens anything.
    auto before = helpmap::readContextMap(unmapped);
    ASSERT_TRUE(before);
    EXPECT_TRUE(before->empty());

    auto mainTopic = helpmap::topicOffset(unmapped, "main_settings");
    auto advancedTopic = helpmap::topicOffset(unmapped, "advanced_settings");
    ASSERT_TRUE(mainTopic);
    ASSERT_TRUE(advancedTopic);
    // The contents come first; the main settings come before the advanced ones in the source.
    EXPECT_LT(*helpmap::topicOffset(unmapped, "Top"), *mainTopic);
    EXPECT_LT(*mainTopic, *advancedTopic);

    std::string error;
    auto mapped = helpmap::withContextMap(unmapped, {{5, "advanced_settings"}, {4, "main_settings"}}, error);
    ASSERT_TRUE(mapped) << error;
    auto map = helpmap::readContextMap(*mapped);
    ASSERT_TRUE(map);
    ASSERT_EQ(map->size(), 2u);
    EXPECT_EQ((*map)[0].number, 4);
    EXPECT_EQ((*map)[0].topicOffset, *mainTopic);
    EXPECT_EQ((*map)[1].number, 5);
    EXPECT_EQ((*map)[1].topicOffset, *advancedTopic);
    // The context table itself is untouched.
    EXPECT_EQ(helpmap::topicOffset(*mapped, "advanced_settings"), advancedTopic);
}

TEST_F(HelpMap, LeavesEveryOtherInternalFileAsItWas) {
    std::string error;
    auto mapped = helpmap::withContextMap(unmapped, kDialogContexts, error);
    ASSERT_TRUE(mapped) << error;
    EXPECT_EQ(dwordAt(*mapped, 12), mapped->size());

    auto before = helpmap::listInternalFiles(unmapped);
    auto after = helpmap::listInternalFiles(*mapped);
    ASSERT_TRUE(before);
    ASSERT_TRUE(after);
    ASSERT_EQ(before->size(), after->size());
    for (std::size_t i = 0; i < before->size(); ++i) {
        const auto& old = (*before)[i];
        const auto& now = (*after)[i];
        EXPECT_EQ(old.name, now.name);
        if (old.name == "|CTXOMAP") {
            EXPECT_GE(now.offset, unmapped.size()) << "the old map's space is not reused";
            continue;
        }
        EXPECT_EQ(old.offset, now.offset) << old.name;
        EXPECT_TRUE(std::equal(unmapped.begin() + old.offset, unmapped.begin() + old.offset + old.size,
                               mapped->begin() + now.offset, mapped->begin() + now.offset + now.size))
            << old.name << " changed";
    }

    // Byte for byte, the old file survives but for its size and the directory's pointer to the map.
    auto mapEntry = fileNamed(unmapped, "|CTXOMAP");
    Bytes restored(mapped->begin(), mapped->begin() + unmapped.size());
    putDwordAt(restored, 12, dwordAt(unmapped, 12));
    putDwordAt(restored, mapEntry.offsetAt, dwordAt(unmapped, mapEntry.offsetAt));
    EXPECT_TRUE(restored == unmapped);
}

TEST_F(HelpMap, RefusesWhatItCannotMap) {
    std::string error;
    EXPECT_FALSE(helpmap::withContextMap(unmapped, {{4, "main_settings"}, {5, "no_such_topic"}}, error));
    EXPECT_NE(error.find("no_such_topic"), std::string::npos);
    EXPECT_FALSE(helpmap::withContextMap(unmapped, {{4, "main_settings"}, {4, "advanced_settings"}}, error));
    EXPECT_NE(error.find("twice"), std::string::npos);

    // A file without a map: its directory entry renamed.
    Bytes noMap = unmapped;
    auto entry = fileNamed(unmapped, "|CTXOMAP");
    noMap[entry.offsetAt - 2] = 'Q';
    error.clear();
    EXPECT_FALSE(helpmap::withContextMap(noMap, kDialogContexts, error));
    EXPECT_NE(error.find("no context-number map"), std::string::npos) << error;
}

TEST_F(HelpMap, RefusesMalformedFilesWithoutReadingPastThem) {
    std::string error;
    // Every truncation, including the empty file.
    for (std::size_t size = 0; size < unmapped.size(); ++size) {
        Bytes cut(unmapped.begin(), unmapped.begin() + size);
        EXPECT_FALSE(helpmap::withContextMap(cut, kDialogContexts, error)) << "cut at " << size;
    }

    Bytes wrongMagic = unmapped;
    wrongMagic[0] ^= 0xFF;
    EXPECT_FALSE(helpmap::listInternalFiles(wrongMagic));

    // The directory's tree: a leaf that names itself as the next one, and a page count beyond the file.
    std::size_t directory = dwordAt(unmapped, 4);
    std::size_t tree = directory + 9;
    std::size_t pageSize = unmapped[tree + 4] | unmapped[tree + 5] << 8;
    std::size_t root = unmapped[tree + 26] | unmapped[tree + 27] << 8;
    Bytes loop = unmapped;
    std::size_t rootPage = tree + 38 + root * pageSize;
    loop[rootPage + 6] = static_cast<std::uint8_t>(root);
    loop[rootPage + 7] = static_cast<std::uint8_t>(root >> 8);
    EXPECT_FALSE(helpmap::listInternalFiles(loop));
    Bytes manyPages = unmapped;
    manyPages[tree + 30] = 0xFF;
    manyPages[tree + 31] = 0x7F;
    EXPECT_FALSE(helpmap::listInternalFiles(manyPages));

    // An internal file that claims more room than the help file has.
    Bytes oversized = unmapped;
    auto context = fileNamed(unmapped, "|CONTEXT");
    putDwordAt(oversized, context.offset, 0x7FFFFFFF);
    EXPECT_FALSE(helpmap::withContextMap(oversized, kDialogContexts, error));
}

TEST_F(HelpMap, SurvivesAnyDamagedByte) {
    // Whatever one broken byte does, the mapper answers, and what it accepts it can read back.
    std::string error;
    for (std::size_t at = 0; at < unmapped.size(); ++at) {
        Bytes damaged = unmapped;
        damaged[at] ^= 0xA5;
        auto mapped = helpmap::withContextMap(damaged, kDialogContexts, error);
        if (mapped) {
            ASSERT_TRUE(helpmap::readContextMap(*mapped)) << "damage at " << at;
        }
    }
}
