// Test double for the system's control.exe: appends how it was started to "control-calls.txt" beside
// itself and ends. The launcher's tests put it where the search path finds it first.
#include <windows.h>

#include <string>

namespace {

std::string ownFolder() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1);
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

    HANDLE file = CreateFileA((ownFolder() + "control-calls.txt").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written = 0;
    WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
    CloseHandle(file);
    return 0;
}
