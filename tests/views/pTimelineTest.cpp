#include "pTimeline.h"
#include "ItemsDoc.h"
#include "RecordingPainter.h"
#include "ScopedTraces.h"
#include "aTs.h"
#include "cmdRemoveEmptyLayers.h"
#include "cmdTimelineNewLayer.h"
#include "cmdTimelineZoomToPreset_Hours.h"
#include "cmdViewLockTimeToNow.h"
#include "ctHandfulEventsQt.h"
#include "pBotLeft.h"
#include "pCtrls.h"
#include "pGv.h"
#include "pHead.h"
#include "pHeader.h"
#include "pTicks.h"
#include "pTopLeft.h"
#include "uiButton.h"
#include "uiToggle.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QElapsedTimer>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSplitter>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// Runs the event loop until the pane's layout timer has fired, for at most two seconds.
void waitForLayout(pTimeline& pane)
{
    QElapsedTimer clock;
    clock.start();
    while (pane.layoutTimer()->isActive() && clock.elapsed() < 2000)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

// A pane 1,000 by 600 over the items' document, its header column 200 wide, laid out.
struct Pane : ItemsDoc
{
    std::unique_ptr<pTimeline> pane;

    Pane()
    {
        skin.setTimelineTopHeaderH(80);
        timeline.setLayerHeaderW(200);
        pane = std::make_unique<pTimeline>(nullptr, &doc.cmp, doc.cmp.getUi());
        pane->resize(1000, 600);
        pane->freeze();
        waitForLayout(*pane);
        doc.pass();
    }
    ~Pane() override { pane->docWillClose(); }

    // Twenty more layers: a stack taller than the view.
    void tallStack()
    {
        for (int k = 0; k < 20; ++k)
            timeline.newLayer();
        timeline.restackLayers();
    }
};

} // namespace

TEST_F(Pane, TheSixPanesFillTheirColumns)
{
    EXPECT_EQ(pane->mySplitter->sizes(), QList<int>({200, 799}));
    struct
    {
        QWidget* w;
        QRect geometry;
    } const panes[] = {
        {pane->myTopLeft, {0, 0, 200, 80}},   {pane->myHead, {0, 80, 200, 440}},
        {pane->myBotLeft, {0, 520, 200, 80}}, {pane->myTicks, {0, 0, 799, 80}},
        {pane->myGv, {0, 80, 799, 440}},      {pane->myCtrls, {0, 520, 799, 80}},
    };
    for (auto const& p : panes)
        EXPECT_EQ(p.w->geometry(), p.geometry) << p.w->metaObject()->className();
    EXPECT_EQ(scale.getParentSize(), 799);
    EXPECT_EQ(perp.getParentSize(), 440);
}

TEST_F(Pane, TheHeaderWidthSetsTheSplitterAndIsStored)
{
    for (int w : {150, 320}) {
        pane->setLayerHeaderW(w);
        EXPECT_EQ(pane->mySplitter->sizes(), QList<int>({w, 999 - w}));
        EXPECT_EQ(timeline.getLayerHeaderW(), w);
        waitForLayout(*pane);
        EXPECT_EQ(pane->myGv->width(), 999 - w);
        EXPECT_EQ(scale.getParentSize(), 999 - w);
    }
}

TEST_F(Pane, ABurstOfResizesLaysOutOnceAfterTheLast)
{
    int layouts = 0;
    QObject::connect(pane->layoutTimer(), &QTimer::timeout, [&] { ++layouts; });
    QElapsedTimer sinceLast;
    for (int k = 1; k <= 5; ++k) {
        pane->resize(1000 + 10 * k, 600);
        sinceLast.start();
    }
    waitForLayout(*pane);
    EXPECT_EQ(layouts, 1);
    // Qt's coarse timers may fire up to 5 % early.
    EXPECT_GE(sinceLast.elapsed(), pTimeline::LayoutDelayMs * 95 / 100);
    EXPECT_EQ(pane->myGv->width(), 1050 - 201);
    EXPECT_EQ(timeline.getLayerHeaderW(), 200);
}

TEST_F(Pane, AWindowFrozenBeforeItsSizeKeepsTheStoredHeaderWidth)
{
    timeline.setLayerHeaderW(150);
    pTimeline early(nullptr, &doc.cmp, doc.cmp.getUi());
    early.resize(640, 480);
    early.freeze();
    early.resize(1200, 700); // the window's layout gives the pane its real size
    waitForLayout(early);
    EXPECT_EQ(early.mySplitter->sizes(), QList<int>({150, 1049}));
    EXPECT_EQ(timeline.getLayerHeaderW(), 150);
    early.docWillClose();
}

