#include "pTimeline.h"

#include "ObClassTypeOf.h"
#include "ObDirty.h"
#include "ObSelection.h"
#include "Painter.h"
#include "WidthSpanner.h"
#include "aAssert.h"
#include "aRefresher.h"
#include "aTrace.h"
#include "giEvent.h"
#include "giLayer.h"
#include "mEvent.h"
#include "mLayer.h"
#include "mScale.h"
#include "mSkin.h"
#include "mTimeline.h"
#include "mTrace.h"
#include "pBotLeft.h"
#include "pCtrls.h"
#include "pGv.h"
#include "pHead.h"
#include "pHeader.h"
#include "pTicks.h"
#include "pTopLeft.h"
#include "tlScene.h"
#include "tlStep.h"
#include "tlUi.h"
#include "uiMouseWheelFilt.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QGraphicsItem>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QSplitter>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <set>

namespace {

// A turn that goes more sideways than up or down: a tilted wheel, a touchpad, X buttons 6 and 7
// (and, with Alt held, X11's report of the upright wheel).
bool sideways(QWheelEvent const& event)
{
    QPoint const angle = event.angleDelta();
    return std::abs(angle.x()) > std::abs(angle.y());
}

// The turn of a wheel event along the way it goes.
int wheelDelta(QWheelEvent const& event)
{
    QPoint const angle = event.angleDelta();
    return sideways(event) ? angle.x() : angle.y();
}

char const* itemTypeName(QGraphicsItem* item)
{
    if (dynamic_cast<giEvent*>(item))
        return "giEvent";
    if (dynamic_cast<giLayer*>(item))
        return "giLayer";
    return "QGraphicsItem";
}

} // namespace

pTimeline::WheelMode pTimeline::wheelModeFor(Qt::KeyboardModifiers modifiers, bool sideways)
{
    bool const control = modifiers & Qt::ControlModifier;
    bool const alt = modifiers & Qt::AltModifier;
    if (control)
        return alt ? WheelZoomTime : WheelZoomRows;
    return alt || sideways ? WheelPanTime : WheelPanRows;
}

int pTimeline::nowTimerInterval(double secondsPerPixel)
{
    double const ms = std::trunc(secondsPerPixel * 1000.0);
    if (!(ms >= 1.0 && ms <= double(INT_MAX)))
        return 0;
    return int(ms);
}

pTimeline::pTimeline(QWidget* parent, tlCmp* cmp, tlUi* ui)
    : ObQtPanel(parent), myTlCmp(cmp), myTlUi(ui)
{
    // The pane shows its own document's timeline, whichever component is current.
    myCmp = cmp;
    // Between its grey and its view it paints every pixel: no background is filled under it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    A_ASSERT(ui);
    tlScene* gscene = ui->getScene();
    A_ASSERT(gscene);
    gscene->setItemIndexMethod(QGraphicsScene::NoIndex);

    myLayoutTimer = new QTimer(this);
    myLayoutTimer->setSingleShot(true);
    connect(myLayoutTimer, &QTimer::timeout, this, &pTimeline::layoutTimerCb);
    myNowTimer = new QTimer(this);
    myNowTimer->setSingleShot(true);
    connect(myNowTimer, &QTimer::timeout, this, &pTimeline::nowTimerCb);

    myLeftCol = new WidthSpanner;
    myLeftCol->setContentsMargins(0, 0, 0, 0);
    myLeftCol->resize(10, 10);
    myTopLeft = new pTopLeft(myLeftCol, cmp);
    myTopLeft->show();
    myBotLeft = new pBotLeft(myLeftCol, cmp);
    myBotLeft->show();
    myHead = new pHead(myLeftCol, this);
    myHead->show();

    myRightCol = new WidthSpanner;
    myRightCol->setContentsMargins(0, 0, 0, 0);
    myRightCol->resize(10, 10);
    myTicks = new pTicks(myRightCol, cmp);
    myTicks->show();
    myGv = new pGv(myRightCol, cmp);
    myGv->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    myGv->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    myGv->setScene(gscene);
    myGv->setResizeAnchor(QGraphicsView::AnchorViewCenter);
    myGv->setMouseTracking(true);
    // The view must not scroll itself: its wheel turns go on to the pane.
    myWheelFilt = new uiMouseWheelFilt(this);
    myGv->viewport()->installEventFilter(myWheelFilt);
    myGv->installEventFilter(myWheelFilt);
    myGv->show();
    myCtrls = new pCtrls(myRightCol, cmp, nullptr);
    myCtrls->show();

    mySplitter = new QSplitter(this);
    mySplitter->addWidget(myLeftCol);
    mySplitter->addWidget(myRightCol);
    mySplitter->setHandleWidth(1);
    // A window resize goes to the time column: the header column keeps the width the user gave
    // it (and the document stores), as a splitter move alone changes it.
    mySplitter->setStretchFactor(0, 0);
    mySplitter->setStretchFactor(1, 1);
    connect(mySplitter, &QSplitter::splitterMoved, this, &pTimeline::splitterMovedCb);
    // A grip one pixel wide takes the mouse a few pixels to either side of its line, over the
    // view's first columns too: a drag of events there goes on to the view (eventFilter).
    if (QSplitterHandle* grip = mySplitter->handle(1)) {
        grip->setAcceptDrops(true);
        grip->installEventFilter(this);
    }

    doLayout();
    myLeftCol->show();
    myRightCol->show();
    mySplitter->show();
    show();
    setFocus();

    if (aRefresher* refresher = getRefreshEngine()) {
        refresher->schedule(static_cast<aRefreshable*>(this), LevelTimelinePane, nullptr);
        refresher->setNeedsRefresh(nullptr);
    }
}

