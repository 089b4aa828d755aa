// The motion keys of the profile as the show reads them, before the engine turns them into its units.
#pragma once

namespace settings {

struct MotionSettings {
    int spinX, spinY, spinZ;
    int speedX, speedY, speedZ;
    int cubeSize;
    bool keepUpright;
};

} // namespace settings
