#include "app/InstallFolder.h"

#include <gtest/gtest.h>

#include <string>

using install::folderFromRegistryValue;

namespace {
constexpr unsigned long kRegSz = 1, kRegExpandSz = 2, kRegBinary = 3, kRegDword = 4;

std::optional<std::string> fromText(const std::string& text, unsigned long type = kRegSz) {
    return folderFromRegistryValue(type, text.c_str(), text.size() + 1);
}
} // namespace

TEST(InstallFolder, AppendsOneBackslash) {
    EXPECT_EQ(fromText("C:\\Program Files\\Prismata"), "C:\\Program Files\\Prismata\\");
    EXPECT_EQ(fromText("C:\\Program Files\\Prismata\\"), "C:\\Program Files\\Prismata\\");
    EXPECT_EQ(fromText("C:\\Prismata", kRegExpandSz), "C:\\Prismata\\");
}

TEST(InstallFolder, NonStringOrEmptyValuesAreUnreadable) {
    EXPECT_FALSE(fromText("C:\\Prismata", kRegBinary));
    EXPECT_FALSE(fromText("C:\\Prismata", kRegDword));
    EXPECT_FALSE(fromText(""));
    EXPECT_FALSE(folderFromRegistryValue(kRegSz, nullptr, 0));
}

TEST(InstallFolder, ReadsOnlyTheReturnedBytes) {
    // No terminator in the returned bytes: the text ends where the data ends.
    const char raw[8] = {'C', ':', '\\', 'P', 'X', 'X', 'X', 'X'};
    EXPECT_EQ(folderFromRegistryValue(kRegSz, raw, 4), "C:\\P\\");
    // A terminator inside the data ends the text there.
    const char early[6] = {'C', ':', '\0', 'j', 'u', 'n'};
    EXPECT_EQ(folderFromRegistryValue(kRegSz, early, 6), "C:\\");
}

TEST(InstallFolder, LengthLimits) {
    std::string longest(259, 'a');
    auto folder = fromText(longest);
    ASSERT_TRUE(folder);
    EXPECT_EQ(folder->size(), 260u);
    EXPECT_FALSE(folderFromRegistryValue(kRegSz, std::string(300, 'a').c_str(), 300));
}
