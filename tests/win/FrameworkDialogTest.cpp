// The dialog's typed handlers: WM_SETCURSOR answered through the dialog's message result, messages of
// the WM_APP range handed on with their parameters and the dialog manager's own WM_USER messages not
// (a WM_USER sent from another thread is, as the build dialog's worker sends it).
#include "framework/Dialog.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class HandlerProbe : public fw::Dialog {
public:
    HandlerProbe() : fw::Dialog(IDD_ABOUT, nullptr) {}

    struct AppMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    UINT cursorHitTest = 0;
    UINT cursorMouseMessage = 0;
    std::vector<AppMessage> appMessages;
    LRESULT handledCursor = 0;

protected:
    BOOL OnInitDialog() override {
        const LPARAM where = MAKELPARAM(HTCLIENT, WM_MOUSEMOVE);
        handledCursor = SendMessageA(hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd()), where);
        (void)SendMessageA(hwnd(), WM_APP + 7, 11, 22);
        (void)SendMessageA(hwnd(), WM_USER, 0, 0); // DM_GETDEFID
        (void)SendMessageA(hwnd(), 0xBFFF, 1, 2);
        EndDialog(IDOK);
        return TRUE;
    }
    bool OnSetCursor(HWND, UINT hitTest, UINT mouseMessage) override {
        cursorHitTest = hitTest;
        cursorMouseMessage = mouseMessage;
        return true;
    }
    bool OnAppMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        appMessages.push_back({message, wParam, lParam});
        return true;
    }
};

TEST(DialogHandlers, CursorAndApplicationMessagesReachTheirHandlersUnpacked) {
    HandlerProbe dialog;
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.handledCursor, TRUE) << "a cursor the dialog set is not replaced by the default one";
    EXPECT_EQ(dialog.cursorHitTest, UINT(HTCLIENT));
    EXPECT_EQ(dialog.cursorMouseMessage, UINT(WM_MOUSEMOVE));
    ASSERT_EQ(dialog.appMessages.size(), 2u);
    EXPECT_EQ(dialog.appMessages[0].message, UINT(WM_APP + 7));
    EXPECT_EQ(dialog.appMessages[0].wParam, WPARAM(11));
    EXPECT_EQ(dialog.appMessages[0].lParam, LPARAM(22));
    EXPECT_EQ(dialog.appMessages[1].message, 0xBFFFu);
}

} // namespace
