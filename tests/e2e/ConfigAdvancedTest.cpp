// The advanced settings dialog of the real program, opened from the main dialog and driven by messages.
#include "resources/config_ids.h"
#include "tests/e2e/ConfigDriver.h"

#include <gtest/gtest.h>

using namespace e2e;

namespace {

// The keys in the order OK stores them, with their defaults.
struct Key {
    const char* section;
    const char* name;
    const char* byDefault;
};
const Key kKeys[] = {{"Settings", "LowScreenResolution", "0"},
                     {"Settings", "AllowSoftwareAcceleration", "0"},
                     {"ConversionParms", "PreserveAspectRatio", "1"},
                     {"Settings", "Convert", "1"},
                     {"Settings", "TextureSize", "256"},
                     {"Settings", "TimeBetweenImages", "5000"},
                     {"Settings", "PictureOrder", "0"},
                     {"ConversionParms", "TargetBmpSize", "256"}};

int pictureOrder(HWND advanced) {
    return static_cast<int>(SendMessageA(control(advanced, IDC_PICTURE_ORDER), CB_GETCURSEL, 0, 0));
}

class ConfigAdvanced : public ::testing::Test {
protected:
    // Opens the main dialog over the given profile, then the advanced one from its button.
    HWND openAdvanced(const std::string& profile = "") {
        if (!profile.empty())
            m_session.writeProfile(profile);
        m_main = m_session.open();
        if (!m_main)
            return nullptr;
        click(m_main, IDC_ADVANCED);
        HWND advanced = m_session.waitForWindow("Advanced Settings");
        EXPECT_TRUE(advanced);
        return advanced;
    }
    void close(HWND advanced, int button) {
        click(advanced, button);
        ASSERT_TRUE(pumpUntil([&] { return !IsWindow(advanced); }, 5000));
    }
    void cancelMain() {
        PostMessageA(m_main, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        EXPECT_TRUE(m_session.endsWithin(kDialogWait));
    }

    ConfigSession m_session;
    HWND m_main = nullptr;
};

TEST_F(ConfigAdvanced, OKWithoutChangeStoresAllKeysAndSurvivesCancel) {
    HWND advanced = openAdvanced();
    ASSERT_TRUE(advanced);
    EXPECT_EQ(GetWindow(advanced, GW_OWNER), m_main);
    EXPECT_FALSE(IsWindowEnabled(m_main));
    EXPECT_FALSE(isChecked(advanced, IDC_LOW_RESOLUTION));
    EXPECT_FALSE(isChecked(advanced, IDC_SOFTWARE_ACCELERATION));
    EXPECT_TRUE(isChecked(advanced, IDC_PRESERVE_ASPECT));
    EXPECT_TRUE(isChecked(advanced, IDC_CONVERT));
    EXPECT_EQ(controlText(advanced, IDC_TEXTURE_SIZE), "256");
    EXPECT_EQ(controlText(advanced, IDC_TIME_BETWEEN), "5000");
    EXPECT_EQ(controlText(advanced, IDC_TARGET_BMP_SIZE), "256");
    EXPECT_EQ(pictureOrder(advanced), 0);
    close(advanced, IDOK);
    EXPECT_TRUE(IsWindowEnabled(m_main));
    cancelMain();
    for (const Key& key : kKeys)
        EXPECT_EQ(m_session.value(key.section, key.name), key.byDefault) << key.name;
    // Written one after another, in this order.
    std::string profile = m_session.profile();
    size_t low = profile.find("LowScreenResolution="), software = profile.find("AllowSoftwareAcceleration="),
           convert = profile.find("Convert="), texture = profile.find("TextureSize="),
           time = profile.find("TimeBetweenImages=");
    EXPECT_LT(low, software);
    EXPECT_LT(software, convert);
    EXPECT_LT(convert, texture);
    EXPECT_LT(texture, time);
    EXPECT_EQ(m_session.value("Settings", "SpinX"), "<missing>");
}

TEST_F(ConfigAdvanced, ShowsStoredValuesAndStoresNumbersUnchecked) {
    HWND advanced = openAdvanced("[Settings]\r\nLowScreenResolution=1\r\nAllowSoftwareAcceleration=5\r\nConvert=0\r\n"
                                 "TextureSize=128\r\nTimeBetweenImages=-3\r\nPictureOrder=2\r\n[ConversionParms]\r\n"
                                 "PreserveAspectRatio=0\r\nTargetBmpSize=1024\r\n");
    ASSERT_TRUE(advanced);
    EXPECT_TRUE(isChecked(advanced, IDC_LOW_RESOLUTION));
    EXPECT_TRUE(isChecked(advanced, IDC_SOFTWARE_ACCELERATION));
    EXPECT_FALSE(isChecked(advanced, IDC_PRESERVE_ASPECT));
    EXPECT_FALSE(isChecked(advanced, IDC_CONVERT));
    EXPECT_EQ(controlText(advanced, IDC_TEXTURE_SIZE), "128");
    EXPECT_EQ(controlText(advanced, IDC_TIME_BETWEEN), "-3");
    EXPECT_EQ(controlText(advanced, IDC_TARGET_BMP_SIZE), "1024");
    EXPECT_EQ(pictureOrder(advanced), 2);

    // Unchecking one switch leaves the one indented under it as it was, and usable.
    click(advanced, IDC_LOW_RESOLUTION);
    click(advanced, IDC_CONVERT);
    ASSERT_TRUE(pumpUntil([&] { return isChecked(advanced, IDC_CONVERT); }, 5000));
    EXPECT_FALSE(isChecked(advanced, IDC_LOW_RESOLUTION));
    EXPECT_TRUE(isChecked(advanced, IDC_SOFTWARE_ACCELERATION));
    EXPECT_TRUE(IsWindowEnabled(control(advanced, IDC_SOFTWARE_ACCELERATION)));
    EXPECT_FALSE(isChecked(advanced, IDC_PRESERVE_ASPECT));
    EXPECT_TRUE(IsWindowEnabled(control(advanced, IDC_PRESERVE_ASPECT)));

    setControlText(advanced, IDC_TIME_BETWEEN, "abc");
    setControlText(advanced, IDC_TEXTURE_SIZE, "-5");
    setControlText(advanced, IDC_TARGET_BMP_SIZE, "0");
    SendMessageA(control(advanced, IDC_PICTURE_ORDER), CB_SETCURSEL, 1, 0);
    close(advanced, IDOK);
    cancelMain();
    EXPECT_EQ(m_session.value("Settings", "LowScreenResolution"), "0");
    EXPECT_EQ(m_session.value("Settings", "AllowSoftwareAcceleration"), "1");
    EXPECT_EQ(m_session.value("Settings", "Convert"), "1");
    EXPECT_EQ(m_session.value("ConversionParms", "PreserveAspectRatio"), "0");
    EXPECT_EQ(m_session.value("Settings", "TimeBetweenImages"), "0");
    EXPECT_EQ(m_session.value("Settings", "TextureSize"), "-5");
    EXPECT_EQ(m_session.value("ConversionParms", "TargetBmpSize"), "0");
    EXPECT_EQ(m_session.value("Settings", "PictureOrder"), "1");
}

TEST_F(ConfigAdvanced, RestoreDefaultsOnlySetsTheControls) {
    const std::string before = "[Settings]\r\nLowScreenResolution=1\r\nTextureSize=64\r\nPictureOrder=1\r\n"
                               "[ConversionParms]\r\n"
                               "PreserveAspectRatio=0\r\nTargetBmpSize=512\r\n";
    HWND advanced = openAdvanced(before);
    ASSERT_TRUE(advanced);
    setControlText(advanced, IDC_TIME_BETWEEN, "77");
    click(advanced, IDC_RESTORE_DEFAULTS);
    ASSERT_TRUE(pumpUntil([&] { return controlText(advanced, IDC_TIME_BETWEEN) == "5000"; }, 5000));
    EXPECT_FALSE(isChecked(advanced, IDC_LOW_RESOLUTION));
    EXPECT_FALSE(isChecked(advanced, IDC_SOFTWARE_ACCELERATION));
    EXPECT_TRUE(isChecked(advanced, IDC_PRESERVE_ASPECT));
    EXPECT_TRUE(isChecked(advanced, IDC_CONVERT));
    EXPECT_EQ(controlText(advanced, IDC_TEXTURE_SIZE), "256");
    EXPECT_EQ(controlText(advanced, IDC_TARGET_BMP_SIZE), "256");
    EXPECT_EQ(pictureOrder(advanced), 0);
    close(advanced, IDCANCEL);
    // Help without a help file changes nothing either: it only says so.
    advanced = nullptr;
    click(m_main, IDC_ADVANCED);
    advanced = m_session.waitForWindow("Advanced Settings");
    ASSERT_TRUE(advanced);
    EXPECT_EQ(controlText(advanced, IDC_TEXTURE_SIZE), "64");
    click(advanced, IDC_ADVANCED_HELP);
    HWND message = m_session.waitForWindow("Prismata Screen Saver", "#32770");
    ASSERT_TRUE(message);
    EXPECT_EQ(GetWindow(message, GW_OWNER), advanced);
    PostMessageA(message, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(pumpUntil([&] { return !IsWindow(message); }, 5000));
    EXPECT_TRUE(responds(advanced));
    PostMessageA(advanced, WM_CLOSE, 0, 0);
    ASSERT_TRUE(pumpUntil([&] { return !IsWindow(advanced); }, 5000));
    cancelMain();
    EXPECT_EQ(m_session.profile(), before);
}

TEST_F(ConfigAdvanced, TemplateAndTipsFollowTheTables) {
    HWND advanced = openAdvanced();
    ASSERT_TRUE(advanced);
    struct Control {
        int id;
        const wchar_t* text;
        LONG style;
        LONG styleMask;
    };
    const LONG leftCheck = BS_AUTOCHECKBOX | BS_LEFTTEXT | BS_RIGHT | WS_TABSTOP;
    const LONG label = SS_RIGHT | SS_NOTIFY;
    // The edit turns its border into a sunken edge: checked apart.
    const LONG number = ES_AUTOHSCROLL | WS_TABSTOP;
    const Control controls[] = {
        {IDC_LOW_RESOLUTION, L"Use low screen resolution", leftCheck, 0x0F | BS_LEFTTEXT | BS_RIGHT | WS_TABSTOP},
        {IDC_SOFTWARE_ACCELERATION, L"Allow software acceleration", leftCheck,
         0x0F | BS_LEFTTEXT | BS_RIGHT | WS_TABSTOP},
        {IDC_CONVERT, L"Convert and cache image files", leftCheck, 0x0F | BS_LEFTTEXT | BS_RIGHT | WS_TABSTOP},
        {IDC_PRESERVE_ASPECT, L"Preserve aspect ratio", leftCheck, 0x0F | BS_LEFTTEXT | BS_RIGHT | WS_TABSTOP},
        {IDC_TIME_BETWEEN_LABEL, L"Time between images (ms)", label, SS_TYPEMASK | SS_NOTIFY},
        {IDC_TEXTURE_SIZE_LABEL, L"Texture resolution (pixels\u00B2)", label, SS_TYPEMASK | SS_NOTIFY},
        {IDC_TARGET_BMP_SIZE_LABEL, L"BMP file resolution (pixels\u00B2)", label, SS_TYPEMASK | SS_NOTIFY},
        {IDC_TIME_BETWEEN, nullptr, number, number | ES_NUMBER},
        {IDC_TEXTURE_SIZE, nullptr, number, number | ES_NUMBER},
        {IDC_TARGET_BMP_SIZE, nullptr, number, number | ES_NUMBER},
        {IDOK, L"OK", BS_DEFPUSHBUTTON, 0x0F},
        {IDCANCEL, L"Cancel", BS_PUSHBUTTON, 0x0F},
        {IDC_RESTORE_DEFAULTS, L"Restore defaults", BS_PUSHBUTTON, 0x0F},
        {IDC_ADVANCED_HELP, L"Help", BS_PUSHBUTTON, 0x0F},
    };
    for (const Control& c : controls) {
        HWND hwnd = control(advanced, c.id);
        ASSERT_TRUE(hwnd) << c.id;
        if (c.text) {
            wchar_t text[128] = L"";
            SendMessageW(hwnd, WM_GETTEXT, 128, reinterpret_cast<LPARAM>(text));
            EXPECT_EQ(std::wstring(text), c.text) << c.id;
        }
        EXPECT_EQ(GetWindowLongA(hwnd, GWL_STYLE) & c.styleMask, c.style) << c.id;
        if (c.style == number) {
            EXPECT_TRUE((GetWindowLongA(hwnd, GWL_STYLE) & WS_BORDER) ||
                        (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE))
                << c.id;
        }
    }
    bool caution = false;
    for (HWND child = GetWindow(advanced, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        caution |= windowText(child) ==
                   "These settings do not normally need to be changed. Please read the \"Advanced Settings\" section "
                   "in the Help file to learn when it is appropriate to modify them, and what values you should "
                   "choose.";
    EXPECT_TRUE(caution);

    const char* time =
        "This numeric parameter indicates the number of milliseconds between the load of each new picture.";
    const char* bmp =
        "This numeric parameter selects the size of the cached BMP file created during the conversion process";
    const char* order = "Which picture a show begins with: the first of the list each time, the one after the last "
                        "picture the previous show reached, or a random order in which every picture comes once "
                        "before any comes again";
    auto tips = toolTips(m_session.processId(), advanced);
    const std::multimap<int, std::string> fixed = {
        {IDC_LOW_RESOLUTION, "When this setting is TRUE, Prismata will drop down to a screen resolution of 640 by 480 "
                             "when activated. Your display will be returned to its normal resolution upon exit."},
        {IDC_SOFTWARE_ACCELERATION,
         "Setting this parameter to true will allow Direct3D to perform software 3D acceleration. You may need to do "
         "this if your video card doesn't support hardware acceleration."},
        {IDC_TIME_BETWEEN, time},
        {IDC_TIME_BETWEEN_LABEL, time},
        {IDC_CONVERT, "When this entry is selected, pictures added to Prismata will be converted to BMP format and "
                      "stored in the image cache directory"},
        {IDC_PRESERVE_ASPECT,
         "When this entry is selected, pictures with an aspect ratio greater than 4:3 or less than 3:4 will get "
         "special "
         "handling when converted. Instead of being stretched to fit a square cube face, black bands will  be "
         "inserted on the top and bottom or two sides of the image, ensuring  that no image distortion takes place"},
        {IDC_TARGET_BMP_SIZE, bmp},
        {IDC_TARGET_BMP_SIZE_LABEL, bmp},
        {IDC_PICTURE_ORDER, order},
        {IDC_PICTURE_ORDER_LABEL, order},
    };
    // The texture-size tip is our own wording: the same on edit and label, and about pixels.
    ASSERT_EQ(tips.count(IDC_TEXTURE_SIZE), 1u);
    ASSERT_EQ(tips.count(IDC_TEXTURE_SIZE_LABEL), 1u);
    std::string textureTip = tips.find(IDC_TEXTURE_SIZE)->second;
    EXPECT_EQ(tips.find(IDC_TEXTURE_SIZE_LABEL)->second, textureTip);
    EXPECT_NE(textureTip.find("pixels"), std::string::npos);
    tips.erase(IDC_TEXTURE_SIZE);
    tips.erase(IDC_TEXTURE_SIZE_LABEL);
    EXPECT_EQ(tips, fixed);
    // Long tips wrap at 350 pixels.
    HWND tip = toolTipOf(advanced);
    EXPECT_EQ(SendMessageA(tip, TTM_GETMAXTIPWIDTH, 0, 0), 350);
    close(advanced, IDCANCEL);
    cancelMain();
}

} // namespace