TEST_F(Pane, AClosingDocumentStopsBothTimers)
{
    timeline.setLockToNowFlag(true);
    scale.zoomToLocalRange(0.0, 60.0 * 799, 1.0f); // a minute a pixel
    pane->reconfigNowTimer();
    ASSERT_NE(pane->nowTimer(), nullptr);
    pane->resize(900, 600);
    pane->docWillClose();
    EXPECT_FALSE(pane->layoutTimer()->isActive());
    EXPECT_EQ(pane->nowTimer(), nullptr);
    pane->setLayerHeaderW(100);
    pane->reconfigNowTimer();
    EXPECT_FALSE(pane->layoutTimer()->isActive());
    EXPECT_EQ(pane->nowTimer(), nullptr);
}

TEST_F(Pane, ACollapsedViewLeavesTheScalesAlone)
{
    pane->resize(1000, 100); // shorter than the ruler and the control strip
    waitForLayout(*pane);
    doc.pass();
    EXPECT_EQ(perp.getParentSize(), 440);
    pane->setLayerHeaderW(999);
    waitForLayout(*pane);
    doc.pass();
    EXPECT_EQ(scale.getParentSize(), 799);
}

namespace {

// A wheel turn at a point of a widget; whether the widget took it. (Qt hands a turn on to the
// parents only when it comes from the system, so the pane's children are not asked here.)
bool wheelAt(QWidget& to, QPoint at, QPoint angle, Qt::KeyboardModifiers mods)
{
    QPointF const p(at);
    QWheelEvent event(p, to.mapToGlobal(p), QPoint(), angle, Qt::NoButton, mods, Qt::NoScrollPhase,
                      false);
    QApplication::sendEvent(&to, &event);
    return event.isAccepted();
}

} // namespace

namespace {

// What a call ran of the pane's refresh steps, in order.
std::vector<std::string> stepsRun(pTimeline& pane)
{
    ScopedTraces traces(true);
    std::string const log = loggedBy([&] { pane.refresh(nullptr); });
    std::vector<std::string> steps;
    std::string const mark = "pTimeline cleaning ";
    for (size_t at = log.find(mark); at != std::string::npos; at = log.find(mark, at)) {
        at += mark.size();
        steps.push_back(log.substr(at, log.find('\n', at) - at));
    }
    return steps;
}

// Where the two scales' windows are: start and width of the time axis, then of the rows.
std::array<double, 4> windows(mScale const& time, mScale const& rows)
{
    double const ts = time.getVisStart().asSeconds(), rs = rows.getVisStart().asSeconds();
    return {ts, time.getVisEnd().asSeconds() - ts, rs, rows.getVisEnd().asSeconds() - rs};
}

} // namespace

TEST_F(Pane, EachDirtRunsItsRefreshSteps)
{
    using Steps = std::vector<std::string>;
    struct
    {
        std::vector<uint32_t> dirt;
        Steps steps;
    } const cases[] = {
        {{tlObj::DirtTimeScalePan}, {"pTimeline_lockToNowDisengage", "pTimeline_doUpdate"}},
        {{tlObj::DirtTimeScalePan, tlObj::DirtTimeScalePanToNow},
         {"pTimeline_lockToNowChanged", "pTimeline_doUpdate"}},
        {{tlObj::DirtTimeScalePan, tlObj::DirtDocLoaded}, {"pTimeline_doUpdate"}},
        {{tlObj::DirtLayout},
         {"pTimeline_doRelayer", "pTimeline_doLayout", "pTimeline_recenterScene"}},
        {{tlObj::DirtRowScalePan}, {"pTimeline_restackLayerHeaders", "pTimeline_syncPerpPan"}},
        {{tlObj::DirtScene}, {"pTimeline_recenterScene"}},
        {{tlObj::DirtSelection}, {}},
    };
    for (auto const& c : cases) {
        doc.dirt.clearAllDirt();
        for (uint32_t id : c.dirt)
            doc.dirt.setDirty(id, true);
        EXPECT_EQ(stepsRun(*pane), c.steps) << c.dirt.size() << " ids, first " << c.dirt[0];
    }
}

TEST_F(Pane, ARefreshWithLayoutGivesEachLayerOneHeaderBesideItsBand)
{
    doc.dirt.setDirty(tlObj::DirtLayout, true);
    pane->refresh(nullptr);
    ASSERT_EQ(pane->myHeaders.size(), 1u);
    mLayer& layer = *tlObj::ourType_mLayer->ptr(l);
    QRect const expect(0, int(layer.getSceneY()), 200, int(layer.getSceneH()) - 1);
    EXPECT_EQ(pane->myHeaders.front()->geometry(), expect);
    EXPECT_EQ(pane->myGv->sceneRect(), QRectF(0, 0, 799, 440));
    EXPECT_EQ(band()->boundingRect().width(), 799);
}