pTimeline::~pTimeline() = default;

mScale* pTimeline::timeScale() const
{
    return getTimelineTimeScale();
}

mScale* pTimeline::rowScale() const
{
    return getTimelinePerpScale();
}

void pTimeline::dirtAndRefresh(uint32_t id)
{
    raiseDirt(id);
    requestRefresh();
}

bool pTimeline::eventFilter(QObject* watched, QEvent* event)
{
    QEvent::Type const type = event->type();
    bool const drag = type == QEvent::DragEnter || type == QEvent::DragMove ||
                      type == QEvent::Drop || type == QEvent::DragLeave;
    QWidget* const grip = mySplitter ? mySplitter->handle(1) : nullptr;
    if (!drag || !grip || watched != grip || !myGv)
        return ObQtPanel::eventFilter(watched, event);
    QWidget* const viewport = myGv->viewport();
    if (type == QEvent::DragLeave) {
        QDragLeaveEvent leave;
        myGv->takeDrag(&leave);
        return true;
    }
    auto* moved = static_cast<QDropEvent*>(event);
    QWidget* const window = grip->window();
    auto inView = [&](QPoint p) { return viewport->mapFrom(window, grip->mapTo(window, p)); };
    QPoint at = inView(moved->position().toPoint());
    // Left of the view the grip lies over the header column, which takes no drop.
    if (at.x() < 0) {
        moved->ignore();
        return true;
    }
    // As at the view's first column that the grip leaves free.
    at.setX(std::max(at.x(), inView(QPoint(grip->width(), 0)).x()));
    Qt::DropActions const actions = moved->possibleActions();
    QMimeData const* mime = moved->mimeData();
    Qt::MouseButtons const buttons = moved->buttons();
    Qt::KeyboardModifiers const keys = moved->modifiers();
    std::unique_ptr<QDropEvent> passed;
    if (type == QEvent::Drop)
        passed = std::make_unique<QDropEvent>(at, actions, mime, buttons, keys);
    else if (type == QEvent::DragEnter)
        passed = std::make_unique<QDragEnterEvent>(at, actions, mime, buttons, keys);
    else
        passed = std::make_unique<QDragMoveEvent>(at, actions, mime, buttons, keys);
    myGv->takeDrag(passed.get());
    moved->setDropAction(passed->dropAction());
    moved->setAccepted(passed->isAccepted());
    return true;
}

// Layout ---------------------------------------------------------------------------------------

void pTimeline::fitScale(mScale& scale, int size, bool announce)
{
    scale.setParentPos(0);
    if (size <= 0 || scale.getParentSize() == size)
        return;
    scale.setParentSize(size);
    if (announce)
        scale.sizeChanged();
}

