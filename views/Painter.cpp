#include "Painter.h"

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
