// The advanced settings dialog: reads its eight keys when it opens and stores them all on OK. Its result is
// 1 when OK changed the cached bitmap size (the picture library must then be rebuilt), else 0.
#pragma once

#include "config/HelpFile.h"
#include "framework/Dialog.h"
#include "framework/ToolTip.h"
#include "settings/AppContext.h"

class AdvancedDialog : public fw::Dialog {
public:
    AdvancedDialog(HWND owner, const settings::AppContext& app, config::Help& help);
    ~AdvancedDialog() override;

    bool PreTranslateMessage(MSG* msg) override;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnCommand(WORD id, WORD notifyCode, HWND control) override;
    void OnDestroy() override;

private:
    void OnHelp();
    void OnRestoreDefaults();

    void setCheck(int id, bool checked) const;
    bool isChecked(int id) const;
    void setNumber(int id, int value) const;
    int number(int id) const;

    const settings::AppContext& m_app;
    config::Help& m_help;
    fw::ToolTip m_toolTip;
};
