// A picture read that hangs, as from a network share that stopped answering, put into the read seam.
// The first read blocks in a real synchronous ReadFile (on a pipe that never gets data), so only a real
// CancelSynchronousIo on the reading thread ends it, failing with ERROR_OPERATION_ABORTED; later reads read
// the file. Dropping the scope ends a read still blocked (the pipe breaks).
#pragma once

#include "framework/Handles.h"
#include "framework/WholeFile.h"

#include <windows.h>

#include <atomic>
#include <cstdint>

namespace support {

class HungRead {
public:
    HungRead() {
        HANDLE readEnd = nullptr, writeEnd = nullptr;
        (void)CreatePipe(&readEnd, &writeEnd, nullptr, 0);
        s_pipe.reset(readEnd);
        s_writeEnd.reset(writeEnd);
        s_blocked.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        s_hung = false;
        s_cancelled = false;
        s_ended = false;
        fw::setReadChunkForTests(read);
    }
    ~HungRead() {
        fw::setReadChunkForTests(nullptr);
        s_writeEnd.reset();
    }
    HungRead(const HungRead&) = delete;
    HungRead& operator=(const HungRead&) = delete;

    static bool waitUntilBlocked(DWORD milliseconds) {
        return WaitForSingleObject(s_blocked.get(), milliseconds) == WAIT_OBJECT_0;
    }
    // Breaks the pipe: a read still blocked fails, as when a share gives up.
    static void release() { s_writeEnd.reset(); }
    // The hung read has returned, and whether it was cancelled.
    static bool ended() { return s_ended.load(); }
    static bool cancelled() { return s_cancelled.load(); }

private:
    static bool read(void* file, void* into, std::uint32_t bytes, std::uint32_t& got) {
        DWORD read = 0;
        if (s_hung.exchange(true)) {
            const bool ok = ReadFile(file, into, bytes, &read, nullptr) != FALSE;
            got = read;
            return ok;
        }
        (void)SetEvent(s_blocked.get());
        const bool ok = ReadFile(s_pipe.get(), into, bytes, &read, nullptr) != FALSE;
        s_cancelled = !ok && GetLastError() == ERROR_OPERATION_ABORTED;
        s_ended = true;
        got = 0;
        return false;
    }

    static inline fw::KernelHandle s_pipe;
    static inline fw::KernelHandle s_writeEnd;
    static inline fw::KernelHandle s_blocked;
    static inline std::atomic<bool> s_hung{false};
    static inline std::atomic<bool> s_cancelled{false};
    static inline std::atomic<bool> s_ended{false};
};

} // namespace support
