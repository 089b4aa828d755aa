#include "engine/LoaderSchedule.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using loader::WaitResult;
using Strings = std::vector<std::string>;

// The engine's side, on a virtual clock: every wait only moves the clock.
class FakeHost : public loader::LoaderHost {
public:
    explicit FakeHost(int pictures) {
        for (int i = 0; i < pictures; ++i)
            entries["Entry" + std::to_string(i)] = "C:\\pics\\" + std::to_string(i) + ".jpg";
    }

    WaitResult waitForKill(std::uint32_t milliseconds) override {
        waits.push_back(milliseconds);
        if (failWaits)
            return WaitResult::Failed;
        if (now + milliseconds >= killAt) {
            now = killAt;
            return WaitResult::Killed;
        }
        now += milliseconds;
        return WaitResult::TimedOut;
    }
    int timeBetweenImages() override { return between(now); }
    std::string pictureEntry(const std::string& key) override {
        auto found = entries.find(key);
        return found == entries.end() ? std::string() : found->second;
    }
    std::size_t pendingCount() override { return pending(now); }
    bool loadPicture(const std::string& path) override {
        loads.push_back(path.substr(path.rfind('\\') + 1, path.rfind('.') - path.rfind('\\') - 1));
        loadTimes.push_back(now);
        return true;
    }
    void trace(const std::string& line) override { traces.push_back(line); }
    std::size_t queuedTextures() override { return queuedAtEnd; }
    void storePosition(const std::string& text) override { stored.push_back(text); }

    std::map<std::string, std::string> entries;
    std::function<int(long long)> between = [](long long) { return 5000; };
    std::function<std::size_t(long long)> pending = [](long long) { return std::size_t(0); };
    long long killAt = 1LL << 40;
    bool failWaits = false;
    std::size_t queuedAtEnd = 0;
    Strings stored;

    long long now = 0;
    std::vector<std::uint32_t> waits;
    std::vector<std::string> loads; // picture numbers, in load order
    std::vector<long long> loadTimes;
    std::vector<std::string> traces;
};

TEST(LoaderSchedule, EntryKeysCycleOnlyDuringTheFirstSix) {
    struct Case {
        int count;
        Strings keys; // for n = 0 to 7
    } cases[] = {
        {4, {"Entry0", "Entry1", "Entry2", "Entry3", "Entry0", "Entry1", "Entry6", "Entry7"}},
        {1, {"Entry0", "Entry0", "Entry0", "Entry0", "Entry0", "Entry0", "Entry6", "Entry7"}},
        {7, {"Entry0", "Entry1", "Entry2", "Entry3", "Entry4", "Entry5", "Entry6", "Entry7"}},
        {0, {"Entry0", "Entry1", "Entry2", "Entry3", "Entry4", "Entry5", "Entry6", "Entry7"}},
        {-1, {"Entry0", "Entry1", "Entry2", "Entry3", "Entry4", "Entry5", "Entry6", "Entry7"}},
    };
    for (const Case& c : cases) {
        loader::LoaderSchedule schedule(c.count);
        Strings keys;
        for (int n = 0; n < 8; ++n, schedule.advance())
            keys.push_back(schedule.entryKey());
        EXPECT_EQ(keys, c.keys) << "count " << c.count;
    }
}

TEST(LoaderSchedule, EmptyListEndsAtOnceAndKeepsTheBuiltInFaces) {
    for (int count : {0, -1}) {
        FakeHost host(0);
        loader::runTextureLoader(host, count);
        EXPECT_TRUE(host.loads.empty());
        EXPECT_EQ(host.traces, (Strings{loader::kTraceEntering, loader::kTraceListEnded}));
        EXPECT_EQ(host.waits, (std::vector<std::uint32_t>{1}));
    }
}

struct ShortList {
    int count;
    Strings loads;
};

TEST(LoaderSchedule, ShortListsFillSixFacesThenTheThreadEnds) {
    const ShortList cases[] = {
        {1, {"0", "0", "0", "0", "0", "0"}},
        {4, {"0", "1", "2", "3", "0", "1"}},
        {6, {"0", "1", "2", "3", "4", "5"}},
    };
    for (const ShortList& c : cases) {
        FakeHost host(c.count);
        loader::runTextureLoader(host, c.count);
        EXPECT_EQ(host.loads, c.loads) << "count " << c.count;
        EXPECT_EQ(host.loadTimes, (std::vector<long long>{1, 2, 3, 4, 5, 6}));
        // One full wait after the sixth, then Entry6 is empty.
        EXPECT_EQ(host.waits, (std::vector<std::uint32_t>{1, 1, 1, 1, 1, 1, 5000}));
        ASSERT_EQ(host.traces.size(), 8u);
        EXPECT_EQ(host.traces[1], "Loading texture C:\\pics\\0.jpg\n");
        EXPECT_EQ(host.traces.back(), loader::kTraceListEnded);
    }
}