TEST_F(Pane, TheWheelZoomsOrPansTheAxisItsModifiersName)
{
    enum Axis
    {
        Time,
        Rows
    };
    struct
    {
        Qt::KeyboardModifiers mods;
        QPoint angle;
        uint32_t dirt;
        Axis axis;
        int zoom;     // the window's width: -1 narrower, 0 the same, 1 wider
        double shift; // for a pan, how far the window moved, in widths
    } const cases[] = {
        // Turned away from the user (a positive turn): what lies above, or earlier, and closer.
        {Qt::NoModifier, {0, 120}, tlObj::DirtRowScalePan, Rows, 0, -0.1},
        {Qt::ShiftModifier, {0, -120}, tlObj::DirtRowScalePan, Rows, 0, 1.0},
        {Qt::NoModifier, {0, -120}, tlObj::DirtRowScalePan, Rows, 0, 0.1},
        // Sideways (a tilted wheel, a touchpad, X buttons 6 and 7): the time axis, leftwards
        // showing what is earlier.
        {Qt::NoModifier, {120, 0}, tlObj::DirtTimeScalePan, Time, 0, -0.05},
        {Qt::NoModifier, {-120, 0}, tlObj::DirtTimeScalePan, Time, 0, 0.05},
        {Qt::ShiftModifier, {-120, 0}, tlObj::DirtTimeScalePan, Time, 0, 0.5},
        // A touchpad's stroke goes the way it mostly goes.
        {Qt::NoModifier, {-120, 10}, tlObj::DirtTimeScalePan, Time, 0, 0.05},
        {Qt::NoModifier, {10, -120}, tlObj::DirtRowScalePan, Rows, 0, 0.1},
        {Qt::AltModifier, {0, 120}, tlObj::DirtTimeScalePan, Time, 0, -0.05},
        // X11 reports an Alt turn sideways.
        {Qt::AltModifier, {-120, 0}, tlObj::DirtTimeScalePan, Time, 0, 0.05},
        {Qt::AltModifier | Qt::ShiftModifier, {0, 120}, tlObj::DirtTimeScalePan, Time, 0, -0.5},
        // Less than a degree still goes the way it turns.
        {Qt::AltModifier, {0, -5}, tlObj::DirtTimeScalePan, Time, 0, 0.05},
        {Qt::ControlModifier | Qt::AltModifier, {0, 120}, tlObj::DirtTimeScaleZoom, Time, -1, 0},
        {Qt::ControlModifier | Qt::AltModifier, {120, 0}, tlObj::DirtTimeScaleZoom, Time, -1, 0},
        {Qt::ControlModifier | Qt::AltModifier, {0, -120}, tlObj::DirtTimeScaleZoom, Time, 1, 0},
        {Qt::ControlModifier, {0, 120}, tlObj::DirtRowScaleZoom, Rows, -1, 0},
        {Qt::ControlModifier, {0, -120}, tlObj::DirtRowScaleZoom, Rows, 1, 0},
        // Meta (the Windows key) is not looked at.
        {Qt::MetaModifier | Qt::AltModifier, {0, 120}, tlObj::DirtTimeScalePan, Time, 0, -0.05},
        {Qt::MetaModifier, {0, -120}, tlObj::DirtRowScalePan, Rows, 0, 0.1},
    };
    tallStack();
    int row = 0;
    for (auto const& c : cases) {
        SCOPED_TRACE(row++);
        scale.zoomToLocalRange(0.0, 799.0, 1.0f);
        perp.zoomToLocalRange(5.0, 15.0, 1.0f);
        doc.dirt.clearAllDirt();
        auto const before = windows(scale, perp);
        EXPECT_TRUE(wheelAt(*pane, {600, 300}, c.angle, c.mods));
        EXPECT_TRUE(raised(c.dirt));
        auto const after = windows(scale, perp);
        int const at = c.axis == Time ? 0 : 2, other = 2 - at;
        EXPECT_EQ(after[other], before[other]);
        EXPECT_EQ(after[other + 1], before[other + 1]);
        int const zoom = after[at + 1] > before[at + 1]   ? 1
                         : after[at + 1] < before[at + 1] ? -1
                                                          : 0;
        EXPECT_EQ(zoom, c.zoom);
        if (c.zoom == 0) {
            EXPECT_NEAR(after[at] - before[at], c.shift * before[at + 1], 1e-6);
        }
    }
}

TEST_F(Pane, AZeroTurnIsTakenAndDoesNothing)
{
    auto const before = windows(scale, perp);
    EXPECT_TRUE(wheelAt(*pane, {600, 300}, {0, 0}, Qt::AltModifier));
    EXPECT_EQ(windows(scale, perp), before);
    EXPECT_FALSE(raised(tlObj::DirtTimeScalePan));
}

