// The frame timer of a real cube window in this process: the pause handshake, restarts that must not
// leave two timer chains running, the window timer that stands in when no multimedia timer can be armed
// (at the start or for a later tick), a device that is lost and restored, and destruction while ticks are
// in flight or while a device is set up.
#include "saver/CubeWindow.h"
#include "saver/SaverWindow.h"
#include "tests/support/TraceLog.h"
#include "tests/win/LibraryTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <utility>

namespace {

// A cube window that lets the test drive what the password check drives.
class ProbeWindow : public CubeWindow {
public:
    explicit ProbeWindow(FrameTimer::Calls timerCalls = {}, engine::DeviceCalls deviceCalls = {})
        : CubeWindow(false, {}, timerCalls, deviceCalls) {}
    // Windowed as the preview, or topmost over the whole screen as the show.
    bool create(bool fullScreen = false) {
        RECT rect{0, 0, 320, 240};
        if (fullScreen)
            rect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        return Create(fullScreen ? WS_EX_TOPMOST : 0, "Engine probe", WS_POPUP | WS_VISIBLE, rect, nullptr, 0);
    }
    void restart() { startEngine(m_exStyle); }
    using CubeWindow::dropEngine;
    int frames() const { return m_frameCount.load(); }
    long pauseState() const { return m_pauseState.load(); }
    void requestPause() { m_pauseState = PauseRequested; }
    void resume() { m_pauseState = Running; }
};

// Waits while keeping this thread's windows served.
bool pumpUntil(const std::function<bool()>& done, DWORD milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done())
            return true;
        if (GetTickCount() - start >= milliseconds)
            return false;
        Sleep(5);
    }
}
void pumpFor(DWORD milliseconds) {
    pumpUntil([] { return false; }, milliseconds);
}

// Frames drawn per second over a second of running.
double frameRate(const ProbeWindow& window) {
    int before = window.frames();
    DWORD start = GetTickCount();
    pumpFor(1000);
    return (window.frames() - before) * 1000.0 / (GetTickCount() - start);
}

// Each engine costs Wine about 0.3 s to set up and 0.4 s to release, so the rounds are few.
TEST(EngineFrameTimer, PauseIsAcknowledgedAndRestartsRunOneChain) {
    ProbeWindow window;
    ASSERT_TRUE(window.create());
    ASSERT_TRUE(pumpUntil([&] { return window.frames() >= 5; }, 5000)) << "the engine never drew";

    window.requestPause();
    ASSERT_TRUE(pumpUntil([&] { return window.pauseState() == PauseAcknowledged; }, 1000));
    int frames = window.frames();
    pumpFor(200);
    EXPECT_EQ(window.frames(), frames) << "a frame was drawn after the acknowledgement";
    EXPECT_EQ(window.pauseState(), PauseAcknowledged);

    // A refused password: a new engine. Once right after the acknowledgement, while the acknowledging
    // tick's follow-up is still to come; once with no acknowledgement at all.
    window.dropEngine();
    window.resume();
    window.restart();
    window.requestPause();
    window.dropEngine();
    window.resume();
    window.restart();
    ASSERT_TRUE(pumpUntil([&] { return window.frames() >= 5; }, 5000));
    // One chain draws at most 50 frames a second; two would draw about twice as many.
    double rate = frameRate(window);
    EXPECT_LE(rate, 55.0);
    EXPECT_GT(rate, 5.0);
    window.DestroyWindow();
}

MMRESULT WINAPI noMultimediaTimer(UINT, UINT, LPTIMECALLBACK, DWORD_PTR, UINT) {
    return 0;
}

// The frames come from timer 101 on this thread: none while it takes no messages, and the timer is due.
void expectFramesFromWindowTimer101(ProbeWindow& window) {
    const int frames = window.frames();
    Sleep(200);
    EXPECT_EQ(window.frames(), frames) << "frames were drawn off the window thread";
    MSG due{};
    EXPECT_TRUE(PeekMessageA(&due, window.hwnd(), WM_TIMER, WM_TIMER, PM_NOREMOVE));
    EXPECT_EQ(due.wParam, 101u);
}

