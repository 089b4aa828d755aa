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

// Names in the trace are UTF-8: the cut at 511 bytes must not leave the first bytes of a character.
TEST(TraceText, CutInsideAUtf8CharacterDropsTheWholeCharacter) {
    struct Case {
        std::string text;
        size_t kept;
    };
    std::string twoByte, threeByte, fourByte;
    for (int i = 0; i < 300; ++i) {
        twoByte += "é";
        threeByte += "東";
        fourByte += "🌄";
    }
    const Case cases[] = {
        {twoByte, 510},               // 255 whole characters; the 256th had only its first byte
        {"a" + threeByte, 511},       // 1 + 170 whole characters fill the 511 bytes exactly
        {"aa" + threeByte, 509},      // the 170th lost its last byte
        {"aaaa" + fourByte, 508},     // 4 + 126 whole characters; the 127th had 3 of its 4 bytes
        {"C:\\Bilder\\café.jpg", 19}, // complete text stays
    };
    for (const Case& c : cases) {
        char buffer[trace::kTraceBufferSize];
        format(buffer, "%s", c.text.c_str());
        trace::dropSplitUtf8Character(buffer);
        EXPECT_EQ(std::strlen(buffer), c.kept) << c.text.substr(0, 12);
        EXPECT_EQ(c.text.compare(0, c.kept, buffer), 0) << c.text.substr(0, 12);
    }
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
