#include "aImgGrey8.h"
#include "aImgRgba32.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace {

// A one-byte image over a caller's buffer, as a channel source.
class Grey : public aImgGrey8
{
public:
    Grey(uint32_t w, uint32_t h, unsigned char* data) { Init(w, h, data, false); }
    aRef<aImg> NewClone(bool) override { return aRef<aImg>(); }
};

unsigned char* px(aImgRgba32& img, int x, int y)
{
    return img.GetData() + size_t(y) * img.GetDy() + size_t(x) * 4;
}

void expectPixel(aImgRgba32& img, int x, int y, int r, int g, int b, int a)
{
    unsigned char const* p = px(img, x, y);
    EXPECT_EQ(p[0], r) << x << "," << y;
    EXPECT_EQ(p[1], g) << x << "," << y;
    EXPECT_EQ(p[2], b) << x << "," << y;
    EXPECT_EQ(p[3], a) << x << "," << y;
}

// Each pixel (x, y) gets channel 0 = x, 1 = y, 2 = x + 10 y, 3 = 200.
void fillCoords(aImgRgba32& img)
{
    for (uint32_t y = 0; y < img.GetH(); ++y)
        for (uint32_t x = 0; x < img.GetW(); ++x) {
            unsigned char* p = px(img, int(x), int(y));
            p[0] = static_cast<unsigned char>(x);
            p[1] = static_cast<unsigned char>(y);
            p[2] = static_cast<unsigned char>(x + 10 * y);
            p[3] = 200;
        }
}

} // namespace

TEST(aImgRgba32Test, ColorWheelPixels)
{
    aImgRgba32 img(100, 100);
    img.DrawColorWheel(1.0f, 50, 50, 50, false);
    expectPixel(img, 99, 50, 255, 5, 5, 255);    // hue 0, saturation 0.98
    expectPixel(img, 50, 0, 127, 255, 0, 0);     // hue 90 on the rim
    expectPixel(img, 0, 0, 50, 50, 50, 0);       // outside
    // Just outside the rim the alpha rises with the distance from it.
    EXPECT_EQ(px(img, 14, 15)[3], 53); // 0.21 pixel outside
    EXPECT_EQ(px(img, 14, 15)[0], 50);
    EXPECT_EQ(px(img, 15, 15)[3], 128); // 0.503 pixel inside

    img.DrawColorWheel(0.5f, 1, 2, 3, true);
    expectPixel(img, 99, 50, 2, 2, 127, 255); // red lands in byte 2

    // An odd size: centre 2.5, radius 2.5; nothing is written off the image.
    aImgRgba32 odd(7, 5);
    odd.DrawColorWheel(1.0f, 9, 9, 9, false);
    EXPECT_EQ(px(odd, 3, 2)[3], 255);
    EXPECT_EQ(px(odd, 6, 2)[3], 12); // 0.05 pixel outside
}

TEST(aImgRgba32Test, EdgeMirrorAndSampling)
{
    aImgRgba32 img(10, 10);
    float x = -2, y = 3;
    EXPECT_FALSE(img.EdgeMirror(x, y));
    EXPECT_EQ(x, 2);
    EXPECT_EQ(y, 3);
    x = 9, y = 9;
    EXPECT_TRUE(img.EdgeMirror(x, y));
    x = 10.5f, y = 0;
    EXPECT_FALSE(img.EdgeMirror(x, y));
    EXPECT_EQ(x, 7.5f);
    x = 40, y = std::numeric_limits<float>::quiet_NaN(); // beyond one extent: kept on the image
    EXPECT_FALSE(img.EdgeMirror(x, y));
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);

    img.FillRgba(77, 0, 0, 255);
    for (float s : {0.0f, 0.5f, 4.25f, 8.99f, 9.0f, -0.75f, 9.5f})
        EXPECT_NEAR(img.SampleBicubic(0, s, 9 - s), 77 / 255.0f, 1e-6f) << s;
    EXPECT_EQ(img.SampleDecimate(0, -3.5f, 12.0f), 77 / 255.0f);

    // Between a dark and a bright pixel the curve overshoots: clamped.
    aImgRgba32 step(4, 4);
    step.FillRgba(0, 0, 0, 0);
    for (int y2 = 0; y2 < 4; ++y2)
        for (int x2 = 2; x2 < 4; ++x2)
            px(step, x2, y2)[0] = 255;
    EXPECT_EQ(step.SampleBicubic(0, 2.2f, 1.5f), 1.0f);
    EXPECT_EQ(step.SampleBicubic(0, 0.8f, 1.5f), 0.0f);
    EXPECT_NEAR(step.SampleBicubic(0, 1.5f, 1.5f), 0.5f, 1e-6f);

    img.FillChannel(aImg_ChanG, 51);
    int const off = img.GetOffset(1.0f, 0.0f);
    EXPECT_EQ(off, 9 * 4 + 1);
    EXPECT_FLOAT_EQ(img.GetMapping(off, 10, 20), 12);
}

