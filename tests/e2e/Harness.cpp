#include "tests/e2e/Harness.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <memory>
#include <vector>

namespace e2e {

namespace {
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Prismata_is1";
const char kAppPathValue[] = "Inno Setup: App Path";

void removeTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string path = folder + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(path + "\\");
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}
} // namespace

std::string binFolder() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

TempFolder::TempFolder(const std::string& prefix) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    static LONG counter = 0;
    for (;;) {
        m_path = std::string(temp) + prefix + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                 std::to_string(InterlockedIncrement(&counter)) + "\\";
        if (CreateDirectoryA(m_path.c_str(), nullptr))
            break;
    }
}

TempFolder::~TempFolder() { removeTree(m_path); }

void writeTextFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

std::string readTextFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

InstallEntry::InstallEntry() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        std::vector<char> data(4096);
        DWORD size = static_cast<DWORD>(data.size());
        if (RegQueryValueExA(key, kAppPathValue, nullptr, &m_oldType, reinterpret_cast<BYTE*>(data.data()), &size) ==
            ERROR_SUCCESS) {
            m_hadValue = true;
            m_oldData.assign(data.data(), size);
        }
        RegCloseKey(key);
    }
}

InstallEntry::~InstallEntry() {
    if (m_hadValue)
        setRaw(m_oldType, m_oldData.data(), static_cast<DWORD>(m_oldData.size()));
    else
        remove();
}

void InstallEntry::setFolder(const std::string& folder) {
    setRaw(REG_SZ, folder.c_str(), static_cast<DWORD>(folder.size() + 1));
}

void InstallEntry::setRaw(DWORD type, const void* data, DWORD size) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
        RegSetValueExA(key, kAppPathValue, 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }
}

void InstallEntry::remove() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, kAppPathValue);
        RegCloseKey(key);
    }
}

Process::Process(const std::string& commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &m_info))
        m_info = PROCESS_INFORMATION{};
}

Process::Process(const std::string& commandLine, const std::vector<std::string>& environment,
                 const std::string& currentFolder) {
    // The inherited block with each given variable replaced or added (names compare without case).
    std::vector<std::string> variables;
    if (char* block = GetEnvironmentStringsA()) {
        for (const char* entry = block; *entry; entry += std::strlen(entry) + 1)
            variables.emplace_back(entry);
        FreeEnvironmentStringsA(block);
    }
    for (const std::string& setting : environment) {
        std::string name = setting.substr(0, setting.find('=') + 1);
        auto same = [&](const std::string& v) { return _strnicmp(v.c_str(), name.c_str(), name.size()) == 0; };
        variables.erase(std::remove_if(variables.begin(), variables.end(), same), variables.end());
        variables.push_back(setting);
    }
    std::string block;
    for (const std::string& v : variables)
        block += v + '\0';
    block += '\0';
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, block.data(),
                        currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup, &m_info))
        m_info = PROCESS_INFORMATION{};
}

Process::~Process() {
    if (m_info.hProcess) {
        if (WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(m_info.hProcess, 99);
            WaitForSingleObject(m_info.hProcess, 5000);
        }
        CloseHandle(m_info.hProcess);
        CloseHandle(m_info.hThread);
    }
}

bool Process::waitForExit(DWORD milliseconds, DWORD& exitCode) {
    if (!m_info.hProcess || WaitForSingleObject(m_info.hProcess, milliseconds) != WAIT_OBJECT_0)
        return false;
    return GetExitCodeProcess(m_info.hProcess, &exitCode) != FALSE;
}

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
    waitUntil([] { return FindWindowA(nullptr, "Prismata Debug Logger") != nullptr; }, 10000);
}

Logger::~Logger() {
    HWND window = FindWindowA(nullptr, "Prismata Debug Logger");
    if (window)
        PostMessageA(window, WM_CLOSE, 0, 0);
    DWORD code = 0;
    m_process->waitForExit(5000, code);
    m_process.reset();
}

std::string Logger::text() const { return readTextFile(m_file); }

bool Logger::waitFor(const std::string& fragment, DWORD milliseconds) const {
    return waitUntil([&] { return text().find(fragment) != std::string::npos; }, milliseconds);
}

bool waitUntil(const std::function<bool()>& predicate, DWORD milliseconds) {
    DWORD start = GetTickCount();
    for (;;) {
        if (predicate())
            return true;
        if (GetTickCount() - start >= milliseconds)
            return false;
        // Keep this thread's own windows alive while waiting.
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(20);
    }
}

std::string windowText(HWND hwnd) {
    char text[1024] = "";
    // WM_GETTEXT works across processes where GetWindowText does not.
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                        nullptr);
    return text;
}

HWND findProcessWindow(DWORD processId, const std::string& title, const std::string& className) {
    struct Search {
        DWORD processId;
        const std::string* title;
        const std::string* className;
        HWND found;
    } search{processId, &title, &className, nullptr};
    EnumWindows(
        [](HWND hwnd, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (owner != s->processId)
                return TRUE;
            char cls[256] = "";
            GetClassNameA(hwnd, cls, sizeof cls);
            if (!s->className->empty() && *s->className != cls)
                return TRUE;
            if (windowText(hwnd) != *s->title)
                return TRUE;
            s->found = hwnd;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND waitForProcessWindow(DWORD processId, const std::string& title, DWORD milliseconds,
                          const std::string& className) {
    HWND found = nullptr;
    waitUntil(
        [&] {
            found = findProcessWindow(processId, title, className);
            return found != nullptr;
        },
        milliseconds);
    return found;
}

} // namespace e2e
