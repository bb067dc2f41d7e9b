#include "mTimeline.h"

#include "ObClassTypeOf.h"
#include "ObDirty.h"
#include "aAssert.h"
#include "aRefresher.h"
#include "aTrace.h"
#include "mAttrLimits.h"
#include "mLayer.h"
#include "mScale.h"
#include "tlStep.h"
#include "tlUnits.h"
#include "tlUnitsNumeric.h"

namespace {

mAttrLimits::Range const TimelineLimits[] = {
    {"layerHeaderW", 0, mAttrLimits::PixelsHi},
};

mLayer* layerOf(Obh h)
{
    return h.isValid() ? dynamic_cast<mLayer*>(h.obj()) : nullptr;
}

} // namespace

mTimeline::mTimeline() = default;

mTimeline::~mTimeline()
{
    dropScales();
}

void mTimeline::makeScales()
{
    A_ASSERT(ourType_mScale);
    myTimeScaleHdl = ourType_mScale->make();
    myTimeScale = ourType_mScale->ptr(myTimeScaleHdl);
    A_ASSERT(myTimeScale);
    myTimeScale->setNote("Timeline TIME scale");
    myTimeScale->setTimeUnits();
    raiseDirt(DirtTimeScaleZoom);

    myVScaleHdl = ourType_mScale->make();
    myVScale = ourType_mScale->ptr(myVScaleHdl);
    A_ASSERT(myVScale);
    myVScale->setNote("Timeline PERP scale");
    // The numeric units are shared by every numeric scale: these bounds hold for all of them.
    auto* units = static_cast<tlUnitsNumeric*>(myVScale->setNumericUnits());
    units->setMaxZoom(1.0);
    units->setMinZoom(0.001);
    myVScale->setParentPos(0);
    myVScale->setParentSize(1);
    myVScale->setMinValue(0.0);
    myVScale->setMaxValue(1.0);
    raiseDirt(DirtRowScaleZoom);
}

void mTimeline::dropScales()
{
    // A handle of a pool that is gone, or of a slot given back already, names nothing to return.
    if (ourType_mScale) {
        if (ourType_mScale->ptrFromFile(myTimeScaleHdl))
            myTimeScaleHdl.dealloc();
        if (ourType_mScale->ptrFromFile(myVScaleHdl))
            myVScaleHdl.dealloc();
    }
    myTimeScaleHdl = Obh();
    myVScaleHdl = Obh();
    myTimeScale = nullptr;
    myVScale = nullptr;
}

void mTimeline::initObj()
{
    resetAttrs();
    myLayerHdls.clear();
    myCurrentLayerHdl = Obh();
    makeScales();
    if (aRefresher* refresher = getRefreshEngine())
        refresher->schedule(static_cast<aRefreshable*>(this), LevelTimeline, "mTimeline::refresh");
    else
        A_TRACE_C("red", "mTimeline: no refresh engine, the timeline is not refreshed\n");
    myMaxStackRowIndex = -1;
    mTimelineData::initObj();
}

void mTimeline::release()
{
    // The layers go with their timeline (and take their own scales with them).
    for (Obh& h : myLayerHdls)
        if (ourType_mLayer && ourType_mLayer->ptrFromFile(h))
            h.dealloc();
    myLayerHdls.clear();
    myCurrentLayerHdl = Obh();
    myMaxStackRowIndex = -1;
    dropScales();
    rxDisconnect(); // leaves the refresh engine, whichever it is
}

void mTimeline::recycleObj()
{
    A_TRACE("mTimeline::RECYCLE OBJ\n");
    release();
    mTimelineData::recycleObj();
}

void mTimeline::clearObj()
{
    A_TRACE("mTimeline::CLEAR OBJ\n");
    release();
    mTimelineData::clearObj();
}

bool mTimeline::xmlReadStartElement(XmlReader& r, char const* name, int attrCount)
{
    if (!mAttrLimits::accept(r, *this, name, TimelineLimits))
        return true;
    return mTimelineData::xmlReadStartElement(r, name, attrCount);
}

void mTimeline::refresh(aRefreshContext*)
{
    static tlStep reconfigTime("mTimeline_reconfigTimeScale");
    static tlStep reconfigPerp("mTimeline_reconfigPerpScale");
    static tlStep clearLocalSelection("mTimeline_clearLocalSelectionFromTimeScale");
    static tlStep clearEventsFromSelection("mTimeline_clearEventsFromSelection");
    ObDirty* dirt = getDirtEngine();
    if (reconfigTime.needsCleaning(dirt, "mTimeline") && myTimeScale)
        myTimeScale->setNeedsReconfig(true);
    if (reconfigPerp.needsCleaning(dirt, "mTimeline") && myVScale)
        myVScale->setNeedsReconfig(true);
    if (clearLocalSelection.needsCleaning(dirt, "mTimeline") && myTimeScale)
        myTimeScale->clearLocalSelection();
    clearEventsFromSelection.needsCleaning(dirt, "mTimeline"); // only tested
}

void mTimeline::getLayers(std::list<Obh>& out)
{
    for (Obh const& h : myLayerHdls)
        if (layerOf(h))
            out.push_back(h);
}

Obh mTimeline::getCurrentLayerHdl()
{
    if (!myCurrentLayerHdl && !myLayerHdls.empty())
        setCurrentLayerHdl(myLayerHdls.front());
    return myCurrentLayerHdl;
}

void mTimeline::setCurrentLayerHdl(Obh& h)
{
    if (h == myCurrentLayerHdl)
        return;
    ObDirty* dirt = getDirtEngine();
    if (dirt && myCurrentLayerHdl)
        dirt->setDirtyItem(myCurrentLayerHdl);
    myCurrentLayerHdl = h;
    if (dirt && myCurrentLayerHdl)
        dirt->setDirtyItem(myCurrentLayerHdl);
    for (Obh const& entry : myLayerHdls)
        if (mLayer* layer = layerOf(entry))
            layer->setIsCurrent(entry == myCurrentLayerHdl);
}

void mTimeline::hookTick(int oldTick, int newTick)
{
    if (oldTick != newTick)
        raiseDirt(DirtTick);
}

void mTimeline::incrementTick(int n)
{
    setTick(getTick() + n);
    raiseDirt(DirtTick);
}

void mTimeline::hookRowScale(double, double)
{
    raiseDirt(DirtRowScaleZoom);
    if (aRefresher* refresher = getRefreshEngine())
        refresher->setNeedsRefresh(nullptr);
}

void mTimeline::hookShowLayerControls(bool, bool)
{
    raiseDirt(DirtLayerControlVisibility);
    if (aRefresher* refresher = getRefreshEngine())
        refresher->setNeedsRefresh(nullptr);
}

void mTimeline::incrementTime()
{
    for (Obh const& h : myLayerHdls)
        if (mLayer* layer = layerOf(h); layer && layer->getIsActive())
            layer->incrementTime();
}

void mTimeline::printLayers()
{
    A_TRACE("Layer list of %i...\n", static_cast<int>(myLayerHdls.size()));
    int at = 0;
    for (Obh const& h : myLayerHdls) {
        mLayer* layer = layerOf(h);
        A_TRACE("    Layer[%i] %p is in list at [%i]\n", layer ? layer->getIndex() : -1,
                static_cast<void*>(layer), at);
        ++at;
    }
}
