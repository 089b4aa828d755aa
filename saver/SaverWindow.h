// The full-screen and test window: hides the cursor, flags the running screen saver and ends the show
// on the first input.
#pragma once

#include "saver/CubeWindow.h"
#include "saver/MonitorCovers.h"

#include <string>

class SaverWindow : public CubeWindow {
public:
    explicit SaverWindow(bool autoDelete, settings::ProfileStore profile = {});
    ~SaverWindow() override;

    bool createFullScreen(const std::string& title);
    bool createTestWindow(const std::string& title);

protected:
    void OnSysCommand(UINT command, LPARAM lParam) override;
    int OnCreate(CREATESTRUCTA* create) override;
    void OnDestroy() override;
    BOOL OnSetCursor(HWND window, UINT hitTest, UINT message) override;
    BOOL OnNcActivate(BOOL active) override;
    void OnActivate(UINT state, HWND other, BOOL minimized) override;
    void OnActivateApp(BOOL active, DWORD threadId) override;
    void OnMouseMove(UINT flags, POINT point) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnMButtonDown(UINT flags, POINT point) override;
    void OnRButtonDown(UINT flags, POINT point) override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    void OnSysKeyDown(UINT key, UINT repeat, UINT flags) override;
    void OnClose() override;
    void OnDisplayChange(UINT bitsPerPixel, int width, int height) override;

    // A new engine after a refused password check.
    void restartAfterRefusal();

private:
    void requestClose(const char* reason);
    bool mouseMovedFar();
    // True when the window may close. Pauses and drops the engine first where a check is needed.
    bool verifyPassword(HWND owner);
    void waitForPauseAcknowledged();
    // The full-screen show darkens every other monitor while its cube runs.
    void coverOtherMonitors();

    // All members below are used on the window thread only.
    bool m_inPasswordCheck = false;
    bool m_closeRequested = false;
    POINT m_mouseRef{-1, -1};
    DWORD m_createTick = 0;
    int m_mouseThreshold = 5;
    MonitorCovers m_covers;
};
