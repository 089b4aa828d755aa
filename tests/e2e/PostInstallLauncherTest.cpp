// The post-install launcher under Wine: the welcome box first, then control.exe with the Display
// Properties page for the system version, never waiting for it and always ending with 0.
#include "postinstall/PostInstallTexts.h"
#include "tests/e2e/Harness.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using namespace e2e;

namespace {

constexpr char kLauncher[] = "PrismataPostInstall.exe";
constexpr DWORD kWait = 15000;

// Wine reports the named version to every program of that file name while this lives.
struct VersionEmulation : AppDefault {
    VersionEmulation(const std::string& program, const std::string& version)
        : AppDefault(program, "", "Version", version) {}
};

// One "name=value" line of what the stub control.exe recorded.
std::string recorded(const std::string& calls, const std::string& name) {
    size_t at = calls.find(name + "=");
    if (at == std::string::npos)
        return "<none>";
    at += name.size() + 1;
    return calls.substr(at, calls.find("\r\n", at) - at);
}

class PostInstall : public ::testing::Test {
protected:
    // The launcher and a stub control.exe in a folder of their own: the program's folder comes first
    // on the search path, before the system's control.exe.
    void SetUp() override {
        ASSERT_TRUE(CopyFileA((binFolder() + kLauncher).c_str(), (m_folder.path() + kLauncher).c_str(), FALSE));
        ASSERT_TRUE(
            CopyFileA((binFolder() + "stubs\\control.exe").c_str(), (m_folder.path() + "control.exe").c_str(), FALSE));
    }

    std::unique_ptr<Process> start() const {
        return std::make_unique<Process>("\"" + m_folder.path() + kLauncher + "\"");
    }
    std::string calls() const { return readTextFile(m_folder.path() + "control-calls.txt"); }
    bool waitForCall() const {
        return pumpUntil([&] { return calls().find("folder=") != std::string::npos; }, kWait);
    }

    // Answers the welcome box and expects the launcher to end with 0.
    void acceptWelcome(Process& launcher) const {
        HWND box = waitForProcessWindow(launcher.id(), postinstall::kWelcomeCaption, kWait, "#32770");
        ASSERT_TRUE(box);
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        DWORD code = 1;
        ASSERT_TRUE(launcher.waitForExit(kWait, code));
        EXPECT_EQ(code, 0u);
    }

    TempFolder m_folder{"postinstall"};
};

TEST_F(PostInstall, WelcomeBoxComesFirstThenControlStartsWithTheCommandLine) {
    auto launcher = start();
    ASSERT_TRUE(launcher->started());
    HWND box = waitForProcessWindow(launcher->id(), postinstall::kWelcomeCaption, kWait, "#32770");
    ASSERT_TRUE(box);

    bool foundText = false;
    for (HWND text = FindWindowExA(box, nullptr, "Static", nullptr); text;
         text = FindWindowExA(box, text, "Static", nullptr))
        foundText |= windowText(text) == postinstall::kWelcomeText;
    EXPECT_TRUE(foundText);
    std::vector<std::string> buttons;
    for (HWND button = FindWindowExA(box, nullptr, "Button", nullptr); button;
         button = FindWindowExA(box, button, "Button", nullptr))
        if (IsWindowVisible(button))
            buttons.push_back(windowText(button));
    EXPECT_EQ(buttons, std::vector<std::string>{"OK"});

    // Nothing is started while the user reads.
    Sleep(700);
    DWORD code = 1;
    EXPECT_FALSE(launcher->waitForExit(0, code));
    EXPECT_EQ(calls(), "");

    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(launcher->waitForExit(kWait, code));
    EXPECT_EQ(code, 0u);
    ASSERT_TRUE(waitForCall());
    std::string call = calls();
    // Wine's default is Windows 7 (6.1), where the screen-saver settings are a dialog of their own.
    EXPECT_EQ(recorded(call, "command"), "control.exe desk.cpl,,@screensaver");
    EXPECT_EQ(recorded(call, "startupFlags"), "0");
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof folder, folder);
    EXPECT_EQ(recorded(call, "folder"), folder);
}

struct VersionCase {
    const char* emulated;
    const char* version;
    const char* command;
};

