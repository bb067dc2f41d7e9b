#include "Tm.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Tm, RoundIsFloorDivisionWithAnExactRemainder)
{
    int carry = 0;
    double rest = 0;
    Tm::round(-30, 60, carry, rest);
    EXPECT_EQ(carry, -1);
    EXPECT_EQ(rest, 30);
    Tm::round(-60, 60, carry, rest);
    EXPECT_EQ(carry, -1);
    EXPECT_EQ(rest, 0);
    Tm::round(125, 60, carry, rest);
    EXPECT_EQ(carry, 2);
    EXPECT_EQ(rest, 5);
    Tm::round(-0.5, 1, carry, rest);
    EXPECT_EQ(carry, -1);
    EXPECT_EQ(rest, 0.5);

    // Whole numbers give whole remainders, for every base the calendar uses.
    for (double base : {60.0, 24.0, 12.0, 1e9})
        for (long v = -300000; v <= 300000; v += 7) {
            Tm::round(double(v), base, carry, rest);
            long b = long(base);
            long floorCarry = v >= 0 ? v / b : -((-v + b - 1) / b);
            ASSERT_EQ(carry, floorCarry) << v << " by " << base;
            ASSERT_EQ(rest, double(v - floorCarry * b)) << v << " by " << base;
        }

    Tm::round(1e30, 1, carry, rest); // no int holds the carry: saturated, not undefined
    EXPECT_GT(carry, 2000000000);
    Tm::round(std::nan(""), 60, carry, rest);
    EXPECT_EQ(carry, 0);
}
