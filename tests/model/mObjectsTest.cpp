#include "ObClassTypeOf.h"
#include "ObDirty.h"
#include "TimelineTestDoc.h"
#include "aRefresher.h"
#include "mAttrLimits.h"
#include "mEvent.h"
#include "mLayer.h"
#include "mScale.h"
#include "mSkin.h"
#include "mTimeline.h"
#include "tlScene.h"
#include "tlUi.h"
#include "uiGi.h"

#include <gtest/gtest.h>

namespace {

// Whether a refreshable is scheduled at a level of the engine.
bool scheduledAt(aRefresher& refresher, int level, aRefreshable* r)
{
    auto it = refresher.myTxByLevel.find(level);
    if (it == refresher.myTxByLevel.end())
        return false;
    return r->myFuncsByTx.count(it->second.get()) != 0;
}

struct Model : testing::Test
{
    TimelineTestDoc doc;
    mTimeline& timeline = *doc.cmp.getCmpTimeline();

    template <class T> T* make(ObClassTypeOf<T>* type, Obh& h)
    {
        h = type->make();
        return type->ptr(h);
    }
    bool raised(uint32_t id) const { return doc.dirt.isDirty(id); }
};

} // namespace

TEST_F(Model, ANewTimelineHasATimeScaleAndARowScaleAndIsScheduled)
{
    ASSERT_NE(timeline.timeScale(), nullptr);
    ASSERT_NE(timeline.perpScale(), nullptr);
    EXPECT_TRUE(timeline.timeScale()->isTimeScale());
    EXPECT_FALSE(timeline.perpScale()->isTimeScale());
    EXPECT_EQ(timeline.perpScale()->getMinValue(), 0.0);
    EXPECT_EQ(timeline.perpScale()->getMaxValue(), 1.0);
    EXPECT_TRUE(scheduledAt(doc.refresher, tlObj::LevelTimeline, &timeline));
    EXPECT_TRUE(raised(tlObj::DirtTimeScaleZoom));
    EXPECT_TRUE(raised(tlObj::DirtRowScaleZoom));
}

TEST_F(Model, TimelineHooksRaiseTheirDirt)
{
    doc.dirt.clearAllDirt();
    timeline.setTick(timeline.getTick());
    EXPECT_FALSE(raised(tlObj::DirtTick)) << "the same tick is no change";
    timeline.setTick(5);
    EXPECT_TRUE(raised(tlObj::DirtTick));

    doc.dirt.clearAllDirt();
    timeline.setRowScale(timeline.getRowScale());
    EXPECT_TRUE(raised(tlObj::DirtRowScaleZoom)) << "every set of the row scale counts";
    timeline.setShowLayerControls(false);
    EXPECT_TRUE(raised(tlObj::DirtLayerControlVisibility));

    doc.dirt.clearAllDirt();
    timeline.incrementTick(2);
    EXPECT_EQ(timeline.getTick(), 7);
    EXPECT_TRUE(raised(tlObj::DirtTick));

    // Reading a document stores without hooks.
    doc.dirt.clearAllDirt();
    EXPECT_TRUE(timeline.setAttrByString("tick", "40", nullptr));
    EXPECT_EQ(timeline.getTick(), 40);
    EXPECT_FALSE(raised(tlObj::DirtTick));
}

TEST_F(Model, TheTopLayerBecomesCurrentOnFirstRequest)
{
    EXPECT_FALSE(timeline.getCurrentLayerHdl().isValid()) << "no layers, no current layer";
    Obh a, b;
    mLayer* la = make(tlObj::ourType_mLayer, a);
    mLayer* lb = make(tlObj::ourType_mLayer, b);
    timeline.myLayerHdls = {a, b};
    EXPECT_EQ(timeline.getCurrentLayerHdl(), a);
    EXPECT_TRUE(la->getIsCurrent());
    EXPECT_FALSE(lb->getIsCurrent());
    timeline.setCurrentLayerHdl(b);
    EXPECT_FALSE(la->getIsCurrent());
    EXPECT_TRUE(lb->getIsCurrent());
    EXPECT_TRUE(doc.dirt.itemIsDirty(a));
    EXPECT_TRUE(doc.dirt.itemIsDirty(b));
    std::list<Obh> layers;
    timeline.getLayers(layers);
    EXPECT_EQ(layers, (std::list<Obh> {a, b}));
}

TEST_F(Model, ARecycledTimelineGivesBackItsLayersAndScales)
{
    Obh h, layer;
    mTimeline* other = make(tlObj::ourType_mTimeline, h);
    make(tlObj::ourType_mLayer, layer);
    other->myLayerHdls = {layer};
    unsigned const scales = tlObj::ourType_mScale->getCurrentTypeCount();
    unsigned const layers = tlObj::ourType_mLayer->getCurrentTypeCount();
    h.dealloc();
    EXPECT_EQ(tlObj::ourType_mLayer->getCurrentTypeCount(), layers - 1);
    EXPECT_EQ(tlObj::ourType_mScale->getCurrentTypeCount(), scales - 4)
        << "two its own, two the layer's";
    EXPECT_FALSE(scheduledAt(doc.refresher, tlObj::LevelTimeline, other));
}

