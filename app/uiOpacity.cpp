#include "uiOpacity.h"

#include "uiColorDraw.h"

#include <QLinearGradient>
#include <QPainter>

uiOpacity::uiOpacity(QWidget* parent, bool horizontal, float h, float s, float v, float a)
    : uiBar(parent, horizontal, h, s, v), myA(a)
{
    placeMarker();
    update();
}

uiOpacity::~uiOpacity() = default;

void uiOpacity::setColor(float h, float s, float v, float a)
{
    myH = h;
    myS = s;
    myV = v;
    myA = a;
    placeMarker();
    update();
}

void uiOpacity::setOpacity(float a)
{
    myA = a;
    placeMarker();
    update();
}

void uiOpacity::setColorSlot(float h, float s, float v, float a)
{
    setColor(h, s, v, a);
}

float uiOpacity::barValue() const
{
    return myA;
}

void uiOpacity::pointerValue(float value)
{
    myA = value;
    placeMarker();
    update();
    Q_EMIT opacityChanged(this, value);
}

void uiOpacity::paintBar(QPainter& painter, int w, int h)
{
    uiColorDraw::checkerboard(painter, w, h);
    QColor colour = uiColorDraw::toQColor(myH, myS, myV, 1.0f);
    QLinearGradient ramp(valueOneEnd(), valueZeroEnd());
    struct Stop
    {
        qreal at;
        int alpha;
    };
    for (Stop const stop : {Stop {0.0, 255}, Stop {0.1, 255}, Stop {0.7, 128}, Stop {1.0, 0}}) {
        colour.setAlpha(stop.alpha);
        ramp.setColorAt(stop.at, colour);
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(ramp);
    painter.drawRect(0, 0, w, h);
}

char const* uiOpacity::traceName() const
{
    return "uiOpacity";
}
