#pragma once

#include "aRef.h"

#include <cstddef>
#include <cstdint>

// A channel of a pixel, by its byte index; byte 3 is alpha for every alpha operation.
enum aImg_Chan { aImg_ChanR = 0, aImg_ChanG = 1, aImg_ChanB = 2, aImg_ChanA = 3 };

// An in-memory raster: rows top to bottom without gaps, a fixed number of bytes per pixel
// that the derived class decides. Channel c of pixel (x, y) is byte y * GetDy() + x * GetDx() + c.
class aImg
{
public:
    aImg();
    aImg(aImg const&) = delete;
    aImg& operator=(aImg const&) = delete;
    virtual ~aImg();

    virtual aRef<aImg> NewClone(bool copyPixels) = 0;
    virtual uint32_t GetWidth() const { return myW; }
    virtual uint32_t GetHeight() const { return myH; }
    virtual uint32_t GetW() const { return myW; }
    virtual uint32_t GetH() const { return myH; }
    virtual unsigned char* GetData() { return myData; }
    virtual unsigned char const* GetData() const { return myData; }
    virtual size_t GetDy() const { return size_t(myW) * size_t(GetBytesPerPixel()); }
    virtual size_t GetDx() const { return size_t(GetBytesPerPixel()); }
    virtual int GetBytesPerPixel() const = 0;
    virtual int GetNumChannels() const = 0;
    virtual float channelToFloat(unsigned char* p);
    // Reflects a coordinate that lies off the image back onto it; true when none was off.
    virtual bool EdgeMirror(float& x, float& y);
    virtual float SampleFastAndDangerous(int ch, float x, float y);
    virtual float SampleBicubic(int ch, float x, float y);
    virtual float SampleDecimate(int ch, float x, float y);
    virtual void InitLookups();
    virtual void dealloc();

    // Takes a buffer over (data, lent unless ownsData) or, with no data and both sides above
    // zero, allocates one. A size whose byte count cannot be represented gives no image at all.
    void Init(uint32_t w, uint32_t h, unsigned char* data, bool ownsData);

    // The byte count of a w x h image, false when it cannot be represented (sides stay below
    // INT_MAX, since the pixel operations work in int).
    static bool ByteCount(uint32_t w, uint32_t h, int bytesPerPixel, size_t& count);

    static float* ourLookup8BitToFloat;

protected:
    uint32_t myW;
    uint32_t myH;
    unsigned char* myData;
    bool myOwnsData;
};
