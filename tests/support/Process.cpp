#include "tests/support/Process.h"

#include <algorithm>
#include <cstring>

namespace support {

Process::Process(const std::string& commandLine) {
    start(commandLine, nullptr, "");
}

Process::Process(const std::string& commandLine, const std::vector<std::string>& environment,
                 const std::string& currentFolder) {
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
    start(commandLine, block.data(), currentFolder);
}

Process::Process(DWORD processId) {
    m_info.hProcess =
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE, processId);
    if (m_info.hProcess)
        m_info.dwProcessId = processId;
}

void Process::start(const std::string& commandLine, const char* environmentBlock, const std::string& currentFolder) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, const_cast<char*>(environmentBlock),
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
        if (m_info.hThread)
            CloseHandle(m_info.hThread);
    }
}

bool Process::waitForExit(DWORD milliseconds, DWORD& exitCode) {
    if (!m_info.hProcess || WaitForSingleObject(m_info.hProcess, milliseconds) != WAIT_OBJECT_0)
        return false;
    return GetExitCodeProcess(m_info.hProcess, &exitCode) != FALSE;
}

bool startDetached(const std::string& commandLine) {
    std::vector<char> text(commandLine.begin(), commandLine.end());
    text.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, text.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    if (info.hProcess)
        CloseHandle(info.hProcess);
    if (info.hThread)
        CloseHandle(info.hThread);
    return true;
}

} // namespace support
