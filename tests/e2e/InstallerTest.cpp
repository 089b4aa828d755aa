// PrismataSetup.exe under Wine: a silent install that Prismata starts from, and an uninstaller that
// removes what was installed and nothing of the user's.
#include "tests/e2e/Harness.h"

#include <gtest/gtest.h>

#include <optional>

using namespace e2e;

namespace {

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Prismata_is1";
constexpr DWORD kWait = 30000;

std::optional<std::string> entryValue(const char* name) {
    char data[1024];
    DWORD size = sizeof data;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::string(data);
}

bool entryExists() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool isFolder(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string systemCopy() {
    char folder[MAX_PATH] = "";
    GetSystemDirectoryA(folder, sizeof folder);
    return std::string(folder) + "\\Prismata.scr";
}

class Installer : public ::testing::Test {
protected:
    void SetUp() override {
        if (!exists(binFolder() + "PrismataSetup.exe"))
            GTEST_SKIP() << "PrismataSetup.exe was not built (no makensis)";
    }
    // Whatever happens, the test prefix keeps no copy in the system folder.
    void TearDown() override { DeleteFileA(systemCopy().c_str()); }

    void install() {
        // /D must come last and takes the path unquoted, blanks and all.
        Process setup("\"" + binFolder() + "PrismataSetup.exe\" /S /D=" + m_target);
        DWORD code = 1;
        ASSERT_TRUE(setup.waitForExit(kWait, code));
        ASSERT_EQ(code, 0u);
    }

    // Runs the uninstall command the entry names and waits until the uninstaller, which runs from a
    // copy of itself, is done.
    void uninstall() {
        std::optional<std::string> command = entryValue("UninstallString");
        ASSERT_TRUE(command);
        Process uninstaller(*command + " /S");
        ASSERT_TRUE(uninstaller.started());
        EXPECT_TRUE(pumpUntil([&] { return !entryExists() && !exists(m_target + "\\Uninstall.exe"); }, kWait));
    }

    InstallEntry m_entry; // puts the test run's own value back afterwards
    TempFolder m_parent{"setup"};
    std::string m_target = m_parent.path() + "Prismata Saver";
};

TEST_F(Installer, SilentInstallLetsPrismataStartAndUninstallRemovesIt) {
    ASSERT_NO_FATAL_FAILURE(install());
    EXPECT_EQ(entryValue("Inno Setup: App Path"), m_target);
    EXPECT_EQ(entryValue("DisplayName"), "Prismata");
    EXPECT_EQ(entryValue("UninstallString"), "\"" + m_target + "\\Uninstall.exe\"");
    for (const char* file : {"Prismata.scr", "PrismataPostInstall.exe", "Uninstall.exe"})
        EXPECT_TRUE(exists(m_target + "\\" + file)) << file;
    // The help files both dialogs open, WinHelp's and HTML Help's, as the build made them.
    for (const char* file : {"Prismata.hlp", "Prismata.chm"}) {
        std::string built = readTextFile(binFolder() + file);
        EXPECT_GT(built.size(), 1000u) << file;
        EXPECT_TRUE(readTextFile(m_target + "\\" + file) == built) << file;
    }
    EXPECT_TRUE(isFolder(m_target + "\\ImageCache"));
    EXPECT_TRUE(exists(systemCopy()));
    // A silent install greets nobody.
    EXPECT_FALSE(pumpUntil([] { return FindWindowA(nullptr, "Welcome to Prismata") != nullptr; }, 1000));

    {
        Logger logger;
        Process prismata("\"" + m_target + "\\Prismata.scr\" /t");
        HWND window = waitForProcessWindow(prismata.id(), "Prismata Screen Saver", kWait);
        ASSERT_TRUE(window);
        EXPECT_EQ(findProcessWindow(prismata.id(), "Prismata Fatal Error"), nullptr);
        EXPECT_TRUE(logger.waitFor(" Prismata starting in test mode\r\n", 5000));
        PostMessageA(window, WM_KEYDOWN, 'A', 0);
        DWORD code = 1;
        ASSERT_TRUE(prismata.waitForExit(kWait, code));
        EXPECT_EQ(code, 0u);
    }

    ASSERT_NO_FATAL_FAILURE(uninstall());
    EXPECT_FALSE(entryExists());
    EXPECT_FALSE(exists(systemCopy()));
    // The uninstaller's copy of itself removes the folder last, after the entry and its own file.
    EXPECT_TRUE(pumpUntil([&] { return !exists(m_target); }, kWait));
}

TEST_F(Installer, UninstallKeepsTheUsersPictures) {
    ASSERT_NO_FATAL_FAILURE(install());
    // Pictures kept inside the program folder and in a folder of their own, the cache and the settings.
    const std::string inside = m_target + "\\My Photos\\";
    const std::string outside = m_parent.path() + "Pictures\\";
    ASSERT_TRUE(CreateDirectoryA(inside.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(outside.c_str(), nullptr));
    writeTextFile(inside + "beach.jpg", "beach picture");
    writeTextFile(inside + "scan.bmp", "scanned picture");
    writeTextFile(outside + "forest.bmp", "forest picture");
    writeTextFile(m_target + "\\ImageCache\\beach0.bmp", "converted copy");
    writeTextFile(m_target + "\\Prismata.ini", "[Settings]\r\nPicturePath=" + outside + "\r\n");
    // The help viewer's index, which Windows Help writes beside a help file it has opened.
    writeTextFile(m_target + "\\Prismata.GID", "help index");

    ASSERT_NO_FATAL_FAILURE(uninstall());
    EXPECT_FALSE(exists(m_target + "\\Prismata.scr"));
    EXPECT_FALSE(exists(m_target + "\\PrismataPostInstall.exe"));
    EXPECT_FALSE(exists(m_target + "\\Prismata.ini"));
    EXPECT_FALSE(exists(m_target + "\\Prismata.hlp"));
    EXPECT_FALSE(exists(m_target + "\\Prismata.chm"));
    EXPECT_FALSE(exists(m_target + "\\Prismata.GID"));
    EXPECT_FALSE(exists(m_target + "\\ImageCache"));
    EXPECT_EQ(readTextFile(inside + "beach.jpg"), "beach picture");
    EXPECT_EQ(readTextFile(inside + "scan.bmp"), "scanned picture");
    EXPECT_EQ(readTextFile(outside + "forest.bmp"), "forest picture");
}

} // namespace

namespace {

// The installer's own window, titled "Prismata Setup: <page>". Its button with id 1 is Install, then Close.
HWND findSetupWindow(DWORD processId) {
    struct Search {
        DWORD processId;
        HWND found;
    } search{processId, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (owner != s->processId || windowText(hwnd).rfind("Prismata Setup", 0) != 0)
                return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string nextButtonText(HWND setup) {
    return windowText(GetDlgItem(setup, 1));
}

// The Close button is there from the start of the copying and enabled when it is done.
bool installFinished(HWND setup) {
    return nextButtonText(setup).find("Close") != std::string::npos && IsWindowEnabled(GetDlgItem(setup, 1));
}

TEST_F(Installer, InteractiveInstallEndsWithTheWelcome) {
    Process setup("\"" + binFolder() + "PrismataSetup.exe\" /D=" + m_target);
    HWND window = nullptr;
    ASSERT_TRUE(pumpUntil([&] { return (window = findSetupWindow(setup.id())) != nullptr; }, kWait));
    ASSERT_NE(nextButtonText(window).find("Install"), std::string::npos);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), 0);
    ASSERT_TRUE(pumpUntil([&] { return installFinished(window); }, kWait));

    // The launcher starts only on Close; a stub control.exe in the program folder then records the call.
    EXPECT_EQ(FindWindowA("#32770", "Welcome to Prismata"), nullptr);
    ASSERT_TRUE(CopyFileA((binFolder() + "stubs\\control.exe").c_str(), (m_target + "\\control.exe").c_str(), FALSE));
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), 0);
    DWORD code = 1;
    ASSERT_TRUE(setup.waitForExit(kWait, code));
    EXPECT_EQ(code, 0u);

    HWND welcome = nullptr;
    ASSERT_TRUE(pumpUntil([&] { return (welcome = FindWindowA("#32770", "Welcome to Prismata")) != nullptr; }, kWait));
    const std::string calls = m_target + "\\control-calls.txt";
    EXPECT_FALSE(exists(calls));
    PostMessageA(welcome, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(pumpUntil([&] { return readTextFile(calls).find("folder=") != std::string::npos; }, kWait));
    EXPECT_EQ(readTextFile(calls).find("command=control.exe desk.cpl, display, 2\r\n"), 0u);
    ASSERT_NO_FATAL_FAILURE(uninstall());
}

} // namespace
