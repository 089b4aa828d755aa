// The picture-library rebuild for a given install folder: the seam in PictureLibraryRebuild.h runs it
// for the program's own install folder; tests run it on a temporary one.
#pragma once

#include <windows.h>

#include <string>

namespace library {

// The flow of the settings dialog's OK. True when the settings dialog may close with OK; false when it
// stays open (the cache folder was chosen, or the build was not accepted). owner, the settings dialog,
// owns the build dialog and the message boxes, so it takes no clicks while they are open.
bool rebuildPictureLibrary(HWND owner, const std::string& installFolder, const std::string& folderText,
                           const std::string& openingFolder, bool forceRebuild);

// Deletes Entry0 ... Entry(Count - 1) of the picture list and writes Count = 0.
void clearPictureList();

} // namespace library
