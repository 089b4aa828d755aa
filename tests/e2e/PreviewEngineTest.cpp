// The display engine in the preview window, end to end. A parent window of this process stands in for
// the Display Properties pane. Wine 8 does not show what a window draws when its top-level parent
// belongs to another process (its device contexts get no X drawable), so the tests that read pixels
// back from the screen give the preview the desktop as its parent: the preview is then a window of its
// own process, drawn like any other, and covers the screen.
#include "tests/e2e/Harness.h"
#include "tests/e2e/ScreenCapture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>

using namespace e2e;

namespace {

constexpr DWORD kStartWait = 15000;
constexpr DWORD kExitWait = 15000;
constexpr char kSaverTitle[] = "Prismata Screen Saver";

// A borderless top-level window of this process whose client area the preview fills.
class HostPane {
public:
    HostPane(int width, int height) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
        wc.lpszClassName = "EngineTestHostPane";
        RegisterClassA(&wc);
        m_hwnd = CreateWindowExA(0, wc.lpszClassName, "Host pane", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 100, 100,
                                 width, height, nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~HostPane() { destroy(); }
    HostPane(const HostPane&) = delete;
    HostPane& operator=(const HostPane&) = delete;

    HWND hwnd() const { return m_hwnd; }
    void destroy() {
        if (IsWindow(m_hwnd))
            DestroyWindow(m_hwnd);
    }
    std::string argument() const { return std::to_string(reinterpret_cast<intptr_t>(m_hwnd)); }

private:
    HWND m_hwnd;
};

struct Box {
    int left = 0, top = 0, right = -1, bottom = -1; // inclusive; empty while right < left
    bool empty() const { return right < left; }
};

Picture captureWindow(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return captureScreen(r);
}

Box boundsOfNonBlack(const Picture& shot) {
    Box box{shot.width, shot.height, -1, -1};
    for (int y = 0; y < shot.height; ++y)
        for (int x = 0; x < shot.width; ++x)
            if (shot.at(x, y) != 0) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

// Kept in the build folder's screenshots folder for a person to look at.
void savePng(const Picture& shot, const std::string& name) {
    std::string folder = binFolder() + "..\\screenshots\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    writePng(folder + name + ".png", shot);
}

// The values of the "%f frames per second" lines, in order.
std::vector<double> frameRates(const std::string& log) {
    std::vector<double> rates;
    std::istringstream in(log);
    std::string line;
    const std::string suffix = " frames per second\r";
    while (std::getline(in, line))
        if (line.size() > suffix.size() && line.compare(line.size() - suffix.size(), suffix.size(), suffix) == 0)
            rates.push_back(std::strtod(line.c_str(), nullptr));
    return rates;
}

// What lies at a point of the keep-upright picture (0 to 1 across and down), as
// scripts/make_upright_picture.sh draws it: 'G' the top-left corner, 'R' the rest of the top quarter,
// 'B' the bottom quarter, '.' the photo between.
char markAt(double x, double y) {
    if (y < 0.25)
        return x < 0.25 ? 'G' : 'R';
    return y >= 0.75 ? 'B' : '.';
}
char markOf(std::uint32_t pixel) {
    const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    auto high = [](int c) { return c > 200; };
    auto low = [](int c) { return c < 60; };
    if (high(r) && low(g) && low(b))
        return 'R';
    if (low(r) && high(g) && low(b))
        return 'G';
    if (low(r) && low(g) && high(b))
        return 'B';
    return '.';
}
constexpr int kGrid = 8;
// The marks at the centres of an 8 x 8 grid over a face seen head-on, row by row from the top. Upright,
// the face shows the picture as it is; otherwise a quarter turn clockwise, its top along the right edge.
std::string expectedMarks(bool upright) {
    std::string grid;
    for (int row = 0; row < kGrid; ++row, grid += '\n')
        for (int column = 0; column < kGrid; ++column) {
            const double x = (column + 0.5) / kGrid, y = (row + 0.5) / kGrid;
            grid += upright ? markAt(x, y) : markAt(y, 1 - x);
        }
    return grid;
}
std::string shownMarks(const Picture& shot, const Box& face) {
    std::string grid;
    const double width = face.right - face.left + 1, height = face.bottom - face.top + 1;
    for (int row = 0; row < kGrid; ++row, grid += '\n')
        for (int column = 0; column < kGrid; ++column)
            grid += markOf(shot.at(face.left + static_cast<int>((column + 0.5) / kGrid * width),
                                   face.top + static_cast<int>((row + 0.5) / kGrid * height)));
    return grid;
}
// Every mark where one is expected; the photo's cells are not compared.
bool marksMatch(const std::string& expected, const std::string& shown) {
    if (expected.size() != shown.size())
        return false;
    for (size_t i = 0; i < expected.size(); ++i)
        if (expected[i] != '.' && expected[i] != shown[i])
            return false;
    return true;
}

// The engine's "Cube motion" line: the rates, steps and depth band it took from the settings.
struct Motion {
    double spin[3], drift[3], zMin, zMax;
    int upright;
};
bool tracedMotion(const std::string& log, Motion& m) {
    size_t at = log.find("Cube motion: ");
    return at != std::string::npos &&
           std::sscanf(log.c_str() + at,
                       "Cube motion: spin %lf %lf %lf rad/s, drift %lf %lf %lf per frame, depth %lf to %lf, "
                       "keep upright %d",
                       &m.spin[0], &m.spin[1], &m.spin[2], &m.drift[0], &m.drift[1], &m.drift[2], &m.zMin, &m.zMax,
                       &m.upright) == 9;
}
// The sliders as the engine must have taken them: half a degree per second per spin unit, per-frame
// drift steps, and a depth band that comes nearer as the cube grows.
void expectMotion(const std::string& log, const int (&spin)[3], const int (&speed)[3], int cubeSize, int upright) {
    Motion m{};
    ASSERT_TRUE(tracedMotion(log, m)) << log;
    const double perSpin = 0.00872664, perSpeed[3] = {0.0002, 0.00005, 1.0 / 12000};
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_NEAR(m.spin[axis], spin[axis] * perSpin, 2e-6) << "spin " << axis;
        EXPECT_NEAR(m.drift[axis], speed[axis] * perSpeed[axis], 2e-6) << "drift " << axis;
    }
    EXPECT_NEAR(m.zMin, 5.1 - cubeSize / 33.0, 2e-6);
    EXPECT_NEAR(m.zMax, 10.1 - cubeSize * 7 / 99.0, 2e-6);
    EXPECT_EQ(m.upright, upright);
}

// While it lives, every Prismata.scr that Wine starts finds no d3d8.dll. (Wine takes its loader
// variables from its Unix environment, so WINEDLLOVERRIDES in a process's environment block does not
// reach the program; the per-program registry key does.)
struct Direct3DDisabled : AppDefault {
    Direct3DDisabled() : AppDefault("Prismata.scr", "DllOverrides", "d3d8", "") {}
};

class PreviewEngine : public ::testing::Test {
protected:
    void SetUp() override { m_entry.setFolder(m_install.path()); }

