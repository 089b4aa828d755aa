// Opens the program's help at a dialog's topic, with the help viewer the system has.
#pragma once

#include "settings/AppContext.h"

#include <windows.h>

#include <string>

namespace config {

// The Help buttons' viewer for one configuration run. The HTML Help viewer's windows belong to hhctrl.ocx,
// loaded at the first request; they are closed when this object goes, at the end of the run. The library
// itself stays loaded until the process ends, right after: HTML Help runs its viewer on a thread of its
// own, which closing the windows does not wait for, so unloading it here could pull its code from under
// that thread.
class Help {
public:
    explicit Help(const settings::AppContext& app);
    ~Help();
    Help(const Help&) = delete;
    Help& operator=(const Help&) = delete;

    // Opens the help at the context's topic, owned by the window, and returns at once. A help file that is
    // missing, or that the viewer cannot open, is reported in a message box owned by the window.
    void open(HWND owner, unsigned context);

private:
    using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);

    bool loadHtmlHelp();
    // The text holds one %s, where the file's path goes.
    void report(HWND owner, const char* text, const std::string& file) const;

    const settings::AppContext& m_app;
    HMODULE m_htmlHelpLibrary = nullptr; // never freed, see above
    HtmlHelpFunction m_htmlHelp = nullptr;
};

} // namespace config
