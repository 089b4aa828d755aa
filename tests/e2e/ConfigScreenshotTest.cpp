// Pictures of the configuration dialogs for a person to look at after a run, kept in the build folder.
#include "resources/config_ids.h"
#include "tests/e2e/ConfigDriver.h"
#include "tests/e2e/ScreenCapture.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

TEST(ConfigScreenshots, BothDialogsAndTheAboutBoxAreKept) {
    ConfigSession session;
    TempFolder pictures("pictures");
    session.writeProfile("[Settings]\r\nSpinX=-40\r\nSpinY=25\r\nSpinZ=70\r\nSpeedX=35\r\nSpeedY=80\r\nSpeedZ=10\r\n"
                         "CubeSize=50\r\nKeepUpright=1\r\nPicturePath=" +
                         pictures.path() + "\r\n");
    HWND dialog = session.open();
    ASSERT_TRUE(dialog);
    const std::string folder = artifactFolder();

    // With the tip of the Y spin's left icon showing.
    RECT icon{};
    GetWindowRect(control(dialog, IDC_ICON_SPIN_Y_LEFT), &icon);
    SetCursorPos(icon.left + 8, icon.top + 8);
    Sleep(100);
    SetCursorPos(icon.left + 10, icon.top + 10);
    HWND tip = toolTipOf(dialog);
    EXPECT_TRUE(pumpUntil([&] { return tip && IsWindowVisible(tip); }, 5000));
    Sleep(200);
    EXPECT_TRUE(saveScreenshot(dialog, folder + "ConfigDialog.bmp"));
    SetCursorPos(0, GetSystemMetrics(SM_CYSCREEN) - 1);

    click(dialog, IDC_ADVANCED);
    HWND advanced = session.waitForWindow("Advanced Settings");
    ASSERT_TRUE(advanced);
    Sleep(300);
    EXPECT_TRUE(saveScreenshot(advanced, folder + "AdvancedDialog.bmp"));
    click(advanced, IDCANCEL);
    ASSERT_TRUE(pumpUntil([&] { return !IsWindow(advanced); }, 5000));

    click(dialog, IDC_CONFIG_ABOUT);
    HWND about = session.waitForWindow("About Prismata");
    ASSERT_TRUE(about);
    Sleep(300);
    EXPECT_TRUE(saveScreenshot(about, folder + "AboutDialog.bmp"));
    click(about, IDOK);
    ASSERT_TRUE(pumpUntil([&] { return !IsWindow(about); }, 5000));

    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(session.endsWithin(kDialogWait));
}

// The screen's resolution Wine gives the programs it starts: the user's setting and the one of the
// display's fonts.
class ScreenDpi {
public:
    explicit ScreenDpi(DWORD dpi) {
        m_user.set(REG_DWORD, &dpi, sizeof dpi);
        m_fonts.set(REG_DWORD, &dpi, sizeof dpi);
    }

private:
    support::RegistryValue m_user{HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels"};
    support::RegistryValue m_fonts{HKEY_CURRENT_CONFIG, "Software\\Fonts", "LogPixels"};
};

// Both settings dialogs at 200%, as PNG files, for a person to check that nothing is clipped or blurred.
TEST(ConfigScreenshots, BothDialogsAreKeptAt192Dpi) {
    ScreenDpi dpi(192);
    ConfigSession session;
    TempFolder pictures("pictures");
    // A folder name in Greek and Japanese as well.
    const std::string named = pictures.path() + "Φωτογραφίες 写真";
    ASSERT_TRUE(CreateDirectoryA(named.c_str(), nullptr));
    session.writeProfile("[Settings]\r\nSpinX=-40\r\nSpinY=25\r\nSpinZ=70\r\nSpeedX=35\r\nSpeedY=80\r\nSpeedZ=10\r\n"
                         "CubeSize=50\r\nKeepUpright=1\r\nPicturePath=" +
                         named + "\r\n");
    HWND dialog = session.open();
    ASSERT_TRUE(dialog);
    const std::string folder = artifactFolder();
    // The dialog's font follows the resolution: an 8-point line is about 16 pixels high, not 8.
    RECT ok{};
    GetWindowRect(control(dialog, IDOK), &ok);
    EXPECT_GE(ok.bottom - ok.top, 40);
    // As a person sees it once the folder has been found.
    EXPECT_TRUE(waitForOK(dialog));
    Sleep(300);
    RECT r{};
    GetWindowRect(dialog, &r);
    EXPECT_TRUE(writePng(folder + "ConfigDialog-192dpi.png", captureScreen(r)));

    click(dialog, IDC_ADVANCED);
    HWND advanced = session.waitForWindow("Advanced Settings");
    ASSERT_TRUE(advanced);
    Sleep(300);
    GetWindowRect(advanced, &r);
    EXPECT_TRUE(writePng(folder + "AdvancedDialog-192dpi.png", captureScreen(r)));
    click(advanced, IDCANCEL);
    ASSERT_TRUE(pumpUntil([&] { return !IsWindow(advanced); }, 5000));

    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_TRUE(session.endsWithin(kDialogWait));
}

} // namespace
