// The main settings dialog: spin, speed and size sliders, the keep-upright switch and the picture folder.
// It opens with the given record, stores the controls' values in the settings file on OK (staying open
// when they cannot be stored) and copies them back into the record when the window is destroyed.
#pragma once

#include "config/FolderCheck.h"
#include "config/HelpFile.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/ToolTip.h"
#include "settings/AppContext.h"
#include "settings/SettingsRecord.h"

#include <string>

class ConfigDialog : public fw::Dialog {
public:
    ConfigDialog(HWND owner, const settings::AppContext& app, const SettingsRecord& record);
    ~ConfigDialog() override;

    bool PreTranslateMessage(MSG* msg) override;

    // True once a browsed folder or a new bitmap size asks for a rebuild on OK.
    bool forceRebuild() const { return m_forceRebuild; }

    // The settings as the controls held them when the window went.
    const SettingsRecord& record() const { return m_settings; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    bool OnCommand(WORD id, WORD notifyCode, HWND control) override;
    void OnDestroy() override;
    bool OnAppMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void DoDataExchange();
    void OnBrowse();
    void OnAbout();
    void OnChangeFolder();
    void OnFolderChecked(WPARAM number, LPARAM exists);
    void OnHelp();
    void OnAdvanced();

    void addTips();
    std::string folderText() const;
    // The record as the controls show it now.
    SettingsRecord controlValues() const;
    static int CALLBACK BrowseFolderCallback(HWND browser, UINT message, LPARAM lParam, LPARAM data);

    const settings::AppContext& m_app;
    SettingsRecord m_settings;
    bool m_forceRebuild = false;
    bool m_rebuilding = false;
    fw::Button m_okButton;
    fw::ToolTip m_toolTip;
    // Whether the folder text names a folder, answered by a thread of its own; OK waits for the answer.
    config::FolderCheck m_folderCheck;
    // Outlives the window, and so every help window it owns; the advanced dialog opens help through it too.
    config::Help m_help;
};
