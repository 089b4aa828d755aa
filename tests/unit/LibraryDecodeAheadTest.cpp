// Pictures prepared ahead of the thread that takes them in order: each once, in order, within the limits,
// and nothing more begun once the build is stopped.
#include "library/DecodeAhead.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

namespace {

class Flag : public imaging::StopSignal {
public:
    bool stopRequested() const override { return raised.load(); }
    std::atomic<bool> raised{false};
};

// What the preparations saw, for the checks after the run.
struct Record {
    std::mutex mutex;
    std::vector<std::size_t> prepared;
    std::atomic<int> running{0};
    int mostRunning = 0;
    std::set<std::thread::id> threads;

    // Uneven work, so the helpers and the owner overtake each other.
    std::size_t prepare(std::size_t index) {
        const int now = ++running;
        {
            std::lock_guard<std::mutex> lock(mutex);
            prepared.push_back(index);
            mostRunning = std::max(mostRunning, now);
            threads.insert(std::this_thread::get_id());
        }
        std::this_thread::sleep_for(std::chrono::microseconds(index % 3 == 0 ? 3000 : 200));
        --running;
        return index * 10;
    }
};

TEST(LibraryDecodeAhead, EveryPictureOnceInOrderWithinTheLimits) {
    const struct {
        int helpers;
        std::size_t ahead;
    } cases[] = {{0, 3}, {1, 1}, {1, 2}, {1, 3}, {3, 2}, {3, 5}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.helpers) + " helpers, " + std::to_string(c.ahead) + " ahead");
        Record record;
        const std::size_t count = 40;
        std::vector<std::size_t> taken;
        {
            library::DecodeAhead<std::size_t> ahead(
                count, c.helpers, c.ahead,
                [&record](std::size_t index, const imaging::StopSignal&) { return record.prepare(index); }, nullptr);
            EXPECT_EQ(ahead.helperCount(), c.helpers);
            for (std::size_t i = 0; i < count; ++i) {
                taken.push_back(ahead.takeNext());
                // Never more than `ahead` begun beyond what the owner has taken before this one.
                std::lock_guard<std::mutex> lock(record.mutex);
                for (std::size_t index : record.prepared)
                    EXPECT_LT(index, i + 1 + c.ahead);
            }
        }
        for (std::size_t i = 0; i < count; ++i)
            EXPECT_EQ(taken[i], i * 10);
        std::multiset<std::size_t> once(record.prepared.begin(), record.prepared.end());
        EXPECT_EQ(once.size(), count);
        for (std::size_t i = 0; i < count; ++i)
            EXPECT_EQ(once.count(i), 1u) << i;
        EXPECT_LE(record.mostRunning, std::min<int>(c.helpers + 1, static_cast<int>(c.ahead)));
        if (c.helpers == 0)
            EXPECT_EQ(record.threads, std::set<std::thread::id>{std::this_thread::get_id()});
    }
}

TEST(LibraryDecodeAhead, AStopEndsTheWorkUnderWayAndBeginsNoMore) {
    Flag abort;
    std::atomic<int> begun{0}, stoppedEarly{0};
    auto prepare = [&](std::size_t index, const imaging::StopSignal& stop) {
        ++begun;
        // A long decode that polls its stop, as the decoders do between rows.
        for (int row = 0; row < 20000; ++row) {
            if (stop.stopRequested()) {
                ++stoppedEarly;
                return std::size_t(0);
            }
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        return index + 1;
    };
    {
        library::DecodeAhead<std::size_t> ahead(100, 1, 3, prepare, &abort);
        abort.raised = true;
        EXPECT_EQ(ahead.takeNext(), 0u); // the owner's own picture, stopped as well
    }
    // Only the owner's first picture was begun (by the helper or by the owner), and it was stopped.
    EXPECT_EQ(begun.load(), 1);
    EXPECT_EQ(stoppedEarly.load(), 1);

    // Once stopped, the owner still gets a result for each picture it takes, but prepares them itself.
    Record record;
    {
        library::DecodeAhead<std::size_t> ahead(
            10, 2, 3, [&record](std::size_t index, const imaging::StopSignal&) { return record.prepare(index); },
            &abort);
        for (std::size_t i = 0; i < 5; ++i)
            EXPECT_EQ(ahead.takeNext(), i * 10);
    }
    EXPECT_EQ(record.prepared, (std::vector<std::size_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(record.threads, std::set<std::thread::id>{std::this_thread::get_id()});

    // Destruction alone stops a helper's long preparation too.
    std::atomic<int> helperBegun{0};
    std::atomic<bool> sawStop{false};
    {
        library::DecodeAhead<std::size_t> ahead(
            3, 1, 2,
            [&](std::size_t index, const imaging::StopSignal& stop) {
                ++helperBegun;
                for (int row = 0; row < 200000; ++row) {
                    if (stop.stopRequested()) {
                        sawStop = true;
                        break;
                    }
                    std::this_thread::sleep_for(std::chrono::microseconds(100));
                }
                return index;
            },
            nullptr);
        while (helperBegun.load() == 0)
            std::this_thread::yield();
    }
    EXPECT_EQ(helperBegun.load(), 1);
    EXPECT_TRUE(sawStop.load());
}

} // namespace
