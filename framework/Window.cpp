#include "framework/Window.h"

#include "framework/WinApp.h"

#include <cstdio>

namespace fw {

namespace {
const char kObjectProperty[] = "fw.Window";

POINT pointFrom(LPARAM lParam) {
    return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}
} // namespace

Window::~Window() {
    if (m_hwnd) {
        // The object goes first: detach so the closing messages no longer reach it.
        (void)RemovePropA(m_hwnd, kObjectProperty);
        SetWindowLongPtrA(m_hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcA));
        ::DestroyWindow(m_hwnd);
        m_hwnd = nullptr;
    }
}

std::string Window::registerWindowClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon) {
    char name[96];
    std::snprintf(name, sizeof name, "Prismata:%x:%p:%p:%p", classStyle, static_cast<void*>(cursor),
                  static_cast<void*>(background), static_cast<void*>(icon));
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA existing;
    if (GetClassInfoA(instance, name, &existing))
        return name;
    WNDCLASSA wc{};
    wc.style = classStyle;
    wc.lpfnWndProc = staticWindowProc;
    wc.hInstance = instance;
    wc.hIcon = icon;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    (void)RegisterClassA(&wc);
    return name;
}

bool Window::CreateEx(DWORD exStyle, const std::string& className, const char* title, DWORD style, const RECT& rect,
                      HWND parent, UINT_PTR id) {
    m_creating = true;
    HWND made =
        CreateWindowExA(exStyle, className.c_str(), title, style, rect.left, rect.top, rect.right - rect.left,
                        rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(id), GetModuleHandleA(nullptr), this);
    m_creating = false;
    return made != nullptr;
}

bool Window::DestroyWindow() {
    return m_hwnd && ::DestroyWindow(m_hwnd);
}

Window* Window::fromHandle(HWND hwnd) {
    // The property names an object only in the process that set it: a parent window of another program
    // built on this framework carries it too.
    DWORD owner = 0;
    if (!hwnd || !GetWindowThreadProcessId(hwnd, &owner) || owner != GetCurrentProcessId())
        return nullptr;
    return static_cast<Window*>(GetPropA(hwnd, kObjectProperty));
}

bool Window::PreTranslateMessage(MSG*) {
    return false;
}

LRESULT CALLBACK Window::staticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Window* window = nullptr;
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        window = static_cast<Window*>(create->lpCreateParams);
        if (window) {
            window->m_hwnd = hwnd;
            (void)SetPropA(hwnd, kObjectProperty, window);
        }
    } else {
        window = fromHandle(hwnd);
    }
    if (!window)
        return DefWindowProcA(hwnd, message, wParam, lParam);

    if (message == WM_NCDESTROY) {
        LRESULT result = window->dispatch(message, wParam, lParam);
        (void)RemovePropA(hwnd, kObjectProperty);
        window->m_hwnd = nullptr;
        WinApp* app = WinApp::current();
        if (app && app->mainWindow() == window) {
            // The main window is gone: the program's run ends.
            app->setMainWindow(nullptr);
            PostQuitMessage(0);
        }
        if (!window->m_creating) {
            // Destroyed from inside one of its own handlers: the outermost dispatch still uses the object
            // and deletes it as it leaves.
            if (window->m_dispatchDepth > 0)
                window->m_deletePending = true;
            else
                window->PostNcDestroy();
        }
        return result;
    }
    return window->dispatch(message, wParam, lParam);
}

LRESULT Window::dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
    CurrentMessage saved = m_current;
    m_current = CurrentMessage{message, wParam, lParam};
    ++m_dispatchDepth;
    LRESULT result = WindowProc(message, wParam, lParam);
    m_current = saved;
    if (--m_dispatchDepth == 0 && m_deletePending)
        PostNcDestroy(); // last use of the object
    return result;
}

LRESULT Window::Default() {
    return DefWindowProcA(m_hwnd, m_current.message, m_current.wParam, m_current.lParam);
}

LRESULT Window::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return OnCreate(reinterpret_cast<CREATESTRUCTA*>(lParam));
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_CLOSE:
        OnClose();
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return OnEraseBkgnd(reinterpret_cast<HDC>(wParam));
    case WM_SIZE:
        OnSize(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_TIMER:
        OnTimer(wParam);
        return 0;
    case WM_SYSCOMMAND:
        OnSysCommand(static_cast<UINT>(wParam), lParam);
        return 0;
    case WM_SETCURSOR:
        return OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam));
    case WM_NCACTIVATE:
        return OnNcActivate(static_cast<BOOL>(wParam));
    case WM_ACTIVATE:
        OnActivate(LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam) != 0);
        return 0;
    case WM_ACTIVATEAPP:
        OnActivateApp(static_cast<BOOL>(wParam), static_cast<DWORD>(lParam));
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(static_cast<UINT>(wParam), pointFrom(lParam));
        return 0;
    case WM_LBUTTONDOWN:
        OnLButtonDown(static_cast<UINT>(wParam), pointFrom(lParam));
        return 0;
    case WM_MBUTTONDOWN:
        OnMButtonDown(static_cast<UINT>(wParam), pointFrom(lParam));
        return 0;
    case WM_RBUTTONDOWN:
        OnRButtonDown(static_cast<UINT>(wParam), pointFrom(lParam));
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_SYSKEYDOWN:
        OnSysKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_COPYDATA:
        return OnCopyData(reinterpret_cast<HWND>(wParam), reinterpret_cast<COPYDATASTRUCT*>(lParam));
    case WM_MOUSEACTIVATE:
        return OnMouseActivate(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam));
    case WM_DISPLAYCHANGE:
        OnDisplayChange(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_DPICHANGED:
        OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    default:
        return Default();
    }
}

int Window::OnCreate(CREATESTRUCTA*) {
    return static_cast<int>(Default());
}
void Window::OnDestroy() {
    (void)Default();
}
void Window::OnClose() {
    (void)Default();
}
void Window::OnPaint() {
    (void)Default();
}
BOOL Window::OnEraseBkgnd(HDC) {
    return static_cast<BOOL>(Default());
}
void Window::OnSize(UINT, int, int) {
    (void)Default();
}
void Window::OnTimer(UINT_PTR) {
    (void)Default();
}
void Window::OnSysCommand(UINT, LPARAM) {
    (void)Default();
}
BOOL Window::OnSetCursor(HWND, UINT, UINT) {
    return static_cast<BOOL>(Default());
}
BOOL Window::OnNcActivate(BOOL) {
    return static_cast<BOOL>(Default());
}
void Window::OnActivate(UINT, HWND, BOOL) {
    (void)Default();
}
void Window::OnActivateApp(BOOL, DWORD) {
    (void)Default();
}
void Window::OnMouseMove(UINT, POINT) {
    (void)Default();
}
void Window::OnLButtonDown(UINT, POINT) {
    (void)Default();
}
void Window::OnMButtonDown(UINT, POINT) {
    (void)Default();
}
void Window::OnRButtonDown(UINT, POINT) {
    (void)Default();
}
void Window::OnKeyDown(UINT, UINT, UINT) {
    (void)Default();
}
void Window::OnSysKeyDown(UINT, UINT, UINT) {
    (void)Default();
}
BOOL Window::OnCopyData(HWND, COPYDATASTRUCT*) {
    return static_cast<BOOL>(Default());
}
int Window::OnMouseActivate(HWND, UINT, UINT) {
    return static_cast<int>(Default());
}
void Window::OnDisplayChange(UINT, int, int) {
    (void)Default();
}
void Window::OnDpiChanged(UINT, const RECT&) {
    (void)Default();
}

} // namespace fw
