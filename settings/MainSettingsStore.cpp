#include "settings/MainSettingsStore.h"

#include "settings/SettingsKeys.h"

namespace settings {

bool storeMainSettings(const ProfileStore& profile, const SettingsRecord& record) {
    using namespace keys;
    // Each key is tried even after a failure: what can be stored is.
    bool stored = profile.writeInt(kSettings, kSpinX, record.SpinX);
    stored &= profile.writeInt(kSettings, kSpinY, record.SpinY);
    stored &= profile.writeInt(kSettings, kSpinZ, record.SpinZ);
    stored &= profile.writeInt(kSettings, kSpeedX, record.SpeedX);
    stored &= profile.writeInt(kSettings, kSpeedY, record.SpeedY);
    stored &= profile.writeInt(kSettings, kSpeedZ, record.SpeedZ);
    stored &= profile.writeInt(kSettings, kCubeSize, record.CubeSize);
    stored &= profile.writeInt(kSettings, kKeepUpright, record.KeepUpright);
    stored &= profile.writeString(kSettings, kPicturePath, record.PicturePath.c_str());
    stored &= profile.writeInt(kSettings, kIncludeSubfolders, record.IncludeSubfolders);
    return stored;
}

} // namespace settings