TEST(EngineFrameTimer, WithoutAMultimediaTimerWindowTimer101DrawsAndAPauseStillCompletes) {
    // Before the first trace: the logger is looked up once.
    librarytest::TraceRecorder& recorder = librarytest::TraceRecorder::instance();
    ProbeWindow window({noMultimediaTimer, timeKillEvent});
    ASSERT_TRUE(window.create());
    ASSERT_TRUE(pumpUntil([&] { return window.frames() >= 5; }, 5000)) << "the window timer never drew";
    expectFramesFromWindowTimer101(window);

    // The requester pumps messages while it waits, which lets the window timer acknowledge.
    recorder.clear();
    window.requestPause();
    ASSERT_TRUE(pumpUntil([&] { return window.pauseState() == PauseAcknowledged; }, 1000));
    const int frames = window.frames();
    ASSERT_TRUE(
        pumpUntil([&] { return recorder.text().find("Done killing Windows Timer\r\n") != std::string::npos; }, 1000));
    pumpFor(200);
    EXPECT_EQ(window.frames(), frames) << "a frame was drawn after the acknowledgement";
    const std::string log = recorder.text();
    EXPECT_TRUE(support::inOrder(log, {"Acking pause", "Killing Windows Timer!", "Done killing Windows Timer"})) << log;
    for (const char* line : {"Acking pause", "Killing Windows Timer!", "Done killing Windows Timer"})
        EXPECT_EQ(support::countLines(log, line), 1) << line << " in\n" << log;
    EXPECT_EQ(log.find("mmtimer"), std::string::npos) << log;

    // A refused password: the new engine falls back to the window timer again.
    window.dropEngine();
    window.resume();
    window.restart();
    EXPECT_TRUE(pumpUntil([&] { return window.frames() >= 5; }, 5000)) << "the restarted engine never drew";
    window.DestroyWindow();
}

// The system gives a timer for the first ticks only.
std::atomic<int> g_armsLeft{0};
MMRESULT WINAPI armsRunOut(UINT delay, UINT resolution, LPTIMECALLBACK proc, DWORD_PTR user, UINT flags) {
    return g_armsLeft.fetch_sub(1) > 0 ? timeSetEvent(delay, resolution, proc, user, flags) : 0;
}

TEST(EngineFrameTimer, AFailedRearmHandsTheTicksToWindowTimer101) {
    librarytest::TraceRecorder& recorder = librarytest::TraceRecorder::instance();
    recorder.clear();
    g_armsLeft = 5;
    ProbeWindow window({armsRunOut, timeKillEvent});
    ASSERT_TRUE(window.create());
    ASSERT_TRUE(pumpUntil([&] { return window.frames() >= 25; }, 5000))
        << "the cube stood still at frame " << window.frames();
    expectFramesFromWindowTimer101(window);
    pumpFor(200);
    const std::string log = recorder.text();
    EXPECT_EQ(
        support::countLines(log, "The multimedia timer could not be armed again, going on with the Windows timer"), 1)
        << log;
    window.DestroyWindow();
}

// A device lost after some frames, until it is reset; its reset refuses any thread but the one that made
// the device (the window's), as Direct3D's does.
std::atomic<int> g_presentsBeforeLoss{0};
std::atomic<bool> g_deviceLost{false};
std::atomic<int> g_lostPolls{0};
std::atomic<int> g_resets{0};
std::atomic<int> g_refusedResets{0};
std::atomic<int> g_presentsAfterReset{0};

HRESULT presentUntilLost(IDirect3DDevice8* device) {
    if (g_deviceLost || g_presentsBeforeLoss.fetch_sub(1) <= 0) {
        g_deviceLost = true;
        return D3DERR_DEVICELOST;
    }
    const HRESULT presented = device->Present(nullptr, nullptr, nullptr, nullptr);
    if (g_resets > 0 && presented == D3D_OK)
        ++g_presentsAfterReset;
    return presented;
}
HRESULT lostForAWhile(IDirect3DDevice8* device) {
    if (!g_deviceLost)
        return device->TestCooperativeLevel();
    // Lost for a few polls (another program holds the screen), then it may be reset.
    return ++g_lostPolls < 4 ? D3DERR_DEVICELOST : D3DERR_DEVICENOTRESET;
}
HRESULT resetOnTheDevicesThread(IDirect3DDevice8* device, D3DPRESENT_PARAMETERS* params) {
    if (GetCurrentThreadId() != GetWindowThreadProcessId(params->hDeviceWindow, nullptr)) {
        ++g_refusedResets;
        return D3DERR_INVALIDCALL;
    }
    const HRESULT reset = device->Reset(params);
    if (reset == D3D_OK) {
        ++g_resets;
        g_presentsBeforeLoss = 1000000;
        g_deviceLost = false;
    }
    return reset;
}

