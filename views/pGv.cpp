#include "pGv.h"

#include "CrowdPainter.h"
#include "ObSelection.h"
#include "PainterQt.h"
#include "aRefresher.h"
#include "aTrace.h"
#include "aTs.h"
#include "mEdb.h"
#include "mScale.h"
#include "mSkin.h"
#include "mTimeline.h"
#include "mTrace.h"
#include "tlScene.h"
#include "tlStep.h"

#include <QGraphicsItem>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace {

// A pixel position along an axis, cut toward zero; a time far off the view stays far off
// instead of overflowing an int.
int wholePixel(double p)
{
    if (!(p == p))
        return 0;
    return int(std::trunc(std::clamp(p, -1.0e9, 1.0e9)));
}

} // namespace

pGv::pGv(QWidget* parent, tlCmp* cmp) : QGraphicsView(parent), tlUi(cmp)
{
    setViewportMargins(0, 0, 0, 0);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setBackgroundBrush(QBrush(QColor(0, 0, 0, 255)));
    setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
    // The background pass covers the whole viewport, so Qt's own fill under it is wasted; each
    // item puts back the painter's state it changed, so the scene need not save it for it.
    viewport()->setAutoFillBackground(false);
    setOptimizationFlag(QGraphicsView::DontSavePainterState, true);
    setRenderHint(QPainter::Antialiasing, true);
    setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
    setDragMode(QGraphicsView::RubberBandDrag);
    setFrameStyle(QFrame::Plain | QFrame::NoFrame);
    setLineWidth(0);
    setMidLineWidth(0);
    setContentsMargins(0, 0, 0, 0);
    if (aRefresher* refresher = getRefreshEngine())
        refresher->schedule(static_cast<aRefreshable*>(this), LevelViews, nullptr);
    scale(1.0, 1.0);
    // Qt's band selects items; the events of crowded rows have none, and are selected when the
    // band is let go.
    // The band is taken in viewport pixels: the scene points that come with it lag a move behind.
    connect(this, &QGraphicsView::rubberBandChanged, this, [this](QRect band, QPointF, QPointF) {
        if (!band.isNull()) {
            myBand = mapToScene(band).boundingRect();
            return;
        }
        selectCrowdedEventsIn(std::exchange(myBand, QRectF()));
    });
}

void pGv::selectCrowdedEventsIn(QRectF const& band)
{
    mTimeline* tl = getTimeline();
    ObSelection* selection = getSelectionEngine();
    if (band.isNull() || !tl || !tl->getEdb() || !selection)
        return;
    std::vector<Obh> inBand;
    tl->getEdb()->crowdedEventsIn(band.left(), band.top(), band.right(), band.bottom(), inBand);
    if (inBand.empty())
        return;
    selection->addToSelection(inBand);
    raiseDirt(DirtSelection);
    requestRefresh();
}

pGv::~pGv() = default;

tlScene* pGv::shownScene() const
{
    return qobject_cast<tlScene*>(scene());
}

int pGv::getTimeScreenSpan() const
{
    int span = viewport()->width();
    if (verticalScrollBar()->isVisible())
        span += verticalScrollBar()->width();
    return span;
}

int pGv::getPerpScreenSpan() const
{
    int span = viewport()->height();
    if (horizontalScrollBar()->isVisible())
        span += horizontalScrollBar()->height();
    return span;
}

void pGv::refresh(aRefreshContext*)
{
    static tlStep updateEventGeom("pGv_updateEventGeomInScene");
    static tlStep updateTimeSel("pGv_updateTimeSelection");
    static tlStep updateSceneStep("pGv_updateScene");
    static tlStep updateFg("pGv_updateFg");
    static tlStep repaintStep("pGv_repaint");
    mTimeline* tl = getTimeline();
    mScale* timeScale = getTimelineTimeScale();
    mSkin* skin = getSkin();
    if (!skin)
        return;
    bool const horiz = skin->getHorizFlag();
    ObDirty* dirt = getDirtEngine();
    if (updateEventGeom.needsCleaning(dirt, "pGv")) {
        if (tl && tl->getEdb())
            tl->getEdb()->syncEventsToView(tl, shownScene());
        if (Ob::ourTrace) {
            A_TRACE("Just updated events, now dump scene...\n");
            dumpScene();
        }
        QWidget::update();
    }
    if (updateTimeSel.needsCleaning(dirt, "pGv")) {
        if (timeScale)
            updateTimeSelection(*timeScale, horiz);
        else
            QWidget::update();
    }
    QRectF const sceneArea = sceneRect();
    if (updateSceneStep.needsCleaning(dirt, "pGv")) {
        M_TRACE("Update Item Layer: sceneRect= %f %f %f %f\n", sceneArea.x(), sceneArea.y(),
                sceneArea.width(), sceneArea.height());
        invalidateScene(sceneArea, QGraphicsScene::ItemLayer);
    }
    if (updateFg.needsCleaning(dirt, "pGv")) {
        M_TRACE("Update FG Layer: sceneRect= %f %f %f %f\n", sceneArea.x(), sceneArea.y(),
                sceneArea.width(), sceneArea.height());
        invalidateScene(sceneArea, QGraphicsScene::ForegroundLayer);
    }
    if (repaintStep.needsCleaning(dirt, "pGv")) {
        window()->activateWindow();
        QWidget::repaint();
    }
}

