#include "framework/Dialog.h"

#include "framework/WinApp.h"

namespace fw {

namespace {
const char kObjectProperty[] = "fw.Dialog";

// The WM_APP range, and the WM_USER range when sent from another thread: the dialog manager sends its
// own messages of that range (DM_GETDEFID is WM_USER) from the dialog's thread.
bool isOwnMessage(UINT message) {
    if (message >= WM_APP && message <= 0xBFFF)
        return true;
    return message >= WM_USER && message < WM_APP && InSendMessage();
}
} // namespace

Dialog::Dialog(UINT templateId, HWND owner) : m_templateId(templateId), m_owner(owner) {}

Dialog::~Dialog() {
    if (m_hwnd)
        ::DestroyWindow(m_hwnd);
}

void Dialog::EndDialog(INT_PTR result) {
    m_result = result;
    m_ended = true;
    // Called from a sent message, GetMessage would go on waiting for a posted one: wake the loop.
    if (m_hwnd)
        (void)PostMessageA(m_hwnd, WM_NULL, 0, 0);
}

bool Dialog::PreTranslateMessage(MSG*) {
    return false;
}

bool Dialog::OnCommand(WORD, WORD, HWND) {
    return false;
}

bool Dialog::OnSetCursor(HWND, UINT, UINT) {
    return false;
}

bool Dialog::OnAppMessage(UINT, WPARAM, LPARAM) {
    return false;
}

INT_PTR Dialog::DoModal() {
    m_ended = false;
    m_result = IDCANCEL;
    HWND owner = m_owner && IsWindow(m_owner) ? m_owner : nullptr;
    bool ownerWasEnabled = owner && IsWindowEnabled(owner);

    HWND made = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_templateId), owner, staticDialogProc,
                                   reinterpret_cast<LPARAM>(this));
    if (!made)
        return -1;
    if (ownerWasEnabled)
        EnableWindow(owner, FALSE);
    ShowWindow(m_hwnd, SW_SHOW);

    MSG msg;
    while (!m_ended && m_hwnd) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            // A quit request during the dialog: end it and pass the request on to the outer loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (got == -1)
            break;
        if (PreTranslateMessage(&msg))
            continue;
        if (!IsDialogMessageA(m_hwnd, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    // Enable the owner before the dialog goes so the activation returns to it.
    if (ownerWasEnabled)
        EnableWindow(owner, TRUE);
    if (m_hwnd)
        ::DestroyWindow(m_hwnd);
    return m_result;
}

INT_PTR CALLBACK Dialog::staticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Dialog* dialog = nullptr;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<Dialog*>(lParam);
        dialog->m_hwnd = hwnd;
        (void)SetPropA(hwnd, kObjectProperty, dialog);
    } else {
        dialog = static_cast<Dialog*>(GetPropA(hwnd, kObjectProperty));
    }
    if (!dialog)
        return FALSE;
    INT_PTR result = dialog->DialogProc(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        (void)RemovePropA(hwnd, kObjectProperty);
        dialog->m_hwnd = nullptr;
    }
    return result;
}

INT_PTR Dialog::DialogProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_COMMAND: {
        WORD id = LOWORD(wParam);
        WORD code = HIWORD(wParam);
        if (id == IDOK && code == BN_CLICKED) {
            OnOK();
            return TRUE;
        }
        if (id == IDCANCEL && code == BN_CLICKED) {
            OnCancel();
            return TRUE;
        }
        return OnCommand(id, code, reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
    }
    case WM_DESTROY:
        OnDestroy();
        return TRUE;
    case WM_SETCURSOR:
        if (!OnSetCursor(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam)))
            return FALSE;
        // A dialog procedure answers through DWLP_MSGRESULT: TRUE stops the default cursor.
        (void)SetWindowLongPtrA(m_hwnd, DWLP_MSGRESULT, TRUE);
        return TRUE;
    default:
        if (isOwnMessage(message))
            return OnAppMessage(message, wParam, lParam) ? TRUE : FALSE;
        return FALSE;
    }
}

} // namespace fw