TEST(aImgRgba32Test, ChannelOperations)
{
    aImgRgba32 img(3, 2);
    img.FillRgba(30, 20, 10, 215);
    img.MapChannels(3, 3, 0, 1); // old 0 and 1 both go to 3: the later write wins
    expectPixel(img, 0, 0, 10, 215, 10, 20);

    unsigned char grey[6] = {0, 1, 2, 3, 4, 5};
    Grey g(3, 2, grey);
    img.CopyChannel(aImg_ChanB, &g);
    EXPECT_EQ(px(img, 2, 1)[2], 5);
    EXPECT_EQ(px(img, 0, 1)[2], 3);

    // A colour byte above its alpha saturates instead of wrapping.
    aImgRgba32 pm(6, 1);
    unsigned char const in[6][4] = {{64, 64, 64, 128}, {128, 128, 128, 128}, {9, 99, 199, 255},
                                    {5, 6, 7, 0},      {200, 255, 129, 128}, {255, 1, 2, 3}};
    std::memcpy(pm.GetData(), in, sizeof in);
    pm.Unpremultiply();
    expectPixel(pm, 0, 0, 127, 127, 127, 128);
    expectPixel(pm, 1, 0, 254, 254, 254, 128);
    expectPixel(pm, 2, 0, 9, 99, 199, 255);
    expectPixel(pm, 3, 0, 5, 6, 7, 0);
    expectPixel(pm, 4, 0, 255, 255, 255, 128);
    expectPixel(pm, 5, 0, 255, 84, 169, 3);

    aImgRgba32 key(3, 1);
    unsigned char const keyed[3][4] = {{10, 20, 30, 7}, {10, 99, 99, 7}, {11, 21, 31, 7}};
    std::memcpy(key.GetData(), keyed, sizeof keyed);
    key.SetTransparentColorByPixel(-5, 0, 0);
    EXPECT_TRUE(key.IsPixelTransparentTest(0, 0));
    EXPECT_TRUE(key.IsPixelTransparentTest(1, 0)); // one equal channel suffices
    EXPECT_EQ(px(key, 2, 0)[3], 255);
}

TEST(aImgRgba32Test, AlphaBoxRegionsAndCopiesAreClipped)
{
    aImgRgba32 img(8, 6);
    img.FillRgba(0, 0, 0, 0);
    int l, t, r, b;
    img.GetAlphaRoi(l, t, r, b);
    EXPECT_EQ((std::vector<int>{l, t, r, b}), (std::vector<int>{9, 7, -1, -1}));
    px(img, 2, 3)[3] = 1;
    img.GetAlphaRoi(l, t, r, b);
    EXPECT_EQ((std::vector<int>{l, t, r, b}), (std::vector<int>{2, 3, 2, 3}));

    aImgRgba32 src(5, 4);
    fillCoords(src);
    testing::internal::CaptureStdout(); // traced
    std::unique_ptr<aImgRgba32> rest(src.NewImageFromRegion(2, 1, -1, -1));
    std::unique_ptr<aImgRgba32> clipped(src.NewImageFromRegion(2, 1, 10, 10));
    testing::internal::GetCapturedStdout();
    for (aImgRgba32* part : {rest.get(), clipped.get()}) {
        EXPECT_EQ(part->GetW(), 3u);
        EXPECT_EQ(part->GetH(), 3u);
        expectPixel(*part, 0, 0, 2, 1, 12, 200);
        expectPixel(*part, 2, 2, 4, 3, 34, 200);
    }

    aImgRgba32 small(3, 3), dst(3, 3);
    fillCoords(small);
    dst.FillRgba(0, 0, 0, 0);
    testing::internal::CaptureStdout();
    dst.CopyPixels(1, 1, &small, 0, 0, 0, 0);
    dst.CopyPixels(-4, 5, &small, 0, 0, 2, 2); // below the image: nothing
    testing::internal::GetCapturedStdout();
    expectPixel(dst, 0, 0, 0, 0, 0, 0);
    expectPixel(dst, 1, 1, 0, 0, 0, 200);
    expectPixel(dst, 2, 2, 1, 1, 11, 200);
}

