#include "saver/CubeWindow.h"

namespace {
constexpr int kAppIcon = 128;
}

CubeWindow::CubeWindow(bool autoDelete) : m_autoDelete(autoDelete) {}

CubeWindow::~CubeWindow() = default;

bool CubeWindow::Create(DWORD exStyle, const char* title, DWORD style, const RECT& rect, HWND parent, UINT_PTR id) {
    HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kAppIcon));
    std::string windowClass = registerWindowClass(CS_HREDRAW | CS_VREDRAW, nullptr,
                                                  static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), icon);
    bool made = CreateEx(exStyle, windowClass, title, style, rect, parent, id);
    m_exStyle = exStyle;
    if (made)
        startEngine(exStyle);
    return made;
}

void CubeWindow::PostNcDestroy() {
    if (m_autoDelete)
        delete this;
}

void CubeWindow::startEngine(DWORD) {
    // The display engine is not built yet: the window shows its black background.
    m_frameCount = 0;
    m_startTick = GetTickCount();
}

void CubeWindow::dropEngine() {}
