// The application object: start-up hook, main window, message loop, profile file and title.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

class Window;

class WinApp {
public:
    WinApp();
    virtual ~WinApp();
    WinApp(const WinApp&) = delete;
    WinApp& operator=(const WinApp&) = delete;

    // The one application object of the process, or null before it is made.
    static WinApp* current();

    // Runs start-up and, when it asks for it, the message loop. Returns the process exit code.
    int run(HINSTANCE instance);

    HINSTANCE instance() const { return m_instance; }
    const std::string& title() const { return m_title; }

    Window* mainWindow() const { return m_mainWindow; }
    void setMainWindow(Window* window) { m_mainWindow = window; }

    // Every profile read and write goes to this INI file.
    const std::string& profileFile() const { return m_profileFile; }
    void setProfileFile(std::string path) { m_profileFile = std::move(path); }

    // Lets the application see a queued message before it is dispatched.
    virtual bool PreTranslateMessage(MSG* msg);

protected:
    // False ends the program at once; true runs the message loop until WM_QUIT.
    virtual bool InitInstance() = 0;
    virtual int ExitInstance(int exitCode) { return exitCode; }

private:
    HINSTANCE m_instance = nullptr;
    std::string m_title;
    std::string m_profileFile;
    Window* m_mainWindow = nullptr; // not owned: windows delete themselves
};

// Loads a string resource of this module; empty when it is missing.
std::string loadResourceString(UINT id);

} // namespace fw
