#include "Painter.h"

#include <vector>

namespace {

// In single precision, as every 8-bit form divides.
float unit(int component)
{
    return float(component) / 255.0f;
}

} // namespace

Painter::~Painter() = default;

void Painter::setAntiAlias(bool on)
{
    setAntiAliasing(on);
}

void Painter::setLineWidth(float t)
{
    setLineThickness(t);
}

void Painter::setLineSize(float t)
{
    setLineThickness(t);
}

void Painter::setLineColorRgb8(int r, int g, int b)
{
    setLineColorRgbaF(unit(r), unit(g), unit(b), 1.0f);
}

void Painter::setLineColorRgba8(int r, int g, int b, int a)
{
    setLineColorRgbaF(unit(r), unit(g), unit(b), unit(a));
}

void Painter::setLineColorRgbF(float r, float g, float b)
{
    setLineColorRgbaF(r, g, b, 1.0f);
}

void Painter::setLineColorHsva8(int h, int s, int v, int a)
{
    setLineColorHsvaF(unit(h), unit(s), unit(v), unit(a));
}

void Painter::setFillColorRgb8(int r, int g, int b)
{
    setFillColorRgbaF(unit(r), unit(g), unit(b), 1.0f);
}

void Painter::setFillColorRgba8(int r, int g, int b, int a)
{
    setFillColorRgbaF(unit(r), unit(g), unit(b), unit(a));
}

void Painter::setFillColorRgbF(float r, float g, float b)
{
    setFillColorRgbaF(r, g, b, 1.0f);
}

void Painter::setFillColorHsva8(int h, int s, int v, int a)
{
    setFillColorHsvaF(unit(h), unit(s), unit(v), unit(a));
}

void Painter::setTextColorRgb8(int r, int g, int b)
{
    setTextColorRgbaF(unit(r), unit(g), unit(b), 1.0f);
}

void Painter::setTextColorRgba8(int r, int g, int b, int a)
{
    setTextColorRgbaF(unit(r), unit(g), unit(b), unit(a));
}

void Painter::setTextColorHsva8(int h, int s, int v, int a)
{
    setTextColorHsvaF(unit(h), unit(s), unit(v), unit(a));
}

void Painter::setClipping(bool)
{
}

std::string Painter::elided(char const* text, float w, Cut cut) const
{
    std::string const whole(text ? text : "");
    float tw = 0.0f, th = 0.0f;
    auto fits = [&](std::string const& candidate) {
        getTextSize(candidate.c_str(), tw, th);
        return tw <= w;
    };
    if (fits(whole))
        return whole;
    // Where each character starts (UTF-8 continuation bytes are 10xxxxxx).
    std::vector<size_t> starts;
    for (size_t k = 0; k < whole.size(); ++k)
        if ((static_cast<unsigned char>(whole[k]) & 0xC0) != 0x80)
            starts.push_back(k);
    auto blank = [&](size_t at) { return whole[at] == ' ' || whole[at] == '\t'; };
    // n characters kept (fewer than all): the end keeps half of them in a middle cut.
    auto cutAt = [&](size_t n) {
        size_t const endKept = cut == Cut::Middle ? n / 2 : 0;
        size_t headEnd = starts[n - endKept];
        while (headEnd > 0 && blank(headEnd - 1))
            --headEnd;
        size_t tailStart = endKept ? starts[starts.size() - endKept] : whole.size();
        while (tailStart < whole.size() && blank(tailStart))
            ++tailStart;
        return whole.substr(0, headEnd) + "\xE2\x80\xA6" + whole.substr(tailStart); // "…"
    };
    if (starts.empty() || !fits(cutAt(0)))
        return std::string();
    // The most characters that fit with the mark; keeping one more is never narrower.
    size_t lo = 0, hi = starts.size() - 1;
    while (lo < hi) {
        size_t const mid = (lo + hi + 1) / 2;
        if (fits(cutAt(mid)))
            lo = mid;
        else
            hi = mid - 1;
    }
    return cutAt(lo);
}
