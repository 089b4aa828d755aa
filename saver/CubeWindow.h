// The window that hosts one display engine; on its own, the preview child of Display Properties.
// It owns the engine and the frame timer that drives it.
#pragma once

#include "engine/DeviceCalls.h"
#include "framework/Window.h"
#include "saver/FrameTimer.h"
#include "saver/PauseState.h"
#include "settings/ProfileStore.h"

#include <atomic>
#include <memory>

class DXGraphics;

class CubeWindow : public fw::Window {
public:
    // profile: where each engine reads the show's settings. timerCalls and deviceCalls: the multimedia timer
    // and the device's present and reset, which tests replace.
    explicit CubeWindow(bool autoDelete, settings::ProfileStore profile = {}, FrameTimer::Calls timerCalls = {},
                        engine::DeviceCalls deviceCalls = {});
    ~CubeWindow() override;

    virtual bool Create(DWORD exStyle, const char* title, DWORD style, const RECT& rect, HWND parent, UINT_PTR id);

protected:
    void PostNcDestroy() override;
    void OnDestroy() override;
    void OnPaint() override;
    void OnTimer(UINT_PTR id) override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Creates the engine for this window and arms the frame timer; an earlier engine and its timer
    // chain are stopped first.
    void startEngine(DWORD exStyle);
    // The device set-up inside startEngine. Direct3D may deliver sent messages to the window meanwhile;
    // tests deliver theirs here.
    virtual void setUpEngine(DXGraphics& engine);
    // Stops the frame timer, then destroys the engine, if any (the password check does this once the
    // frame timer has paused).
    void dropEngine();

    // One tick: acknowledges a pause, or draws a frame. False ends the timer chain.
    bool frameStep();

    bool m_autoDelete;
    settings::ProfileStore m_profile;
    // startEngine is setting up a device; a destruction meanwhile defers the self-deletion.
    bool m_startingEngine = false;
    bool m_destroyedWhileStarting = false;
    DWORD m_exStyle = 0;
    // Written by the window thread (Running, PauseRequested) and the frame timer (PauseAcknowledged).
    std::atomic<long> m_pauseState{Running};
    // Frame thread while a chain runs; the window thread only before arming.
    std::atomic<int> m_frameCount{0};
    DWORD m_startTick = 0;

private:
    void armFrameTimer();
    // The multimedia timer could not be armed for the next tick: window timer 101 takes over here, on the
    // window's own thread (SetTimer takes only windows of the calling thread). chain: the ended chain's
    // number, so that a report that comes after a restart changes nothing.
    void OnFrameTimerFailed(unsigned chain);
    // Posted by a tick that found the device lost: the device is mended on the thread that made it.
    void OnRestoreDevice();
    void startWindowTimer();
    // Afterwards no tick is running and none will touch this window or its engine.
    void stopFrameTimer();
    void paintFailure(HDC dc);

    std::unique_ptr<DXGraphics> m_engine;
    FrameTimer m_frameTimer; // declared after the engine: it stops before the engine goes
    bool m_windowTimerRunning = false;
    engine::DeviceCalls m_deviceCalls;
    // A restore request is on its way to the window thread.
    std::atomic<bool> m_restorePosted{false};
    // Counts the chains armed; window thread only.
    unsigned m_chainNumber = 0;
};