TEST_F(Pane, ATimeZoomKeepsItsPixel)
{
    scale.zoomToLocalRange(0.0, 799.0, 1.0f);
    struct
    {
        QPoint at;    // in the pane
        double pixel; // in the view
    } const cases[] = {
        {{201 + 300, 300}, 300}, // over the view
        {{100, 300}, 799 / 2.0}, // over the headers: the view's middle
    };
    for (auto const& c : cases) {
        double const time = scale.parentToLocal(c.pixel);
        wheelAt(*pane, c.at, {0, -120}, Qt::ControlModifier | Qt::AltModifier);
        EXPECT_NEAR(scale.localToParent(time), c.pixel, 1e-6);
    }
}

TEST(pTimelineTest, TheNowTimerTicksOncePerPixel)
{
    struct
    {
        double secondsPerPixel;
        int ms;
    } const cases[] = {{0.0004, 0}, {0.001, 1}, {0.5, 500}, {60, 60000}, {3e6, 0}, {-1, 0}};
    for (auto const& c : cases)
        EXPECT_EQ(pTimeline::nowTimerInterval(c.secondsPerPixel), c.ms) << c.secondsPerPixel;
}

TEST_F(Pane, LockToNowRunsTheTimerWhileTheFlagIsSet)
{
    scale.zoomToLocalRange(0.0, 60.0 * 799, 1.0f);
    pane->startNowTimer();
    ASSERT_NE(pane->nowTimer(), nullptr);
    EXPECT_EQ(pane->nowTimer()->interval(), 60000);
    EXPECT_TRUE(raised(tlObj::DirtTimeScaleLockToNowChanged));
    pane->stopNowTimer();
    EXPECT_EQ(pane->nowTimer(), nullptr);
    EXPECT_FALSE(timeline.getLockToNowFlag());
    doc.dirt.clearAllDirt();
    pane->stopNowTimer();
    EXPECT_FALSE(raised(tlObj::DirtTimeScaleLockToNowChanged));
}

TEST_F(Pane, LockedTheViewCentresOnNowAfterEachMoveOrLetsGoWhereNowOutrunsTheTimer)
{
    struct
    {
        char const* what;
        std::function<void()> act;
        bool locked;
    } const cases[] = {
        {"the Hours preset", [] { cmdTimelineZoomToPreset_Hours::ourInstance.cmdAction(); }, true},
        {"a wheel zoom",
         [&] {
             wheelAt(*pane, {250, 300}, {0, 120}, Qt::ControlModifier | Qt::AltModifier);
         },
         true},
        {"a resize",
         [&] {
             pane->resize(700, 600);
             waitForLayout(*pane);
         },
         true},
        {"0.1 ms a pixel",
         [&] {
             scale.setZoom(0.0001);
             doc.dirt.setDirty(tlObj::DirtTimeScaleZoom, true);
         },
         false},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.what);
        // A day a pixel, a time picked 300 pixels before now, then locked.
        aTs now;
        now.stamp();
        scale.zoomToLocalRange(now.asSeconds() - 400 * 86400.0, now.asSeconds() + 399 * 86400.0,
                               1.0f);
        scale.localSelectAtParentPos(100);
        timeline.setLockToNowFlag(false);
        ASSERT_TRUE(cmdViewLockTimeToNow::ourInstance.cmdAction());
        doc.pass();
        c.act();
        doc.pass();
        EXPECT_EQ(timeline.getLockToNowFlag(), c.locked);
        EXPECT_EQ(pane->nowTimer() != nullptr, c.locked);
        now.stamp();
        if (c.locked) {
            EXPECT_NEAR(scale.localToParent(now), scale.getParentSize() / 2.0, 1.0);
        }
    }
}

TEST_F(Pane, TheSelectionAreaIsOnTheScreenWhereTheSelectionIsDrawn)
{
    pane->move(300, 200);
    scale.zoomToLocalRange(0.0, 799.0, 1.0f); // a second a pixel from the view's left edge
    doc.dirt.setDirty(tlObj::DirtTimeScaleZoom, true);
    doc.pass();
    // The view starts 201 pixels in (the header column and the handle) under the 80-pixel ruler.
    QPoint const view = pane->mapToGlobal(QPoint(201, 80));
    // Where the model drew a, b and the layer's band, in the view.
    QRect const ra = item(a)->sceneBoundingRect().toRect().translated(view);
    QRect const rb = item(b)->sceneBoundingRect().toRect().translated(view);
    QRect const rl = band()->sceneBoundingRect().toRect().translated(view);
    ASSERT_EQ(ra.x(), view.x() + 101); // a starts at 100 s; the model insets a span by a pixel
    struct
    {
        std::vector<Obh> selected;
        QRect area;
    } const cases[] = {
        {{a}, ra},
        {{a, b}, QRect(ra.topLeft(), rb.bottomRight())},
        {{a, l}, ra},
        {{l}, QRect(rl.x(), rl.y(), 1, rl.height())},
    };
    for (auto const& c : cases) {
        doc.selection.clearSelection();
        for (Obh h : c.selected)
            doc.selection.addToSelection(h);
        int x = 0, y = 0, w = 0, h = 0;
        ASSERT_TRUE(pane->getSelectionArea(x, y, w, h));
        EXPECT_EQ(QRect(x, y, w, h), c.area) << c.selected.size();
    }
}

