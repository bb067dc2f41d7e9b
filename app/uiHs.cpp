#include "uiHs.h"

#include "aImgRgba32.h"
#include "mTrace.h"

#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// The marker is drawn a little up and left of the pointer's hot spot.
constexpr int ourPointerOffset = 3;
constexpr double ourRadians = 0.017453292;
constexpr double ourDegrees = 57.2957795;

} // namespace

uiHs::uiHs(QWidget* parent, int border, int r, int g, int b, float h, float s, float v)
    : uiWin(parent), myR(r), myG(g), myB(b), myBorder(border), myH(h), myS(s), myV(v)
{
    rebuildPicture();
    placeMarker();
    update();
}

uiHs::~uiHs() = default;

void uiHs::setColor(float h, float s, float v)
{
    myH = h;
    myS = s;
    myV = v;
    rebuildPicture();
    placeMarker();
    update();
}

void uiHs::setValue(float v)
{
    myV = v;
    rebuildPicture();
    update();
}

void uiHs::setColorSlot(float h, float s, float v)
{
    setColor(h, s, v);
}

void uiHs::doLayout()
{
}

float uiHs::halfSide() const
{
    int const side = std::min(width() - 2 * myBorder, height() - 2 * myBorder);
    return side > 0 ? float(side) / 2.0f : 0.0f;
}

void uiHs::rebuildPicture()
{
    int const side = std::min(width() - 2 * myBorder, height() - 2 * myBorder);
    if (side <= 0) {
        myPix = QPixmap();
        myPixV = -1.0f;
        return;
    }
    if (myPixV == myV && myPix.width() == side)
        return;
    aImgRgba32 wheel {uint32_t(side), uint32_t(side)};
    if (!wheel.GetData())
        return;
    // An ARGB32 image holds each pixel as the bytes b, g, r, a on this machine.
    bool const bgra = QSysInfo::ByteOrder == QSysInfo::LittleEndian;
    wheel.DrawColorWheel(myV, myR, myG, myB, bgra);
    QImage const image(wheel.GetData(), side, side, side * 4, QImage::Format_ARGB32);
    myPix = QPixmap::fromImage(image);
    myPixV = myV;
}

void uiHs::placeMarker()
{
    float const c = halfSide();
    double const r = double(c * myS);
    double const angle = double(myH) * 360.0 * ourRadians;
    myX = int(myBorder + c + r * std::cos(angle));
    myY = int(height() - (myBorder + c + r * std::sin(angle)));
}

void uiHs::pick(QMouseEvent* event)
{
    float const c = halfSide();
    // No wheel, nothing to pick.
    if (c <= 0.0f)
        return;
    double const dx = (event->position().x() - ourPointerOffset) - double(c + myBorder);
    double const dy = (event->position().y() - ourPointerOffset) - double(c + myBorder);
    float s = float(std::sqrt(dx * dx + dy * dy) / c);
    float const h = float((std::atan2(dy, -dx) * ourDegrees + 180.0) / 360.0);
    if (s > 1.0f)
        s = 1.0f;
    myH = h;
    myS = s;
    placeMarker();
    update();
    Q_EMIT hsChanged(this, h, s);
}

void uiHs::mousePressEvent(QMouseEvent* event)
{
    pick(event);
}

void uiHs::mouseReleaseEvent(QMouseEvent* event)
{
    pick(event);
}

void uiHs::mouseMoveEvent(QMouseEvent* event)
{
    pick(event);
}

void uiHs::paintEvent(QPaintEvent*)
{
    M_TRACE("Paint uiHs Hue=%.2f, Sat=%.2f, X=%i, Y=%i\n", double(myH), double(myS), myX, myY);
    QPainter painter(this);
    if (!myPix.isNull())
        painter.drawPixmap(myBorder, myBorder, myPix);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(myS == 1.0f ? QColor(255, 255, 255) : QColor(0, 0, 0));
    painter.drawRect(myX - 1, myY - 1, 3, 3);
}

void uiHs::resizeEvent(QResizeEvent* event)
{
    rebuildPicture();
    placeMarker();
    uiWin::resizeEvent(event);
}
