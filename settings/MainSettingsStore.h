// Storing the main settings dialog's record in the settings file.
#pragma once

#include "settings/ProfileStore.h"
#include "settings/SettingsRecord.h"

namespace settings {

// Writes every main setting, in the file's order of keys; false when any write failed (a settings file
// that this user may not change, a read-only or full disk).
bool storeMainSettings(const ProfileStore& profile, const SettingsRecord& record);

} // namespace settings
