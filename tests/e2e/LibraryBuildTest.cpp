// The picture-library rebuild inside the real program: OK in the configuration dialog builds the cache
// and the picture list, or refuses the cache folder and keeps the dialog open.
#include "library/LibraryText.h"
#include "resources/config_ids.h"
#include "tests/e2e/ConfigDriver.h"
#include "tests/win/LibraryTestSupport.h"

#include <gtest/gtest.h>

#include <map>

using namespace e2e;

namespace {

class LibraryBuild : public ::testing::Test {
protected:
    std::string pictures() const { return m_pictures.path().substr(0, m_pictures.path().size() - 1); }
    std::string cache() const { return m_session.installFolder() + "ImageCache\\"; }
    // Accepts the dialog with the picture folder of the profile and answers the rebuild's box, which must read
    // "Processed <count> image files"; the program must then end.
    void buildThroughOk(int count) {
        HWND dialog = m_session.open();
        ASSERT_TRUE(dialog);
        ASSERT_TRUE(waitForOK(dialog));
        click(dialog, IDOK);
        HWND box = m_session.waitForWindow(library::text::kProcessedCaption);
        ASSERT_TRUE(box);
        EXPECT_EQ(windowText(GetDlgItem(box, 0xFFFF)), "Processed " + std::to_string(count) + " image files");
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(m_session.endsWithin(kDialogWait));
    }

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
    buildThroughOk(3);
    if (HasFatalFailure())
        return;

    EXPECT_EQ(m_session.value("Photos", "Count"), "3");
    for (int i = 0; i < 3; ++i) {
        std::string entry = m_session.value("Photos", ("Entry" + std::to_string(i)).c_str());
        EXPECT_EQ(entry.rfind(cache() + "shot", 0), 0u) << entry;
        EXPECT_NE(GetFileAttributesA(entry.c_str()), INVALID_FILE_ATTRIBUTES) << entry;
    }
    EXPECT_EQ(m_session.value("Settings", "PicturePath"), pictures());
    EXPECT_TRUE(logger.waitFor("Old count = 0, new count = 3\r\nProcessed 3 image files\r\n", 2000)) << logger.text();
}

// Real photographs under names in Japanese and Greek (no Windows-1252 character) and in French (one): each
// is converted to a cache file of its own name, listed, traced and shown. This test program runs with the
// program's code page (UTF-8), so its strings and file functions carry the same bytes.
TEST_F(LibraryBuild, PicturesNamedInAnyLanguageAreConvertedListedTracedAndShown) {
    ASSERT_EQ(GetACP(), 65001u);
    const std::map<std::string, std::string> photos = {
        {"東京", "Aqua"}, {"Ακρόπολη", "Garden"}, {"café", "YellowFlower"}};
    for (const auto& [name, wallpaper] : photos) {
        const std::string source = "Z:\\usr\\share\\backgrounds\\mate\\nature\\" + wallpaper + ".jpg";
        ASSERT_TRUE(CopyFileA(source.c_str(), (m_pictures.path() + name + ".jpg").c_str(), FALSE)) << source;
    }
    m_session.writeProfile("[Settings]\r\nPicturePath=" + pictures() + "\r\n");
    Logger logger;
    buildThroughOk(3);
    if (HasFatalFailure())
        return;

    // Listed as cache files named after their sources, in the file's own bytes.
    ASSERT_EQ(m_session.value("Photos", "Count"), "3");
    std::map<std::string, int> listed;
    for (int i = 0; i < 3; ++i)
        ++listed[m_session.value("Photos", ("Entry" + std::to_string(i)).c_str())];
    for (const auto& [name, wallpaper] : photos) {
        const std::string cached = cache() + name + ".bmp";
        EXPECT_EQ(listed[cached], 1) << cached << " in\n" << m_session.profile();
        EXPECT_TRUE(fileExists(cached)) << cached;
        // The photographs are 16:10, so each is letter-boxed and its source traced by name.
        const std::string preserving = "Preserving aspect ratio for image " + m_pictures.path() + name + ".jpg";
        EXPECT_EQ(countLines(logger.text(), preserving), 1) << preserving << " in\n" << logger.text();
    }

    // Shown: the loader reads every cache file without a failure.
    auto preview = startPrismata("/p " + std::to_string(reinterpret_cast<intptr_t>(GetDesktopWindow())));
    HWND window = waitForProcessWindow(preview->id(), "Prismata Preview", kDialogWait);
    ASSERT_TRUE(window);
    const auto loaded = [&] {
        const std::string log = logger.text();
        return countLines(log, "Load texture succeeded") +
               static_cast<int>(log.find("Failed to load texture") != log.npos);
    };
    EXPECT_TRUE(pumpUntil([&] { return loaded() >= 3; }, kDialogWait)) << logger.text();
    PostMessageA(window, WM_CLOSE, 0, 0);
    DWORD code = 1;
    EXPECT_TRUE(preview->waitForExit(kDialogWait, code));
    const std::string log = logger.text();
    EXPECT_EQ(log.find("Failed to load texture"), std::string::npos) << log;
    for (const auto& [name, wallpaper] : photos)
        EXPECT_GE(countLines(log, "Loading texture " + cache() + name + ".bmp"), 1) << name << " in\n" << log;
}

TEST_F(LibraryBuild, CacheFolderIsRefusedAndTheDialogStaysOpen) {
    CreateDirectoryA(cache().c_str(), nullptr);
    writeTextFile(cache() + "kept.bmp", "x");
    m_session.writeProfile("[Settings]\r\nPicturePath=" + pictures() + "\r\n[Photos]\r\nCount=1\r\nEntry0=x\r\n");
    HWND dialog = m_session.open();
    ASSERT_TRUE(dialog);
    setControlText(dialog, IDC_FOLDER, cache());
    ASSERT_TRUE(waitForOK(dialog));
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
