// The frame clock alone, without a window or an engine: ticks until stopped and none after, a tick that
// ends its chain (without killing its own event from inside its callback), a restart from inside a
// tick that leaves exactly one chain running, and an event that fired just before stop's kill.
#include "saver/FrameTimer.h"
#include "framework/Handles.h"
#include "tests/win/LibraryTestSupport.h"

#include <gtest/gtest.h>

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <thread>

using namespace librarytest;

namespace {
// While set, freed memory is overwritten and kept from reuse, so that a use after free meets garbage (a lock
// that never comes free) instead of what happened to be left there.
std::atomic<bool> g_poisonFreed{false};
} // namespace

void operator delete(void* p) noexcept {
    if (p && g_poisonFreed.load()) {
        std::memset(p, 0xDD, _msize(p));
        return;
    }
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    operator delete(p);
}

namespace {

constexpr UINT kDelay = 20;
constexpr UINT kResolution = 5;

// The system's multimedia timer, watched: counts the kills made from inside a timer callback.
std::atomic<LPTIMECALLBACK> g_timerProc{nullptr};
thread_local bool t_inCallback = false;
std::atomic<int> g_killsFromCallback{0};

void CALLBACK watchedCallback(UINT id, UINT message, DWORD_PTR user, DWORD_PTR first, DWORD_PTR second) {
    t_inCallback = true;
    g_timerProc.load()(id, message, user, first, second);
    t_inCallback = false;
}
MMRESULT WINAPI watchedSetEvent(UINT delay, UINT resolution, LPTIMECALLBACK proc, DWORD_PTR user, UINT flags) {
    g_timerProc = proc;
    return timeSetEvent(delay, resolution, watchedCallback, user, flags);
}
MMRESULT WINAPI watchedKillEvent(UINT id) {
    if (t_inCallback)
        ++g_killsFromCallback;
    return timeKillEvent(id);
}

TEST(FrameTimer, TicksUntilStoppedAndNeverAfter) {
    FrameTimer timer(kDelay, kResolution);
    std::atomic<int> ticks{0};
    for (int round = 0; round < 2; ++round) {
        const int before = ticks.load();
        ASSERT_TRUE(timer.start([&] {
            ++ticks;
            return true;
        }));
        ASSERT_TRUE(waitUntil([&] { return ticks.load() >= before + 5; }, 5000)) << "round " << round;
        timer.stop();
        const int stopped = ticks.load();
        Sleep(5 * kDelay);
        EXPECT_EQ(ticks.load(), stopped) << "a tick ran after stop, round " << round;
    }
}

TEST(FrameTimer, ATickReturningFalseEndsTheChain) {
    TraceRecorder& recorder = TraceRecorder::instance();
    recorder.clear();
    FrameTimer timer(kDelay, kResolution, {watchedSetEvent, watchedKillEvent});
    std::atomic<int> ticks{0};
    ASSERT_TRUE(timer.start([&] { return ++ticks < 3; }));
    ASSERT_TRUE(waitUntil([&] { return ticks.load() >= 3; }, 5000));
    Sleep(5 * kDelay);
    EXPECT_EQ(ticks.load(), 3);
    EXPECT_TRUE(waitUntil([&] { return recorder.text().find("Done killing mmtimer\r\n") != std::string::npos; }, 2000));
    EXPECT_EQ(recorder.text(), "Killing mmtimer!\r\nDone killing mmtimer\r\n");
    // The one-shot event of that tick has fired and is over. Killing it from its own callback, with the
    // synchronous kill, would wait for the callback that makes the call.
    EXPECT_EQ(g_killsFromCallback.load(), 0);
    timer.stop(); // the ended chain is let go once more without harm
}

TEST(FrameTimer, RestartFromInsideATickLeavesOneChain) {
    FrameTimer timer(kDelay, kResolution);
    std::atomic<int> firstTicks{0};
    std::atomic<int> secondTicks{0};
    std::atomic<bool> restarted{false};
    ASSERT_TRUE(timer.start([&] {
        if (++firstTicks == 3) {
            restarted = timer.start([&] {
                ++secondTicks;
                return true;
            });
        }
        return true;
    }));
    ASSERT_TRUE(waitUntil([&] { return secondTicks.load() >= 5; }, 5000));
    EXPECT_TRUE(restarted.load());
    const int start = secondTicks.load();
    const DWORD began = GetTickCount();
    Sleep(1000);
    const double rate = (secondTicks.load() - start) * 1000.0 / (GetTickCount() - began);
    timer.stop();
    EXPECT_EQ(firstTicks.load(), 3) << "the first chain ticked on after its restart";
    // One chain ticks at most 50 times a second; two would tick about twice as often.
    EXPECT_LE(rate, 55.0);
    EXPECT_GT(rate, 5.0);
}

// A one-shot event that has fired just before stop kills it: its callback comes late, after the kill.
// Whether the system's kill then returns at once or waits for that callback is not documented.
enum class LateKill { ReturnsAtOnce, WaitsForTheCallback };
LPTIMECALLBACK g_lateProc = nullptr;
DWORD_PTR g_lateUser = 0;
LateKill g_lateKill = LateKill::ReturnsAtOnce;
std::unique_ptr<std::thread> g_lateCallback;
fw::KernelHandle g_goLate;
fw::KernelHandle g_lateDone;

MMRESULT WINAPI firedSetEvent(UINT, UINT, LPTIMECALLBACK proc, DWORD_PTR user, UINT) {
    g_lateProc = proc;
    g_lateUser = user;
    return 7;
}
MMRESULT WINAPI firedKillEvent(UINT id) {
    g_lateCallback = std::make_unique<std::thread>([id] {
        if (g_lateKill == LateKill::ReturnsAtOnce)
            (void)WaitForSingleObject(g_goLate.get(), INFINITE);
        g_lateProc(id, 0, g_lateUser, 0, 0);
        (void)SetEvent(g_lateDone.get());
    });
    if (g_lateKill == LateKill::WaitsForTheCallback)
        g_lateCallback->join();
    return TIMERR_NOERROR;
}

TEST(FrameTimer, ALateCallbackAfterStopTouchesNothingWhateverTheKillDoes) {
    for (const LateKill kill : {LateKill::ReturnsAtOnce, LateKill::WaitsForTheCallback}) {
        const char* label = kill == LateKill::ReturnsAtOnce ? "kill returns at once" : "kill waits";
        g_lateKill = kill;
        g_goLate.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        g_lateDone.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
        auto captured = std::make_shared<int>(0);
        std::atomic<int> ticks{0};
        g_poisonFreed = true;
        {
            FrameTimer timer(kDelay, kResolution, {firedSetEvent, firedKillEvent});
            ASSERT_TRUE(timer.start([&ticks, captured] { return ++ticks > 0; })) << label;
            timer.stop();
            EXPECT_EQ(captured.use_count(), 1) << label << ": the chain outlived its stop";
        }
        (void)SetEvent(g_goLate.get());
        const bool back = WaitForSingleObject(g_lateDone.get(), 2000) == WAIT_OBJECT_0;
        g_poisonFreed = false;
        ASSERT_TRUE(back) << label << ": the late callback never came back (it touched its freed chain)";
        if (g_lateCallback->joinable())
            g_lateCallback->join();
        EXPECT_EQ(ticks.load(), 0) << label;
    }
}

} // namespace
