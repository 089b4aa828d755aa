// Rules of the configuration dialogs that need no window: slider values, the folder text, typed numbers,
// the help viewer and topic.
#include "config/DialogNumber.h"
#include "config/FolderText.h"
#include "config/HelpRoute.h"
#include "config/SliderValues.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

TEST(ConfigRules, DeadZoneZeroesSmallMotionOnly) {
    const struct {
        int in, out;
    } cases[] = {{-99, -99}, {-7, -7}, {-6, 0}, {-5, 0}, {-1, 0},  {0, 0},
                 {1, 0},     {6, 0},   {7, 7},  {3, 0},  {99, 99}, {INT_MIN, INT_MIN}};
    for (const auto& c : cases)
        EXPECT_EQ(config::applyDeadZone(c.in), c.out) << c.in;
}

TEST(ConfigRules, StoredValuesOutsideTheRangeGoToTheNearerEnd) {
    const struct {
        int value, low, high, pos;
    } cases[] = {
        {40, config::kSpinMin, config::kSpinMax, 40},      {-45, config::kSpinMin, config::kSpinMax, -45},
        {-100, config::kSpinMin, config::kSpinMax, -99},   {INT_MIN, config::kSpinMin, config::kSpinMax, -99},
        {INT_MAX, config::kSpinMin, config::kSpinMax, 99}, {-1, config::kSpeedMin, config::kSpeedMax, 0},
        {100, config::kSpeedMin, config::kSpeedMax, 99},   {-3, config::kSizeMin, config::kSizeMax, 0},
        {0, config::kSizeMin, config::kSizeMax, 0},        {99, config::kSizeMin, config::kSizeMax, 99},
    };
    for (const auto& c : cases)
        EXPECT_EQ(config::clampToRange(c.value, c.low, c.high), c.pos) << c.value;
}

TEST(ConfigRules, FolderProbeAddsOneSeparatorThenDot) {
    const struct {
        const char* text;
        const char* probe;
    } cases[] = {
        {"C:\\Pics", "C:\\Pics/."},
        {"C:\\Pics\\", "C:\\Pics\\."},
        {"C:\\Pics/", "C:\\Pics/."},
        {"", "/."},
        {"C:", "C:/."},
        {"\\\\server\\share", "\\\\server\\share/."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(config::folderProbePath(c.text), c.probe) << c.text;
}

TEST(ConfigRules, ControlPanelIsKnownByItsIdentifierAtTheEnd) {
    const std::string id = "{21EC2020-3AEA-1069-A2DD-08002B30309D}";
    const struct {
        std::string path;
        bool refused;
    } cases[] = {
        {"::" + id, true},
        {id, true},
        {"C:\\Windows\\" + id, true},
        {"::{21ec2020-3aea-1069-a2dd-08002b30309d}", false}, // compared exactly
        {"::" + id + "\\", false},
        {id.substr(1), false}, // shorter than the identifier
        {"C:\\Pictures", false},
        {"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(config::isControlPanelPath(c.path), c.refused) << c.path;
}

TEST(ConfigRules, TypedNumbersReadAsSignedDecimalOrZero) {
    const struct {
        const char* text;
        int value;
    } cases[] = {
        {"256", 256},
        {"-5", -5},
        {"+7", 7},
        {" 42 ", 42},
        {"0512", 512},
        {"", 0},
        {"abc", 0},
        {"12abc", 0},
        {"-", 0},
        {"- 5", 0},
        {"1 2", 0},
        {"0x10", 0},
        {"2147483647", INT_MAX},
        {"-2147483648", INT_MIN},
        {"2147483648", 0},
        {"-2147483649", 0},
        {"99999999999999999999999", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(config::parseDialogInt(c.text), c.value) << '"' << c.text << '"';
}

TEST(ConfigRules, HelpFollowsTheSystemVersionToItsViewerAndTopic) {
    using config::HelpViewer;
    const std::string folder = "C:\\Program Files\\Prismata\\";
    const std::string chm = folder + "Prismata.chm";
    const struct {
        unsigned long platform, major;
        unsigned context;
        HelpViewer viewer;
        std::string file, topic;
    } cases[] = {
        {config::kPlatformWindows9x, 4, 4, HelpViewer::WinHelp, folder + "Prismata.hlp", ""}, // 95, 98, Me
        {config::kPlatformNt, 4, 5, HelpViewer::WinHelp, folder + "Prismata.hlp", ""},        // NT 4
        {config::kPlatformNt, 5, 4, HelpViewer::WinHelp, folder + "Prismata.hlp", ""},        // 2000, XP, 2003
        {config::kPlatformNt, 6, 4, HelpViewer::HtmlHelp, chm, chm + "::/MainSettings.html"}, // Vista
        {config::kPlatformNt, 6, 5, HelpViewer::HtmlHelp, chm, chm + "::/AdvancedSettings.html"},
        {config::kPlatformNt, 10, 4, HelpViewer::HtmlHelp, chm, chm + "::/MainSettings.html"}, // 10 and 11
        {config::kPlatformNt, 10, 5, HelpViewer::HtmlHelp, chm, chm + "::/AdvancedSettings.html"},
        {config::kPlatformNt, 10, 0, HelpViewer::HtmlHelp, chm, chm}, // no page of its own: the first page
        {config::kPlatformWindows9x, 6, 4, HelpViewer::WinHelp, folder + "Prismata.hlp", ""}, // only NT dropped it
        {config::kPlatformWin32s, 0, 4, HelpViewer::WinHelp, folder + "Prismata.hlp", ""},    // the query failed
    };
    for (const auto& c : cases) {
        config::HelpRoute route = config::helpRoute(c.platform, c.major, folder, c.context);
        EXPECT_EQ(route.viewer, c.viewer) << c.platform << " " << c.major;
        EXPECT_EQ(route.file, c.file) << c.platform << " " << c.major;
        if (c.viewer == HelpViewer::HtmlHelp)
            EXPECT_EQ(route.topic, c.topic) << c.major << " context " << c.context;
        else
            EXPECT_EQ(route.context, c.context) << c.platform << " " << c.major;
    }
}

} // namespace
