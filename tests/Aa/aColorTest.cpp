#include "aColor.h"
#include "aColor4.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct Hsv { float h, s, v; };
struct Rgb { float r, g, b; };

Hsv toHsv(float r, float g, float b)
{
    Hsv o{-1, -1, -1};
    aColor::RgbToHsv(r, g, b, o.h, o.s, o.v);
    return o;
}

Rgb toRgb(float h, float s, float v)
{
    Rgb o{-1, -1, -1};
    aColor::HsvToRgb(h, s, v, o.r, o.g, o.b);
    return o;
}

} // namespace

TEST(aColorTest, RgbToHsvPrimariesGreysAndTies)
{
    struct { float r, g, b, h, s, v; } const cases[] = {
        {0, 0, 0, 0, 0, 0},   {1, 1, 1, 0, 0, 1},   {1, 0, 0, 0, 1, 1},
        {0, 1, 0, 120, 1, 1}, {0, 0, 1, 240, 1, 1}, {1, 1, 0, 60, 1, 1},
        {0, 1, 1, 180, 1, 1}, {1, 0, 1, 300, 1, 1},
    };
    for (auto const& c : cases) {
        Hsv const o = toHsv(c.r, c.g, c.b);
        EXPECT_EQ(o.h, c.h) << c.r << "," << c.g << "," << c.b;
        EXPECT_EQ(o.s, c.s);
        EXPECT_EQ(o.v, c.v);
    }
}

TEST(aColorTest, RgbToHsvExactSinglePrecisionFigures)
{
    Hsv const brown = toHsv(128 / 255.0f, 64 / 255.0f, 32 / 255.0f);
    EXPECT_EQ(brown.h, 19.999998f);
    EXPECT_EQ(brown.s, 0.75f);

    // A tiny negative raw hue lifted by 360 reaches 360 itself.
    EXPECT_EQ(toHsv(1, 0, 0.0000001f).h, 360.0f);
    EXPECT_EQ(toHsv(1, 0, 1 / 255.0f).h, 359.76471f);

    EXPECT_EQ(aColor::RgbToGrey(0.2f, 0.9f, 0.5f), 0.9f);
}

TEST(aColorTest, HsvToRgbSectorsAndWrapping)
{
    auto expectRgb = [](float h, float s, float v, Rgb want) {
        Rgb const o = toRgb(h, s, v);
        EXPECT_EQ(o.r, want.r) << "hue " << h;
        EXPECT_EQ(o.g, want.g) << "hue " << h;
        EXPECT_EQ(o.b, want.b) << "hue " << h;
    };
    expectRgb(0, 1, 1, {1, 0, 0});
    expectRgb(360, 1, 1, {1, 0, 0});
    expectRgb(-120, 1, 1, {0, 0, 1});
    expectRgb(30, 1, 1, {1, 0.5f, 0});
    expectRgb(720.5f, 1, 1, toRgb(0.5f, 1, 1));
    expectRgb(90, 0.5f, 0.8f, {0.6f, 0.8f, 0.4f});

    // The largest hue below 360 stays in the last sector: red, a little blue.
    Rgb const last = toRgb(std::nextafter(360.0f, 0.0f), 1, 1);
    EXPECT_EQ(last.r, 1.0f);
    EXPECT_EQ(last.g, 0.0f);
    EXPECT_GT(last.b, 0.0f);
    EXPECT_LT(last.b, 0.0001f);
}

TEST(aColorTest, HsvToRgbUnusableHues)
{
    float const nan = std::numeric_limits<float>::quiet_NaN();
    float const inf = std::numeric_limits<float>::infinity();

    // Without saturation the hue is never looked at.
    Rgb const grey = toRgb(nan, 0, 0.25f);
    EXPECT_EQ(grey.r, 0.25f);
    EXPECT_EQ(grey.g, 0.25f);
    EXPECT_EQ(grey.b, 0.25f);

    for (float h : {nan, inf, -inf, 1e20f, -1e20f}) {
        testing::internal::CaptureStderr();
        Rgb const o = toRgb(h, 1, 1);
        std::string const err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(o.r, 0.0f) << h;
        EXPECT_EQ(o.g, 0.0f);
        EXPECT_EQ(o.b, 0.0f);
        EXPECT_THAT(err, testing::StartsWith("hsv_to_rgb error "));
        EXPECT_THAT(err, testing::HasSubstr(" 1 1\n"));
    }
}

TEST(aColorTest, QuadArithmetic)
{
    EXPECT_EQ(aQuadVal<int>(3, 4, 0, 0).GetLength(), 5);
    EXPECT_EQ(aQuadVal<int>(1, 1, 0, 0).GetLength(), 1); // the root of 2, truncated

    aQuadVal<int> half = aQuadVal<int>(7, -7, 9, 0) / 2;
    EXPECT_TRUE(half == aQuadVal<int>(3, -3, 4, 0));
    EXPECT_FALSE(half == aQuadVal<int>(3, -3, 4, 1));

    aColor4<int> c(10, 20, 30, 40);
    c += aQuadVal<int>(1, 2, 3, 4);
    c *= 2;
    EXPECT_TRUE(c == aColor4<int>(22, 44, 66, 88));
    aColor4<int> n(0, 6, 0, 8);
    n.Normalize(); // 6/10 and 8/10 truncate
    EXPECT_TRUE(n == 0);
}
