#include "library/PictureLibrary.h"

#include "framework/Trace.h"
#include "library/BuildDialog.h"
#include "library/CacheFolder.h"
#include "library/FileSearch.h"
#include "library/LibraryText.h"
#include "library/RebuildRules.h"
#include "settings/AppContext.h"
#include "settings/SettingsKeys.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace library {

namespace {

std::string entryKey(int index) {
    char key[32];
    std::snprintf(key, sizeof key, keys::kEntryFormat, index);
    return key;
}

// The full paths of the picture folder and the cache folder name the same folder. A path that has no full
// path name matches nothing.
bool isCacheFolder(const std::string& folderText, const std::string& cacheFolder) {
    std::string folder = fullPathName(folderText);
    std::string cache = fullPathName(cacheFolder);
    return !folder.empty() && !cache.empty() && isSameFolder(folder, cache);
}

} // namespace

void clearPictureList(const settings::ProfileStore& profile) {
    using namespace keys;
    const int count = profile.readInt(kPhotos, kCount, 0);
    // Only the keys the file holds are visited, so a huge Count in a damaged file costs nothing.
    for (const std::string& name : profile.keyNames(kPhotos)) {
        if (isListEntryBelow(name, count))
            (void)profile.writeString(kPhotos, name.c_str(), nullptr);
    }
    (void)profile.writeInt(kPhotos, kCount, 0);
}

bool rebuildPictureLibrary(HWND owner, const settings::AppContext& app, const std::string& folderText,
                           const std::string& openingFolder, bool forceRebuild) {
    using namespace keys;
    const settings::ProfileStore& profile = app.profile;
    const int oldCount = profile.readInt(kPhotos, kCount, 0);
    const std::string& cacheFolder = app.cacheFolder;

    BuildDialog build(owner, cacheFolder, app.title);
    build.scanFolder(folderText);
    // No install folder, no cache: the pictures are then listed as they are.
    build.setConvert(profile.readInt(kSettings, kConvert, 1) != 0 && !cacheFolder.empty());
    build.setTargetSize(profile.readInt(kConversionParms, kTargetBmpSize, 256));

    if (isUnchanged(forceRebuild, folderText, openingFolder, build.pendingCount(), oldCount))
        return true;
    if (isCacheFolder(folderText, cacheFolder)) {
        (void)MessageBoxA(owner, text::kCacheFolderChosen, app.title.c_str(), MB_OK);
        return false;
    }

    clearImageCache(cacheFolder);
    clearPictureList(profile);
    // A missing cache folder would make every conversion fail.
    (void)CreateDirectoryA(cacheFolder.c_str(), nullptr);

    if (build.DoModal() != IDOK)
        return false;

    const int newCount = build.resultCount();
    Trace(text::kTraceCounts, oldCount, newCount);
    char processed[64];
    std::snprintf(processed, sizeof processed, text::kProcessedFormat, newCount);
    Trace("%s\n", processed);
    (void)MessageBoxA(owner, processed, text::kProcessedCaption, MB_OK);

    (void)profile.writeInt(kPhotos, kCount, newCount);
    for (int i = 0; i < newCount; ++i)
        (void)profile.writeString(kPhotos, entryKey(i).c_str(), build.resultAt(i).c_str());
    return true;
}

} // namespace library
