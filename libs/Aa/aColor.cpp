#include "aColor.h"

#include <cmath>
#include <cstdio>

aColor::~aColor() = default;

static float larger(float a, float b) { return a > b ? a : b; }
static float smaller(float a, float b) { return a < b ? a : b; }

void aColor::RgbToHsv(float r, float g, float b, float& h, float& s, float& v)
{
    RgbToHsv(r, g, b, &h, &s, &v);
}

void aColor::RgbToHsv(float r, float g, float b, float* h, float* s, float* v)
{
    float const max = larger(larger(r, g), b);
    float const min = smaller(smaller(r, g), b);
    *v = max;
    *s = (max != 0.0f) ? (max - min) / max : 0.0f;
    if (*s == 0.0f) {
        *h = 0.0f; // grey has no hue
        return;
    }
    // Each difference of components is divided once: (max - b) / delta - (max - g) / delta
    // would round twice and drift (128, 64, 32 must give 19.999998, not 20.000002).
    float const delta = max - min;
    // Exact comparisons: on a tie red wins over green, green over blue.
    float hue;
    if (r == max)
        hue = (g - b) / delta;
    else if (g == max)
        hue = 2.0f + (b - r) / delta;
    else
        hue = 4.0f + (r - g) / delta;
    hue = hue * 60.0f;
    if (hue < 0.0f)
        hue = hue + 360.0f;
    *h = hue;
}

void aColor::HsvToRgb(float h, float s, float v, float& r, float& g, float& b)
{
    HsvToRgb(h, s, v, &r, &g, &b);
}

// Brings a hue into [0, 360). False when it cannot: not a number, infinite, or so large that
// a step of 360 no longer changes it.
static bool wrapHue(float& h)
{
    if (!std::isfinite(h))
        return false;
    while (h < 0.0f) {
        float const next = h + 360.0f;
        if (next == h)
            return false;
        h = next;
    }
    while (h >= 360.0f) {
        float const next = h - 360.0f;
        if (next == h)
            return false;
        h = next;
    }
    return true;
}

void aColor::HsvToRgb(float h, float s, float v, float* r, float* g, float* b)
{
    if (s == 0.0f) {
        *r = *g = *b = v;
        return;
    }
    float const x = h / 60.0f;
    if (!wrapHue(h)) {
        *r = *g = *b = 0.0f;
        std::fprintf(stderr, "hsv_to_rgb error %g %g %g\n", static_cast<double>(x),
                     static_cast<double>(s), static_cast<double>(v));
        return;
    }
    float const sx = h / 60.0f;
    int const i = static_cast<int>(std::floor(sx));
    float const f = sx - static_cast<float>(i);
    float const sf = s * f;
    double const dv = v;
    double const ds = s;
    float const p = static_cast<float>(dv * (1.0 - ds));
    float const q = static_cast<float>(dv * (1.0 - static_cast<double>(sf)));
    float const t = static_cast<float>(dv * (1.0 - ds * (1.0 - static_cast<double>(f))));
    switch (i) {
    case 0: *r = v; *g = t; *b = p; break;
    case 1: *r = q; *g = v; *b = p; break;
    case 2: *r = p; *g = v; *b = t; break;
    case 3: *r = p; *g = q; *b = v; break;
    case 4: *r = t; *g = p; *b = v; break;
    case 5: *r = v; *g = p; *b = q; break;
    default:
        *r = *g = *b = 0.0f;
        std::fprintf(stderr, "hsv_to_rgb error %g %g %g\n", static_cast<double>(sx),
                     static_cast<double>(s), static_cast<double>(v));
        break;
    }
}

float aColor::RgbToGrey(float r, float g, float b)
{
    return larger(larger(r, g), b);
}
