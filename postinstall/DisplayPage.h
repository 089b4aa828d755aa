// The command line that opens the system's screen-saver choice, by system version.
#pragma once

namespace postinstall {

// Started through the search path. Up to NT 5.x the choice is a page of the Display Properties, %d its
// index; from Vista (6.0) on it is a dialog of its own.
constexpr char kControlCommandTemplate[] = "control.exe desk.cpl, display, %d";
constexpr char kScreenSaverDialogCommand[] = "control.exe desk.cpl,,@screensaver";
constexpr int kCommandLineBufferSize = 128;

// Writes the command line for a system of that version into line. A failed version query leaves 0.0,
// which gives the first page.
void writeDisplayCommand(unsigned long majorVersion, unsigned long minorVersion, char (&line)[kCommandLineBufferSize]);

} // namespace postinstall
