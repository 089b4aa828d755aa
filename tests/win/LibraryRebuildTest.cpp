// The rebuild that runs when the settings dialog is accepted, on a temporary install folder: scan,
// cache clean-up, the picture list in the profile, the message boxes and the trace lines.
#include "framework/Handles.h"
#include "framework/Profile.h"
#include "library/CacheFolder.h"
#include "library/FileSearch.h"
#include "library/PictureLibrary.h"
#include "resources/resource.h"
#include "settings/AppContext.h"
#include "tests/win/LibraryTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <thread>

using namespace librarytest;

namespace {

constexpr char kBuildTitle[] = "Building Image Folder";
constexpr char kProcessedCaption[] = "Prismata";
constexpr char kAppTitle[] = "Prismata Screen Saver";
const Rgb kOrange{240, 140, 20};

class LibraryRebuild : public ::testing::Test {
protected:
    void SetUp() override {
        TraceRecorder::instance().clear();
        m_app.setProfileFile(profilePath());
        CreateDirectoryA(m_cache.c_str(), nullptr);
    }

    bool rebuild(const std::string& folderText, const std::string& openingFolder = "", bool force = false,
                 bool subfolders = false) {
        settings::AppContext app;
        app.installFolder = m_install.path();
        app.profilePath = profilePath();
        app.cacheFolder = library::cacheFolderOf(m_install.path());
        app.title = kAppTitle;
        return library::rebuildPictureLibrary(m_owner, app, folderText, openingFolder, force, subfolders);
    }
    std::string folder() const { return m_pictures.path(); }
    std::string profilePath() const { return m_install.path() + "Prismata.ini"; }
    void addJpegs(int count) {
        for (int i = 0; i < count; ++i)
            writeJpeg(folder() + "p" + std::to_string(i) + ".jpg", 40, 30, [](int, int) { return kOrange; });
    }
    std::string entry(int i) { return fw::GetProfileString("Photos", ("Entry" + std::to_string(i)).c_str(), "<none>"); }
    int count() { return fw::GetProfileInt("Photos", "Count", -1); }
    std::string traces() { return TraceRecorder::instance().text(); }
    bool traced(const std::string& line) { return traces().find(line) != std::string::npos; }

    // Waits for the closing message box, keeps its text and dismisses it.
    std::function<void()> acceptProcessedBox(std::string& text) {
        return [&text] {
            HWND box = waitForOwnWindow(kProcessedCaption, 20000);
            if (!box)
                return;
            text = messageBoxText(box);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        };
    }