    void writeSettings(const std::string& lines) {
        writeTextFile(m_install.path() + "Prismata.ini", "[Settings]\r\n" + lines);
    }

    // The preview with the desktop as its parent: it fills the screen.
    HWND startOnDesktop() {
        m_prismata = startPrismata("/p " + std::to_string(reinterpret_cast<intptr_t>(GetDesktopWindow())));
        HWND window = waitForProcessWindow(m_prismata->id(), "Prismata Preview", kStartWait);
        if (window)
            pumpUntil([&] { return IsWindowVisible(window) != FALSE; }, kStartWait);
        return window;
    }

    void expectExit0() {
        DWORD code = 1;
        ASSERT_TRUE(m_prismata->waitForExit(kExitWait, code));
        EXPECT_EQ(code, 0u);
    }

    // The preview's own close: default processing destroys the window, which ends the program.
    void closeAndExpectExit0(HWND window) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        expectExit0();
    }

    int count(const std::string& line) const { return countLines(m_logger.text(), line); }

    TempFolder m_install{"install"};
    InstallEntry m_entry;
    Logger m_logger;
    std::unique_ptr<Process> m_prismata;
};

TEST_F(PreviewEngine, DrawsASpinningCubeOnBlack) {
    HWND window = startOnDesktop();
    ASSERT_TRUE(window);
    ASSERT_TRUE(m_logger.waitFor("Done with Direct3D setup\r\n", kStartWait)) << m_logger.text();
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, width);
    EXPECT_EQ(client.bottom, height);

