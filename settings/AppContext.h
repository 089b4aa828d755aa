// What the application object knows after start-up, handed down to the dialogs, the library rebuild
// and the show instead of being fetched from globals.
#pragma once

#include "settings/ProfileStore.h"

#include <string>

namespace settings {

struct AppContext {
    std::string installFolder; // ends with a backslash
    std::string profilePath;
    std::string cacheFolder; // where the converted pictures go
    std::string title;       // of the saver's windows and message boxes
    ProfileStore profile;
};

} // namespace settings
