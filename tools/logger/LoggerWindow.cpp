#include "tools/logger/LoggerWindow.h"

namespace {
const char kLoggerTitle[] = "Prismata Debug Logger";
const char kNoTerminator[] = "<missing terminator>";
} // namespace

LoggerWindow::LoggerWindow(std::string logPath) : m_logPath(std::move(logPath)) {}

LoggerWindow::~LoggerWindow() {
    if (m_file)
        std::fclose(m_file);
}

bool LoggerWindow::create() {
    m_file = std::fopen(m_logPath.c_str(), "ab");
    if (!m_file)
        return false;
    std::string windowClass =
        registerWindowClass(0, LoadCursorA(nullptr, IDC_ARROW), reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), nullptr);
    RECT rect{600, 0, 1000, 200};
    // Never shown: tests only need the title to be found.
    return CreateEx(0, windowClass, kLoggerTitle, WS_OVERLAPPEDWINDOW, rect, nullptr, 0);
}

BOOL LoggerWindow::OnCopyData(HWND, COPYDATASTRUCT* data) {
    if (!data || !m_file)
        return FALSE;
    const char* bytes = static_cast<const char*>(data->lpData);
    size_t size = data->cbData;
    // The text arrives zero-terminated; the file holds only the text, so a missing zero is marked.
    if (size > 0 && bytes && bytes[size - 1] == '\0') {
        std::fwrite(bytes, 1, size - 1, m_file);
    } else {
        if (size > 0 && bytes)
            std::fwrite(bytes, 1, size, m_file);
        std::fputs(kNoTerminator, m_file);
    }
    std::fflush(m_file);
    return TRUE;
}

void LoggerWindow::OnDestroy() {
    PostQuitMessage(0);
    fw::Window::OnDestroy();
}
