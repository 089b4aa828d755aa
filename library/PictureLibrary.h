// The picture-library rebuild that runs when the main settings dialog is accepted.
#pragma once

#include <windows.h>

#include <string>

namespace settings {
struct AppContext;
class ProfileStore;
} // namespace settings

namespace library {

// The flow of the settings dialog's OK. True when the settings dialog may close with OK; false when it
// stays open (the cache folder was chosen, or the build was not accepted). owner, the settings dialog,
// owns the build dialog and the message boxes, so it takes no clicks while they are open.
// app: its cache folder, title and profile store. folderText: the Folder edit's text; openingFolder: the
// picture path the dialog opened with. includeSubfolders: the folders below it are searched too, in the
// build dialog.
bool rebuildPictureLibrary(HWND owner, const settings::AppContext& app, const std::string& folderText,
                           const std::string& openingFolder, bool forceRebuild, bool includeSubfolders = false);

// Deletes Entry0 ... Entry(Count - 1) and the Stamp of the picture list and writes Count = 0, in one write.
void clearPictureList(const settings::ProfileStore& profile);

} // namespace library
