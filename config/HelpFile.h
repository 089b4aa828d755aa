// Opens the program's help file at a topic.
#pragma once

#include <windows.h>

#include <string>

namespace config {

// Opens the help file at the context with the system's help viewer, owned by the window, and returns at once.
// A missing file is never handed to the viewer, which would only show an error box of its own.
void openHelp(HWND owner, const std::string& helpFile, unsigned context);

} // namespace config
