#include "config/AboutDialog.h"

#include "resources/resource.h"

AboutDialog::AboutDialog(HWND owner) : fw::Dialog(IDD_ABOUT, owner) {}
