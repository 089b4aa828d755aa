// The main settings while the main settings dialog is open.
#pragma once

#include <string>

struct SettingsRecord {
    std::string PicturePath;
    int KeepUpright = 0;
    int SpinZ = 0;
    int SpinY = 0;
    int SpinX = 0;
    int SpeedZ = 0;
    int SpeedY = 0;
    int SpeedX = 0;
    int CubeSize = 0;
    int IncludeSubfolders = 0;
};
