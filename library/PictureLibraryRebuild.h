// The picture-library rebuild that runs when the main settings dialog is accepted.
#pragma once

#include <windows.h>

#include <string>

// owner: the settings dialog's window; folderText: the Folder edit's text; openingFolder: the picture path the dialog
// opened with. Returns true when the settings dialog may close with OK, false when it must stay open.
bool rebuildPictureLibrary(HWND owner, const std::string& folderText, const std::string& openingFolder,
                           bool forceRebuild);

// Deletes the .bmp files of the cache folder beside the program.
void clearImageCache();
