// The picture-library rebuild inside the real program: OK in the configuration dialog builds the cache
// and the picture list, or refuses the cache folder and keeps the dialog open.
#include "library/LibraryText.h"
#include "resources/config_ids.h"
#include "tests/e2e/ConfigDriver.h"
#include "tests/win/LibraryTestSupport.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

class LibraryBuild : public ::testing::Test {
protected:
    std::string pictures() const { return m_pictures.path().substr(0, m_pictures.path().size() - 1); }
    std::string cache() const { return m_session.installFolder() + "ImageCache\\"; }

    TempFolder m_pictures{"pictures"};
    ConfigSession m_session;
};

TEST_F(LibraryBuild, OkBuildsTheCacheAndThePictureList) {
    for (int i = 0; i < 3; ++i)
        librarytest::writeJpeg(m_pictures.path() + "shot" + std::to_string(i) + ".jpg", 160, 120, [](int, int) {
            return librarytest::Rgb{150, 150, 150};
        });
    m_session.writeProfile("[Settings]\r\nPicturePath=" + pictures() + "\r\n");
    Logger logger;
    HWND dialog = m_session.open();
    ASSERT_TRUE(dialog);
    click(dialog, IDOK);

    HWND box = m_session.waitForWindow(library::text::kProcessedCaption);
    ASSERT_TRUE(box);
    EXPECT_EQ(windowText(GetDlgItem(box, 0xFFFF)), "Processed 3 image files");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(m_session.endsWithin(kDialogWait));

    EXPECT_EQ(m_session.value("Photos", "Count"), "3");
    for (int i = 0; i < 3; ++i) {
        std::string entry = m_session.value("Photos", ("Entry" + std::to_string(i)).c_str());
        EXPECT_EQ(entry.rfind(cache() + "shot", 0), 0u) << entry;
        EXPECT_NE(GetFileAttributesA(entry.c_str()), INVALID_FILE_ATTRIBUTES) << entry;
    }
    EXPECT_EQ(m_session.value("Settings", "PicturePath"), pictures());
    EXPECT_TRUE(logger.waitFor("Old count = 0, new count = 3\r\nProcessed 3 image files\r\n", 2000)) << logger.text();
}

TEST_F(LibraryBuild, CacheFolderIsRefusedAndTheDialogStaysOpen) {
    CreateDirectoryA(cache().c_str(), nullptr);
    writeTextFile(cache() + "kept.bmp", "x");
    m_session.writeProfile("[Settings]\r\nPicturePath=" + pictures() + "\r\n[Photos]\r\nCount=1\r\nEntry0=x\r\n");
    HWND dialog = m_session.open();
    ASSERT_TRUE(dialog);
    setControlText(dialog, IDC_FOLDER, cache());
    click(dialog, IDOK);

    HWND box = m_session.waitForWindow("Prismata Screen Saver", "#32770");
    ASSERT_TRUE(box);
    EXPECT_EQ(windowText(GetDlgItem(box, 0xFFFF)), library::text::kCacheFolderChosen);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(pumpUntil([&] { return !IsWindow(box); }, kDialogWait));
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_TRUE(responds(dialog));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_TRUE(m_session.endsWithin(kDialogWait));
    EXPECT_EQ(readTextFile(cache() + "kept.bmp"), "x");
    EXPECT_EQ(m_session.value("Photos", "Entry0"), "x");
}

} // namespace
