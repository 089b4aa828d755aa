// Start-up of the real program: modes, traces, the registry entry and exit codes.
#include "tests/e2e/ConfigDriver.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace e2e;

namespace {

constexpr DWORD kExitWait = 15000;

class Startup : public ::testing::Test {
protected:
    void SetUp() override { m_entry.setFolder(m_install.path()); }

    std::string profile() const { return readTextFile(m_install.path() + "Prismata.ini"); }

    TempFolder m_install{"install"};
    InstallEntry m_entry;
};

TEST_F(Startup, UnknownSwitchEndsSilently) {
    Logger logger;
    auto prismata = startPrismata("/x");
    DWORD code = 1;
    ASSERT_TRUE(prismata->waitForExit(kExitWait, code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(logger.text(), "");
}

TEST_F(Startup, TestModeTracesItsModeAndClosesOnAKey) {
    Logger logger;
    auto prismata = startPrismata("/t");
    HWND window = waitForProcessWindow(prismata->id(), "Prismata Screen Saver", 15000);
    ASSERT_TRUE(window);
    ASSERT_TRUE(logger.waitFor("Starting in test mode\r\n", 5000));
    // The display engine's own lines follow at once.
    const std::string start = "*\r\n Prismata starting in test mode\r\n*\r\nStarting in test mode\r\n";
    EXPECT_EQ(logger.text().substr(0, start.size()), start);

    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 320);
    EXPECT_EQ(rect.bottom, 240);
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

    // A close from outside is ignored; a key ends the show. The window takes the posts in order, so the
    // key's close coming first shows the closes before it changed nothing.
    PostMessageA(window, WM_CLOSE, 0, 0);
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    PostMessageA(window, WM_KEYDOWN, 'A', 0);
    DWORD code = 1;
    ASSERT_TRUE(prismata->waitForExit(kExitWait, code));
    EXPECT_EQ(code, 0u);
    const std::string log = logger.text();
    const size_t keyClose = log.find("Screen saver window being closed because Key Down\r\n");
    EXPECT_NE(keyClose, std::string::npos);
    EXPECT_EQ(log.find("Screen saver window being closed because "), keyClose) << log;
}

TEST_F(Startup, ScreenSaverModeCoversTheScreenTopMost) {
    Logger logger;
    auto prismata = startPrismata("/s");
    HWND window = waitForProcessWindow(prismata->id(), "Prismata Screen Saver", 15000);
    ASSERT_TRUE(window);
    ASSERT_TRUE(logger.waitFor("*\r\n* Prismata starting in screen saver mode\r\n*\r\n", 5000));
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.right - rect.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom - rect.top, GetSystemMetrics(SM_CYSCREEN));
    EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    PostMessageA(window, WM_LBUTTONDOWN, 0, 0);
    DWORD code = 1;
    ASSERT_TRUE(prismata->waitForExit(kExitWait, code));
    EXPECT_EQ(code, 0u);
    EXPECT_NE(logger.text().find("because Left Mouse Button Down\r\n"), std::string::npos);
}

// A parent window of this process standing in for the Display Properties preview pane.
class PreviewPane {
public:
    PreviewPane() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "PreviewPaneForTest";
        RegisterClassA(&wc);
        m_hwnd = CreateWindowExA(0, wc.lpszClassName, "Preview pane", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 200,
                                 170, nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~PreviewPane() {
        if (IsWindow(m_hwnd))
            DestroyWindow(m_hwnd);
    }
    HWND hwnd() const { return m_hwnd; }

private:
    HWND m_hwnd;
};

TEST_F(Startup, PreviewFillsTheParentAndEndsWithIt) {
    Logger logger;
    PreviewPane pane;
    auto prismata = startPrismata("/p " + std::to_string(reinterpret_cast<intptr_t>(pane.hwnd())));
    HWND child = nullptr;
    ASSERT_TRUE(pumpUntil(
        [&] {
            child = FindWindowExA(pane.hwnd(), nullptr, nullptr, "Prismata Preview");
            return child != nullptr;
        },
        15000));
    EXPECT_TRUE(logger.waitFor("*\r\n* Prismata starting in thumbnail preview mode\r\n*\r\n", 5000));
    // The window becomes visible once its creation has finished in the other process.
    EXPECT_TRUE(pumpUntil([&] { return IsWindowVisible(child) != FALSE; }, 5000));
    RECT parentClient{}, childRect{};
    GetClientRect(pane.hwnd(), &parentClient);
    GetClientRect(child, &childRect);
    EXPECT_EQ(childRect.right, parentClient.right);
    EXPECT_EQ(childRect.bottom, parentClient.bottom);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE)) & 0xFFFF0000u, 0x56000000u);

    // Input to the preview ends nothing.
    PostMessageA(child, WM_KEYDOWN, 'A', 0);
    Sleep(300);
    EXPECT_TRUE(IsWindow(child));

    DestroyWindow(pane.hwnd());
    DWORD code = 1;
    ASSERT_TRUE(prismata->waitForExit(kExitWait, code));
    EXPECT_EQ(code, 0u);
}