void pTimeline::doLayout()
{
    mTimeline* tl = getTimeline();
    mSkin* skin = getSkin();
    int const w = width(), h = height();
    int const top = skin ? skin->getTimelineTopHeaderH() : 0;
    int const left = tl ? tl->getLayerHeaderW() : myLayerHeaderW;
    int const right = myRightW;
    for (pHeader* header : myHeaders) {
        header->resize(left, header->height());
        header->doLayout();
    }
    int const middleH = h - top - FooterH;
    myHead->setGeometry(0, top, left, middleH);
    myTicks->setGeometry(0, 0, right, top);
    myTopLeft->setGeometry(0, 0, left, top);
    myBotLeft->setGeometry(0, h - FooterH, left, FooterH);
    myCtrls->setGeometry(0, h - FooterH, right, FooterH);
    myGv->setGeometry(0, top, right, middleH);
    mySplitter->setGeometry(0, 0, w, h);
    if (mScale* ts = timeScale())
        fitScale(*ts, myGv->getTimeScreenSpan(), false);
    if (mScale* rows = rowScale()) {
        fitScale(*rows, myGv->getPerpScreenSpan(), true);
        rows->moveEnd();
    }
}

void pTimeline::readSplitter()
{
    QList<int> const sizes = mySplitter->sizes();
    if (sizes.size() == 2) {
        myLayerHeaderW = sizes[0];
        myRightW = sizes[1];
    }
    // Until the window freezes the pane, the split is Qt's first guess, not the user's: the
    // document's stored width must survive it.
    if (mTimeline* tl = getTimeline(); tl && myFrozen)
        tl->setLayerHeaderW(myLayerHeaderW);
    M_TRACE("  left %i (%i)[%i], right %i (%i)[%i]\n", myLayerHeaderW, myLeftCol->width(),
            myTopLeft->width(), myRightW, myRightCol->width(), myCtrls->width());
}

void pTimeline::restartLayoutTimer()
{
    if (myDocClosing)
        return;
    myLayoutTimer->stop();
    myLayoutTimer->start(LayoutDelayMs);
}

void pTimeline::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    M_TRACE("pTimeline::RESIZE EVENT\n");
    readSplitter();
    restartLayoutTimer();
    // The panes keep their size until the layout timer moves them, and the scales keep the
    // view's: a time axis as wide as the whole pane would put every time beside its pixel.
    M_TRACE("Resize time scale\n");
    if (mScale* ts = timeScale())
        fitScale(*ts, myGv->getTimeScreenSpan(), false);
    M_TRACE("Resize row scale\n");
    if (mScale* rows = rowScale())
        fitScale(*rows, myGv->viewport()->height(), true);
}

void pTimeline::splitterMovedCb(int, int)
{
    readSplitter();
    restartLayoutTimer();
}

void pTimeline::commitTitleEdits()
{
    for (pHeader* header : myHeaders)
        header->commitTitle();
}

void pTimeline::layoutTimerCb()
{
    doLayout();
    myBotLeft->update();
    myTopLeft->update();
    myHead->update();
    for (pHeader* header : myHeaders)
        header->update();
    update();
    M_TRACE("LAYOUT TIMER\n");
    readSplitter();
    M_TRACE_C("yellow", "SetScreenSize %i\n", myRightW);
    if (mScale* ts = timeScale())
        fitScale(*ts, myRightW, true);
    if (mScale* rows = rowScale())
        fitScale(*rows, myGv->getPerpScreenSpan(), true);
    dirtAndRefresh(DirtLayout);
    M_TRACE("-------------------------------------------------\n");
}

void pTimeline::freeze()
{
    myFrozen = true;
    int const stored = getTimeline() ? getTimeline()->getLayerHeaderW() : myLayerHeaderW;
    int const left = std::clamp(stored, 0, std::max(0, width() - 1));
    myRightW = std::max(0, width() - left - 1);
    mySplitter->setSizes({left, myRightW});
    restartLayoutTimer();
}

int pTimeline::getLayerHeaderW() const
{
    return myLayerHeaderW;
}

void pTimeline::setLayerHeaderW(int w)
{
    myLayerHeaderW = std::max(0, w);
    myRightW = std::max(0, width() - myLayerHeaderW - 1);
    mySplitter->setSizes({myLayerHeaderW, myRightW});
    if (mTimeline* tl = getTimeline())
        tl->setLayerHeaderW(myLayerHeaderW);
    restartLayoutTimer();
}

