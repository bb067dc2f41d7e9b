#include "aImg.h"

#include "aAssert.h"

#include <climits>
#include <cmath>
#include <cstdint>

float* aImg::ourLookup8BitToFloat = nullptr;

aImg::aImg() : myW(0), myH(0), myData(nullptr), myOwnsData(false)
{
    Init(0, 0, nullptr, false);
    InitLookups();
}

aImg::~aImg()
{
    aImg::dealloc();
}

bool aImg::ByteCount(uint32_t w, uint32_t h, int bytesPerPixel, size_t& count)
{
    // Below INT_MAX, so that a side and one more (the empty alpha box) still fit in an int.
    if (w >= uint32_t(INT_MAX) || h >= uint32_t(INT_MAX) || bytesPerPixel <= 0)
        return false;
    size_t n = 0;
    if (__builtin_mul_overflow(size_t(w), size_t(h), &n) || __builtin_mul_overflow(n, size_t(bytesPerPixel), &n))
        return false;
    if (n > size_t(PTRDIFF_MAX))
        return false;
    count = n;
    return true;
}

void aImg::Init(uint32_t w, uint32_t h, unsigned char* data, bool ownsData)
{
    if (myData && myOwnsData)
        delete[] myData;
    myData = nullptr;
    myW = w;
    myH = h;
    if (!data && w > 0 && h > 0) {
        size_t n = 0;
        if (!ByteCount(w, h, GetBytesPerPixel(), n)) {
            myW = 0;
            myH = 0;
        } else {
            myData = new unsigned char[n];
        }
    } else {
        myData = data;
    }
    myOwnsData = ownsData;
}

void aImg::dealloc()
{
    if (myData && myOwnsData) {
        delete[] myData;
        myData = nullptr;
    }
}

void aImg::InitLookups()
{
    if (ourLookup8BitToFloat)
        return;
    // Made once and kept for the life of the process.
    float* table = new float[256];
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<float>(i / 255.0);
    ourLookup8BitToFloat = table;
}

float aImg::channelToFloat(unsigned char*)
{
    A_ASSERT(0);
}

float aImg::SampleFastAndDangerous(int, float, float)
{
    A_ASSERT(0);
}

float aImg::SampleBicubic(int, float, float)
{
    A_ASSERT(0);
}

float aImg::SampleDecimate(int, float, float)
{
    A_ASSERT(0);
}

bool aImg::EdgeMirror(float& x, float& y)
{
    float const wMax = static_cast<float>(int64_t(GetWidth()) - 1);
    float const hMax = static_cast<float>(int64_t(GetHeight()) - 1);
    bool inside = true;
    if (y < 0) {
        y = -y;
        inside = false;
    }
    if (x < 0) {
        x = -x;
        inside = false;
    }
    if (x > wMax) {
        x = static_cast<float>(2 * (int64_t(GetWidth()) - 1)) - x;
        inside = false;
    }
    if (y > hMax) {
        y = static_cast<float>(2 * (int64_t(GetHeight()) - 1)) - y;
        inside = false;
    }
    // One reflection cannot bring back a coordinate more than one extent off, nor any on an
    // image one pixel wide: clamp, so that no caller reads off the buffer.
    if (!(x >= 0) || !(x <= wMax)) {
        x = (x > wMax && wMax >= 0) ? wMax : 0;
        inside = false;
    }
    if (!(y >= 0) || !(y <= hMax)) {
        y = (y > hMax && hMax >= 0) ? hMax : 0;
        inside = false;
    }
    return inside;
}
