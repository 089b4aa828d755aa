#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct CommandLineCase {
    const char* line;
    SaverMode mode;
    std::int64_t handle;
    bool foreground;
};

void PrintTo(const CommandLineCase& c, std::ostream* os) {
    *os << '"' << c.line << '"';
}

class CommandLineTable : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTable, ParsesModeAndHandle) {
    const CommandLineCase& c = GetParam();
    ParsedCommandLine parsed = parseCommandLineText(c.line);
    EXPECT_EQ(parsed.mode, c.mode);
    EXPECT_EQ(parsed.handle, c.handle);
    EXPECT_EQ(parsed.useForegroundWindow, c.foreground);
}

INSTANTIATE_TEST_SUITE_P(Switches, CommandLineTable,
                         ::testing::Values(CommandLineCase{"Prismata.scr", SaverMode::ModeConfig, 0, false},
                                           CommandLineCase{"Prismata.scr ", SaverMode::ModeConfig, 0, false},
                                           CommandLineCase{"Prismata.scr     ", SaverMode::ModeConfig, 0, false},
                                           CommandLineCase{"Prismata.scr /s", SaverMode::ModeSaver, 0, false},
                                           CommandLineCase{"Prismata.scr -S", SaverMode::ModeSaver, 0, false},
                                           CommandLineCase{"Prismata.scr s", SaverMode::ModeSaver, 0, false},
                                           CommandLineCase{"Prismata.scr /save", SaverMode::ModeSaver, 0, false},
                                           CommandLineCase{"Prismata.scr /p 1234", SaverMode::ModePreview, 1234, false},
                                           CommandLineCase{"Prismata.scr /p:1234", SaverMode::ModePreview, 1234, false},
                                           CommandLineCase{"Prismata.scr /P1234", SaverMode::ModePreview, 1234, false},
                                           CommandLineCase{"Prismata.scr /l 1234", SaverMode::ModePreview, 1234, false},
                                           CommandLineCase{"Prismata.scr /c:5678", SaverMode::ModeConfig, 5678, false},
                                           CommandLineCase{"Prismata.scr /c 5678", SaverMode::ModeConfig, 5678, false},
                                           CommandLineCase{"Prismata.scr /c", SaverMode::ModeConfig, 0, true},
                                           CommandLineCase{"Prismata.scr /c: : ", SaverMode::ModeConfig, 0, true},
                                           CommandLineCase{"Prismata.scr /a 4321", SaverMode::ModeChangePassword, 4321,
                                                           false},
                                           CommandLineCase{"Prismata.scr /t", SaverMode::ModeTest, 0, false},
                                           CommandLineCase{"Prismata.scr /x", SaverMode::ModeNone, 0, false},
                                           CommandLineCase{"Prismata.scr /", SaverMode::ModeNone, 0, false},
                                           CommandLineCase{"Prismata.scr -", SaverMode::ModeNone, 0, false},
                                           CommandLineCase{"Prismata.scr //s", SaverMode::ModeNone, 0, false}));

INSTANTIATE_TEST_SUITE_P(
    ProgramNames, CommandLineTable,
    ::testing::Values(
        CommandLineCase{"\"C:\\Program Files\\Prismata\\Prismata.scr\" /s", SaverMode::ModeSaver, 0, false},
        CommandLineCase{"\"C:\\Program Files\\Prismata\\Prismata.scr\" /p 99", SaverMode::ModePreview, 99, false},
        CommandLineCase{"\"C:\\Program Files\\Prismata\\Prismata.scr\"", SaverMode::ModeConfig, 0, false},
        CommandLineCase{"\"C:\\Program Files\\Prismata\\Prismata.scr\"/t", SaverMode::ModeTest, 0, false},
        CommandLineCase{"\"unterminated quote /s", SaverMode::ModeConfig, 0, false},
        // An unquoted name ends at its first blank: the rest is the switch.
        CommandLineCase{"C:\\Program Files\\Prismata.scr /s", SaverMode::ModeNone, 0, false},
        CommandLineCase{"", SaverMode::ModeConfig, 0, false}));

INSTANTIATE_TEST_SUITE_P(Tabs, CommandLineTable,
                         ::testing::Values(
                             // Only the space separates: a tab joins the switch to the program name.
                             CommandLineCase{"Prismata.scr\t/s", SaverMode::ModeConfig, 0, false},
                             CommandLineCase{"Prismata.scr \t/s", SaverMode::ModeNone, 0, false},
                             CommandLineCase{"Prismata.scr /p\t1234", SaverMode::ModePreview, 1234, false}));

INSTANTIATE_TEST_SUITE_P(Handles, CommandLineTable,
                         ::testing::Values(CommandLineCase{"Prismata.scr /p", SaverMode::ModePreview, 0, false},
                                           CommandLineCase{"Prismata.scr /p abc", SaverMode::ModePreview, 0, false},
                                           CommandLineCase{"Prismata.scr /p 12ab", SaverMode::ModePreview, 12, false},
                                           CommandLineCase{"Prismata.scr /p -7", SaverMode::ModePreview, -7, false},
                                           CommandLineCase{"Prismata.scr /A:+88", SaverMode::ModeChangePassword, 88,
                                                           false},
                                           CommandLineCase{"Prismata.scr /p 99999999999999999999999999",
                                                           SaverMode::ModePreview, INT64_MAX, false},
                                           CommandLineCase{"Prismata.scr /s 1234", SaverMode::ModeSaver, 0, false}));

TEST(CommandLine, SurvivesLongAndHostileLines) {
    std::string huge = "Prismata.scr /p " + std::string(100000, '9');
    EXPECT_EQ(parseCommandLineText(huge).mode, SaverMode::ModePreview);
    EXPECT_EQ(parseCommandLineText(huge).handle, INT64_MAX);

    std::string blanks = "Prismata.scr" + std::string(50000, ' ');
    EXPECT_EQ(parseCommandLineText(blanks).mode, SaverMode::ModeConfig);

    std::string withZero("Prismata.scr /\0s", 16);
    EXPECT_EQ(parseCommandLineText(withZero).mode, SaverMode::ModeNone);
}

TEST(ReadDecimal, FollowsTheCLibraryRules) {
    EXPECT_EQ(readDecimal("  42"), 42);
    EXPECT_EQ(readDecimal("\t\n-13x"), -13);
    EXPECT_EQ(readDecimal("+5"), 5);
    EXPECT_EQ(readDecimal("- 5"), 0);
    EXPECT_EQ(readDecimal(""), 0);
    EXPECT_EQ(readDecimal("-99999999999999999999999"), -INT64_MAX);
}

} // namespace
