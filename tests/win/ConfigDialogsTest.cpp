// The configuration dialogs in this process: the advanced dialog's result, when the main dialog asks
// for a rebuild, and settings that cannot be stored. A second thread drives the dialogs by messages while the test
// thread runs their modal loop.
#include "config/AdvancedDialog.h"
#include "config/ConfigDialog.h"
#include "tests/support/BareApp.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TopWindows.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace {

// A top-level window of the thread with exactly this title, waited for.
HWND waitForWindow(DWORD threadId, const std::string& title) {
    HWND found = nullptr;
    for (int i = 0; i < 500 && !found; ++i) {
        support::forEachThreadWindow(threadId, [&](HWND hwnd) {
            char text[128] = "";
            GetWindowTextA(hwnd, text, sizeof text);
            if (title != text || !IsWindowVisible(hwnd))
                return true;
            found = hwnd;
            return false;
        });
        if (!found)
            Sleep(20);
    }
    return found;
}

void waitGone(HWND hwnd) {
    for (int i = 0; i < 750 && IsWindow(hwnd); ++i)
        Sleep(20);
}

void setText(HWND dialog, int id, const char* text) {
    SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}
void click(HWND dialog, int id) {
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

// Runs the driver on its own thread while the dialog's modal loop runs here.
INT_PTR runWithDriver(fw::Dialog& dialog, const std::function<void(DWORD uiThread)>& driver) {
    DWORD uiThread = GetCurrentThreadId();
    std::thread thread([&] { driver(uiThread); });
    INT_PTR result = dialog.DoModal();
    thread.join();
    return result;
}

class ConfigDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        char folder[MAX_PATH];
        GetTempPathA(sizeof folder, folder);
        char name[MAX_PATH];
        GetTempFileNameA(folder, "ini", 0, name);
        m_path = name;
        m_app.setProfileFile(m_path);
    }
    void TearDown() override {
        DeleteFileA(m_path.c_str());
        RemoveDirectoryA(m_path.c_str());
    }
    void writeProfile(const std::string& text) {
        std::ofstream out(m_path, std::ios::binary | std::ios::trunc);
        out << text;
    }
    int profileInt(const char* section, const char* key) {
        return static_cast<int>(GetPrivateProfileIntA(section, key, -12345, m_path.c_str()));
    }

    support::BareApp m_app;
    std::string m_path;
};

TEST_F(ConfigDialogs, AdvancedResultTellsWhetherTheBitmapSizeChanged) {
    struct Case {
        const char* profile;
        const char* targetText; // null: left as shown
        const char* timeText;   // null: left as shown
        int button;
        INT_PTR result;
        int storedTarget;
    };
    const Case cases[] = {
        {"", nullptr, nullptr, IDOK, 0, 256},
        {"", "300", nullptr, IDOK, 1, 300},
        {"[ConversionParms]\r\nTargetBmpSize=256\r\n", "512", nullptr, IDOK, 1, 512},
        {"[ConversionParms]\r\nTargetBmpSize=512\r\n", nullptr, "1000", IDOK, 0, 512},
        {"[ConversionParms]\r\nTargetBmpSize=512\r\n", "0512", nullptr, IDOK, 0, 512},
        {"[ConversionParms]\r\nTargetBmpSize=256\r\n", "512", nullptr, IDCANCEL, 0, 256},
    };
    for (const Case& c : cases) {
        writeProfile(c.profile);
        const settings::AppContext app;
        config::Help help(app);
        AdvancedDialog dialog(nullptr, app, help);
        INT_PTR result = runWithDriver(dialog, [&](DWORD uiThread) {
            HWND window = waitForWindow(uiThread, "Advanced Settings");
            if (!window)
                return;
            if (c.targetText)
                setText(window, IDC_TARGET_BMP_SIZE, c.targetText);
            if (c.timeText)
                setText(window, IDC_TIME_BETWEEN, c.timeText);
            click(window, c.button);
        });
        EXPECT_EQ(result, c.result) << c.profile << " " << (c.targetText ? c.targetText : "-");
        EXPECT_EQ(profileInt("ConversionParms", "TargetBmpSize"),
                  c.button == IDOK ? c.storedTarget : (c.profile[0] ? 256 : -12345));
    }
}

