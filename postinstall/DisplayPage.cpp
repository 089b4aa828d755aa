#include "postinstall/DisplayPage.h"

namespace postinstall {

int displayPageIndex(unsigned long majorVersion, unsigned long minorVersion) {
    // XP put a Themes page in front of the screen-saver page.
    if (majorVersion > 5 || (majorVersion == 5 && minorVersion >= 1))
        return 2;
    return 1;
}

} // namespace postinstall
