// The shell's special folders and its folder browser, as the settings dialog uses them.
#pragma once

#include <windows.h>

#include <shlobj.h>

#include <optional>
#include <string>

namespace config {

// The file-system path of a special folder (CSIDL_MYPICTURES, CSIDL_PERSONAL...); empty when the shell has
// no such folder or it has no path.
std::optional<std::string> FindSpecialFolder(HWND owner, int csidl);

// The file-system path of the item a selection-changed notice names; empty for items without one.
std::optional<std::string> pathOfItem(LPCITEMIDLIST item);

// Runs the shell's folder browser (file-system folders only, rooted at the desktop). The path of the chosen
// folder, or empty when the user cancelled or chose an item without a path.
std::optional<std::string> browseForFolder(HWND owner, const char* title, BFFCALLBACK callback, LPARAM data);

} // namespace config
