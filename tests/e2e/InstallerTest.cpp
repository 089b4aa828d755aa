// PrismataSetup.exe under Wine: a silent install that Prismata starts from, and an uninstaller that
// removes what was installed and nothing of the user's.
#include "tests/e2e/Harness.h"
#include "tests/e2e/SaverKit.h"
#include "tests/e2e/ScreenCapture.h"

#include <gtest/gtest.h>

#include <tlhelp32.h>

#include <cstdlib>
#include <optional>
#include <vector>

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

// In this program's own view of the registry by default: the 32-bit view, where the installer writes.
bool entryExists(REGSAM view = 0) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ | view, &key) != ERROR_SUCCESS)
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

std::string systemFolder() {
    char folder[MAX_PATH] = "";
    GetSystemDirectoryA(folder, sizeof folder);
    return folder;
}

// Where the screen-saver settings find a 32-bit screen saver: SysWOW64 on 64-bit Windows. Named in full, as
// the system folder's name would be redirected there for this 32-bit program whatever the installer did.
std::string systemCopy() {
    char folder[MAX_PATH] = "";
    if (GetSystemWow64DirectoryA(folder, sizeof folder) == 0)
        return systemFolder() + "\\Prismata.scr";
    return std::string(folder) + "\\Prismata.scr";
}

// The 64-bit system folder, as a 32-bit program on 64-bit Windows names it.
std::string nativeSystemCopy() {
    char windows[MAX_PATH] = "";
    GetWindowsDirectoryA(windows, sizeof windows);
    return std::string(windows) + "\\Sysnative\\Prismata.scr";
}

// The machine type in a program's PE header: IMAGE_FILE_MACHINE_I386 or _AMD64; 0 when it is none.
WORD machineOf(const std::string& path) {
    const std::string bytes = readTextFile(path);
    if (bytes.size() < 0x40)
        return 0;
    const DWORD peAt = *reinterpret_cast<const DWORD*>(bytes.data() + 0x3C);
    if (peAt > bytes.size() - 6 || bytes.compare(peAt, 4, std::string("PE\0\0", 4)) != 0)
        return 0;
    return *reinterpret_cast<const WORD*>(bytes.data() + peAt + 4);
}