    // A cube well inside a black field, moving from one picture to the next.
    Picture first, second;
    bool drawing = pumpUntil(
        [&] {
            first = captureWindow(window);
            Sleep(150);
            second = captureWindow(window);
            Box box = boundsOfNonBlack(second);
            return !box.empty() && box.left > 0 && box.top > 0 && box.right < width - 1 && box.bottom < height - 1 &&
                   first.differences(second) > 50;
        },
        5000);
    ASSERT_TRUE(drawing) << m_logger.text();
    // Let it turn a little for the picture a person looks at.
    pumpUntil([] { return false; }, 700);
    savePng(captureWindow(window), "PreviewEngine.Cube");
    // Face 0 head-on at the starting depth covers about 120 x 120 pixels; turned, a little more.
    const size_t cubePixels = second.countNot(0);
    EXPECT_GT(cubePixels, 8000u);
    EXPECT_LT(cubePixels, static_cast<size_t>(width) * height / 10);
    Box box = boundsOfNonBlack(second);
    EXPECT_LT(box.right - box.left, width / 3);

    // No [Settings] section: the show's own defaults, not the ones the settings dialog proposes.
    expectMotion(m_logger.text(), {10, 15, 0}, {15, 5, 0}, 0, 0);
    EXPECT_TRUE(inOrder(m_logger.text(),
                        {"* Prismata starting in thumbnail preview mode", "Starting Direct3D create routine",
                         "CheckDeviceType(windowed) - device=D3DDEVTYPE_HAL - check of currentFormat returns: S_OK",
                         "Done with Direct3D setup"}))
        << m_logger.text();

    closeAndExpectExit0(window);
    std::string log = m_logger.text();
    EXPECT_TRUE(inOrder(log, {"Done with Direct3D setup", "Setting kill event for texture loading thread",
                              "Entering DXGraphics::cleanup", "Leaving DXGraphics::cleanup"}))
        << log;
    // The window stopped its own timer chain: no tick ever found the engine gone.
    EXPECT_EQ(count("Killing mmtimer!"), 0);
}

