#include "config/AdvancedDialog.h"

#include "config/ConfigTexts.h"
#include "config/DialogNumber.h"
#include "config/SettingsNotSaved.h"
#include "framework/Controls.h"
#include "resources/resource.h"
#include "settings/SettingsKeys.h"

#include <string>

namespace {

constexpr int kTipWidth = 350;

// The defaults every reader of these keys in this dialog uses, and what Restore defaults shows.
constexpr bool kDefaultLowResolution = false;
constexpr bool kDefaultSoftwareAcceleration = false;
constexpr bool kDefaultPreserveAspect = true;
constexpr bool kDefaultConvert = true;
constexpr int kDefaultTextureSize = 256;
constexpr int kDefaultTimeBetween = 5000;
constexpr int kDefaultTargetBmpSize = 256;
constexpr int kDefaultPictureOrder = 0;
constexpr int kPictureOrderCount = 3;

struct Tip {
    int id;
    const char* text;
};

const Tip kTips[] = {
    {IDC_LOW_RESOLUTION, config::kTipLowResolution},
    {IDC_SOFTWARE_ACCELERATION, config::kTipSoftwareAcceleration},
    {IDC_TIME_BETWEEN, config::kTipTimeBetween},
    {IDC_TIME_BETWEEN_LABEL, config::kTipTimeBetween},
    {IDC_TEXTURE_SIZE, config::kTipTextureSize},
    {IDC_TEXTURE_SIZE_LABEL, config::kTipTextureSize},
    {IDC_CONVERT, config::kTipConvert},
    {IDC_PRESERVE_ASPECT, config::kTipPreserveAspect},
    {IDC_TARGET_BMP_SIZE, config::kTipTargetBmpSize},
    {IDC_TARGET_BMP_SIZE_LABEL, config::kTipTargetBmpSize},
    {IDC_PICTURE_ORDER, config::kTipPictureOrder},
    {IDC_PICTURE_ORDER_LABEL, config::kTipPictureOrder},
};

// A stored order the dialog does not know shows as the default, as the show reads it.
int shownPictureOrder(int stored) {
    return stored >= 0 && stored < kPictureOrderCount ? stored : kDefaultPictureOrder;
}

} // namespace

AdvancedDialog::AdvancedDialog(HWND owner, const settings::AppContext& app, config::Help& help)
    : fw::Dialog(IDD_ADVANCED, owner), m_app(app), m_help(help) {
    fw::initCommonControls();
}

AdvancedDialog::~AdvancedDialog() = default;

bool AdvancedDialog::PreTranslateMessage(MSG* msg) {
    m_toolTip.relayEvent(msg);
    return fw::Dialog::PreTranslateMessage(msg);
}

BOOL AdvancedDialog::OnInitDialog() {
    using namespace keys;
    setCheck(IDC_LOW_RESOLUTION, m_app.profile.readInt(kSettings, kLowScreenResolution, kDefaultLowResolution) != 0);
    setCheck(IDC_SOFTWARE_ACCELERATION,
             m_app.profile.readInt(kSettings, kAllowSoftwareAcceleration, kDefaultSoftwareAcceleration) != 0);
    setCheck(IDC_PRESERVE_ASPECT,
             m_app.profile.readInt(kConversionParms, kPreserveAspectRatio, kDefaultPreserveAspect) != 0);
    setCheck(IDC_CONVERT, m_app.profile.readInt(kSettings, kConvert, kDefaultConvert) != 0);
    setNumber(IDC_TEXTURE_SIZE, m_app.profile.readInt(kSettings, kTextureSize, kDefaultTextureSize));
    setNumber(IDC_TIME_BETWEEN, m_app.profile.readInt(kSettings, kTimeBetweenImages, kDefaultTimeBetween));
    setNumber(IDC_TARGET_BMP_SIZE, m_app.profile.readInt(kConversionParms, kTargetBmpSize, kDefaultTargetBmpSize));
    const fw::ComboBox order(item(IDC_PICTURE_ORDER));
    for (const char* choice : config::kPictureOrders)
        order.addString(choice);
    order.select(shownPictureOrder(m_app.profile.readInt(kSettings, kPictureOrder, kDefaultPictureOrder)));

    if (m_toolTip.create(hwnd())) {
        m_toolTip.activate(true);
        m_toolTip.setMaxTipWidth(kTipWidth);
        for (const Tip& tip : kTips)
            (void)m_toolTip.addTool(item(tip.id), tip.text);
    }
    return TRUE;
}

