// The full-screen show on a desktop of two monitors: the second one is black while the show runs and
// comes back after it, input over it ends the show, and test mode leaves it alone. scripts/test.sh runs
// these on a display of their own: 1024x768 primary, 800x600 to its right.
#include "tests/e2e/SaverKit.h"

#include <gtest/gtest.h>

using namespace e2e;
using namespace e2e::saver;

namespace {

constexpr RECT kSecond{1024, 0, 1824, 600};
constexpr COLORREF kPrivateColour = RGB(255, 0, 255);
constexpr char kCoverLine[] = "Covering 1 other monitor(s): 1024,0-1824,600";
const std::string kCoverTrace = std::string(kCoverLine) + "\r\n";

BOOL CALLBACK countMonitor(HMONITOR, HDC, LPRECT rect, LPARAM data) {
    auto* monitors = reinterpret_cast<std::vector<RECT>*>(data);
    monitors->push_back(*rect);
    return TRUE;
}

std::vector<RECT> monitors() {
    std::vector<RECT> all;
    EnumDisplayMonitors(nullptr, nullptr, countMonitor, reinterpret_cast<LPARAM>(&all));
    return all;
}

// A window of the test's own on the second monitor, standing for whatever the user left open there.
class PrivateWindow {
public:
    PrivateWindow() {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = m_brush;
        wc.lpszClassName = "TwoMonitorsPrivateWindow";
        RegisterClassA(&wc);
        m_hwnd = CreateWindowExA(0, wc.lpszClassName, "Private", WS_POPUP, kSecond.left, kSecond.top,
                                 kSecond.right - kSecond.left, kSecond.bottom - kSecond.top, nullptr, nullptr,
                                 wc.hInstance, nullptr);
        ShowWindow(m_hwnd, SW_SHOWNOACTIVATE);
        UpdateWindow(m_hwnd);
    }
    ~PrivateWindow() {
        DestroyWindow(m_hwnd);
        UnregisterClassA("TwoMonitorsPrivateWindow", GetModuleHandleA(nullptr));
        DeleteObject(m_brush);
    }
    PrivateWindow(const PrivateWindow&) = delete;
    PrivateWindow& operator=(const PrivateWindow&) = delete;

private:
    HBRUSH m_brush = CreateSolidBrush(kPrivateColour);
    HWND m_hwnd = nullptr;
};

constexpr std::uint32_t kPrivatePixel = 0xFF00FF;

// Waits until the whole second monitor shows the one colour.
bool secondMonitorShows(std::uint32_t colour, DWORD milliseconds) {
    return pumpUntil([&] { return captureScreen(kSecond).countNot(colour) == 0; }, milliseconds);
}

class TwoMonitors : public ::testing::Test {
protected:
    void SetUp() override {
        // Elsewhere these would pass for the wrong reason, or fail for it.
        std::vector<RECT> all = monitors();
        ASSERT_EQ(all.size(), 2u) << "needs the two-monitor display of scripts/test.sh";
        ASSERT_EQ(all[1].left, kSecond.left);
        ASSERT_EQ(all[1].right, kSecond.right);
        ASSERT_EQ(all[1].bottom, kSecond.bottom);
        m_entry.setFolder(m_install.path());
    }

    // Starts the show with the cursor parked first; waits for its window.
    HWND start(const char* arguments, POINT cursor) {
        EXPECT_TRUE(moveCursor(cursor.x, cursor.y));
        m_prismata = startPrismata(arguments);
        return waitForProcessWindow(m_prismata->id(), kSaverTitle, kExitWait);
    }

    void expectEndedFor(const std::string& reason) {
        DWORD code = 1;
        ASSERT_TRUE(m_prismata->waitForExit(kExitWait, code));
        EXPECT_EQ(code, 0u);
        EXPECT_TRUE(endedFor(m_logger->text(), reason)) << m_logger->text();
    }

    TempFolder m_install{"install"};
    InstallEntry m_entry;
    std::unique_ptr<Logger> m_logger = std::make_unique<Logger>();
    std::unique_ptr<Process> m_prismata;
};

TEST_F(TwoMonitors, TheShowBlackensTheSecondMonitorAndGivesItBack) {
    PrivateWindow open;
    ASSERT_TRUE(secondMonitorShows(kPrivatePixel, 5000));
    HWND window = start("/s", POINT{300, 300});
    ASSERT_TRUE(window);
    ASSERT_TRUE(m_logger->waitFor(kCoverTrace, 10000)) << m_logger->text();
    EXPECT_TRUE(secondMonitorShows(0, 5000)) << captureScreen(kSecond).countNot(0) << " pixels not black";
    keepScreenshot("TwoMonitors.Show", captureScreen(RECT{0, 0, kSecond.right, 768}));

    // The cube's window is as on one monitor, and the covers took no activation from it.
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 1024);
    EXPECT_EQ(rect.bottom, 768);
    EXPECT_EQ(GetForegroundWindow(), window);
    EXPECT_EQ(countCloseLines(m_logger->text()), 0) << m_logger->text();

