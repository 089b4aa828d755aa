// The build dialog under Wine, driven by messages from another thread the way a user clicks it:
// status lines, abort, OK and Cancel, the refusals while the worker runs and the bounded wait.
#include "library/BuildDialog.h"
#include "library/CacheFolder.h"
#include "resources/resource.h"
#include "tests/support/ExifWriter.h"
#include "tests/support/HungRead.h"
#include "tests/win/LibraryTestSupport.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <map>
#include <memory>
#include <set>

using namespace librarytest;

namespace {

constexpr char kBuildTitle[] = "Building Image Folder";
constexpr char kAppTitle[] = "Prismata Screen Saver";

class BuildDialogRun : public ::testing::Test {
protected:
    void SetUp() override {
        TraceRecorder::instance().clear();
        CreateDirectoryA(m_cache.c_str(), nullptr);
    }
    // count small JPEG files named pic0.jpg, pic1.jpg, ...
    void addPictures(int count) {
        for (int i = 0; i < count; ++i)
            writeJpeg(m_pictures.path() + "pic" + std::to_string(i) + ".jpg", 40, 30, [](int, int) {
                return Rgb{90, 120, 200};
            });
    }
    std::vector<std::string> results(const library::BuildDialog& dialog) {
        std::vector<std::string> list;
        for (int i = 0; i < dialog.resultCount(); ++i)
            list.push_back(dialog.resultAt(i));
        return list;
    }
    static std::string status(HWND dialog) {
        char text[512] = "";
        GetDlgItemTextA(dialog, IDC_BUILD_STATUS, text, sizeof text);
        return text;
    }
    static bool enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

    // What one run leaves: the list, every file of the cache folder with its bytes, the trace lines.
    struct Outcome {
        std::vector<std::string> list;
        std::map<std::string, std::vector<unsigned char>> files;
        std::string traces;
    };
    // Runs a build with the given number of threads decoding ahead of the worker, from an empty cache.
    // driver: what the user does meanwhile, if anything.
    Outcome build(int aheadThreads, const std::function<void()>& driver = nullptr) {
        for (const std::string& name : filesIn(m_cache))
            DeleteFileA((m_cache + name).c_str());
        TraceRecorder::instance().clear();
        library::BuildDialog dialog(nullptr, m_cache, kAppTitle);
        dialog.scanFolder(m_pictures.path());
        dialog.setDecodeAheadThreads(aheadThreads);
        {
            Driver user(driver ? driver : [] {});
            EXPECT_EQ(dialog.DoModal(), IDOK);
        }
        Outcome outcome{results(dialog), {}, TraceRecorder::instance().text()};
        for (const std::string& name : filesIn(m_cache))
            outcome.files[name] = readBytes(m_cache + name);
        return outcome;
    }
    static Rgb gradient(int x, int y) { return Rgb{(x * 7) % 256, (y * 5) % 256, (x + 3 * y) % 256}; }

