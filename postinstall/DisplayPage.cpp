#include "postinstall/DisplayPage.h"

namespace postinstall {

namespace {

// 1 up to Windows 2000 (5.0); XP (5.1) put a Themes page in front of the screen-saver page.
int displayPageIndex(unsigned long majorVersion, unsigned long minorVersion) {
    if (majorVersion > 5 || (majorVersion == 5 && minorVersion >= 1))
        return 2;
    return 1;
}

} // namespace

// Without the C runtime: the launcher links none, so no snprintf here.
void writeDisplayCommand(unsigned long majorVersion, unsigned long minorVersion, char (&line)[kCommandLineBufferSize]) {
    const char* command = majorVersion >= 6 ? kScreenSaverDialogCommand : kControlCommandTemplate;
    const char page = static_cast<char>('0' + displayPageIndex(majorVersion, minorVersion));
    int out = 0;
    for (const char* in = command; *in && out < kCommandLineBufferSize - 1; ++in) {
        if (in[0] == '%' && in[1] == 'd') {
            line[out++] = page;
            ++in;
        } else {
            line[out++] = *in;
        }
    }
    line[out] = '\0';
}

} // namespace postinstall
