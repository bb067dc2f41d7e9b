#include "aTime.h"

#include <gtest/gtest.h>

TEST(aTime, NormalisesToOneSignAndPrintsInWords)
{
    EXPECT_STREQ(aTime(1, 2, 0, 5.5).GetString(), "1 day, 2 hours, 5.5 seconds");
    EXPECT_STREQ(aTime(0, 0, -1, 0.0).GetString(), "- 1 minute");
    EXPECT_STREQ(aTime().GetString(), "0 seconds");
    EXPECT_STREQ(aTime(0, 0, 0, 1.5).GetString(), "1.5 second");

    aTime t(0, 0, 0, -60.0); // not a valid time of its own: normalised
    EXPECT_STREQ(t.GetString(), "- 1 minute");
    EXPECT_EQ(t.GetSign(), -1);
    aTime twoDays(-2.0, 0.0, 0.0, 0.0);
    EXPECT_EQ(twoDays.GetDays(), -2);
    EXPECT_EQ(twoDays.GetHours() + twoDays.GetMinutes(), 0);
    aTime mixed(1, -25, 0, 0.0); // one day less 25 hours
    EXPECT_STREQ(mixed.GetString(), "- 1 hour");
    aTime half(0.5, 0.0, 0.0, 0.0);
    EXPECT_EQ(half.GetHours(), 12);
    aTime carried(0, 23, 59, 61.0);
    EXPECT_STREQ(carried.GetString(), "1 day, 1 second");
    aTime negative(0, 0, 0, -30.0);
    EXPECT_DOUBLE_EQ(negative.GetSeconds(), -30.0);
    EXPECT_EQ(negative.GetMinutes(), 0);
}

TEST(aTime, ArithmeticAndOrder)
{
    aTime day(1, 0, 0, 0.0);
    EXPECT_STREQ((day / 2).GetString(), "12 hours");
    EXPECT_STREQ((day / 2.0).GetString(), "12 hours");
    EXPECT_STREQ((day * 3).GetString(), "3 days");
    EXPECT_STREQ((day - aTime(0, 0, 0, 1.0)).GetString(), "23 hours, 59 minutes, 59 seconds");
    EXPECT_STREQ((aTime(0, 0, 30, 0.0) - day).GetString(), "- 23 hours, 30 minutes");
    EXPECT_DOUBLE_EQ(aTime(30000, 0, 0, 0.5).AsSeconds(), 30000.0 * 86400 + 0.5);

    EXPECT_TRUE(aTime(0, 0, 59, 59.0) < aTime(0, 1, 0, 0.0));
    EXPECT_TRUE(aTime(-1, 0, 0, 0.0) < aTime(0, -2, 0, 0.0));
}
