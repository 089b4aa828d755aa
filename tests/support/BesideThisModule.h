// The path of a file in the folder of the module (program or DLL) this code is linked into: the test
// doubles read their answers and write their records there.
#pragma once

#include <windows.h>

#include <string>

namespace support {

inline std::string besideThisModule(const char* name) {
    HMODULE self = nullptr;
    (void)GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                             reinterpret_cast<LPCSTR>(&besideThisModule), &self);
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(self, path, sizeof path);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1) + name;
}

} // namespace support
