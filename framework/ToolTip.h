// A tooltip control whose tips follow the mouse through messages relayed from a modal loop's
// PreTranslateMessage, so the controls need no subclassing.
#pragma once

#include <windows.h>

namespace fw {

class ToolTip {
public:
    ToolTip() = default;
    ~ToolTip();
    ToolTip(const ToolTip&) = delete;
    ToolTip& operator=(const ToolTip&) = delete;

    // A plain popup tooltip owned by the window; false when it could not be made.
    bool create(HWND owner);
    // Forgets the window; for an owner that is being destroyed (it takes its owned popups with it).
    void detach() { m_hwnd = nullptr; }
    HWND hwnd() const { return m_hwnd; }

    void activate(bool active) const;
    // Wider tips wrap onto several lines; without a width each tip is one line.
    void setMaxTipWidth(int pixels) const;
    // Registers a control by its window handle; the text is copied.
    bool addTool(HWND control, const char* text) const;
    // Hands a mouse message to the tooltip; others are ignored.
    void relayEvent(MSG* msg) const;

private:
    HWND m_hwnd = nullptr;
    HWND m_owner = nullptr;
};

} // namespace fw
