// The configuration mode: load the main settings, show the dialog, store them on OK.
#include "app/SaverApp.h"
#include "config/ConfigDialog.h"
#include "settings/SettingsKeys.h"

void SaverApp::runConfiguration(HWND parent) {
    using namespace keys;
    const settings::ProfileStore& profile = m_context.profile;
    SettingsRecord record;
    record.SpinX = profile.readInt(kSettings, kSpinX, 40);
    record.SpinY = profile.readInt(kSettings, kSpinY, 60);
    record.SpinZ = profile.readInt(kSettings, kSpinZ, 0);
    record.SpeedX = profile.readInt(kSettings, kSpeedX, 60);
    record.SpeedY = profile.readInt(kSettings, kSpeedY, 20);
    record.SpeedZ = profile.readInt(kSettings, kSpeedZ, 0);
    record.CubeSize = profile.readInt(kSettings, kCubeSize, 0);
    record.KeepUpright = profile.readInt(kSettings, kKeepUpright, 0);
    record.PicturePath = profile.readString(kSettings, kPicturePath, "");

    ConfigDialog dialog(parent, m_context, record);
    if (dialog.DoModal() != IDOK)
        return;
    record = dialog.record();

    (void)profile.writeInt(kSettings, kSpinX, record.SpinX);
    (void)profile.writeInt(kSettings, kSpinY, record.SpinY);
    (void)profile.writeInt(kSettings, kSpinZ, record.SpinZ);
    (void)profile.writeInt(kSettings, kSpeedX, record.SpeedX);
    (void)profile.writeInt(kSettings, kSpeedY, record.SpeedY);
    (void)profile.writeInt(kSettings, kSpeedZ, record.SpeedZ);
    (void)profile.writeInt(kSettings, kCubeSize, record.CubeSize);
    (void)profile.writeInt(kSettings, kKeepUpright, record.KeepUpright);
    (void)profile.writeString(kSettings, kPicturePath, record.PicturePath.c_str());
}
