#include "uiColor.h"

#include "aColor.h"
#include "uiColorDraw.h"
#include "uiFonts.h"
#include "uiHs.h"
#include "uiOpacity.h"
#include "uiSwatch.h"
#include "uiVal.h"

#include <algorithm>
#include <initializer_list>

namespace {

// The wheel is drawn at full value whatever the colour's value: the value bar shows that.
constexpr float ourWheelValue = 1.0f;

// The layout's margin, gap and bar width, in pixels.
constexpr int ourMargin = 1;
constexpr int ourGap = 4;
constexpr int ourBar = 25;

} // namespace

uiColor::uiColor(QWidget* parent, float h, float s, float v, float a, int fontSize)
    : uiWin(parent), myH(h), myS(s), myV(v), myA(a),
      myFont(uiFonts::font("Helvetica", fontSize, 50))
{
    myHs = new uiHs(this, 2, 50, 50, 50, h, s, ourWheelValue);
    myVal = new uiVal(this, false, h, s, v);
    myOpacity = new uiOpacity(this, false, h, s, v, a);
    mySwatch = new uiSwatch(this, h, s, v, a);
    myLastSwatch = new uiSwatch(this, h, s, v, a);
    for (QWidget* child : std::initializer_list<QWidget*> {myHs, myVal, myOpacity, mySwatch,
                                                           myLastSwatch})
        child->show();
    connect(myHs, &uiHs::hsChanged, this, &uiColor::hsChangedCb);
    connect(myVal, &uiVal::valueChanged, this, &uiColor::valChangedCb);
    connect(myOpacity, &uiOpacity::opacityChanged, this, &uiColor::opacityChangedCb);
    connect(mySwatch, &uiSwatch::swatchClicked, this, &uiColor::swatchClickedCb);
    connect(myLastSwatch, &uiSwatch::swatchClicked, this, &uiColor::lastSwatchClickedCb);
    doLayout();
    update();
}

uiColor::~uiColor() = default;

void uiColor::setColor(float h, float s, float v, float a)
{
    myH = h;
    myS = s;
    myV = v;
    myA = a;
    myHs->setColor(h, s, ourWheelValue);
    myVal->setColor(h, s, v);
    myOpacity->setColor(h, s, v, a);
    mySwatch->setColor(h, s, v, a);
    Q_EMIT colorChanged(h, s, v, a);
}

void uiColor::setColor(int r, int g, int b, int a)
{
    float h, s, v;
    aColor::RgbToHsv(float(r) / 255.0f, float(g) / 255.0f, float(b) / 255.0f, h, s, v);
    setColor(h / 360.0f, s, v, float(a) / 255.0f);
}

void uiColor::getColor(int& r, int& g, int& b, int& a) const
{
    uiColorDraw::toRgba8(myH, myS, myV, myA, r, g, b, a);
}

void uiColor::getColor(float& h, float& s, float& v, float& a) const
{
    h = myH;
    s = myS;
    v = myV;
    a = myA;
}

void uiColor::setLastColor(float, float, float, float)
{
    myLastSwatch->setColor(myH, myS, myV, myA);
}

void uiColor::hsChangedCb(uiHs*, float h, float s)
{
    myH = h;
    myS = s;
    myVal->setColor(h, s, myV);
    showEdit();
}

void uiColor::valChangedCb(uiVal*, float v)
{
    myV = v;
    myHs->setColor(myH, myS, ourWheelValue);
    showEdit();
}

void uiColor::opacityChangedCb(uiOpacity*, float a)
{
    myA = a;
    mySwatch->setColor(myH, myS, myV, myA);
    Q_EMIT colorChanged(myH, myS, myV, myA);
}

void uiColor::showEdit()
{
    myOpacity->setColor(myH, myS, myV, myA);
    mySwatch->setColor(myH, myS, myV, myA);
    Q_EMIT colorChanged(myH, myS, myV, myA);
}

void uiColor::lastSwatchClickedCb(uiSwatch*, float h, float s, float v, float a)
{
    setColor(h, s, v, a);
}

void uiColor::swatchClickedCb(uiSwatch*, float h, float s, float v, float a)
{
    setColor(h, s, v, a);
}

void uiColor::doLayout()
{
    int const w = width();
    int const h = height();
    int const side = std::min(w, h);
    int const barH = h - 14;
    int const swatchH = barH / 2 - ourGap;
    int const valX = ourMargin + ourBar + ourMargin + 2 * ourGap;
    int const fieldX = valX + ourBar + ourGap;
    int const fieldSide = side - 2 * ourMargin;
    int const opacityX = fieldX + fieldSide + ourMargin + ourGap;
    mySwatch->setGeometry(ourMargin, 8, ourBar, swatchH);
    myLastSwatch->setGeometry(ourMargin, swatchH + 16, ourBar, swatchH);
    myVal->setGeometry(valX, 8, ourBar, barH);
    myHs->setGeometry(fieldX, ourMargin, fieldSide, fieldSide);
    myOpacity->setGeometry(opacityX, 8, ourBar, barH);
}
