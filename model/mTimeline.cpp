#include "mTimeline.h"

#include "ObClassTypeOf.h"
#include "ObDirty.h"
#include "ObSelection.h"
#include "Painter.h"
#include "XmlReader.h"
#include "XmlWriter.h"
#include "aAssert.h"
#include "aRefresher.h"
#include "aTrace.h"
#include "aTs.h"
#include "mAttrLimits.h"
#include "mByLayer.h"
#include "mEdb.h"
#include "mEvent.h"
#include "mExtent.h"
#include "mLayer.h"
#include "mPayload.h"
#include "mRecords.h"
#include "mScale.h"
#include "mSkin.h"
#include "mTrace.h"
#include "tlScene.h"
#include "tlStep.h"
#include "tlUi.h"
#include "tlUnits.h"
#include "tlUnitsNumeric.h"
#include "uiGi.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

mAttrLimits::Range const TimelineLimits[] = {
    {"layerHeaderW", 0, mAttrLimits::PixelsHi},
};

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
    myEdb = std::make_unique<mEdb>(this);
    myReadTimeScale = myReadRowScale = false;
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
    // The layers go with their timeline (and take their scales and events with them), while
    // the event set is there to let go of their events; then whatever is left in the set.
    clearLayers();
    if (myEdb)
        myEdb->clear(true);
    myEdb.reset();
    myCurrentLayerHdl = Obh();
    myMaxStackRowIndex = -1;
    dropScales();
    rxDisconnect(); // leaves the refresh engine, whichever it is
}

void mTimeline::recycleObj()
{
    M_TRACE("mTimeline::RECYCLE OBJ\n");
    release();
    mTimelineData::recycleObj();
}

void mTimeline::clearObj()
{
    M_TRACE("mTimeline::CLEAR OBJ\n");
    release();
    mTimelineData::clearObj();
}

