// Test double for a system program (control.exe, or icacls.exe when copied under that name): appends how
// it was started to "<its own name>-calls.txt" beside itself and ends with 0. The tests put it where the
// program under test finds it.
#include <windows.h>

#include <string>

namespace {

// The program's path without its extension: "C:\x\control" for "C:\x\control.exe".
std::string ownPathStem() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string own(path, length);
    size_t dot = own.find_last_of('.');
    return dot != std::string::npos && dot > own.find_last_of('\\') ? own.substr(0, dot) : own;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    char folder[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof folder, folder);

    std::string record = "command=" + std::string(GetCommandLineA()) + "\r\n";
    record += "startupFlags=" + std::to_string(startup.dwFlags) + "\r\n";
    record +=
        "version=" + std::to_string(version.dwMajorVersion) + "." + std::to_string(version.dwMinorVersion) + "\r\n";
    record += "folder=" + std::string(folder) + "\r\n";

    HANDLE file = CreateFileA((ownPathStem() + "-calls.txt").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    CloseHandle(file);
    return 0;
}
