// The main settings dialog: spin, speed and size sliders, the keep-upright switch and the picture folder.
// runConfiguration fills m_settings before it opens and stores it after OK; the controls are copied back
// into it when the window is destroyed.
#pragma once

#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/ToolTip.h"
#include "settings/SettingsRecord.h"

#include <string>

class ConfigDialog : public fw::Dialog {
public:
    explicit ConfigDialog(HWND owner);
    ~ConfigDialog() override;

    bool PreTranslateMessage(MSG* msg) override;

    // Deletes the cached bitmaps of the picture library.
    void clearImageCache();

    // True once a browsed folder or a new bitmap size asks for a rebuild on OK.
    bool forceRebuild() const { return m_forceRebuild; }

    SettingsRecord m_settings;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(WORD id, WORD notifyCode, HWND control) override;
    void OnDestroy() override;

private:
    void DoDataExchange();
    void OnBrowse();
    void OnAbout();
    void OnChangeFolder();
    void OnHelp();
    void OnAdvanced();

    void addTips();
    std::string folderText() const;
    static int CALLBACK BrowseFolderCallback(HWND browser, UINT message, LPARAM lParam, LPARAM data);

    bool m_forceRebuild = false;
    bool m_rebuilding = false;
    fw::Button m_okButton;
    fw::ToolTip m_toolTip;
};
