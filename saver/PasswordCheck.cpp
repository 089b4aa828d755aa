// The screen-saver password check of the 9x family: pause and drop the engine, then ask PASSWORD.CPL.
#include "saver/SaverWindow.h"

#include "framework/Trace.h"
#include "framework/Handles.h"

namespace {
using VerifyScreenSavePwdFn = BOOL(WINAPI*)(HWND);

constexpr DWORD kPausePollMilliseconds = 100;
constexpr int kPausePolls = 50;

bool isNtFamily() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    static_assert(sizeof(OSVERSIONINFOA) == 148, "the record size the version query expects");
    (void)GetVersionExA(&version);
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}
} // namespace

bool SaverWindow::verifyPassword(HWND owner) {
    // The NT family asks for the password itself.
    if (isNtFamily())
        return true;
    fw::Library library(LoadLibraryA("PASSWORD.CPL"));
    if (!library)
        return true;
    auto verify = reinterpret_cast<VerifyScreenSavePwdFn>(
        reinterpret_cast<void*>(GetProcAddress(library.get(), "VerifyScreenSavePwd")));

    Trace("Requesting pause\n");
    m_pauseState = PauseRequested;
    waitForPauseAcknowledged();
    // Dropped even without an acknowledgement: a failed engine has no frame timer left to give one.
    dropEngine();
    // The covers go with the cube and come back with it when the check refuses.
    m_covers.remove();

    bool mayClose = true;
    if (verify) {
        Trace("About to call VerifyScreenSavePwd\n");
        mayClose = verify(owner) != FALSE;
    }
    m_pauseState = Running;
    return mayClose;
}

void SaverWindow::waitForPauseAcknowledged() {
    // Pumping keeps the window responsive and lets a frame step driven by WM_TIMER run and acknowledge.
    bool quit = false;
    WPARAM quitCode = 0;
    for (int pass = 0; pass < kPausePolls; ++pass) {
        Sleep(kPausePollMilliseconds);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // Not ours to consume: the program's message loop must still see it.
                quit = true;
                quitCode = msg.wParam;
                continue;
            }
            (void)TranslateMessage(&msg);
            (void)DispatchMessageA(&msg);
        }
        if (m_pauseState == PauseAcknowledged)
            break;
    }
    if (quit)
        PostQuitMessage(static_cast<int>(quitCode));
}
