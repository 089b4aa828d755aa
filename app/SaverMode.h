#pragma once

// What the command line asks the program to do.
enum class SaverMode {
    ModeNone = 0,
    ModeConfig = 1,
    ModeChangePassword = 2,
    ModePreview = 3,
    ModeSaver = 4,
    ModeTest = 5,
};
