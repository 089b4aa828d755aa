// Profile functions on the application's INI file (WinApp::profileFile).
#pragma once

#include "framework/ProfileText.h"

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fw {

int GetProfileInt(const char* section, const char* key, int defaultValue);
std::string GetProfileString(const char* section, const char* key, const char* defaultValue = "");
bool WriteProfileInt(const char* section, const char* key, int value);
// A null value deletes the key.
bool WriteProfileString(const char* section, const char* key, const char* value);
// The key names of a section as the file spells them.
std::vector<std::string> GetProfileKeyNames(const char* section);

// A section's keys from one read of the whole file. None when the file must be read through the profile
// functions (Unicode text, or too large to hold); a file that is missing or cannot be opened has no section.
std::optional<ProfileSection> ReadProfileSectionOnce(const char* section);
// Puts `keys` first in the section and removes the section's other keys that `dropped` names, in one read and
// one write of the whole file, in place; every other byte of the file stays. Unicode text or a file too large
// to hold is changed a key at a time instead. False when the file could not be written.
bool WriteProfileSectionKeys(const char* section, const std::vector<ProfileKey>& keys,
                             const std::function<bool(std::string_view name)>& dropped);

} // namespace fw
