// Modal dialog over a resource template. The modal loop is our own so that PreTranslateMessage
// sees every message first (tooltips relay mouse messages from there).
#pragma once

#include <windows.h>

namespace fw {

class Dialog {
public:
    Dialog(UINT templateId, HWND owner);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // Shows the dialog and returns the code passed to EndDialog (IDOK, IDCANCEL, ...), or -1 when the
    // template could not be loaded.
    INT_PTR DoModal();

    HWND hwnd() const { return m_hwnd; }
    HWND item(int id) const { return GetDlgItem(m_hwnd, id); }

    // Closes the dialog after the current message with the given result.
    void EndDialog(INT_PTR result);

    virtual bool PreTranslateMessage(MSG* msg);

protected:
    virtual INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam);

    // Return TRUE to let the system set the focus.
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Any other WM_COMMAND; return true when handled.
    virtual bool OnCommand(WORD id, WORD notifyCode, HWND control);
    virtual void OnDestroy() {}
    // True when the dialog set the cursor itself; false leaves it to the default processing.
    virtual bool OnSetCursor(HWND window, UINT hitTest, UINT mouseMessage);
    // A message of the WM_APP range, or of the WM_USER range sent from another thread (the dialog
    // manager's own messages of that range come from the dialog's thread); return true when handled.
    virtual bool OnAppMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static INT_PTR CALLBACK staticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    UINT m_templateId;
    HWND m_owner;
    HWND m_hwnd = nullptr;
    bool m_ended = false;
    INT_PTR m_result = IDCANCEL;
};

} // namespace fw