TEST_F(PreviewEngine, StaysInsideItsWindowForTwentySecondsAtHighSpeed) {
    writeSettings("SpinX=99\r\nSpinY=-70\r\nSpinZ=40\r\nSpeedX=99\r\nSpeedY=99\r\nSpeedZ=99\r\nCubeSize=40\r\n");
    HWND window = startOnDesktop();
    ASSERT_TRUE(window);
    ASSERT_TRUE(m_logger.waitFor("Done with Direct3D setup\r\n", kStartWait)) << m_logger.text();
    expectMotion(m_logger.text(), {99, -70, 40}, {99, 99, 99}, 40, 0);
    const DWORD started = GetTickCount();
    ASSERT_TRUE(pumpUntil([&] { return captureWindow(window).countNot(0) > 0; }, 5000));
    const int width = GetSystemMetrics(SM_CXSCREEN);

    std::vector<size_t> areas;
    int leftmost = width, rightmost = -1;
    DWORD firstRateSeen = 0;
    while (GetTickCount() - started < 20000) {
        Picture shot = captureWindow(window);
        Box box = boundsOfNonBlack(shot);
        areas.push_back(shot.countNot(0));
        if (!box.empty()) {
            leftmost = std::min(leftmost, box.left);
            rightmost = std::max(rightmost, box.right);
        }
        if (!firstRateSeen && !frameRates(m_logger.text()).empty())
            firstRateSeen = GetTickCount() - started;
        Sleep(150);
    }
    std::vector<size_t> sorted = areas;
    std::sort(sorted.begin(), sorted.end());
    const size_t median = sorted[sorted.size() / 2];
    ASSERT_GT(median, 5000u);
    // Never gone, never more than partly over an edge.
    for (size_t i = 0; i < areas.size(); ++i)
        EXPECT_GT(areas[i], median / 4) << "sample " << i << " of " << areas.size();
    // It reached both sides, so it turned back at each.
    EXPECT_LT(leftmost, width / 5);
    EXPECT_GT(rightmost, width * 4 / 5);

    // One frame-rate line per 100 frames, each the average since the start: frames take at least
    // 20 ms, so the figure stays below 50 and frame 100 comes no sooner than 2 s in.
    std::vector<double> rates = frameRates(m_logger.text());
    ASSERT_GE(rates.size(), 2u);
    EXPECT_GE(firstRateSeen, 1800u);
    double previousSeconds = 0;
    for (size_t k = 0; k < rates.size(); ++k) {
        EXPECT_LT(rates[k], 50.0) << k;
        EXPECT_GT(rates[k], 5.0) << k;
        double seconds = 100.0 * static_cast<double>(k + 1) / rates[k];
        EXPECT_GE(seconds - previousSeconds, 1.95) << k;
        previousSeconds = seconds;
    }
    EXPECT_LE(previousSeconds, 21.0);

    closeAndExpectExit0(window);
}

// A still cube shows face 0 head-on with one picture on every face. As the coordinates start, the
// picture lies a quarter turn clockwise; with KeepUpright the upright pass stands it on its bottom.
TEST_F(PreviewEngine, KeepUprightStandsThePictureOnAStillCubeUpright) {
    const std::string picture = binFolder() + "upright-picture.bmp";
    ASSERT_TRUE(fileExists(picture));
    for (bool upright : {false, true}) {
        SCOPED_TRACE(upright ? "KeepUpright=1" : "KeepUpright=0");
        const size_t logStart = m_logger.text().size();
        auto log = [&] { return m_logger.text().substr(logStart); };
        writeSettings("SpinX=0\r\nSpinY=0\r\nSpinZ=0\r\nSpeedX=0\r\nSpeedY=0\r\nSpeedZ=0\r\nKeepUpright=" +
                      std::string(upright ? "1" : "0") + "\r\n[Photos]\r\nCount=1\r\nEntry0=" + picture + "\r\n");
        HWND window = startOnDesktop();
        ASSERT_TRUE(window);
        // The picture is queued before the loader leaves. Two frame-rate lines later at least a hundred
        // frames have passed: it has long been on face 0 and, kept upright, pair 0 has been done many times.
        ASSERT_TRUE(pumpUntil(
            [&] {
                return log().find("Leaving texture loader thread, 0 length file name, image <= 6") != std::string::npos;
            },
            kStartWait))
            << log();
        const size_t ratesBefore = frameRates(log()).size();
        ASSERT_TRUE(pumpUntil([&] { return frameRates(log()).size() >= ratesBefore + 2; }, 20000)) << log();
        ASSERT_GE(countLines(log(), "Load texture succeeded"), 1) << log();

        const Picture shot = captureWindow(window);
        savePng(shot, upright ? "PreviewEngine.UprightOn" : "PreviewEngine.UprightOff");
        const Box face = boundsOfNonBlack(shot);
        ASSERT_FALSE(face.empty());
        const int side = face.right - face.left + 1;
        EXPECT_GT(side, 60);
        EXPECT_NEAR(face.bottom - face.top + 1, side, 2) << "face 0 is not seen head-on";
        const std::string expected = expectedMarks(upright), shown = shownMarks(shot, face);
        EXPECT_TRUE(marksMatch(expected, shown)) << "expected\n" << expected << "shown\n" << shown;

        closeAndExpectExit0(window);
    }
}

