#include "config/ConfigDialog.h"

#include "config/AboutDialog.h"
#include "config/AdvancedDialog.h"
#include "config/ConfigTexts.h"
#include "config/FolderCheck.h"
#include "config/FolderText.h"
#include "config/SettingsNotSaved.h"
#include "config/ShellFolders.h"
#include "config/SliderValues.h"
#include "framework/Trace.h"
#include "library/PictureLibrary.h"
#include "resources/resource.h"
#include "settings/MainSettingsStore.h"

namespace {

// The folder check's answer: wParam the text's number, lParam 1 when it names a folder.
constexpr UINT kFolderChecked = WM_APP + 1;

struct SliderSetting {
    int id;
    int SettingsRecord::*field;
    int low;
    int high;
    bool deadZone;
};

// Every slider with its record field and range; the spins get a tick at the centre, the speeds at the left.
const SliderSetting kSliders[] = {
    {IDC_SPIN_X, &SettingsRecord::SpinX, config::kSpinMin, config::kSpinMax, true},
    {IDC_SPIN_Y, &SettingsRecord::SpinY, config::kSpinMin, config::kSpinMax, true},
    {IDC_SPIN_Z, &SettingsRecord::SpinZ, config::kSpinMin, config::kSpinMax, true},
    {IDC_SPEED_X, &SettingsRecord::SpeedX, config::kSpeedMin, config::kSpeedMax, true},
    {IDC_SPEED_Y, &SettingsRecord::SpeedY, config::kSpeedMin, config::kSpeedMax, true},
    {IDC_SPEED_Z, &SettingsRecord::SpeedZ, config::kSpeedMin, config::kSpeedMax, true},
    {IDC_CUBE_SIZE, &SettingsRecord::CubeSize, config::kSizeMin, config::kSizeMax, false},
};

struct Tip {
    int id;
    const char* text;
};

const Tip kTips[] = {
    {IDC_SPIN_X, config::kTipSpinX},
    {IDC_ICON_SPIN_X_LEFT, config::kTipSpinX},
    {IDC_ICON_SPIN_X_RIGHT, config::kTipSpinX},
    {IDC_SPIN_Y, config::kTipSpinY},
    {IDC_ICON_SPIN_Y_LEFT, config::kTipSpinY},
    {IDC_ICON_SPIN_Y_RIGHT, config::kTipSpinY},
    {IDC_SPIN_Z, config::kTipSpinZ},
    {IDC_ICON_SPIN_Z_LEFT, config::kTipSpinZ},
    {IDC_ICON_SPIN_Z_RIGHT, config::kTipSpinZ},
    {IDC_SPEED_X, config::kTipSpeedX},
    {IDC_ICON_SPEED_X, config::kTipSpeedX},
    {IDC_SPEED_Y, config::kTipSpeedY},
    {IDC_ICON_SPEED_Y, config::kTipSpeedY},
    {IDC_SPEED_Z, config::kTipSpeedZ},
    {IDC_ICON_SPEED_Z, config::kTipSpeedZ},
    {IDC_CUBE_SIZE, config::kTipCubeSize},
    {IDC_KEEP_UPRIGHT, config::kTipKeepUpright},
    {IDC_FOLDER, config::kTipFolder},
    {IDC_BROWSE, config::kTipBrowse},
};

} // namespace

ConfigDialog::ConfigDialog(HWND owner, const settings::AppContext& app, const SettingsRecord& record)
    : fw::Dialog(IDD_CONFIG, owner), m_app(app), m_settings(record), m_help(app) {
    fw::initCommonControls();
}

ConfigDialog::~ConfigDialog() = default;

bool ConfigDialog::PreTranslateMessage(MSG* msg) {
    m_toolTip.relayEvent(msg);
    return fw::Dialog::PreTranslateMessage(msg);
}

void ConfigDialog::DoDataExchange() {
    m_okButton.attach(item(IDOK));
}

BOOL ConfigDialog::OnInitDialog() {
    DoDataExchange();
    m_folderCheck.start(hwnd(), kFolderChecked);

    HINSTANCE instance = GetModuleHandleA(nullptr);
    HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME));
    // The caption's icon drawn from the image of its own size at any display scaling, not shrunk.
    HANDLE small = LoadImageA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                              GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    (void)SendMessageA(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    (void)SendMessageA(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small ? small : icon));

    for (const SliderSetting& slider : kSliders) {
        fw::Trackbar trackbar(item(slider.id));
        trackbar.setRange(slider.low, slider.high);
        if (slider.id != IDC_CUBE_SIZE)
            trackbar.setTic(0);
    }
    for (const SliderSetting& slider : kSliders)
        fw::Trackbar(item(slider.id)).setPos(config::clampToRange(m_settings.*slider.field, slider.low, slider.high));

    fw::Button(item(IDC_KEEP_UPRIGHT)).setChecked(m_settings.KeepUpright != 0);

    std::string folder = m_settings.PicturePath;
    if (folder.empty()) {
        auto found = config::FindSpecialFolder(hwnd(), CSIDL_MYPICTURES);
        if (!found)
            found = config::FindSpecialFolder(hwnd(), CSIDL_PERSONAL);
        if (found)
            folder = *found;
    }
    (void)SetWindowTextA(item(IDC_FOLDER), folder.c_str());
    // The edit reports the change itself; this covers a text equal to what it held.
    OnChangeFolder();

    if (m_toolTip.create(hwnd())) {
        m_toolTip.activate(true);
        addTips();
    }
    return TRUE;
}

