// The page of the system's Display Properties that holds the screen-saver choice, by system version.
#pragma once

namespace postinstall {

// Started through the search path; %d is the page index.
constexpr char kControlCommandTemplate[] = "control.exe desk.cpl, display, %d";
constexpr int kCommandLineBufferSize = 128;

// 1 up to Windows 2000 (5.0), 2 from XP (5.1) on. A failed version query leaves 0.0, which gives 1.
int displayPageIndex(unsigned long majorVersion, unsigned long minorVersion);

} // namespace postinstall
