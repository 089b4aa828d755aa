#include "saver/FrameTimer.h"

#include "framework/Trace.h"
#include "framework/Handles.h"

#include <mmsystem.h>

#include <atomic>
#include <map>
#include <utility>

namespace {
// Synchronous kill: no event of the chain occurs after timeKillEvent is called.
constexpr UINT kFlags = TIME_ONESHOT | TIME_KILL_SYNCHRONOUS;
} // namespace

// One chain of one-shot ticks, shared by its owner and by each tick while that tick runs.
struct FrameTimer::Chain {
    Chain(Tick work, RearmFailed failed, UINT delayMs, UINT resolutionMs, Calls timerCalls)
        : tick(std::move(work)), rearmFailed(std::move(failed)), delay(delayMs), resolution(resolutionMs),
          calls(timerCalls) {}
    void release() {
        if (refs.fetch_sub(1, std::memory_order_acq_rel) == 1)
            delete this;
    }
    UINT arm() { return calls.setEvent(delay, resolution, timerProc, key, kFlags); }

    std::atomic<int> refs{1};
    fw::CriticalSection tickLock; // held while a tick runs and while the owner lets go
    const Tick tick;
    const RearmFailed rearmFailed;
    const UINT delay;
    const UINT resolution;
    const Calls calls;
    DWORD_PTR key = 0;  // what the events carry instead of the chain's address
    bool live = true;   // false once the owner let go
    UINT pendingId = 0; // armed and not yet started
};

namespace {
// The chains that may still tick, by key. Keys are never reused, so an event that fires for a chain that
// is gone finds nothing.
struct Registry {
    fw::CriticalSection lock;
    std::map<DWORD_PTR, FrameTimer::Chain*> chains; // guarded by lock
    DWORD_PTR lastKey = 0;                          // guarded by lock
};
// Never destroyed: a late event may still look here while the process ends.
Registry* const g_registry = new Registry;
Registry& registry() {
    return *g_registry;
}
} // namespace

bool FrameTimer::start(Tick tick, RearmFailed rearmFailed) {
    stop();
    auto* chain = new Chain(std::move(tick), std::move(rearmFailed), m_delay, m_resolution, m_calls);
    {
        Registry& chains = registry();
        fw::ScopedLock lock(chains.lock);
        chain->key = ++chains.lastKey;
        chains.chains.emplace(chain->key, chain);
    }
    UINT armed = 0;
    {
        // The first tick waits until the chain is fully recorded.
        fw::ScopedLock lock(chain->tickLock);
        armed = chain->arm();
        chain->pendingId = armed;
    }
    m_chain = chain;
    if (!armed)
        stop();
    return armed != 0;
}

void CALLBACK FrameTimer::timerProc(UINT, UINT, DWORD_PTR key, DWORD_PTR, DWORD_PTR) {
    Chain* chain = nullptr;
    {
        Registry& chains = registry();
        fw::ScopedLock lock(chains.lock);
        const auto found = chains.chains.find(key);
        if (found == chains.chains.end())
            return; // stopped and gone: nothing of it is touched
        chain = found->second;
        chain->refs.fetch_add(1, std::memory_order_relaxed);
    }
    {
        fw::ScopedLock lock(chain->tickLock);
        chain->pendingId = 0;
        if (chain->live) {
            // The tick may stop this chain itself (a restart from inside it): then it is not armed again.
            if (chain->tick()) {
                if (chain->live) {
                    chain->pendingId = chain->arm();
                    if (chain->pendingId == 0 && chain->rearmFailed)
                        chain->rearmFailed();
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
    chain->release();
}

void FrameTimer::stop() {
    Chain* chain = std::exchange(m_chain, nullptr);
    if (!chain)
        return;
    {
        Registry& chains = registry();
        fw::ScopedLock lock(chains.lock);
        (void)chains.chains.erase(chain->key);
    }
    UINT pending = 0;
    {
        // Waits for a running tick; from here on no tick of this chain runs.
        fw::ScopedLock lock(chain->tickLock);
        chain->live = false;
        pending = chain->pendingId;
        chain->pendingId = 0;
    }
    // An event that fired before this kill, whether the kill waits for its callback or returns at once,
    // finds its key gone or holds a reference of its own: no tick ever touches a freed chain.
    if (pending != 0)
        (void)chain->calls.killEvent(pending);
    chain->release();
}
