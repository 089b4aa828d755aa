// The frame clock: a one-shot multimedia timer armed again after each tick, so a slow frame delays the
// next one instead of piling ticks up. Ticks run on the system's timer thread.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <functional>

// The system's multimedia-timer calls; tests put in their own (one that gives no timer, say).
struct MultimediaTimerCalls {
    decltype(&timeSetEvent) setEvent = timeSetEvent;
    decltype(&timeKillEvent) killEvent = timeKillEvent;
};

class FrameTimer {
public:
    // Runs on the timer thread; false ends the chain.
    using Tick = std::function<bool()>;
    // Runs on the timer thread when the system gives no timer for the next tick: the chain has ended.
    using RearmFailed = std::function<void()>;

    using Calls = MultimediaTimerCalls;

    FrameTimer(UINT delayMs, UINT resolutionMs, Calls calls = {})
        : m_delay(delayMs), m_resolution(resolutionMs), m_calls(calls) {}
    ~FrameTimer() { stop(); }
    FrameTimer(const FrameTimer&) = delete;
    FrameTimer& operator=(const FrameTimer&) = delete;

    // Stops the running chain, if any, then arms a new one. False when the system gave no timer.
    // start and stop are called from one thread at a time: the owner's, or from inside a tick.
    bool start(Tick tick, RearmFailed rearmFailed = {});
    // Afterwards no tick is running (other than the caller, when called from one) and none will run.
    void stop();

    struct Chain; // defined with the timer's code

private:
    static void CALLBACK timerProc(UINT timerId, UINT message, DWORD_PTR user, DWORD_PTR, DWORD_PTR);

    UINT m_delay;
    UINT m_resolution;
    Calls m_calls;
    Chain* m_chain = nullptr; // the chain this timer drives, if any
};
