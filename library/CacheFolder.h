// The cache folder beside the program: names of new cache files and the clean-up before a rebuild.
#pragma once

#include <string>

namespace library {

// installFolder ends with a backslash; so does the result.
std::string cacheFolderOf(const std::string& installFolder);

// The cache file path for one source picture: the first free name (see chooseCacheName).
std::string makeCacheName(const std::string& sourcePath, const std::string& cacheFolder);

// Deletes the .bmp files of the cache folder and of its numbered folders, tracing each, and the numbered folders
// left empty; anything else the search meets is left alone.
void clearImageCache(const std::string& cacheFolder);

} // namespace library
