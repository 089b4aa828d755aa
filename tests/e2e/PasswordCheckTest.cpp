// The password check before the show ends: nothing on the NT family; on the 9x family the pause
// handshake, the engine dropped, the PASSWORD.CPL double asked, and on refusal a new engine.
#include "tests/e2e/SaverKit.h"

#include <gtest/gtest.h>

using namespace e2e;
using namespace e2e::saver;

namespace {

class PasswordCheck : public ::testing::Test {
protected:
    void SetUp() override { m_entry.setFolder(m_install.path()); }

    HWND start(POINT cursor = POINT{500, 400}) {
        EXPECT_TRUE(moveCursor(cursor.x, cursor.y));
        m_prismata = m_program.start("/s");
        HWND window = waitForProcessWindow(m_prismata->id(), kSaverTitle, kExitWait);
        EXPECT_TRUE(m_logger->waitFor("Setting initial mouse position\r\n", 5000));
        return window;
    }

    void expectExitCode0(DWORD wait = kCheckWait) {
        DWORD code = 1;
        ASSERT_TRUE(m_prismata->waitForExit(wait, code));
        EXPECT_EQ(code, 0u);
    }

    int count(const std::string& line) const { return countLines(m_logger->text(), line); }
    static std::string handleText(HWND window) { return std::to_string(reinterpret_cast<UINT_PTR>(window)); }

