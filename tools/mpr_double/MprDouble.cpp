// Test double of the system's MPR.DLL: PwdChangePasswordA appends its arguments to
// "PwdChangePasswordA.calls" beside this file and returns 0, as a finished change dialog would.
#include "tests/support/BesideThisModule.h"

#include <windows.h>

#include <cstdio>
#include <string>

using support::besideThisModule;

extern "C" __declspec(dllexport) DWORD WINAPI
    PwdChangePasswordA(LPCSTR provider, HWND parent, DWORD reserved1, DWORD reserved2) {
    if (FILE* calls = std::fopen(besideThisModule("PwdChangePasswordA.calls").c_str(), "ab")) {
        std::fprintf(calls, "PwdChangePasswordA %s %llu %lu %lu\n", provider ? provider : "(null)",
                     static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(parent)),
                     static_cast<unsigned long>(reserved1), static_cast<unsigned long>(reserved2));
        std::fclose(calls);
    }
    return 0;
}
