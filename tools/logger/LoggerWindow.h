// A window titled "Prismata Debug Logger" that appends every WM_COPYDATA text to a file.
#pragma once

#include "framework/Window.h"

#include <cstdio>
#include <string>

class LoggerWindow : public fw::Window {
public:
    explicit LoggerWindow(std::string logPath);
    ~LoggerWindow() override;

    bool create();

protected:
    BOOL OnCopyData(HWND sender, COPYDATASTRUCT* data) override;
    void OnDestroy() override;

private:
    std::string m_logPath;
    std::FILE* m_file = nullptr;
};
