// The build dialog under Wine, driven by messages from another thread the way a user clicks it:
// status lines, abort, OK and Cancel, the refusals while the worker runs and the bounded wait.
#include "library/BuildDialog.h"
#include "resources/resource.h"
#include "tests/win/LibraryTestSupport.h"

#include <gtest/gtest.h>

#include <commctrl.h>

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
        if (!build)
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
        if (!build)
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

} // namespace
