#include "uiGi.h"

#include "ObObj.h"
#include "ObSelection.h"
#include "PainterQt.h"
#include "aAssert.h"
#include "aGraphic.h"
#include "mTrace.h"
#include "pTimeline.h"
#include "tlUi.h"

#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsView>
#include <QPainter>
#include <QPixmap>
#include <QStyleOptionGraphicsItem>

namespace {

aGraphic* graphicOf(Obh& h)
{
    ObObj* obj = h.isValid() ? h.obj() : nullptr;
    return dynamic_cast<aGraphic*>(obj);
}

} // namespace

bool uiGi::ourPaintThroughPixmap = false;

uiGi::uiGi(Obh& hdl) : myHdl(hdl)
{
    A_ASSERT(graphicOf(myHdl));
}

uiGi::~uiGi()
{
    M_TRACE_C("ired", "DELETING UIGI!\n");
    if (scene())
        scene()->removeItem(this);
    aGraphic* g = graphicOf(myHdl);
    if (g && g->giGet() == this)
        g->giDeleted();
    myHdl = Obh();
}

void uiGi::setHdl(Obh& hdl)
{
    A_ASSERT(graphicOf(hdl));
    myHdl = hdl;
}

aGraphic* uiGi::mgr() const
{
    if (!myHdl.isValid())
        return nullptr;
    Obh h = myHdl;
    aGraphic* g = graphicOf(h);
    A_ASSERT(g);
    return g;
}

QRectF uiGi::boundingRect() const
{
    double x = 0, y = 0, w = 0, h = 0;
    if (aGraphic* g = mgr())
        g->giGetBbox(x, y, w, h);
    return QRectF(x, y, w, h);
}

double uiGi::x() const
{
    return pos().x();
}

double uiGi::y() const
{
    return pos().y();
}

double uiGi::width() const
{
    return boundingRect().width();
}

double uiGi::height() const
{
    return boundingRect().height();
}

void uiGi::paint(QPainter* painter, QStyleOptionGraphicsItem const* option, QWidget*)
{
    aGraphic* g = mgr();
    if (!g)
        return;
    double bx = 0, by = 0, w = 0, h = 0;
    g->giGetBbox(bx, by, w, h);
    if (!(w > 0.0) || !(h > 0.0)) {
        M_TRACE_C("red", "SKIP Painting uiGi with LOD = %.2f, x=%f, y=%f, w=%f, h=%f\n",
                  QStyleOptionGraphicsItem::levelOfDetailFromTransform(painter->worldTransform()),
                  bx, by, w, h);
        return;
    }
    // The object draws in its own box from (0, 0), cut to whole pixels where the box starts.
    QRect const box {int(bx), int(by), int(w), int(h)};
    if (box.isEmpty())
        return;
    if (ourPaintThroughPixmap) {
        QPixmap picture(box.size());
        picture.fill(QColor(0, 0, 0, 0));
        {
            QPainter onPicture(&picture);
            PainterQt p(onPicture, option);
            p.set2dGeometry(0, 0, float(w), float(h));
            g->giPaint(p);
        }
        painter->drawPixmap(box.topLeft(), picture);
    } else {
        PainterQt::FreshState fresh(*painter, box.topLeft(), box.size());
        PainterQt p(*painter, option);
        p.set2dGeometry(0, 0, float(w), float(h));
        g->giPaint(p);
    }
}

void uiGi::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    aGraphic* g = mgr();
    if (g && g->giMousePressEvent(static_cast<int>(event->button())))
        event->accept();
    else
        event->ignore();
}

pTimeline* uiGi::shownIn() const
{
    QGraphicsScene* s = scene();
    if (!s || s->views().size() != 1)
        return nullptr;
    for (QWidget* w = s->views().front(); w; w = w->parentWidget())
        if (auto* pane = dynamic_cast<pTimeline*>(w))
            return pane;
    return nullptr;
}

void uiGi::openEditor(bool layer)
{
    pTimeline* pane = shownIn();
    tlUi* ui = pane ? pane->getUi() : nullptr;
    if (!ui)
        return;
    Obh const h = myHdl;
    if (ObSelection* selection = pane->getSelectionEngine()) {
        selection->clearSelection();
        selection->setSelection(h);
    }
    int x = 0, y = 0, w = 0, ht = 0;
    if (!pane->getSelectionArea(x, y, w, ht) || ui->closeEditorOf(h))
        return;
    if (layer)
        ui->showEditLayer(h, x, y, w, ht, "Edit Layer");
    else
        ui->showEditEvent(h, x, y, w, ht, "Edit Event");
}
