#include "framework/ToolTip.h"

#include "framework/Controls.h"

#include <commctrl.h>

namespace fw {

ToolTip::~ToolTip() {
    if (m_hwnd && IsWindow(m_hwnd))
        (void)DestroyWindow(m_hwnd);
}

bool ToolTip::create(HWND owner) {
    initCommonControls();
    m_owner = owner;
    m_hwnd = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                             CW_USEDEFAULT, owner, nullptr, GetModuleHandleA(nullptr), nullptr);
    return m_hwnd != nullptr;
}

void ToolTip::activate(bool active) const {
    (void)SendMessageA(m_hwnd, TTM_ACTIVATE, active ? TRUE : FALSE, 0);
}

void ToolTip::setMaxTipWidth(int pixels) const {
    (void)SendMessageA(m_hwnd, TTM_SETMAXTIPWIDTH, 0, pixels);
}

bool ToolTip::addTool(HWND control, const char* text) const {
    TOOLINFOA info{};
    // The older structure size: version 5 of the common controls refuses the longer one.
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.uFlags = TTF_IDISHWND;
    info.hwnd = m_owner;
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = const_cast<char*>(text);
    return SendMessageA(m_hwnd, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)) != FALSE;
}

void ToolTip::relayEvent(MSG* msg) const {
    if (!m_hwnd)
        return;
    if ((msg->message >= WM_MOUSEFIRST && msg->message <= WM_MOUSELAST) || msg->message == WM_NCMOUSEMOVE)
        (void)SendMessageA(m_hwnd, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
}

} // namespace fw
