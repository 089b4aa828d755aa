// The About box: the application icon, what the program is, its credits and a short legal notice.
#pragma once

#include "framework/Dialog.h"

class AboutDialog : public fw::Dialog {
public:
    explicit AboutDialog(HWND owner);
};
