#include "mLayer.h"

#include "ObClassTypeOf.h"
#include "ObDirty.h"
#include "aAssert.h"
#include "aRefresher.h"
#include "aTrace.h"
#include "mAttrLimits.h"
#include "mEvent.h"
#include "mScale.h"
#include "mTimeline.h"
#include "tlStep.h"
#include "uiGi.h"

#include <cmath>

namespace {

using L = mAttrLimits;

mAttrLimits::Range const LayerLimits[] = {
    {"numRows", 0, L::RowsHi},
    {"sceneH", -1, L::SceneHeightLimit, false},
    {"paddingTop", 0, L::RowsHi},
    {"paddingBottom", 0, L::RowsHi},
    {"verticalScale", 0, L::RowsHi, true},
    {"bgColor*", L::ColorLo, L::ColorHi},
    {"lineColor*", L::ColorLo, L::ColorHi},
    {"textColor*", L::ColorLo, L::ColorHi},
    {"labelMaxFontSize", 0, L::FontSizeHi},
    {"labelMinFontSize", 0, L::FontSizeHi},
    {"labelFontSize", 0, L::FontSizeHi},
    {"labelFontWeight", 0, L::FontWeightHi},
};

} // namespace

mLayer::mLayer() = default;

mLayer::~mLayer()
{
    giClear();
    dropScales();
    myEvents.clear();
}

void mLayer::makeScales()
{
    A_ASSERT(ourType_mScale);
    myRowScaleHdl = ourType_mScale->make();
    myRowScale = ourType_mScale->ptr(myRowScaleHdl);
    myTimeScaleHdl = ourType_mScale->make();
    myTimeScale = ourType_mScale->ptr(myTimeScaleHdl);
    A_ASSERT(myRowScale);
    A_ASSERT(myTimeScale);
    A_ASSERT(myRowScaleHdl);
    A_ASSERT(myTimeScaleHdl);
    myTimeScale->setTimeUnits();
    myTimeScale->setNote("Layer TIME scale");
    myRowScale->setNote("Layer ROW scale");
    myRowScale->setMinValue(0.0);
    myRowScale->setMaxValue(1.0);
    myRowScale->setParentPos(0);
    myRowScale->setParentSize(1);
    myRowScale->zoomToLocalRange(0.0, 1.0, 1.0f);
    myRowScale->setNumericUnits();
}

void mLayer::dropScales()
{
    // Handles of a pool that is gone, or of slots given back already, name nothing to return.
    if (ourType_mScale) {
        if (ourType_mScale->ptrFromFile(myTimeScaleHdl))
            myTimeScaleHdl.dealloc();
        if (ourType_mScale->ptrFromFile(myRowScaleHdl))
            myRowScaleHdl.dealloc();
    }
    myTimeScaleHdl = Obh();
    myRowScaleHdl = Obh();
    myTimeScale = nullptr;
    myRowScale = nullptr;
}

void mLayer::clearSpans()
{
    mySpanMinTime = mySpanMaxTime = mySpanMinRi = mySpanMaxRi = 0.0;
}

void mLayer::initObj()
{
    resetAttrs();
    setIndex(-1);
    myEvents.clear();
    makeScales();
    myTimeline = nullptr;
    myEventCache.reset();
    myEventCacheTime = 0.0;
    mySpansValid = false;
    clearSpans();
    setSceneH(-1.0);
    setSceneW(-1.0);
    setModelH(-1.0);
    if (aRefresher* refresher = getRefreshEngine())
        refresher->schedule(static_cast<aRefreshable*>(this), LevelLayer, "mLayer::refresh");
    else
        A_TRACE_C("red", "mLayer: no refresh engine, the layer is not refreshed\n");
    mLayerData::initObj();
}

void mLayer::clearObj()
{
    rxDisconnect(); // leaves the refresh engine, whichever it is
    clearEvents();
    mLayerData::clearObj();
    myEventCache.reset();
    setIndex(-2);
}

void mLayer::recycleObj()
{
    rxDisconnect();
    A_TRACE("mLayer::recycleObj %p\n", static_cast<void*>(this));
    giClear();
    clearObj();
    mLayerData::recycleObj();
    myEventCache.reset();
    dropScales();
}

bool mLayer::xmlReadStartElement(XmlReader& r, char const* name, int attrCount)
{
    if (!mAttrLimits::accept(r, *this, name, LayerLimits))
        return true;
    return mLayerData::xmlReadStartElement(r, name, attrCount);
}

void mLayer::clearEvents()
{
    mySpansValid = false;
    if (!myEvents.empty()) {
        raiseDirt(DirtActiveEvents);
        raiseDirt(DirtEventSetInLayer);
    }
    myEvents.clear();
    myEventCache.reset();
    clearSpans();
    mySpansValid = true;
}

void mLayer::refresh(aRefreshContext*)
{
    static tlStep adjustSceneHeight("mLayer_adjustSceneHeight");
    static tlStep syncToTick("mLayer_syncToTick");
    ObDirty* dirt = getDirtEngine();
    adjustSceneHeight.needsCleaning(dirt, "mLayer"); // traced, nothing else to do
    if (syncToTick.needsCleaning(dirt, "mLayer")) {
        double const tick = myTimeline ? myTimeline->getTick() : 0;
        A_TRACE("  sync sequence time to %.1f\n", getTickTime(tick));
    }
}

bool mLayer::checkSceneH(double h) const
{
    return std::isfinite(h) && h < mAttrLimits::SceneHeightLimit;
}

bool mLayer::setSceneH(double h)
{
    if (h == getSceneH())
        return false;
    if (!checkSceneH(h))
        return false;
    giBboxWillChange();
    return mLayerData::setSceneH(h);
}

bool mLayer::setSceneW(double w)
{
    if (w == getSceneW())
        return false;
    giBboxWillChange();
    return mLayerData::setSceneW(w);
}

bool mLayer::setSceneY(double y)
{
    bool const stored = mLayerData::setSceneY(y);
    if (giGet())
        giSetY(y);
    return stored;
}

void mLayer::giGetBbox(double& x, double& y, double& w, double& h) const
{
    x = 0;
    y = 0;
    w = getSceneW();
    h = getSceneH();
}

void mLayer::giPaint(Painter&) const
{
    // The band is drawn by the layer drawing, which builds on this item.
}

void mLayer::resetSequence()
{
    for (int i = 0; i < 4; ++i)
        A_TRACE_C("ired", "%60s\n", "");
    for (Obh h : myEvents)
        if (auto* ev = h.isValid() ? dynamic_cast<mEvent*>(h.obj()) : nullptr)
            ev->resetSequence();
}
