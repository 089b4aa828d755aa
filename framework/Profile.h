// Profile functions on the application's INI file (WinApp::profileFile).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace fw {

int GetProfileInt(const char* section, const char* key, int defaultValue);
std::string GetProfileString(const char* section, const char* key, const char* defaultValue = "");
bool WriteProfileInt(const char* section, const char* key, int value);
// A null value deletes the key.
bool WriteProfileString(const char* section, const char* key, const char* value);
// The key names of a section as the file spells them.
std::vector<std::string> GetProfileKeyNames(const char* section);
// The whole section as its key=value lines, read at once.
std::vector<std::string> GetProfileSection(const char* section);
// Replaces the whole section with these key=value lines in one write; the other sections stay as they are.
bool WriteProfileSection(const char* section, const std::vector<std::string>& lines);

} // namespace fw
