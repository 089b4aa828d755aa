#include "settings/ShowSettings.h"

#include "settings/SettingsKeys.h"

namespace settings {

ShowSettings readShowSettings(const ProfileStore& profile) {
    using namespace keys;
    const ShowSettings defaults;
    ShowSettings show;
    show.speedZ = profile.readInt(kSettings, kSpeedZ, defaults.speedZ);
    show.speedY = profile.readInt(kSettings, kSpeedY, defaults.speedY);
    show.speedX = profile.readInt(kSettings, kSpeedX, defaults.speedX);
    show.spinZ = profile.readInt(kSettings, kSpinZ, defaults.spinZ);
    show.spinY = profile.readInt(kSettings, kSpinY, defaults.spinY);
    show.spinX = profile.readInt(kSettings, kSpinX, defaults.spinX);
    show.cubeSize = profile.readInt(kSettings, kCubeSize, defaults.cubeSize);
    show.keepUpright = profile.readInt(kSettings, kKeepUpright, 0) != 0;
    show.lowScreenResolution = profile.readInt(kSettings, kLowScreenResolution, 0) != 0;
    return show;
}

} // namespace settings
