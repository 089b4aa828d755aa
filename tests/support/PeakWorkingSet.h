// The most this process's working set has been, in bytes (0 when the system does not say).
#pragma once

#include <windows.h>

#include <psapi.h>

#include <cstddef>

namespace support {

inline std::size_t peakWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    return GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters) ? counters.PeakWorkingSetSize : 0;
}

} // namespace support