TEST_F(Model, ALayerTakenFromItsPoolHasOneRowAndIsScheduled)
{
    Obh h;
    mLayer* l = make(tlObj::ourType_mLayer, h);
    ASSERT_NE(l->rowScale(), nullptr);
    ASSERT_NE(l->timeScale(), nullptr);
    EXPECT_EQ(l->rowScale()->getMaxValue() - l->rowScale()->getMinValue(), 1.0);
    EXPECT_TRUE(l->timeScale()->isTimeScale());
    EXPECT_TRUE(scheduledAt(doc.refresher, tlObj::LevelLayer, l));

    l->clearObj();
    EXPECT_EQ(l->getIndex(), -2);
    EXPECT_FALSE(scheduledAt(doc.refresher, tlObj::LevelLayer, l));
}

TEST_F(Model, LayerSceneGeometryMovesAndResizesItsItem)
{
    Obh h;
    mLayer* l = make(tlObj::ourType_mLayer, h);
    EXPECT_TRUE(l->setSceneW(300));
    EXPECT_FALSE(l->setSceneW(300)) << "the same width is no change";
    EXPECT_TRUE(l->setSceneH(40));
    EXPECT_FALSE(l->setSceneH(40));
    EXPECT_FALSE(l->setSceneH(mAttrLimits::SceneHeightLimit)) << "beyond the layer's range";
    EXPECT_EQ(l->getSceneH(), 40.0);

    doc.cmp.getUi()->addToScene(h);
    ASSERT_NE(l->giGet(), nullptr);
    l->giSetPos(0, 10);
    EXPECT_TRUE(l->setSceneY(10)) << "the same y still moves the item";
    EXPECT_TRUE(l->setSceneY(25));
    EXPECT_EQ(l->giGet()->y(), 25.0);
    EXPECT_EQ(l->giGet()->boundingRect(), QRectF(0, 0, 300, 40));
    h.dealloc();
    EXPECT_TRUE(doc.cmp.getUi()->getScene()->items().isEmpty())
        << "a recycled layer drops its item";
}

TEST_F(Model, AnEventMovesItsItemWithItsRows)
{
    Obh lh, eh;
    mLayer* layer = make(tlObj::ourType_mLayer, lh);
    mEvent* ev = make(tlObj::ourType_mEvent, eh);
    EXPECT_EQ(ev->getLayer(), nullptr);
    EXPECT_TRUE(ev->setRowIndex(2.0)) << "no item: stored, nothing moves";
    EXPECT_FALSE(ev->setRowIndex(2.0));

    layer->setVerticalScale(1.0f);
    ev->setLayerHdl(lh);
    EXPECT_EQ(ev->getLayer(), layer);
    ev->setSceneW(50);
    ev->setSceneH(10);
    layer->setSceneW(400);
    layer->setSceneH(100);
    doc.cmp.getUi()->addToScene(lh);
    doc.cmp.getUi()->addToScene(eh, layer, 1.0f);
    ASSERT_NE(ev->giGet(), nullptr);

    double const rowHeight = 1.0 / tlObj().getSceneYScale();
    EXPECT_TRUE(ev->setRowIndex(3.0));
    EXPECT_DOUBLE_EQ(ev->giGet()->y(), 3.0 * rowHeight);
    EXPECT_TRUE(ev->setRowSize(2.0));
    EXPECT_DOUBLE_EQ(ev->getSceneH(), 2.0 * rowHeight);
    EXPECT_FALSE(ev->setRowSize(2.0));

    // A layer handle naming something else is no layer.
    ev->setLayerHdl(eh);
    EXPECT_EQ(ev->getLayer(), nullptr);
}

TEST_F(Model, AnInstantsBoxReachesFifteenPixelsEachSide)
{
    Obh h;
    mEvent* ev = make(tlObj::ourType_mEvent, h);
    ev->setSceneW(80);
    ev->setSceneH(12);
    double x, y, w, hgt;
    ev->giGetBbox(x, y, w, hgt);
    EXPECT_EQ(QRectF(x, y, w, hgt), QRectF(0, 0, 80, 12));
    ev->setIsImpulse(true);
    ev->giGetBbox(x, y, w, hgt);
    EXPECT_EQ(QRectF(x, y, w, hgt), QRectF(-15, 0, 30, 12));
}

TEST_F(Model, TheSkinOpensOneContextAtATime)
{
    mSkin& skin = *doc.cmp.getCmpSkin();
    EXPECT_FALSE(skin.inContext());
    EXPECT_TRUE(skin.getHorizFlag()) << "horizontal before any context";
    skin.beginContext(nullptr, false);
    EXPECT_FALSE(skin.inContext()) << "nothing to draw without a timeline";

    skin.beginContext(&timeline, false);
    EXPECT_TRUE(skin.inContext());
    EXPECT_EQ(skin.myScale, timeline.timeScale());
    EXPECT_FALSE(skin.myAllRanges.empty());
    EXPECT_EQ(skin.myZoom, timeline.timeScale()->getZoom());
    skin.endContext();
    EXPECT_FALSE(skin.inContext());
    EXPECT_FALSE(skin.getHorizFlag()) << "the last context's orientation stays";
    EXPECT_EQ(skin.mSkinData::getSceneYScale(), 1);
}