TEST_F(PreviewEngine, WithoutDirect3DShowsNoPreviewTextAndStopsTheTimerOnce) {
    Direct3DDisabled noDirect3D;
    HWND window = startOnDesktop();
    ASSERT_TRUE(window);
    ASSERT_TRUE(m_logger.waitFor("Done killing mmtimer\r\n", kStartWait)) << m_logger.text();

    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    const Picture expected = expectedFailureDisplay("No thumbnail preview available", width, height);
    const size_t textPixels = expected.countNot(0);
    ASSERT_GT(textPixels, 100u);
    Picture shown;
    bool matches = pumpUntil(
        [&] {
            shown = captureWindow(window);
            return shown.differences(expected) <= textPixels / 20;
        },
        5000);
    savePng(shown, "PreviewEngine.NoDirect3D");
    EXPECT_TRUE(matches) << shown.differences(expected) << " of " << textPixels << " text pixels differ";
    EXPECT_GT(shown.countOf(0x00FFFF), textPixels / 4);

    Sleep(200);
    std::string log = m_logger.text();
    EXPECT_TRUE(inOrder(log, {"Starting Direct3D create routine", "Killing mmtimer!", "Done killing mmtimer"})) << log;
    EXPECT_EQ(count("Killing mmtimer!"), 1);
    EXPECT_EQ(count("Done killing mmtimer"), 1);
    EXPECT_EQ(log.find("CheckDeviceType"), std::string::npos);
    EXPECT_EQ(log.find("Done with Direct3D setup"), std::string::npos);

    closeAndExpectExit0(window);
    // A failed engine has no kill event and no loader, and releases nothing it never made.
    EXPECT_TRUE(inOrder(m_logger.text(), {"Done killing mmtimer", "Can't set kill event, handle is NULL!!!",
                                          "Entering DXGraphics::cleanup", "Leaving DXGraphics::cleanup"}))
        << m_logger.text();
}

TEST_F(PreviewEngine, EndsWithItsPaneWhileDrawing) {
    HostPane pane(200, 170);
    m_prismata = startPrismata("/p " + pane.argument());
    HWND child = nullptr;
    ASSERT_TRUE(pumpUntil(
        [&] {
            child = FindWindowExA(pane.hwnd(), nullptr, nullptr, "Prismata Preview");
            return child != nullptr;
        },
        kStartWait));
    // Frames are being drawn (into a window Wine does not show) when the pane goes.
    ASSERT_TRUE(m_logger.waitFor(" frames per second\r\n", kStartWait)) << m_logger.text();
    pane.destroy();
    expectExit0();
    std::string log = m_logger.text();
    EXPECT_TRUE(inOrder(log, {"Done with Direct3D setup", "Setting kill event for texture loading thread",
                              "Entering DXGraphics::cleanup", "Leaving DXGraphics::cleanup"}))
        << log;
    EXPECT_EQ(count("Killing mmtimer!"), 0);
}

TEST_F(PreviewEngine, FullScreenWithoutDirect3DShowsWhyInBoldCyan) {
    Direct3DDisabled noDirect3D;
    auto prismata = startPrismata("/s");
    HWND window = waitForProcessWindow(prismata->id(), kSaverTitle, kStartWait);
    ASSERT_TRUE(window);
    ASSERT_TRUE(m_logger.waitFor("Done killing mmtimer\r\n", kStartWait)) << m_logger.text();
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    const Picture expected = expectedFailureDisplay("Unable to initialize Direct3D", width, height);
    const size_t textPixels = expected.countNot(0);
    Picture shown;
    bool matches = pumpUntil(
        [&] {
            shown = captureWindow(window);
            return shown.differences(expected) <= textPixels / 20;
        },
        5000);
    EXPECT_TRUE(matches) << shown.differences(expected) << " of " << textPixels << " text pixels differ";
    PostMessageA(window, WM_KEYDOWN, 'A', 0);
    DWORD code = 1;
    ASSERT_TRUE(prismata->waitForExit(kExitWait, code));
    EXPECT_EQ(code, 0u);
}

} // namespace
