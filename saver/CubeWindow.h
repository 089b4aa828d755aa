// The window that hosts one display engine; on its own, the preview child of Display Properties.
#pragma once

#include "framework/Window.h"
#include "saver/PauseState.h"

#include <atomic>

class CubeWindow : public fw::Window {
public:
    explicit CubeWindow(bool autoDelete);
    ~CubeWindow() override;

    virtual bool Create(DWORD exStyle, const char* title, DWORD style, const RECT& rect, HWND parent, UINT_PTR id);

protected:
    void PostNcDestroy() override;

    // Creates the engine for this window and arms the frame timer.
    void startEngine(DWORD exStyle);
    // Destroys the engine, if any (the password check does this once the frame timer has paused).
    void dropEngine();

    bool m_autoDelete;
    DWORD m_exStyle = 0;
    // Written by the window thread (Running, PauseRequested) and the frame timer (PauseAcknowledged).
    std::atomic<long> m_pauseState{Running};
    unsigned m_frameCount = 0;
    unsigned m_timerId = 0;
    DWORD m_startTick = 0;
};
