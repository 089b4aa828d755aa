#include "tests/support/TopWindows.h"

#include "tests/support/Wait.h"

namespace support {

namespace {

struct Search {
    DWORD processId;
    bool visibleOnly;
    const std::string* title;
    const std::string* className;
    HWND found;
};

BOOL CALLBACK matchWindow(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    if (owner != s->processId || (s->visibleOnly && !IsWindowVisible(hwnd)))
        return TRUE;
    char cls[256] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (!s->className->empty() && *s->className != cls)
        return TRUE;
    if (windowText(hwnd) != *s->title)
        return TRUE;
    s->found = hwnd;
    return FALSE;
}

HWND find(DWORD processId, bool visibleOnly, const std::string& title, const std::string& className) {
    Search search{processId, visibleOnly, &title, &className, nullptr};
    EnumWindows(&matchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK visitWindow(HWND hwnd, LPARAM param) {
    return (*reinterpret_cast<const std::function<bool(HWND)>*>(param))(hwnd) ? TRUE : FALSE;
}

} // namespace

void forEachTopWindow(const std::function<bool(HWND)>& visit) {
    EnumWindows(&visitWindow, reinterpret_cast<LPARAM>(&visit));
}

void forEachThreadWindow(DWORD threadId, const std::function<bool(HWND)>& visit) {
    EnumThreadWindows(threadId, &visitWindow, reinterpret_cast<LPARAM>(&visit));
}

void forEachChildWindow(HWND parent, const std::function<bool(HWND)>& visit) {
    EnumChildWindows(parent, &visitWindow, reinterpret_cast<LPARAM>(&visit));
}

std::string windowText(HWND hwnd) {
    char text[2048] = "";
    SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
}

HWND findProcessWindow(DWORD processId, const std::string& title, const std::string& className) {
    return find(processId, false, title, className);
}

HWND waitForProcessWindow(DWORD processId, const std::string& title, DWORD milliseconds, const std::string& className) {
    HWND found = nullptr;
    pumpUntil([&] { return (found = findProcessWindow(processId, title, className)) != nullptr; }, milliseconds);
    return found;
}

HWND findOwnWindow(const std::string& title) {
    return find(GetCurrentProcessId(), true, title, "");
}

HWND waitForOwnWindow(const std::string& title, DWORD milliseconds) {
    HWND found = nullptr;
    waitUntil([&] { return (found = findOwnWindow(title)) != nullptr; }, milliseconds);
    return found;
}

} // namespace support
