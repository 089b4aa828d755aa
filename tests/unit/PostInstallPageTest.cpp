// The Display Properties page the launcher opens, by system version.
#include "postinstall/DisplayPage.h"

#include <gtest/gtest.h>

namespace {

struct PageCase {
    unsigned long major;
    unsigned long minor;
    int page;
};

TEST(PostInstallPage, FollowsTheSystemVersion) {
    const PageCase cases[] = {
        {0, 0, 1},  // the version query failed
        {3, 51, 1}, // NT 3.51
        {4, 0, 1},  // 95, NT 4
        {4, 10, 1}, // 98
        {4, 90, 1}, // Me: a large minor version of an old system
        {5, 0, 1},  // 2000
        {5, 1, 2},  // XP
        {5, 2, 2},  // Server 2003, XP x64
        {6, 0, 2},  // Vista
        {6, 1, 2},  // 7
        {10, 0, 2}, // 10 and 11
    };
    for (const PageCase& c : cases)
        EXPECT_EQ(postinstall::displayPageIndex(c.major, c.minor), c.page) << c.major << "." << c.minor;
}

} // namespace
