#include "framework/Trace.h"

#include "framework/TraceText.h"

#include <string>

namespace trace {

namespace {
const char kLoggerTitle[] = "Prismata Debug Logger";
}

void TraceChannel::send(const char* format, va_list args) {
    // Two threads tracing first at once may both look; they store the same answer.
    if (m_lookupPending.load(std::memory_order_acquire)) {
        m_loggerWindow.store(FindWindowA(nullptr, kLoggerTitle), std::memory_order_relaxed);
        m_lookupPending.store(false, std::memory_order_release);
    }
    HWND logger = m_loggerWindow.load(std::memory_order_relaxed);
    if (!logger)
        return;

    char buffer[kTraceBufferSize];
    formatTraceBuffer(buffer, format, args);
    if (GetACP() == CP_UTF8)
        dropSplitUtf8Character(buffer);
    std::string text = widenLineEnds(buffer);

    COPYDATASTRUCT data{};
    data.dwData = 0;
    data.cbData = static_cast<DWORD>(text.size() + 1);
    data.lpData = const_cast<char*>(text.c_str());
    (void)SendMessageA(logger, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

} // namespace trace

namespace {
trace::TraceChannel g_processChannel;
}

void Trace(const char* format, ...) {
    va_list args;
    va_start(args, format);
    g_processChannel.send(format, args);
    va_end(args);
}
