// The main settings dialog of the real program, driven by messages from this process.
#include "resources/config_ids.h"
#include "tests/e2e/ConfigDriver.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace e2e;

namespace {

struct Slider {
    int id;
    const char* key;
};
const Slider kSliders[] = {{IDC_SPIN_X, "SpinX"},      {IDC_SPIN_Y, "SpinY"},   {IDC_SPIN_Z, "SpinZ"},
                           {IDC_SPEED_X, "SpeedX"},    {IDC_SPEED_Y, "SpeedY"}, {IDC_SPEED_Z, "SpeedZ"},
                           {IDC_CUBE_SIZE, "CubeSize"}};

class ConfigMain : public ::testing::Test {
protected:
    // A profile whose folder is an existing, empty one, so OK closes without any rebuild.
    void writeSettings(const std::string& extra = "") {
        m_session.writeProfile("[Settings]\r\nPicturePath=" + pictures() + "\r\n" + extra);
    }
    std::string pictures() const { return m_pictures.path().substr(0, m_pictures.path().size() - 1); }

    HWND open(const std::string& arguments = "/c") {
        HWND dialog = m_session.open(arguments);
        EXPECT_TRUE(dialog);
        return dialog;
    }
    void pressOK(HWND dialog) {
        EXPECT_TRUE(waitForOK(dialog));
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        EXPECT_TRUE(m_session.endsWithin(kDialogWait));
    }
    void pressCancel(HWND dialog) {
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        EXPECT_TRUE(m_session.endsWithin(kDialogWait));
    }

