#include "uiControl.h"

#include "aColor.h"
#include "mTrace.h"
#include "uiFonts.h"

#include <QEnterEvent>
#include <QPainter>

namespace {

// Each component times 255 in single precision, truncated (alpha 0.5 gives 127).
QColor hsva(float h, float s, float v, float a)
{
    float r, g, b;
    aColor::HsvToRgb(h * 360.0f, s, v, r, g, b);
    return QColor(int(r * 255.0f), int(g * 255.0f), int(b * 255.0f), int(a * 255.0f));
}

} // namespace

uiControl::uiControl(QWidget* parent, char const* label, float hue, float sat, float val,
                     int fontSize)
    : uiWin(parent), myFont(uiFonts::font("Helvetica", fontSize, 50)), myHue(hue), mySat(sat),
      myVal(val)
{
    myLabel = label ? label : "";
}

uiControl::~uiControl() = default;

uiControl::Look uiControl::look(float hue, float sat, float val, bool active, bool hover)
{
    float const dim = hover ? 1.0f : 0.8f;
    if (active)
        return {hsva(0, 0, 1 * dim, 0.5f), hsva(hue, sat, val * dim, 1), hsva(0, 0, 0, 1)};
    return {hsva(hue, sat, val * dim, 1), hsva(0, 0, 0, 0), hsva(hue, sat, val, 1)};
}

void uiControl::enterEvent(QEnterEvent* event)
{
    M_TRACE("Enter event!\n");
    myHover = true;
    event->accept();
    update();
}

void uiControl::leaveEvent(QEvent* event)
{
    M_TRACE("Exit event!\n");
    myHover = false;
    event->accept();
    update();
}

void uiControl::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    Look const colours = look(myHue, mySat, myVal, isActiveLook(), myHover);
    painter.setPen(colours.outline);
    painter.setBrush(QBrush(colours.fill));
    painter.drawRect(0, 0, width() - 1, height() - 1);
    if (colours.text.alpha() > 0) {
        painter.setPen(colours.text);
        painter.setFont(myFont);
        painter.drawText(QRect(0, 0, width(), height()), Qt::AlignCenter,
                         QString::fromUtf8(myLabel.c() ? myLabel.c() : ""));
    }
}
