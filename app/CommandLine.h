// The screen-saver command line, parsed without touching any window.
#pragma once

#include "app/SaverMode.h"

#include <cstdint>
#include <string_view>

struct ParsedCommandLine {
    SaverMode mode = SaverMode::ModeNone;
    // The decimal window handle that goes with the mode, 0 when none.
    std::int64_t handle = 0;
    // "/c" alone: the caller takes the foreground window as the handle.
    bool useForegroundWindow = false;
};

// Parses the whole process command line, program name included.
ParsedCommandLine parseCommandLineText(std::string_view line);

// Reads a decimal integer the way the C library does: leading white space, an optional sign, digits up
// to the first non-digit, 0 without digits. Saturates instead of overflowing.
std::int64_t readDecimal(std::string_view text);