TEST(LoaderSchedule, SevenPicturesCycleWithAnEmptyIntervalAtTheEnd) {
    FakeHost host(7);
    host.killAt = 40000;
    loader::runTextureLoader(host, 7);
    EXPECT_EQ(host.loads, (Strings{"0", "1", "2", "3", "4", "5", "6", "0", "1", "2", "3", "4"}));
    // Entry6 five seconds after the quick fill, nothing for five more, then Entry0 again.
    EXPECT_EQ(host.loadTimes, (std::vector<long long>{1, 2, 3, 4, 5, 6, 5006, 15006, 20006, 25006, 30006, 35006}));
    EXPECT_EQ(host.traces.back(), loader::kTraceSawKill);
    EXPECT_EQ(host.now, 40000);
}

TEST(LoaderSchedule, FullQueueSkipsPicturesWithoutRetrying) {
    // The frames stop taking textures while the third and fourth picture are due.
    auto fullAt = [](long long now) { return std::size_t(now == 3 || now == 4 ? 4 : 3); };
    FakeHost longList(7);
    longList.pending = fullAt;
    longList.killAt = 40000;
    loader::runTextureLoader(longList, 7);
    // With seven pictures the skipped ones come round in the next cycle.
    EXPECT_EQ(longList.loads, (Strings{"0", "1", "4", "5", "6", "0", "1", "2", "3", "4"}));

    FakeHost shortList(4);
    shortList.pending = fullAt;
    loader::runTextureLoader(shortList, 4);
    // With fewer they are not shown; the thread still ends after the sixth turn.
    EXPECT_EQ(shortList.loads, (Strings{"0", "1", "0", "1"}));
    EXPECT_EQ(shortList.traces.back(), loader::kTraceListEnded);
}

TEST(LoaderSchedule, TimeBetweenImagesIsReadBeforeEveryLongWait) {
    FakeHost host(9);
    int reads = 0;
    host.between = [&reads](long long now) {
        ++reads;
        return now < 5000 ? 5000 : 2000;
    };
    host.killAt = 11006;
    loader::runTextureLoader(host, 9);
    EXPECT_EQ(host.waits, (std::vector<std::uint32_t>{1, 1, 1, 1, 1, 1, 5000, 2000, 2000, 2000}));
    EXPECT_EQ(reads, 4);
    EXPECT_EQ(host.loads, (Strings{"0", "1", "2", "3", "4", "5", "6", "7", "8"}));
}

TEST(LoaderSchedule, ZeroOrNegativeTimeBetweenImagesWaitsOneMillisecond) {
    for (int value : {0, -1, -5000, INT32_MIN}) {
        loader::LoaderSchedule schedule(8);
        for (int n = 0; n < 6; ++n)
            schedule.advance();
        EXPECT_EQ(schedule.nextWaitMs(value), 1u) << value;
    }
    loader::LoaderSchedule quick(8);
    EXPECT_EQ(quick.nextWaitMs(5000), 1u);
    EXPECT_FALSE(quick.needsTimeBetweenImages());
}

TEST(LoaderSchedule, KillOrFailedWaitEndsTheThread) {
    FakeHost killed(7);
    killed.killAt = 0;
    loader::runTextureLoader(killed, 7);
    EXPECT_TRUE(killed.loads.empty());
    EXPECT_EQ(killed.traces, (Strings{loader::kTraceEntering, loader::kTraceSawKill}));

    FakeHost failed(7);
    failed.failWaits = true;
    loader::runTextureLoader(failed, 7);
    EXPECT_TRUE(failed.loads.empty());
    EXPECT_EQ(failed.traces, (Strings{loader::kTraceEntering, loader::kTraceWaitFailed}));
}

TEST(LoaderSchedule, AHoleInTheListEndsTheThreadEarly) {
    FakeHost host(3);
    host.entries.erase("Entry1");
    loader::runTextureLoader(host, 3);
    EXPECT_EQ(host.loads, (Strings{"0"}));
    EXPECT_EQ(host.traces.back(), loader::kTraceListEnded);
}

// A continued show keeps the quick fill and the interval, and the next show starts after the last picture that
// reached a face: the two still queued when it ended never did.
TEST(LoaderSchedule, AContinuedShowGoesOnAfterTheLastPictureOnAFace) {
    FakeHost first(10);
    first.killAt = 10007;
    first.queuedAtEnd = 2;
    loader::runTextureLoader(first, 10, loader::PictureOrder(loader::OrderMode::Continue, 10, "A", "", 0));
    EXPECT_EQ(first.loads, (Strings{"0", "1", "2", "3", "4", "5", "6", "7"}));
    EXPECT_EQ(first.waits, (std::vector<std::uint32_t>{1, 1, 1, 1, 1, 1, 5000, 5000, 5000}));
    ASSERT_EQ(first.stored.size(), 1u);

    FakeHost second(10);
    second.killAt = 15007;
    loader::runTextureLoader(second, 10,
                             loader::PictureOrder(loader::OrderMode::Continue, 10, "A", first.stored[0], 0));
    // No empty interval where the list wraps: the order goes on to the first picture.
    EXPECT_EQ(second.loads, (Strings{"6", "7", "8", "9", "0", "1", "2", "3", "4"}));
    EXPECT_EQ(second.stored, (Strings{"continue 10 A 0 0 5 -"}));
}

} // namespace