bool mTimeline::xmlReadStartElement(XmlReader& r, char const* name, int attrCount)
{
    // The attributes first: most elements of a document are.
    if (mAttrLimits::readOwnAttr(r, static_cast<mTimelineData&>(*this), name, TimelineLimits))
        return true;
    if (std::strcmp(name, "events") == 0) {
        A_ASSERT(myEdb);
        M_TRACE("Push events handler\n");
        if (!r.isEmptyElement())
            r.pushHandler(myEdb.get(), nullptr);
        return true;
    }
    if (std::strcmp(name, "time_scale") == 0)
        return mRecords::readOwnedScale(r, *this, name, myTimeScaleHdl, myTimeScale,
                                        myReadTimeScale);
    if (std::strcmp(name, "row_scale") == 0)
        return mRecords::readOwnedScale(r, *this, name, myVScaleHdl, myVScale, myReadRowScale);
    if (std::strcmp(name, "layers") == 0)
        return true;
    if (std::strcmp(name, "layer") == 0) {
        // Whether it names a layer of this timeline is checked once every object is read.
        Obh h;
        if (!Obh::xmlReadHdl(r, &h, nullptr) || !h.isValid())
            mAttrLimits::refuse(r, *this, "a \"layer\" is not a readable handle");
        else
            myLayerHdls.push_back(h);
        return true;
    }
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
    static tlStep selectByTime("mTimeline_selectEventsByTimeSelection");
    static tlStep restack("mTimeline_restackLayers");
    static tlStep resyncLayers("mTimeline_resyncLayers");
    static tlStep syncEvents("mTimeline_syncEventsToView");
    static tlStep snapLayers("mTimeline_snapLayersToTimelineTimeScale");
    ObDirty* dirt = getDirtEngine();
    if (reconfigTime.needsCleaning(dirt, "mTimeline") && myTimeScale)
        myTimeScale->setNeedsReconfig(true);
    if (reconfigPerp.needsCleaning(dirt, "mTimeline") && myVScale)
        myVScale->setNeedsReconfig(true);
    if (clearLocalSelection.needsCleaning(dirt, "mTimeline") && myTimeScale)
        myTimeScale->clearLocalSelection();
    clearEventsFromSelection.needsCleaning(dirt, "mTimeline"); // only tested
    if (selectByTime.needsCleaning(dirt, "mTimeline"))
        selectEventsByTimeSelection();
    if (restack.needsCleaning(dirt, "mTimeline"))
        restackLayers();
    if (resyncLayers.needsCleaning(dirt, "mTimeline"))
        syncLayerViews();
    if (syncEvents.needsCleaning(dirt, "mTimeline"))
        syncEventsToView();
    if (snapLayers.needsCleaning(dirt, "mTimeline"))
        snapLayersToTimelineTimeScale();
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

bool mTimeline::layerHiddenTest(mLayer const& layer) const
{
    return getLayerHidingEnabled() && !layer.getIsActive();
}

// Stacking ---------------------------------------------------------------------------------------

void mTimeline::followTimeWindow(mLayer& layer, double visStart, double visEnd)
{
    // A window of nothing, or a view of no size, would lay nothing out: the last one stays.
    mScale* ts = layer.timeScale();
    if (!ts || ts->getParentSize() <= 0 || !(visEnd > visStart))
        return;
    ts->zoomToLocalRange(visStart, visEnd, 1.0f);
}

void mTimeline::restackLayers()
{
    if (myLayerHdls.empty() || !myTimeScale || !myVScale)
        return;
    M_TRACE("<---------------------------------- pTimeline_restackLayers %i layers\n",
            static_cast<int>(myLayerHdls.size()));
    if (myTimeScale->needsReconfig())
        myTimeScale->reconfig();
    double const visStart = myTimeScale->getMinVisValue();
    double const visEnd = myTimeScale->getMaxVisValue();
    int const sceneW = myTimeScale->getParentSize();
    bool const hiding = getLayerHidingEnabled();

    float y = 0.0f;
    int sri = 0;
    int k = 0;
    for (Obh const& h : myLayerHdls) {
        mLayer* layer = layerOf(h);
        if (!layer)
            continue;
        mScale* rows = layer->rowScale();
        double modelY = 0.0, modelH = 0.0;
        bool visible = false;
        if (hiding && !layer->getIsActive()) {
            M_TRACE("   Hidden layer[%i]\n", layer->getIndex());
            layer->setStackRowIndex(-1);
            layer->setStackIndex(-1);
        } else {
            double const n = rows ? rows->getMaxValue() - rows->getMinValue() : 1.0;
            modelH = layer->getVerticalScale() * n;
            y = y + layer->getPaddingTop();
            modelY = y;
            y = static_cast<float>(y + modelH) + layer->getPaddingBottom();
            visible = true;
            layer->setStackRowIndex(sri);
            sri += static_cast<int>(n);
            layer->setStackIndex(k++);
        }
        layer->setIsVisible(visible);
        layer->setSceneW(sceneW);
        layer->setModelY(modelY);
        layer->setModelH(modelH);
        followTimeWindow(*layer, visStart, visEnd);
        if (rows) {
            rows->setParentPos(0);
            rows->setParentSize(static_cast<int>(modelH));
        }
    }
    myMaxStackRowIndex = sri;
    // The stack ends with a margin of 20 pixels' worth of model units.
    myVScale->setMaxValue(static_cast<float>(y + myVScale->getZoom() * 20.0));
    keepRowWindowOnStack();
    if (myVScale->needsReconfig())
        myVScale->reconfig();
    double const pMin = myVScale->getMinVisValue(), pMax = myVScale->getMaxVisValue();
    double const pSpan = pMax - pMin;
    M_TRACE("ROWS, model %f --> %f, VISIBLE from %f --> %f\n", myVScale->getMinValue(),
            myVScale->getMaxValue(), pMin, pMax);
    for (Obh const& h : myLayerHdls) {
        mLayer* layer = layerOf(h);
        if (!layer || !layer->getIsVisible())
            continue;
        double const top = layer->getModelY(), height = layer->getModelH();
        double const sceneY = std::floor(myVScale->localToParent(top));
        double const sceneH = std::ceil(myVScale->localToParent(top + height)) - sceneY;
        layer->setSceneY(sceneY);
        layer->setSceneH(sceneH);
        bool const onScreen = dimIntersects(top, height, pMin, pSpan);
        if (!onScreen)
            layer->setIsVisible(false);
        M_TRACE(onScreen ? "   Stacking layer[%i,%i]:  model h=%f, %f -> %f, scene %f -> %f\n"
                         : "   Offscreen layer[%i,%i]: model h=%f, %f -> %f, scene %f -> %f\n",
                layer->getStackIndex(), layer->getStackRowIndex(), height, top, top + height,
                sceneY, sceneY + sceneH);
    }
    M_TRACE("MAX: sri   %i\n", sri);
    M_TRACE("MAX: model %f\n", static_cast<double>(y));
}

void mTimeline::keepRowWindowOnStack()
{
    double const vs = myVScale->getVisStart().asSeconds();
    double const ve = myVScale->getVisEnd().asSeconds();
    // A window never laid out has nothing to keep.
    if (!(ve > vs) || myVScale->getParentSize() <= 0)
        return;
    // A stack that shrank (layers or rows removed, layers hidden) leaves the window where the
    // rows were: it comes back onto them as a pan would bring it.
    myVScale->clampPan(myVScale->getVisEnd() - myVScale->getVisStart(), true, true);
    if (myVScale->getVisStart().asSeconds() != vs) {
        M_TRACE("Rows window kept on the stack: %f to %f\n", myVScale->getVisStart().asSeconds(),
                myVScale->getVisEnd().asSeconds());
        raiseDirt(DirtRowScalePan);
    }
}

double mTimeline::getTotalLayersSize() const
{
    double total = 0.0;
    for (Obh const& h : myLayerHdls)
        if (mLayer const* layer = layerOf(h)) {
            mScale const* rows = layer->rowScale();
            double const n = rows ? rows->getMaxValue() - rows->getMinValue() : 1.0;
            total +=
                layer->getPaddingTop() + n * layer->getVerticalScale() + layer->getPaddingBottom();
        }
    return total;
}

void mTimeline::getSpans(double& minTime, double& maxTime, double& minY, double& maxY)
{
    M_TRACE("RELAYERING with %i layers\n", static_cast<int>(myLayerHdls.size()));
    mExtent time {minTime, maxTime}, y {minY, maxY};
    for (Obh const& h : myLayerHdls) {
        mLayer const* layer = layerOf(h);
        if (!layer)
            continue;
        double t0 = 0, t1 = 0, r0 = 0, r1 = 0;
        layer->getSpans(t0, t1, r0, r1, false);
        time.add(t0, t1);
        y.add(layer->getSceneY(), layer->getSceneY() + layer->getSceneH());
    }
    minTime = time.lo, maxTime = time.hi, minY = y.lo, maxY = y.hi;
}

void mTimeline::snapLayersToTimelineTimeScale()
{
    M_TRACE("mTimeline_snapLayersToTimelineTimeScale\n");
    double minTime = 0, maxTime = 0, minY = 0, maxY = 0;
    getSpans(minTime, maxTime, minY, maxY);
    for (Obh const& h : myLayerHdls) {
        mLayer* layer = layerOf(h);
        mScale* ts = layer ? layer->timeScale() : nullptr;
        if (!ts || ts->getMaxValue() == maxTime + 1.0)
            continue;
        layer->giBboxWillChange();
        ts->setMinValue(1.0);
        ts->setMaxValue(maxTime + 1.0);
    }
}

// The layer list ---------------------------------------------------------------------------------

void mTimeline::setLayerList(std::vector<Obh> layers)
{
    myLayerHdls = std::move(layers);
    int at = 0;
    for (Obh const& h : myLayerHdls)
        if (mLayer* layer = layerOf(h))
            layer->setIndex(at++);
}

Obh mTimeline::newLayer()
{
    A_ASSERT(ourType_mLayer);
    Obh h = ourType_mLayer->make();
    mLayer* layer = ourType_mLayer->ptr(h);
    A_ASSERT(layer);
    layer->setIndex(static_cast<int>(myLayerHdls.size()));
    myLayerHdls.push_back(h);
    M_TRACE("Adding layer[%i]\n", layer->getIndex());
    layer->setTimeline(this);
    if (mScale* rows = layer->rowScale()) {
        rows->setNumericUnits();
        rows->setMinValue(0.0);
        rows->setMaxValue(1.0);
        rows->zoomToLocalRange(0.0, 1.0, 1.0f);
    }
    if (myVScale) {
        myVScale->setMaxValue(myVScale->getMaxValue() + layer->getPaddingTop() + 1.0 +
                              layer->getPaddingBottom());
        raiseDirt(DirtRowScaleZoom);
    }
    if (myTimeScale && layer->timeScale()) {
        layer->timeScale()->setMinValue(myTimeScale->getMinValue());
        layer->timeScale()->setMaxValue(myTimeScale->getMaxValue());
    }
    raiseDirt(DirtActiveLayers);
    raiseDirt(DirtNumRowsInLayer);
    raiseDirt(DirtLayerStackingInTimeline);
    markDirtyItem(h);
    rtl::str title;
    title.set("Layer #%i", static_cast<int>(myLayerHdls.size()));
    layer->setTitle(title);
    if (!layerOf(myCurrentLayerHdl))
        setCurrentLayerHdl(h);
    restackLayers();
    if (tlUi* ui = getUi())
        syncLayerToView(h, ui->getScene());
    M_TRACE("-----------done mTimeline::newLayer(), now have %i\n",
            static_cast<int>(myLayerHdls.size()));
    return h;
}

Obh mTimeline::insertNewLayer(Obh reference, bool below, double rows)
{
    mLayer const* ref = layerOf(reference);
    if (!ref) {
        A_TRACE_C("red", "mTimeline::insertNewLayer: the reference names no layer\n");
        return Obh();
    }
    float const toIndex = static_cast<float>(ref->getIndex()) + (below ? 0.5f : -0.5f);
    Obh h = newLayer();
    moveLayer(toIndex, -1);
    mLayer* layer = layerOf(h);
    if (layer && rows > 1.0)
        layer->insertRowsAtIndex(1.0, rows - 1.0);
    restackLayers();
    if (tlUi* ui = getUi())
        syncLayerToView(h, ui->getScene());
    return h;
}

Obh mTimeline::insertNewLayerWithRowsAtTop(double rows)
{
    if (!myLayerHdls.empty())
        return insertNewLayer(myLayerHdls.front(), false, rows);
    Obh h = newLayer();
    if (mLayer* layer = layerOf(h); layer && rows > 1.0)
        layer->insertRowsAtIndex(1.0, rows - 1.0);
    restackLayers();
    if (tlUi* ui = getUi())
        syncLayerToView(h, ui->getScene());
    A_ASSERT(h.isValid());
    return h;
}

Obh mTimeline::insertNewLayerWithRowsAtBottom(double rows)
{
    if (!myLayerHdls.empty())
        return insertNewLayer(myLayerHdls.back(), true, rows);
    return insertNewLayerWithRowsAtTop(rows);
}

bool mTimeline::revealLayer(Obh h)
{
    mLayer const* layer = layerOf(h);
    // A hidden layer takes no room to show; one merely out of view is not visible either.
    if (!layer || !myVScale || layerHiddenTest(*layer))
        return false;
    double const vs = myVScale->getMinVisValue();
    double const ve = myVScale->getMaxVisValue();
    // A window never laid out has nothing to move.
    if (!(ve > vs))
        return false;
    double const top = layer->getModelY() - layer->getPaddingTop();
    double const bottom = layer->getModelY() + layer->getModelH() + layer->getPaddingBottom();
    double shift = 0.0;
    if (bottom > ve)
        shift = bottom - ve;
    if (top < vs + shift)
        shift = top - vs;
    if (shift == 0.0)
        return false;
    M_TRACE("Reveal layer[%i]: rows %f to %f, window %f to %f\n", layer->getIndex(), top, bottom,
            vs, ve);
    myVScale->setVisStart(vs + shift);
    myVScale->setVisEnd(ve + shift);
    myVScale->setNeedsReconfig(true);
    raiseDirt(DirtRowScalePan);
    return true;
}

void mTimeline::moveLayer(float toIndex, int fromIndex)
{
    M_TRACE("Move layer %f %i\n", static_cast<double>(toIndex), fromIndex);
    int const n = static_cast<int>(myLayerHdls.size());
    if (fromIndex < 0)
        fromIndex = n - 1;
    // A whole place would tie with the layer there: only places between layers are taken.
    if (toIndex - static_cast<float>(static_cast<int>(toIndex)) == 0.0f || fromIndex < 0 ||
        fromIndex >= n || !layerOf(myLayerHdls[fromIndex])) {
        A_TRACE_C("red", "mTimeline::moveLayer: no move from %i to %f\n", fromIndex,
                  static_cast<double>(toIndex));
        return;
    }
    struct Place
    {
        float key;
        Obh h;
    };
    std::vector<Place> places;
    for (int i = 0; i < n; ++i) {
        mLayer const* layer = layerOf(myLayerHdls[i]);
        float const key =
            i == fromIndex ? toIndex : static_cast<float>(layer ? layer->getIndex() : i);
        places.push_back({key, myLayerHdls[i]});
    }
    std::stable_sort(places.begin(), places.end(),
                     [](Place const& a, Place const& b) { return a.key < b.key; });
    std::vector<Obh> order;
    for (Place const& p : places)
        order.push_back(p.h);
    setLayerList(std::move(order));
    for (Obh const& h : myLayerHdls)
        if (mLayer const* layer = layerOf(h))
            M_TRACE("DONE MOVE: %s -> %i\n", layer->getTitle().c(), layer->getIndex());
    raiseDirt(DirtLayerStackingInTimeline);
    if (aRefresher* refresher = getRefreshEngine())
        refresher->setNeedsRefresh(nullptr);
}

void mTimeline::deleteLayer(Obh lyrHdl)
{
    mLayer* layer = layerOf(lyrHdl);
    if (!layer) {
        A_TRACE_C("red", "mTimeline::deleteLayer: the handle names no layer\n");
        return;
    }
    M_TRACE(
        "mTimeline::deleteLayer[%i] %p---------------------------------------------------------\n",
        layer->getIndex(), static_cast<void*>(layer));
    ObSelection* selection = getSelectionEngine();
    if (selection)
        selection->removeFromSelection(lyrHdl);
    layer->giHide();
    layer->giClear();
    // The layer's events go with it: nothing refers to them any more. One walk over them (a
    // layer may hold a great many): each goes with its item, and finds the layer empty.
    std::vector<Obh> events(layer->getEvents().begin(), layer->getEvents().end());
    if (myEdb)
        myEdb->unregisterEvents(events);
    layer->dropEventsThatGo();
    for (Obh& h : events) {
        if (selection)
            selection->removeFromSelection(h);
        if (eventOf(h))
            h.dealloc();
    }
    std::vector<Obh> rest;
    for (Obh const& h : myLayerHdls)
        if (!(h == lyrHdl))
            rest.push_back(h);
    setLayerList(std::move(rest));
    if (myCurrentLayerHdl == lyrHdl)
        myCurrentLayerHdl = Obh();
    lyrHdl.dealloc();
    raiseDirt(DirtLayerStackingInTimeline);
}

void mTimeline::deleteSelectedLayers()
{
    std::vector<Obh> doomed;
    for (Obh const& h : myLayerHdls)
        if (mLayer const* layer = layerOf(h); layer && layer->getIsSelected())
            doomed.push_back(h);
    for (Obh const& h : doomed)
        deleteLayer(h);
}

void mTimeline::collapseLayers(bool fit)
{
    std::vector<Obh> doomed;
    for (Obh const& h : myLayerHdls) {
        mLayer* layer = layerOf(h);
        if (!layer)
            continue;
        if (fit)
            layer->fitRows();
        if (layer->getEvents().empty())
            doomed.push_back(h);
    }
    if (!doomed.empty() && doomed.size() == myLayerHdls.size())
        doomed.erase(doomed.begin()); // the timeline keeps one layer
    if (doomed.empty())
        return;
    M_TRACE("Collapsing %i layers\n", static_cast<int>(doomed.size()));
    for (Obh const& h : doomed)
        deleteLayer(h);
    raiseDirt(DirtLayerStackingInTimeline);
}

void mTimeline::clearLayers()
{
    std::vector<Obh> layers = myLayerHdls;
    for (Obh const& h : layers)
        deleteLayer(h);
    myLayerHdls.clear();
    myCurrentLayerHdl = Obh();
    raiseDirt(DirtLayerStackingInTimeline);
}

void mTimeline::countLayersAndRows(int& layers, int& rows)
{
    layers = static_cast<int>(myLayerHdls.size());
    double total = 0;
    for (Obh const& h : myLayerHdls)
        if (mLayer const* layer = layerOf(h)) {
            double t0 = 0, t1 = 0, r0 = 0, r1 = 0;
            layer->getSpans(t0, t1, r0, r1, false);
            total += r1 - r0 + 1.0;
        }
    rows = static_cast<int>(total);
}

// Events -----------------------------------------------------------------------------------------

Obh mTimeline::newEvent(Obh payload)
{
    int layers = 0, rows = 0;
    countLayersAndRows(layers, rows);
    if (layers == 0)
        newLayer();
    M_TRACE("\n\n================== NEW EVENT!\n\n\n");
    A_ASSERT(ourType_mEvent);
    Obh h = ourType_mEvent->make();
    mEvent* ev = eventOf(h);
    A_ASSERT(ev);
    if (payload.isValid()) {
        ObObj* obj = payload.getType() ? payload.getType()->objFromFile(payload) : nullptr;
        if (auto* pl = dynamic_cast<mPayload*>(obj)) {
            pl->droppedIntoEvent(h);
            ev->setPayload(payload);
        } else {
            A_TRACE_C("red", "mTimeline::newEvent: the payload handle names no payload\n");
        }
    }
    ev->setIsActive(true);
    aTs start, end;
    bool impulse = true;
    mScale* ts = myTimeScale;
    int const kind = ts ? ts->selectionType() : mScale::SelNone;
    if (kind == mScale::SelPoint) {
        start = end = ts->getSelStart();
    } else if (kind == mScale::SelSpan) {
        // A span is stored forwards, whichever way it was selected.
        start = std::min(ts->getSelStart(), ts->getSelEnd());
        end = std::max(ts->getSelStart(), ts->getSelEnd());
        impulse = start.asSeconds() == end.asSeconds();
        M_TRACE("startTime %g, %s, x=%f\n", start.asSeconds(), start.getStr(false).c(),
                ts->localToParent(start));
        M_TRACE("endTime   %g, %s, x=%f\n", end.asSeconds(), end.getStr(false).c(),
                ts->localToParent(end));
    } else if (ts) {
        aTimeDelta half = ts->getVisStart() - ts->getVisEnd();
        half.abs();
        start = end = ts->getVisStart() + ts->makeTimeDeltaMult(half, 0.5);
        M_TRACE("impulseTime %g, %s, x=%f\n", start.asSeconds(), start.getStr(false).c(),
                ts->localToParent(start));
    }
    ev->setStartTime(start.asSeconds());
    ev->setTimeLength(end.asSeconds() - start.asSeconds());
    ev->setIsImpulse(impulse);
    Obh lyrHdl = addEvent(h, start.asSeconds());
    A_ASSERT(lyrHdl.isValid());
    raiseDirt(DirtNewEvent);
    return h;
}

Obh mTimeline::addEvent(Obh evHdl, double startTime)
{
    mEvent* ev = eventOf(evHdl);
    if (!ev) {
        A_TRACE_C("red", "mTimeline::addEvent: the handle names no event\n");
        return Obh();
    }
    Obh lyrHdl = ev->getLayerHdl();
    if (!layerOf(lyrHdl))
        lyrHdl = getCurrentLayerHdl();
    if (!layerOf(lyrHdl))
        lyrHdl = newLayer();
    mLayer* layer = layerOf(lyrHdl);
    A_ASSERT(layer);
    double pre = 0, post = 0;
    ev->getPrePostTimes(pre, post);
    double const row = std::trunc(layer->getNextEmptyRowIndex(pre, post, ev->getRowSize()));
    return addEvent(evHdl, startTime, row, lyrHdl, true);
}

Obh mTimeline::addEvent(Obh evHdl, double startTime, double rowIndex, Obh lyrHdl, bool)
{
    mEvent* ev = eventOf(evHdl);
    if (!ev) {
        A_TRACE_C("red", "mTimeline::addEvent: the handle names no event\n");
        return Obh();
    }
    if (!lyrHdl.isValid())
        lyrHdl = ev->getLayerHdl();
    if (!layerOf(lyrHdl))
        lyrHdl = getCurrentLayerHdl();
    mLayer* layer = layerOf(lyrHdl);
    if (!layer) {
        A_TRACE_C("red", "mTimeline::addEvent: no layer to add the event to\n");
        return Obh();
    }
    // An event is in one layer: one that holds it already lets go first.
    if (mLayer* holder = ev->filedIn(); holder && holder != layer)
        holder->removeEvent(evHdl);
    ev->setLayerHdl(lyrHdl);
    markDirtyItem(myCurrentLayerHdl);
    double t0 = 0, t1 = 0, minRi = 0, maxRi = 0;
    layer->getSpans(t0, t1, minRi, maxRi, false);
    layer->addEvent(evHdl, startTime, rowIndex);
    double minAfter = 0, maxAfter = 0;
    layer->getSpans(t0, t1, minAfter, maxAfter, false);
    if (minAfter != minRi || maxAfter != maxRi)
        raiseDirt(DirtNumRowsInLayer);
    if (myEdb)
        myEdb->registerEvent(evHdl);
    return lyrHdl;
}

void mTimeline::deleteEvent(Obh& evHdl)
{
    if (ObSelection* selection = getSelectionEngine())
        selection->removeFromSelection(evHdl);
    for (Obh const& h : myLayerHdls)
        if (mLayer* layer = layerOf(h); layer && layer->deleteEvent(evHdl)) {
            markDirtyItem(h);
            raiseDirt(DirtEventSetInLayer);
        }
    raiseDirt(DirtEventWasDeleted);
    if (myEdb)
        myEdb->unregisterEvent(evHdl);
    // Only an event goes back to the event pool.
    if (eventOf(evHdl))
        evHdl.dealloc(); // its item goes with it
}

void mTimeline::removeEvent(Obh& evHdl)
{
    for (Obh const& h : myLayerHdls)
        if (mLayer* layer = layerOf(h); layer && layer->removeEvent(evHdl))
            markDirtyItem(h);
    if (myEdb)
        myEdb->unregisterEvent(evHdl);
}

void mTimeline::takeOutEvents(EventsByLayer& byLayer, std::vector<Obh> const& all,
                              std::vector<bool> const& marked, mRowIndex* keep,
                              std::function<double(mLayer const&, double)> const& keepRow)
{
    std::vector<mLayer const*> taken;
    for (auto& group : byLayer) {
        mLayer* layer = group.first;
        if (!layer || group.second.empty())
            continue;
        layer->takeOutEvents(
            group.second, marked, keep,
            [&keepRow, layer](double row) { return keepRow(*layer, row); }, false);
        taken.push_back(layer);
        group.second = {};
        for (Obh const& lh : myLayerHdls)
            if (layerOf(lh) == layer)
                markDirtyItem(lh);
    }
    // The events let go of those layers in one walk in handle order, not in one a layer: where
    // their slots interleave across the layers, a walk a layer would visit the pool many times.
    std::sort(taken.begin(), taken.end());
    for (Obh const& h : all) {
        if (h.getAddr() >= marked.size() || !marked[h.getAddr()])
            continue;
        mEvent* ev = eventOf(h);
        if (!ev || !std::binary_search(taken.begin(), taken.end(), ev->filedIn()))
            continue;
        ev->setLayerHdl(Obh());
        ev->setFiling(nullptr, Obh(), {});
    }
    if (myEdb)
        myEdb->unregisterEvents(all);
}

std::vector<Obh> mTimeline::addEvents(std::vector<Obh> const& handles)
{
    std::vector<std::pair<Obh, std::vector<Obh>>> byLayer;
    mByLayer numbers;
    std::vector<Obh> placed, left;
    placed.reserve(handles.size());
    std::size_t last = 0;
    for (Obh const& h : handles) {
        mEvent const* ev = eventOf(h);
        if (!ev)
            continue;
        Obh const lh = ev->getLayerHdl();
        // Events of one layer mostly follow each other.
        if (last >= byLayer.size() || byLayer[last].first != lh) {
            last = numbers.numberOf(lh);
            if (last == byLayer.size())
                byLayer.emplace_back(lh, std::vector<Obh>());
        }
        if (!numbers.layerAt(last)) {
            left.push_back(h);
            continue;
        }
        byLayer[last].second.push_back(h);
        placed.push_back(h);
    }
    markDirtyItem(myCurrentLayerHdl);
    for (std::size_t at = 0; at < byLayer.size(); ++at) {
        auto& [lh, held] = byLayer[at];
        mLayer* layer = numbers.layerAt(at);
        if (!layer)
            continue;
        double t0 = 0, t1 = 0, minRi = 0, maxRi = 0;
        layer->getSpans(t0, t1, minRi, maxRi, false);
        layer->addEvents(held);
        held = {};
        double minAfter = 0, maxAfter = 0;
        layer->getSpans(t0, t1, minAfter, maxAfter, false);
        if (minAfter != minRi || maxAfter != maxRi)
            raiseDirt(DirtNumRowsInLayer);
        markDirtyItem(lh);
    }
    if (myEdb)
        myEdb->registerEvents(placed);
    return left;
}

void mTimeline::selectEventsByTimeSelection()
{
    ObSelection* selection = getSelectionEngine();
    if (!myTimeScale || !selection || !myEdb)
        return;
    aTs const start = myTimeScale->getSelStart(), end = myTimeScale->getSelEnd();
    int const kind = myTimeScale->selectionType();
    selection->clearSelection();
    std::list<Obh> found;
    // What the user cannot see (hidden layers) is never selected by time.
    if (kind == mScale::SelPoint) {
        M_TRACE("Selecting events at: %s\n", start.getStr(false).c());
        myEdb->findShownEventsBetween(start.asSeconds(), start.asSeconds(), found);
    } else if (kind == mScale::SelSpan) {
        M_TRACE("Selecting events between: %s and %s\n", start.getStr(false).c(),
                end.getStr(false).c());
        myEdb->findShownEventsBetween(start.asSeconds(), end.asSeconds(), found);
    } else {
        return;
    }
    selection->setSelection(found);
}

// Drop zones and stack rows -----------------------------------------------------------------------

namespace {

struct Band
{
    mLayer const* layer;
    Obh h;
    double y;
    double h_;
    double end() const { return y + h_; }
};

void put(double* out, double v)
{
    if (out)
        *out = v;
}

} // namespace

DropZone mTimeline::getLayerHdlZoneAtSceneRowPos(double scenePos, Obh& layerOut, Obh& otherOut,
                                                 double* zoneStart, double* zoneSize,
                                                 double* gapStart, double* gapSize,
                                                 rtl::str* caption) const
{
    if (!myVScale)
        return DropZone::NoLayer;
    double const minV = myVScale->getMinValue(), maxV = myVScale->getMaxValue();
    double const p = myVScale->parentToLocal(scenePos).asSeconds();
    // The layers on screen, top to bottom.
    std::vector<Band> bands;
    for (Obh const& h : myLayerHdls)
        if (mLayer const* layer = layerOf(h); layer && layer->getIsVisible())
            bands.push_back({layer, h, layer->getModelY(), layer->getModelH()});
    std::stable_sort(bands.begin(), bands.end(), [](Band const& a, Band const& b) {
        return a.layer->getStackRowIndex() < b.layer->getStackRowIndex();
    });
    if (bands.empty()) {
        M_TRACE_C("iyellow", "GOOD DROP NOT FOUND for scenePos %f, modelPos %f!\n", scenePos, p);
        return DropZone::NoLayer;
    }
    // Every answer but NoLayer names its layer and band, and gives the zone's caption.
    auto answer = [&](DropZone zone, Band const& layer, Obh const& other, double zs, double zz) {
        layerOut = layer.h;
        otherOut = other;
        put(zoneStart, zs);
        put(zoneSize, zz);
        if (char const* text = DropZoneRule::of(zone).caption; caption && text)
            caption->set("%s", text);
        return zone;
    };
    // The gap between an upper layer a and a lower layer b, split in four bands; fromUpper says
    // which of the two the walk stands on (for the trace only).
    auto gapRule = [&](Band const& a, Band const& b, bool fromUpper, DropZone& zone) {
        double const aEnd = a.end(), bY = b.y, g = bY - aEnd;
        put(gapStart, aEnd);
        put(gapSize, g);
        char const* ta = a.layer->getTitle().c();
        char const* tb = b.layer->getTitle().c();
        if (aEnd <= p && p < aEnd + 0.35 * g) {
            M_TRACE(fromUpper ? "ADD ROW after this LAYER %s: from %f -> %f -- mri = %f\n"
                              : "ADD ROW after LAST %s: from %f -> %f -- mri = %f\n",
                    ta, a.y, aEnd, p);
            zone = answer(DropZone::NewBottomRow, a, b.h, aEnd, 0.35 * g);
            return true;
        }
        if (aEnd + 0.35 * g <= p && p < aEnd + g / 2) {
            M_TRACE(fromUpper ? "ADD HIGH-MID LAYER2 between %s (from %f -> %f) and %s (from %f -> "
                                "%f) -- mri = %f\n"
                              : "ADD HIGH-MID LAYER1 between %s (from %f -> %f) and %s (from %f -> "
                                "%f) -- mri = %f\n",
                    ta, a.y, aEnd, tb, b.y, b.end(), p);
            zone = answer(DropZone::NewLayerAfter, a, b.h, aEnd + 0.35 * g, 0.3 * g);
            return true;
        }
        if (aEnd + g / 2 <= p && p < bY - 0.35 * g) {
            M_TRACE(fromUpper ? "ADD LOW-MID LAYER2 between %s (from %f -> %f) and %s (from %f -> "
                                "%f) -- mri = %f\n"
                              : "ADD LOW-MID LAYER1 between %s (from %f -> %f) and %s (from %f -> "
                                "%f) -- mri = %f\n",
                    ta, a.y, aEnd, tb, b.y, b.end(), p);
            zone = answer(DropZone::NewLayerBefore, b, a.h, aEnd + 0.35 * g, 0.3 * g);
            return true;
        }
        if (bY - 0.35 * g <= p && p < bY) {
            M_TRACE(fromUpper ? "ADD ROW before LAYER %s: from %f -> %f -- mri = %f\n"
                              : "ADD ROW before THIS %s: from %f -> %f -- mri = %f\n",
                    tb, b.y, b.end(), p);
            zone = answer(DropZone::NewTopRow, b, a.h, bY - 0.35 * g, 0.35 * g);
            return true;
        }
        return false;
    };
    for (std::size_t i = 0; i < bands.size(); ++i) {
        Band const& l = bands[i];
        Band const* next = i + 1 < bands.size() ? &bands[i + 1] : nullptr;
        Band const* prev = i > 0 ? &bands[i - 1] : nullptr;
        DropZone zone = DropZone::IntoRows;
        if (l.y <= p && p < l.end()) {
            M_TRACE_C("white", "ON LAYER %s: from %f -> %f -- mri = %f\n", l.layer->getTitle().c(),
                      l.y, l.end(), p);
            put(gapStart, l.y);
            put(gapSize, l.h_);
            return answer(DropZone::IntoRows, l, Obh(), l.y, l.h_);
        }
        if (p >= l.y) {
            if (p == l.end())
                continue;
            if (next) {
                if (gapRule(l, *next, true, zone))
                    return zone;
                continue;
            }
            M_TRACE("No layer after %s\n", l.layer->getTitle().c());
            double const g = maxV - l.end(), half = g * 0.5;
            put(gapStart, l.end());
            put(gapSize, g);
            if (l.end() <= p && p < l.end() + half) {
                M_TRACE("ADD ROW after LAST %s: from %f -> %f -- mri = %f\n",
                        l.layer->getTitle().c(), l.y, l.end(), p);
                return answer(DropZone::NewBottomRow, l, Obh(), l.end(), half);
            }
            if (maxV - half <= p && p <= maxV) {
                M_TRACE("ADD LAST LAYER after LAST1 %s: from %f -> %f -- mri = %f\n",
                        l.layer->getTitle().c(), l.y, l.end(), p);
                return answer(DropZone::NewLayerBelowAll, l, Obh(), maxV - half, half);
            }
            continue;
        }
        if (!prev) {
            double const g = l.y - minV, half = g / 2;
            put(gapStart, minV);
            put(gapSize, g);
            if (p >= minV + half) {
                if (l.y - half <= p && p < l.y) {
                    M_TRACE("ADD ROW at top of TOP %s: from %f -> %f -- mri = %f\n",
                            l.layer->getTitle().c(), l.y, l.end(), p);
                    return answer(DropZone::NewTopRow, l, Obh(), l.y - half, half);
                }
                continue;
            }
            double const minVis = myVScale->getMinVisValue();
            M_TRACE("ADD FIRST LAYER above TOP %s: from %f -> %f -- mri = %f\n",
                    l.layer->getTitle().c(), l.y, l.end(), p);
            return answer(DropZone::NewLayerAboveAll, l, Obh(), minVis, minV - minVis + half);
        }
        if (gapRule(*prev, l, false, zone))
            return zone;
    }
    Band const& last = bands.back();
    M_TRACE("ADD LAST LAYER after LAST %s: from %f -> %f -- mri = %f\n", last.layer->getTitle().c(),
            last.y, last.end(), p);
    put(gapStart, last.end());
    put(gapSize, maxV - last.end());
    return answer(DropZone::NewLayerBelowAll, last, Obh(), maxV, myVScale->getMaxVisValue() - maxV);
}

void mTimeline::getSriIndex(std::map<int, std::pair<double, Obh>>& out)
{
    for (Obh const& h : myLayerHdls) {
        mLayer const* layer = layerOf(h);
        if (!layer || !layer->getIsVisible() || !layer->rowScale())
            continue;
        double const lo = layer->rowScale()->getMinValue(), hi = layer->rowScale()->getMaxValue();
        for (double ri = lo; ri < hi; ri += 1.0)
            out[static_cast<int>(ri - lo + layer->getStackRowIndex())] = {ri, h};
    }
}

bool mTimeline::getLayerAndRowByStackRowIndex(int sri, Obh& layerOut, double& ri)
{
    M_TRACE("Looking in %i for layer,ri by stackRowIndex %i \n",
            static_cast<int>(myLayerHdls.size()), sri);
    for (Obh const& h : myLayerHdls) {
        mLayer const* layer = layerOf(h);
        // A hidden layer has no stack rows: nothing lands in what the user cannot see.
        if (!layer || !layer->rowScale() || layer->getStackRowIndex() < 0)
            continue;
        double const lo = layer->rowScale()->getMinValue(), hi = layer->rowScale()->getMaxValue();
        double const rows = hi - lo;
        int const s = layer->getStackRowIndex();
        ri = sri - s;
        M_TRACE("stackRowIndex %i ==> Layer %s rowScaleMin = %f, rowScaleMax %f, layerStackRowI = "
                "%i, rows=%f ==> RI IN LAYER %f\n",
                sri, layer->getTitle().c(), lo, hi, s, rows, ri);
        if (s <= sri && sri < s + rows) {
            layerOut = h;
            M_TRACE("FOUND!\n");
            return true;
        }
    }
    return false;
}

void mTimeline::getBreadLayers(Obh& top, Obh& bottom) const
{
    std::map<double, Obh> byY;
    for (Obh const& h : myLayerHdls)
        if (mLayer const* layer = layerOf(h))
            byY[layer->getSceneY()] = h;
    top = byY.empty() ? Obh() : byY.begin()->second;
    bottom = byY.empty() ? Obh() : byY.rbegin()->second;
}

Obh mTimeline::getBottomLayer() const
{
    Obh top, bottom;
    getBreadLayers(top, bottom);
    return bottom;
}

// Selection ranges and stretching --------------------------------------------------------------

namespace {

// The selected objects of a type that still name one.
template <class T>
std::vector<std::pair<Obh, T*>> selectedOf(ObSelection* selection, ObClassTypeOf<T>* type)
{
    std::vector<std::pair<Obh, T*>> out;
    if (!selection || !type)
        return out;
    std::list<Obh> handles;
    selection->getSelectedItemsOfType(type, handles);
    for (Obh const& h : handles)
        if (T* obj = type->ptrFromFile(h))
            out.emplace_back(h, obj);
    return out;
}

} // namespace

int mTimeline::getSelectedEventsRanges(double& tMin, double& tMax, double& rMin, double& rMax,
                                       bool withMarkers)
{
    auto const events = selectedOf(getSelectionEngine(), ourType_mEvent);
    mExtent time {tMin, tMax}, rows {rMin, rMax};
    for (auto const& [h, ev] : events) {
        double r = 0, rSize = 0;
        ev->getModelVisRowSpan(r, rSize);
        double t0 = ev->getStartTime(), t1 = t0 + ev->getTimeLength();
        if (withMarkers)
            ev->getPrePostTimes(t0, t1);
        rows.add(r, r + rSize);
        time.add(t0, t1);
    }
    tMin = time.lo, tMax = time.hi, rMin = rows.lo, rMax = rows.hi;
    return static_cast<int>(events.size());
}

int mTimeline::getSelectedLayerRanges(double& rMin, double& rMax)
{
    auto const layers = selectedOf(getSelectionEngine(), ourType_mLayer);
    mExtent rows {rMin, rMax};
    for (auto const& [h, layer] : layers) {
        double const lo = layer->getModelY(), hi = lo + layer->getModelH();
        M_TRACE("Selected layer has range: %s start %f, end %f\n", layer->getTitle().c(), lo, hi);
        rows.add(lo, hi);
    }
    rMin = rows.lo, rMax = rows.hi;
    if (!layers.empty())
        M_TRACE("NET layer range of %i: start %f, end %f\n", static_cast<int>(layers.size()), rMin,
                rMax);
    return static_cast<int>(layers.size());
}

bool mTimeline::getSelectedTimeRange(double& start, double& end)
{
    if (!myTimeScale)
        return false;
    switch (myTimeScale->selectionType()) {
    case mScale::SelPoint:
        start = end = myTimeScale->getSelStart().asSeconds();
        return true;
    case mScale::SelSpan:
        start = myTimeScale->getSelStart().asSeconds();
        end = myTimeScale->getSelEnd().asSeconds();
        return true;
    default:
        return false;
    }
}

void mTimeline::getSelectedRanges(double& tMin, double& tMax, bool& hasTime, double& rMin,
                                  double& rMax, bool& hasRows, bool withMarkers)
{
    bool const scaleTime = getSelectedTimeRange(tMin, tMax);
    if (scaleTime)
        hasTime = true;
    double lo = 0, hi = 0;
    bool const layerRows = getSelectedLayerRanges(lo, hi) != 0;
    if (layerRows) {
        hasRows = true;
        rMin = lo;
        rMax = hi;
    }
    double t0 = 0, t1 = 0, r0 = 0, r1 = 0;
    if (getSelectedEventsRanges(t0, t1, r0, r1, withMarkers) == 0)
        return;
    hasRows = hasTime = true;
    mExtent rows {rMin, rMax, !layerRows}, time {tMin, tMax, !scaleTime};
    rows.add(r0, r1);
    time.add(t0, t1);
    rMin = rows.lo, rMax = rows.hi, tMin = time.lo, tMax = time.hi;
}

void mTimeline::getLayersToActOn(std::set<Obh>& out)
{
    for (auto const& [h, layer] : selectedOf(getSelectionEngine(), ourType_mLayer))
        out.insert(h);
    if (!out.empty())
        return;
    std::list<Obh> all;
    getLayers(all);
    out.insert(all.begin(), all.end());
}

void mTimeline::shiftSelectLayer(Obh lyrHdl)
{
    ObSelection* selection = getSelectionEngine();
    mLayer const* layer = layerOf(lyrHdl);
    if (!layer || !selection)
        return;
    if (selection->isSelectedTest(lyrHdl)) {
        selection->removeFromSelection(lyrHdl);
        return;
    }
    int const i = layer->getIndex();
    int above = -1, below = -1;
    for (auto const& [h, other] : selectedOf(selection, ourType_mLayer)) {
        int const j = other->getIndex();
        if (j < i && j > above)
            above = j;
        if (j > i && (below < 0 || j < below))
            below = j;
    }
    int const from = above >= 0 ? above : i;
    int const to = above >= 0 ? i : (below >= 0 ? below : i);
    M_TRACE("Shift Selecting from %i to %i\n", from, to);
    for (Obh const& h : myLayerHdls)
        if (mLayer const* l = layerOf(h); l && from <= l->getIndex() && l->getIndex() <= to)
            selection->addToSelection(h);
}

bool mTimeline::getTimeSpanOfSelectedEvents(aTs& from, aTs& to)
{
    mExtent time;
    for (auto const& [h, ev] : selectedOf(getSelectionEngine(), ourType_mEvent)) {
        double pre = 0, post = 0;
        ev->getPrePostTimes(pre, post);
        time.add(pre, post);
    }
    if (time.empty)
        return false;
    from.setSecondsSince1970(time.lo, 0);
    to.setSecondsSince1970(time.hi, 0);
    M_TRACE("Got selected events spanning %s -> %s\n", from.getStr(false).c(),
            to.getStr(false).c());
    return true;
}

rtl::ref<mTimeline::LengthMap> mTimeline::getSelectedEventLengths() const
{
    rtl::ref<LengthMap> lengths;
    auto const events = selectedOf(getSelectionEngine(), ourType_mEvent);
    if (events.empty())
        return lengths;
    lengths.set(new LengthMap);
    for (auto const& [h, ev] : events)
        (*lengths.get())[h] = {ev->getStartTime(), ev->getTimeLength()};
    return lengths;
}

void mTimeline::stretchSelectedEvents(int edge, double dragX, double pressX, Obh pressed,
                                      rtl::ref<LengthMap> lengths)
{
    mEvent* pev = eventOf(pressed);
    if (!pev || edge == 0 || !myTimeScale)
        return;
    if (lengths.isNull()) {
        M_TRACE("No orig lengths\n");
        return;
    }
    auto const events = selectedOf(getSelectionEngine(), ourType_mEvent);
    if (events.empty()) {
        M_TRACE("No selected events\n");
        return;
    }
    LengthMap const& m = *lengths.get();
    auto const pressedAt = m.find(pressed);
    if (pressedAt == m.end()) {
        M_TRACE("No orig length of the pressed event\n");
        return;
    }
    mScale const* ts = myTimeScale;
    auto x = [&](double t) { return ts->localToParent(t); };
    auto t = [&](double sx) { return ts->parentToLocal(sx).asSeconds(); };
    // The press-time scene span of an event: its span, or its instant's marker.
    auto sceneSpan = [&](double s, double l, double& xs, double& xe) {
        if (l != 0.0) {
            xs = x(s);
            xe = x(s + l);
            return;
        }
        double before = s, after = s;
        getImpulseBeforeAfter(s, before, after);
        xs = x(before);
        xe = x(after);
    };
    M_TRACE(pressedAt->second.second != 0.0 ? "ORIG IS NOT IMPULSE\n" : "ORIG IS IMPULSE\n");
    // Every edge moves as far as the pointer went from the press, the pressed one staying as far
    // from the pointer as it was pressed: no edge jumps to the pointer.
    double dx = dragX - pressX;
    // Only as far as keeps every moved edge within the dated times (an edge already beyond them
    // is not pushed farther): nothing stretched is a time the save refuses.
    double const firstX = x(-mScale::DatedSeconds), lastX = x(mScale::DatedSeconds);
    double lo = -std::numeric_limits<double>::infinity(), hi = -lo;
    for (auto const& selected : events) {
        auto const at = m.find(selected.first);
        if (at == m.end())
            continue;
        double xs = 0, xe = 0;
        sceneSpan(at->second.first, at->second.second, xs, xe);
        lo = std::max(lo, firstX - xs);
        hi = std::min(hi, lastX - xe);
    }
    dx = edge < 0 ? std::max(dx, std::min(0.0, lo)) : std::min(dx, std::max(0.0, hi));
    constexpr double Squeeze = 4.0;
    for (auto const& selected : events) {
        mEvent* ev = selected.second;
        auto const at = m.find(selected.first);
        if (at == m.end())
            continue; // not selected at the press: left as it is
        M_TRACE("Stretching %s\n", ev->desc().c());
        ev->giDamage();
        ev->giBboxWillChange();
        double const oS = at->second.first, oL = at->second.second, oE = oS + oL;
        double xs = 0, xe = 0;
        sceneSpan(oS, oL, xs, xe);
        double const xo = x(oS);
        bool const wasImpulse = oL == 0.0;
        M_TRACE(ev == pev
                    ? "StretchP %i - scPressX %f, scDragX %f, pOrigSx %f, pOrigEx %f, dx = %f\n"
                    : "Stretch %i - scPressX %f, scDragX %f, origSx %f, origEx %f, dx = %f\n",
                edge, pressX, dragX, xs, xe, dx);
        auto makeImpulse = [&] {
            ev->setIsImpulse(true);
            ev->setTimeLength(0.0);
            ev->setSceneW(2 * ImpulseHalfWidth);
        };
        // The whole width at the scale: what an event without an item keeps (nothing clips it);
        // an item in the scene takes the clipped extent below, as the scene sync places it.
        auto makeSpan = [&](double start, double length, double width) {
            ev->setIsImpulse(false);
            ev->setStartTime(start);
            ev->setTimeLength(length);
            ev->setSceneW(std::max(width, 1.0));
        };
        // Only a move towards a span's other edge narrows it: one away from it (or none) keeps
        // every second it had, however narrow the span stands on screen.
        if (!wasImpulse && (edge < 0 ? dx <= 0 : dx >= 0)) {
            double start = oS, length = oL;
            if (edge < 0 && dx < 0 && t(xs + dx) < oS) {
                start = t(xs + dx);
                length = oE - start;
            } else if (edge > 0 && dx > 0 && t(xe + dx) > oE) {
                length = t(xe + dx) - oS;
            }
            makeSpan(start, std::max(length, oL), edge < 0 ? xe - (xs + dx) : xe + dx - xo);
        } else if (edge < 0) {
            double const nx = xs + dx;
            double const limit = wasImpulse ? xs + Squeeze : xe - Squeeze;
            if (nx < limit)
                makeSpan(t(nx), oE - t(nx), (wasImpulse ? xo : xe) - nx);
            else {
                makeImpulse();
                if (wasImpulse)
                    ev->setStartTime(oS);
            }
        } else {
            double const nx = xe + dx;
            if (wasImpulse ? xe < nx : xo + Squeeze < nx) {
                M_TRACE("%s: TsEnd %s, origEx %f, xEnd %f\n", wasImpulse ? "B" : "D",
                        aTs(t(nx)).getStr(false).c(), xe, nx);
                makeSpan(oS, t(nx) - oS, nx - xo);
            } else {
                M_TRACE("%s: origEx %f, xEnd %f, w=IMPW\n", wasImpulse ? "A" : "C", xe, nx);
                makeImpulse();
            }
        }
        if (ev->giInSceneTest()) {
            double a = 0, w = 0;
            ev->getSceneVisTimeSpan(a, w);
            if (!ev->getIsImpulse())
                ev->setSceneW(std::max(w, 1.0));
            ev->giSetX(ev->getIsImpulse() ? a + w / 2 : a);
            ev->giDamage();
        }
    }
}

// The scene ------------------------------------------------------------------------------------

bool mTimeline::layerIsInVisibleRangeTest(mLayer* layer)
{
    if (!layer || !myVScale)
        return false;
    double const lo = myVScale->getMinVisValue(), hi = myVScale->getMaxVisValue();
    bool const in = dimIntersects(lo, hi - lo, layer->getModelY(), layer->getModelH());
    if (!in && Ob::ourTrace) {
        A_TRACE("Layer not visible\n");
        A_TRACE("   visible perp: %f -> %f\n", lo, hi);
        A_TRACE("   layer perp:   %f -> %f\n", layer->getModelY(),
                layer->getModelY() + layer->getModelH());
    }
    return in;
}

bool mTimeline::syncLayerToView(Obh lyrHdl, tlScene* scene)
{
    mLayer* layer = layerOf(lyrHdl);
    if (!layer)
        return false;
    // An inactive layer is only dimmed while hiding is off: its band and events stay drawn.
    bool const shown = layerIsInVisibleRangeTest(layer) && !layerHiddenTest(*layer);
    if (!shown) {
        if (layer->giInSceneTest())
            layer->giRemoveFromScene();
        return false;
    }
    if (!layer->giGet())
        layer->giNew(lyrHdl);
    if (!layer->giInSceneTest()) {
        if (!scene)
            return false;
        layer->giAddToScene(*scene, lyrHdl);
    }
    if (myTimeScale)
        layer->setSceneW(myTimeScale->getParentSize());
    layer->giSetPos(0, layer->getSceneY());
    layer->giShow();
    return true;
}

bool mTimeline::syncEventInLayer(mEvent& ev, Obh const& h, mLayer& layer, bool layerShown)
{
    mScale const* ts = myTimeScale;
    mScale const* perp = myVScale;
    if (!ts || !perp)
        return false;
    double const tStart = ts->getMinVisValue(), tLen = ts->getMaxVisValue() - tStart;
    double const pStart = perp->getMinVisValue(), pLen = perp->getMaxVisValue() - pStart;
    double pre = 0, post = 0, r = 0, rSize = 0;
    ev.getPrePostTimes(pre, post);
    ev.getModelVisRowSpan(r, rSize);
    bool const inTime = dimIntersects(tStart, tLen, pre, post - pre);
    bool const inRows = dimIntersects(pStart, pLen, r, rSize);
    if (!inTime || !inRows || !layerShown) {
        if (Ob::ourTrace) {
            if (!inTime)
                A_TRACE("Event does not overlap visible TIME\n");
            if (!inRows) {
                A_TRACE("Event does not overlap visible PERP\n");
                A_TRACE("   visible PERP: %f -> %f\n", pStart, pStart + pLen);
                A_TRACE("   event PERP:   %f -> %f\n", r, r + rSize);
            }
            if (!layerShown)
                A_TRACE("Event's layer is not visible\n");
        }
        if (ev.giGet())
            ev.giClear();
        return false;
    }
    if (Ob::ourTrace)
        A_TRACE("start %s, end %s VISIBLE - %s\n", ts->getVisStart().getStr(false).c(),
                ts->getVisEnd().getStr(false).c(), ev.desc().c());
    Obh hdl = h;
    if (!ev.giGet())
        ev.giNew(hdl);
    // An item under another layer's item (the event moved) is hung under its own layer's.
    if (ev.giInSceneTest() && ev.giGet()->parentItem() != layer.giGet())
        ev.giRemoveFromScene();
    if (!ev.giInSceneTest()) {
        if (!layer.giInSceneTest()) {
            ev.giClear();
            return false;
        }
        M_TRACE("Adding to scene\n");
        ev.giSetParent(&layer);
    }
    double x = 0, y = 0, w = 0, hgt = 0;
    ev.itemPlacement(x, y, w, hgt);
    ev.place(x, y, w, hgt);
    ev.giShow();
    ev.giDamage();
    M_TRACE("  %.1f x %.1f at ( %.1f, %.1f ) - %s\n", w, hgt, x, y, ev.desc().c());
    return true;
}

bool mTimeline::syncEventToView(Obh evHdl, tlScene* scene)
{
    mEvent* ev = eventOf(evHdl);
    if (!ev)
        return false;
    mLayer* layer = ev->getLayer();
    if (!layer) {
        M_TRACE("Event has no layer\n");
        if (ev->giGet())
            ev->giClear();
        return false;
    }
    bool const layerShown = syncLayerToView(ev->getLayerHdl(), scene);
    return syncEventInLayer(*ev, evHdl, *layer, layerShown);
}

void mTimeline::syncEventsToView()
{
    M_TRACE("--------------------------------------------------------------------------- TIMELINE "
            "POST LOAD LAYERS: \n");
    tlUi* ui = getUi();
    if (ui && myEdb)
        myEdb->syncEventsToView(this, ui->getScene());
}

void mTimeline::syncLayerViews()
{
    if (myLayerHdls.empty() || !myTimeScale)
        return;
    M_TRACE("Sync layer views\n");
    tlUi* ui = getUi();
    for (Obh const& h : myLayerHdls) {
        mLayer* layer = layerOf(h);
        if (!layer)
            continue;
        if (mScale* ts = layer->timeScale()) {
            ts->setParentPos(myTimeScale->getParentPos());
            ts->setParentSize(myTimeScale->getParentSize());
        }
        followTimeWindow(*layer, myTimeScale->getMinVisValue(), myTimeScale->getMaxVisValue());
        if (mScale* rows = layer->rowScale()) {
            rows->setParentPos(0);
            rows->setParentSize(static_cast<int>(layer->getModelH()));
        }
        if (ui)
            syncLayerToView(h, ui->getScene());
        markDirtyItem(h);
    }
    raiseDirt(DirtLayerTimeScale);
}

void mTimeline::paintTimelineTimeScale(Painter& p)
{
    mSkin* skin = getSkin();
    if (!myTimeScale || !skin)
        return;
    M_TRACE("Drawing time scale:\n");
    M_TRACE("  minValue:    %.1f\n", myTimeScale->getMinValue());
    M_TRACE("  maxValue:    %.1f\n", myTimeScale->getMaxValue());
    M_TRACE("  minVisValue: %.1f\n", myTimeScale->getMinVisValue());
    M_TRACE("  maxVisValue: %.1f\n", myTimeScale->getMaxVisValue());
    float x = 0, y = 0, w = 0, h = 0;
    p.get2dGeometry(x, y, w, h);
    p.setFillColorRgb8(skin->getTimelineBgR(), skin->getTimelineBgG(), skin->getTimelineBgB());
    p.draw2dFilledRect(x, y + h - 10.0f, w, 10.0f);
}

// Records --------------------------------------------------------------------------------------

bool mTimeline::xmlReadEndElement(XmlReader& r, char const* name)
{
    if (std::strcmp(name, "events") == 0) {
        r.popHandler();
        M_TRACE("Pop events handler\n");
        return true;
    }
    for (char const* own : {"time_scale", "row_scale", "layers", "layer"})
        if (std::strcmp(name, own) == 0)
            return true;
    return mTimelineData::xmlReadEndElement(r, name);
}

bool mTimeline::xmlWrite(XmlWriter& w)
{
    bool ok = mTimelineData::xmlWrite(w);
    ok = Obh::xmlWriteHdl(w, "time_scale", myTimeScaleHdl, nullptr) && ok;
    ok = Obh::xmlWriteHdl(w, "row_scale", myVScaleHdl, nullptr) && ok;
    ok = w.startElement("layers") && ok;
    for (Obh const& h : myLayerHdls) {
        A_ASSERT(layerOf(h));
        ok = Obh::xmlWriteHdl(w, "layer", h, nullptr) && ok;
    }
    ok = w.endElement() && ok;
    ok = w.startElement("events") && ok;
    if (myEdb)
        ok = myEdb->xmlWrite(w) && ok;
    return w.endElement() && ok;
}

void mTimeline::postLoadHook()
{
    if (myTimeScale)
        myTimeScale->setTimeUnits();
    if (myVScale)
        myVScale->setNumericUnits();
    setLockToNowFlag(false);
    for (Obh const& h : myLayerHdls)
        if (mLayer* layer = layerOf(h))
            layer->setTimeline(this);
    if (!Ob::ourTrace)
        return;
    A_TRACE("--------------------------------------------------------------------------- TIMELINE "
            "POST LOAD: \n");
    if (myEdb)
        myEdb->printEvents();
    A_TRACE("--------------------------------------------------------------------------- TIMELINE "
            "POST LOAD LAYERS: \n");
    for (Obh const& h : myLayerHdls) {
        mLayer const* layer = layerOf(h);
        if (!layer)
            continue;
        A_TRACE("[ %s ] %s - %i events\n", layer->getIsVisible() ? "*" : " ", layer->getTitle().c(),
                static_cast<int>(layer->getEvents().size()));
        for (Obh const& eh : layer->getEvents()) {
            if (mEvent const* ev = eventOf(eh))
                A_TRACE("   %s\n", ev->desc().c());
            else if (mLayer const* other = layerOf(eh))
                A_TRACE("ERROR! %s has a LAYER event handle %p %s\n", layer->getTitle().c(),
                        static_cast<void const*>(other), other->getTitle().c());
            else
                A_TRACE("ERROR! %s has a null event handle %p %s\n", layer->getTitle().c(),
                        static_cast<void const*>(nullptr), "");
        }
    }
}

// The check after a load --------------------------------------------------------------------------

namespace {

// Calls f(handle, object) for every live object of a pool.
template <class T, class F> void forEachLive(ObClassTypeOf<T>& pool, F&& f)
{
    for (uint32_t r = 0; r < pool.getCurrentTypeCount(); ++r) {
        Obh h;
        h.myType = &pool;
        h.myTypeIndex = pool.getTypeIndex();
        h.myAddr = pool.myAddrsByRosterIndex[r];
        h.myFlags = Obh::IsValid;
        if (T* obj = pool.ptrFromFile(h))
            f(h, obj);
    }
}

std::string named(char const* cls, rtl::str const& title, char const* what)
{
    return std::string(cls) + " \"" + title.c() + "\" " + what;
}

} // namespace

bool mTimeline::checkRecords(ObClassTypeOf<mTimeline>& timelines, ObClassTypeOf<mLayer>& layers,
                             ObClassTypeOf<mEvent>& events, ObClassTypeOf<mScale>& scales,
                             std::string& why)
{
    why.clear();
    auto fail = [&](std::string const& text) {
        if (why.empty())
            why = text;
        return false;
    };
    // Each scale has one owner: giving one back must not take another's.
    std::set<mScale const*> owned;
    auto ownScale = [&](Obh const& h, std::string const& who) {
        mScale const* s = scales.ptrFromFile(h);
        if (!s)
            return fail(who + " holds no live scale");
        if (!owned.insert(s).second)
            return fail(who + " holds a scale that another object holds");
        return true;
    };
    // By slot: the timeline listing each layer, and the layer listing each event (its slot + 1).
    std::vector<mTimeline const*> layerOwner(layers.mySize, nullptr);
    std::vector<uint32_t> eventLister(events.mySize, 0);
    bool ok = true;
    forEachLive(timelines, [&](Obh const&, mTimeline* tl) {
        ok = ok && ownScale(tl->myTimeScaleHdl, "the timeline's time scale") &&
             ownScale(tl->myVScaleHdl, "the timeline's row scale");
        int at = 0;
        for (Obh const& h : tl->myLayerHdls) {
            mLayer const* layer = layers.ptrFromFile(h);
            if (!ok)
                return;
            if (!layer)
                ok = fail("mTimeline: a \"layer\" names no live layer");
            else if (layerOwner[h.getAddr()])
                ok = fail(named("mLayer", layer->getTitle(), "is listed twice"));
            else if (layer->getIndex() != at)
                ok = fail(named("mLayer", layer->getTitle(), "has an index other than its place"));
            else
                layerOwner[h.getAddr()] = tl;
            ++at;
        }
    });
    forEachLive(layers, [&](Obh const& lh, mLayer* layer) {
        if (!ok)
            return;
        mTimeline const* owner = layerOwner[lh.getAddr()];
        if (!owner) {
            ok = fail(named("mLayer", layer->getTitle(), "is in no timeline"));
            return;
        }
        ok = ownScale(layer->myTimeScaleHdl, named("mLayer", layer->getTitle(), "time scale")) &&
             ownScale(layer->myRowScaleHdl, named("mLayer", layer->getTitle(), "row scale"));
        if (!ok)
            return;
        mScale const* rows = scales.ptrFromFile(layer->myRowScaleHdl);
        double const n = rows->getMaxValue() - rows->getMinValue();
        if (!std::isfinite(rows->getMinValue()) || !(n >= 0.0 && n <= mAttrLimits::RowsHi)) {
            ok = fail(named("mLayer", layer->getTitle(), "has rows out of range"));
            return;
        }
        for (Obh const& h : layer->getEvents()) {
            mEvent const* ev = events.ptrFromFile(h);
            if (!ev) {
                ok = fail(named("mLayer", layer->getTitle(), "lists an event that is not live"));
                return;
            }
            if (layers.ptrFromFile(ev->getLayerHdl()) != layer) {
                ok = fail(
                    named("mLayer", layer->getTitle(), "lists an event whose layer is another"));
                return;
            }
            eventLister[h.getAddr()] = lh.getAddr() + 1;
            if (!owner->getEdb() || !owner->getEdb()->isRegistered(h)) {
                ok = fail(named("mLayer", layer->getTitle(),
                                "lists an event that its timeline does not hold"));
                return;
            }
        }
    });
    forEachLive(timelines, [&](Obh const&, mTimeline* tl) {
        if (!ok || !tl->getEdb())
            return;
        for (Obh const& h : tl->getEdb()->getEvents()) {
            uint32_t const lister = events.ptrFromFile(h) ? eventLister[h.getAddr()] : 0;
            if (!lister || layerOwner[lister - 1] != tl) {
                ok = fail("mTimeline: an \"event\" names no event of its layers");
                return;
            }
        }
    });
    if (!ok)
        return false;
    // Events in no layer (older versions left those of deleted layers behind) belong nowhere.
    forEachLive(events, [&](Obh const& h, mEvent* ev) {
        if (!eventLister[h.getAddr()] && ev->getLayerHdl().isValid()) {
            A_TRACE_C("red", "mEvent %s is in no layer: kept without one\n", ev->desc().c());
            ev->setLayerHdl(Obh());
        }
    });
    return true;
}
