#include "library/PictureLibrary.h"

#include "app/Trace.h"
#include "framework/Profile.h"
#include "framework/WinApp.h"
#include "library/BuildDialog.h"
#include "library/CacheFolder.h"
#include "library/FileSearch.h"
#include "library/LibraryText.h"
#include "library/LibraryTitle.h"
#include "library/RebuildRules.h"
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

// The key names of one profile section, as the file spells them.
std::vector<std::string> keyNames(const char* section) {
    fw::WinApp* app = fw::WinApp::current();
    const std::string file = app ? app->profileFile() : std::string();
    std::vector<char> buffer(4096);
    DWORD length = 0;
    for (;;) {
        length = GetPrivateProfileStringA(section, nullptr, "", buffer.data(), static_cast<DWORD>(buffer.size()),
                                          file.c_str());
        // A full buffer comes back as its size minus two.
        if (length + 2 < buffer.size() || buffer.size() >= (64u << 20))
            break;
        buffer.resize(buffer.size() * 4);
    }
    std::vector<std::string> names;
    for (DWORD at = 0; at < length && buffer[at];) {
        names.emplace_back(buffer.data() + at);
        at += static_cast<DWORD>(names.back().size()) + 1;
    }
    return names;
}

// The full paths of the picture folder and the cache folder name the same folder. A path that has no full
// path name matches nothing.
bool isCacheFolder(const std::string& folderText, const std::string& cacheFolder) {
    std::string folder = fullPathName(folderText);
    std::string cache = fullPathName(cacheFolder);
    return !folder.empty() && !cache.empty() && isSameFolder(folder, cache);
}

} // namespace

void clearPictureList() {
    using namespace keys;
    const int count = fw::GetProfileInt(kPhotos, kCount, 0);
    // Only the keys the file holds are visited, so a huge Count in a damaged file costs nothing.
    for (const std::string& name : keyNames(kPhotos)) {
        if (isListEntryBelow(name, count))
            (void)fw::WriteProfileString(kPhotos, name.c_str(), nullptr);
    }
    (void)fw::WriteProfileInt(kPhotos, kCount, 0);
}

bool rebuildPictureLibrary(HWND owner, const std::string& installFolder, const std::string& folderText,
                           const std::string& openingFolder, bool forceRebuild) {
    using namespace keys;
    const int oldCount = fw::GetProfileInt(kPhotos, kCount, 0);
    const std::string cacheFolder = cacheFolderOf(installFolder);

    BuildDialog build(owner, cacheFolder);
    build.scanFolder(folderText);
    // No install folder, no cache: the pictures are then listed as they are.
    build.setConvert(fw::GetProfileInt(kSettings, kConvert, 1) != 0 && !cacheFolder.empty());
    build.m_targetSize = fw::GetProfileInt(kConversionParms, kTargetBmpSize, 256);

    if (isUnchanged(forceRebuild, folderText, openingFolder, build.pendingCount(), oldCount))
        return true;
    if (isCacheFolder(folderText, cacheFolder)) {
        (void)MessageBoxA(owner, text::kCacheFolderChosen, appTitle().c_str(), MB_OK);
        return false;
    }

    clearImageCache(cacheFolder);
    clearPictureList();
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

    (void)fw::WriteProfileInt(kPhotos, kCount, newCount);
    for (int i = 0; i < newCount; ++i)
        (void)fw::WriteProfileString(kPhotos, entryKey(i).c_str(), build.resultAt(i).c_str());
    return true;
}

} // namespace library
