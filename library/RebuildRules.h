// The decisions of a picture-library rebuild that need no window: whether anything changed, whether the
// chosen folder is the cache itself, and which files the cache clean-up may delete.
#pragma once

#include <string>

namespace library {

// Nothing forces a rebuild, the folder text is exactly the one the dialog opened with, and the folder
// holds as many pictures as the stored list. Only the counts are compared, not the names.
bool isUnchanged(bool forceRebuild, const std::string& folderText, const std::string& openingFolder, int pictureCount,
                 int storedCount);

// Two full paths name the same folder: equal without regard to letter case and to one trailing backslash.
bool isSameFolder(const std::string& fullPathA, const std::string& fullPathB);

// True for the name of a picture-list key Entry0 ... Entry(count - 1), in any letter case, written the
// way "Entry%d" writes it (no sign, no leading zeros).
bool isListEntryBelow(const std::string& keyName, int count);

// Only .bmp files (any case) inside a folder named exactly ImageCache may be deleted.
bool isDeletableCacheFile(const std::string& path);

} // namespace library
