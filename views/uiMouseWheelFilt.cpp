#include "uiMouseWheelFilt.h"

#include "mTrace.h"

#include <QEvent>

uiMouseWheelFilt::uiMouseWheelFilt(QObject* parent) : QObject(parent)
{
}

uiMouseWheelFilt::~uiMouseWheelFilt() = default;

bool uiMouseWheelFilt::eventFilter(QObject*, QEvent* event)
{
    if (event->type() != QEvent::Wheel)
        return false;
    event->ignore();
    M_TRACE("FILTER IGNORE WHEEL EVENT!\n");
    return true;
}
