// The configuration dialogs in this process: the advanced dialog's result, when the main dialog asks
// for a rebuild, settings that cannot be stored, and the folder check that must not hold the dialog. A second
// thread drives the dialogs by messages while the test thread runs their modal loop.
#include "config/AdvancedDialog.h"
#include "config/ConfigDialog.h"
#include "config/FolderCheck.h"
#include "tests/win/LibraryTestSupport.h"
#include "tests/support/BareApp.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TopWindows.h"
#include "tests/support/Wait.h"
#include "resources/resource.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

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
            // The main dialog's OK waits for the check of its folder.
            support::waitUntil([&] { return IsWindowEnabled(GetDlgItem(window, IDOK)) != FALSE; }, 10000);
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

// The folder lookup put on hold, as one waiting for a server that does not answer: every call waits for
// release() (at most 20 s), then asks the file system. Counts the calls and how many ran at once.
class HeldLookup {
public:
    HeldLookup() {
        (void)ResetEvent(s_release);
        (void)ResetEvent(s_entered);
        s_calls = 0;
        s_inside = 0;
        s_mostAtOnce = 0;
        config::setFileAttributesForTests(lookup);
    }
    ~HeldLookup() {
        release();
        config::setFileAttributesForTests(nullptr);
    }
    HeldLookup(const HeldLookup&) = delete;
    HeldLookup& operator=(const HeldLookup&) = delete;

    // Holds the next lookup again; waitUntilEntered() then waits for that one.
    void hold() const {
        (void)ResetEvent(s_release);
        (void)ResetEvent(s_entered);
    }
    void release() const { (void)SetEvent(s_release); }
    bool waitUntilEntered(DWORD milliseconds) const { return WaitForSingleObject(s_entered, milliseconds) == 0; }
    int calls() const { return s_calls; }
    int inside() const { return s_inside; }
    int mostAtOnce() const { return s_mostAtOnce; }

private:
    static DWORD WINAPI lookup(LPCSTR path) {
        const int now = ++s_inside;
        ++s_calls;
        int most = s_mostAtOnce;
        while (now > most && !s_mostAtOnce.compare_exchange_weak(most, now)) {
        }
        (void)SetEvent(s_entered);
        (void)WaitForSingleObject(s_release, 20000);
        const DWORD attributes = GetFileAttributesA(path);
        --s_inside;
        return attributes;
    }
    // Never closed: a worker may still wait on them when a test ends.
    static inline const HANDLE s_release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    static inline const HANDLE s_entered = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    static inline std::atomic<int> s_calls{0};
    static inline std::atomic<int> s_inside{0};
    static inline std::atomic<int> s_mostAtOnce{0};
};

// Every enabling and disabling of one window (WM_ENABLE), recorded by a subclass.
class EnableRecorder {
public:
    explicit EnableRecorder(HWND window) {
        s_changes.clear();
        s_original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&EnableRecorder::proc)));
    }
    static std::vector<bool> changes() {
        std::lock_guard<std::mutex> lock(s_mutex);
        return s_changes;
    }

private:
    static LRESULT CALLBACK proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_ENABLE) {
            std::lock_guard<std::mutex> lock(s_mutex);
            s_changes.push_back(wParam != FALSE);
        }
        return CallWindowProcA(s_original, hwnd, message, wParam, lParam);
    }
    static inline std::mutex s_mutex;
    static inline std::vector<bool> s_changes;
    static inline WNDPROC s_original = nullptr;
};

// The thread's visible dialog, found without sending it anything: its thread may be the one held.
HWND waitForShownDialog(DWORD threadId) {
    HWND found = nullptr;
    support::waitUntil(
        [&] {
            support::forEachThreadWindow(threadId, [&](HWND hwnd) {
                char cls[32] = "";
                GetClassNameA(hwnd, cls, sizeof cls);
                if (std::string(cls) != "#32770" || !IsWindowVisible(hwnd))
                    return true;
                found = hwnd;
                return false;
            });
            return found != nullptr;
        },
        5000);
    return found;
}

