#include "app/SaverApp.h"

#include "app/CommandLine.h"
#include "app/InstallFolder.h"
#include "framework/Handles.h"
#include "framework/Trace.h"
#include "library/CacheFolder.h"
#include "saver/CubeWindow.h"
#include "saver/SaverWindow.h"

namespace {
const char kMutexName[] = "PrismataRunning";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Prismata_is1";
const char kAppPathValue[] = "Inno Setup: App Path";
const char kProfileFileName[] = "Prismata.ini";
const char kPreviewTitle[] = "Prismata Preview";
const char kRegistryMissingText[] =
    "Prismata's registry information is missing. Did you use the Prismata install program?";
const char kFatalErrorCaption[] = "Prismata Fatal Error";

HWND handleFromNumber(std::int64_t number) {
    return reinterpret_cast<HWND>(static_cast<intptr_t>(number));
}
} // namespace

bool SaverApp::InitInstance() {
    // Left open for the life of the process; an existing one is no error.
    (void)CreateMutexA(nullptr, FALSE, kMutexName);

    if (!readInstallFolder()) {
        showRegistryFatalError();
        return false;
    }
    makeContext();

    HWND window = nullptr;
    switch (parseCommandLine(window)) {
    case SaverMode::ModeConfig:
        Trace("*\n");
        Trace(" Prismata starting in config mode\n");
        Trace("*\n");
        runConfiguration(window);
        return false;
    case SaverMode::ModeChangePassword:
        Trace("*\n");
        Trace(" Prismata starting in password entry mode\n");
        Trace("*\n");
        changePassword(window);
        return false;
    case SaverMode::ModePreview:
        Trace("*\n");
        Trace("* Prismata starting in thumbnail preview mode\n");
        Trace("*\n");
        return startPreview(window);
    case SaverMode::ModeSaver:
        Trace("*\n");
        Trace("* Prismata starting in screen saver mode\n");
        Trace("*\n");
        return startSaverWindow(SaverMode::ModeSaver);
    case SaverMode::ModeTest:
        Trace("*\n");
        Trace(" Prismata starting in test mode\n");
        Trace("*\n");
        Trace("Starting in test mode\n");
        return startSaverWindow(SaverMode::ModeTest);
    case SaverMode::ModeNone:
        return false;
    }
    return false;
}

bool SaverApp::readInstallFolder() {
    fw::RegKey key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, key.receive()) != ERROR_SUCCESS)
        return false;
    char buffer[install::kAppPathBufferSize];
    DWORD type = 0;
    DWORD size = sizeof buffer;
    if (RegQueryValueExA(key.get(), kAppPathValue, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) !=
        ERROR_SUCCESS)
        return false;
    auto folder = install::folderFromRegistryValue(type, buffer, size);
    if (!folder)
        return false;
    m_context.installFolder = *folder;
    return true;
}

void SaverApp::makeContext() {
    m_context.profilePath = m_context.installFolder + kProfileFileName;
    setProfileFile(m_context.profilePath);
    m_context.cacheFolder = library::cacheFolderOf(m_context.installFolder);
    m_context.title = title();
}

void SaverApp::showRegistryFatalError() {
    Trace("Couldn't find app path in registry... Aborting\n");
    (void)MessageBoxA(nullptr, kRegistryMissingText, kFatalErrorCaption, MB_SYSTEMMODAL | MB_ICONEXCLAMATION);
    PostQuitMessage(0);
}

SaverMode SaverApp::parseCommandLine(HWND& window) {
    ParsedCommandLine parsed = parseCommandLineText(GetCommandLineA());
    window = parsed.useForegroundWindow ? GetForegroundWindow() : handleFromNumber(parsed.handle);
    return parsed.mode;
}

bool SaverApp::startPreview(HWND parent) {
    // Without a real parent there is no window whose end would end the program: stop now.
    if (!parent || !IsWindow(parent))
        return false;
    RECT client{};
    (void)GetClientRect(parent, &client);
    RECT rect{0, 0, client.right - client.left, client.bottom - client.top};
    auto* window = new CubeWindow(true, m_context.profile);
    if (!window->Create(0, kPreviewTitle, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, rect, parent, 0)) {
        delete window;
        return false;
    }
    setMainWindow(window);
    return true;
}

bool SaverApp::startSaverWindow(SaverMode mode) {
    auto* window = new SaverWindow(true, m_context.profile);
    bool made = mode == SaverMode::ModeSaver ? window->createFullScreen(m_context.title)
                                             : window->createTestWindow(m_context.title);
    if (!made) {
        delete window;
        return false;
    }
    setMainWindow(window);
    return true;
}
