#include "library/PictureLibraryRebuild.h"

bool rebuildPictureLibrary(const std::string&, const std::string&, bool) { return true; }

void clearImageCache() {}
