// The configuration mode: load the main settings, show the dialog, store them on OK.
#include "app/SaverApp.h"
#include "config/ConfigDialog.h"
#include "framework/Profile.h"
#include "settings/SettingsKeys.h"

void SaverApp::runConfiguration(HWND parent) {
    using namespace keys;
    ConfigDialog dialog(parent);
    SettingsRecord& record = dialog.m_settings;
    record.SpinX = fw::GetProfileInt(kSettings, kSpinX, 40);
    record.SpinY = fw::GetProfileInt(kSettings, kSpinY, 60);
    record.SpinZ = fw::GetProfileInt(kSettings, kSpinZ, 0);
    record.SpeedX = fw::GetProfileInt(kSettings, kSpeedX, 60);
    record.SpeedY = fw::GetProfileInt(kSettings, kSpeedY, 20);
    record.SpeedZ = fw::GetProfileInt(kSettings, kSpeedZ, 0);
    record.CubeSize = fw::GetProfileInt(kSettings, kCubeSize, 0);
    record.KeepUpright = fw::GetProfileInt(kSettings, kKeepUpright, 0);
    record.PicturePath = fw::GetProfileString(kSettings, kPicturePath, "");

    if (dialog.DoModal() != IDOK)
        return;

    fw::WriteProfileInt(kSettings, kSpinX, record.SpinX);
    fw::WriteProfileInt(kSettings, kSpinY, record.SpinY);
    fw::WriteProfileInt(kSettings, kSpinZ, record.SpinZ);
    fw::WriteProfileInt(kSettings, kSpeedX, record.SpeedX);
    fw::WriteProfileInt(kSettings, kSpeedY, record.SpeedY);
    fw::WriteProfileInt(kSettings, kSpeedZ, record.SpeedZ);
    fw::WriteProfileInt(kSettings, kCubeSize, record.CubeSize);
    fw::WriteProfileInt(kSettings, kKeepUpright, record.KeepUpright);
    fw::WriteProfileString(kSettings, kPicturePath, record.PicturePath.c_str());
}
