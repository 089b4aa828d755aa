// What the full-screen window shows when the display engine cannot open its device, end to end.
#include "tests/e2e/SaverKit.h"

#include <gtest/gtest.h>

using namespace e2e;
using namespace e2e::saver;

namespace {

// Needs the display engine. Xvfb cannot change the mode, so a 640x480 full-screen device fails.
TEST(SaverDisplay, LowScreenResolutionShowsTheDeviceErrorAndStillClosesOnInput) {
    TempFolder install("install");
    InstallEntry entry;
    entry.setFolder(install.path());
    writeTextFile(install.path() + "Prismata.ini", "[Settings]\r\nLowScreenResolution=1\r\n");
    Logger logger;
    ASSERT_TRUE(moveCursor(300, 300));
    auto prismata = startPrismata("/s");
    HWND window = waitForProcessWindow(prismata->id(), kSaverTitle, kExitWait);
    ASSERT_TRUE(window);
    EXPECT_TRUE(logger.waitFor("CreateDevice(HAL) returned error code: D3DERR_NOTAVAILABLE\r\n", 5000));
    // Traced after the window is restored.
    ASSERT_TRUE(logger.waitFor("CreateDX() failed - CreateDevice() mode failed using current screen mode\r\n", 5000));
    // The display's own format passed the full-screen check, so no other was tried before the device.
    EXPECT_TRUE(inOrder(logger.text(), {"getGoodFormat - device=D3DDEVTYPE_HAL - check of currentFormat returns: S_OK",
                                        "CreateDevice(HAL) returned error code: D3DERR_NOTAVAILABLE"}))
        << logger.text();
    EXPECT_EQ(logger.text().find("check of 15 bit"), std::string::npos);

    // The window must still cover the screen after the failed mode change.
    RECT rect{};
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(rect.bottom, GetSystemMetrics(SM_CYSCREEN));

    // The text as it should stand in the window's client area, compared with what the screen shows there.
    RECT client{};
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    const Picture expected =
        expectedFailureDisplay("DirectX error opening device: D3DERR_NOTAVAILABLE", client.right, client.bottom);
    const size_t textPixels = expected.countNot(0);
    ASSERT_GT(textPixels, 200u);
    Picture shown;
    bool matches = pumpUntil(
        [&] {
            shown = captureScreen(RECT{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom});
            return shown.differences(expected) <= textPixels / 20;
        },
        5000);
    keepScreenshot("SaverDisplay.DeviceError", captureWholeScreen());
    EXPECT_TRUE(matches) << shown.differences(expected) << " of " << textPixels << " text pixels differ";
    EXPECT_GT(shown.countOf(0x00FFFF), textPixels / 4);

    ASSERT_TRUE(xdotool("key a"));
    DWORD code = 1;
    ASSERT_TRUE(prismata->waitForExit(kExitWait, code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(endedFor(logger.text(), "Key Down")) << logger.text();
}

} // namespace
