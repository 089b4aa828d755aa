#include "framework/Handles.h"
#include "framework/Profile.h"
#include "tests/support/BareApp.h"
#include "tests/support/Files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

class ProfileStore : public ::testing::Test {
protected:
    void SetUp() override {
        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        char name[MAX_PATH];
        GetTempFileNameA(folder, "ini", 0, name);
        m_path = name;
        DeleteFileA(m_path.c_str());
        m_app.setProfileFile(m_path);
    }
    void TearDown() override {
        SetFileAttributesA(m_path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(m_path.c_str());
    }
    void writeFile(const std::string& text) {
        std::ofstream out(m_path, std::ios::binary);
        out << text;
    }
    std::string readFile() {
        std::ifstream in(m_path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    support::BareApp m_app;
    std::string m_path;
};

TEST_F(ProfileStore, IntegersRoundTripIncludingNegatives) {
    fw::WriteProfileInt("Settings", "SpinX", -45);
    fw::WriteProfileInt("Settings", "SpinY", 99);
    EXPECT_EQ(fw::GetProfileInt("Settings", "SpinX", 10), -45);
    EXPECT_EQ(fw::GetProfileInt("settings", "spiny", 10), 99);
    EXPECT_NE(readFile().find("SpinX=-45"), std::string::npos);
}

TEST_F(ProfileStore, ValuesReadAsTheirLeadingDigits) {
    writeFile("[Settings]\r\nA=12abc\r\nB=abc\r\nC=\r\nD=0x10\r\n");
    EXPECT_EQ(fw::GetProfileInt("Settings", "A", 5), 12);
    EXPECT_EQ(fw::GetProfileInt("Settings", "B", 5), 0);
    EXPECT_EQ(fw::GetProfileInt("Settings", "C", 5), 5);
    EXPECT_EQ(fw::GetProfileInt("Settings", "D", 5), 0);
}

TEST_F(ProfileStore, MissingFileSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(fw::GetProfileInt("Settings", "SpinX", 40), 40);
    EXPECT_EQ(fw::GetProfileString("Settings", "PicturePath", "none"), "none");
    EXPECT_EQ(fw::GetProfileString("Settings", "PicturePath"), "");
    writeFile("[Photos]\r\nCount=3\r\n");
    EXPECT_EQ(fw::GetProfileInt("Settings", "Count", -1), -1);
    EXPECT_EQ(fw::GetProfileInt("Photos", "Entry0", -1), -1);
}

TEST_F(ProfileStore, NullStringDeletesTheKey) {
    fw::WriteProfileString("Photos", "Entry0", "C:\\a.bmp");
    fw::WriteProfileString("Photos", "Entry1", "C:\\b.bmp");
    EXPECT_EQ(fw::GetProfileString("Photos", "Entry0", "gone"), "C:\\a.bmp");
    fw::WriteProfileString("Photos", "Entry0", nullptr);
    EXPECT_EQ(fw::GetProfileString("Photos", "Entry0", "gone"), "gone");
    EXPECT_EQ(fw::GetProfileString("Photos", "Entry1", "gone"), "C:\\b.bmp");
    EXPECT_EQ(readFile().find("Entry0"), std::string::npos);
}

TEST_F(ProfileStore, LongStringsComeBackWhole) {
    std::string path = "C:\\" + std::string(3000, 'p') + "\\x.bmp";
    fw::WriteProfileString("Photos", "Entry0", path.c_str());
    EXPECT_EQ(fw::GetProfileString("Photos", "Entry0"), path);
}

TEST_F(ProfileStore, MalformedFileStillYieldsWhatItCan) {
    std::string junk = "garbage without section\r\n[Settings\r\n=novalue\r\n\x01\x02\xff\r\n[Settings]\r\nSpinX=7\r\n";
    junk += std::string(5000, 'z') + "\r\n";
    writeFile(junk);
    EXPECT_EQ(fw::GetProfileInt("Settings", "SpinX", 40), 7);
    EXPECT_EQ(fw::GetProfileInt("Settings", "SpinY", 60), 60);
}

TEST_F(ProfileStore, UnwritableLocationFailsQuietlyAndReadsDefaults) {
    // Tests run as root under Wine, where a read-only attribute does not stop writes; a folder that
    // does not exist, or a folder in place of the file, does.
    m_app.setProfileFile(m_path + ".missing\\deeper\\Prismata.ini");
    EXPECT_FALSE(fw::WriteProfileInt("Settings", "SpinX", 9));
    EXPECT_EQ(fw::GetProfileInt("Settings", "SpinX", 40), 40);

    ASSERT_TRUE(CreateDirectoryA((m_path + ".dir").c_str(), nullptr));
    m_app.setProfileFile(m_path + ".dir");
    EXPECT_FALSE(fw::WriteProfileString("Settings", "PicturePath", "C:\\x"));
    EXPECT_EQ(fw::GetProfileString("Settings", "PicturePath", "default"), "default");
    RemoveDirectoryA((m_path + ".dir").c_str());
}

// A list whose section is many times the 32,767 characters Windows allows a whole section: written in one piece
// into the existing file (a second name of the same file sees it), read back whole by the show's reader and key by
// key by the profile functions, the other sections unchanged.
TEST_F(ProfileStore, AListFarPastTheSectionLimitIsWrittenInPlaceAndReadsBackExactly) {
    writeFile(
        "; settings\r\n[Settings]\r\nSpinX = -45\r\n\r\n[Photos]\r\nCount=1\r\nEntry0=old\r\n[Show]\r\nPosition=x");
    const std::string link = m_path + ".link";
    ASSERT_TRUE(CreateHardLinkA(link.c_str(), m_path.c_str(), nullptr));
    EXPECT_EQ(fw::GetProfileString("Photos", "Entry0"), "old");

    std::vector<fw::ProfileKey> list{{"Count", "2500"}};
    for (int i = 0; i < 2500; ++i)
        list.push_back({"Entry" + std::to_string(i),
                        "C:\\Program Files (x86)\\Prismata\\ImageCache\\picture " + std::to_string(i) + ".bmp"});
    list.push_back({"Stamp", "01DC2F3A00000000"});
    ASSERT_TRUE(fw::WriteProfileSectionKeys("Photos", list, {}));

    const std::string file = readFile();
    EXPECT_EQ(support::readTextFile(link), file);
    DeleteFileA(link.c_str());
    EXPECT_GT(file.size(), 150000u);
    const std::string head = "; settings\r\n[Settings]\r\nSpinX = -45\r\n\r\n[Photos]\r\nCount=2500\r\nEntry0=";
    const std::string tail = ".bmp\r\nStamp=01DC2F3A00000000\r\n[Show]\r\nPosition=x";
    EXPECT_EQ(file.substr(0, head.size()), head);
    EXPECT_EQ(file.substr(file.size() - tail.size()), tail);

    const std::optional<fw::ProfileSection> photos = fw::ReadProfileSectionOnce("Photos");
    ASSERT_TRUE(photos);
    EXPECT_EQ(photos->keyCount(), list.size());
    for (const fw::ProfileKey& key : list)
        ASSERT_EQ(photos->value(key.name), key.value) << key.name;
    for (int i : {0, 1234, 2499})
        EXPECT_EQ(fw::GetProfileString("Photos", ("Entry" + std::to_string(i)).c_str()), list[i + 1].value);
    EXPECT_EQ(fw::GetProfileInt("Photos", "Count", -1), 2500);
    EXPECT_EQ(fw::GetProfileString("Photos", "Stamp"), "01DC2F3A00000000");
    EXPECT_EQ(fw::GetProfileInt("Settings", "SpinX", 0), -45);
}

// Unicode text (which the profile functions read and write as such) is changed through them, a key at a time;
// a file that another program holds open, or a folder in its place, is reported and left as it was.
TEST_F(ProfileStore, UnicodeFilesAreChangedKeyByKeyAndUnwritableOnesAreReported) {
    const std::wstring text = L"\xFEFF[Settings]\r\nPicturePath=C:\\Pictures\\2023\r\n[Photos]\r\nCount=1\r\n";
    writeFile(std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t)));
    EXPECT_FALSE(fw::ReadProfileSectionOnce("Photos"));
    ASSERT_TRUE(fw::WriteProfileSectionKeys("Photos", {{"Count", "1"}, {"Entry0", "C:\\a.bmp"}}, {}));
    EXPECT_EQ(readFile().substr(0, 2), "\xFF\xFE");
    EXPECT_EQ(fw::GetProfileString("Photos", "Entry0"), "C:\\a.bmp");
    EXPECT_EQ(fw::GetProfileString("Settings", "PicturePath"), "C:\\Pictures\\2023");

    writeFile("[Photos]\r\nCount=0\r\n");
    {
        fw::FileHandle held(
            CreateFileA(m_path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        EXPECT_FALSE(fw::WriteProfileSectionKeys("Photos", {{"Count", "1"}, {"Entry0", "C:\\a.bmp"}}, {}));
    }
    EXPECT_EQ(readFile(), "[Photos]\r\nCount=0\r\n");

    ASSERT_TRUE(CreateDirectoryA((m_path + ".dir").c_str(), nullptr));
    m_app.setProfileFile(m_path + ".dir");
    EXPECT_FALSE(fw::WriteProfileSectionKeys("Photos", {{"Count", "1"}}, {}));
    RemoveDirectoryA((m_path + ".dir").c_str());
}

} // namespace
