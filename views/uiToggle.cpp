#include "uiToggle.h"

#include <QMouseEvent>

uiToggle::uiToggle(QWidget* parent, char const* label, float hue, float sat, float val,
                   int fontSize)
    : uiControl(parent, label, hue, sat, val, fontSize)
{
}

uiToggle::~uiToggle() = default;

void uiToggle::setValue(bool value)
{
    myValue = value;
    update();
}

bool uiToggle::getValue() const
{
    return myValue;
}

void uiToggle::activate()
{
    myValue = !myValue;
    update();
    // Signalled last: what the toggle does may delete it.
    Q_EMIT toggleChanged(this, myValue);
}

bool uiToggle::isActiveLook() const
{
    return myValue;
}

void uiToggle::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        activate();
}

void uiToggle::mouseReleaseEvent(QMouseEvent*)
{
}