void AdvancedDialog::OnOK() {
    using namespace keys;
    // Every key is stored, changed or not, without any check of the numbers.
    bool stored = m_app.profile.writeInt(kSettings, kLowScreenResolution, isChecked(IDC_LOW_RESOLUTION) ? 1 : 0);
    stored &=
        m_app.profile.writeInt(kSettings, kAllowSoftwareAcceleration, isChecked(IDC_SOFTWARE_ACCELERATION) ? 1 : 0);
    stored &= m_app.profile.writeInt(kConversionParms, kPreserveAspectRatio, isChecked(IDC_PRESERVE_ASPECT) ? 1 : 0);
    stored &= m_app.profile.writeInt(kSettings, kConvert, isChecked(IDC_CONVERT) ? 1 : 0);
    stored &= m_app.profile.writeInt(kSettings, kTextureSize, number(IDC_TEXTURE_SIZE));
    stored &= m_app.profile.writeInt(kSettings, kTimeBetweenImages, number(IDC_TIME_BETWEEN));
    stored &= m_app.profile.writeInt(kSettings, kPictureOrder,
                                     shownPictureOrder(fw::ComboBox(item(IDC_PICTURE_ORDER)).selection()));
    int targetSize = number(IDC_TARGET_BMP_SIZE);
    int storedTargetSize = m_app.profile.readInt(kConversionParms, kTargetBmpSize, kDefaultTargetBmpSize);
    stored &= m_app.profile.writeInt(kConversionParms, kTargetBmpSize, targetSize);
    if (!stored) {
        config::reportSettingsNotSaved(hwnd(), m_app);
        return;
    }
    EndDialog(targetSize != storedTargetSize ? 1 : 0);
}

void AdvancedDialog::OnCancel() {
    EndDialog(0);
}

bool AdvancedDialog::OnCommand(WORD id, WORD notifyCode, HWND) {
    if (notifyCode != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_ADVANCED_HELP:
        OnHelp();
        return true;
    case IDC_RESTORE_DEFAULTS:
        OnRestoreDefaults();
        return true;
    default:
        return false;
    }
}

void AdvancedDialog::OnDestroy() {
    fw::Dialog::OnDestroy();
    m_toolTip.detach();
}

void AdvancedDialog::OnHelp() {
    m_help.open(hwnd(), config::kAdvancedHelpContext);
}

void AdvancedDialog::OnRestoreDefaults() {
    setCheck(IDC_LOW_RESOLUTION, kDefaultLowResolution);
    setCheck(IDC_SOFTWARE_ACCELERATION, kDefaultSoftwareAcceleration);
    setCheck(IDC_PRESERVE_ASPECT, kDefaultPreserveAspect);
    setCheck(IDC_CONVERT, kDefaultConvert);
    setNumber(IDC_TEXTURE_SIZE, kDefaultTextureSize);
    setNumber(IDC_TIME_BETWEEN, kDefaultTimeBetween);
    setNumber(IDC_TARGET_BMP_SIZE, kDefaultTargetBmpSize);
    fw::ComboBox(item(IDC_PICTURE_ORDER)).select(kDefaultPictureOrder);
}

void AdvancedDialog::setCheck(int id, bool checked) const {
    fw::Button(item(id)).setChecked(checked);
}

bool AdvancedDialog::isChecked(int id) const {
    return fw::Button(item(id)).checked();
}

void AdvancedDialog::setNumber(int id, int value) const {
    (void)SetWindowTextA(item(id), std::to_string(value).c_str());
}

int AdvancedDialog::number(int id) const {
    return config::parseDialogInt(fw::windowText(item(id)));
}
