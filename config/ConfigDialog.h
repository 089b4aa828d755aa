// The main settings dialog.
#pragma once

#include "framework/Dialog.h"
#include "settings/SettingsRecord.h"

class ConfigDialog : public fw::Dialog {
public:
    explicit ConfigDialog(HWND owner);

    SettingsRecord m_settings;
};
