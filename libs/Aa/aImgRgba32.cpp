#include "aImgRgba32.h"

#include "Aa.h"
#include "aAssert.h"
#include "aColor.h"
#include "aImgGrey8.h"

#include <cmath>
#include <cstdio>
#include <cstring>

aImgRgba32::aImgRgba32(uint32_t w, uint32_t h)
{
    Init(w, h, nullptr, true);
}

aImgRgba32::~aImgRgba32()
{
    aImgRgba32::dealloc();
}

void aImgRgba32::dealloc()
{
    aImg::dealloc();
}

aRef<aImg> aImgRgba32::NewClone(bool copyPixels)
{
    aImgRgba32* clone = new aImgRgba32(myW, myH);
    if (copyPixels && myData && clone->myData)
        std::memcpy(clone->myData, myData, pixelCount() * 4);
    return aRef<aImg>(clone);
}

float aImgRgba32::channelToFloat(unsigned char* p)
{
    return *p / 255.0f;
}

float aImgRgba32::channelToFloat(unsigned short* p)
{
    return *reinterpret_cast<unsigned char*>(p) / 255.0f;
}

float aImgRgba32::SampleFastAndDangerous(int ch, float x, float y)
{
    return at(ch, int(x), int(y)) / 255.0f;
}

bool aImgRgba32::OntoImage(int ch, float& x, float& y)
{
    A_ASSERT((ch >= 0) && (ch < 4));
    if (!myData || myW == 0 || myH == 0)
        return false;
    float const wMax = float(myW - 1);
    float const hMax = float(myH - 1);
    if (!(x >= 0 && x <= wMax && y >= 0 && y <= hMax))
        EdgeMirror(x, y);
    return true;
}

float aImgRgba32::SampleDecimate(int ch, float x, float y)
{
    if (!OntoImage(ch, x, y))
        return 0.0f;
    return at(ch, int(x), int(y)) / 255.0f;
}

float aImgRgba32::SampleBicubic(int ch, float x, float y)
{
    if (!OntoImage(ch, x, y))
        return 0.0f;
    float const wMax = float(myW - 1);
    float const hMax = float(myH - 1);
    double const fx = std::floor(double(x));
    double const fy = std::floor(double(y));
    int const x0 = int(fx) - 1;
    int const y0 = int(fy) - 1;
    float p[4][4];
    for (int j = 0; j < 4; ++j) {
        for (int i = 0; i < 4; ++i) {
            float px = float(x0 + i);
            float py = float(y0 + j);
            if (!(px >= 0 && px <= wMax && py >= 0 && py <= hMax))
                EdgeMirror(px, py);
            p[j][i] = at(ch, int(px), int(py)) / 255.0f;
        }
    }
    auto weights = [](float t, float& a, float& b, float& c, float& d) {
        float const t2 = t * t;
        float const t3 = t2 * t;
        a = 2 * t3 - 3 * t2 + 1;
        b = -2 * t3 + 3 * t2;
        c = t3 - 2 * t2 + t;
        d = t3 - t2;
    };
    float a, b, c, d;
    weights(float(double(x) - fx), a, b, c, d);
    float row[4];
    for (int j = 0; j < 4; ++j)
        row[j] = p[j][1] * a + p[j][2] * b + ((p[j][2] - p[j][0]) * c) / 2 + ((p[j][3] - p[j][1]) * d) / 2;
    weights(float(double(y) - fy), a, b, c, d);
    float r = row[1] * a + row[2] * b + ((row[2] - row[0]) * c) / 2 + ((row[3] - row[1]) * d) / 2;
    if (r < 0)
        r = 0;
    if (r > 1)
        r = 1;
    return r;
}

int aImgRgba32::GetOffset(float u, float v)
{
    return (int(float(myH - 1) * v) * int(myW) + int(float(myW - 1) * u)) * 4 + 1;
}

float aImgRgba32::GetMapping(int offset, float lo, float hi)
{
    return ourLookup8BitToFloat[myData[offset]] * (hi - lo) + lo;
}

void aImgRgba32::SetTransparentColorByPixel(int x, int y, int tol)
{
    if (!myData || myW == 0 || myH == 0)
        return;
    if (x < 0)
        x = 0;
    if (x > int(myW) - 1)
        x = int(myW) - 1;
    if (y < 0)
        y = 0;
    if (y > int(myH) - 1)
        y = int(myH) - 1;
    int const k0 = at(0, x, y);
    int const k1 = at(1, x, y);
    int const k2 = at(2, x, y);
    unsigned char* p = myData;
    for (size_t n = pixelCount(); n > 0; --n, p += 4) {
        // Any one channel near the key makes the pixel transparent.
        bool const near = std::abs(p[0] - k0) <= tol || std::abs(p[1] - k1) <= tol || std::abs(p[2] - k2) <= tol;
        p[3] = near ? 0 : 255;
    }
}

