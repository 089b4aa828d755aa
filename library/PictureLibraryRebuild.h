// The picture-library rebuild that runs when the main settings dialog is accepted.
#pragma once

#include <string>

// folderText: the Folder edit's text; openingFolder: the picture path the dialog opened with.
// Returns true when the settings dialog may close with OK, false when it must stay open.
bool rebuildPictureLibrary(const std::string& folderText, const std::string& openingFolder, bool forceRebuild);

// Deletes the .bmp files of the cache folder beside the program.
void clearImageCache();
