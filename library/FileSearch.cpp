#include "library/FileSearch.h"

#include "framework/Handles.h"
#include "library/PictureScan.h"

#include <windows.h>

namespace library {

namespace {

bool listWithTheSystem(const std::string& folder, std::vector<FolderEntry>& entries) {
    WIN32_FIND_DATAA found{};
    fw::FindHandle search(FindFirstFileA((folder + "*.*").c_str(), &found));
    if (!search)
        return false;
    do {
        // The reparse tag comes in dwReserved0, for reparse points only.
        const bool reparse = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
        entries.push_back(FolderEntry{found.cFileName, found.dwFileAttributes, reparse ? found.dwReserved0 : 0});
    } while (FindNextFileA(search.get(), &found));
    return true;
}

ListFolderFunction g_listFolder = nullptr;

} // namespace

bool listFolder(const std::string& folder, std::vector<FolderEntry>& entries) {
    return g_listFolder ? g_listFolder(folder, entries) : listWithTheSystem(folder, entries);
}

void setFolderListingForTests(ListFolderFunction list) {
    g_listFolder = list;
}

namespace {

// The folder a search pattern searches, as a full path ending in "\" ("/" separators come back as "\"); the
// pattern as it is when it has no full path name.
std::string folderOfPattern(const std::string& pattern) {
    std::string full = fullPathName(pattern);
    if (full.empty())
        full = pattern;
    const size_t cut = full.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : full.substr(0, cut) + "\\";
}

} // namespace

std::string searchedFolder(const std::string& folderText) {
    return folderOfPattern(searchPattern(folderText));
}

std::string fullPathName(const std::string& path) {
    if (path.empty())
        return std::string();
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
        DWORD length = GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
        if (length == 0)
            return std::string();
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.resize(length + 1);
    }
}

std::vector<std::string> findFilePaths(const std::string& pattern) {
    std::vector<std::string> paths;
    WIN32_FIND_DATAA found{};
    fw::FindHandle search(FindFirstFileA(pattern.c_str(), &found));
    if (!search)
        return paths;

    const std::string root = folderOfPattern(pattern);

    do {
        paths.push_back(root + found.cFileName);
    } while (FindNextFileA(search.get(), &found));
    return paths;
}

} // namespace library