// While it lives, the recording double stands in the system folder in place of icacls.exe (Wine's is a
// stub that keeps no access lists): what the installer asks of icacls is what it records.
class IcaclsRecorder {
public:
    IcaclsRecorder() {
        // Wine runs its own program for a system program's name unless told otherwise.
        m_native.setString("native");
        m_moved = MoveFileExA(m_program.c_str(), m_saved.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
        m_placed = CopyFileA((binFolder() + "stubs\\control.exe").c_str(), m_program.c_str(), FALSE) != FALSE;
    }
    ~IcaclsRecorder() {
        DeleteFileA(m_calls.c_str());
        if (m_placed)
            DeleteFileA(m_program.c_str());
        if (m_moved)
            MoveFileExA(m_saved.c_str(), m_program.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    IcaclsRecorder(const IcaclsRecorder&) = delete;
    IcaclsRecorder& operator=(const IcaclsRecorder&) = delete;

    bool placed() const { return m_placed; }
    void forget() const { DeleteFileA(m_calls.c_str()); }
    // The command lines it was started with, in order.
    std::vector<std::string> commands() const {
        std::vector<std::string> lines;
        const std::string calls = readTextFile(m_calls);
        const std::string key = "command=";
        for (size_t at = calls.find(key); at != std::string::npos; at = calls.find(key, at)) {
            at += key.size();
            lines.push_back(calls.substr(at, calls.find("\r\n", at) - at));
        }
        return lines;
    }

private:
    std::string m_program = systemFolder() + "\\icacls.exe";
    std::string m_saved = systemFolder() + "\\icacls.exe.system";
    std::string m_calls = systemFolder() + "\\icacls-calls.txt";
    bool m_moved = false;
    bool m_placed = false;
    support::RegistryValue m_native{HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", "icacls.exe"};
};

class Installer : public ::testing::Test {
protected:
    void SetUp() override {
        if (!exists(binFolder() + "PrismataSetup.exe"))
            GTEST_SKIP() << "PrismataSetup.exe was not built (no makensis, or the 64-bit twin build)";
    }
    // Whatever happens, the test prefix keeps no copy in the system folder.
    void TearDown() override { DeleteFileA(systemCopy().c_str()); }

    void install(bool toTarget = true) {
        // /D must come last and takes the path unquoted, blanks and all.
        Process setup("\"" + binFolder() + "PrismataSetup.exe\" /S" + (toTarget ? " /D=" + m_target : ""));
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
    EXPECT_FALSE(exists(nativeSystemCopy()));
    // Every program 32-bit, the entry in the 32-bit view only.
    for (const std::string& program : {m_target + "\\Prismata.scr", m_target + "\\PrismataPostInstall.exe",
                                       m_target + "\\Uninstall.exe", systemCopy(), binFolder() + "PrismataSetup.exe"})
        EXPECT_EQ(machineOf(program), IMAGE_FILE_MACHINE_I386) << program;
    EXPECT_FALSE(entryExists(KEY_WOW64_64KEY));
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

// Standard users may change the settings file and the cache and nothing else: not the folder itself, the
// programs, Uninstall.exe or the help, which an administrator runs or trusts. The Users group goes by its
// SID, which every language of Windows knows.
TEST_F(Installer, GrantsStandardUsersTheSettingsFileAndTheCacheOnly) {
    IcaclsRecorder icacls;
    ASSERT_TRUE(icacls.placed());
    const std::string settings = m_target + "\\Prismata.ini";
    const std::string tool = "\"" + systemFolder() + "\\icacls.exe\" ";
    const std::vector<std::string> grants = {
        tool + "\"" + settings + "\" /grant *S-1-5-32-545:(M)",
        tool + "\"" + m_target + "\\ImageCache\" /grant *S-1-5-32-545:(OI)(CI)(M)",
    };

    ASSERT_NO_FATAL_FAILURE(install());
    EXPECT_EQ(icacls.commands(), grants);
    // The file is there to be granted, and empty: every setting keeps its default.
    EXPECT_TRUE(exists(settings));
    EXPECT_EQ(readTextFile(settings), "");

    // A reinstall keeps the user's settings and asks for the same grants again.
    const std::string saved = "[Settings]\r\nSpinX=12\r\n";
    writeTextFile(settings, saved);
    icacls.forget();
    ASSERT_NO_FATAL_FAILURE(install());
    EXPECT_EQ(readTextFile(settings), saved);
    EXPECT_EQ(icacls.commands(), grants);
    ASSERT_NO_FATAL_FAILURE(uninstall());
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

// Prismata 0.4 as its 64-bit installer left it: its folder in the 64-bit Program Files with the programs, the
// user's settings and converted pictures, its copy in the 64-bit system folder and its uninstall entry in the
// 64-bit view of the registry. 64-bit programs stand in for its own. Removed again whatever the test does.
class Win64Prismata {
public:
    explicit Win64Prismata(const std::string& settings) {
        const std::string program = binFolder() + "win64\\D3D8Probe.exe";
        CreateDirectoryA(m_folder.c_str(), nullptr);
        CreateDirectoryA((m_folder + "\\ImageCache").c_str(), nullptr);
        for (const char* file : {"Prismata.scr", "PrismataPostInstall.exe", "Uninstall.exe"})
            CopyFileA(program.c_str(), (m_folder + "\\" + file).c_str(), FALSE);
        CopyFileA(program.c_str(), nativeSystemCopy().c_str(), FALSE);
        CopyFileA((binFolder() + "upright-picture.bmp").c_str(), picture().c_str(), FALSE);
        writeTextFile(m_folder + "\\Prismata.ini", settings + "[Photos]\r\nCount=1\r\nEntry0=" + picture() + "\r\n");
        HKEY key;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_WRITE | KEY_WOW64_64KEY, nullptr,
                            &key, nullptr) == ERROR_SUCCESS) {
            RegSetValueExA(key, "Inno Setup: App Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(m_folder.c_str()),
                           static_cast<DWORD>(m_folder.size() + 1));
            RegCloseKey(key);
        }
    }
    ~Win64Prismata() {
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, KEY_WOW64_64KEY, 0);
        DeleteFileA(nativeSystemCopy().c_str());
        for (const char* file : {"Prismata.scr", "PrismataPostInstall.exe", "Uninstall.exe", "Prismata.ini",
                                 "Prismata.hlp", "Prismata.chm"})
            DeleteFileA((m_folder + "\\" + file).c_str());
        DeleteFileA(picture().c_str());
        RemoveDirectoryA((m_folder + "\\ImageCache").c_str());
        RemoveDirectoryA(m_folder.c_str());
    }
    Win64Prismata(const Win64Prismata&) = delete;
    Win64Prismata& operator=(const Win64Prismata&) = delete;

    const std::string& folder() const { return m_folder; }
    std::string picture() const { return m_folder + "\\ImageCache\\upright-picture0.bmp"; }

private:
    std::string m_folder =
        std::string(std::getenv("ProgramW6432") ? std::getenv("ProgramW6432") : "C:\\Program Files") + "\\Prismata";
};

// Red above blue: the keep-upright picture (red band on top, blue at the bottom, a photo between) stands
// upright on the screen.
void expectUprightPicture(const Picture& shot) {
    long redCount = 0, blueCount = 0, photoCount = 0;
    double redY = 0, blueY = 0;
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x) {
            const std::uint32_t p = shot.at(x, y);
            const int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            if (r > 200 && g < 60 && b < 60)
                ++redCount, redY += y;
            else if (b > 200 && r < 60 && g < 60)
                ++blueCount, blueY += y;
            else if (r + g + b > 60 && g < 200)
                ++photoCount;
        }
    ASSERT_GT(redCount, 1000);
    ASSERT_GT(blueCount, 1000);
    EXPECT_GT(photoCount, 1000);
    EXPECT_LT(redY / redCount + 50, blueY / blueCount);
}

// An install over the 64-bit version keeps the folder the picture list names, replaces every 64-bit file
// and entry, and the show, started from SysWOW64 as the screen-saver settings start it, shows the same
// pictures with the same motion.
TEST_F(Installer, UpgradeFromThe64BitVersionKeepsTheLibraryAndLeavesNothing64Bit) {
    const std::string settings = "[Settings]\r\nSpinX=0\r\nSpinY=0\r\nSpinZ=0\r\nSpeedX=0\r\nSpeedY=0\r\n"
                                 "SpeedZ=0\r\nKeepUpright=1\r\n";
    Win64Prismata old(settings);
    ASSERT_EQ(machineOf(nativeSystemCopy()), IMAGE_FILE_MACHINE_AMD64);
    ASSERT_TRUE(entryExists(KEY_WOW64_64KEY));
    const std::string savedSettings = readTextFile(old.folder() + "\\Prismata.ini");
    m_target = old.folder();
    // As on a PC that had only the 64-bit version: no entry in the 32-bit view (the test run's own comes back).
    m_entry.remove();

    ASSERT_NO_FATAL_FAILURE(install(false));
    EXPECT_EQ(entryValue("Inno Setup: App Path"), old.folder());
    EXPECT_FALSE(entryExists(KEY_WOW64_64KEY));
    EXPECT_FALSE(exists(nativeSystemCopy()));
    for (const std::string& program : {old.folder() + "\\Prismata.scr", old.folder() + "\\PrismataPostInstall.exe",
                                       old.folder() + "\\Uninstall.exe", systemCopy()})
        EXPECT_EQ(machineOf(program), IMAGE_FILE_MACHINE_I386) << program;
    EXPECT_EQ(readTextFile(old.folder() + "\\Prismata.ini"), savedSettings);

    {
        Logger logger;
        ASSERT_TRUE(saver::moveCursor(300, 300));
        Process show("\"" + systemCopy() + "\" /s");
        HWND window = waitForProcessWindow(show.id(), saver::kSaverTitle, kWait);
        ASSERT_TRUE(window);
        // The list's picture is on face 0 long before two frame-rate lines.
        ASSERT_TRUE(logger.waitFor("Leaving texture loader thread, 0 length file name, image <= 6\r\n", kWait))
            << logger.text();
        auto frameRateLines = [&] {
            const std::string log = logger.text();
            int found = 0;
            for (size_t at = log.find(" frames per second"); at != std::string::npos;
                 at = log.find(" frames per second", at + 1))
                ++found;
            return found;
        };
        ASSERT_TRUE(pumpUntil([&] { return frameRateLines() >= 2; }, kWait)) << logger.text();
        EXPECT_EQ(countLines(logger.text(), "Load texture succeeded"), 1) << logger.text();
        EXPECT_NE(logger.text().find("Cube motion: spin 0.000000 0.000000 0.000000 rad/s, drift 0.000000 0.000000 "
                                     "0.000000 per frame"),
                  std::string::npos)
            << logger.text();
        EXPECT_NE(logger.text().find("keep upright 1\r\n"), std::string::npos) << logger.text();
        const Picture shot = saver::captureWholeScreen();
        saver::keepScreenshot("Installer.UpgradedShowFromSysWOW64", shot);
        expectUprightPicture(shot);
        ASSERT_TRUE(saver::xdotool("key a"));
        DWORD code = 1;
        ASSERT_TRUE(show.waitForExit(kWait, code));
        EXPECT_EQ(code, 0u);
    }

    ASSERT_NO_FATAL_FAILURE(uninstall());
    EXPECT_FALSE(exists(systemCopy()));
    EXPECT_TRUE(pumpUntil([&] { return !exists(old.folder()); }, kWait));
}

} // namespace

namespace {

// The installer's own window, titled "Prismata Setup: <page>". Its button with id 1 is Install, then Close.
HWND findSetupWindow(DWORD processId) {
    HWND found = nullptr;
    support::forEachTopWindow([&](HWND hwnd) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner != processId || windowText(hwnd).rfind("Prismata Setup", 0) != 0)
            return true;
        found = hwnd;
        return false;
    });
    return found;
}

std::string nextButtonText(HWND setup) {
    return windowText(GetDlgItem(setup, 1));
}

// The program file name ("explorer.exe") of the process that started the given one.
std::string parentProgram(DWORD processId) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return "";
    std::vector<PROCESSENTRY32> processes;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        processes.push_back(entry);
    CloseHandle(snapshot);
    for (const PROCESSENTRY32& child : processes)
        if (child.th32ProcessID == processId)
            for (const PROCESSENTRY32& parent : processes)
                if (parent.th32ProcessID == child.th32ParentProcessID)
                    return parent.szExeFile;
    return "";
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
    // The elevated installer asks the desktop shell to start the welcome, so that it runs as the user of
    // the desktop, unelevated, and the screen saver is chosen in that user's account.
    DWORD welcomeProcess = 0;
    GetWindowThreadProcessId(welcome, &welcomeProcess);
    EXPECT_STRCASEEQ(parentProgram(welcomeProcess).c_str(), "explorer.exe");
    const std::string calls = m_target + "\\control-calls.txt";
    EXPECT_FALSE(exists(calls));
    PostMessageA(welcome, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(pumpUntil([&] { return readTextFile(calls).find("folder=") != std::string::npos; }, kWait));
    // Wine's default, Windows 7, has the screen-saver settings as a dialog of their own.
    EXPECT_EQ(readTextFile(calls).find("command=control.exe desk.cpl,,@screensaver\r\n"), 0u);
    ASSERT_NO_FATAL_FAILURE(uninstall());
}

} // namespace
