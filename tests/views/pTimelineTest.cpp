#include "ItemsDoc.h"
#include "pBotLeft.h"
#include "pCtrls.h"
#include "pGv.h"
#include "pHead.h"
#include "pTicks.h"
#include "pTimeline.h"
#include "pTopLeft.h"

#include <QElapsedTimer>
#include <QSplitter>
#include <QTimer>

#include <memory>

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
        {pane->myTopLeft, {0, 0, 200, 80}},    {pane->myHead, {0, 80, 200, 440}},
        {pane->myBotLeft, {0, 520, 200, 80}},  {pane->myTicks, {0, 0, 799, 80}},
        {pane->myGv, {0, 80, 799, 440}},       {pane->myCtrls, {0, 520, 799, 80}},
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
    EXPECT_GE(sinceLast.elapsed(), pTimeline::LayoutDelayMs);
    EXPECT_EQ(pane->myGv->width(), pane->mySplitter->sizes().at(1));
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
