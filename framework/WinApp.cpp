#include "framework/WinApp.h"

#include "framework/Window.h"

namespace fw {

namespace {
WinApp* g_app = nullptr;
constexpr UINT kAppTitleString = 57344;
} // namespace

WinApp::WinApp() {
    g_app = this;
}

WinApp::~WinApp() {
    if (g_app == this)
        g_app = nullptr;
}

WinApp* WinApp::current() {
    return g_app;
}

std::string loadResourceString(UINT id) {
    char buffer[1024];
    int length = LoadStringA(GetModuleHandleA(nullptr), id, buffer, sizeof buffer);
    return length > 0 ? std::string(buffer, static_cast<size_t>(length)) : std::string();
}

bool WinApp::PreTranslateMessage(MSG* msg) {
    for (HWND hwnd = msg->hwnd; hwnd; hwnd = GetParent(hwnd)) {
        Window* window = Window::fromHandle(hwnd);
        if (window && window->PreTranslateMessage(msg))
            return true;
    }
    return false;
}

int WinApp::run(HINSTANCE instance) {
    m_instance = instance;
    m_title = loadResourceString(kAppTitleString);
    if (!InitInstance())
        return ExitInstance(0);
    MSG msg;
    int exitCode = 0;
    for (;;) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            exitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (got == -1)
            break;
        if (!PreTranslateMessage(&msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return ExitInstance(exitCode);
}

} // namespace fw
