#pragma once

#include "aImg.h"

class aImgGrey8;

// Four bytes per pixel, channel k at byte k; byte 3 is alpha.
class aImgRgba32 : public aImg
{
public:
    // Allocates w x h pixels, contents not cleared.
    aImgRgba32(uint32_t w, uint32_t h);
    ~aImgRgba32() override;

    aRef<aImg> NewClone(bool copyPixels) override;
    int GetBytesPerPixel() const override { return 4; }
    int GetNumChannels() const override { return 4; }
    float channelToFloat(unsigned char* p) override;
    float SampleFastAndDangerous(int ch, float x, float y) override;
    float SampleBicubic(int ch, float x, float y) override;
    float SampleDecimate(int ch, float x, float y) override;
    void dealloc() override;

    // Offset of byte 1 (not 0) of the pixel at fractional coordinates u, v in 0..1.
    virtual int GetOffset(float u, float v);
    virtual float GetMapping(int offset, float lo, float hi);
    virtual void SetTransparentColorByPixel(int x, int y, int tol);
    virtual float channelToFloat(unsigned short* p);
    virtual bool IsPixelTransparentTest(int x, int y);
    virtual void FlipVertical();
    virtual void CopyChannel(aImg_Chan ch, aImgGrey8* grey);
    virtual void FillChannel(aImg_Chan ch, unsigned char value);
    virtual void InvertChannel(aImg_Chan ch);
    virtual void FillRgb(unsigned char r, unsigned char g, unsigned char b);
    virtual void FillRgba(unsigned char r, unsigned char g, unsigned char b, unsigned char a);
    // A new image (the caller's) holding a copy of the rectangle; negative sizes mean "to the edge".
    virtual aImgRgba32* NewImageFromRegion(int x, int y, int w, int h);
    virtual void CopyPixels(int dx, int dy, aImgRgba32* src, int sx, int sy, int w, int h);
    virtual void Unpremultiply();
    virtual void GetAlphaRoi(int& left, int& top, int& right, int& bottom);
    virtual void SwapChannels(int c1, int c2);
    virtual void MapChannels(int d0, int d1, int d2, int d3);
    // Hue/saturation wheel at the given value; (r, g, b) outside it; swapRb writes b, g, r, a.
    virtual void DrawColorWheel(float value, int r, int g, int b, bool swapRb);

private:
    // Checks the channel and mirrors a point off the image back onto it; false for no image.
    bool OntoImage(int ch, float& x, float& y);
    size_t pixelCount() const { return myData ? size_t(myW) * size_t(myH) : 0; }
    unsigned char at(int ch, int x, int y) const { return myData[size_t(y) * GetDy() + size_t(x) * 4 + size_t(ch)]; }
};
