#include "uiColorDraw.h"

#include "aColor.h"

#include <QPainter>

#include <cmath>

namespace {

constexpr int ourCell = 5;

} // namespace

int uiColorDraw::toByte(float c)
{
    if (!(c > 0.0f))
        return 0;
    if (c >= 1.0f)
        return 255;
    return int(std::lround(c * 255.0f));
}

void uiColorDraw::toRgba8(float h, float s, float v, float a, int& r, int& g, int& b, int& a8)
{
    float fr, fg, fb;
    aColor::HsvToRgb(h * 360.0f, s, v, fr, fg, fb);
    r = toByte(fr);
    g = toByte(fg);
    b = toByte(fb);
    a8 = toByte(a);
}

QColor uiColorDraw::toQColor(float h, float s, float v, float a)
{
    int r, g, b, a8;
    toRgba8(h, s, v, a, r, g, b, a8);
    return QColor(r, g, b, a8);
}

void uiColorDraw::checkerboard(QPainter& painter, int w, int h)
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    for (int row = 0; row * ourCell < h + ourCell; ++row)
        for (int col = 0; col * ourCell < w + ourCell; ++col)
            painter.fillRect(col * ourCell, row * ourCell, ourCell, ourCell,
                             (row + col) % 2 ? QColor(255, 255, 255) : QColor(0, 0, 0));
}

void uiColorDraw::frame(QPainter& painter, int w, int h)
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QColor(200, 200, 200));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(0, 0, w - 1, h - 1);
}
