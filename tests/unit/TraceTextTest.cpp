#include "framework/TraceText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

void format(char (&buffer)[trace::kTraceBufferSize], const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    trace::formatTraceBuffer(buffer, fmt, args);
    va_end(args);
}

} // namespace

TEST(TraceText, LongTextIsCutAfter511Characters) {
    std::string text(600, 'a');
    char buffer[trace::kTraceBufferSize];
    format(buffer, "%s", text.c_str());
    EXPECT_EQ(std::strlen(buffer), 511u);
    EXPECT_EQ(buffer[511], '\0');
}

TEST(TraceText, FormatsTheConversionsCallersUse) {
    char buffer[trace::kTraceBufferSize];
    format(buffer, "%s %d %x %f\n", "fps", -3, 255u, 49.5);
    EXPECT_STREQ(buffer, "fps -3 ff 49.500000\n");
}

TEST(TraceText, LineFeedsBecomeCarriageReturnLineFeed) {
    EXPECT_EQ(trace::widenLineEnds("Setting initial mouse position\n"), "Setting initial mouse position\r\n");
    EXPECT_EQ(trace::widenLineEnds("*\n"), "*\r\n");
    EXPECT_EQ(trace::widenLineEnds("a\nb\n\n"), "a\r\nb\r\n\r\n");
    EXPECT_EQ(trace::widenLineEnds(""), "");
}

TEST(TraceText, CutThenWidenedLongLineKeepsEveryLineFeedOfTheFirst511) {
    // 300 lines of "x\n" is 600 characters: the cut keeps 511, of which 255 are line feeds.
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += "x\n";
    char buffer[trace::kTraceBufferSize];
    format(buffer, "%s", text.c_str());
    std::string widened = trace::widenLineEnds(buffer);
    EXPECT_EQ(widened.size(), 511u + 255u);
    EXPECT_EQ(widened.substr(0, 6), "x\r\nx\r\n");
    EXPECT_EQ(widened.back(), 'x');
}