TEST_F(Pane, WithNothingOnScreenSelectedThereIsNoArea)
{
    int x = 7, y = 7, w = 7, h = 7;
    EXPECT_FALSE(pane->getSelectionArea(x, y, w, h));
    // a and b scrolled out of view lose their items.
    scale.zoomToLocalRange(2000.0, 2799.0, 1.0f);
    doc.dirt.setDirty(tlObj::DirtTimeScalePan, true);
    doc.pass();
    ASSERT_EQ(ev(a)->giGet(), nullptr);
    doc.selection.addToSelection(a);
    EXPECT_FALSE(pane->getSelectionArea(x, y, w, h));
    EXPECT_EQ(QRect(x, y, w, h), QRect(7, 7, 7, 7));
}

TEST_F(Pane, TheViewLeavesItsWheelTurnsToThePane)
{
    pane->myGv->setSceneRect(0, 0, 5000, 5000); // room to scroll, had the view kept the turn
    for (QWidget* w : {static_cast<QWidget*>(pane->myGv), pane->myGv->viewport()}) {
        auto const before = windows(scale, perp);
        EXPECT_FALSE(wheelAt(*w, {100, 100}, {0, -120}, Qt::NoModifier));
        EXPECT_EQ(pane->myGv->verticalScrollBar()->value(), 0);
        EXPECT_EQ(windows(scale, perp), before);
    }
}

TEST_F(Pane, ATimeZoomKeepsTheSelectionAtItsPixelWhereverThePointerIs)
{
    enum Selection
    {
        Point,
        Span
    };
    struct
    {
        Selection selection;
        QPoint at; // the pointer, in the pane
        Qt::KeyboardModifiers shift;
        QPoint angle;
    } const cases[] = {
        {Point, {201 + 600, 300}, Qt::NoModifier, {0, 120}},
        {Point, {100, 300}, Qt::NoModifier, {0, -120}}, // over the headers
        {Point, {201 + 50, 300}, Qt::ShiftModifier, {0, 120}},
        {Span, {201 + 600, 300}, Qt::NoModifier, {0, 120}},
        {Span, {201 + 10, 300}, Qt::NoModifier, {0, -120}},
        {Span, {100, 300}, Qt::ShiftModifier, {0, -120}},
    };
    int row = 0;
    for (auto const& c : cases) {
        SCOPED_TRACE(row++);
        scale.zoomToLocalRange(0.0, 799.0, 1.0f); // a second a pixel
        // The point at pixel 200; the span from 100 to 300, its middle at 200.
        if (c.selection == Point)
            scale.localSelectAtParentPos(200);
        else
            scale.localSelectAtParentSpan(100, 300);
        double const anchor =
            c.selection == Point
                ? scale.getSelStart().asSeconds()
                : (scale.getSelStart().asSeconds() + scale.getSelEnd().asSeconds()) / 2;
        ASSERT_NEAR(scale.localToParent(anchor), 200, 1e-6);
        double const zoom = scale.getZoom();
        wheelAt(*pane, c.at, c.angle, Qt::ControlModifier | Qt::AltModifier | c.shift);
        ASSERT_NE(scale.getZoom(), zoom);
        EXPECT_NEAR(scale.localToParent(anchor), 200, 1e-3);
        EXPECT_TRUE(raised(tlObj::DirtTimeScaleZoom));
    }
}

TEST_F(Pane, ShiftZoomsFiveStepsInOneTurn)
{
    struct
    {
        Qt::KeyboardModifiers mods;
        QPoint angle;
        bool rows;
    } const cases[] = {
        {Qt::ControlModifier | Qt::AltModifier, {0, 120}, false},
        {Qt::ControlModifier | Qt::AltModifier, {0, -120}, false},
        {Qt::ControlModifier, {0, 120}, true},
        {Qt::ControlModifier, {0, -120}, true},
    };
    tallStack();
    int row = 0;
    for (auto const& c : cases) {
        SCOPED_TRACE(row++);
        mScale& axis = c.rows ? perp : scale;
        auto zoomAfter = [&](int turns, Qt::KeyboardModifiers mods) {
            scale.zoomToLocalRange(0.0, 799.0, 1.0f);
            perp.zoomToLocalRange(5.0, 15.0, 1.0f);
            for (int t = 0; t < turns; ++t)
                wheelAt(*pane, {600, 300}, c.angle, mods);
            return axis.getZoom();
        };
        double const one = zoomAfter(1, c.mods);
        double const five = zoomAfter(5, c.mods);
        ASSERT_NE(one, five);
        EXPECT_DOUBLE_EQ(zoomAfter(1, c.mods | Qt::ShiftModifier), five);
    }
}