void pTimeline::docWillClose()
{
    myDocClosing = true;
    myLayoutTimer->stop();
    if (myNowTimer) {
        myNowTimer->stop();
        delete myNowTimer;
        myNowTimer = nullptr;
    }
}

// Layer headers ---------------------------------------------------------------------------------

void pTimeline::relayer()
{
    for (pHeader* header : myHeaders) {
        header->setAttribute(Qt::WA_DeleteOnClose);
        header->close();
    }
    myHeaders.clear();
    mTimeline* tl = getTimeline();
    if (!tl)
        return;
    std::list<Obh> layers;
    tl->getLayers(layers);
    for (Obh const& h : layers)
        myHeaders.push_back(new pHeader(myHead, h));
}

void pTimeline::restackLayerHeaders()
{
    mTimeline* tl = getTimeline();
    if (myHeaders.empty() || !tl)
        return;
    M_TRACE("pTimeline_restackLayerHeaders %i layers\n", int(myHeaders.size()));
    auto* scene = qobject_cast<tlScene*>(myGv->scene());
    A_ASSERT(scene);
    int const columnW = myLeftCol->width();
    for (pHeader* header : myHeaders) {
        Obh h = header->getLayerHdl();
        mLayer* layer = header->getLayer();
        A_ASSERT(layer);
        tl->syncLayerToView(h, scene);
        if (!layer->getIsVisible()) {
            header->hide();
            continue;
        }
        double const y = layer->getSceneY(), sceneH = layer->getSceneH();
        M_TRACE("    Stacking HEADER h=%f, %f -> %f (-tly ==> h=%i, %i -> %i)\n", sceneH, y,
                y + sceneH, int(sceneH), int(y), int(y + sceneH));
        header->setGeometry(0, int(y), columnW, int(sceneH) - 1);
        header->show();
    }
    myGv->setSceneRect(0, 0, myGv->getTimeScreenSpan(), myGv->getPerpScreenSpan());
    if (mScale* rows = rowScale())
        M_TRACE("VIEW SCENE/RECT: minVisY = %f, maxVisY = %f\n", rows->getMinVisValue(),
                rows->getMaxVisValue());
}

void pTimeline::paintHeader(Painter& painter, pHead*)
{
    mSkin* skin = getSkin();
    if (!skin)
        return;
    float x = 0, y = 0, w = 0, h = 0;
    painter.get2dGeometry(x, y, w, h);
    painter.setFillColorRgb8(skin->getPanelBgR(), skin->getPanelBgG(), skin->getPanelBgB());
    painter.draw2dFilledRect(x, y, w, h);
}

// Refresh --------------------------------------------------------------------------------------

