// The report of settings that could not be stored: the dialog stays open, so nothing is lost unseen.
#pragma once

#include "settings/AppContext.h"

#include <windows.h>

namespace config {

void reportSettingsNotSaved(HWND owner, const settings::AppContext& app);

} // namespace config
