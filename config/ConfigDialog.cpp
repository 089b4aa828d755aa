#include "config/ConfigDialog.h"

#include "resources/resource.h"

ConfigDialog::ConfigDialog(HWND owner) : fw::Dialog(IDD_CONFIG, owner) {}
