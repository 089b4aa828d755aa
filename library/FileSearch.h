// A file search over one folder, giving full paths the way the framework's file finder does.
#pragma once

#include "library/FolderWalk.h"

#include <string>
#include <vector>

namespace library {

// Every entry matching the pattern (files and folders, "." and ".." included), each as the full path
// of the searched folder, a backslash and the entry's name, in the order the system returns them.
std::vector<std::string> findFilePaths(const std::string& pattern);

// The entries of one folder (a path ending in "\\") with their attributes, from the listing alone: no file is
// opened. False when the folder cannot be listed.
bool listFolder(const std::string& folder, std::vector<FolderEntry>& entries);

// Tests hand the scan listings the system here cannot make (files stored online only); null restores the
// system's.
using ListFolderFunction = bool (*)(const std::string& folder, std::vector<FolderEntry>& entries);
void setFolderListingForTests(ListFolderFunction list);

// The full path of the folder a picture folder text names, ending in "\\": what its search pattern searches.
std::string searchedFolder(const std::string& folderText);

// The full path name of a path, or empty when it cannot be made.
std::string fullPathName(const std::string& path);

} // namespace library
