// Diagnostic lines to the "Prismata Debug Logger" window, when one exists. Callable from any thread.
#pragma once

#include <windows.h>

#include <atomic>

void Trace(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

namespace trace {

// The logger lookup state. The program has one per process behind Trace; tests make their own.
class TraceChannel {
public:
    void send(const char* format, va_list args);

private:
    std::atomic<bool> m_lookupPending{true};
    std::atomic<HWND> m_loggerWindow{nullptr};
};

} // namespace trace
