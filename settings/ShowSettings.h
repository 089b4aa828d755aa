// The settings the show reads each time it starts the display engine, with the show's defaults.
#pragma once

#include "settings/MotionSettings.h"
#include "settings/ProfileStore.h"

namespace settings {

struct ShowSettings {
    // Without [Settings] the show turns with spins 10, 15, 0 and speeds 15, 5, 0.
    MotionSettings motion{10, 15, 0, 15, 5, 0, 0, false};
    bool lowScreenResolution = false;
};

ShowSettings readShowSettings(const ProfileStore& profile);

} // namespace settings