    TempFolder m_install{"install"};
    TempFolder m_pictures{"pictures"};
    std::string m_cache = m_install.path() + "ImageCache\\";
};

TEST_F(BuildDialogRun, ConversionOffListsSourcesAfterShowingEachName) {
    addPictures(3);
    library::BuildDialog dialog(nullptr, m_cache, kAppTitle);
    dialog.scanFolder(m_pictures.path());
    dialog.setConvert(false);
    std::set<std::string> shown;
    Driver driver([&] {
        HWND build = waitForOwnWindow(kBuildTitle);
        while (build && IsWindow(build)) {
            shown.insert(status(build));
            Sleep(20);
        }
    });
    DWORD start = GetTickCount();
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_GE(GetTickCount() - start, 3 * library::BuildDialog::kIndexingPause - 20);
    std::vector<std::string> list = results(dialog);
    ASSERT_EQ(list.size(), 3u);
    for (const std::string& entry : list)
        EXPECT_EQ(entry.rfind(m_pictures.path() + "pic", 0), 0u) << entry;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(shown.count("Indexing pic" + std::to_string(i) + ".jpg"), 1u) << i;
    EXPECT_TRUE(filesIn(m_cache).empty());
}

TEST_F(BuildDialogRun, AbortDuringTheFirstOfTenThenOkKeepsOneEntry) {
    addPictures(10);
    library::BuildDialog dialog(nullptr, m_cache, kAppTitle);
    dialog.scanFolder(m_pictures.path());
    dialog.setConvert(false);
    std::string aborting, aborted;
    bool abortDisabled = false;
    Driver driver([&] {
        HWND build = waitForOwnWindow(kBuildTitle);
        // During the first picture, not before the worker has begun it.
        if (!build || !waitUntil([&] { return status(build).rfind("Indexing ", 0) == 0; }, 5000))
            return;
        clickButton(build, 3);
        waitUntil([&] { return !enabled(build, 3); }, 2000);
        abortDisabled = !enabled(build, 3);
        aborting = status(build);
        waitUntil([&] { return enabled(build, IDOK) && enabled(build, IDCANCEL); }, 5000);
        aborted = status(build);
        Sleep(100); // an aborted run does not close itself
        clickButton(build, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(abortDisabled);
    EXPECT_TRUE(aborting == "Aborting build of image folder" || aborting.rfind("Indexing ", 0) == 0) << aborting;
    EXPECT_EQ(aborted, "Aborted at User Request");
    EXPECT_EQ(dialog.resultCount(), 1);
    EXPECT_EQ(dialog.pendingCount(), 9);
}

TEST_F(BuildDialogRun, AbortDuringTheLastPictureCompletesButWaitsForOk) {
    addPictures(1);
    library::BuildDialog dialog(nullptr, m_cache, kAppTitle);
    dialog.scanFolder(m_pictures.path());
    dialog.setConvert(false);
    std::string finalStatus;
    bool stillOpen = false;
    Driver driver([&] {
        HWND build = waitForOwnWindow(kBuildTitle);
        // During the picture, not before the worker has begun it.
        if (!build || !waitUntil([&] { return status(build).rfind("Indexing ", 0) == 0; }, 5000))
            return;
        clickButton(build, 3);
        waitUntil([&] { return enabled(build, IDOK); }, 5000);
        Sleep(200);
        stillOpen = IsWindow(build) != FALSE;
        finalStatus = status(build);
        clickButton(build, IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(finalStatus, "Aborting build of image folder");
    ASSERT_EQ(dialog.resultCount(), 1);
    EXPECT_EQ(dialog.resultAt(0), m_pictures.path() + "pic0.jpg");
}

TEST_F(BuildDialogRun, EscAndCloseBoxAreRefusedWhileTheWorkerRuns) {
    addPictures(3);
    library::BuildDialog dialog(nullptr, m_cache, kAppTitle);
    dialog.scanFolder(m_pictures.path());
    dialog.setConvert(false);
    bool openAfterRefusals = false;
    bool buttonsStartDisabled = false;
    Driver driver([&] {
        HWND build = waitForOwnWindow(kBuildTitle);
        if (!build)
            return;
        buttonsStartDisabled = !enabled(build, IDOK) && !enabled(build, IDCANCEL) && enabled(build, 3);
        PostMessageA(build, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageA(build, WM_SYSCOMMAND, SC_CLOSE, 0);
        PostMessageA(build, WM_CLOSE, 0, 0);
        PostMessageA(build, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        Sleep(100);
        openAfterRefusals = IsWindow(build) != FALSE;
    });
    // The run goes on to its end and closes itself.
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(buttonsStartDisabled);
    EXPECT_TRUE(openAfterRefusals);
    EXPECT_EQ(dialog.resultCount(), 3);
}

TEST_F(BuildDialogRun, EnterEscCloseAndOkWhileTheWorkerRunsChangeNothing) {
    // Had any of them been taken, OK's short wait would cut the busy worker off with the error box.
    addPictures(10);
    library::BuildDialog dialog(nullptr, m_cache, kAppTitle);
    dialog.scanFolder(m_pictures.path());
    dialog.setConvert(false);
    dialog.setStopWaitLimit(100);
    bool tried = false, boxShown = false;
    std::string statusAfter;
    INT_PTR result = 0;
    {
        Driver driver([&] {
            HWND build = waitForOwnWindow(kBuildTitle);
            if (!build || !waitUntil([&] { return status(build).find("pic") != std::string::npos; }, 5000))
                return;
            PostMessageA(build, WM_KEYDOWN, VK_RETURN, 0);
            PostMessageA(build, WM_KEYDOWN, VK_ESCAPE, 0);
            PostMessageA(build, WM_SYSCOMMAND, SC_CLOSE, 0);
            PostMessageA(build, WM_CLOSE, 0, 0);
            PostMessageA(build, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            PostMessageA(build, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            // Posted messages of one thread are handled in order: a harmless one posted last, once seen,
            // says all the others have been handled.
            HWND progress = GetDlgItem(build, IDC_BUILD_PROGRESS);
            PostMessageA(progress, PBM_SETSTEP, 7, 0);
            tried = waitUntil([&] { return SendMessageA(progress, PBM_GETSTEP, 0, 0) == 7; }, 5000);
            statusAfter = status(build);
            HWND box = nullptr;
            waitUntil([&] { return !IsWindow(build) || (box = findOwnWindow("Prismata Screen Saver")) != nullptr; },
                      15000);
            boxShown = box != nullptr;
            if (box)
                PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        result = dialog.DoModal();
    }
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(tried);
    EXPECT_FALSE(boxShown);
    EXPECT_NE(statusAfter.find("pic"), std::string::npos) << statusAfter;
    EXPECT_EQ(dialog.resultCount(), 10);
}

// Abort while a picture's read hangs (a share that stopped answering): the read is cancelled, the worker and
// its helpers end by themselves, and what the run leaves is consistent: every cache file complete and listed.
TEST_F(BuildDialogRun, AbortEndsAReadThatHangsAndTheRunEndsByItself) {
    for (const int helpers : {0, 2}) {
        addPictures(4);
        for (const std::string& name : filesIn(m_cache))
            DeleteFileA((m_cache + name).c_str());
        library::BuildDialog dialog(nullptr, m_cache, kAppTitle);
        dialog.scanFolder(m_pictures.path());
        dialog.setDecodeAheadThreads(helpers);
        support::HungRead hung;
        bool endedByItself = false, boxShown = false;
        DWORD took = 0;
        {
            Driver driver([&] {
                HWND build = waitForOwnWindow(kBuildTitle);
                if (!build || !support::HungRead::waitUntilBlocked(10000))
                    return;
                const DWORD abort = GetTickCount();
                clickButton(build, 3);
                endedByItself = waitUntil([&] { return enabled(build, IDOK); }, 5000);
                took = GetTickCount() - abort;
                if (!endedByItself) {
                    support::HungRead::release();
                    waitUntil([&] { return enabled(build, IDOK); }, 15000);
                }
                clickButton(build, IDOK);
                HWND box = nullptr;
                waitUntil([&] { return !IsWindow(build) || (box = findOwnWindow(kAppTitle)) != nullptr; }, 15000);
                boxShown = box != nullptr;
                if (box)
                    PostMessageA(box, WM_COMMAND, IDOK, 0);
            });
            EXPECT_EQ(dialog.DoModal(), IDOK) << helpers;
        }
        EXPECT_TRUE(endedByItself) << helpers << " helpers: the read held the run";
        EXPECT_LT(took, 1000u) << helpers;
        EXPECT_TRUE(support::HungRead::cancelled()) << helpers;
        EXPECT_FALSE(boxShown) << helpers;
        // Each entry is its source or a complete cache file; each cache file is listed.
        const std::vector<std::string> list = results(dialog);
        EXPECT_GE(list.size(), 1u) << helpers;
        EXPECT_LT(list.size(), 4u) << helpers;
        for (const std::string& entry : list) {
            if (entry.rfind(m_cache, 0) == 0) {
                const auto bytes = readBytes(entry);
                ASSERT_GE(bytes.size(), 54u) << entry;
                const std::size_t declared = bytes[2] | bytes[3] << 8 | bytes[4] << 16 | std::size_t(bytes[5]) << 24;
                EXPECT_EQ(declared, bytes.size()) << entry << " is not whole";
            } else
                EXPECT_EQ(entry.rfind(m_pictures.path() + "pic", 0), 0u) << entry;
        }
        for (const std::string& name : filesIn(m_cache))
            EXPECT_NE(std::find(list.begin(), list.end(), m_cache + name), list.end()) << name << " is not listed";
    }
}

// The dialog manager asks for the default button from the dialog's own thread, with the number the
// worker's last call uses; a thread timer lets the test ask the same way during the run.
LRESULT g_defaultIdAnswer = -1;

void CALLBACK askForTheDefaultButton(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND build = findOwnWindow(kBuildTitle);
    if (!build)
        return;
    KillTimer(nullptr, timer);
    g_defaultIdAnswer = SendMessageA(build, DM_GETDEFID, 0, 0);
}

TEST_F(BuildDialogRun, DefaultButtonQueryIsAnsweredAsADialogDoesDuringTheRun) {
    addPictures(3);
    library::BuildDialog dialog(nullptr, m_cache, kAppTitle);
    dialog.scanFolder(m_pictures.path());
    dialog.setConvert(false);
    g_defaultIdAnswer = -1;
    SetTimer(nullptr, 0, 10, askForTheDefaultButton);
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(HIWORD(g_defaultIdAnswer), DC_HASDEFID);
    EXPECT_EQ(LOWORD(g_defaultIdAnswer), IDOK);
    EXPECT_EQ(dialog.resultCount(), 3);
}

TEST_F(BuildDialogRun, DecodeAheadWritesTheSameFilesListAndTracesAsTheWorkerAlone) {
    // Every kind of picture a build meets, large enough that several are decoded at once.
    const std::string folder = m_pictures.path();
    writeJpeg(folder + "wide.jpg", 1600, 900, gradient);
    writeJpeg(folder + "tall.jpg", 500, 1200, gradient);
    writeJpeg(folder + "photo.jpg", 1200, 900, gradient);
    writeBmp(folder + "photo.bmp", 300, 220, gradient);
    for (int i = 0; i < 4; ++i)
        writeJpeg(folder + "shot" + std::to_string(i) + ".jpg", 2000, 1500,
                  [i](int x, int y) { return gradient(x + 50 * i, y); });
    const support::Bytes turned = support::withSegment(
        support::encodeImage(support::storedFor(support::blockPicture(16, 4), 6)), support::exifSegment({false, 6}));
    writeBytes(folder + "turned.jpg", std::vector<unsigned char>(turned.begin(), turned.end()));
    writePlaceableWmf(folder + "clip.wmf", 1000, 500, 1000, 2, 1, {Rgb{0, 255, 0}, Rgb{0, 0, 255}});
    writeBytes(folder + "broken.jpg", std::vector<unsigned char>(3000, 0x33));

    const Outcome alone = build(0);
    ASSERT_EQ(alone.list.size(), 11u);
    ASSERT_EQ(alone.files.size(), 10u);
    for (int threads : {1, 2}) {
        SCOPED_TRACE(std::to_string(threads) + " threads ahead");
        const Outcome ahead = build(threads);
        EXPECT_EQ(ahead.list, alone.list);
        EXPECT_EQ(ahead.traces, alone.traces);
        ASSERT_EQ(ahead.files.size(), alone.files.size());
        for (const auto& [name, bytes] : alone.files) {
            auto file = ahead.files.find(name);
            ASSERT_NE(file, ahead.files.end()) << name;
            EXPECT_TRUE(file->second == bytes) << name;
        }
    }
}

TEST_F(BuildDialogRun, AbortWithDecodeAheadListsAndWritesWhatTheWorkerAloneDoes) {
    // Six letter-boxed photos: Abort is clicked while the third one's trace line is being handled, after it
    // has been decoded and before its file is written, with the later ones possibly decoded ahead.
    for (int i = 0; i < 6; ++i)
        writeJpeg(m_pictures.path() + "wide" + std::to_string(i) + ".jpg", 1920, 1080, gradient);
    auto abortAtTheThirdPicture = [] {
        auto lines = std::make_shared<int>(0);
        TraceRecorder::instance().setLineHook([lines](const std::string& line) {
            if (line.rfind("Preserving aspect ratio", 0) != 0 || ++*lines != 3)
                return;
            HWND build = findOwnWindow(kBuildTitle);
            SendMessageA(build, WM_COMMAND, MAKEWPARAM(3, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(build, 3)));
        });
        HWND build = waitForOwnWindow(kBuildTitle);
        if (build && waitUntil([&] { return enabled(build, IDOK); }, 20000))
            clickButton(build, IDOK);
    };
    const Outcome alone = build(0, abortAtTheThirdPicture);
    ASSERT_EQ(alone.list.size(), 3u);
    EXPECT_EQ(alone.list[2].rfind(m_pictures.path() + "wide", 0), 0u) << alone.list[2];
    EXPECT_EQ(alone.files.size(), 2u);

    const Outcome ahead = build(1, abortAtTheThirdPicture);
    EXPECT_EQ(ahead.list, alone.list);
    ASSERT_EQ(ahead.files.size(), alone.files.size());
    for (const auto& [name, bytes] : alone.files) {
        auto file = ahead.files.find(name);
        ASSERT_NE(file, ahead.files.end()) << name;
        EXPECT_TRUE(file->second == bytes) << name;
    }
}

// Activations of the build dialog once the user has moved to another window, seen on the dialog's thread.
std::atomic<bool> g_otherWindowActive{false};
std::atomic<int> g_buildActivations{0};

LRESULT CALLBACK recordBuildActivations(int code, WPARAM wParam, LPARAM lParam) {
    const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && sent->message == WM_ACTIVATE && LOWORD(sent->wParam) != WA_INACTIVE &&
        g_otherWindowActive && windowText(sent->hwnd) == kBuildTitle)
        ++g_buildActivations;
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(BuildDialogRun, AFinishedRunEndsWithOkWithoutActivatingTheDialog) {
    // The user moved to another window during the build: the run still ends the dialog with OK by itself,
    // neither needing nor taking the activation, and that window stays active.
    addPictures(3);
    library::BuildDialog dialog(nullptr, m_cache, kAppTitle);
    dialog.scanFolder(m_pictures.path());
    dialog.setConvert(false);
    g_otherWindowActive = false;
    g_buildActivations = 0;
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, recordBuildActivations, nullptr, GetCurrentThreadId());
    ASSERT_TRUE(hook);
    bool otherStillActive = false, dialogGone = false;
    INT_PTR result = 0;
    {
        Driver driver([&] {
            HWND build = waitForOwnWindow(kBuildTitle);
            if (!build)
                return;
            HWND other = CreateWindowA("STATIC", "Other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 0, 200, 100, nullptr,
                                       nullptr, nullptr, nullptr);
            SetForegroundWindow(other);
            SetActiveWindow(other);
            g_otherWindowActive = GetForegroundWindow() == other && GetActiveWindow() == other;
            dialogGone = support::pumpUntil([&] { return !IsWindow(build); }, 10000);
            otherStillActive = GetForegroundWindow() == other && GetActiveWindow() == other;
            if (!dialogGone)
                PostMessageA(build, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            DestroyWindow(other);
        });
        result = dialog.DoModal();
    }
    UnhookWindowsHookEx(hook);
    EXPECT_EQ(result, IDOK);
    EXPECT_TRUE(g_otherWindowActive);
    EXPECT_TRUE(dialogGone);
    EXPECT_EQ(g_buildActivations, 0);
    EXPECT_TRUE(otherStillActive);
    EXPECT_EQ(dialog.resultCount(), 3);
}

TEST_F(BuildDialogRun, SameStemGetsTheNumberedName) {
    writeJpeg(m_pictures.path() + "photo.jpg", 40, 30, [](int, int) { return Rgb{200, 10, 10}; });
    writeBmp(m_pictures.path() + "photo.bmp", 40, 30, [](int, int) { return Rgb{10, 10, 200}; });
    library::BuildDialog dialog(nullptr, m_cache, kAppTitle);
    dialog.scanFolder(m_pictures.path());
    EXPECT_EQ(dialog.DoModal(), IDOK);
    ASSERT_EQ(dialog.resultCount(), 2);
    // The first processed source gets the plain name, whichever the search returned first.
    EXPECT_EQ(dialog.resultAt(0), m_cache + "photo.bmp");
    EXPECT_EQ(dialog.resultAt(1), m_cache + "photo-0.bmp");
    EXPECT_TRUE(readBmpFile(m_cache + "photo-0.bmp").ok);
}

TEST_F(BuildDialogRun, ScanListsOnlyPicturesDirectlyInTheFolder) {
    for (const char* name :
         {"Beach.Jpeg", "a.b.JPG", "scan.dib", "clip.wmf", "photo.png", "photo.gif", "photo.jpe", "notes.txt"})
        writeBytes(m_pictures.path() + name, {1});
    CreateDirectoryA((m_pictures.path() + "inner").c_str(), nullptr);
    writeBytes(m_pictures.path() + "inner\\deep.jpg", {1});
    CreateDirectoryA((m_pictures.path() + "folder.bmp").c_str(), nullptr);

    std::string withoutSlash = m_pictures.path().substr(0, m_pictures.path().size() - 1);
    for (const std::string& folder : {m_pictures.path(), withoutSlash, withoutSlash + "/"}) {
        library::BuildDialog dialog(nullptr, m_cache, kAppTitle);
        dialog.scanFolder(folder);
        EXPECT_EQ(dialog.pendingCount(), 5) << folder;
    }
    library::BuildDialog missing(nullptr, m_cache, kAppTitle);
    missing.scanFolder(m_pictures.path() + "no-such-folder");
    missing.scanFolder("");
    EXPECT_EQ(missing.pendingCount(), 0);
}

TEST_F(BuildDialogRun, ALargeLibraryFillsNumberedCacheFoldersAndTheCleanUpTakesThemAway) {
    addPictures(5);
    library::BuildDialog dialog(nullptr, m_cache, kAppTitle);
    dialog.scanFolder(m_pictures.path());
    dialog.setPicturesPerCacheFolder(2);
    ASSERT_EQ(dialog.DoModal(), IDOK);
    ASSERT_EQ(dialog.resultCount(), 5);
    const std::string folders[] = {m_cache, m_cache, m_cache + "1\\", m_cache + "1\\", m_cache + "2\\"};
    for (int i = 0; i < 5; ++i) {
        const std::string entry = dialog.resultAt(i);
        EXPECT_EQ(entry.substr(0, entry.rfind('\\') + 1), folders[i]) << entry;
        EXPECT_TRUE(readBmpFile(entry).ok) << entry;
    }
    EXPECT_EQ(filesIn(m_cache).size(), 2u);

    // Only our numbered folders are emptied, and only the empty ones go.
    writeBytes(m_cache + "1\\notes.txt", {1});
    for (const char* folder : {"01", "keep"}) {
        CreateDirectoryA((m_cache + folder).c_str(), nullptr);
        writeBytes(m_cache + folder + "\\x.bmp", {1});
    }
    library::clearImageCache(m_cache);
    EXPECT_TRUE(filesIn(m_cache).empty());
    EXPECT_EQ(filesIn(m_cache + "1\\"), std::vector<std::string>{"notes.txt"});
    EXPECT_FALSE(fileExists(m_cache + "2"));
    EXPECT_TRUE(fileExists(m_cache + "01\\x.bmp"));
    EXPECT_TRUE(fileExists(m_cache + "keep\\x.bmp"));
}

} // namespace
