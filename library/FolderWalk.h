// The walk over a picture folder, and when asked over every folder below it, that queues its pictures from
// the folder listings alone. Free of window code.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace library {

// The attribute bits of a folder listing the walk reads, with the system's values.
namespace attribute {
inline constexpr std::uint32_t kHidden = 0x00000002;
inline constexpr std::uint32_t kSystem = 0x00000004;
inline constexpr std::uint32_t kDirectory = 0x00000010;
inline constexpr std::uint32_t kReparsePoint = 0x00000400;
inline constexpr std::uint32_t kOffline = 0x00001000;
inline constexpr std::uint32_t kRecallOnOpen = 0x00040000;
inline constexpr std::uint32_t kRecallOnDataAccess = 0x00400000;
} // namespace attribute

struct FolderEntry {
    std::string name;
    std::uint32_t attributes = 0;
    std::uint32_t reparseTag = 0; // with kReparsePoint: what kind of link or placeholder it is
};

// Lists one folder, given as a full path ending in "\", in the system's order ("." and ".." may come too).
// False when the folder cannot be listed.
using ListFolder = std::function<bool(const std::string& folder, std::vector<FolderEntry>& entries)>;

// Called before each folder is listed, with its full path; false stops the walk.
using VisitFolder = std::function<bool(const std::string& folder)>;

struct FolderWalk {
    std::vector<std::string> pictures; // full paths, in the walk's order
    int onlineOnlyFiles = 0;           // pictures left out: reading them would download them
    bool stopped = false;              // the visitor stopped the walk
};

// A file whose data is not on this device: reading it makes the system fetch it.
bool isOnlineOnly(std::uint32_t attributes);

// A cloud drive's placeholder (OneDrive's folders are), not a link to another folder.
bool isCloudPlaceholderTag(std::uint32_t reparseTag);

// Folder names in the order a person expects: letter case ignored (ASCII), runs of digits by their value, so
// "2" comes before "10"; other bytes (the ANSI code page's) by their value. Names equal so are ordered by their bytes.
bool folderNameLess(const std::string& a, const std::string& b);

// root: a full path ending in "\". Without sub-folders: the root's picture files in listing order, entries
// matched by name alone (a folder named x.jpg is queued like a file). With them: each folder's picture files
// in listing order, then its sub-folders in name order, each wholly before the next; hidden and system
// folders, links, junctions and any other reparse point but a cloud placeholder, and the cache folder are never
// entered. Folders online only are entered: listing them fetches names, not pictures. Files stored online only
// are counted, not queued.
FolderWalk walkPictureFolder(const std::string& root, bool includeSubfolders, const std::string& cacheFolder,
                             const ListFolder& list, const VisitFolder& visit = nullptr);

} // namespace library
