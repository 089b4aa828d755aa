#include "framework/ProfileValue.h"

#include <gtest/gtest.h>

#include <climits>

using fw::parseProfileInt;

TEST(ProfileValue, ReadsSignedDecimalText) {
    EXPECT_EQ(parseProfileInt("-45", 7), -45);
    EXPECT_EQ(parseProfileInt("40", 7), 40);
    EXPECT_EQ(parseProfileInt("12abc", 7), 12);
    EXPECT_EQ(parseProfileInt("+5", 7), 5);
    EXPECT_EQ(parseProfileInt("  8", 7), 8);
}

TEST(ProfileValue, EmptyGivesDefaultAndNonNumbersGiveZero) {
    EXPECT_EQ(parseProfileInt("", 256), 256);
    EXPECT_EQ(parseProfileInt("abc", 256), 0);
    EXPECT_EQ(parseProfileInt("-", 256), 0);
    EXPECT_EQ(parseProfileInt(" ", 256), 0);
}

TEST(ProfileValue, HexIsNotANumberHere) {
    // The store reads decimal only: "0x10" is the digit 0 followed by text.
    EXPECT_EQ(parseProfileInt("0x10", 7), 0);
}

TEST(ProfileValue, OutOfRangeStopsAtTheEnds) {
    EXPECT_EQ(parseProfileInt("2147483647", 0), INT_MAX);
    EXPECT_EQ(parseProfileInt("-2147483648", 0), INT_MIN);
    EXPECT_EQ(parseProfileInt("99999999999999999999", 0), INT_MAX);
    EXPECT_EQ(parseProfileInt("-99999999999999999999", 0), INT_MIN);
}