TEST(aImgRgba32Test, LentAndOwnedBuffers)
{
    unsigned char lent[64] = {};
    {
        aImgRgba32 img(4, 4);
        img.Init(4, 4, lent, false);
        img.FillRgba(1, 2, 3, 4);
        img.dealloc();
        EXPECT_EQ(img.GetData(), lent); // a lent buffer stays referenced
        img.Init(4, 4, nullptr, true);
        EXPECT_NE(img.GetData(), lent);
        img.dealloc(); // released pixels: a region of them copies nothing
        testing::internal::CaptureStdout();
        delete img.NewImageFromRegion(1, 1, 2, 2);
        testing::internal::GetCapturedStdout();
        img.Init(2, 2, lent, false);
    }
    EXPECT_EQ(lent[63], 4); // the destructor leaves it alone too
    EXPECT_EQ(aImg::ourLookup8BitToFloat[51], 0.2f);
}

// Run under the sanitizers: every operation on empty, thin, tiny and unrepresentable sizes
// stays inside its buffer.
TEST(aImgRgba32Test, OddAndExtremeSizes)
{
    uint32_t const big = std::numeric_limits<uint32_t>::max();
    struct { uint32_t w, h; bool image; } const sizes[] = {
        {0, 0, false}, {0, 5, false}, {5, 0, false}, {1, 1, true},  {1, 7, true}, {7, 1, true},
        {2, 2, true},  {3, 5, true},  {big, big, false}, {big, 1, false}, {0x7fffffffu, 1, false}, {0x80000000u, 0, false},
    };
    for (auto const& s : sizes) {
        SCOPED_TRACE(testing::Message() << s.w << "x" << s.h);
        aImgRgba32 img(s.w, s.h);
        EXPECT_EQ(img.GetData() != nullptr, s.image);
        if (!s.image && s.w > 0 && s.h > 0) {
            EXPECT_EQ(img.GetW() * img.GetH(), 0u); // no image rather than a short buffer
        }
        img.FillRgba(1, 2, 3, 4);
        img.FillChannel(aImg_ChanA, 9);
        img.InvertChannel(aImg_ChanR);
        img.FillRgb(5, 6, 7);
        img.SwapChannels(1, 3);
        img.MapChannels(3, 2, 1, 0);
        img.Unpremultiply();
        img.FlipVertical();
        img.SetTransparentColorByPixel(100, -100, 3);
        img.DrawColorWheel(0.7f, 1, 2, 3, true);
        int l, t, r, b;
        img.GetAlphaRoi(l, t, r, b);
        for (float c : {-3.0f, -0.5f, 0.0f, 0.4f, 1.0f, 2.5f, 6.0f, 1e9f})
            for (float d : {-1.0f, 0.0f, 0.9f, 7.5f}) {
                float const v1 = img.SampleBicubic(2, c, d);
                float const v2 = img.SampleDecimate(1, d, c);
                EXPECT_THAT(v1, testing::AllOf(testing::Ge(0.0f), testing::Le(1.0f))) << c << ", " << d;
                EXPECT_THAT(v2, testing::AllOf(testing::Ge(0.0f), testing::Le(1.0f))) << d << ", " << c;
            }
        aRef<aImg> clone = img.NewClone(true);
        aImgRgba32 other(3, 3);
        fillCoords(other);
        testing::internal::CaptureStdout();
        other.CopyPixels(1, 1, &img, 0, 0, 9, 9);
        img.CopyPixels(0, 0, &other, 1, 1, -1, -1);
        testing::internal::GetCapturedStdout();
    }
}