    // A change of the displays covers them again, still without taking the activation.
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_DISPLAYCHANGE, 32, MAKELPARAM(1024, 768), SMTO_ABORTIFHUNG, 2000, &result);
    ASSERT_TRUE(pumpUntil([&] { return countLines(m_logger->text(), kCoverLine) == 2; }, 5000));
    EXPECT_TRUE(secondMonitorShows(0, 5000));
    EXPECT_EQ(GetForegroundWindow(), window);
    EXPECT_EQ(countCloseLines(m_logger->text()), 0) << m_logger->text();

    ASSERT_TRUE(xdotool("key a"));
    expectEndedFor("Key Down");
    EXPECT_TRUE(secondMonitorShows(kPrivatePixel, 5000));
}

TEST_F(TwoMonitors, InputOverTheSecondMonitorEndsTheShow) {
    struct Case {
        const char* input;
        const char* reason;
    };
    // The cursor rests at 1400,300, over the cover; each input comes from there.
    const Case cases[] = {
        {"key a", "Key Down"},
        {"click 1", "Left Mouse Button Down"},
        {"mousemove 1407 300", "Mouse moved"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        m_logger.reset();
        m_logger = std::make_unique<Logger>();
        HWND window = start("/s", POINT{1400, 300});
        ASSERT_TRUE(window);
        ASSERT_TRUE(m_logger->waitFor(kCoverTrace, 10000)) << m_logger->text();
        // A move over the cover takes the reference where none was taken; five pixels do not end the show.
        ASSERT_TRUE(moveCursor(1401, 301));
        ASSERT_TRUE(moveCursor(1400, 300));
        ASSERT_TRUE(m_logger->waitFor("Setting initial mouse position\r\n", 5000));
        ASSERT_TRUE(moveCursor(1405, 305));
        ASSERT_TRUE(moveCursor(1400, 300));
        Sleep(kSettle);
        EXPECT_EQ(countCloseLines(m_logger->text()), 0) << m_logger->text();
        EXPECT_EQ(currentCursor(), nullptr);
        EXPECT_EQ(GetForegroundWindow(), window);
        ASSERT_TRUE(xdotool(c.input));
        expectEndedFor(c.reason);
    }
}

TEST_F(TwoMonitors, ARefusedPasswordCheckBringsTheCoversBackWithTheCube) {
    Win9xFamily win9x;
    ProgramCopy program;
    program.addPasswordDouble();
    program.setPasswordAnswer(0);
    PrivateWindow open;
    ASSERT_TRUE(moveCursor(300, 300));
    m_prismata = program.start("/s");
    HWND window = waitForProcessWindow(m_prismata->id(), kSaverTitle, kExitWait);
    ASSERT_TRUE(window);
    ASSERT_TRUE(m_logger->waitFor(kCoverTrace, 10000)) << m_logger->text();

    ASSERT_TRUE(xdotool("key a"));
    ASSERT_TRUE(program.waitForPasswordLines(2, kCheckWait));
    ASSERT_TRUE(pumpUntil([&] { return countLines(m_logger->text(), kCoverLine) == 2; }, 10000)) << m_logger->text();
    EXPECT_TRUE(secondMonitorShows(0, 5000));
    EXPECT_EQ(GetForegroundWindow(), window);

    program.setPasswordAnswer(1);
    ASSERT_TRUE(xdotool("key a"));
    expectEndedFor("Key Down");
    EXPECT_TRUE(secondMonitorShows(kPrivatePixel, 5000));
}

TEST_F(TwoMonitors, TestModeLeavesTheSecondMonitorAlone) {
    PrivateWindow open;
    ASSERT_TRUE(secondMonitorShows(kPrivatePixel, 5000));
    HWND window = start("/t", POINT{100, 100});
    ASSERT_TRUE(window);
    // Drawn frames come well after the point where the full-screen show covers the monitors.
    ASSERT_TRUE(m_logger->waitFor("frames per second", 10000)) << m_logger->text();
    EXPECT_TRUE(secondMonitorShows(kPrivatePixel, 1000));
    EXPECT_EQ(m_logger->text().find("Covering"), std::string::npos) << m_logger->text();
    ASSERT_TRUE(xdotool("key a"));
    expectEndedFor("Key Down");
}

} // namespace