// A parent of another program built on the same framework carries the same window property, which
// names an object only in that program.
void expectPreviewEndsWithForeignParent(HWND parent, const std::function<void()>& closeParent) {
    auto preview = startPrismata("/p " + std::to_string(reinterpret_cast<intptr_t>(parent)));
    HWND child = nullptr;
    ASSERT_TRUE(pumpUntil(
        [&] {
            child = FindWindowExA(parent, nullptr, nullptr, "Prismata Preview");
            return child && IsWindowVisible(child);
        },
        15000));
    // Messages for the child reach the preview's loop, which looks at the parents.
    PostMessageA(child, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
    InvalidateRect(child, nullptr, TRUE);
    closeParent();
    DWORD code = 1;
    ASSERT_TRUE(preview->waitForExit(kExitWait, code));
    EXPECT_EQ(code, 0u);
}

TEST_F(Startup, PreviewInsideAnotherPrismataWindowEndsWithItCleanly) {
    auto show = startPrismata("/t");
    HWND window = waitForProcessWindow(show->id(), "Prismata Screen Saver", 15000);
    ASSERT_TRUE(window);
    expectPreviewEndsWithForeignParent(window, [&] { PostMessageA(window, WM_KEYDOWN, 'A', 0); });
    DWORD code = 1;
    ASSERT_TRUE(show->waitForExit(kExitWait, code));
    EXPECT_EQ(code, 0u);
}

TEST_F(Startup, PreviewInsideTheLoggerWindowEndsWithItCleanly) {
    auto logger = std::make_unique<Logger>();
    HWND window = FindWindowA(nullptr, "Prismata Debug Logger");
    ASSERT_TRUE(window);
    // Hidden by default; shown, the preview in it paints like one in a settings pane.
    ShowWindow(window, SW_SHOWNOACTIVATE);
    expectPreviewEndsWithForeignParent(window, [&] { logger.reset(); });
}

TEST_F(Startup, PreviewWithoutARealParentEndsAtOnce) {
    for (const char* args : {"/p 0", "/p 987654", "/p", "/p -1"}) {
        auto prismata = startPrismata(args);
        DWORD code = 1;
        ASSERT_TRUE(prismata->waitForExit(kExitWait, code)) << args;
        EXPECT_EQ(code, 0u) << args;
    }
}

// OK with a picture folder that holds no pictures and matches the stored one: no rebuild runs, so the
// dialog closes at once and only the settings are written.
TEST_F(Startup, ConfigModeStoresTheDefaultsOnOK) {
    TempFolder pictures("pictures");
    writeTextFile(m_install.path() + "Prismata.ini", "[Settings]\r\nPicturePath=" + pictures.path() + "\r\n");
    Logger logger;
    auto prismata = startPrismata("/c:0");
    HWND dialog = waitForProcessWindow(prismata->id(), "Prismata Configuration", 15000);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(logger.waitFor("*\r\n Prismata starting in config mode\r\n*\r\n", 5000));
    ASSERT_TRUE(waitForOK(dialog));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    DWORD code = 1;
    ASSERT_TRUE(prismata->waitForExit(kExitWait, code));
    EXPECT_EQ(code, 0u);
    std::string ini = profile();
    for (const char* line :
         {"SpinX=40", "SpinY=60", "SpinZ=0", "SpeedX=60", "SpeedY=20", "SpeedZ=0", "CubeSize=0", "KeepUpright=0"})
        EXPECT_NE(ini.find(line), std::string::npos) << line;
    EXPECT_NE(ini.find("PicturePath=" + pictures.path()), std::string::npos);
}

TEST_F(Startup, ConfigModeCarriesStoredValuesThroughAndCancelWritesNothing) {
    TempFolder pictures("pictures");
    const std::string before = "[Settings]\r\nSpinX=-45\r\nCubeSize=12\r\nPicturePath=" + pictures.path() + "\r\n";
    writeTextFile(m_install.path() + "Prismata.ini", before);
    {
        auto prismata = startPrismata("");
        HWND dialog = waitForProcessWindow(prismata->id(), "Prismata Configuration", 15000);
        ASSERT_TRUE(dialog);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        DWORD code = 1;
        ASSERT_TRUE(prismata->waitForExit(kExitWait, code));
        EXPECT_EQ(code, 0u);
        EXPECT_EQ(profile(), before);
    }
    auto prismata = startPrismata("/c");
    HWND dialog = waitForProcessWindow(prismata->id(), "Prismata Configuration", 15000);
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(waitForOK(dialog));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    DWORD code = 1;
    ASSERT_TRUE(prismata->waitForExit(kExitWait, code));
    std::string ini = profile();
    EXPECT_NE(ini.find("SpinX=-45"), std::string::npos);
    EXPECT_NE(ini.find("CubeSize=12"), std::string::npos);
    EXPECT_NE(ini.find("SpinY=60"), std::string::npos);
}

// The fatal box: found, checked and dismissed; the program then ends with 0.
void expectFatalRegistryBox(const std::string& arguments) {
    Logger logger;
    auto prismata = startPrismata(arguments);
    HWND box = waitForProcessWindow(prismata->id(), "Prismata Fatal Error", 15000, "#32770");
    ASSERT_TRUE(box) << arguments;
    HWND text = FindWindowExA(box, nullptr, "Static", nullptr);
    bool foundText = false;
    for (; text; text = FindWindowExA(box, text, "Static", nullptr))
        foundText |=
            windowText(text) == "Prismata's registry information is missing. Did you use the Prismata install program?";
    EXPECT_TRUE(foundText);
    EXPECT_TRUE(logger.waitFor("Couldn't find app path in registry... Aborting\r\n", 5000));
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    DWORD code = 1;
    ASSERT_TRUE(prismata->waitForExit(kExitWait, code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(logger.text().find("starting in"), std::string::npos);
}

TEST_F(Startup, MissingRegistryValueShowsTheFatalBox) {
    m_entry.remove();
    expectFatalRegistryBox("/t");
}

TEST_F(Startup, UnusableRegistryValuesShowTheFatalBox) {
    DWORD number = 1234;
    m_entry.set(REG_DWORD, &number, sizeof number);
    expectFatalRegistryBox("/s");
    std::string tooLong(300, 'a');
    m_entry.set(REG_SZ, tooLong.c_str(), static_cast<DWORD>(tooLong.size() + 1));
    expectFatalRegistryBox("/c");
}

TEST_F(Startup, InstallFolderAtThePathLimitStillRuns) {
    // 259 characters: the profile path is then longer than the system allows, so reads give defaults.
    std::string folder = m_install.path();
    while (folder.size() < 259) {
        std::string part(std::min<size_t>(40, 259 - folder.size()), 'd');
        folder += part;
        CreateDirectoryA(folder.c_str(), nullptr);
        if (folder.size() < 259)
            folder += "\\";
    }
    ASSERT_EQ(folder.size(), 259u);
    m_entry.setFolder(folder);
    auto prismata = startPrismata("/c");
    HWND dialog = waitForProcessWindow(prismata->id(), "Prismata Configuration", 15000);
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(waitForOK(dialog));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    // The profile cannot be read there, so the proposed folder differs from the stored one and a
    // rebuild runs; its result box is dismissed like a user would.
    HWND box = waitForProcessWindow(prismata->id(), "Prismata", 15000, "#32770");
    if (box)
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    // Nor can the settings be stored: that is said, the dialog stays open, and Cancel ends the program.
    HWND notSaved = waitForProcessWindow(prismata->id(), "Prismata Screen Saver", 15000, "#32770");
    ASSERT_TRUE(notSaved);
    PostMessageA(notSaved, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(pumpUntil([&] { return !IsWindow(notSaved); }, 15000));
    ASSERT_TRUE(IsWindow(dialog));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    DWORD code = 1;
    ASSERT_TRUE(prismata->waitForExit(kExitWait, code));
    EXPECT_EQ(code, 0u);
}

TEST_F(Startup, HostileCommandLinesEndCleanly) {
    std::string longLine = "/p " + std::string(20000, '9');
    for (const std::string& args : {longLine, std::string(5000, '/'), std::string("-\t\t\t"), std::string("/a:")}) {
        auto prismata = startPrismata(args);
        DWORD code = 1;
        ASSERT_TRUE(prismata->waitForExit(kExitWait, code)) << args.substr(0, 20);
        EXPECT_EQ(code, 0u);
    }
}

} // namespace
