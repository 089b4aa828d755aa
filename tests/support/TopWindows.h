// Finding top-level windows by title: a given process's, or this process's own visible ones.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace support {

// Call visit for each top-level window, each top-level window of a thread, or each descendant of a window,
// until it returns false. The system's enumerations call back with stdcall, which a lambda cannot promise.
void forEachTopWindow(const std::function<bool(HWND)>& visit);
void forEachThreadWindow(DWORD threadId, const std::function<bool(HWND)>& visit);
void forEachChildWindow(HWND parent, const std::function<bool(HWND)>& visit);

// Works across processes, where GetWindowText does not.
std::string windowText(HWND hwnd);

// A top-level window of the process whose title is exactly the text (of the class, when one is given).
HWND findProcessWindow(DWORD processId, const std::string& title, const std::string& className = "");
HWND waitForProcessWindow(DWORD processId, const std::string& title, DWORD milliseconds,
                          const std::string& className = "");

// A visible top-level window of this process with exactly this title, or null. The wait does not pump:
// it is for a driver thread while the window's own thread runs the modal loop.
HWND findOwnWindow(const std::string& title);
HWND waitForOwnWindow(const std::string& title, DWORD milliseconds = 10000);

} // namespace support
