// Names of the cached bitmaps. Free of window code.
#pragma once

#include <functional>
#include <string>

namespace library {

// The file name of a path: after its last "\", else after its last ":", else the whole text.
std::string fileNameOf(const std::string& path);

// The cache file for one source picture: cacheFolder + the source's name without its extension + ".bmp",
// else the first free one of base-0.bmp, base-1.bmp, ... (without end in practice, so that no two sources of a
// folder tree share a cache file).
// exists answers whether a file or folder of that path exists.
std::string chooseCacheName(const std::string& sourcePath, const std::string& cacheFolder,
                            const std::function<bool(const std::string&)>& exists);

} // namespace library
