// The application object the profile functions need, for a test or benchmark with no window of its own.
#pragma once

#include "framework/WinApp.h"

namespace support {

class BareApp : public fw::WinApp {
protected:
    bool InitInstance() override { return false; }
};

} // namespace support
