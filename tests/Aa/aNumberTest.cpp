#include "aNumber.h"

#include "str.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

TEST(aNumber, OrdinalsFollowTheTensDigit)
{
    std::string all;
    for (int n : {1, 2, 3, 4, 11, 12, 13, 21, 22, 23, 101, 111, 112, 122, 1000001})
        all += std::string(aNumber::asOrdinal(n, false).c()) + " ";
    EXPECT_EQ(all, "1st 2nd 3rd 4th 11th 12th 13th 21st 22nd 23rd 101st 111th 112th 122nd 1000001st ");
    EXPECT_STREQ(aNumber::asOrdinal(3, true).c(), "rd");
    rtl::str out("old");
    aNumber::asOrdinal(11, out, true);
    EXPECT_STREQ(out.c(), "th");
}

TEST(aNumber, SafeAdditionsReportOverflow)
{
    int i = 7;
    EXPECT_FALSE(aNumber::safeAddInt(INT_MAX, 1, i));
    EXPECT_FALSE(aNumber::safeAddInt(INT_MIN, -1, i));
    EXPECT_EQ(i, 7);
    EXPECT_TRUE(aNumber::safeAddInt(INT_MAX, INT_MIN, i));
    EXPECT_EQ(i, -1);
    long l = 0;
    EXPECT_TRUE(aNumber::safeAddLong(-5, 3, l));
    EXPECT_EQ(l, -2);
    EXPECT_FALSE(aNumber::safeAddLong(LONG_MAX, 1, l));
    EXPECT_FALSE(aNumber::safeAddLong(LONG_MIN, -1, l));
    EXPECT_EQ(l, -2);
}
