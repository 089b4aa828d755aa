// The command line the launcher starts to open the screen-saver choice, by system version.
#include "postinstall/DisplayPage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

namespace {

struct CommandCase {
    unsigned long major;
    unsigned long minor;
    const char* command;
};

TEST(PostInstallPage, CommandLineFollowsTheSystemVersion) {
    const CommandCase cases[] = {
        {0, 0, "control.exe desk.cpl, display, 1"},    // the version query failed
        {3, 51, "control.exe desk.cpl, display, 1"},   // NT 3.51
        {4, 0, "control.exe desk.cpl, display, 1"},    // 95, NT 4
        {4, 10, "control.exe desk.cpl, display, 1"},   // 98
        {4, 90, "control.exe desk.cpl, display, 1"},   // Me: a large minor version of an old system
        {5, 0, "control.exe desk.cpl, display, 1"},    // 2000
        {5, 1, "control.exe desk.cpl, display, 2"},    // XP
        {5, 2, "control.exe desk.cpl, display, 2"},    // Server 2003, XP x64
        {6, 0, "control.exe desk.cpl,,@screensaver"},  // Vista
        {6, 1, "control.exe desk.cpl,,@screensaver"},  // 7
        {6, 2, "control.exe desk.cpl,,@screensaver"},  // 8, and 10 to a program that does not declare it
        {10, 0, "control.exe desk.cpl,,@screensaver"}, // 10 and 11
    };
    for (const CommandCase& c : cases) {
        char line[postinstall::kCommandLineBufferSize];
        // Whatever the buffer held before, the line is whole and ends there.
        std::fill(std::begin(line), std::end(line), 'x');
        postinstall::writeDisplayCommand(c.major, c.minor, line);
        EXPECT_EQ(std::string(line), c.command) << c.major << "." << c.minor;
    }
}

} // namespace
