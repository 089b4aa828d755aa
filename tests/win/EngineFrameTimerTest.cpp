// The frame timer of a real cube window in this process: the pause handshake, restarts that must not
// leave two timer chains running, and destruction while ticks are in flight.
#include "saver/CubeWindow.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// A cube window that lets the test drive what the password check drives.
class ProbeWindow : public CubeWindow {
public:
    ProbeWindow() : CubeWindow(false) {}
    bool create() {
        RECT rect{0, 0, 320, 240};
        return Create(0, "Engine probe", WS_POPUP | WS_VISIBLE, rect, nullptr, 0);
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

} // namespace