TEST_F(PostInstall, CommandLineFollowsTheSystemVersion) {
    const VersionCase cases[] = {
        {"win98", "4.10", "control.exe desk.cpl, display, 1"},  // Windows 98
        {"win2k", "5.0", "control.exe desk.cpl, display, 1"},   // 2000
        {"winxp", "5.1", "control.exe desk.cpl, display, 2"},   // XP
        {"win2003", "5.2", "control.exe desk.cpl, display, 2"}, // Server 2003
        {"vista", "6.0", "control.exe desk.cpl,,@screensaver"}, // Vista
        // 10 and 11 tell a program that does not declare them, as the stub, that they are 8 (6.2).
        {"win10", "6.2", "control.exe desk.cpl,,@screensaver"},
    };
    for (const VersionCase& c : cases) {
        SCOPED_TRACE(c.emulated);
        DeleteFileA((m_folder.path() + "control-calls.txt").c_str());
        // The stub runs under the same emulation and reports the version it saw.
        VersionEmulation launcherVersion(kLauncher, c.emulated);
        VersionEmulation stubVersion("control.exe", c.emulated);
        auto launcher = start();
        ASSERT_NO_FATAL_FAILURE(acceptWelcome(*launcher));
        ASSERT_TRUE(waitForCall());
        EXPECT_EQ(recorded(calls(), "version"), c.version);
        EXPECT_EQ(recorded(calls(), "command"), c.command);
    }
}

TEST_F(PostInstall, EndsWithZeroWhenControlCannotBeStarted) {
    // Found first on the search path, and no program.
    writeTextFile(m_folder.path() + "control.exe", "not a program");
    auto launcher = start();
    ASSERT_NO_FATAL_FAILURE(acceptWelcome(*launcher));
}

template <typename Function> Function lookUp(HMODULE library, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

BOOL CALLBACK collectResourceType(HMODULE, LPSTR type, LONG_PTR param) {
    reinterpret_cast<std::vector<ULONG_PTR>*>(param)->push_back(reinterpret_cast<ULONG_PTR>(type));
    return TRUE;
}

TEST(PostInstallFile, HoldsOnlyItsVersionResource) {
    const std::string file = binFolder() + kLauncher;
    HMODULE library = LoadLibraryA("version.dll");
    ASSERT_TRUE(library);
    auto infoSize = lookUp<DWORD(WINAPI*)(LPCSTR, LPDWORD)>(library, "GetFileVersionInfoSizeA");
    auto info = lookUp<BOOL(WINAPI*)(LPCSTR, DWORD, DWORD, LPVOID)>(library, "GetFileVersionInfoA");
    auto query = lookUp<BOOL(WINAPI*)(LPCVOID, LPCSTR, LPVOID*, PUINT)>(library, "VerQueryValueA");
    ASSERT_TRUE(infoSize && info && query);
    DWORD size = infoSize(file.c_str(), nullptr);
    ASSERT_GT(size, 0u);
    std::vector<char> data(size);
    ASSERT_TRUE(info(file.c_str(), 0, size, data.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(query(data.data(), "\\", reinterpret_cast<LPVOID*>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00000005u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000000u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00000005u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000000u);
    const std::pair<const char*, const char*> fields[] = {
        {"FileDescription", "PrismataPostInstall"},
        {"InternalName", "PrismataPostInstall"},
        {"ProductName", "PrismataPostInstall"},
        {"OriginalFilename", "PrismataPostInstall.exe"},
        {"CompanyName", ""},
        {"FileVersion", "0.5.0"},
        {"ProductVersion", "0.5.0"},
    };
    for (const auto& [name, expected] : fields) {
        char* value = nullptr;
        ASSERT_TRUE(query(data.data(), (std::string("\\StringFileInfo\\040904b0\\") + name).c_str(),
                          reinterpret_cast<LPVOID*>(&value), &length))
            << name;
        EXPECT_STREQ(value, expected) << name;
    }
    FreeLibrary(library);

    // No icon: the version block and the manifest are the only resources.
    HMODULE image = LoadLibraryExA(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(image);
    std::vector<ULONG_PTR> types;
    EnumResourceTypesA(image, &collectResourceType, reinterpret_cast<LONG_PTR>(&types));
    EXPECT_EQ(types, (std::vector<ULONG_PTR>{reinterpret_cast<ULONG_PTR>(RT_VERSION),
                                             reinterpret_cast<ULONG_PTR>(RT_MANIFEST)}));
    // The manifest Windows reads at start: the invoker's rights, DPI awareness and UTF-8, and no controls
    // library (it shows a message box only).
    HRSRC found = FindResourceA(image, MAKEINTRESOURCEA(1), RT_MANIFEST);
    ASSERT_TRUE(found);
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(image, found)));
    const std::string manifest(bytes, SizeofResource(image, found));
    FreeLibrary(image);
    for (const char* wanted : {"<requestedExecutionLevel level=\"asInvoker\"", ">PerMonitorV2, PerMonitor<",
                               ">true/pm<", ">UTF-8</activeCodePage>", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
        EXPECT_NE(manifest.find(wanted), std::string::npos) << wanted;
    EXPECT_EQ(manifest.find("Common-Controls"), std::string::npos);
}

} // namespace