TEST_F(Pane, ARowZoomKeepsTheSelectedLayerOrTheEndOfTheStackInView)
{
    tallStack();
    std::vector<Obh> layers = timeline.getLayerHdls();
    ASSERT_EQ(layers.size(), 21u);
    mLayer const& middle = *tlObj::ourType_mLayer->ptr(layers[10]);
    double const top = perp.getMinValue(), bottom = perp.getMaxValue();
    double const middleMid = middle.getModelY() + middle.getModelH() / 2;
    ASSERT_GT(bottom - top, 20);
    struct
    {
        char const* what;
        Obh selected;    // none when empty
        double from, to; // the rows in view
        double anchor;   // what stays at its pixel
    } const cases[] = {
        {"a selected layer in view", layers[10], middleMid - 4, middleMid + 6, middleMid},
        {"the top of the stack", Obh(), top, top + 10, top},
        {"the bottom of the stack", Obh(), bottom - 10, bottom, bottom},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.what);
        doc.selection.clearSelection();
        if (c.selected.isValid())
            doc.selection.setSelection(c.selected);
        perp.zoomToLocalRange(c.from, c.to, 1.0f);
        double const pixel = perp.localToParent(c.anchor);
        double const width = perp.getVisEnd().asSeconds() - perp.getVisStart().asSeconds();
        wheelAt(*pane, {600, 300}, {0, 120}, Qt::ControlModifier);
        ASSERT_LT(perp.getVisEnd().asSeconds() - perp.getVisStart().asSeconds(), width);
        EXPECT_NEAR(perp.localToParent(c.anchor), pixel, 1e-3);
        EXPECT_TRUE(raised(tlObj::DirtRowScaleZoom));
    }
}

TEST_F(Pane, LockedTheTimersTickCentresNowAndAnAltPanLetsGo)
{
    aTs now;
    now.stamp();
    // Half a second a pixel: the timer ticks every 500 ms.
    scale.zoomToLocalRange(now.asSeconds() - 400 * 0.5, now.asSeconds() + 399 * 0.5, 1.0f);
    ASSERT_TRUE(cmdViewLockTimeToNow::ourInstance.cmdAction());
    doc.pass();
    ASSERT_NE(pane->nowTimer(), nullptr);
    EXPECT_EQ(pane->nowTimer()->interval(), 500);

    // The window wanders off without telling anyone; the next tick brings now back to the middle
    // and tells the views (seen as the tick ends, before the pass it asks for clears the dirt).
    scale.nudgeVisibleWindowBackward(0.5);
    doc.dirt.clearAllDirt();
    bool ticked = false, panned = false;
    double nowPixel = 0;
    QObject watch;
    QObject::connect(pane->nowTimer(), &QTimer::timeout, &watch, [&] {
        ticked = true;
        panned = raised(tlObj::DirtTimeScalePanToNow);
        aTs at;
        at.stamp();
        nowPixel = scale.localToParent(at);
    });
    QElapsedTimer clock;
    clock.start();
    while (!ticked && clock.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_TRUE(ticked);
    EXPECT_TRUE(panned);
    EXPECT_NEAR(nowPixel, scale.getParentSize() / 2.0, 1.0);
    doc.pass();
    EXPECT_TRUE(timeline.getLockToNowFlag());
    ASSERT_NE(pane->nowTimer(), nullptr);
    EXPECT_TRUE(pane->nowTimer()->isActive());

    // A pan of the user's own ends the lock in the next pass.
    double const start = scale.getVisStart().asSeconds();
    wheelAt(*pane, {600, 300}, {0, -120}, Qt::AltModifier);
    EXPECT_GT(scale.getVisStart().asSeconds(), start);
    doc.pass();
    EXPECT_FALSE(timeline.getLockToNowFlag());
    EXPECT_EQ(pane->nowTimer(), nullptr);
}

TEST_F(Pane, ZoomToTheSelectedEventsOrLayersRedrawsThemWhereTheyNowAre)
{
    scale.zoomToLocalRange(0.0, 799.0, 1.0f); // a second a pixel
    doc.dirt.setDirty(tlObj::DirtTimeScaleZoom, true);
    doc.pass();
    struct
    {
        char const* what;
        std::vector<Obh> selected;
    } const cases[] = {
        {"two events", {a, b}},
        {"their layer", {l}},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.what);
        scale.zoomToLocalRange(0.0, 799.0, 1.0f);
        doc.dirt.setDirty(tlObj::DirtTimeScaleZoom, true);
        doc.pass();
        doc.selection.clearSelection();
        for (Obh h : c.selected)
            doc.selection.addToSelection(h);
        pane->myCtrls->button(pCtrls::ZoomSel)->click();
        doc.pass();
        // a (100 s to 150 s) to b (300 s to 400 s) fill the view: b ends at its right edge.
        ASSERT_NEAR(scale.localToParent(400.0), 799, 1e-3);
        ASSERT_NE(item(b), nullptr);
        EXPECT_NEAR(item(b)->sceneBoundingRect().right(), 799, 2);
        EXPECT_NEAR(item(a)->sceneBoundingRect().left(), 0, 2);
    }
}

