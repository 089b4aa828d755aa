// Names of the cached bitmaps. Free of window code.
#pragma once

#include <functional>
#include <string>

namespace library {

// How many converted pictures one cache folder takes: the first ones lie in the cache folder itself, each
// further run in a numbered folder inside it ("1\", "2\", ...). A new file costs more the more files its
// folder holds (Wine lists the whole folder for every new name), so a large library is spread out.
inline constexpr int kPicturesPerCacheFolder = 1000;

// The folder, ending in "\", of a rebuild's index-th picture (from 0).
std::string cacheFolderFor(const std::string& cacheFolder, int index, int perFolder = kPicturesPerCacheFolder);

// True for a name cacheFolderFor gives a folder inside the cache: a number from 1 on, without leading zeros.
bool isNumberedCacheFolder(const std::string& name);

// The file name of a path: after its last "\", else after its last ":", else the whole text.
std::string fileNameOf(const std::string& path);

// The cache file for one source picture: cacheFolder + the source's name without its extension + ".bmp",
// else the first free one of base-0.bmp, base-1.bmp, ... base-99999.bmp, so that no two sources of a folder
// tree share a cache file; when all are taken, the last.
// exists answers whether a file or folder of that path exists.
std::string chooseCacheName(const std::string& sourcePath, const std::string& cacheFolder,
                            const std::function<bool(const std::string&)>& exists);

} // namespace library
