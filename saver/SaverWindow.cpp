#include "saver/SaverWindow.h"

#include "framework/Trace.h"

#include <cstdlib>

SaverWindow::SaverWindow(bool autoDelete, settings::ProfileStore profile) : CubeWindow(autoDelete, profile) {}

SaverWindow::~SaverWindow() = default;

bool SaverWindow::createFullScreen(const std::string& title) {
    RECT rect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (!Create(WS_EX_TOPMOST, title.c_str(), WS_POPUP | WS_VISIBLE, rect, nullptr, 0))
        return false;
    coverOtherMonitors();
    return true;
}

bool SaverWindow::createTestWindow(const std::string& title) {
    RECT rect{0, 0, 320, 240};
    return Create(0, title.c_str(), WS_VISIBLE | WS_BORDER, rect, nullptr, 0);
}

void SaverWindow::OnSysCommand(UINT command, LPARAM lParam) {
    if (command == SC_SCREENSAVE || command == SC_CLOSE)
        return;
    CubeWindow::OnSysCommand(command, lParam);
}

int SaverWindow::OnCreate(CREATESTRUCTA* create) {
    m_inPasswordCheck = false;
    m_closeRequested = false;
    if (CubeWindow::OnCreate(create) == -1)
        return -1;
    UINT scratch = 0;
    (void)SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, TRUE, &scratch, 0);
    m_mouseRef = POINT{-1, -1};
    m_createTick = GetTickCount();
    m_mouseThreshold = 5;
    return 0;
}

void SaverWindow::OnDestroy() {
    m_covers.remove();
    UINT scratch = 0;
    (void)SystemParametersInfoA(SPI_SETSCREENSAVERRUNNING, FALSE, &scratch, 0);
    PostQuitMessage(0);
    CubeWindow::OnDestroy();
}

BOOL SaverWindow::OnSetCursor(HWND, UINT, UINT) {
    SetCursor(m_inPasswordCheck ? LoadCursorA(nullptr, IDC_ARROW) : nullptr);
    return TRUE;
}

BOOL SaverWindow::OnNcActivate(BOOL active) {
    if (m_inPasswordCheck || active)
        return CubeWindow::OnNcActivate(active);
    return FALSE;
}

void SaverWindow::OnActivate(UINT state, HWND other, BOOL minimized) {
    if (!m_inPasswordCheck && state == WA_INACTIVE)
        requestClose("OnActivate");
    CubeWindow::OnActivate(state, other, minimized);
}

void SaverWindow::OnActivateApp(BOOL active, DWORD threadId) {
    if (!m_inPasswordCheck && !active)
        requestClose("OnActivate");
    CubeWindow::OnActivateApp(active, threadId);
}

void SaverWindow::OnMouseMove(UINT flags, POINT point) {
    if (!m_inPasswordCheck && mouseMovedFar())
        requestClose("Mouse moved");
    CubeWindow::OnMouseMove(flags, point);
}

void SaverWindow::OnLButtonDown(UINT flags, POINT point) {
    if (!m_inPasswordCheck)
        requestClose("Left Mouse Button Down");
    CubeWindow::OnLButtonDown(flags, point);
}

void SaverWindow::OnMButtonDown(UINT flags, POINT point) {
    if (!m_inPasswordCheck)
        requestClose("Middle Mouse Button Down");
    CubeWindow::OnMButtonDown(flags, point);
}

void SaverWindow::OnRButtonDown(UINT flags, POINT point) {
    if (!m_inPasswordCheck)
        requestClose("Right Mouse Button Down");
    CubeWindow::OnRButtonDown(flags, point);
}

void SaverWindow::OnKeyDown(UINT key, UINT repeat, UINT flags) {
    if (!m_inPasswordCheck)
        requestClose("Key Down");
    CubeWindow::OnKeyDown(key, repeat, flags);
}

void SaverWindow::OnSysKeyDown(UINT key, UINT repeat, UINT flags) {
    if (!m_inPasswordCheck)
        requestClose("Sys Key Down");
    CubeWindow::OnSysKeyDown(key, repeat, flags);
}

void SaverWindow::requestClose(const char* reason) {
    Trace("Screen saver window being closed because %s\n", reason);
    m_closeRequested = true;
    (void)PostMessageA(hwnd(), WM_CLOSE, 0, 0);
}

bool SaverWindow::mouseMovedFar() {
    POINT cursor{};
    (void)GetCursorPos(&cursor);
    if (m_mouseRef.x == -1) {
        m_mouseRef = cursor;
        Trace("Setting initial mouse position\n");
        return false;
    }
    return std::abs(cursor.x - m_mouseRef.x) > m_mouseThreshold || std::abs(cursor.y - m_mouseRef.y) > m_mouseThreshold;
}

void SaverWindow::OnClose() {
    // Only the window's own requests close it, never another program's.
    if (!m_closeRequested)
        return;
    // A close dispatched by the check's own message pumping (an activation change alone queues two):
    // destroying here would delete the object under the running check. It is dropped, not kept for
    // later: the check's answer decides, and a refused check must not be followed by a second one at once.
    if (m_inPasswordCheck)
        return;
    if (GetTickCount() == m_createTick) {
        CubeWindow::OnClose();
        return;
    }
    m_inPasswordCheck = true;
    bool mayClose = verifyPassword(hwnd());
    m_inPasswordCheck = false;
    (void)GetCursorPos(&m_mouseRef);
    if (mayClose) {
        CubeWindow::OnClose();
        return;
    }
    restartAfterRefusal();
}

void SaverWindow::restartAfterRefusal() {
    // The set-up belongs to the check: input or a close delivered meanwhile would start a second check
    // at once, or destroy the window under the set-up. They are dropped.
    m_inPasswordCheck = true;
    m_pauseState = Running;
    startEngine(m_exStyle);
    coverOtherMonitors();
    m_inPasswordCheck = false;
}

void SaverWindow::OnDisplayChange(UINT bitsPerPixel, int width, int height) {
    // Monitors plugged in or out, or another resolution: covered again as they are now.
    if (m_covers.active())
        m_covers.cover(hwnd());
    CubeWindow::OnDisplayChange(bitsPerPixel, width, height);
}

void SaverWindow::coverOtherMonitors() {
    if ((m_exStyle & WS_EX_TOPMOST) != 0 && hwnd())
        m_covers.cover(hwnd());
}