void pTimeline::refresh(aRefreshContext*)
{
    static tlStep doRelayer("pTimeline_doRelayer");
    static tlStep lockToNowDisengage("pTimeline_lockToNowDisengage");
    static tlStep lockToNowChanged("pTimeline_lockToNowChanged");
    static tlStep doLayoutStep("pTimeline_doLayout");
    static tlStep recenterScene("pTimeline_recenterScene");
    static tlStep restackHeaders("pTimeline_restackLayerHeaders");
    static tlStep syncPerpPan("pTimeline_syncPerpPan");
    static tlStep doUpdate("pTimeline_doUpdate");
    ObDirty* dirt = getDirtEngine();
    char const* const name = "pTimeline";
    bool needsUpdate = false;
    bool needsRestack = false;
    if (doRelayer.needsCleaning(dirt, name)) {
        relayer();
        needsUpdate = needsRestack = true;
    }
    if (lockToNowDisengage.needsCleaning(dirt, name))
        stopNowTimer();
    if (lockToNowChanged.needsCleaning(dirt, name))
        reconfigNowTimer();
    doLayoutStep.needsCleaning(dirt, name); // the layout timer lays out
    // The now line marks the view's middle: whatever moved the window in this pass while locked
    // (the lock itself, a zoom, a new size) ends with now there. The timer's own moves are there
    // already.
    if (dirt && (dirt->isDirty(DirtTimeScaleLockToNowChanged) || dirt->isDirty(DirtTimeScaleZoom) ||
                 dirt->isDirty(DirtLayout)))
        followNow();
    if (recenterScene.needsCleaning(dirt, name)) {
        int const a = myGv->getTimeScreenSpan(), b = myGv->getPerpScreenSpan();
        if (tlScene* scene = myTlUi ? myTlUi->getScene() : nullptr) {
            myGv->setSceneRect(0, 0, a, b);
            if (Ob::ourTrace) {
                QRectF const box = scene->itemsBoundingRect();
                A_TRACE_C(
                    "red", "BOUNDING: vp = %ix%i - scene= %.2f, %.2f, %.2f, %.2f for %i items\n", a,
                    b, box.x(), box.y(), box.width(), box.height(), int(scene->items().size()));
            }
        } else {
            A_TRACE_C("ired", "Dirty NO Scene!\n");
        }
        // Every layer's band spans the view.
        for (QGraphicsItem* item : myGv->items()) {
            if (item->zValue() != 0.0)
                continue;
            auto* gi = dynamic_cast<uiGi*>(item);
            auto* layer = gi ? dynamic_cast<mLayer*>(gi->mgr()) : nullptr;
            A_ASSERT(layer);
            layer->setSceneW(a); // announces the new box to the item when it changes
        }
    }
    if (restackHeaders.needsCleaning(dirt, name))
        needsRestack = true;
    if (needsRestack)
        restackLayerHeaders();
    syncPerpPan.needsCleaning(dirt, name); // the headers follow the rows in the restack
    if (doUpdate.needsCleaning(dirt, name))
        needsUpdate = true;
    if (needsUpdate)
        update();
}

// Input -----------------------------------------------------------------------------------------

double pTimeline::timeZoomPixel(QWheelEvent const& event) const
{
    mScale const& ts = *timeScale();
    switch (ts.selectionType()) {
    case mScale::SelPoint:
        return ts.localToParent(ts.getSelStart());
    case mScale::SelSpan: {
        double const s = ts.localToParent(ts.getSelStart());
        double const t = ts.localToParent(ts.getSelEnd());
        return (t - s) / 2 + s;
    }
    default:
        break;
    }
    double const p = myGv->mapFrom(this, event.position()).x();
    double const viewW = myGv->width();
    return p < 0 || p > viewW ? viewW / 2.0 : p;
}

double pTimeline::rowZoomValue() const
{
    mTimeline& tl = *getTimeline();
    mScale const& rows = *tl.perpScale();
    double const vs = rows.getVisStart().asSeconds(), ve = rows.getVisEnd().asSeconds();
    double lo = 0, hi = 0;
    if (tl.getSelectedLayerRanges(lo, hi) > 0) {
        M_TRACE("LAYERS %f to %f\n", lo, hi);
        return (hi - lo) / 2 + lo;
    }
    double const mn = rows.getMinValue(), mx = rows.getMaxValue();
    // The window is kept to the nanosecond, cut toward zero: a window clamped to the bottom of the
    // stack ends up to a nanosecond short of it, and shows it all the same.
    constexpr double Ns = 1e-9;
    bool const topInView = rows.getHasMinValue() && vs <= mn + Ns && mn < ve;
    bool const bottomInView = rows.getHasMaxValue() && vs < mx && mx <= ve + Ns;
    if (topInView && !bottomInView)
        return mn;
    if (bottomInView && !topInView)
        return mx;
    return (ve - vs) / 2 + vs;
}

