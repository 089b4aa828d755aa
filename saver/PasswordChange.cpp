#include "app/SaverApp.h"
#include "framework/Handles.h"

namespace {
using PwdChangePasswordFn = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, LPVOID);
}

void SaverApp::changePassword(HWND parent) {
    fw::Library mpr(LoadLibraryA("MPR.DLL"));
    if (!mpr)
        return;
    auto change = reinterpret_cast<PwdChangePasswordFn>(
        reinterpret_cast<void*>(GetProcAddress(mpr.get(), "PwdChangePasswordA")));
    if (change)
        (void)change("SCRSAVE", parent, 0, nullptr);
}
