// What the build dialog shows: progress positions and status lines.
#include "library/BuildStatus.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> progressSequence(int total) {
    std::vector<int> positions;
    for (int done = 1; done <= total; ++done)
        positions.push_back(library::progressPosition(done, total));
    return positions;
}

TEST(LibraryBuildStatus, ProgressDropsTheRemainder) {
    EXPECT_EQ(progressSequence(3), (std::vector<int>{33, 66, 100}));
    EXPECT_EQ(progressSequence(7), (std::vector<int>{14, 28, 42, 57, 71, 85, 100}));
    EXPECT_EQ(progressSequence(1), (std::vector<int>{100}));
    EXPECT_EQ(library::progressPosition(0, 0), 0);
    // Large folders do not overflow.
    EXPECT_EQ(library::progressPosition(30000000, 30000000), 100);
}

TEST(LibraryBuildStatus, StatusLinesNameTheSourceTwice) {
    EXPECT_EQ(library::convertingStatus("Beach.jpg"), "Input: Beach.jpg\r\nOutput: ImageCache\\Beach.jpg");
    EXPECT_EQ(library::indexingStatus("Beach.jpg"), "Indexing Beach.jpg");
}

} // namespace
