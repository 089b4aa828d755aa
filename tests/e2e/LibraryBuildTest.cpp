// The picture-library rebuild inside the real program: OK in the configuration dialog builds the cache
// and the picture list, or refuses the cache folder and keeps the dialog open.
#include "framework/Handles.h"
#include "library/LibraryText.h"
#include "resources/config_ids.h"
#include "tests/e2e/ConfigDriver.h"
#include "tests/win/LibraryTestSupport.h"

#include <gtest/gtest.h>

#include <map>

using namespace e2e;

namespace {

// The Linux name of a Windows path, or empty.
std::string linuxName(const std::string& path) {
    // Wine's own export, declared cdecl by Wine.
    using UnixFileName = char*(__cdecl*)(LPCWSTR);
    auto unixFileName = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    wchar_t wide[MAX_PATH] = L"";
    if (!unixFileName || !MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH))
        return std::string();
    char* name = unixFileName(wide);
    if (!name)
        return std::string();
    std::string copy = name;
    (void)HeapFree(GetProcessHeap(), 0, name);
    return copy;
}

// Runs a Linux program and waits until the path exists or not, as wanted: Wine hands out no handle to wait on
// for a Linux program.
bool runLinux(std::string command, const std::string& path, bool exists) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    fw::KernelHandle thread(process.hThread), handle(process.hProcess);
    return support::waitUntil([&] { return (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) == exists; },
                              10000);
}

// A Linux symbolic link to a folder, made with the system's ln, which Wine lists as a reparse point as Windows
// lists a junction; removed at the end (Windows calls cannot remove it here). target is relative to the link's
// folder.
class LinuxLink {
public:
    LinuxLink(const std::string& link, const std::string& target) : m_link(link), m_name(linuxName(link)) {
        m_made = !m_name.empty() && runLinux("/bin/ln -s \"" + target + "\" \"" + m_name + "\"", m_link, true);
    }
    ~LinuxLink() {
        if (m_made)
            (void)runLinux("/bin/rm \"" + m_name + "\"", m_link, false);
    }
    LinuxLink(const LinuxLink&) = delete;
    LinuxLink& operator=(const LinuxLink&) = delete;
    bool made() const { return m_made; }

private:
    std::string m_link;
    std::string m_name;
    bool m_made = false;
};

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

// A photo tree with a link back to its top, a hidden folder and the cache folder inside it (the install folder
// is the picture folder): with sub-folders every picture comes once, folders in the order a person reads them
// ("2 Feb" before "10 Oct"), each with a cache file of its own although two share a name. The list stored was
// made with the box off and holds as many entries as the tree has pictures: only ticking the box forces the
// rebuild. Opened again with the box on, OK finds the same count
// after its walk and changes nothing.
TEST_F(LibraryBuild, SubfoldersTakeTheWholeTreeOnceInNameOrder) {
    ASSERT_EQ(GetACP(), 65001u);
    const std::string root = m_session.installFolder();
    for (const char* folder : {"2 Feb", "10 Oct", "10 Oct\\Ακρόπολη", "Hidden", "ImageCache"})
        ASSERT_TRUE(CreateDirectoryA((root + folder).c_str(), nullptr)) << folder;
    const std::map<std::string, std::string> photos = {{"a.jpg", "Aqua"},
                                                       {"2 Feb\\a.jpg", "Garden"},
                                                       {"10 Oct\\東京.jpg", "YellowFlower"},
                                                       {"10 Oct\\Ακρόπολη\\café.jpg", "LadyBird"},
                                                       {"Hidden\\h.jpg", "Dune"},
                                                       {"ImageCache\\kept.jpg", "Wood"}};
    for (const auto& [name, wallpaper] : photos) {
        const std::string source = "Z:\\usr\\share\\backgrounds\\mate\\nature\\" + wallpaper + ".jpg";
        ASSERT_TRUE(CopyFileA(source.c_str(), (root + name).c_str(), FALSE)) << source;
    }
    ASSERT_TRUE(SetFileAttributesA((root + "Hidden").c_str(), FILE_ATTRIBUTE_HIDDEN));
    const LinuxLink loop(root + "2 Feb\\loop", "..");
    ASSERT_TRUE(loop.made());
    ASSERT_EQ(GetFileAttributesA((root + "2 Feb\\loop").c_str()),
              DWORD(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
    const std::string folder = root.substr(0, root.size() - 1);
    m_session.writeProfile("[Settings]\r\nPicturePath=" + folder +
                           "\r\nIncludeSubfolders=0\r\n[Photos]\r\nCount=4\r\nEntry0=x\r\n");
    Logger logger;

    HWND dialog = m_session.open();
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(isChecked(dialog, IDC_INCLUDE_SUBFOLDERS));
    click(dialog, IDC_INCLUDE_SUBFOLDERS);
    ASSERT_TRUE(pumpUntil([&] { return isChecked(dialog, IDC_INCLUDE_SUBFOLDERS); }, kDialogWait));
    ASSERT_TRUE(waitForOK(dialog));
    click(dialog, IDOK);
    HWND box = m_session.waitForWindow(library::text::kProcessedCaption);
    ASSERT_TRUE(box);
    EXPECT_EQ(windowText(GetDlgItem(box, 0xFFFF)), "Processed 4 image files");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(m_session.endsWithin(kDialogWait));

    const std::vector<std::string> expected = {cache() + "a.bmp", cache() + "a-0.bmp", cache() + "東京.bmp",
                                               cache() + "café.bmp"};
    ASSERT_EQ(m_session.value("Photos", "Count"), "4");
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(m_session.value("Photos", ("Entry" + std::to_string(i)).c_str()), expected[i]) << i;
        EXPECT_NE(GetFileAttributesA(expected[i].c_str()), INVALID_FILE_ATTRIBUTES) << expected[i];
    }
    EXPECT_EQ(m_session.value("Settings", "IncludeSubfolders"), "1");
    EXPECT_TRUE(logger.waitFor("Old count = 4, new count = 4\r\nProcessed 4 image files\r\n", 2000)) << logger.text();

    dialog = m_session.open();
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(isChecked(dialog, IDC_INCLUDE_SUBFOLDERS));
    ASSERT_TRUE(waitForOK(dialog));
    click(dialog, IDOK);
    // No box: the program ends by itself.
    ASSERT_TRUE(m_session.endsWithin(kDialogWait));
    EXPECT_EQ(m_session.value("Photos", "Entry3"), expected[3]);
    EXPECT_NE(GetFileAttributesA(expected[3].c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(logger.text().find("new count", logger.text().find("new count = 4") + 1), std::string::npos);
}

} // namespace