bool aImgRgba32::IsPixelTransparentTest(int x, int y)
{
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wsign-compare" // the sign is tested first
    A_ASSERT((x>=0) && (x<myW));
    A_ASSERT((y>=0) && (y<myH));
#pragma GCC diagnostic pop
    return at(3, x, y) == 0;
}

void aImgRgba32::FlipVertical()
{
    if (!myData)
        return;
    size_t const dy = GetDy();
    for (uint32_t i = 0; i < myH / 2; ++i) {
        unsigned char* a = myData + size_t(i) * dy;
        unsigned char* b = myData + size_t(myH - 1 - i) * dy;
        for (size_t k = 0; k < dy; ++k) {
            unsigned char const t = a[k];
            a[k] = b[k];
            b[k] = t;
        }
    }
}

void aImgRgba32::CopyChannel(aImg_Chan ch, aImgGrey8* i)
{
    A_ASSERT((i->GetW() == myW) && (i->GetH() == myH));
    unsigned char const* g = i->GetData();
    if (!myData || !g)
        return;
    unsigned char* p = myData + ch;
    for (size_t n = pixelCount(); n > 0; --n, p += 4)
        *p = *g++;
}

void aImgRgba32::FillChannel(aImg_Chan ch, unsigned char value)
{
    if (!myData)
        return;
    unsigned char* p = myData + ch;
    for (size_t n = pixelCount(); n > 0; --n, p += 4)
        *p = value;
}

void aImgRgba32::InvertChannel(aImg_Chan ch)
{
    if (!myData)
        return;
    unsigned char* p = myData + ch;
    for (size_t n = pixelCount(); n > 0; --n, p += 4)
        *p = 255 - *p;
}

void aImgRgba32::FillRgb(unsigned char r, unsigned char g, unsigned char b)
{
    unsigned char* p = myData;
    for (size_t n = pixelCount(); n > 0; --n, p += 4) {
        p[0] = r;
        p[1] = g;
        p[2] = b;
    }
}

void aImgRgba32::FillRgba(unsigned char r, unsigned char g, unsigned char b, unsigned char a)
{
    unsigned char* p = myData;
    for (size_t n = pixelCount(); n > 0; --n, p += 4) {
        p[0] = r;
        p[1] = g;
        p[2] = b;
        p[3] = a;
    }
}

void aImgRgba32::SwapChannels(int c1, int c2)
{
    A_ASSERT((c1 >= 0) && (c1 < 4) && (c2 >= 0) && (c2 < 4));
    unsigned char* p = myData;
    for (size_t n = pixelCount(); n > 0; --n, p += 4) {
        unsigned char const t = p[c1];
        p[c1] = p[c2];
        p[c2] = t;
    }
}

void aImgRgba32::MapChannels(int d0, int d1, int d2, int d3)
{
    A_ASSERT((d0 >= 0) && (d0 < 4) && (d1 >= 0) && (d1 < 4) && (d2 >= 0) && (d2 < 4) && (d3 >= 0) && (d3 < 4));
    unsigned char* p = myData;
    for (size_t n = pixelCount(); n > 0; --n, p += 4) {
        unsigned char const old[4] = {p[0], p[1], p[2], p[3]};
        p[d0] = old[0];
        p[d1] = old[1];
        p[d2] = old[2];
        p[d3] = old[3];
    }
}

void aImgRgba32::Unpremultiply()
{
    unsigned char* p = myData;
    for (size_t n = pixelCount(); n > 0; --n, p += 4) {
        float const a = float(p[3] / 255.0);
        if (!(a > 0))
            continue;
        for (int k = 0; k < 3; ++k) {
            // A colour byte above its alpha was not premultiplied: saturate, don't wrap.
            double const v = p[k] / 255.0 / double(a) * 255.0;
            p[k] = v >= 255.0 ? 255 : static_cast<unsigned char>(v);
        }
    }
}

void aImgRgba32::GetAlphaRoi(int& left, int& top, int& right, int& bottom)
{
    left = int(GetW()) + 1;
    top = int(GetH()) + 1;
    right = -1;
    bottom = -1;
    if (!myData)
        return;
    unsigned char const* p = myData + 3;
    for (int y = 0; y < int(myH); ++y) {
        for (int x = 0; x < int(myW); ++x, p += 4) {
            if (*p == 0)
                continue;
            if (x < left)
                left = x;
            if (y < top)
                top = y;
            if (x > right)
                right = x;
            if (y > bottom)
                bottom = y;
        }
    }
}

