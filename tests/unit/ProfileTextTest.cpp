#include "framework/ProfileText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using fw::ProfileKey;
using fw::ProfileSection;
using fw::withSectionKeys;

namespace {

const std::vector<ProfileKey> kList{{"Count", "2"}, {"Entry0", "C:\\a.bmp"}, {"Entry1", "C:\\b.bmp"}};
const char kListLines[] = "Count=2\r\nEntry0=C:\\a.bmp\r\nEntry1=C:\\b.bmp\r\n";

bool isStamp(std::string_view name) {
    return name == "Stamp" || name == "stamp";
}

struct RewriteCase {
    const char* what;
    std::string before;
    std::string after;
};

TEST(ProfileText, RewriteReplacesTheSectionsKeysAndKeepsEveryOtherByte) {
    const std::string list = kListLines;
    const std::vector<RewriteCase> cases{
        {"CRLF, sections on both sides, a comment",
         "[Settings]\r\nSpinX=-45\r\n[Photos]\r\nCount=1\r\nEntry0=old\r\n[ConversionParms]\r\n; kept\r\nCount = 1\r\n",
         "[Settings]\r\nSpinX=-45\r\n[Photos]\r\n" + list + "[ConversionParms]\r\n; kept\r\nCount = 1\r\n"},
        {"LF, another case, blanks, other lines of the section kept, no final line break",
         "a=1\n  [photos]  \n  count = 9 \n; note\nEntry9=by hand\nstamp=x\nEntry1\n\n[Other]\nk=v",
         "a=1\n  [photos]  \n" + list + "; note\nEntry9=by hand\n\n[Other]\nk=v"},
        {"missing section after a last line without a break", "[Settings]\r\nX=1",
         "[Settings]\r\nX=1\r\n[Photos]\r\n" + list},
        {"empty file", "", "[Photos]\r\n" + list},
        {"only the first of two sections of the name",
         "[Photos]\r\nCount=1\r\n[Settings]\r\nX=1\r\n[PHOTOS]\r\nEntry0=second\r\n",
         "[Photos]\r\n" + list + "[Settings]\r\nX=1\r\n[PHOTOS]\r\nEntry0=second\r\n"},
        {"header as the last line without a break", "[Settings]\r\nX=1\r\n[Photos]",
         "[Settings]\r\nX=1\r\n[Photos]\r\n" + list},
        {"text after the header's bracket", "[Photos] ; list\r\nEntry0=old\r\n", "[Photos] ; list\r\n" + list},
        {"blanks inside the brackets name another section", "[ Photos ]\r\nEntry0=old\r\n",
         "[ Photos ]\r\nEntry0=old\r\n[Photos]\r\n" + list},
        {"keys before any header are no section's", "Count=7\r\n", "Count=7\r\n[Photos]\r\n" + list},
        {"a line that only opens a bracket is a key of the section", "[Photos]\r\n[Entry5\r\nCount=1\r\n[S]\r\n",
         "[Photos]\r\n" + list + "[Entry5\r\n[S]\r\n"},
    };
    for (const RewriteCase& c : cases)
        EXPECT_EQ(withSectionKeys(c.before, "Photos", kList, isStamp), c.after) << c.what;
}

TEST(ProfileText, ReadsKeysAsGetPrivateProfileStringDoes) {
    const std::string file = std::string("X=0\r\n[Settings]\r\nCount=5\r\n [photos] \r\n") +
                             "COUNT = 3 \r\nCount=4\r\nEntry0=\"C:\\a b.bmp\"\r\nEntry1='x'\r\nEntry2=\"half\r\n"
                             "Entry3=\"\"\r\nStamp\r\n;Entry4=c\r\nEntry5=ab" +
                             std::string(1, '\0') + "cd\r\nEntry6=\"a'\r\n[Photos]\r\nEntry7=second\r\n";
    const ProfileSection photos(file, "Photos");
    EXPECT_TRUE(photos.found());
    struct Expected {
        const char* key;
        std::optional<std::string> value;
    };
    const std::vector<Expected> table{
        {"Count", "3"},     {"entry0", "C:\\a b.bmp"}, {"Entry1", "x"},          {"Entry2", "\"half"},
        {"Entry3", ""},     {"Stamp", std::nullopt},   {"Entry4", std::nullopt}, {"Entry5", "ab"},
        {"Entry6", "\"a'"}, {"Entry7", std::nullopt},  {"X", std::nullopt},      {" Count ", "3"},
    };
    for (const Expected& e : table)
        EXPECT_EQ(photos.value(e.key), e.value) << e.key;
    EXPECT_FALSE(ProfileSection("Count=5\r\n[Settings]\r\nCount=6\r\n", "Photos").found());
}

TEST(ProfileText, TextWithAByteOrderMarkIsNotPlain) {
    EXPECT_TRUE(fw::isPlainProfileText("[Photos]\r\n"));
    EXPECT_TRUE(fw::isPlainProfileText(""));
    EXPECT_FALSE(fw::isPlainProfileText("\xFF\xFE[\0P\0"));
    EXPECT_FALSE(fw::isPlainProfileText("\xFE\xFF\0[\0P"));
    EXPECT_FALSE(fw::isPlainProfileText("\xEF\xBB\xBF[Photos]"));
}

// Files nobody meant as settings: read and rewritten in one pass each, the list always readable afterwards.
TEST(ProfileText, HostileFilesAreReadAndRewrittenWhole) {
    const std::string longLine = "[Photos]\r\nEntry0=" + std::string(10u << 20, 'x') + "\r\nCount=1";
    const std::vector<std::string> files{
        longLine,
        std::string(3u << 20, '['),
        std::string(1u << 20, '\0'),
        std::string(1u << 20, '\n'),
        "no brackets at all = just text\r\n\x1a\x01\xff",
        "[Photos",
        "]]][[[Photos]]]\r\n=\r\n==\r\n",
    };
    for (const std::string& file : files) {
        const std::string after = withSectionKeys(file, "Photos", kList, isStamp);
        const ProfileSection photos(after, "Photos");
        EXPECT_EQ(photos.value("Count"), "2") << file.substr(0, 20);
        EXPECT_EQ(photos.value("Entry1"), "C:\\b.bmp") << file.substr(0, 20);
        EXPECT_EQ(withSectionKeys(after, "Photos", kList, isStamp), after) << file.substr(0, 20);
    }
    const ProfileSection big(longLine, "Photos");
    EXPECT_EQ(big.value("Entry0")->size(), 10u << 20);
    EXPECT_EQ(big.value("Count"), "1");
}

} // namespace