void ConfigDialog::addTips() {
    for (const Tip& tip : kTips)
        (void)m_toolTip.addTool(item(tip.id), tip.text);
}

std::string ConfigDialog::folderText() const {
    return fw::windowText(item(IDC_FOLDER));
}

void ConfigDialog::OnOK() {
    // Enter on a disabled default button does nothing; a command sent from elsewhere must not either.
    if (!m_okButton.isEnabled() || m_folderCheck.pending() || m_rebuilding)
        return;
    // An OK sent while the build runs must not start a second build.
    m_rebuilding = true;
    bool accepted = library::rebuildPictureLibrary(hwnd(), m_app, folderText(), m_settings.PicturePath, m_forceRebuild);
    m_rebuilding = false;
    if (!accepted)
        return;
    // Stored while the dialog is open, so that a failure leaves the user's choices on screen.
    if (!settings::storeMainSettings(m_app.profile, controlValues())) {
        config::reportSettingsNotSaved(hwnd(), m_app);
        return;
    }
    fw::Dialog::OnOK();
}

bool ConfigDialog::OnCommand(WORD id, WORD notifyCode, HWND) {
    switch (id) {
    case IDC_BROWSE:
        if (notifyCode == BN_CLICKED)
            OnBrowse();
        return true;
    case IDC_CONFIG_ABOUT:
        if (notifyCode == BN_CLICKED)
            OnAbout();
        return true;
    case IDC_FOLDER:
        if (notifyCode == EN_CHANGE)
            OnChangeFolder();
        return true;
    case IDC_CONFIG_HELP:
        if (notifyCode == BN_CLICKED)
            OnHelp();
        return true;
    case IDC_ADVANCED:
        if (notifyCode == BN_CLICKED)
            OnAdvanced();
        return true;
    default:
        return false;
    }
}

void ConfigDialog::OnChangeFolder() {
    if (!m_okButton.hwnd())
        return;
    m_folderCheck.ask(folderText());
    // No OK for a text that has not been checked.
    m_okButton.enable(false);
}

bool ConfigDialog::OnAppMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kFolderChecked)
        return false;
    OnFolderChecked(wParam, lParam);
    return true;
}

void ConfigDialog::OnFolderChecked(WPARAM number, LPARAM exists) {
    const std::optional<bool> answer = m_folderCheck.answerFor(number, exists);
    // An answer for an older text says nothing about the one shown.
    if (!answer)
        return;
    m_okButton.enable(*answer);
    Trace(config::kTraceFolderChecked, *answer ? "found" : "not found", folderText().c_str());
}

void ConfigDialog::OnBrowse() {
    auto chosen =
        config::browseForFolder(hwnd(), config::kBrowseTitle, BrowseFolderCallback, reinterpret_cast<LPARAM>(this));
    if (!chosen)
        return;
    (void)SetWindowTextA(item(IDC_FOLDER), chosen->c_str());
    OnChangeFolder();
    m_forceRebuild = true;
}

int CALLBACK ConfigDialog::BrowseFolderCallback(HWND browser, UINT message, LPARAM lParam, LPARAM data) {
    auto* dialog = reinterpret_cast<ConfigDialog*>(data);
    switch (message) {
    case BFFM_INITIALIZED: {
        std::string folder = dialog->folderText();
        // Longer texts name no folder the browser could show.
        if (folder.size() < MAX_PATH)
            (void)SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(folder.c_str()));
        break;
    }
    case BFFM_SELCHANGED: {
        auto path = config::pathOfItem(reinterpret_cast<LPCITEMIDLIST>(lParam));
        if (path && config::isControlPanelPath(*path))
            (void)SendMessageA(browser, BFFM_ENABLEOK, 0, FALSE);
        break;
    }
    default:
        break;
    }
    return 0;
}

// The dialog that is open owns the boxes it opens, so it cannot be used while they are up.
void ConfigDialog::OnAbout() {
    AboutDialog about(hwnd());
    (void)about.DoModal();
}

void ConfigDialog::OnHelp() {
    m_help.open(hwnd(), config::kConfigHelpContext);
}

void ConfigDialog::OnAdvanced() {
    AdvancedDialog advanced(hwnd(), m_app, m_help);
    if (advanced.DoModal() == 1)
        m_forceRebuild = true;
}

void ConfigDialog::OnDestroy() {
    fw::Dialog::OnDestroy();
    // A lookup may still hang on a network path: the dialog goes at once, and no answer comes after it.
    m_folderCheck.stop();
    m_toolTip.detach();
    m_settings = controlValues();
}

SettingsRecord ConfigDialog::controlValues() const {
    SettingsRecord values = m_settings;
    for (const SliderSetting& slider : kSliders) {
        int value = fw::Trackbar(item(slider.id)).pos();
        values.*slider.field = slider.deadZone ? config::applyDeadZone(value) : value;
    }
    values.KeepUpright = fw::Button(item(IDC_KEEP_UPRIGHT)).checked() ? 1 : 0;
    values.PicturePath = folderText();
    return values;
}
