#include "framework/BlockingReads.h"

#include "framework/Handles.h"

#include <algorithm>
#include <vector>

namespace fw {

namespace {

using CancelSynchronousIoFn = BOOL(WINAPI*)(HANDLE thread);

struct Readers {
    CriticalSection lock;
    std::vector<HANDLE> threads; // guarded by lock; each a handle of our own, closed on removal
};
// Never destroyed: a reader may still leave its read while the process ends.
Readers* const g_readers = new Readers;

// kernel32 is loaded in every process; only the function may be missing (before Vista).
const CancelSynchronousIoFn g_cancelSynchronousIo = reinterpret_cast<CancelSynchronousIoFn>(
    reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "CancelSynchronousIo")));

} // namespace

BlockingRead::BlockingRead(const std::function<bool()>& stopRequested) {
    HANDLE self = nullptr;
    // CancelSynchronousIo needs THREAD_TERMINATE access to the thread.
    if (DuplicateHandle(GetCurrentProcess(), GetCurrentThread(), GetCurrentProcess(), &self, THREAD_TERMINATE, FALSE,
                        0)) {
        ScopedLock lock(g_readers->lock);
        g_readers->threads.push_back(self);
        m_thread = self;
    }
    if (stopRequested && stopRequested())
        m_mayRead = false;
}

BlockingRead::~BlockingRead() {
    if (!m_thread)
        return;
    {
        ScopedLock lock(g_readers->lock);
        auto& threads = g_readers->threads;
        threads.erase(std::find(threads.begin(), threads.end(), m_thread));
    }
    (void)CloseHandle(m_thread);
}

void cancelBlockingReads() {
    if (!g_cancelSynchronousIo)
        return;
    ScopedLock lock(g_readers->lock);
    for (HANDLE thread : g_readers->threads)
        (void)g_cancelSynchronousIo(thread); // ERROR_NOT_FOUND when it is not inside the read yet, or no longer
}

} // namespace fw
