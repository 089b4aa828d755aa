#include "library/PictureLibrary.h"

#include "framework/Handles.h"
#include "framework/ProfileText.h"
#include "framework/Trace.h"
#include "library/BuildDialog.h"
#include "library/BuildStatus.h"
#include "library/CacheFolder.h"
#include "library/FileSearch.h"
#include "library/LibraryText.h"
#include "library/RebuildRules.h"
#include "settings/AppContext.h"
#include "settings/SettingsKeys.h"

#include <windows.h>

#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

namespace library {

namespace {

// The time of this rebuild in 100 ns steps: a new mark for every list, so a show's stored position is
// known to belong to an earlier one.
std::string rebuildStamp() {
    FILETIME now{};
    GetSystemTimeAsFileTime(&now);
    char text[24];
    std::snprintf(text, sizeof text, "%08lX%08lX", static_cast<unsigned long>(now.dwHighDateTime),
                  static_cast<unsigned long>(now.dwLowDateTime));
    return text;
}

std::string entryKey(int index) {
    char key[32];
    std::snprintf(key, sizeof key, keys::kEntryFormat, index);
    return key;
}

// Count, every entry and the list's stamp in one write of the settings file; false when it could not be written.
// The file is written whole rather than through the profile functions: those rewrite the whole file at every
// key, and a section written at once is limited to 32,767 characters on Windows.
bool storePictureList(const settings::ProfileStore& profile, const BuildDialog& build) {
    using namespace keys;
    const int count = build.resultCount();
    std::vector<fw::ProfileKey> list;
    list.reserve(static_cast<std::size_t>(count) + 2);
    list.push_back({kCount, std::to_string(count)});
    for (int i = 0; i < count; ++i)
        list.push_back({entryKey(i), build.resultAt(i)});
    list.push_back({kStamp, rebuildStamp()});
    return profile.replaceKeys(kPhotos, list);
}

// The format with its one %s, however long the value.
std::string formatted(const char* format, const std::string& value) {
    const int length = std::snprintf(nullptr, 0, format, value.c_str());
    if (length <= 0)
        return std::string();
    std::vector<char> text(static_cast<size_t>(length) + 1);
    (void)std::snprintf(text.data(), text.size(), format, value.c_str());
    return std::string(text.data(), static_cast<size_t>(length));
}

// The full paths of the picture folder and the cache folder name the same folder. A path that has no full
// path name matches nothing.
bool isCacheFolder(const std::string& folderText, const std::string& cacheFolder) {
    std::string folder = fullPathName(folderText);
    std::string cache = fullPathName(cacheFolder);
    return !folder.empty() && !cache.empty() && isSameFolder(folder, cache);
}

// The one rebuild of this PC's library at a time. A mutex that another user made, which this one may not
// open, is busy as well.
class RebuildLock {
public:
    RebuildLock() : m_mutex(CreateMutexA(nullptr, FALSE, text::kRebuildMutexName)) {
        if (!m_mutex) {
            // Only a mutex that exists and is not ours is busy; without any, the rebuild goes on unguarded.
            m_owned = GetLastError() != ERROR_ACCESS_DENIED;
            return;
        }
        const DWORD waited = WaitForSingleObject(m_mutex.get(), 0);
        // Abandoned: a rebuild that ended without letting go; what it left is cleared anyway.
        m_owned = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    }
    ~RebuildLock() {
        if (m_owned)
            (void)ReleaseMutex(m_mutex.get());
    }
    RebuildLock(const RebuildLock&) = delete;
    RebuildLock& operator=(const RebuildLock&) = delete;
    bool owned() const { return m_owned; }

private:
    fw::KernelHandle m_mutex;
    bool m_owned = false;
};

} // namespace

void clearPictureList(const settings::ProfileStore& profile) {
    using namespace keys;
    const int count = profile.readInt(kPhotos, kCount, 0);
    // Entries at Count or above were not written by a rebuild and stay.
    (void)profile.replaceKeys(kPhotos, {{kCount, "0"}}, [count](std::string_view name) {
        return fw::sameProfileName(name, keys::kStamp) || isListEntryBelow(std::string(name), count);
    });
}

namespace {

// The cache emptied and the list cleared, with the lock held, just before the pictures are converted.
void clearForBuild(const settings::ProfileStore& profile, const std::string& cacheFolder) {
    clearImageCache(cacheFolder);
    clearPictureList(profile);
    // A missing cache folder would make every conversion fail.
    (void)CreateDirectoryA(cacheFolder.c_str(), nullptr);
}

void reportBusy(HWND owner, const settings::AppContext& app) {
    Trace(text::kTraceRebuildBusy);
    (void)MessageBoxA(owner, text::kRebuildBusy, app.title.c_str(), MB_OK | MB_ICONINFORMATION);
}

// After a build the user accepted: the list stored, then the closing box.
void storeAndReport(HWND owner, const settings::AppContext& app, const BuildDialog& build, int oldCount) {
    const int newCount = build.resultCount();
    Trace(text::kTraceCounts, oldCount, newCount);
    // Written before the user is told, so that a list that could not be stored is not reported as processed.
    if (!storePictureList(app.profile, build)) {
        Trace(text::kTraceListNotSaved, app.profilePath.c_str());
        (void)MessageBoxA(owner, formatted(text::kListNotSavedFormat, app.profilePath).c_str(), text::kProcessedCaption,
                          MB_OK | MB_ICONWARNING);
        return;
    }
    const std::string processed = processedText(newCount, build.onlineOnlyFiles());
    // A trace line for each line of the box.
    for (size_t start = 0; start < processed.size();) {
        size_t end = processed.find("\r\n", start);
        if (end == std::string::npos)
            end = processed.size();
        if (end > start)
            Trace("%s\n", processed.substr(start, end - start).c_str());
        start = end + 2;
    }
    (void)MessageBoxA(owner, processed.c_str(), text::kProcessedCaption, MB_OK);
}

// With sub-folders the walk runs in the build dialog, where it shows its progress and can be aborted; whether
// anything changed is decided once it has counted the pictures.
bool rebuildTree(HWND owner, const settings::AppContext& app, BuildDialog& build, const std::string& folderText,
                 const std::string& openingFolder, bool forceRebuild, int oldCount) {
    const std::string& cacheFolder = app.cacheFolder;
    if (isCacheFolder(folderText, cacheFolder)) {
        (void)MessageBoxA(owner, text::kCacheFolderChosen, app.title.c_str(), MB_OK);
        return false;
    }
    enum class Outcome { Build, Unchanged, Busy } outcome = Outcome::Build;
    std::optional<RebuildLock> lock;
    build.scanTreeFirst(folderText, cacheFolder, [&] {
        if (isUnchanged(forceRebuild, folderText, openingFolder, build.pendingCount(), oldCount)) {
            outcome = Outcome::Unchanged;
            return false;
        }
        lock.emplace();
        if (!lock->owned()) {
            outcome = Outcome::Busy;
            reportBusy(build.hwnd(), app);
            return false;
        }
        clearForBuild(app.profile, cacheFolder);
        return true;
    });
    const INT_PTR ended = build.DoModal();
    if (outcome == Outcome::Unchanged)
        return true;
    // An aborted walk has changed nothing yet.
    if (outcome == Outcome::Busy || !build.scanFinished() || ended != IDOK)
        return false;
    storeAndReport(owner, app, build, oldCount);
    return true;
}

} // namespace

bool rebuildPictureLibrary(HWND owner, const settings::AppContext& app, const std::string& folderText,
                           const std::string& openingFolder, bool forceRebuild, bool includeSubfolders) {
    using namespace keys;
    const settings::ProfileStore& profile = app.profile;
    const int oldCount = profile.readInt(kPhotos, kCount, 0);
    const std::string& cacheFolder = app.cacheFolder;

    BuildDialog build(owner, cacheFolder, app.title);
    // No install folder, no cache: the pictures are then listed as they are.
    build.setConvert(profile.readInt(kSettings, kConvert, 1) != 0 && !cacheFolder.empty());
    build.setTargetSize(profile.readInt(kConversionParms, kTargetBmpSize, 256));
    if (includeSubfolders)
        return rebuildTree(owner, app, build, folderText, openingFolder, forceRebuild, oldCount);

    build.scanFolder(folderText);
    if (isUnchanged(forceRebuild, folderText, openingFolder, build.pendingCount(), oldCount))
        return true;
    if (isCacheFolder(folderText, cacheFolder)) {
        (void)MessageBoxA(owner, text::kCacheFolderChosen, app.title.c_str(), MB_OK);
        return false;
    }

    // Two rebuilds at once would delete each other's cache files and mix their lists: the second is refused.
    const RebuildLock lock;
    if (!lock.owned()) {
        reportBusy(owner, app);
        return false;
    }
    clearForBuild(profile, cacheFolder);

    if (build.DoModal() != IDOK)
        return false;
    storeAndReport(owner, app, build, oldCount);
    return true;
}

} // namespace library
