#include "pHead.h"

#include "PainterQt.h"
#include "WidthSpanner.h"
#include "pTimeline.h"

#include <QPainter>
#include <QResizeEvent>

pHead::pHead(QWidget* parent, pTimeline* pane) : QWidget(parent), myPane(pane)
{
}

pHead::~pHead() = default;

void pHead::mousePressEvent(QMouseEvent*)
{
    raiseDirt(DirtLayerHeaderBgClicked);
}

void pHead::mouseReleaseEvent(QMouseEvent*)
{
    raiseDirt(DirtLayerHeaderBgClicked);
}

void pHead::paintEvent(QPaintEvent*)
{
    if (!myPane)
        return;
    QPainter qp(this);
    PainterQt p(qp);
    p.set2dGeometry(0, 0, float(width()), float(height()));
    myPane->paintHeader(p, this);
}

void pHead::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    WidthSpanner::fitChildrenToWidth(*this);
}
