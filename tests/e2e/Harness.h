// Helpers for end-to-end tests: start the real programs under Wine, find their windows, read traces.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace e2e {

// The folder of the test program; Prismata.scr and the tools are built beside it.
std::string binFolder();

// A fresh folder under the temporary folder, removed with everything in it at the end.
class TempFolder {
public:
    explicit TempFolder(const std::string& prefix = "prismata");
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    // Ends with a backslash.
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

void writeTextFile(const std::string& path, const std::string& text);
std::string readTextFile(const std::string& path);

// Points the installer's registry value at a folder for one test; puts the old state back after.
class InstallEntry {
public:
    InstallEntry();
    ~InstallEntry();
    InstallEntry(const InstallEntry&) = delete;
    InstallEntry& operator=(const InstallEntry&) = delete;

    void setFolder(const std::string& folder);
    void setRaw(DWORD type, const void* data, DWORD size);
    void remove();

private:
    bool m_hadValue = false;
    DWORD m_oldType = 0;
    std::string m_oldData;
};

// A started process; killed if still running when the object goes.
class Process {
public:
    explicit Process(const std::string& commandLine);
    // With "NAME=value" entries set on top of this process's environment, and a current folder (empty:
    // this process's).
    Process(const std::string& commandLine, const std::vector<std::string>& environment,
            const std::string& currentFolder);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    bool started() const { return m_info.hProcess != nullptr; }
    DWORD id() const { return m_info.dwProcessId; }
    // True when the process ended within the time; its exit code lands in exitCode.
    bool waitForExit(DWORD milliseconds, DWORD& exitCode);

private:
    PROCESS_INFORMATION m_info{};
};

// Starts Prismata.scr with the given arguments.
std::unique_ptr<Process> startPrismata(const std::string& arguments);

// Where and with what environment startPrismata runs the program.
struct StartOptions {
    // The folder holding the Prismata.scr to run, ending with a backslash; empty: binFolder(). It is also
    // the program's current folder.
    std::string folder;
    // "NAME=value" entries set on top of this process's environment. Wine 8 reads its own loader
    // variables (WINEDLLOVERRIDES) from its Unix environment, not from this block: use the per-program
    // registry key HKCU\Software\Wine\AppDefaults\Prismata.scr\DllOverrides instead.
    std::vector<std::string> environment;
};
std::unique_ptr<Process> startPrismata(const std::string& arguments, const StartOptions& options);

// The logger tool, running for one test; its file holds what Prismata traced.
class Logger {
public:
    Logger();
    ~Logger();
    std::string text() const;
    // Waits until the logged text contains the fragment.
    bool waitFor(const std::string& fragment, DWORD milliseconds) const;

private:
    TempFolder m_folder;
    std::string m_file;
    std::unique_ptr<Process> m_process;
};

// Polls until the predicate holds or the time runs out.
bool waitUntil(const std::function<bool()>& predicate, DWORD milliseconds);

// A top-level window of the given process whose title is exactly the text (any class).
HWND findProcessWindow(DWORD processId, const std::string& title, const std::string& className = "");
HWND waitForProcessWindow(DWORD processId, const std::string& title, DWORD milliseconds,
                          const std::string& className = "");

std::string windowText(HWND hwnd);

} // namespace e2e
