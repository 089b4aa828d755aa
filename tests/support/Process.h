// A started process; killed if it is still running when the object goes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace support {

class Process {
public:
    explicit Process(const std::string& commandLine);
    // With "NAME=value" entries set on top of this process's environment (names compare without case),
    // and a current folder (empty: this process's).
    Process(const std::string& commandLine, const std::vector<std::string>& environment,
            const std::string& currentFolder);
    // A process started some other way, found by its id.
    explicit Process(DWORD processId);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool started() const { return m_info.hProcess != nullptr; }
    DWORD id() const { return m_info.dwProcessId; }
    // True when the process ended within the time; its exit code lands in exitCode.
    bool waitForExit(DWORD milliseconds, DWORD& exitCode);

private:
    void start(const std::string& commandLine, const char* environmentBlock, const std::string& currentFolder);

    PROCESS_INFORMATION m_info{};
};

// Starts a program that is not waited for (a Linux program Wine starts gives no handle to wait on); false
// when it could not be started.
bool startDetached(const std::string& commandLine);

} // namespace support
