#include "library/FolderWalk.h"

#include "library/PictureScan.h"
#include "library/RebuildRules.h"

#include <algorithm>

namespace library {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

char lowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// -1, 0 or 1 for the digit runs a[i, i + m) and b[j, j + n), by value.
int compareNumbers(const std::string& a, size_t i, size_t m, const std::string& b, size_t j, size_t n) {
    while (m > 1 && a[i] == '0')
        ++i, --m;
    while (n > 1 && b[j] == '0')
        ++j, --n;
    if (m != n)
        return m < n ? -1 : 1;
    for (size_t k = 0; k < m; ++k) {
        if (a[i + k] != b[j + k])
            return a[i + k] < b[j + k] ? -1 : 1;
    }
    return 0;
}

bool isFolder(const FolderEntry& entry) {
    return (entry.attributes & attribute::kDirectory) != 0;
}

bool isDotEntry(const std::string& name) {
    return name == "." || name == "..";
}

} // namespace

bool isOnlineOnly(std::uint32_t attributes) {
    return (attributes & (attribute::kRecallOnDataAccess | attribute::kRecallOnOpen | attribute::kOffline)) != 0;
}

bool isCloudPlaceholderTag(std::uint32_t reparseTag) {
    // IO_REPARSE_TAG_CLOUD and IO_REPARSE_TAG_CLOUD_1 ... _F differ in bits 12 to 15 only.
    return (reparseTag & 0xFFFF0FFFu) == 0x9000001Au;
}

bool folderNameLess(const std::string& a, const std::string& b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            size_t m = 0, n = 0;
            while (i + m < a.size() && isDigit(a[i + m]))
                ++m;
            while (j + n < b.size() && isDigit(b[j + n]))
                ++n;
            if (int order = compareNumbers(a, i, m, b, j, n))
                return order < 0;
            i += m;
            j += n;
            continue;
        }
        const unsigned char x = static_cast<unsigned char>(lowerAscii(a[i]));
        const unsigned char y = static_cast<unsigned char>(lowerAscii(b[j]));
        if (x != y)
            return x < y;
        ++i;
        ++j;
    }
    if ((i < a.size()) != (j < b.size()))
        return j < b.size();
    // Equal but for case or leading zeros: one fixed order all the same.
    return a < b;
}

FolderWalk walkPictureFolder(const std::string& root, bool includeSubfolders, const std::string& cacheFolder,
                             const ListFolder& list, const VisitFolder& visit) {
    FolderWalk walk;
    // Folders still to list, the next one last.
    std::vector<std::string> toList{root};
    std::vector<FolderEntry> entries;
    std::vector<std::string> subfolders;
    while (!toList.empty()) {
        const std::string folder = std::move(toList.back());
        toList.pop_back();
        if (visit && !visit(folder)) {
            walk.stopped = true;
            break;
        }
        entries.clear();
        if (!list(folder, entries))
            continue;
        subfolders.clear();
        for (const FolderEntry& entry : entries) {
            if (includeSubfolders && isFolder(entry)) {
                // Links and junctions lead back into the tree or out of it; a cloud drive's folder is its own.
                const bool link =
                    (entry.attributes & attribute::kReparsePoint) != 0 && !isCloudPlaceholderTag(entry.reparseTag);
                const bool hidden = (entry.attributes & (attribute::kHidden | attribute::kSystem)) != 0;
                if (!isDotEntry(entry.name) && !link && !hidden && !isSameFolder(folder + entry.name, cacheFolder))
                    subfolders.push_back(entry.name);
                continue;
            }
            if (!isPictureFileName(entry.name))
                continue;
            if (!isFolder(entry) && isOnlineOnly(entry.attributes)) {
                ++walk.onlineOnlyFiles;
                continue;
            }
            walk.pictures.push_back(folder + entry.name);
        }
        std::sort(subfolders.begin(), subfolders.end(), folderNameLess);
        for (auto name = subfolders.rbegin(); name != subfolders.rend(); ++name)
            toList.push_back(folder + *name + "\\");
    }
    return walk;
}

} // namespace library
