#include "library/CacheFolder.h"

#include "framework/Trace.h"
#include "library/CacheName.h"
#include "library/FileSearch.h"
#include "library/LibraryText.h"
#include "library/RebuildRules.h"

#include <windows.h>

namespace library {

std::string cacheFolderOf(const std::string& installFolder) {
    // Without an install folder there is no cache: never a folder relative to the current one.
    return installFolder.empty() ? std::string() : installFolder + text::kCacheFolderName;
}

std::string makeCacheName(const std::string& sourcePath, const std::string& cacheFolder) {
    return chooseCacheName(sourcePath, cacheFolder, [](const std::string& path) {
        return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    });
}

namespace {

void deleteCacheFiles(const std::string& folder) {
    for (const std::string& path : findFilePaths(folder + "*.bmp")) {
        if (isDeletableCacheFile(path)) {
            Trace(text::kTraceDeleting, path.c_str());
            (void)DeleteFileA(path.c_str());
        } else {
            Trace(text::kTraceRefusedDelete, path.c_str());
        }
    }
}

} // namespace

void clearImageCache(const std::string& cacheFolder) {
    if (cacheFolder.empty())
        return;
    deleteCacheFiles(cacheFolder);
    // The numbered folders of a large library; one that holds anything else than our files stays.
    for (const std::string& path : findFilePaths(cacheFolder + "*")) {
        if (!isNumberedCacheFolder(fileNameOf(path)))
            continue;
        deleteCacheFiles(path + "\\");
        (void)RemoveDirectoryA(path.c_str());
    }
}

} // namespace library
