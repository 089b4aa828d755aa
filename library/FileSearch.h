// A file search over one folder, giving full paths the way the framework's file finder does.
#pragma once

#include <string>
#include <vector>

namespace library {

// Every entry matching the pattern (files and folders, "." and ".." included), each as the full path
// of the searched folder, a backslash and the entry's name, in the order the system returns them.
std::vector<std::string> findFilePaths(const std::string& pattern);

// The full path name of a path, or empty when it cannot be made.
std::string fullPathName(const std::string& path);

} // namespace library
