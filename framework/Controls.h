// Thin, non-owning wrappers of dialog controls: each method is one message. The dialog owns the windows.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <string>

namespace fw {

// Registers the common control classes the dialogs use (trackbar, tooltip, progress bar); harmless to repeat.
void initCommonControls();

// The text of any window, whole.
std::string windowText(HWND hwnd);

class Button {
public:
    Button() = default;
    explicit Button(HWND hwnd) : m_hwnd(hwnd) {}
    void attach(HWND hwnd) { m_hwnd = hwnd; }
    HWND hwnd() const { return m_hwnd; }
    void enable(bool enabled) const { (void)EnableWindow(m_hwnd, enabled ? TRUE : FALSE); }
    bool isEnabled() const { return IsWindowEnabled(m_hwnd) != FALSE; }
    bool checked() const { return SendMessageA(m_hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void setChecked(bool checked) const {
        (void)SendMessageA(m_hwnd, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    }

private:
    HWND m_hwnd = nullptr;
};

// A drop-down list of fixed choices.
class ComboBox {
public:
    ComboBox() = default;
    explicit ComboBox(HWND hwnd) : m_hwnd(hwnd) {}
    HWND hwnd() const { return m_hwnd; }
    void addString(const char* text) const {
        (void)SendMessageA(m_hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    // CB_ERR (-1) when nothing is selected.
    int selection() const { return static_cast<int>(SendMessageA(m_hwnd, CB_GETCURSEL, 0, 0)); }
    void select(int index) const { (void)SendMessageA(m_hwnd, CB_SETCURSEL, static_cast<WPARAM>(index), 0); }

private:
    HWND m_hwnd = nullptr;
};

class ProgressBar {
public:
    ProgressBar() = default;
    explicit ProgressBar(HWND hwnd) : m_hwnd(hwnd) {}
    void attach(HWND hwnd) { m_hwnd = hwnd; }
    HWND hwnd() const { return m_hwnd; }
    // The 16-bit range of PBM_SETRANGE.
    void setRange(WORD low, WORD high) const { (void)SendMessageA(m_hwnd, PBM_SETRANGE, 0, MAKELPARAM(low, high)); }
    void setPos(int position) const { (void)SendMessageA(m_hwnd, PBM_SETPOS, static_cast<WPARAM>(position), 0); }

private:
    HWND m_hwnd = nullptr;
};

class Trackbar {
public:
    explicit Trackbar(HWND hwnd) : m_hwnd(hwnd) {}
    // Two messages, as the 16-bit packed TBM_SETRANGE would cut wide ranges; the second one redraws.
    void setRange(int low, int high) const {
        (void)SendMessageA(m_hwnd, TBM_SETRANGEMIN, FALSE, low);
        (void)SendMessageA(m_hwnd, TBM_SETRANGEMAX, TRUE, high);
    }
    void setTic(int position) const { (void)SendMessageA(m_hwnd, TBM_SETTIC, 0, position); }
    void setPos(int position) const { (void)SendMessageA(m_hwnd, TBM_SETPOS, TRUE, position); }
    int pos() const { return static_cast<int>(SendMessageA(m_hwnd, TBM_GETPOS, 0, 0)); }

private:
    HWND m_hwnd;
};

} // namespace fw
