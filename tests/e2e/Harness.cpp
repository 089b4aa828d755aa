#include "tests/e2e/Harness.h"

namespace e2e {

std::string binFolder() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

InstallEntry::InstallEntry()
    : RegistryValue(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Prismata_is1",
                    "Inno Setup: App Path") {}

std::unique_ptr<Process> startPrismata(const std::string& arguments) {
    std::string line = "\"" + binFolder() + "Prismata.scr\"";
    if (!arguments.empty())
        line += " " + arguments;
    return std::make_unique<Process>(line);
}

std::unique_ptr<Process> startPrismata(const std::string& arguments, const StartOptions& options) {
    std::string folder = options.folder.empty() ? binFolder() : options.folder;
    std::string line = "\"" + folder + "Prismata.scr\"";
    if (!arguments.empty())
        line += " " + arguments;
    return std::make_unique<Process>(line, options.environment, folder);
}

std::string unixPath(const std::string& windowsPath) {
    using UnixFileName = char*(CDECL*)(const wchar_t*);
    auto toUnix = reinterpret_cast<UnixFileName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    wchar_t wide[MAX_PATH] = L"";
    if (!toUnix || !MultiByteToWideChar(CP_ACP, 0, windowsPath.c_str(), -1, wide, MAX_PATH))
        return "";
    char* path = toUnix(wide);
    if (!path)
        return "";
    std::string result(path);
    HeapFree(GetProcessHeap(), 0, path);
    return result;
}

bool startPrismataWithWineDebug(const std::string& arguments, const std::string& channels, const std::string& logFile) {
    std::string program = unixPath(binFolder() + "Prismata.scr");
    std::string log = unixPath(logFile);
    if (program.empty() || log.empty())
        return false;
    std::string line =
        "/bin/sh -c \"WINEDEBUG=" + channels + " exec wine '" + program + "' " + arguments + " 2>'" + log + "'\"";
    return support::startDetached(line);
}

Logger::Logger() : m_folder("logger"), m_file(m_folder.path() + "trace.log") {
    writeTextFile(m_file, "");
    m_process = std::make_unique<Process>("\"" + binFolder() + "PrismataLogger.exe\" \"" + m_file + "\"");
    pumpUntil([] { return FindWindowA(nullptr, "Prismata Debug Logger") != nullptr; }, 10000);
}

Logger::~Logger() {
    HWND window = FindWindowA(nullptr, "Prismata Debug Logger");
    if (window)
        PostMessageA(window, WM_CLOSE, 0, 0);
    DWORD code = 0;
    m_process->waitForExit(5000, code);
    m_process.reset();
}

std::string Logger::text() const {
    return readTextFile(m_file);
}

bool Logger::waitFor(const std::string& fragment, DWORD milliseconds) const {
    return pumpUntil([&] { return text().find(fragment) != std::string::npos; }, milliseconds);
}

} // namespace e2e