    support::BareApp m_app;
    HWND m_owner = nullptr;
    TempFolder m_install{"install"};
    TempFolder m_pictures{"pictures"};
    std::string m_cache = m_install.path() + "ImageCache\\";
};

TEST_F(LibraryRebuild, RealPicturesBecomeTheNewListAndStaleKeysGo) {
    writeJpeg(folder() + "wide.jpg", 384, 216, [](int, int) { return kOrange; });
    writeBmp(folder() + "scan.bmp", 60, 50, [](int, int) { return Rgb{0, 0, 255}; });
    writePlaceableWmf(folder() + "clip.wmf", 1000, 1000, 1000, 1, 1, {Rgb{0, 255, 0}});
    writeBytes(folder() + "broken.jpg", std::vector<unsigned char>(3000, 0x33));
    writeBytes(folder() + "notes.txt", {1, 2, 3});
    writeBytes(m_cache + "old.bmp", {1});
    writeBytes(m_cache + "keep.txt", {1});
    fw::WriteProfileInt("Photos", "Count", 5);
    for (int i = 0; i < 5; ++i)
        fw::WriteProfileString("Photos", ("Entry" + std::to_string(i)).c_str(), "old");
    fw::WriteProfileString("Photos", "Entry7", "by hand");

    std::string processed;
    {
        Driver driver(acceptProcessedBox(processed));
        EXPECT_TRUE(rebuild(folder()));
    }
    EXPECT_EQ(processed, "Processed 4 image files");
    ASSERT_EQ(count(), 4);
    int cached = 0;
    for (int i = 0; i < 4; ++i) {
        std::string path = entry(i);
        if (path == folder() + "broken.jpg")
            continue;
        ASSERT_EQ(path.rfind(m_cache, 0), 0u) << path;
        EXPECT_TRUE(readBmpFile(path).ok) << path;
        ++cached;
    }
    EXPECT_EQ(cached, 3);
    EXPECT_EQ(entry(4), "<none>");
    EXPECT_EQ(entry(7), "by hand");
    EXPECT_FALSE(fileExists(m_cache + "old.bmp"));
    EXPECT_TRUE(fileExists(m_cache + "keep.txt"));
    EXPECT_EQ(fw::GetProfileString("Settings", "PicturePath", "<none>"), "<none>");

    const std::string log = traces();
    size_t deleting = log.find("Deleting file " + m_cache + "old.bmp\r\n");
    size_t preserving = log.find("Preserving aspect ratio for image " + folder() + "wide.jpg\r\n");
    size_t counts = log.find("Old count = 5, new count = 4\r\nProcessed 4 image files\r\n");
    EXPECT_NE(deleting, std::string::npos) << log;
    EXPECT_NE(preserving, std::string::npos) << log;
    EXPECT_NE(counts, std::string::npos) << log;
    EXPECT_LT(deleting, preserving);
    EXPECT_LT(preserving, counts);
}

TEST_F(LibraryRebuild, UnchangedFolderClosesWithoutABuildUnlessForced) {
    addJpegs(2);
    writeBytes(m_cache + "p0.bmp", {1});
    fw::WriteProfileInt("Photos", "Count", 2);
    fw::WriteProfileString("Photos", "Entry0", "x");
    fw::WriteProfileString("Photos", "Entry1", "y");

    EXPECT_TRUE(rebuild(folder(), folder()));
    EXPECT_EQ(count(), 2);
    EXPECT_EQ(entry(0), "x");
    EXPECT_TRUE(fileExists(m_cache + "p0.bmp"));
    EXPECT_EQ(traces(), "");

    std::string processed;
    {
        Driver driver(acceptProcessedBox(processed));
        EXPECT_TRUE(rebuild(folder(), folder(), true));
    }
    EXPECT_EQ(processed, "Processed 2 image files");
    EXPECT_EQ(count(), 2);
    EXPECT_EQ(entry(0).rfind(m_cache, 0), 0u);
}

TEST_F(LibraryRebuild, CacheFolderIsRefusedInAnySpelling) {
    writeBytes(m_cache + "kept.bmp", {1});
    fw::WriteProfileInt("Photos", "Count", 1);
    fw::WriteProfileString("Photos", "Entry0", "x");
    std::string lower = m_cache;
    for (char& c : lower)
        c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    std::string upper = m_cache;
    for (char& c : upper)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    const std::vector<std::string> spellings = {m_cache, m_cache.substr(0, m_cache.size() - 1), lower,
                                                upper.substr(0, upper.size() - 1)};

    std::vector<std::string> messages;
    Driver driver([&] {
        for (size_t i = 0; i < spellings.size(); ++i) {
            HWND box = waitForOwnWindow(kAppTitle, 10000);
            if (!box)
                return;
            messages.push_back(messageBoxText(box));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            waitUntil([&] { return !IsWindow(box); }, 5000);
        }
    });
    for (const std::string& spelling : spellings)
        EXPECT_FALSE(rebuild(spelling)) << spelling;
    ASSERT_EQ(messages.size(), spellings.size());
    for (const std::string& message : messages)
        EXPECT_EQ(message, "It appears that you have selected your Prismata's Image Cache folder as the source of "
                           "your image files. Prismata is unable to operate in this configuration. Please select "
                           "a different folder.");
    EXPECT_TRUE(fileExists(m_cache + "kept.bmp"));
    EXPECT_EQ(count(), 1);
    EXPECT_EQ(entry(0), "x");
    EXPECT_EQ(traces(), "");
}

TEST_F(LibraryRebuild, AbortDuringTheFirstOfTenThenOkListsOnePicture) {
    addJpegs(10);
    fw::WriteProfileInt("Settings", "Convert", 0);
    std::string processed;
    Driver driver([&] {
        HWND build = waitForOwnWindow(kBuildTitle);
        if (!build)
            return;
        // Abort once the first picture is under way: before that, the worker would take none.
        waitUntil([&] { return windowText(GetDlgItem(build, IDC_BUILD_STATUS)).rfind("Indexing ", 0) == 0; }, 5000);
        clickButton(build, 3);
        waitUntil([&] { return IsWindowEnabled(GetDlgItem(build, IDOK)) != FALSE; }, 5000);
        clickButton(build, IDOK);
        acceptProcessedBox(processed)();
    });
    EXPECT_TRUE(rebuild(folder()));
    EXPECT_EQ(processed, "Processed 1 image files");
    EXPECT_EQ(count(), 1);
    EXPECT_EQ(entry(0).rfind(folder() + "p", 0), 0u);
    EXPECT_EQ(entry(1), "<none>");
    EXPECT_TRUE(traced("Old count = 0, new count = 1\r\nProcessed 1 image files\r\n")) << traces();
}

TEST_F(LibraryRebuild, AbortThenCancelLeavesAnEmptyList) {
    addJpegs(10);
    fw::WriteProfileInt("Settings", "Convert", 0);
    fw::WriteProfileInt("Photos", "Count", 3);
    for (int i = 0; i < 3; ++i)
        fw::WriteProfileString("Photos", ("Entry" + std::to_string(i)).c_str(), "old");
    bool processedBox = false;
    Driver driver([&] {
        HWND build = waitForOwnWindow(kBuildTitle);
        if (!build)
            return;
        clickButton(build, 3);
        waitUntil([&] { return IsWindowEnabled(GetDlgItem(build, IDCANCEL)) != FALSE; }, 5000);
        clickButton(build, IDCANCEL);
        processedBox = waitForOwnWindow(kProcessedCaption, 300) != nullptr;
    });
    EXPECT_FALSE(rebuild(folder()));
    EXPECT_EQ(count(), 0);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(entry(i), "<none>");
    EXPECT_FALSE(traced("Old count"));
    EXPECT_FALSE(processedBox);
}

TEST_F(LibraryRebuild, TheGivenOwnerOwnsTheBuildAndItsBoxEvenWhenAnotherWindowIsActive) {
    // The settings dialog need not be the active window when its OK runs the build.
    HWND settings = CreateWindowA("STATIC", "Settings", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                                  nullptr, nullptr, nullptr);
    HWND other = CreateWindowA("STATIC", "Other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 0, 200, 100, nullptr, nullptr,
                               nullptr, nullptr);
    ASSERT_TRUE(settings && other);
    SetActiveWindow(other);
    ASSERT_EQ(GetActiveWindow(), other);
    m_owner = settings;
    addJpegs(2);
    HWND buildOwner = nullptr, boxOwner = nullptr;
    bool settingsDisabled = false;
    Driver driver([&] {
        HWND build = waitForOwnWindow(kBuildTitle);
        if (!build)
            return;
        buildOwner = GetWindow(build, GW_OWNER);
        settingsDisabled = !IsWindowEnabled(settings);
        HWND box = waitForOwnWindow(kProcessedCaption, 20000);
        if (!box)
            return;
        boxOwner = GetWindow(box, GW_OWNER);
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    EXPECT_TRUE(rebuild(folder()));
    EXPECT_EQ(buildOwner, settings);
    EXPECT_TRUE(settingsDisabled);
    EXPECT_EQ(boxOwner, settings);
    DestroyWindow(other);
    DestroyWindow(settings);
}

TEST_F(LibraryRebuild, ForcedRebuildOfAnEmptyFolderReportsNone) {
    fw::WriteProfileInt("Photos", "Count", 2);
    std::string processed;
    {
        Driver driver(acceptProcessedBox(processed));
        EXPECT_TRUE(rebuild(folder(), folder(), true));
    }
    EXPECT_EQ(processed, "Processed 0 image files");
    EXPECT_EQ(count(), 0);
}

// A settings file that cannot be written (here a folder of its name; for a standard user, one in Program
// Files that no one let them change): the pictures are converted, but the user learns the list is lost.
TEST_F(LibraryRebuild, AListThatCannotBeStoredIsReportedInsteadOfProcessed) {
    ASSERT_TRUE(CreateDirectoryA(profilePath().c_str(), nullptr));
    addJpegs(2);
    std::string shown;
    {
        Driver driver(acceptProcessedBox(shown));
        EXPECT_TRUE(rebuild(folder()));
    }
    const std::string message = "Prismata could not save the list of your pictures in its settings file, so the "
                                "screen saver cannot show them:\r\n\r\n" +
                                profilePath() +
                                "\r\n\r\nPlease make sure that you may change this file, then choose the "
                                "picture folder again.";
    EXPECT_EQ(shown, message);
    EXPECT_FALSE(traced("Processed 2 image files"));
    EXPECT_TRUE(traced("Old count = 0, new count = 2\r\nCould not save the picture list in " + profilePath() + "\r\n"))
        << traces();
    EXPECT_EQ(filesIn(m_cache).size(), 2u);
}

// The file without its [Photos] section: what a rebuild must leave exactly as it was.
std::string withoutPhotos(const std::string& file) {
    const size_t start = file.find("[Photos]");
    if (start == std::string::npos)
        return file;
    const size_t end = file.find("\n[", start);
    return file.substr(0, start) + (end == std::string::npos ? std::string() : file.substr(end + 1));
}

// The list is written as one section while the other sections (here also after it, with a comment, a key the
// program does not know, blanks around "=", a line break of another kind and no break at the very end) stay byte
// for byte.
TEST_F(LibraryRebuild, OtherSectionsStayByteForByteAroundTheNewList) {
    addJpegs(3);
    const std::string before = "[Settings]\r\nSpinX = -45\r\nPicturePath=C:\\Pics\r\n\r\n[Photos]\r\nCount=2\r\n"
                               "Entry0=old\r\nEntry1=old\r\nEntry9=by hand\r\n[ConversionParms]\n"
                               "; kept\nTargetBmpSize = 128\nCustom=7";
    support::writeTextFile(profilePath(), before);
    std::string processed;
    {
        Driver driver(acceptProcessedBox(processed));
        EXPECT_TRUE(rebuild(folder()));
    }
    EXPECT_EQ(processed, "Processed 3 image files");
    const std::string after = support::readTextFile(profilePath());
    EXPECT_EQ(withoutPhotos(after), withoutPhotos(before)) << after;
    EXPECT_EQ(count(), 3);
    EXPECT_EQ(entry(2), m_cache + "p2.bmp");
    EXPECT_EQ(entry(9), "by hand");
}

// A second rebuild while one runs (another settings dialog) is refused before it touches the cache or the
// list: the first one's list names exactly its cache files.
TEST_F(LibraryRebuild, ASecondRebuildWhileOneRunsIsRefusedAndTouchesNothing) {
    addJpegs(5);
    TempFolder other{"other"};
    writeJpeg(other.path() + "q.jpg", 40, 30, [](int, int) { return kOrange; });
    fw::KernelHandle firstShown(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    fw::KernelHandle secondDone(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    std::string firstProcessed;
    bool firstAccepted = false;
    std::thread first([&] {
        // Its "Processed" box is the last step under the lock: the second rebuild starts while it shows.
        Driver driver([&] {
            HWND box = waitForOwnWindow(kProcessedCaption, 20000);
            SetEvent(firstShown.get());
            WaitForSingleObject(secondDone.get(), 20000);
            if (box) {
                firstProcessed = messageBoxText(box);
                PostMessageA(box, WM_COMMAND, IDOK, 0);
            }
        });
        firstAccepted = rebuild(folder());
    });
    ASSERT_EQ(WaitForSingleObject(firstShown.get(), 30000), WAIT_OBJECT_0);
    std::string refusal;
    {
        Driver driver([&] {
            HWND box = waitForOwnWindow(kAppTitle, 20000);
            if (!box)
                return;
            refusal = messageBoxText(box);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        EXPECT_FALSE(rebuild(other.path(), "", true));
    }
    SetEvent(secondDone.get());
    first.join();
    EXPECT_EQ(refusal, "Another Prismata settings dialog is rebuilding the picture library right now. Please wait "
                       "until it has finished, then press OK again.");
    EXPECT_TRUE(firstAccepted);
    EXPECT_EQ(firstProcessed, "Processed 5 image files");
    ASSERT_EQ(count(), 5);
    std::vector<std::string> listed;
    for (int i = 0; i < 5; ++i)
        listed.push_back(entry(i).substr(m_cache.size()));
    std::vector<std::string> cached = filesIn(m_cache);
    std::sort(listed.begin(), listed.end());
    std::sort(cached.begin(), cached.end());
    EXPECT_EQ(listed, cached);
    EXPECT_TRUE(traced("Another rebuild is running; this one is refused\r\n"));
}

TEST_F(LibraryRebuild, UnusableTargetSizesListTheSourceItself) {
    addJpegs(1);
    for (int size : {0, -5, 100000}) {
        fw::WriteProfileInt("ConversionParms", "TargetBmpSize", size);
        std::string processed;
        {
            Driver driver(acceptProcessedBox(processed));
            EXPECT_TRUE(rebuild(folder(), "", true));
        }
        EXPECT_EQ(processed, "Processed 1 image files") << size;
        EXPECT_EQ(entry(0), folder() + "p0.jpg") << size;
        EXPECT_TRUE(filesIn(m_cache).empty()) << size;
    }
}

TEST_F(LibraryRebuild, HugeStoredCountIsClearedQuickly) {
    addJpegs(1);
    fw::WriteProfileInt("Photos", "Count", 2000000000);
    fw::WriteProfileString("Photos", "Entry0", "old");
    fw::WriteProfileString("Photos", "Entry5", "old");
    std::string processed;
    DWORD start = GetTickCount();
    {
        Driver driver(acceptProcessedBox(processed));
        EXPECT_TRUE(rebuild(folder()));
    }
    EXPECT_LT(GetTickCount() - start, 10000u);
    EXPECT_EQ(count(), 1);
    EXPECT_EQ(entry(0), m_cache + "p0.bmp");
    EXPECT_EQ(entry(5), "<none>");
    EXPECT_TRUE(traced("Old count = 2000000000, new count = 1\r\n"));
}

TEST_F(LibraryRebuild, CacheCleanUpDeletesOnlyBmpFilesOfImageCache) {
    writeBytes(m_cache + "a.bmp", {1});
    writeBytes(m_cache + "B.BMP", {1});
    writeBytes(m_cache + "keep.txt", {1});
    TempFolder other{"other"};
    writeBytes(other.path() + "x.bmp", {1});

    library::clearImageCache(m_cache);
    library::clearImageCache(other.path());
    EXPECT_FALSE(fileExists(m_cache + "a.bmp"));
    EXPECT_FALSE(fileExists(m_cache + "B.BMP"));
    EXPECT_TRUE(fileExists(m_cache + "keep.txt"));
    EXPECT_TRUE(fileExists(other.path() + "x.bmp"));
    EXPECT_TRUE(traced("Deleting file " + m_cache + "a.bmp\r\n"));
    EXPECT_TRUE(traced("Deleting file " + m_cache + "B.BMP\r\n"));
    EXPECT_TRUE(traced("INCORRECT ATTEMPT TO DELETE " + other.path() + "x.bmp\r\n"));
}

// The system's listing with attributes the tests add, as a cloud drive's files would carry them; and a folder
// whose listing holds until the test lets it go, as a slow share would.
class MarkedListing {
public:
    MarkedListing() {
        s_marks.clear();
        s_held.clear();
        s_holding.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        s_release.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        library::setFolderListingForTests(list);
    }
    ~MarkedListing() {
        library::setFolderListingForTests(nullptr);
        (void)SetEvent(s_release.get());
    }
    MarkedListing(const MarkedListing&) = delete;
    MarkedListing& operator=(const MarkedListing&) = delete;

    void mark(const std::string& path, DWORD attributes) { s_marks[path] = attributes; }
    void hold(const std::string& folder) { s_held = folder; }
    bool waitUntilHolding() { return WaitForSingleObject(s_holding.get(), 10000) == WAIT_OBJECT_0; }
    void release() { (void)SetEvent(s_release.get()); }

private:
    static bool list(const std::string& folder, std::vector<library::FolderEntry>& entries) {
        if (folder == s_held) {
            (void)SetEvent(s_holding.get());
            (void)WaitForSingleObject(s_release.get(), 20000);
        }
        WIN32_FIND_DATAA found{};
        fw::FindHandle search(FindFirstFileA((folder + "*.*").c_str(), &found));
        if (!search)
            return false;
        do {
            auto mark = s_marks.find(folder + found.cFileName);
            entries.push_back({found.cFileName, found.dwFileAttributes | (mark == s_marks.end() ? 0 : mark->second)});
        } while (FindNextFileA(search.get(), &found));
        return true;
    }
    static inline std::map<std::string, DWORD> s_marks;
    static inline std::string s_held;
    static inline fw::KernelHandle s_holding;
    static inline fw::KernelHandle s_release;
};

constexpr DWORD kRecallOnDataAccess = 0x00400000;
constexpr DWORD kRecallOnOpen = 0x00040000;
constexpr DWORD kPinned = 0x00080000;

TEST_F(LibraryRebuild, OnlineOnlyPicturesAreLeftOutAndTheClosingBoxSaysHowToShowThem) {
    addJpegs(5);
    MarkedListing listing;
    listing.mark(folder() + "p1.jpg", kRecallOnDataAccess);
    listing.mark(folder() + "p2.jpg", FILE_ATTRIBUTE_OFFLINE);
    listing.mark(folder() + "p3.jpg", kRecallOnOpen);
    listing.mark(folder() + "p4.jpg", kPinned);
    std::string processed;
    {
        Driver driver(acceptProcessedBox(processed));
        EXPECT_TRUE(rebuild(folder()));
    }
    const std::string expected =
        "Processed 2 image files\r\n\r\n3 pictures stored online only were skipped, so that they are not "
        "downloaded. Marking them \"Always keep on this device\" in OneDrive lets Prismata show them.";
    EXPECT_EQ(processed, expected);
    ASSERT_EQ(count(), 2);
    std::vector<std::string> entries = {entry(0), entry(1)};
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, (std::vector<std::string>{m_cache + "p0.bmp", m_cache + "p4.bmp"}));
    EXPECT_EQ(filesIn(m_cache).size(), 2u);
    EXPECT_TRUE(traced("Old count = 0, new count = 2\r\nProcessed 2 image files\r\n3 pictures stored online only were "
                       "skipped, so that they are not downloaded. Marking them \"Always keep on this device\" in "
                       "OneDrive lets Prismata show them.\r\n"))
        << traces();
}

TEST_F(LibraryRebuild, TreeWalkShowsEachFolderAndAbortInItChangesNothing) {
    addJpegs(1);
    CreateDirectoryA((folder() + "Later").c_str(), nullptr);
    writeJpeg(folder() + "Later\\q.jpg", 40, 30, [](int, int) { return kOrange; });
    writeBytes(m_cache + "kept.bmp", {1});
    fw::WriteProfileInt("Photos", "Count", 1);
    fw::WriteProfileString("Photos", "Entry0", "x");
    MarkedListing listing;
    listing.hold(folder() + "Later\\");
    std::string status;
    bool ended = false;
    Driver driver([&] {
        HWND build = waitForOwnWindow(kBuildTitle);
        if (!build || !listing.waitUntilHolding())
            return;
        status = windowText(GetDlgItem(build, IDC_BUILD_STATUS));
        clickButton(build, 3);
        waitUntil([&] { return windowText(GetDlgItem(build, IDC_BUILD_STATUS)) == "Aborting build of image folder"; },
                  5000);
        listing.release();
        waitUntil([&] { return IsWindowEnabled(GetDlgItem(build, IDOK)) != FALSE; }, 5000);
        ended = windowText(GetDlgItem(build, IDC_BUILD_STATUS)) == "Aborted at User Request";
        clickButton(build, IDOK);
    });
    // Even OK after an aborted walk keeps the library as it was, and the settings dialog open.
    EXPECT_FALSE(rebuild(folder(), folder(), false, true));
    EXPECT_EQ(status, "Looking for pictures in\r\n" + folder() + "Later\\");
    EXPECT_TRUE(ended);
    EXPECT_EQ(count(), 1);
    EXPECT_EQ(entry(0), "x");
    EXPECT_TRUE(fileExists(m_cache + "kept.bmp"));
    EXPECT_FALSE(traced("Processed")) << traces();
}

TEST_F(LibraryRebuild, TreeWithTheStoredCountIsUnchangedAfterItsWalk) {
    addJpegs(1);
    CreateDirectoryA((folder() + "sub").c_str(), nullptr);
    writeJpeg(folder() + "sub\\q.jpg", 40, 30, [](int, int) { return kOrange; });
    writeBytes(m_cache + "kept.bmp", {1});
    fw::WriteProfileInt("Photos", "Count", 2);
    fw::WriteProfileString("Photos", "Entry0", "x");
    fw::WriteProfileString("Photos", "Entry1", "y");

    EXPECT_TRUE(rebuild(folder(), folder(), false, true));
    EXPECT_EQ(count(), 2);
    EXPECT_EQ(entry(1), "y");
    EXPECT_TRUE(fileExists(m_cache + "kept.bmp"));
    EXPECT_EQ(traces(), "");

    // One folder only, the same folder holds one picture: the counts differ, so it is rebuilt.
    std::string processed;
    {
        Driver driver(acceptProcessedBox(processed));
        EXPECT_TRUE(rebuild(folder(), folder(), false, false));
    }
    EXPECT_EQ(processed, "Processed 1 image files");
    EXPECT_EQ(entry(0), m_cache + "p0.bmp");
}

} // namespace
