// Test double of the system's MPR.DLL: PwdChangePasswordA appends its arguments to
// "PwdChangePasswordA.calls" beside this file and returns 0, as a finished change dialog would.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string besideThisModule(const char* name) {
    HMODULE self = nullptr;
    (void)GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                             reinterpret_cast<LPCSTR>(&besideThisModule), &self);
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(self, path, sizeof path);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

} // namespace

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
