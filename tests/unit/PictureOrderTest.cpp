#include "engine/PictureOrder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

using loader::OrderMode;
using loader::PictureOrder;

// The list indexes the order gives from its cursor on.
std::vector<int> take(PictureOrder& order, int pictures) {
    std::vector<int> shown;
    for (int i = 0; i < pictures; ++i, order.step())
        shown.push_back(order.current());
    return shown;
}

// Where a show that placed `pictures` pictures left the position.
std::string positionAfter(PictureOrder order, int pictures) {
    for (int i = 1; i < pictures; ++i)
        order.step();
    return order.positionAfterCurrent();
}

TEST(PictureOrder, ContinueStartsAfterTheLastPictureOfItsOwnListOnly) {
    const std::string stopped = positionAfter(PictureOrder(OrderMode::Continue, 10, "A1", "", 0), 13);
    struct Case {
        const char* what;
        int count;
        std::string stamp;
        std::string stored;
        int first;
    } cases[] = {
        {"the same list", 10, "A1", stopped, 3},
        {"the list rebuilt", 10, "B2", stopped, 0},
        {"a shorter list", 9, "A1", stopped, 0},
        {"nothing stored", 10, "A1", "", 0},
        {"stored by the shuffle", 10, "A1", "shuffled 10 A1 5 0 3 -", 0},
        {"position past the end", 10, "A1", "continue 10 A1 0 0 10 -", 0},
        {"negative position", 10, "A1", "continue 10 A1 0 0 -3 -", 0},
        {"garbage", 10, "A1", "continue 10 A1 0 0 3x -", 0},
        {"a field missing", 10, "A1", "continue 10 A1 0 3 -", 0},
        {"the last picture", 10, "A1", "continue 10 A1 0 0 9 -", 9},
    };
    for (const Case& c : cases) {
        PictureOrder order(OrderMode::Continue, c.count, c.stamp, c.stored, 0);
        ASSERT_TRUE(order.active()) << c.what;
        std::vector<int> expected;
        for (int i = 0; i < 2 * c.count; ++i)
            expected.push_back((c.first + i) % c.count);
        EXPECT_EQ(take(order, 2 * c.count), expected) << c.what;
    }
}

TEST(PictureOrder, SixPicturesOrFewerAndTheFirstPictureOrderHaveNoOrderOfTheirOwn) {
    EXPECT_FALSE(PictureOrder(OrderMode::Continue, 6, "A", "", 1).active());
    EXPECT_FALSE(PictureOrder(OrderMode::Shuffled, 0, "A", "", 1).active());
    EXPECT_FALSE(PictureOrder(OrderMode::Shuffled, -1, "A", "", 1).active());
    EXPECT_FALSE(PictureOrder(OrderMode::FromFirst, 100, "A", "", 1).active());
    EXPECT_EQ(loader::orderModeOf(2), OrderMode::Shuffled);
    EXPECT_EQ(loader::orderModeOf(3), OrderMode::FromFirst);
    EXPECT_EQ(loader::orderModeOf(-1), OrderMode::FromFirst);
}

TEST(PictureOrder, ShuffleShowsEveryPictureOncePerPassNeverTwiceOnScreenAndANewOrderEachPass) {
    for (int count : {7, 8, 11, 50, 1000}) {
        for (std::uint32_t seed : {1u, 77u, 4000000000u}) {
            PictureOrder order(OrderMode::Shuffled, count, "S", "", seed);
            const std::vector<int> shown = take(order, 4 * count);
            std::vector<std::vector<int>> passes;
            for (int p = 0; p < 4; ++p) {
                std::vector<int> pass(shown.begin() + p * count, shown.begin() + (p + 1) * count);
                passes.push_back(pass);
                std::sort(pass.begin(), pass.end());
                for (int i = 0; i < count; ++i)
                    ASSERT_EQ(pass[static_cast<size_t>(i)], i) << count << " " << seed << " pass " << p;
            }
            EXPECT_NE(passes[0], passes[1]) << count;
            EXPECT_NE(passes[1], passes[2]) << count;
            // Six faces: any six pictures in a row are six different ones, across the passes too.
            for (size_t i = 0; i + 6 <= shown.size(); ++i)
                ASSERT_EQ(std::set<int>(shown.begin() + i, shown.begin() + i + 6).size(), 6u)
                    << count << " " << seed << " at " << i;
        }
    }
}

TEST(PictureOrder, ShuffleGoesOnAcrossARestartAndStartsAfreshAfterARebuild) {
    for (int stopAfter : {1, 5, 29, 30, 31, 64}) {
        PictureOrder first(OrderMode::Shuffled, 30, "S1", "", 12345);
        const std::vector<int> whole = take(first, 120);
        const std::string stored = positionAfter(PictureOrder(OrderMode::Shuffled, 30, "S1", "", 12345), stopAfter);

        PictureOrder restarted(OrderMode::Shuffled, 30, "S1", stored, 999);
        EXPECT_EQ(take(restarted, 50), std::vector<int>(whole.begin() + stopAfter, whole.begin() + stopAfter + 50))
            << stopAfter;

        PictureOrder rebuilt(OrderMode::Shuffled, 30, "S2", stored, 999);
        PictureOrder fresh(OrderMode::Shuffled, 30, "S2", "", 999);
        EXPECT_EQ(take(rebuilt, 30), take(fresh, 30)) << stopAfter;
    }
    // A tail naming pictures the list does not have, or one twice: afresh.
    for (const char* damaged : {"shuffled 30 S1 5 2 3 1,2,3,4,30", "shuffled 30 S1 5 2 3 1,1,2,3,4",
                                "shuffled 30 S1 5 2 3 1,,2", "shuffled 30 S1 5 2 3"}) {
        PictureOrder order(OrderMode::Shuffled, 30, "S1", damaged, 8);
        PictureOrder fresh(OrderMode::Shuffled, 30, "S1", "", 8);
        EXPECT_EQ(take(order, 40), take(fresh, 40)) << damaged;
    }
}

} // namespace
