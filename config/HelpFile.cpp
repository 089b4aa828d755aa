#include "config/HelpFile.h"

#include "config/ConfigTexts.h"
#include "config/HelpRoute.h"
#include "framework/Handles.h"
#include "framework/Trace.h"

#include <htmlhelp.h>

#include <memory>

namespace config {

namespace {

struct WinHelpRequest {
    HWND owner;
    std::string file;
    unsigned context;
};

// The viewer answers the request synchronously and, for a file it cannot read, only after the user has
// dismissed its own error box: asked from here, the dialog keeps working meanwhile.
DWORD WINAPI winHelpThread(void* parameter) {
    std::unique_ptr<WinHelpRequest> request(static_cast<WinHelpRequest*>(parameter));
    // The result is not examined: the viewer reports its own failures.
    (void)WinHelpA(request->owner, request->file.c_str(), HELP_CONTEXT, request->context);
    return 0;
}

void openWinHelp(HWND owner, const HelpRoute& route) {
    auto request = std::make_unique<WinHelpRequest>(WinHelpRequest{owner, route.file, route.context});
    fw::KernelHandle thread(CreateThread(nullptr, 0, winHelpThread, request.get(), 0, nullptr));
    if (thread)
        (void)request.release(); // the thread owns it now
}

bool isFile(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

} // namespace

Help::Help(const settings::AppContext& app) : m_app(app) {}

Help::~Help() {
    if (m_htmlHelp)
        (void)m_htmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0);
}

void Help::open(HWND owner, unsigned context) {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    // On failure the zeroes stand, which choose WinHelp.
    (void)GetVersionExA(&version);
    HelpRoute route = helpRoute(version.dwPlatformId, version.dwMajorVersion, m_app.installFolder, context);
    if (!isFile(route.file)) {
        Trace("Help: no help file %s\n", route.file.c_str());
        report(owner, kHelpMissingText, route.file);
        return;
    }
    if (route.viewer == HelpViewer::WinHelp) {
        Trace("Help: WinHelp %s context %u\n", route.file.c_str(), route.context);
        openWinHelp(owner, route);
        return;
    }
    // Asked from the dialog's own thread: the viewer's window is owned by the dialog and outlives the call.
    HWND viewer = loadHtmlHelp() ? m_htmlHelp(owner, route.topic.c_str(), HH_DISPLAY_TOPIC, 0) : nullptr;
    Trace("Help: HTML Help %s %s\n", route.topic.c_str(), viewer ? "opened" : "failed");
    if (!viewer)
        report(owner, kHelpUnopenedText, route.file);
}

bool Help::loadHtmlHelp() {
    if (m_htmlHelp)
        return true;
    if (!m_htmlHelpLibrary)
        m_htmlHelpLibrary = LoadLibraryA("hhctrl.ocx");
    if (m_htmlHelpLibrary)
        m_htmlHelp =
            reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void*>(GetProcAddress(m_htmlHelpLibrary, "HtmlHelpA")));
    return m_htmlHelp != nullptr;
}

void Help::report(HWND owner, const char* text, const std::string& file) const {
    std::string message(text);
    message.replace(message.find("%s"), 2, file);
    (void)MessageBoxA(owner, message.c_str(), m_app.title.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

} // namespace config
