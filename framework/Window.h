// Window base class: one static procedure finds the object and dispatches to handlers named after
// the message. A handler that is not overridden falls back to default processing.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd() const { return m_hwnd; }

    // Registers (once per attribute set) a window class the way the framework's helper does and
    // returns its name.
    static std::string registerWindowClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon);

    // False when no window was made; the object then still belongs to the caller.
    bool CreateEx(DWORD exStyle, const std::string& className, const char* title, DWORD style, const RECT& rect,
                  HWND parent, UINT_PTR id);
    bool DestroyWindow();

    // The object behind a window made by this class, or null.
    static Window* fromHandle(HWND hwnd);

    // Seen before dispatch by the message loops; true means handled.
    virtual bool PreTranslateMessage(MSG* msg);

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Default processing of the message being handled.
    LRESULT Default();

    // Called once the platform window is gone; self-deleting windows delete themselves here.
    virtual void PostNcDestroy() {}

    virtual int OnCreate(CREATESTRUCTA* create);
    virtual void OnDestroy();
    virtual void OnClose();
    virtual void OnPaint();
    virtual BOOL OnEraseBkgnd(HDC dc);
    virtual void OnSize(UINT type, int width, int height);
    virtual void OnTimer(UINT_PTR id);
    virtual void OnSysCommand(UINT command, LPARAM lParam);
    virtual BOOL OnSetCursor(HWND window, UINT hitTest, UINT message);
    virtual BOOL OnNcActivate(BOOL active);
    virtual void OnActivate(UINT state, HWND other, BOOL minimized);
    virtual void OnActivateApp(BOOL active, DWORD threadId);
    virtual void OnMouseMove(UINT flags, POINT point);
    virtual void OnLButtonDown(UINT flags, POINT point);
    virtual void OnMButtonDown(UINT flags, POINT point);
    virtual void OnRButtonDown(UINT flags, POINT point);
    virtual void OnKeyDown(UINT key, UINT repeat, UINT flags);
    virtual void OnSysKeyDown(UINT key, UINT repeat, UINT flags);
    virtual BOOL OnCopyData(HWND sender, COPYDATASTRUCT* data);
    virtual int OnMouseActivate(HWND topLevel, UINT hitTest, UINT message);
    virtual void OnDisplayChange(UINT bitsPerPixel, int width, int height);
    virtual void OnDpiChanged(UINT dpi, const RECT& suggested);

private:
    static LRESULT CALLBACK staticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT dispatch(UINT message, WPARAM wParam, LPARAM lParam);

    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    HWND m_hwnd = nullptr;
    CurrentMessage m_current{};
    // While CreateEx runs, a window that dies in creation does not delete its object: the caller,
    // told by the false result, still owns it.
    bool m_creating = false;
    // Handlers of this window now running (nested sends included), and a deletion waiting for them.
    int m_dispatchDepth = 0;
    bool m_deletePending = false;
};

} // namespace fw
