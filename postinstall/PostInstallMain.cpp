// PrismataPostInstall: run once at the end of installation. Greets the user, then opens the system's
// screen-saver choice (the Display Properties' page, or its own dialog from Vista on) and ends without
// waiting for it.
//
// Built without the C runtime (entry point PostInstallEntry) so that it imports from kernel32 and
// user32 only; an MSVC build links it with /NODEFAULTLIB /ENTRY:PostInstallEntry.
#include <windows.h>

#include "postinstall/DisplayPage.h"
#include "postinstall/PostInstallTexts.h"

namespace {

void startDisplayProperties() {
    OSVERSIONINFOA version;
    SecureZeroMemory(&version, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    // On failure the zeroes stand: version 0.0, the first page.
    (void)GetVersionExA(&version);

    char commandLine[postinstall::kCommandLineBufferSize];
    postinstall::writeDisplayCommand(version.dwMajorVersion, version.dwMinorVersion, commandLine);

    // No window position, size, show state or standard handles: the applet decides its own look.
    STARTUPINFOA startup;
    SecureZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    SecureZeroMemory(&process, sizeof process);
    // No application name: control.exe is found through the search path. A failure is not reported;
    // the user can still open the Display Properties by hand. The handles go with the process.
    (void)CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, CREATE_DEFAULT_ERROR_MODE, nullptr, nullptr,
                         &startup, &process);
}

} // namespace

extern "C" void WINAPI PostInstallEntry() {
    // The applet starts only once the user has read the welcome.
    (void)MessageBoxA(GetDesktopWindow(), postinstall::kWelcomeText, postinstall::kWelcomeCaption, MB_OK);
    startDisplayProperties();
    ExitProcess(0);
}
