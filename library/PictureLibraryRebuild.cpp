#include "library/PictureLibraryRebuild.h"

#include "app/SaverApp.h"
#include "library/CacheFolder.h"
#include "library/PictureLibrary.h"

namespace {
std::string installFolder() {
    SaverApp* app = SaverApp::current();
    return app ? app->installFolder() : std::string();
}
} // namespace

bool rebuildPictureLibrary(HWND owner, const std::string& folderText, const std::string& openingFolder,
                           bool forceRebuild) {
    return library::rebuildPictureLibrary(owner, installFolder(), folderText, openingFolder, forceRebuild);
}

void clearImageCache() {
    library::clearImageCache(library::cacheFolderOf(installFolder()));
}
