#include "uiBar.h"

#include "mTrace.h"
#include "uiColorDraw.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

uiBar::uiBar(QWidget* parent, bool horizontal, float h, float s, float v)
    : uiWin(parent), myHorizontal(horizontal), myH(h), myS(s), myV(v)
{
}

uiBar::~uiBar() = default;

void uiBar::doLayout()
{
    update();
}

void uiBar::placeMarker()
{
    if (myHorizontal) {
        myX = int(float(width()) * barValue());
        myY = 0;
    } else {
        myX = 0;
        myY = int(float(height()) * barValue());
    }
}

QPointF uiBar::valueOneEnd() const
{
    return myHorizontal ? QPointF(width(), 0) : QPointF(0, 0);
}

QPointF uiBar::valueZeroEnd() const
{
    return myHorizontal ? QPointF(0, 0) : QPointF(0, height());
}

void uiBar::point(QMouseEvent* event)
{
    float const length = float(myHorizontal ? width() : height());
    // A bar of no length has no values to point at.
    if (length <= 0.0f)
        return;
    float const along = myHorizontal ? float(event->position().x())
                                     : length - float(event->position().y());
    pointerValue(std::clamp(along / length, 0.0f, 1.0f));
}

void uiBar::mousePressEvent(QMouseEvent* event)
{
    point(event);
}

void uiBar::mouseReleaseEvent(QMouseEvent* event)
{
    point(event);
}

void uiBar::mouseMoveEvent(QMouseEvent* event)
{
    point(event);
}

void uiBar::paintEvent(QPaintEvent*)
{
    M_TRACE("Paint %s Hue=%.2f, Sat=%.2f, X=%i, Y=%i\n", traceName(), double(myH), double(myS), myX,
            myY);
    int const w = width();
    int const h = height();
    QPainter painter(this);
    paintBar(painter, w, h);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QColor(255, 0, 0));
    painter.setBrush(QColor(255, 0, 0));
    float const value = barValue();
    if (myHorizontal)
        painter.drawRect(int(float(w - 2) * value - 1), 0, 3, h - 1);
    else
        painter.drawRect(0, int(float(h - 2) * (1 - value) - 1), w - 1, 3);
    uiColorDraw::frame(painter, w, h);
}