    TempFolder m_pictures{"pictures"};
    ConfigSession m_session;
};

TEST_F(ConfigMain, EmptyProfileShowsTheDefaultsAndThePicturesFolder) {
    HWND dialog = open();
    ASSERT_TRUE(dialog);
    struct Expected {
        int id, pos, min, max, tics;
    };
    // Tics count the two ends the trackbar always marks plus the one set at position 0.
    const Expected expected[] = {{IDC_SPIN_X, 40, -99, 99, 3}, {IDC_SPIN_Y, 60, -99, 99, 3},
                                 {IDC_SPIN_Z, 0, -99, 99, 3},  {IDC_SPEED_X, 60, 0, 99, 3},
                                 {IDC_SPEED_Y, 20, 0, 99, 3},  {IDC_SPEED_Z, 0, 0, 99, 3},
                                 {IDC_CUBE_SIZE, 0, 0, 99, 2}};
    for (const Expected& e : expected) {
        HWND trackbar = control(dialog, e.id);
        EXPECT_EQ(sliderPos(dialog, e.id), e.pos) << e.id;
        EXPECT_EQ(SendMessageA(trackbar, TBM_GETRANGEMIN, 0, 0), e.min) << e.id;
        EXPECT_EQ(SendMessageA(trackbar, TBM_GETRANGEMAX, 0, 0), e.max) << e.id;
        EXPECT_EQ(SendMessageA(trackbar, TBM_GETNUMTICS, 0, 0), e.tics) << e.id;
        if (e.tics == 3) {
            EXPECT_EQ(SendMessageA(trackbar, TBM_GETTIC, 0, 0), 0) << e.id;
        }
    }
    EXPECT_FALSE(isChecked(dialog, IDC_KEEP_UPRIGHT));
    EXPECT_EQ(controlText(dialog, IDC_FOLDER), specialFolder(CSIDL_MYPICTURES));
    EXPECT_FALSE(specialFolder(CSIDL_MYPICTURES).empty());
    EXPECT_TRUE(waitForOK(dialog));
    pressCancel(dialog);
    EXPECT_EQ(m_session.profile(), "");
}

TEST_F(ConfigMain, TemplateHoldsEveryControlWhereItBelongs) {
    HWND dialog = open();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(windowText(dialog), "Prismata Configuration");
    // Dialog units to pixels, measured on the whole dialog (309 x 214).
    RECT client{};
    GetClientRect(dialog, &client);
    const double sx = client.right / 309.0, sy = client.bottom / 214.0;
    auto clientRect = [&](HWND hwnd) {
        RECT r{};
        GetWindowRect(hwnd, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    auto expectAt = [&](HWND hwnd, int x, int y, int w, int h, const std::string& what) {
        ASSERT_TRUE(hwnd) << what;
        RECT r = clientRect(hwnd);
        EXPECT_NEAR(r.left, x * sx, 2.0) << what;
        EXPECT_NEAR(r.top, y * sy, 2.0) << what;
        if (w > 0) {
            EXPECT_NEAR(r.right - r.left, w * sx, 2.0) << what;
            EXPECT_NEAR(r.bottom - r.top, h * sy, 2.0) << what;
        }
    };
    struct Control {
        int id;
        const char* cls;
        const char* text;
        int x, y, w, h;
    };
    // Icons size themselves to their picture: only their place is checked.
    const Control controls[] = {
        {IDC_SPIN_X, "msctls_trackbar32", "", 39, 16, 90, 17},
        {IDC_SPIN_Y, "msctls_trackbar32", "", 39, 47, 90, 17},
        {IDC_SPIN_Z, "msctls_trackbar32", "", 39, 78, 90, 17},
        {IDC_SPEED_X, "msctls_trackbar32", "", 207, 16, 93, 17},
        {IDC_SPEED_Y, "msctls_trackbar32", "", 207, 47, 93, 17},
        {IDC_SPEED_Z, "msctls_trackbar32", "", 207, 78, 93, 17},
        {IDC_CUBE_SIZE, "msctls_trackbar32", "", 39, 121, 90, 17},
        {IDC_KEEP_UPRIGHT, "Button", "Keep images upright", 204, 128, 80, 12},
        {IDC_FOLDER, "Edit", nullptr, 36, 166, 228, 14},
        {IDC_BROWSE, "Button", "...", 269, 167, 26, 12},
        {IDOK, "Button", "OK", 7, 193, 44, 14},
        {IDCANCEL, "Button", "Cancel", 69, 193, 44, 14},
        {IDC_ADVANCED, "Button", "Advanced", 131, 193, 44, 14},
        {IDC_CONFIG_HELP, "Button", "Help", 193, 193, 44, 14},
        {IDC_CONFIG_ABOUT, "Button", "About", 255, 193, 44, 14},
        {IDC_ICON_SPIN_X_LEFT, "Static", nullptr, 14, 14, 0, 0},
        {IDC_ICON_SPIN_X_RIGHT, "Static", nullptr, 134, 14, 0, 0},
        {IDC_ICON_SPIN_Y_LEFT, "Static", nullptr, 14, 45, 0, 0},
        {IDC_ICON_SPIN_Y_RIGHT, "Static", nullptr, 134, 45, 0, 0},
        {IDC_ICON_SPIN_Z_LEFT, "Static", nullptr, 14, 76, 0, 0},
        {IDC_ICON_SPIN_Z_RIGHT, "Static", nullptr, 134, 76, 0, 0},
        {IDC_ICON_SPEED_X, "Static", nullptr, 183, 14, 0, 0},
        {IDC_ICON_SPEED_Y, "Static", nullptr, 183, 45, 0, 0},
        {IDC_ICON_SPEED_Z, "Static", nullptr, 183, 76, 0, 0},
    };
    for (const Control& c : controls) {
        HWND hwnd = control(dialog, c.id);
        std::string what = std::to_string(c.id);
        expectAt(hwnd, c.x, c.y, c.w, c.h, what);
        char cls[64] = "";
        GetClassNameA(hwnd, cls, sizeof cls);
        EXPECT_STREQ(cls, c.cls) << what;
        if (c.text) {
            EXPECT_EQ(windowText(hwnd), c.text) << what;
        }
        LONG style = GetWindowLongA(hwnd, GWL_STYLE);
        if (c.w == 0) {
            EXPECT_EQ(style & SS_TYPEMASK, SS_ICON) << what;
        } else {
            EXPECT_NE(style & WS_TABSTOP, 0) << what;
        }
        if (std::string(c.cls) == "msctls_trackbar32") {
            EXPECT_EQ(style & (TBS_AUTOTICKS | TBS_VERT), 0) << what;
        }
    }
    EXPECT_EQ(GetWindowLongA(control(dialog, IDOK), GWL_STYLE) & 0x0F, BS_DEFPUSHBUTTON);
    EXPECT_EQ(GetWindowLongA(control(dialog, IDC_KEEP_UPRIGHT), GWL_STYLE) & 0x0F, BS_AUTOCHECKBOX);
    EXPECT_NE(GetWindowLongA(control(dialog, IDC_FOLDER), GWL_STYLE) & ES_AUTOHSCROLL, 0);

    // Group boxes and labels have no identifier of their own: found by text.
    struct Group {
        const char* text;
        int x, y, w, h;
    };
    const Group groups[] = {{"Spin rate", 7, 3, 154, 106},
                            {"Speed", 167, 3, 135, 106},
                            {"Cube", 7, 111, 154, 41},
                            {"Miscellaneous", 167, 111, 135, 41},
                            {"Images", 7, 154, 295, 33}};
    std::map<std::string, int> labels;
    std::map<std::string, HWND> groupBoxes;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[64] = "";
        GetClassNameA(child, cls, sizeof cls);
        LONG style = GetWindowLongA(child, GWL_STYLE);
        if (std::string(cls) == "Button" && (style & 0x0F) == BS_GROUPBOX)
            groupBoxes[windowText(child)] = child;
        else if (std::string(cls) == "Static" && (style & SS_TYPEMASK) != SS_ICON)
            ++labels[windowText(child)];
    }
    EXPECT_EQ(groupBoxes.size(), 5u);
    for (const Group& g : groups)
        expectAt(groupBoxes[g.text], g.x, g.y, g.w, g.h, g.text);
    const std::map<std::string, int> expectedLabels = {{"Max", 9},   {"0", 6},     {"Size:", 1},
                                                       {"Small", 1}, {"Large", 1}, {"Folder:", 1}};
    EXPECT_EQ(labels, expectedLabels);
    pressCancel(dialog);
}

TEST_F(ConfigMain, DeadZoneAppliesToSpinsAndSpeedsOnOK) {
    writeSettings();
    HWND dialog = open();
    ASSERT_TRUE(dialog);
    struct Case {
        int id;
        int pos;
        const char* key;
        const char* stored;
    };
    const Case cases[] = {{IDC_SPIN_X, -5, "SpinX", "0"},     {IDC_SPIN_Y, 6, "SpinY", "0"},
                          {IDC_SPIN_Z, -7, "SpinZ", "-7"},    {IDC_SPEED_X, 6, "SpeedX", "0"},
                          {IDC_SPEED_Y, 7, "SpeedY", "7"},    {IDC_SPEED_Z, 99, "SpeedZ", "99"},
                          {IDC_CUBE_SIZE, 3, "CubeSize", "3"}};
    for (const Case& c : cases)
        setSliderPos(dialog, c.id, c.pos);
    click(dialog, IDC_KEEP_UPRIGHT);
    ASSERT_TRUE(pumpUntil([&] { return isChecked(dialog, IDC_KEEP_UPRIGHT); }, 5000));
    pressOK(dialog);
    for (const Case& c : cases)
        EXPECT_EQ(m_session.value("Settings", c.key), c.stored) << c.key;
    EXPECT_EQ(m_session.value("Settings", "KeepUpright"), "1");
    EXPECT_EQ(m_session.value("Settings", "PicturePath"), pictures());
}

TEST_F(ConfigMain, OutOfRangeValuesPutTheThumbAtTheNearerEnd) {
    writeSettings("SpinX=-2147483648\r\nSpinY=500\r\nSpinZ=99999999999\r\nSpeedX=-40\r\nSpeedY=100\r\n"
                  "SpeedZ=2147483647\r\nCubeSize=-3\r\nKeepUpright=7\r\n");
    HWND dialog = open();
    ASSERT_TRUE(dialog);
    const int ends[] = {-99, 99, 99, 0, 99, 99, 0};
    for (size_t i = 0; i < std::size(kSliders); ++i)
        EXPECT_EQ(sliderPos(dialog, kSliders[i].id), ends[i]) << kSliders[i].key;
    EXPECT_TRUE(isChecked(dialog, IDC_KEEP_UPRIGHT));
    pressOK(dialog);
    const char* stored[] = {"-99", "99", "99", "0", "99", "99", "0"};
    for (size_t i = 0; i < std::size(kSliders); ++i)
        EXPECT_EQ(m_session.value("Settings", kSliders[i].key), stored[i]) << kSliders[i].key;
    EXPECT_EQ(m_session.value("Settings", "KeepUpright"), "1");
}

TEST_F(ConfigMain, CancelAfterMovingSlidersWritesNothing) {
    writeSettings("SpinX=-45\r\n");
    const std::string before = m_session.profile();
    HWND dialog = open();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(sliderPos(dialog, IDC_SPIN_X), -45);
    for (const Slider& s : kSliders)
        setSliderPos(dialog, s.id, 33);
    click(dialog, IDC_KEEP_UPRIGHT);
    setControlText(dialog, IDC_FOLDER, specialFolder(CSIDL_PERSONAL));
    pressCancel(dialog);
    EXPECT_EQ(m_session.profile(), before);
}

// The dialog's answers for its folder texts, as traced once OK follows them.
std::vector<std::string> folderAnswers(const Logger& logger) {
    std::vector<std::string> answers;
    for (const std::string& line : support::lines(logger.text()))
        if (line.rfind("Folder check: ", 0) == 0)
            answers.push_back(line);
    return answers;
}

// Sets the folder text and returns the dialog's answer for it, or "" when none came.
std::string setFolder(const Logger& logger, HWND dialog, const std::string& text) {
    const std::size_t before = folderAnswers(logger).size();
    setControlText(dialog, IDC_FOLDER, text);
    std::vector<std::string> answers;
    pumpUntil(
        [&] {
            answers = folderAnswers(logger);
            return answers.size() > before;
        },
        kDialogWait);
    return answers.size() > before ? answers.back() : "";
}

TEST_F(ConfigMain, MissingFolderDisablesOKAndEnter) {
    writeSettings();
    Logger logger;
    HWND dialog = open();
    ASSERT_TRUE(dialog);
    HWND ok = control(dialog, IDOK);
    HWND edit = control(dialog, IDC_FOLDER);
    // The answer for the text at opening, traced after OK has followed it.
    ASSERT_TRUE(pumpUntil([&] { return folderAnswers(logger).size() == 1; }, kDialogWait));
    EXPECT_EQ(folderAnswers(logger)[0], "Folder check: found " + pictures());
    EXPECT_TRUE(IsWindowEnabled(ok));

    struct Case {
        std::string text;
        bool enabled;
    };
    const Case cases[] = {
        {m_pictures.path() + "missing", false},
        {pictures(), true},
        {m_pictures.path(), true}, // with its separator
        {pictures() + "/", true},  // with the other separator
        {"", true},                // the root of the current drive
        {"Q:\\no\\such\\drive", false},
        {std::string(5000, 'x'), false},                     // far beyond any path
        {m_session.installFolder() + "Prismata.ini", false}, // a file is no folder
        {"C:\\", true},
    };
    for (const Case& c : cases) {
        const std::string answer = setFolder(logger, dialog, c.text);
        EXPECT_EQ(answer, (c.enabled ? "Folder check: found " : "Folder check: not found ") + c.text.substr(0, 400));
        EXPECT_EQ(IsWindowEnabled(ok) != FALSE, c.enabled) << c.text.substr(0, 60);
    }

    EXPECT_EQ(setFolder(logger, dialog, m_pictures.path() + "missing"),
              "Folder check: not found " + m_pictures.path() + "missing");
    ASSERT_FALSE(IsWindowEnabled(ok));
    pressEnter(edit);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    click(dialog, IDOK);
    ASSERT_TRUE(responds(dialog));
    Sleep(300);
    EXPECT_TRUE(IsWindow(dialog));

    // Corrected, Enter accepts and the text is stored as typed.
    EXPECT_EQ(setFolder(logger, dialog, pictures()), "Folder check: found " + pictures());
    EXPECT_TRUE(IsWindowEnabled(ok));
    pressEnter(edit);
    EXPECT_TRUE(m_session.endsWithin(kDialogWait));
    EXPECT_EQ(m_session.value("Settings", "PicturePath"), pictures());
}

TEST_F(ConfigMain, TipsFollowTheTableAndShowUnderTheMouse) {
    HWND dialog = open();
    ASSERT_TRUE(dialog);
    const char* spinX = "This slider controls the speed and direction of spin along the X axis";
    const char* spinY = "This slider controls the speed and direction of spin along the Y axis";
    const char* spinZ = "This slider controls the speed and direction of spin along the Z axis";
    const char* speedX = "This slider controls the speed of movement along the X axis";
    const char* speedY = "This slider controls the speed of movement along the Y axis";
    const char* speedZ = "This slider controls the speed of movement along the Z axis";
    const char* folder = "This edit control contains the folder that will be scanned for image files";
    const std::multimap<int, std::string> expected = {
        {IDC_SPIN_X, spinX},
        {IDC_ICON_SPIN_X_LEFT, spinX},
        {IDC_ICON_SPIN_X_RIGHT, spinX},
        {IDC_SPIN_Y, spinY},
        {IDC_ICON_SPIN_Y_LEFT, spinY},
        {IDC_ICON_SPIN_Y_RIGHT, spinY},
        {IDC_SPIN_Z, spinZ},
        {IDC_ICON_SPIN_Z_LEFT, spinZ},
        {IDC_ICON_SPIN_Z_RIGHT, spinZ},
        {IDC_SPEED_X, speedX},
        {IDC_ICON_SPEED_X, speedX},
        {IDC_SPEED_Y, speedY},
        {IDC_ICON_SPEED_Y, speedY},
        {IDC_SPEED_Z, speedZ},
        {IDC_ICON_SPEED_Z, speedZ},
        {IDC_CUBE_SIZE, "This slider controls the size of the cube"},
        {IDC_KEEP_UPRIGHT, "If this checkbox is set, Prismata will attempt to keep images upright as the cube rotates"},
        {IDC_FOLDER, folder},
        {IDC_BROWSE, "Selecting this button will allow you to browse for a folder that contains image files"},
    };
    EXPECT_EQ(toolTips(m_session.processId(), dialog), expected);

    // The mouse resting on the edit: the relayed moves bring its tip up, on one line.
    HWND tip = toolTipOf(dialog);
    ASSERT_TRUE(tip);
    RECT edit{};
    GetWindowRect(control(dialog, IDC_FOLDER), &edit);
    SetCursorPos((edit.left + edit.right) / 2 - 1, (edit.top + edit.bottom) / 2);
    Sleep(100);
    SetCursorPos((edit.left + edit.right) / 2, (edit.top + edit.bottom) / 2);
    ASSERT_TRUE(pumpUntil([&] { return IsWindowVisible(tip) != FALSE; }, 5000));
    EXPECT_EQ(windowText(tip), folder);
    RECT tipRect{};
    GetWindowRect(tip, &tipRect);
    EXPECT_LT(tipRect.bottom - tipRect.top, 2 * (edit.bottom - edit.top));
    SetCursorPos(0, GetSystemMetrics(SM_CYSCREEN) - 1);
    pressCancel(dialog);
}

// The shell's browser: the program's visible dialog-class window other than the settings dialog (told apart
// by handle, as a title read can time out while the browser fills its tree on the same thread).
HWND waitForBrowser(const ConfigSession& session, HWND dialog) {
    const DWORD processId = session.processId();
    HWND found = nullptr;
    pumpUntil(
        [&] {
            support::forEachTopWindow([&](HWND hwnd) {
                DWORD pid = 0;
                GetWindowThreadProcessId(hwnd, &pid);
                char cls[64] = "";
                GetClassNameA(hwnd, cls, sizeof cls);
                if (pid != processId || hwnd == dialog || std::string(cls) != "#32770" || !IsWindowVisible(hwnd))
                    return true;
                found = hwnd;
                return false;
            });
            return found != nullptr;
        },
        kDialogWait);
    return found;
}

TEST_F(ConfigMain, BrowserOpensAtTheShownFolderAndCancelChangesNothing) {
    TempFolder chosen("chosen");
    const std::string chosenPath = chosen.path().substr(0, chosen.path().size() - 1);
    writeSettings();
    HWND dialog = open();
    ASSERT_TRUE(dialog);

    click(dialog, IDC_BROWSE);
    HWND browser = waitForBrowser(m_session, dialog);
    ASSERT_TRUE(browser);
    // Filling its tree can hold the browser's thread for seconds on a busy machine.
    ASSERT_TRUE(responds(browser, kDialogWait));
    EXPECT_FALSE(IsWindowEnabled(dialog));
    bool titled = false;
    for (HWND child = GetWindow(browser, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        titled |= windowText(child) == "Select a folder containing image files of type JPG, DIB, WMF, or BMP :";
    EXPECT_TRUE(titled);
    PostMessageA(browser, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    ASSERT_TRUE(pumpUntil([&] { return !IsWindow(browser); }, kDialogWait));
    EXPECT_EQ(controlText(dialog, IDC_FOLDER), pictures());

    // Accepted at once, the browser hands back the folder it was opened at.
    setControlText(dialog, IDC_FOLDER, chosenPath);
    click(dialog, IDC_BROWSE);
    browser = waitForBrowser(m_session, dialog);
    ASSERT_TRUE(browser);
    ASSERT_TRUE(responds(browser, kDialogWait));
    PostMessageA(browser, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    ASSERT_TRUE(pumpUntil([&] { return !IsWindow(browser); }, kDialogWait));
    EXPECT_EQ(lstrcmpiA(controlText(dialog, IDC_FOLDER).c_str(), chosenPath.c_str()), 0)
        << controlText(dialog, IDC_FOLDER);
    EXPECT_TRUE(waitForOK(dialog));
    pressCancel(dialog);
}

TEST_F(ConfigMain, HelpNeverStopsTheDialog) {
    // WinHelp's system, where the viewer reports a file it cannot read in an error box of its own, which
    // must not hold the dialog. (A missing file is Prismata's to report: ConfigHelp.)
    AppDefault system("Prismata.scr", "", "Version", "winxp");
    writeSettings();
    writeTextFile(m_session.installFolder() + "Prismata.hlp", "not a help file");
    HWND dialog = open();
    ASSERT_TRUE(dialog);
    click(dialog, IDC_CONFIG_HELP);
    HWND box = nullptr;
    bool viewerAsked = pumpUntil(
        [&] {
            box = FindWindowA("#32770", "ERROR");
            return box != nullptr;
        },
        10000);
    EXPECT_TRUE(viewerAsked);
    EXPECT_TRUE(responds(dialog));
    if (viewerAsked) {
        // The viewer names the file it was given: the install folder's help file.
        bool named = false;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            named |= windowText(child).find(m_session.installFolder() + "Prismata.hlp") != std::string::npos;
        EXPECT_TRUE(named);
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        pumpUntil([&] { return !IsWindow(box); }, 5000);
    }
    WinHelpA(nullptr, nullptr, HELP_QUIT, 0);
    pressOK(dialog);
}

TEST_F(ConfigMain, AboutBoxIsOwnedByTheDialog) {
    writeSettings();
    HWND dialog = open();
    ASSERT_TRUE(dialog);
    click(dialog, IDC_CONFIG_ABOUT);
    HWND about = m_session.waitForWindow("About Prismata");
    ASSERT_TRUE(about);
    EXPECT_EQ(GetWindow(about, GW_OWNER), dialog);
    EXPECT_FALSE(IsWindowEnabled(dialog));
    bool hasIcon = false;
    for (HWND child = GetWindow(about, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        hasIcon |=
            (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && SendMessageA(child, STM_GETICON, 0, 0) != 0;
    EXPECT_TRUE(hasIcon);
    click(about, IDOK);
    ASSERT_TRUE(pumpUntil([&] { return !IsWindow(about); }, 5000));
    EXPECT_TRUE(IsWindowEnabled(dialog));
    pressOK(dialog);
}

TEST_F(ConfigMain, WindowOnTheCommandLineOwnsTheDialog) {
    writeSettings();
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "DisplayPropertiesForTest";
    RegisterClassA(&wc);
    HWND owner = CreateWindowExA(0, wc.lpszClassName, "Display Properties", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50,
                                 300, 200, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_TRUE(owner);
    HWND dialog = open("/c:" + std::to_string(reinterpret_cast<intptr_t>(owner)));
    ASSERT_TRUE(dialog);
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), owner);
    EXPECT_TRUE(pumpUntil([&] { return !IsWindowEnabled(owner); }, 5000));
    pressOK(dialog);
    EXPECT_TRUE(IsWindowEnabled(owner));
    DestroyWindow(owner);
}

} // namespace
