// Reads that may block for as long as the file's server takes (a network share that stopped answering, a
// cloud file being fetched) are registered while they run, so that whoever stops their thread can cancel
// them instead of waiting.
#pragma once

#include <functional>

namespace fw {

// Registers the calling thread for one read. A thread that stops readers raises their stop and then
// cancels the registered reads; a reader registers and then asks its stop, so it either is cancelled or
// sees the stop and does not begin.
class BlockingRead {
public:
    explicit BlockingRead(const std::function<bool()>& stopRequested);
    ~BlockingRead();
    BlockingRead(const BlockingRead&) = delete;
    BlockingRead& operator=(const BlockingRead&) = delete;

    // False when the stop came first: the read is not to begin.
    bool mayRead() const { return m_mayRead; }

private:
    void* m_thread = nullptr;
    bool m_mayRead = true;
};

// Cancels the synchronous I/O of every thread inside a registered read now (CancelSynchronousIo, from
// Windows Vista on; earlier systems have none, and the read then ends when its server answers). The
// cancelled read fails. Call it again while waiting: a reader may be just about to enter its read.
void cancelBlockingReads();

} // namespace fw
