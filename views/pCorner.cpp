#include "pCorner.h"

#include "Painter.h"
#include "mSkin.h"

#include <QMouseEvent>

pCorner::pCorner(QWidget* parent, tlCmp* cmp) : pPane(parent, cmp)
{
}

pCorner::~pCorner() = default;

void pCorner::paintCorner(Background background, float lineY, int alpha)
{
    paintWithSkin([&](Painter& p, mSkin& look) {
        (look.*background)(p);
        p.setLineColorRgba8(255, 255, 255, alpha);
        p.draw2dLine(0, lineY, float(width()), lineY);
    });
}

void pCorner::mousePressEvent(QMouseEvent* event)
{
    selectTimeline(event);
}