TEST_F(ConfigDialogs, MainDialogForcesARebuildAfterANewBitmapSizeOrABrowse) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    struct Case {
        const char* name;
        std::function<void(HWND main, DWORD uiThread)> act;
        bool force;
    };
    auto advanced = [](const char* target, const char* time, int button) {
        return [=](HWND main, DWORD uiThread) {
            click(main, IDC_ADVANCED);
            HWND window = waitForWindow(uiThread, "Advanced Settings");
            if (!window)
                return;
            setText(window, IDC_TARGET_BMP_SIZE, target);
            setText(window, IDC_TIME_BETWEEN, time);
            click(window, button);
            waitGone(window);
        };
    };
    // The shell's browser has no title of ours: it is the thread's other dialog-class window.
    auto browse = [](int button) {
        return [=](HWND main, DWORD uiThread) {
            click(main, IDC_BROWSE);
            HWND browser = nullptr;
            for (int i = 0; i < 500 && !browser; ++i) {
                support::forEachThreadWindow(uiThread, [&](HWND hwnd) {
                    char cls[32] = "";
                    GetClassNameA(hwnd, cls, sizeof cls);
                    if (hwnd == main || std::string(cls) != "#32770" || !IsWindowVisible(hwnd))
                        return true;
                    browser = hwnd;
                    return false;
                });
                if (!browser)
                    Sleep(20);
            }
            if (!browser)
                return;
            // Filling its tree can hold the browser for seconds on a busy machine.
            DWORD_PTR answer = 0;
            (void)SendMessageTimeoutA(browser, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 15000, &answer);
            PostMessageA(browser, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
            waitGone(browser);
        };
    };
    const Case cases[] = {
        {"nothing done", [](HWND, DWORD) {}, false},
        {"time between images changed", advanced("256", "1234", IDOK), false},
        {"bitmap size changed, then cancelled", advanced("512", "5000", IDCANCEL), false},
        {"bitmap size changed", advanced("512", "5000", IDOK), true},
        {"browser cancelled", browse(IDCANCEL), false},
        {"browsed to the folder already shown", browse(IDOK), true},
    };
    for (const Case& c : cases) {
        writeProfile("[ConversionParms]\r\nTargetBmpSize=256\r\n");
        const settings::AppContext app;
        SettingsRecord record;
        record.PicturePath = std::string(temp, strlen(temp) - 1);
        ConfigDialog dialog(nullptr, app, record);
        runWithDriver(dialog, [&](DWORD uiThread) {
            HWND main = waitForWindow(uiThread, "Prismata Configuration");
            if (!main)
                return;
            c.act(main, uiThread);
            PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        });
        EXPECT_EQ(dialog.forceRebuild(), c.force) << c.name;
        // The record holds the edit's text when the window is gone; the browser may spell the case differently.
        EXPECT_EQ(lstrcmpiA(dialog.record().PicturePath.c_str(), std::string(temp, strlen(temp) - 1).c_str()), 0)
            << c.name << ": " << dialog.record().PicturePath;
    }
}

// A settings file that cannot be written (here a folder in its place, as when the users' grant on it is
// gone): OK says so, naming the file, and the dialog stays open with the user's choices.
TEST_F(ConfigDialogs, SettingsThatCannotBeStoredAreReportedAndTheDialogStaysOpen) {
    DeleteFileA(m_path.c_str());
    ASSERT_TRUE(CreateDirectoryA(m_path.c_str(), nullptr));
    settings::AppContext app;
    app.profilePath = m_path;
    app.title = "Prismata Screen Saver";
    support::TempFolder pictures("nopictures");
    config::Help help(app);
    struct Case {
        const char* title;
        std::function<std::unique_ptr<fw::Dialog>()> make;
        INT_PTR cancelled;
    };
    const Case cases[] = {
        {"Advanced Settings", [&] { return std::make_unique<AdvancedDialog>(nullptr, app, help); }, 0},
        {"Prismata Configuration",
         [&] {
             SettingsRecord record;
             record.PicturePath = pictures.path();
             return std::make_unique<ConfigDialog>(nullptr, app, record);
         },
         IDCANCEL},
    };
    for (const Case& c : cases) {
        std::unique_ptr<fw::Dialog> dialog = c.make();
        std::string boxText;
        bool openAfterBox = false;
        INT_PTR result = runWithDriver(*dialog, [&](DWORD uiThread) {
            HWND window = waitForWindow(uiThread, c.title);
            if (!window)
                return;
            click(window, IDOK);
            HWND box = waitForWindow(uiThread, app.title);
            if (!box)
                return;
            char text[1024] = "";
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            boxText = text;
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            waitGone(box);
            openAfterBox = IsWindow(window) && IsWindowVisible(window);
            click(window, IDCANCEL);
        });
        EXPECT_EQ(result, c.cancelled) << c.title;
        EXPECT_TRUE(openAfterBox) << c.title;
        EXPECT_NE(boxText.find("could not save your settings"), std::string::npos) << c.title << ": " << boxText;
        EXPECT_NE(boxText.find(m_path), std::string::npos) << c.title << ": " << boxText;
        EXPECT_NE(boxText.find("Please make sure that you may change this file"), std::string::npos) << boxText;
    }
}

} // namespace
