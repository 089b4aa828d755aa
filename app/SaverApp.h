// The application object: start-up, the install folder and the mode dispatch.
#pragma once

#include "app/SaverMode.h"
#include "framework/WinApp.h"
#include "settings/AppContext.h"

#include <string>

class SaverApp : public fw::WinApp {
public:
    SaverApp() = default;
    ~SaverApp() override = default;

    // Always ends with a backslash once start-up has read it.
    const std::string& installFolder() const { return m_context.installFolder; }
    // Made once by start-up and handed to every part that needs it.
    const settings::AppContext& context() const { return m_context; }

    // Mode entry points.
    void runConfiguration(HWND parent);
    void changePassword(HWND parent);

protected:
    bool InitInstance() override;

private:
    SaverMode parseCommandLine(HWND& window);
    bool readInstallFolder();
    void makeContext();
    void showRegistryFatalError();
    bool startPreview(HWND parent);
    bool startSaverWindow(SaverMode mode);

    settings::AppContext m_context;
};
