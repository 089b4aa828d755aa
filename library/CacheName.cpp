#include "library/CacheName.h"

namespace library {

namespace {
// Far past the pictures one cache folder takes: a cache that answers "taken" for every name still ends the
// search.
constexpr int kLastSuffix = 99999;
} // namespace

std::string cacheFolderFor(const std::string& cacheFolder, int index, int perFolder) {
    const int number = perFolder > 0 && index > 0 ? index / perFolder : 0;
    return number == 0 ? cacheFolder : cacheFolder + std::to_string(number) + "\\";
}

bool isNumberedCacheFolder(const std::string& name) {
    if (name.empty() || name.size() > 9 || name[0] == '0')
        return false;
    for (char c : name) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

std::string fileNameOf(const std::string& path) {
    size_t cut = path.rfind('\\');
    if (cut == std::string::npos)
        cut = path.rfind(':');
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string chooseCacheName(const std::string& sourcePath, const std::string& cacheFolder,
                            const std::function<bool(const std::string&)>& exists) {
    std::string name = fileNameOf(sourcePath);
    // The extension is cut from the name alone, so a dot in the cache folder's own path is never taken.
    size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    const std::string base = cacheFolder + name;

    std::string candidate = base + ".bmp";
    if (!exists(candidate))
        return candidate;
    // No end at a hundred: a tree of camera folders repeats names like IMG_0001 many times, and a reused name
    // would put one picture where another belongs.
    for (int suffix = 0; suffix <= kLastSuffix; ++suffix) {
        candidate = base + "-" + std::to_string(suffix) + ".bmp";
        if (!exists(candidate))
            return candidate;
    }
    return candidate;
}

} // namespace library
