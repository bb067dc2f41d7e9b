#include "aTimeDelta.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

::testing::AssertionResult parts(aTimeDelta const& d, long days, long secs, long ns)
{
    if (d.getDays() == days && d.getSeconds() == secs && d.getNs() == ns)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << d.getDays() << ", " << d.getSeconds() << ", " << d.getNs() << ") instead of ("
           << days << ", " << secs << ", " << ns << ")";
}

} // namespace

TEST(aTimeDelta, NormalisationGivesOneSignAndBoundedParts)
{
    EXPECT_TRUE(parts(aTimeDelta(0L, 90000L, 0L), 1, 3600, 0));
    EXPECT_TRUE(parts(aTimeDelta(0L, -90000L, 0L), -1, -3600, 0));
    EXPECT_TRUE(parts(aTimeDelta(0L, 0L, 1500000000L), 0, 1, 500000000));
    EXPECT_TRUE(parts(aTimeDelta(1L, 0L, -1L), 0, 86399, 999999999));
    EXPECT_TRUE(parts(aTimeDelta(-1L, 0L, 500000000L), 0, -86399, -500000000));
    EXPECT_TRUE(parts(aTimeDelta(2, -1, 0), 1, 86399, 0));
    EXPECT_TRUE(parts(aTimeDelta(0L, 0L, LONG_MIN), -106751, -85636, -854775808));

    long s = 0, ns = 0;
    aTimeDelta::simplify(0L, 5L, -1L, s, ns);
    EXPECT_EQ(s * 1000000000 + ns, 4999999999);
    EXPECT_EQ(ns, 999999999);
    aTimeDelta::simplify(0L, -5L, 1L, s, ns);
    EXPECT_EQ(s, -4);
    EXPECT_EQ(ns, -999999999);
    aTimeDelta::simplify(1L, 0L, 0L, s, ns);
    EXPECT_EQ(s, 86400);
    aTimeDelta::simplify(0L, LONG_MAX, 2000000000L, s, ns); // beyond 64-bit seconds: the bound
    EXPECT_EQ(s, LONG_MAX);
    EXPECT_EQ(ns, 0);
}

TEST(aTimeDelta, DoublesFoldFractionsIntoSmallerParts)
{
    EXPECT_TRUE(parts(aTimeDelta(1.5), 0, 1, 500000000));
    EXPECT_TRUE(parts(aTimeDelta(-1.5), 0, -1, -500000000));
    EXPECT_TRUE(parts(aTimeDelta(0.5, 0.0, 0.0), 0, 43200, 0));
    EXPECT_TRUE(parts(aTimeDelta(0.0, 90061.25, 0L), 1, 3661, 250000000));
    EXPECT_TRUE(parts(aTimeDelta(1L, 0L, 0L) / 3, 0, 28800, 0));
    aTimeDelta seventh = aTimeDelta(1L, 0L, 0L) / 7;
    EXPECT_EQ(seventh.getSeconds(), 12342);
    EXPECT_NEAR(double(seventh.getNs()), 857142857.0, 1.0);
    EXPECT_TRUE(parts(aTimeDelta(1L, 0L, 0L) * 0.5, 0, 43200, 0));
    EXPECT_TRUE(parts(aTimeDelta(0L, 50000L, 0L) * 2, 1, 13600, 0));
    aTimeDelta d(0L, 3L, 0L);
    d *= -2;
    EXPECT_TRUE(parts(d, 0, -6, 0));
    // Far beyond what a double resolves to the second (a window zoomed far out) the days come
    // out whole.
    EXPECT_NEAR(aTimeDelta(1.5122509236281638e18).asSeconds(), 1.5122509236281638e18, 1e6);
    EXPECT_NEAR(aTimeDelta(-1.0932489881318918e19).asSeconds(), -1.0932489881318918e19, 1e6);
}

// Through doubles a length comes out at the nearest nanosecond, carried on when it rounds up to a
// whole second: cut, 4.21 s would be 4 s and 209,999,999 ns.
TEST(aTimeDelta, DoublesComeOutAtTheNearestNanosecond)
{
    EXPECT_TRUE(parts(aTimeDelta(4.21), 0, 4, 210000000));
    EXPECT_TRUE(parts(aTimeDelta(86399.9999999999), 1, 0, 0));
}