void pGv::updateTimeSelection(mScale& ts, bool horiz)
{
    aTs last[2], now[2];
    int lastType = 0, nowType = 0;
    ts.getLastSelection(last[0], last[1], lastType);
    ts.getSelection(now[0], now[1], nowType);
    QRectF const area = sceneRect();
    // The near edge of the scene across the time axis, as a whole pixel.
    int const across = horiz ? int(area.top()) : int(area.left());
    auto band = [&](aTs const& start, aTs const& end) {
        int const a = wholePixel(ts.localToParent(start));
        int const b = wholePixel(ts.localToParent(end));
        QPointF const from = horiz ? mapToScene(a, across) : mapToScene(across, a);
        QPointF const to = horiz ? mapToScene(b, across) : mapToScene(across, b);
        QRectF r = horiz ? QRectF(from.x() - 1, area.top(), to.x() - from.x() + 2, area.height())
                         : QRectF(area.left(), from.y() - 1, area.width(), to.y() - from.y() + 2);
        invalidateScene(r.normalized(), QGraphicsScene::ForegroundLayer);
    };
    if (lastType != 0)
        band(last[0], last[1]);
    if (nowType != 0)
        band(now[0], now[1]);
    QWidget::update();
}

bool pGv::drawLayer(QPainter* painter, QRectF const& rect, bool foreground)
{
    mSkin* skin = getSkin();
    mTimeline* tl = getTimeline();
    if (!skin || !tl || skin->inContext())
        return false;
    // Straight onto the view's painter, cut to the viewport: the background covers it whole, and
    // a foreground with nothing to mark costs nothing.
    QSize const area = viewport()->size();
    PainterQt::FreshState fresh(*painter, QPoint(int(rect.left()), int(rect.top())), area);
    PainterQt p(*painter);
    p.set2dGeometry(0, 0, float(area.width()), float(area.height()));
    p.setLineWidth(float(1.0 / transform().m11()));
    mSkin::Context context(*skin, tl, true);
    if (foreground)
        skin->drawTimelineFg(p);
    else
        skin->drawTimelineBg(p);
    return true;
}

void pGv::paintEvent(QPaintEvent* event)
{
    mTimeline* tl = getTimeline();
    if (tl && shownScene()) {
        if (tl->getEdb())
            tl->getEdb()->syncIfChanged(tl, shownScene());
        CrowdPainter::prepare(*tl, mapToScene(viewport()->rect()).boundingRect(),
                              viewportTransform(), viewport()->devicePixelRatioF());
    }
    QGraphicsView::paintEvent(event);
    CrowdPainter::forgetPrepared();
}

void pGv::drawBackground(QPainter* painter, QRectF const& rect)
{
    // Without a timeline to draw, the view's own black brush.
    if (!drawLayer(painter, rect, false))
        QGraphicsView::drawBackground(painter, rect);
}

void pGv::drawForeground(QPainter* painter, QRectF const& rect)
{
    drawLayer(painter, rect, true);
}

void pGv::mousePressEvent(QMouseEvent* event)
{
    QGraphicsView::mousePressEvent(event);
    raiseDirt(DirtSelectionByTimeDisabled);
    requestRefresh();
}

void pGv::mouseReleaseEvent(QMouseEvent* event)
{
    QGraphicsView::mouseReleaseEvent(event);
}

void pGv::mouseMoveEvent(QMouseEvent* event)
{
    QGraphicsView::mouseMoveEvent(event);
}

void pGv::dumpScene() const
{
    QList<QGraphicsItem*> const all = items();
    QRectF const area = sceneRect();
    A_TRACE("<-------------------- %i SCENE ITEMS, within sceneRect %.1f x %.1f @ ( %.1f , %.1f )\n",
            int(all.size()), area.width(), area.height(), area.x(), area.y());
    for (QGraphicsItem const* item : all) {
        QRectF const box = item->boundingRect();
        QPointF const at = item->pos();
        A_TRACE("  Item %s, z=%.2f,   %.2f x %.2f @ ( %.2f, %.2f ) %s\n", "QGraphicsItem",
                item->zValue(), box.width(), box.height(), at.x(), at.y(),
                item->isVisible() ? "VISIBLE" : "invisible");
    }
}

bool pGv::takeDrag(QEvent* event)
{
    // Straight to the viewport's handlers: sent through the application, a drag event goes to
    // the widget the drag is over, which is the one that passed it on.
    viewportEvent(event);
    return event->isAccepted();
}
