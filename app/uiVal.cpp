#include "uiVal.h"

#include "uiColorDraw.h"

#include <QLinearGradient>
#include <QPainter>

uiVal::uiVal(QWidget* parent, bool horizontal, float h, float s, float v)
    : uiBar(parent, horizontal, h, s, v)
{
    placeMarker();
    update();
}

uiVal::~uiVal() = default;

void uiVal::setColor(float h, float s, float v)
{
    myH = h;
    myS = s;
    myV = v;
    placeMarker();
    update();
}

void uiVal::setValue(float v)
{
    myV = v;
    placeMarker();
    update();
}

void uiVal::setColorSlot(float h, float s, float v)
{
    setColor(h, s, v);
}

float uiVal::barValue() const
{
    return myV;
}

void uiVal::pointerValue(float value)
{
    myV = value;
    placeMarker();
    update();
    Q_EMIT valueChanged(this, value);
}

void uiVal::paintBar(QPainter& painter, int w, int h)
{
    QLinearGradient ramp(valueOneEnd(), valueZeroEnd());
    ramp.setColorAt(0.0, uiColorDraw::toQColor(myH, myS, 1.0f, 1.0f));
    ramp.setColorAt(1.0, uiColorDraw::toQColor(myH, myS, 0.0f, 1.0f));
    painter.setPen(Qt::NoPen);
    painter.setBrush(ramp);
    painter.drawRect(0, 0, w, h);
}

char const* uiVal::traceName() const
{
    return "uiVal";
}
