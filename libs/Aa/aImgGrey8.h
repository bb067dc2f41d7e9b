#pragma once

#include "aImg.h"

// An image of one byte per pixel: the grey source of a channel copy. The library needs only
// its size and bytes; a concrete kind supplies the clone.
class aImgGrey8 : public aImg
{
public:
    ~aImgGrey8() override = default;
    int GetBytesPerPixel() const override { return 1; }
    int GetNumChannels() const override { return 1; }
};