void pTimeline::wheelEvent(QWheelEvent* event)
{
    event->accept();
    int const delta = wheelDelta(*event);
    mScale* ts = timeScale();
    mScale* rows = rowScale();
    if (delta == 0 || !ts || !rows)
        return;
    // Only the direction counts; a turn of less than a degree goes the way it turns. Turned away
    // from the user, the wheel shows what lies above or earlier, and zooms in, as everywhere on
    // the desktop.
    bool const away = delta > 0;
    bool const shift = event->modifiers() & Qt::ShiftModifier;
    switch (wheelModeFor(event->modifiers(), sideways(*event))) {
    case WheelZoomTime: {
        double const p = timeZoomPixel(*event);
        M_TRACE_C("ired", "ZOom around pt %f, delta %i\n", p, delta);
        if (away)
            ts->zoomInAtLocalPos(p, shift ? 5 : 1);
        else
            ts->zoomOutAtLocalPos(p, shift ? 5 : 1);
        dirtAndRefresh(DirtTimeScaleZoom);
        break;
    }
    case WheelZoomRows: {
        double const before = rows->getZoom();
        double const m = rowZoomValue();
        double const p = rows->localToParent(m);
        M_TRACE("Zoom rows at model %f, screen %f\n", m, p);
        // The row units count their zoom the other way round: zooming them out narrows the
        // window.
        if (away)
            rows->zoomOutAtLocalPos(p, shift ? 5 : 1);
        else
            rows->zoomInAtLocalPos(p, shift ? 5 : 1);
        raiseDirt(DirtRowScaleZoom);
        M_TRACE("ZOOM ROWS TO: %f\n", before);
        requestRefresh();
        break;
    }
    case WheelPanTime: {
        double const f = 0.05 * (shift ? 10 : 1);
        if (away)
            ts->nudgeVisibleWindowBackward(f);
        else
            ts->nudgeVisibleWindowForward(f);
        dirtAndRefresh(DirtTimeScalePan);
        break;
    }
    case WheelPanRows: {
        if (rows->needsReconfig())
            rows->reconfig();
        double const f = 0.1 * (shift ? 10 : 1);
        if (away)
            rows->nudgeVisibleWindowBackward(f);
        else
            rows->nudgeVisibleWindowForward(f);
        dirtAndRefresh(DirtRowScalePan);
        break;
    }
    }
}

void pTimeline::mousePressEvent(QMouseEvent* event)
{
    event->ignore();
    QPoint const at = event->position().toPoint();
    QPoint const inView = myGv->mapFromGlobal(mapToGlobal(at));
    M_TRACE_C("ired", "pTimeline::mousePRessEvent @ ( %i, %i ), in GV ( %i, %i )\n", at.x(), at.y(),
              inView.x(), inView.y());
    raiseDirt(DirtScene);
    for (QGraphicsItem* item : myGv->items(inView))
        M_TRACE("  Item %s, z=%.1f\n", itemTypeName(item), item->zValue());
    if (Ob::ourTrace)
        myGv->dumpScene();
}

void pTimeline::paintEvent(QPaintEvent* event)
{
    // The view paints every pixel of its viewport (the skin's background, else its black brush):
    // the grey goes only where the view is not, instead of under it on every frame.
    QRegion grey = event->region();
    if (myGv && myGv->isVisibleTo(this)) {
        QWidget const* viewport = myGv->viewport();
        grey -= QRect(viewport->mapTo(this, QPoint(0, 0)), viewport->size());
    }
    QPainter p(this);
    for (QRect const& r : grey)
        p.fillRect(r, QColor(100, 100, 100, 255));
}

void pTimeline::closeEvent(QEvent*)
{
    if (!testAttribute(Qt::WA_DeleteOnClose) || !myTlUi)
        return;
    myTlUi->forgetView(this);
    myTlUi = nullptr;
}

void pTimeline::showEvent(QEvent*)
{
    dirtAndRefresh(DirtTimelineWindowShown);
}

void pTimeline::sceneSelectionChangedCb()
{
    if (mScale* ts = timeScale())
        ts->clearLocalSelection();
    dirtAndRefresh(DirtSelection);
}

void pTimeline::verticalScrollbarMovedCb(int)
{
    dirtAndRefresh(DirtRowScalePan);
}

// Lock to now -----------------------------------------------------------------------------------