TEST_F(Pane, ALayerHiddenAndShownAgainIsDrawnInTheNextPass)
{
    Obh const other = timeline.newLayer();
    Obh const c = tlObj::ourType_mEvent->make();
    ev(c)->setStartTime(200);
    ev(c)->setTimeLength(80);
    timeline.addEvent(c, 200, 0, other, true);
    timeline.setShowLayerControls(true);
    doc.dirt.setDirty(tlObj::DirtLayout, true);
    doc.pass();
    mLayer& layer = *tlObj::ourType_mLayer->ptr(l);
    ASSERT_NE(band(), nullptr);
    QPointF const bandAt = band()->pos();
    QRectF const aAt = item(a)->sceneBoundingRect(), bAt = item(b)->sceneBoundingRect();

    // The layer's own "H", then the corner's "H" on (the layer goes) and off again.
    ASSERT_EQ(pane->myHeaders.size(), 2u);
    pane->myHeaders.front()->myHideToggle->activate();
    doc.pass();
    ASSERT_FALSE(layer.getIsActive());
    pane->myTopLeft->myHideToggle->activate();
    doc.pass();
    ASSERT_FALSE(layer.getIsVisible()) << "hiding on: the inactive layer takes no room";
    EXPECT_FALSE(band() && band()->scene());
    pane->myTopLeft->myHideToggle->activate();
    doc.pass();

    ASSERT_TRUE(layer.getIsVisible());
    ASSERT_NE(band(), nullptr);
    EXPECT_EQ(band()->scene(), &scene);
    EXPECT_TRUE(band()->isVisible());
    EXPECT_EQ(band()->pos(), bandAt);
    for (auto [h, at] : {std::pair {a, aAt}, std::pair {b, bAt}}) {
        ASSERT_NE(item(h), nullptr);
        EXPECT_EQ(item(h)->parentItem(), band());
        EXPECT_TRUE(item(h)->isVisible());
        EXPECT_EQ(item(h)->sceneBoundingRect(), at);
    }
}

TEST_F(Pane, AStackThatShrinksUnderTheViewBringsTheViewBackOntoIt)
{
    struct
    {
        char const* what;
        std::function<void()> shrink;
    } const cases[] = {
        {"Remove Empty Layers", [] { cmdRemoveEmptyLayers::ourInstance.cmdAction(); }},
        {"the corner's collapse",
         [this] { pane->myTopLeft->myCollapseBtn->buttonPressed(pane->myTopLeft->myCollapseBtn); }},
    };
    mLayer const& kept = *tlObj::ourType_mLayer->ptr(l);
    for (auto const& c : cases) {
        SCOPED_TRACE(c.what);
        for (int k = 0; k < 20; ++k) {
            ASSERT_TRUE(cmdTimelineNewLayer::ourInstance.cmdAction());
            doc.pass();
        }
        ASSERT_FALSE(kept.getIsVisible()) << "the view followed the new layers down";
        c.shrink();
        doc.pass();
        ASSERT_EQ(timeline.getLayerHdls().size(), 1u);
        double const vs = perp.getVisStart().asSeconds(), ve = perp.getVisEnd().asSeconds();
        double const lo = perp.getMinValue(), hi = perp.getMaxValue();
        EXPECT_TRUE((vs >= lo - 1e-6 && ve <= hi + 1e-6) || (vs <= lo + 1e-6 && ve >= hi - 1e-6))
            << "rows " << vs << " to " << ve << " over a stack of " << lo << " to " << hi;
        EXPECT_TRUE(kept.getIsVisible());
        ASSERT_NE(band(), nullptr);
        EXPECT_EQ(band()->scene(), &scene);
        ASSERT_EQ(pane->myHeaders.size(), 1u);
        EXPECT_FALSE(pane->myHeaders.front()->isHidden());
        EXPECT_NE(item(a), nullptr) << "its events are drawn";
    }
}

// A drag of events over the pane -----------------------------------------------------------------