    TempFolder m_install{"install"};
    InstallEntry m_entry;
    ProgramCopy m_program;
    std::unique_ptr<Logger> m_logger = std::make_unique<Logger>();
    std::unique_ptr<Process> m_prismata;
};

TEST_F(PasswordCheck, NtFamilyClosesOnFirstInputWithoutAsking) {
    m_program.addPasswordDouble();
    m_program.setPasswordAnswer(0);
    ASSERT_TRUE(start());
    ASSERT_TRUE(xdotool("key a"));
    expectExitCode0(kExitWait);
    EXPECT_TRUE(endedFor(m_logger->text(), "Key Down")) << m_logger->text();
    EXPECT_EQ(count("Requesting pause"), 0);
    EXPECT_EQ(count("About to call VerifyScreenSavePwd"), 0);
    EXPECT_FALSE(fileExists(m_program.path() + "VerifyScreenSavePwd.calls"));
}

TEST_F(PasswordCheck, Win9xWithoutAUsableLibraryClosesAtOnce) {
    Win9xFamily win9x;
    // No PASSWORD.CPL at all, then one that is no DLL.
    for (bool garbage : {false, true}) {
        SCOPED_TRACE(garbage ? "not a DLL" : "missing");
        if (garbage)
            writeTextFile(m_program.path() + "PASSWORD.CPL", "MZ but nothing a loader would take");
        // One logger at a time: the program traces to the first window of that title.
        m_logger.reset();
        m_logger = std::make_unique<Logger>();
        ASSERT_TRUE(start());
        ASSERT_TRUE(xdotool("key a"));
        expectExitCode0(kExitWait);
        EXPECT_TRUE(endedFor(m_logger->text(), "Key Down")) << m_logger->text();
        EXPECT_EQ(count("Requesting pause"), 0);
    }
}

TEST_F(PasswordCheck, Win9xLibraryWithoutTheExportPausesThenCloses) {
    Win9xFamily win9x;
    // A real DLL that lacks VerifyScreenSavePwd.
    m_program.addDouble("MPR.DLL", "PASSWORD.CPL");
    ASSERT_TRUE(start());
    ASSERT_TRUE(xdotool("key a"));
    expectExitCode0();
    EXPECT_EQ(count("Requesting pause"), 1);
    EXPECT_EQ(count("About to call VerifyScreenSavePwd"), 0);
}

TEST_F(PasswordCheck, Win9xRefusalKeepsTheShowAndTheNextInputAsksAgain) {
    Win9xFamily win9x;
    m_program.addPasswordDouble();
    m_program.setPasswordAnswer(0, 1500);
    HWND window = start();
    ASSERT_TRUE(window);
    EXPECT_EQ(currentCursor(), nullptr);

    ASSERT_TRUE(xdotool("key a"));
    ASSERT_TRUE(m_program.waitForPasswordLines(1, kCheckWait));
    EXPECT_EQ(count("Requesting pause"), 1);
    EXPECT_EQ(count("About to call VerifyScreenSavePwd"), 1);
    // While the dialog is up, the cursor shows (the program's arrow) and input does not count.
    ASSERT_TRUE(moveCursor(560, 460));
    EXPECT_TRUE(pumpUntil([] { return currentCursor() != nullptr; }, 1000));
    ASSERT_TRUE(m_program.waitForPasswordLines(2, kCheckWait));
    Sleep(kSettle);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(count(closeReason("Key Down")), 1);
    EXPECT_EQ(countCloseLines(m_logger->text()), 1);

    // The reference is where the cursor was when the dialog closed; the cursor is hidden again.
    ASSERT_TRUE(moveCursor(565, 465));
    Sleep(kSettle);
    EXPECT_TRUE(IsWindow(window));
    // The new engine's window hides the cursor at the next WM_SETCURSOR, which a loaded machine delays.
    EXPECT_TRUE(pumpUntil([] { return currentCursor() == nullptr; }, 3000));
    EXPECT_EQ(countCloseLines(m_logger->text()), 1);

    m_program.setPasswordAnswer(1);
    ASSERT_TRUE(moveCursor(566, 465));
    expectExitCode0();
    EXPECT_EQ(m_program.passwordCalls(),
              (std::vector<std::string>{"VerifyScreenSavePwd " + handleText(window), "returned 0",
                                        "VerifyScreenSavePwd " + handleText(window), "returned 1"}));
    EXPECT_EQ(count("Requesting pause"), 2);
    EXPECT_EQ(count("About to call VerifyScreenSavePwd"), 2);
    EXPECT_GE(count(closeReason("Mouse moved")), 1);
}

TEST_F(PasswordCheck, Win9xClosesDuringTheCheckNeverDestroyTheWindow) {
    Win9xFamily win9x;
    m_program.addPasswordDouble();
    m_program.setPasswordAnswer(0, 2000);
    HWND window = start();
    ASSERT_TRUE(window);
    {
        // An activation change queues two closes: the second reaches the window while the first one's
        // check waits for the pause.
        ForegroundThief thief;
        ASSERT_TRUE(m_program.waitForPasswordLines(1, kCheckWait));
        // While the double's dialog pumps messages: closes from outside and a burst of clicks.
        for (int i = 0; i < 5; ++i)
            PostMessageA(window, WM_CLOSE, 0, 0);
        DWORD_PTR result = 0;
        SendMessageTimeoutA(window, WM_SYSCOMMAND, SC_CLOSE, 0, SMTO_ABORTIFHUNG, 2000, &result);
        ASSERT_TRUE(xdotool("click --repeat 5 --delay 20 1"));
        ASSERT_TRUE(m_program.waitForPasswordLines(2, kCheckWait));
        Sleep(kSettle);
        EXPECT_TRUE(IsWindow(window));
        EXPECT_EQ(m_program.passwordCallCount(), 1);
        EXPECT_EQ(count("Requesting pause"), 1);
        EXPECT_EQ(count(closeReason("OnActivate")), 2);
        EXPECT_EQ(countCloseLines(m_logger->text()), 2);
    }
    // The show goes on and ends on the next input once the password is accepted. (A full-screen device
    // minimises its window when another program takes the activation, so the input goes to it directly.)
    m_program.setPasswordAnswer(1);
    PostMessageA(window, WM_KEYDOWN, 'A', 0);
    expectExitCode0();
    EXPECT_EQ(m_program.passwordCallCount(), 2);
    EXPECT_EQ(count("Requesting pause"), 2);
}

// Needs the display engine: the frame timer acknowledges the pause, and a new engine draws.
TEST_F(PasswordCheck, Win9xRefusalPausesOnceAndANewEngineDrawsAgain) {
    Win9xFamily win9x;
    m_program.addPasswordDouble();
    m_program.setPasswordAnswer(0);
    HWND window = start();
    ASSERT_TRUE(window);
    // Two pictures some frames apart differ while the cube moves.
    auto drawing = [] {
        Picture first = captureWholeScreen();
        Sleep(200);
        Picture second = captureWholeScreen();
        return second.countNot(0) > 1000 && first.differences(second) > 100;
    };
    ASSERT_TRUE(pumpUntil(drawing, 5000));

    ASSERT_TRUE(xdotool("key a"));
    ASSERT_TRUE(m_program.waitForPasswordLines(2, kCheckWait));
    EXPECT_EQ(count("Requesting pause"), 1);
    EXPECT_EQ(count("Acking pause"), 1);
    EXPECT_TRUE(pumpUntil(drawing, 5000));
    keepScreenshot("PasswordCheck.AfterRefusal", captureWholeScreen());
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(count("Acking pause"), 1);

    m_program.setPasswordAnswer(1);
    ASSERT_TRUE(xdotool("key a"));
    expectExitCode0();
    EXPECT_EQ(count("Requesting pause"), 2);
    EXPECT_EQ(count("Acking pause"), 2);
}

} // namespace
