#include "settings/ShowSettings.h"

#include "settings/SettingsKeys.h"

namespace settings {

ShowSettings readShowSettings(const ProfileStore& profile) {
    using namespace keys;
    const MotionSettings defaults = ShowSettings{}.motion;
    ShowSettings show;
    MotionSettings& motion = show.motion;
    motion.speedZ = profile.readInt(kSettings, kSpeedZ, defaults.speedZ);
    motion.speedY = profile.readInt(kSettings, kSpeedY, defaults.speedY);
    motion.speedX = profile.readInt(kSettings, kSpeedX, defaults.speedX);
    motion.spinZ = profile.readInt(kSettings, kSpinZ, defaults.spinZ);
    motion.spinY = profile.readInt(kSettings, kSpinY, defaults.spinY);
    motion.spinX = profile.readInt(kSettings, kSpinX, defaults.spinX);
    motion.cubeSize = profile.readInt(kSettings, kCubeSize, defaults.cubeSize);
    motion.keepUpright = profile.readInt(kSettings, kKeepUpright, 0) != 0;
    show.lowScreenResolution = profile.readInt(kSettings, kLowScreenResolution, 0) != 0;
    return show;
}

} // namespace settings
