// Helpers for end-to-end tests: start the real programs under Wine, find their windows, read traces.
#pragma once

#include "tests/support/Files.h"
#include "tests/support/Process.h"
#include "tests/support/RegistryValue.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TopWindows.h"
#include "tests/support/TraceLog.h"
#include "tests/support/Wait.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace e2e {

using support::AppDefault;
using support::countLines;
using support::fileExists;
using support::findProcessWindow;
using support::inOrder;
using support::Process;
using support::pumpUntil;
using support::readTextFile;
using support::TempFolder;
using support::waitForProcessWindow;
using support::windowText;
using support::writeTextFile;

// The folder of the test program; Prismata.scr and the tools are built beside it.
std::string binFolder();

// Points the installer's registry value at a folder for one test; puts the old state back after.
class InstallEntry : public support::RegistryValue {
public:
    InstallEntry();
    void setFolder(const std::string& folder) { setString(folder); }
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
    // registry key HKCU\Software\Wine\AppDefaults\Prismata.scr\DllOverrides instead (AppDefault).
    std::vector<std::string> environment;
};
std::unique_ptr<Process> startPrismata(const std::string& arguments, const StartOptions& options);

// The Linux path of a file or folder, through Wine's own export; empty when there is none.
std::string unixPath(const std::string& windowsPath);

// Starts Prismata.scr from a Linux shell with Wine's debug channels on (as WINEDEBUG spells them), its
// debug output in a Linux file: Wine writes it to the Unix standard error, which a Windows program cannot
// redirect. Wine hands out no handle for a Linux program, so callers find Prismata by its windows.
bool startPrismataWithWineDebug(const std::string& arguments, const std::string& channels, const std::string& logFile);

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

} // namespace e2e
