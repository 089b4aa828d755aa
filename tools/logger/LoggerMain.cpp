// PrismataLogger.exe <log file>
#include "framework/Handles.h"
#include "framework/WinApp.h"
#include "tools/logger/LoggerWindow.h"

#include <memory>
#include <shellapi.h>

namespace {

class LoggerApp : public fw::WinApp {
protected:
    bool InitInstance() override {
        int argc = 0;
        fw::LocalMemory<LPWSTR> argv(CommandLineToArgvW(GetCommandLineW(), &argc));
        if (!argv || argc < 2)
            return false;
        char path[MAX_PATH * 4];
        int length = WideCharToMultiByte(CP_ACP, 0, argv.get()[1], -1, path, sizeof path, nullptr, nullptr);
        if (length <= 0)
            return false;
        m_window = std::make_unique<LoggerWindow>(path);
        return m_window->create();
    }

private:
    std::unique_ptr<LoggerWindow> m_window;
};

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    LoggerApp app;
    return app.run(instance);
}
