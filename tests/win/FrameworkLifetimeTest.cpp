// The framework's window and dialog objects against the message sequences that end them: a window
// deleted from inside its own handlers, a window property that is not ours, a dialog ended by a sent
// message.
#include "framework/Dialog.h"
#include "framework/Window.h"
#include "resources/resource.h"
#include "tests/win/LibraryTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <vector>

using namespace librarytest;

namespace {

constexpr unsigned char kPoison = 0xA5;

// Its storage is poisoned on delete and kept, so a later write to the object shows as a changed byte.
class PoisonedWindow : public fw::Window {
public:
    struct Block {
        unsigned char* bytes;
        std::size_t size;
    };
    static std::vector<Block>& freed() {
        static std::vector<Block> blocks;
        return blocks;
    }
    static bool freedBlocksUntouched() {
        for (const Block& block : freed()) {
            for (std::size_t i = 0; i < block.size; ++i) {
                if (block.bytes[i] != kPoison)
                    return false;
            }
        }
        return true;
    }
    static void releaseFreedBlocks() {
        for (const Block& block : freed())
            ::operator delete(block.bytes);
        freed().clear();
    }

    static void* operator new(std::size_t size) { return ::operator new(size); }
    static void operator delete(void* p, std::size_t size) {
        std::memset(p, kPoison, size);
        freed().push_back(Block{static_cast<unsigned char*>(p), size});
    }

    static HWND create(PoisonedWindow* window) {
        const std::string name = registerWindowClass(0, nullptr, nullptr, nullptr);
        RECT rect{0, 0, 64, 64};
        return window->CreateEx(0, name, "poisoned", WS_POPUP, rect, nullptr, 0) ? window->hwnd() : nullptr;
    }

    bool closeFromTimer = false;

protected:
    void PostNcDestroy() override { delete this; }
    void OnTimer(UINT_PTR id) override {
        (void)KillTimer(hwnd(), id);
        // The close is handled, and the window deleted, inside this handler's dispatch.
        if (closeFromTimer)
            (void)SendMessageA(hwnd(), WM_CLOSE, 0, 0);
    }
};

class WindowLifetime : public ::testing::Test {
protected:
    void TearDown() override { PoisonedWindow::releaseFreedBlocks(); }
};

TEST_F(WindowLifetime, CloseByDefaultProcessingDeletesTheObjectAndNothingTouchesItAfter) {
    HWND hwnd = PoisonedWindow::create(new PoisonedWindow);
    ASSERT_NE(hwnd, nullptr);
    (void)SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(hwnd));
    ASSERT_EQ(PoisonedWindow::freed().size(), 1u);
    EXPECT_TRUE(PoisonedWindow::freedBlocksUntouched());
}

TEST_F(WindowLifetime, CloseSentFromInsideAHandlerDeletesOnceTheOutermostHandlerHasReturned) {
    auto* window = new PoisonedWindow;
    window->closeFromTimer = true;
    HWND hwnd = PoisonedWindow::create(window);
    ASSERT_NE(hwnd, nullptr);
    ASSERT_NE(SetTimer(hwnd, 1, 1, nullptr), 0u);
    MSG msg;
    while (IsWindow(hwnd) && GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    EXPECT_FALSE(IsWindow(hwnd));
    ASSERT_EQ(PoisonedWindow::freed().size(), 1u);
    EXPECT_TRUE(PoisonedWindow::freedBlocksUntouched());
}

TEST(WindowLookup, TheObjectPropertyOnAnotherProcesssWindowIsNotTakenAsOurs) {
    // The desktop window belongs to another process; a pointer stored on it means nothing here.
    HWND desktop = GetDesktopWindow();
    DWORD process = 0;
    GetWindowThreadProcessId(desktop, &process);
    ASSERT_NE(process, GetCurrentProcessId());
    ASSERT_TRUE(SetPropA(desktop, "fw.Window", reinterpret_cast<HANDLE>(0x1234)));
    fw::Window* found = fw::Window::fromHandle(desktop);
    (void)RemovePropA(desktop, "fw.Window");
    EXPECT_EQ(found, nullptr);
}

// A command sent from another thread is handled inside GetMessage, which then goes on waiting for a
// posted message: the modal loop must still notice its end.
void expectSentMessageEndsTheDialog(UINT message, WPARAM wParam, INT_PTR expected) {
    fw::Dialog dialog(IDD_ABOUT, nullptr);
    bool endedBySend = false;
    INT_PTR result = 0;
    {
        Driver driver([&] {
            HWND about = waitForOwnWindow("About Prismata");
            if (!about)
                return;
            (void)SendMessageA(about, message, wParam, 0);
            endedBySend = waitUntil([&] { return !IsWindow(about); }, 5000);
            // Without this the loop would wait forever and the test could not report.
            if (!endedBySend)
                (void)PostMessageA(about, WM_NULL, 0, 0);
        });
        result = dialog.DoModal();
    }
    EXPECT_EQ(result, expected);
    EXPECT_TRUE(endedBySend);
}

TEST(DialogModalLoop, EndsOnCommandsAndCloseSentFromAnotherThread) {
    expectSentMessageEndsTheDialog(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), IDOK);
    expectSentMessageEndsTheDialog(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), IDCANCEL);
    expectSentMessageEndsTheDialog(WM_CLOSE, 0, IDCANCEL);
}

} // namespace
