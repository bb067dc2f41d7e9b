#include "uiMouseTrackingFilter.h"

#include "mTrace.h"

#include <QGraphicsSceneMouseEvent>
#include <QMouseEvent>

int uiMouseTrackingFilter::ourMouseX = -1;
int uiMouseTrackingFilter::ourMouseY = -1;

uiMouseTrackingFilter::uiMouseTrackingFilter(QObject* parent) : QObject(parent)
{
}

uiMouseTrackingFilter::~uiMouseTrackingFilter() = default;

bool uiMouseTrackingFilter::eventFilter(QObject*, QEvent* event)
{
    M_TRACE("Got filtered event %i\n", int(event->type()));
    if (event->type() == QEvent::MouseMove) {
        if (auto* mouse = dynamic_cast<QMouseEvent*>(event)) {
            int const x = int(mouse->position().x());
            int const y = int(mouse->position().y());
            M_TRACE("Filtering mouse move at %i, %i\n", x, y);
            ourMouseX = x;
            ourMouseY = y;
        }
    } else if (event->type() == QEvent::GraphicsSceneMouseMove) {
        if (auto* mouse = dynamic_cast<QGraphicsSceneMouseEvent*>(event)) {
            int const x = int(mouse->pos().x());
            int const y = int(mouse->pos().y());
            M_TRACE("Filtering SCENE mouse move at %i, %i\n", x, y);
            ourMouseX = x;
            ourMouseY = y;
        }
    }
    return false;
}
