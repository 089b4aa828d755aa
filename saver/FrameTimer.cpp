#include "saver/FrameTimer.h"

#include "framework/Trace.h"
#include "framework/Handles.h"

#include <mmsystem.h>

#include <atomic>
#include <utility>

namespace {
// Synchronous kill: once timeKillEvent returns, that tick has either finished or will never run.
constexpr UINT kFlags = TIME_ONESHOT | TIME_KILL_SYNCHRONOUS;
} // namespace

// One chain of one-shot ticks. The owner and the pending tick each hold a reference, so a tick that
// fires after the owner let go still finds the chain, sees it stopped and ends.
struct FrameTimer::Chain {
    Chain(Tick work, UINT delayMs, UINT resolutionMs, Calls timerCalls)
        : tick(std::move(work)), delay(delayMs), resolution(resolutionMs), calls(timerCalls) {}
    void release() {
        if (refs.fetch_sub(1, std::memory_order_acq_rel) == 1)
            delete this;
    }
    UINT arm() { return calls.setEvent(delay, resolution, timerProc, reinterpret_cast<DWORD_PTR>(this), kFlags); }

    std::atomic<int> refs{2};
    fw::CriticalSection tickLock; // held while a tick runs and while the owner lets go
    const Tick tick;
    const UINT delay;
    const UINT resolution;
    const Calls calls;
    bool live = true;   // false once the owner let go
    UINT pendingId = 0; // armed and not yet started; 0 once its tick has begun
};

bool FrameTimer::start(Tick tick) {
    stop();
    auto* chain = new Chain(std::move(tick), m_delay, m_resolution, m_calls);
    UINT armed = 0;
    {
        // The first tick waits until the chain is fully recorded.
        fw::ScopedLock lock(chain->tickLock);
        armed = chain->arm();
        chain->pendingId = armed;
        if (armed)
            m_chain = chain;
    }
    if (!armed)
        delete chain;
    return armed != 0;
}

void CALLBACK FrameTimer::timerProc(UINT, UINT, DWORD_PTR user, DWORD_PTR, DWORD_PTR) {
    auto* chain = reinterpret_cast<Chain*>(user);
    bool rearmed = false;
    {
        fw::ScopedLock lock(chain->tickLock);
        chain->pendingId = 0;
        if (chain->live) {
            // The tick may stop this chain itself (a restart from inside it): then it is not armed again.
            if (chain->tick()) {
                if (chain->live) {
                    chain->pendingId = chain->arm();
                    rearmed = chain->pendingId != 0;
                }
            } else {
                // This tick's one-shot event has fired and is over, so the chain ends by not arming another.
                // No kill of it here: a synchronous kill waits for the event's running callback, which is
                // this one, and the system documents no exception for a call from inside it.
                Trace("Killing mmtimer!\n");
                Trace("Done killing mmtimer\n");
            }
        }
    }
    // The pending tick's reference passes to the next tick, or goes with the end of the chain.
    if (!rearmed)
        chain->release();
}

void FrameTimer::stop() {
    Chain* chain = std::exchange(m_chain, nullptr);
    if (!chain)
        return;
    UINT pending = 0;
    {
        // Waits for a running tick; from here on no tick of this chain runs.
        fw::ScopedLock lock(chain->tickLock);
        chain->live = false;
        pending = chain->pendingId;
    }
    if (pending != 0) {
        (void)chain->calls.killEvent(pending);
        bool cancelled = false;
        {
            fw::ScopedLock lock(chain->tickLock);
            // Still unclaimed after the synchronous kill: the tick will never run, so its reference is ours.
            cancelled = chain->pendingId == pending;
            chain->pendingId = 0;
        }
        if (cancelled)
            chain->release();
    }
    chain->release();
}