void pTimeline::reconfigNowTimer()
{
    mScale* ts = timeScale();
    mTimeline* tl = getTimeline();
    int const interval = ts ? nowTimerInterval(ts->getZoom()) : 0;
    bool lock = tl && tl->getLockToNowFlag();
    if (lock && ts && ts->getZoom() * 1000.0 < 1.0) {
        // A view that stood still there would mark a time long past as now.
        A_TRACE_C("ired", "LOCK TO NOW OFF: now crosses a pixel in under a millisecond\n");
        tl->setLockToNowFlag(false);
        lock = false;
        dirtAndRefresh(DirtTimeScaleLockToNowChanged);
    }
    if (interval < 1 || !lock || myDocClosing) {
        if (myNowTimer) {
            myNowTimer->stop();
            delete myNowTimer;
            myNowTimer = nullptr;
        }
        M_TRACE_C("ired", "STOPPING TIMER!  need interval %i, lock = %s\n", interval,
                  lock ? "Y" : "n");
        return;
    }
    if (!myNowTimer) {
        myNowTimer = new QTimer(this);
        connect(myNowTimer, &QTimer::timeout, this, &pTimeline::nowTimerCb);
    }
    myNowTimer->setSingleShot(true);
    myNowTimer->start(interval);
    M_TRACE_C("igreen", "STARTING TIMER!  need interval %i, lock = %s\n", interval,
              lock ? "Y" : "n");
}

void pTimeline::followNow()
{
    mTimeline* tl = getTimeline();
    mScale* ts = timeScale();
    if (!tl || !ts || !tl->getLockToNowFlag() || myDocClosing || ts->getParentSize() <= 0)
        return;
    // A zoom not yet applied would centre a window of the old width.
    if (ts->needsReconfig())
        ts->reconfig();
    ts->viewCurrentTime(false);
    raiseDirt(DirtTimeScalePanToNow);
}

void pTimeline::nowTimerCb()
{
    if (mScale* ts = timeScale())
        ts->viewCurrentTime(false);
    reconfigNowTimer();
    dirtAndRefresh(DirtTimeScalePanToNow);
}

void pTimeline::startNowTimer()
{
    mTimeline* tl = getTimeline();
    if (!tl || tl->getLockToNowFlag())
        return;
    tl->setLockToNowFlag(true);
    reconfigNowTimer();
    tl->timeScale()->viewCurrentTime(true);
    raiseDirt(DirtTimeScalePanToNow);
    dirtAndRefresh(DirtTimeScaleLockToNowChanged);
}

void pTimeline::stopNowTimer()
{
    mTimeline* tl = getTimeline();
    if (!tl || !tl->getLockToNowFlag())
        return;
    tl->setLockToNowFlag(false);
    reconfigNowTimer();
    dirtAndRefresh(DirtTimeScaleLockToNowChanged);
}

// Selection area --------------------------------------------------------------------------------

bool pTimeline::getSelectionArea(int& x, int& y, int& w, int& h)
{
    ObSelection* selection = getSelectionEngine();
    if (!selection || !tlObj::ourType_mEvent || !tlObj::ourType_mLayer)
        return false;
    std::set<Obh> handles;
    selection->getSelectedItemsOfType(tlObj::ourType_mEvent, handles);
    bool const events = !handles.empty();
    if (!events)
        selection->getSelectedItemsOfType(tlObj::ourType_mLayer, handles);
    QWidget* screen = myGv->viewport();
    bool any = false;
    int xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    for (Obh hdl : handles) {
        auto* g = dynamic_cast<aGraphic*>(hdl.obj());
        A_ASSERT(g);
        // An object without an item is not on screen: there is nothing to point at.
        QGraphicsItem* item = g->giGet();
        if (!item || !item->scene()) {
            M_TRACE("Selection area: a selected object without a scene item is left out\n");
            continue;
        }
        double bx = 0, by = 0, bw = 0, bh = 0;
        g->giGetBbox(bx, by, bw, bh);
        QPoint const p1 = screen->mapToGlobal(myGv->mapFromScene(item->mapToScene(bx, by)));
        QPoint const p2 =
            screen->mapToGlobal(myGv->mapFromScene(item->mapToScene(bx + bw, by + bh)));
        if (!any) {
            xMin = p1.x(), xMax = p2.x(), yMin = p1.y(), yMax = p2.y();
            any = true;
            continue;
        }
        xMin = std::min(xMin, p1.x());
        xMax = std::max(xMax, p2.x());
        yMin = std::min(yMin, p1.y());
        yMax = std::max(yMax, p2.y());
    }
    if (!any)
        return false;
    M_TRACE("Screen %s selection from (%i, %i) to (%i, %i )\n", events ? "EVENT" : "LAYER", xMin,
            yMin, xMax, yMax);
    x = xMin;
    y = yMin;
    w = events ? xMax - xMin : 1;
    h = yMax - yMin;
    return true;
}
