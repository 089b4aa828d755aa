#include "config/SettingsNotSaved.h"

#include "config/ConfigTexts.h"
#include "framework/Trace.h"

#include <string>

namespace config {

void reportSettingsNotSaved(HWND owner, const settings::AppContext& app) {
    Trace(kTraceSettingsNotSaved, app.profilePath.c_str());
    std::string message(kSettingsNotSavedFormat);
    message.replace(message.find("%s"), 2, app.profilePath);
    (void)MessageBoxA(owner, message.c_str(), app.title.c_str(), MB_OK | MB_ICONWARNING);
}

} // namespace config