aImgRgba32* aImgRgba32::NewImageFromRegion(int x, int y, int w, int h)
{
    int const sw = int(myW);
    int const sh = int(myH);
    if (Aa::detailedTraces())
        std::printf("New image from region: %ix%i at %i,%i\n", w, h, x, y);
    A_ASSERT(y>=0);
    A_ASSERT(x>=0);
    A_ASSERT(y<=sh-1);
    A_ASSERT(x<=sw-1);
    if (w < 0)
        w = sw - x;
    if (h < 0)
        h = sh - y;
    if (int64_t(y) + h > sh)
        h = sh - y;
    if (int64_t(x) + w > sw)
        w = sw - x;
    aImgRgba32* out = new aImgRgba32(uint32_t(w), uint32_t(h));
    if (!out->myData || !myData) // nothing to copy, or the pixels were released
        return out;
    for (int j = 0; j < h; ++j)
        std::memcpy(out->myData + size_t(j) * out->GetDy(), myData + size_t(y + j) * GetDy() + size_t(x) * 4, size_t(w) * 4);
    return out;
}

void aImgRgba32::CopyPixels(int dx, int dy, aImgRgba32* src, int sx, int sy, int w, int h)
{
    int64_t const sw = src->myW;
    int64_t const sh = src->myH;
    int64_t const dw = myW;
    int64_t const dh = myH;
    if (sx < 0)
        sx = 0;
    if (sy < 0)
        sy = 0;
    if (dx < 0)
        dx = 0;
    if (dy < 0)
        dy = 0;
    int64_t cw = w;
    int64_t ch = h;
    if (cw <= 0 || sx + cw > sw)
        cw = sw - sx;
    if (ch <= 0 || sy + ch > sh)
        ch = sh - sy;
    if (dx + cw > dw)
        cw = dw - dx;
    if (dy + ch > dh)
        ch = dh - dy;
    if (Aa::detailedTraces())
        std::printf("Copying %ix%i from %i,%i --> %i,%i\n", int(cw), int(ch), sx, sy, dx, dy);
    if (cw <= 0 || ch <= 0 || !myData || !src->myData)
        return;
    for (int64_t j = 0; j < ch; ++j)
        std::memmove(myData + size_t(dy + j) * GetDy() + size_t(dx) * 4,
                     src->myData + size_t(sy + j) * src->GetDy() + size_t(sx) * 4, size_t(cw) * 4);
}

// A component in 0..1 as a byte, truncated; a value outside the wheel's 0..1 saturates.
static unsigned char toByte(float c)
{
    float const v = c * 255;
    if (!(v > 0))
        return 0;
    return v >= 255 ? 255 : static_cast<unsigned char>(v);
}

void aImgRgba32::DrawColorWheel(float value, int r, int g, int b, bool swapRb)
{
    if (myW == 0 || myH == 0)
        return;
    A_ASSERT(myData);
    float const cx = float(myW / 2.0);
    float const cy = float(myH / 2.0);
    float const radius = cx < cy ? cx : cy;
    unsigned char* p = myData;
    for (uint32_t y = 0; y < myH; ++y) {
        for (uint32_t x = 0; x < myW; ++x, p += 4) {
            float const ox = float(x) - cx;
            float const oy = float(y) - cy;
            float const d = float(std::sqrt(double(ox * ox + oy * oy)));
            float const e = std::fabs(d - radius);
            unsigned char alpha;
            if (e < 1)
                alpha = static_cast<unsigned char>(e * 255);
            else
                alpha = d <= radius ? 255 : 0;
            unsigned char cr, cg, cb;
            if (d <= radius) {
                float const hue = float(double(atan2f(float(y) - cy, cx - float(x))) * 57.2957795 + 180.0);
                float fr, fg, fb;
                aColor::HsvToRgb(hue, d / radius, value, fr, fg, fb);
                cr = toByte(fr);
                cg = toByte(fg);
                cb = toByte(fb);
            } else {
                cr = static_cast<unsigned char>(r);
                cg = static_cast<unsigned char>(g);
                cb = static_cast<unsigned char>(b);
            }
            p[0] = swapRb ? cb : cr;
            p[1] = cg;
            p[2] = swapRb ? cr : cb;
            p[3] = alpha;
        }
    }
}
