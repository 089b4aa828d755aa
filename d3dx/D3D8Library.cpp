#include "d3dx/D3D8Library.h"

namespace d3dx {

namespace {
using Direct3DCreate8Fn = IDirect3D8*(WINAPI*)(UINT);
}

IDirect3D8* D3D8Library::create(UINT sdkVersion) {
    if (!m_module) {
        m_module.reset(LoadLibraryExA("d3d8.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
        // Windows 7 without KB2533623 knows no search flags and refuses the call: name the file in full.
        if (!m_module && GetLastError() == ERROR_INVALID_PARAMETER) {
            char path[MAX_PATH];
            const UINT length = GetSystemDirectoryA(path, MAX_PATH);
            if (length > 0 && length + sizeof "\\d3d8.dll" <= MAX_PATH) {
                lstrcatA(path, "\\d3d8.dll");
                m_module.reset(LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
            }
        }
        // Never unloaded: a full-screen device subclasses its window, and Wine leaves that window
        // procedure in place after the device is gone; unloading the library would leave the window
        // calling into unmapped code.
        HMODULE pinned = nullptr;
        if (m_module)
            (void)GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_PIN, "d3d8.dll", &pinned);
    }
    if (!m_module)
        return nullptr;
    auto createFn =
        reinterpret_cast<Direct3DCreate8Fn>(reinterpret_cast<void*>(GetProcAddress(m_module.get(), "Direct3DCreate8")));
    return createFn ? createFn(sdkVersion) : nullptr;
}

} // namespace d3dx
