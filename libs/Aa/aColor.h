#pragma once

// Colour conversions shared by the picker, the painter and the colour wheel. Components are
// floats (0..1 by every caller's convention), hues in degrees. The formulas are fixed in
// single precision because the colours on screen depend on their exact results.
class aColor
{
public:
    aColor() = default;
    aColor(aColor const&) = default;
    virtual ~aColor();
    // A mix-in without data: assignment copies nothing.
    aColor& operator=(aColor const&) { return *this; }

    static void RgbToHsv(float r, float g, float b, float& h, float& s, float& v);
    static void RgbToHsv(float r, float g, float b, float* h, float* s, float* v);
    static void HsvToRgb(float h, float s, float v, float& r, float& g, float& b);
    static void HsvToRgb(float h, float s, float v, float* r, float* g, float* b);
    // The HSV value, not a weighted luminance.
    static float RgbToGrey(float r, float g, float b);
};
