// The screen-saver and test windows under real X input: what ends the show, with which reason, and
// what does not. Wine reports the NT family here, so no password is asked.
#include "tests/e2e/SaverKit.h"

#include <gtest/gtest.h>

using namespace e2e;
using namespace e2e::saver;

namespace {

class SaverInput : public ::testing::Test {
protected:
    void SetUp() override { m_entry.setFolder(m_install.path()); }

    // Starts the show with the cursor parked first, and waits until its window is there.
    HWND start(const char* arguments, POINT cursor) {
        EXPECT_TRUE(moveCursor(cursor.x, cursor.y));
        m_prismata = startPrismata(arguments);
        return waitForProcessWindow(m_prismata->id(), kSaverTitle, kExitWait);
    }

    void expectExitCode0() {
        DWORD code = 1;
        ASSERT_TRUE(m_prismata->waitForExit(kExitWait, code));
        EXPECT_EQ(code, 0u);
    }

    TempFolder m_install{"install"};
    InstallEntry m_entry;
    std::unique_ptr<Logger> m_logger = std::make_unique<Logger>();
    std::unique_ptr<Process> m_prismata;
};

TEST_F(SaverInput, FullScreenMouseDeadZoneIsFivePixelsAcross) {
    HWND window = start("/s", POINT{500, 400});
    ASSERT_TRUE(window);
    // The window's first mouse move (Wine sends one at creation) only takes the reference.
    ASSERT_TRUE(m_logger->waitFor("Setting initial mouse position\r\n", 5000));
    for (POINT p : {POINT{505, 405}, POINT{495, 395}, POINT{505, 395}, POINT{500, 400}}) {
        ASSERT_TRUE(moveCursor(p.x, p.y));
        Sleep(kSettle);
        EXPECT_TRUE(IsWindow(window)) << p.x << "," << p.y;
    }
    EXPECT_EQ(countCloseLines(m_logger->text()), 0);
    ASSERT_TRUE(moveCursor(506, 400));
    expectExitCode0();
    std::string log = m_logger->text();
    EXPECT_EQ(countLines(log, "Setting initial mouse position"), 1);
    EXPECT_TRUE(endedFor(log, "Mouse moved")) << log;
}

TEST_F(SaverInput, TestWindowTakesItsReferenceWhereverTheFirstMoveLands) {
    // The cursor starts outside the 320 by 240 window: the first move into it is far, and still only
    // sets the reference; six pixels down from there end the show.
    HWND window = start("/t", POINT{900, 700});
    ASSERT_TRUE(window);
    Sleep(kSettle);
    EXPECT_EQ(countLines(m_logger->text(), "Setting initial mouse position"), 0);
    ASSERT_TRUE(moveCursor(100, 100));
    ASSERT_TRUE(m_logger->waitFor("Setting initial mouse position\r\n", 5000));
    ASSERT_TRUE(moveCursor(95, 105));
    Sleep(kSettle);
    EXPECT_TRUE(IsWindow(window));
    ASSERT_TRUE(moveCursor(100, 106));
    expectExitCode0();
    std::string log = m_logger->text();
    EXPECT_EQ(countLines(log, "Setting initial mouse position"), 1);
    EXPECT_TRUE(endedFor(log, "Mouse moved")) << log;
}

TEST_F(SaverInput, EachKeyAndButtonEndsTheShowWithItsReason) {
    struct Case {
        const char* input;
        const char* reason;
    };
    const Case cases[] = {
        {"key a", "Key Down"},
        {"key Alt_L", "Sys Key Down"},
        {"click 1", "Left Mouse Button Down"},
        {"click 2", "Middle Mouse Button Down"},
        {"click 3", "Right Mouse Button Down"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        // One logger at a time: the program traces to the first window of that title.
        m_logger.reset();
        m_logger = std::make_unique<Logger>();
        HWND window = start("/s", POINT{300, 300});
        ASSERT_TRUE(window);
        ASSERT_TRUE(m_logger->waitFor("Setting initial mouse position\r\n", 5000));
        // The cursor is hidden over the show.
        EXPECT_EQ(currentCursor(), nullptr);
        ASSERT_TRUE(xdotool(c.input));
        expectExitCode0();
        std::string log = m_logger->text();
        EXPECT_TRUE(endedFor(log, c.reason)) << log;
    }
}

TEST_F(SaverInput, ActivationChangeTracesTwiceAndEndsTheShow) {
    HWND window = start("/s", POINT{300, 300});
    ASSERT_TRUE(window);
    ASSERT_TRUE(m_logger->waitFor("Setting initial mouse position\r\n", 5000));
    ForegroundThief thief;
    expectExitCode0();
    // Once from WM_ACTIVATEAPP, once from WM_ACTIVATE.
    std::string log = m_logger->text();
    EXPECT_EQ(countLines(log, closeReason("OnActivate")), 2);
    EXPECT_EQ(countCloseLines(log), 2);
}

TEST_F(SaverInput, ClosesFromOutsideAndSystemCommandsAreIgnored) {
    HWND window = start("/s", POINT{300, 300});
    ASSERT_TRUE(window);
    ASSERT_TRUE(m_logger->waitFor("Setting initial mouse position\r\n", 5000));
    for (int i = 0; i < 20; ++i)
        PostMessageA(window, WM_CLOSE, 0, 0);
    DWORD_PTR result = 0;
    for (WPARAM command : {WPARAM{SC_CLOSE}, WPARAM{SC_SCREENSAVE}})
        SendMessageTimeoutA(window, WM_SYSCOMMAND, command, 0, SMTO_ABORTIFHUNG, 2000, &result);
    SendMessageTimeoutA(window, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 2000, &result);
    Sleep(kSettle);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(countCloseLines(m_logger->text()), 0);
    ASSERT_TRUE(xdotool("key a"));
    expectExitCode0();
    EXPECT_TRUE(endedFor(m_logger->text(), "Key Down")) << m_logger->text();
}

TEST_F(SaverInput, InputFloodEndsTheShowOnce) {
    HWND window = start("/s", POINT{300, 300});
    ASSERT_TRUE(window);
    ASSERT_TRUE(m_logger->waitFor("Setting initial mouse position\r\n", 5000));
    ASSERT_TRUE(xdotool("key --delay 1 a b c d e f g h i j k l m n o p q r s t u v w x y z"));
    ASSERT_TRUE(xdotool("click --repeat 20 --delay 1 1"));
    for (int i = 0; i < 200; ++i)
        PostMessageA(window, WM_KEYDOWN, 'Q', 0);
    expectExitCode0();
    EXPECT_GE(countCloseLines(m_logger->text()), 1);
}

} // namespace