TEST(EngineLostDevice, ALostDeviceIsResetOnTheWindowThreadAndTheFramesGoOn) {
    for (const bool fullScreen : {false, true}) {
        const char* label = fullScreen ? "show" : "preview";
        librarytest::TraceRecorder& recorder = librarytest::TraceRecorder::instance();
        recorder.clear();
        g_presentsBeforeLoss = 10;
        g_deviceLost = false;
        g_lostPolls = 0;
        g_resets = 0;
        g_refusedResets = 0;
        g_presentsAfterReset = 0;
        ProbeWindow window({}, {presentUntilLost, lostForAWhile, resetOnTheDevicesThread});
        ASSERT_TRUE(window.create(fullScreen)) << label;
        ASSERT_TRUE(pumpUntil([&] { return g_deviceLost.load(); }, 5000)) << label << ": never lost";
        // Nothing is drawn while the device is lost.
        const int framesWhenLost = window.frames();
        ASSERT_TRUE(pumpUntil([&] { return g_presentsAfterReset >= 10; }, 5000))
            << label << ": the frames never came back; resets " << g_resets << ", refused " << g_refusedResets;
        EXPECT_EQ(g_resets.load(), 1) << label;
        EXPECT_EQ(g_refusedResets.load(), 0) << label << ": a reset was tried off the device's thread";
        EXPECT_GE(g_lostPolls.load(), 4) << label;
        EXPECT_GE(window.frames(), framesWhenLost + 10) << label;
        const std::string log = recorder.text();
        EXPECT_TRUE(support::inOrder(log, {"Device lost", "Device restored"})) << label << "\n" << log;
        EXPECT_EQ(support::countLines(log, "Device lost"), 1) << label << "\n" << log;
        window.DestroyWindow();
    }
}

TEST(EngineFrameTimer, DestroyingWhileTicksAreInFlightIsSafe) {
    for (int round = 0; round < 4; ++round) {
        ProbeWindow window;
        ASSERT_TRUE(window.create());
        ASSERT_TRUE(pumpUntil([&] { return window.frames() >= 1; }, 5000)) << round;
        // Then somewhere inside or between frames.
        pumpFor(static_cast<DWORD>(round) * 7);
        if (round % 2) {
            window.restart();
            pumpFor(static_cast<DWORD>(round) * 5);
        }
        window.DestroyWindow();
    }
    // A tick that was armed when its window went finds nothing and ends: no crash after the windows.
    pumpFor(100);
}

// What the platform may deliver while a device is set up, delivered by the test instead.
template <class Base> class SetUpProbe : public Base {
public:
    explicit SetUpProbe(bool autoDelete) : Base(autoDelete) {}
    HWND create() {
        RECT rect{0, 0, 320, 240};
        return this->Create(0, "Set-up probe", WS_POPUP | WS_VISIBLE, rect, nullptr, 0) ? this->hwnd() : nullptr;
    }
    int frames() const { return this->m_frameCount.load(); }
    std::function<void(HWND)> duringSetUp;

protected:
    void setUpEngine(DXGraphics& engine) override {
        if (auto deliver = std::exchange(duringSetUp, nullptr))
            deliver(this->hwnd());
        if (this->hwnd())
            Base::setUpEngine(engine);
    }
};

class RestartProbe : public SetUpProbe<SaverWindow> {
public:
    RestartProbe() : SetUpProbe<SaverWindow>(false) {}
    using SaverWindow::restartAfterRefusal;
};

TEST(EngineRestart, InputAndClosesDuringTheSetUpAfterARefusedCheckAreDropped) {
    RestartProbe window;
    HWND hwnd = window.create();
    ASSERT_TRUE(hwnd);
    window.duringSetUp = [](HWND target) {
        SendMessageA(target, WM_KEYDOWN, 'A', 0);
        SendMessageA(target, WM_CLOSE, 0, 0);
    };
    window.restartAfterRefusal();
    EXPECT_TRUE(IsWindow(hwnd));
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, hwnd, WM_CLOSE, WM_CLOSE, PM_NOREMOVE)) << "a close was queued for later";
    EXPECT_TRUE(pumpUntil([&] { return window.frames() >= 3; }, 5000)) << "the new engine never drew";
}

class DyingProbe : public SetUpProbe<CubeWindow> {
public:
    DyingProbe() : SetUpProbe<CubeWindow>(true) {}
    ~DyingProbe() override { ++deletions; }
    static int deletions;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message != WM_APP)
            return SetUpProbe<CubeWindow>::WindowProc(message, wParam, lParam);
        startEngine(m_exStyle);
        return 0;
    }
};
int DyingProbe::deletions = 0;

TEST(EngineRestart, WindowDestroyedDuringARestartedSetUpIsDeletedOnce) {
    auto* window = new DyingProbe;
    HWND hwnd = window->create();
    ASSERT_TRUE(hwnd);
    window->duringSetUp = [](HWND target) { DestroyWindow(target); };
    // The restart runs inside one of the window's handlers, as the password check's does.
    SendMessageA(hwnd, WM_APP, 0, 0);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(DyingProbe::deletions, 1);
}

} // namespace