// c, below l, is pressed and moved up so quickly that its drag starts over l's first row.
TEST_F(Pane, TheReleaseLandsWhereTheGhostStoodOrNothingMovesAndNoGhostIsShown)
{
    Obh const c = tlObj::ourType_mEvent->make();
    ev(c)->setStartTime(300);
    ev(c)->setTimeLength(100);
    timeline.addEvent(c, 300, 1, timeline.newLayer(), true);
    doc.pass();
    auto const drawnAt = [&] { // x, y, w, h in the scene
        std::array<double, 4> r {};
        ev(c)->getSceneVisTimeSpan(r[0], r[2]);
        ev(c)->getSceneVisRowSpan(r[1], r[3]);
        return r;
    };
    auto const before = drawnAt();
    QPointF const press = item(c)->boundingRect().center();
    QPointF const startAt(item(c)->mapToScene(press).x(),
                          tlObj::ourType_mLayer->ptr(l)->getSceneY() + 5);
    // In the pane: the view's corner, the ruler above it and the header column left of it.
    QPoint const view = pane->myGv->viewport()->mapTo(pane.get(), QPoint());
    QPoint const start = view + pane->myGv->mapFromScene(startAt);
    struct
    {
        char const* where;
        QPoint at;
        bool lands;
        Qt::KeyboardModifiers keys = {};
    } const places[] = {
        {"over the ruler", {start.x(), view.y() / 2}, false},
        {"over the header column", {view.x() / 2, start.y()}, false},
        // Shift keeps c's time: only its row changes, and its ghost says so.
        {"on l's second row, with Shift", start + QPoint(40, 30), true, Qt::ShiftModifier},
        {"on l's second row, later", start + QPoint(40, 30), true},
        // Where the splitter's handle reaches over the view, for a grip wider than its line.
        {"on the view's first pixel", {view.x(), start.y() + 30}, true},
        {"on the view's second pixel", {view.x() + 1, start.y() + 30}, true},
    };
    // The first column of the view that the splitter's grip leaves free.
    QWidget const* grip = pane->mySplitter->handle(1);
    int const free = grip->mapTo(pane.get(), QPoint(grip->width(), 0)).x();
    ASSERT_GT(free, view.x()) << "the grip reaches over the view";
    // QDrag::exec stands aside: `during` plays the drag.
    static std::function<Qt::DropAction(QDrag&)> during;
    QScopedValueRollback<ctHndQt::DragExec> const hook(
        ctHndQt::ourDragExec, [](QDrag& drag, Qt::DropActions) { return during(drag); });
    for (auto const& place : places) {
        SCOPED_TRACE(place.where);
        doc.pass(); // c's item shown again where the last drop put it
        bool shown = false;
        std::array<double, 4> ghost {};
        during = [&](QDrag& drag) {
            QWindow* const window = pane->windowHandle();
            QMimeData const* mime = drag.mimeData();
            QDragEnterEvent enter(start, Qt::MoveAction, mime, Qt::LeftButton, place.keys);
            QDragMoveEvent move(place.at, Qt::MoveAction, mime, Qt::LeftButton, place.keys);
            QDropEvent drop(place.at, Qt::MoveAction, mime, Qt::LeftButton, place.keys);
            QApplication::sendEvent(window, &enter);
            QApplication::sendEvent(window, &move);
            // Held there: what the guide draws.
            auto& handful = dynamic_cast<ctHandfulEventsQt&>(*tlObj::ourHand.getHandfulQt());
            RecordingPainter p(0, 0, 799, 440);
            handful.drawSceneGuide(p);
            shown = !p.callsStartingWith("draw2d").empty();
            ctHandfulEventsQt::Ghost const& at = *handful.ghostOf(c);
            ghost = {at.x, at.y, at.w, at.h};
            if (move.isAccepted())
                QApplication::sendEvent(window, &drop);
            return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
        };
        auto const was = drawnAt();
        double const pressedX = item(c)->mapToScene(press).x();
        ASSERT_TRUE(mouse(item(c), QEvent::GraphicsSceneMousePress, press));
        mouse(item(c), QEvent::GraphicsSceneMouseMove, item(c)->mapFromScene(startAt),
              Qt::LeftButton, Qt::NoModifier, pane->myGv->viewport());
        EXPECT_EQ(shown, place.lands) << "a ghost stands where a release places c";
        if (place.at.x() < free && place.lands) {
            double const freeX = pane->myGv->mapToScene(free - view.x(), 0).x();
            EXPECT_EQ(ghost[0], was[0] + freeX - pressedX) << "as at the first free column";
        }
        EXPECT_EQ(drawnAt(), place.lands ? ghost : before) << "where its ghost stood, or back";
        EXPECT_EQ(ev(c)->getLayerHdl() == l, place.lands);
        if (place.keys & Qt::ShiftModifier) {
            EXPECT_EQ(ghost[0], before[0]) << "at c's time";
        }
    }
}