// Ends a driver that found the dialog held: lets the lookups answer, then cancels the dialog.
void releaseAndCancel(const HeldLookup& held, DWORD uiThread) {
    held.release();
    if (HWND main = waitForWindow(uiThread, "Prismata Configuration"))
        PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

bool waitForTrace(const std::string& line) {
    return support::waitUntil(
        [&] { return librarytest::TraceRecorder::instance().text().find(line + "\r\n") != std::string::npos; }, 10000);
}

// Typing a folder while the lookup of the text hangs: each keystroke returns, OK and Enter accept nothing
// meanwhile, and once the lookup answers, OK follows the newest text. Texts typed meanwhile are never looked up (one
// lookup at a time, of the newest), and an answer for an older text, here one that names a folder, never enables OK.
TEST_F(ConfigDialogs, FolderTypedWhileItsLookupHangsKeepsTheDialogAnsweringAndOKFollowsTheNewestText) {
    librarytest::TraceRecorder::instance().clear();
    support::TempFolder base("lookup");
    const std::string shown = base.path() + "abcdefghij"; // no such folder
    const std::string folder = base.path() + "abcde";     // typed on the way
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    HeldLookup held;
    const settings::AppContext app;
    SettingsRecord record;
    record.PicturePath = shown;
    ConfigDialog dialog(nullptr, app, record);
    std::vector<std::string> failures;
    auto check = [&](bool condition, const char* what) {
        if (!condition)
            failures.push_back(what);
    };
    INT_PTR result = runWithDriver(dialog, [&](DWORD uiThread) {
        HWND main = held.waitUntilEntered(10000) ? waitForShownDialog(uiThread) : nullptr;
        if (!main) {
            failures.push_back("the dialog did not show while the lookup of its folder hung");
            releaseAndCancel(held, uiThread);
            return;
        }
        HWND ok = GetDlgItem(main, IDOK);
        HWND edit = GetDlgItem(main, IDC_FOLDER);
        EnableRecorder enables(ok);
        // Five backspaces and five letters, the caret at the end: by way of the folder back to the text shown.
        (void)SendMessageA(edit, EM_SETSEL, shown.size(), shown.size());
        for (char key : std::string("\b\b\b\b\bfghij")) {
            DWORD_PTR answer = 0;
            if (!SendMessageTimeoutA(edit, WM_CHAR, static_cast<WPARAM>(key), 1, SMTO_NORMAL, 2000, &answer)) {
                failures.push_back("a keystroke did not return while the lookup hung");
                releaseAndCancel(held, uiThread);
                return;
            }
        }
        check(!IsWindowEnabled(ok), "OK enabled while the lookup hung");
        // OK's command and Enter, then a selection as a marker: the posts are handled in order.
        PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 1);
        PostMessageA(edit, WM_KEYUP, VK_RETURN, 0xC0000001);
        PostMessageA(edit, EM_SETSEL, 0, 1);
        DWORD from = 0, to = 0;
        check(support::waitUntil(
                  [&] {
                      SendMessageA(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
                      return from == 0 && to == 1;
                  },
                  5000),
              "OK or Enter closed the dialog while the lookup hung");
        check(held.inside() == 1, "the lookup did not hang while typing");
        held.release();
        check(waitForTrace("Folder check: not found " + shown), "no answer for the text shown");
        check(!IsWindowEnabled(ok), "OK enabled for a missing folder");

        // The folder's lookup hangs, and a missing one is set meanwhile: the folder's answer comes too late.
        held.hold();
        setText(main, IDC_FOLDER, folder.c_str());
        check(held.waitUntilEntered(10000), "no lookup of the folder");
        setText(main, IDC_FOLDER, (folder + "z").c_str());
        held.release();
        check(waitForTrace("Folder check: not found " + folder + "z"), "no answer for the missing folder");
        check(EnableRecorder::changes().empty(), "an older text's answer enabled OK");

        setText(main, IDC_FOLDER, folder.c_str());
        check(waitForTrace("Folder check: found " + folder), "no answer for the folder");
        check(IsWindowEnabled(ok) != FALSE, "OK disabled for a folder");
        check(EnableRecorder::changes() == std::vector<bool>{true}, "OK changed other than once, to enabled");
        PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(failures, std::vector<std::string>{});
    // The text at opening (held) and after the typing; the folder (held) and the missing one; the folder again.
    EXPECT_EQ(held.calls(), 5);
    EXPECT_EQ(held.mostAtOnce(), 1);
    // The older texts' answers were dropped unseen.
    EXPECT_EQ(librarytest::TraceRecorder::instance().text(), "Folder check: not found " + shown +
                                                                 "\r\nFolder check: not found " + folder +
                                                                 "z\r\nFolder check: found " + folder + "\r\n");
}

// Closing the dialog while the lookup of its folder hangs: it closes at once; the lookup ends later on its own.
TEST_F(ConfigDialogs, DialogClosesAtOnceWhileTheFolderLookupHangs) {
    HeldLookup held;
    support::TempFolder pictures("pictures");
    const settings::AppContext app;
    SettingsRecord record;
    record.PicturePath = pictures.path();
    int insideWhenClosed = -1;
    {
        ConfigDialog dialog(nullptr, app, record);
        INT_PTR result = runWithDriver(dialog, [&](DWORD uiThread) {
            HWND main = held.waitUntilEntered(10000) ? waitForShownDialog(uiThread) : nullptr;
            if (!main) {
                releaseAndCancel(held, uiThread);
                return;
            }
            PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            // Bounded: a dialog that waited for the lookup would never close otherwise.
            if (!support::waitUntil([&] { return !IsWindow(main); }, 5000)) {
                held.release();
                PostMessageA(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            }
        });
        insideWhenClosed = held.inside();
        EXPECT_EQ(result, IDCANCEL);
    }
    EXPECT_EQ(insideWhenClosed, 1);
    held.release();
    EXPECT_TRUE(support::waitUntil([&] { return held.inside() == 0; }, 10000));
}

} // namespace
