// The settings the show reads each time it starts the display engine, with the show's defaults.
#pragma once

#include "settings/ProfileStore.h"

namespace settings {

struct ShowSettings {
    int spinX = 10;
    int spinY = 15;
    int spinZ = 0;
    int speedX = 15;
    int speedY = 5;
    int speedZ = 0;
    int cubeSize = 0;
    bool keepUpright = false;
    bool lowScreenResolution = false;
};

ShowSettings readShowSettings(const ProfileStore& profile);

} // namespace settings
