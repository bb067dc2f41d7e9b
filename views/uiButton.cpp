#include "uiButton.h"

#include <QMouseEvent>

uiButton::uiButton(QWidget* parent, char const* label, float hue, float sat, float val,
                   int fontSize)
    : uiControl(parent, label, hue, sat, val, fontSize)
{
}

uiButton::~uiButton() = default;

bool uiButton::isActiveLook() const
{
    return myPressed;
}

void uiButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    myPressed = true;
    update();
    // Signalled last: what the button does may delete it.
    Q_EMIT buttonPressed(this);
}

void uiButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    myPressed = false;
    update();
}
