#include "uiSwatch.h"

#include "uiColorDraw.h"

#include <QPainter>

uiSwatch::uiSwatch(QWidget* parent, float h, float s, float v, float a)
    : uiWin(parent), myH(h), myS(s), myV(v), myA(a)
{
    update();
}

uiSwatch::~uiSwatch() = default;

void uiSwatch::setColor(float h, float s, float v, float a)
{
    myH = h;
    myS = s;
    myV = v;
    myA = a;
    update();
}

void uiSwatch::getColor(float& h, float& s, float& v, float& a) const
{
    h = myH;
    s = myS;
    v = myV;
    a = myA;
}

void uiSwatch::doLayout()
{
}

void uiSwatch::mousePressEvent(QMouseEvent*)
{
}

void uiSwatch::mouseMoveEvent(QMouseEvent*)
{
}

void uiSwatch::mouseReleaseEvent(QMouseEvent*)
{
    update();
    Q_EMIT swatchClicked(this, myH, myS, myV, myA);
}

void uiSwatch::paintEvent(QPaintEvent*)
{
    int const w = width();
    int const h = height();
    QPainter painter(this);
    uiColorDraw::checkerboard(painter, w, h);
    painter.setPen(Qt::NoPen);
    painter.setBrush(uiColorDraw::toQColor(myH, myS, myV, myA));
    painter.drawRect(0, 0, w, h);
    uiColorDraw::frame(painter, w, h);
}
