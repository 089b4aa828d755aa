// Polling for a condition with a time limit, with or without serving this thread's windows meanwhile.
#pragma once

#include <windows.h>

#include <functional>

namespace support {

// Polls every few milliseconds; for threads that own no windows.
bool waitUntil(const std::function<bool()>& condition, DWORD milliseconds);

// Dispatches the messages waiting for this thread's windows.
void pumpMessages();

// Dispatches this thread's messages between polls, so that its own windows stay alive while it waits.
bool pumpUntil(const std::function<bool()>& condition, DWORD milliseconds);

} // namespace support
