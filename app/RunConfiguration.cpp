// The configuration mode: load the main settings and show the dialog, which stores them on OK.
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
    record.IncludeSubfolders = profile.readInt(kSettings, kIncludeSubfolders, 0);

    // The dialog stores the settings on OK itself, while it can still report a failure.
    ConfigDialog dialog(parent, m_context, record);
    (void)dialog.DoModal();
}
