#include "library/RebuildRules.h"

#include <cctype>

namespace library {

namespace {

std::string withoutOneTrailingBackslash(const std::string& path) {
    if (!path.empty() && path.back() == '\\')
        return path.substr(0, path.size() - 1);
    return path;
}

bool equalIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

} // namespace

bool isUnchanged(bool forceRebuild, const std::string& folderText, const std::string& openingFolder, int pictureCount,
                 int storedCount) {
    return !forceRebuild && folderText == openingFolder && pictureCount == storedCount;
}

bool isSameFolder(const std::string& fullPathA, const std::string& fullPathB) {
    return equalIgnoringCase(withoutOneTrailingBackslash(fullPathA), withoutOneTrailingBackslash(fullPathB));
}

bool isListEntryBelow(const std::string& keyName, int count) {
    static const std::string kPrefix = "entry";
    if (keyName.size() <= kPrefix.size() || !equalIgnoringCase(keyName.substr(0, kPrefix.size()), kPrefix))
        return false;
    const std::string digits = keyName.substr(kPrefix.size());
    if (digits.size() > 10 || (digits.size() > 1 && digits[0] == '0'))
        return false;
    long long number = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return false;
        number = number * 10 + (c - '0');
    }
    return number < count;
}

bool isDeletableCacheFile(const std::string& path) {
    if (path.find("\\ImageCache\\") == std::string::npos || path.size() < 4)
        return false;
    return equalIgnoringCase(path.substr(path.size() - 4), ".bmp");
}

} // namespace library
