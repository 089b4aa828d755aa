// The password-change mode: the system's change dialog for the screen-saver password, from MPR.DLL.
#include "app/SaverApp.h"
#include "framework/Handles.h"

namespace {
using PwdChangePasswordFn = DWORD(WINAPI*)(LPCSTR provider, HWND parent, DWORD reserved1, DWORD reserved2);
}

void SaverApp::changePassword(HWND parent) {
    // Missing library or export: nothing to show, the mode just ends.
    fw::Library mpr(LoadLibraryA("MPR.DLL"));
    if (!mpr)
        return;
    auto change =
        reinterpret_cast<PwdChangePasswordFn>(reinterpret_cast<void*>(GetProcAddress(mpr.get(), "PwdChangePasswordA")));
    if (change)
        (void)change("SCRSAVE", parent, 0, 0);
}
