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
