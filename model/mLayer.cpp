#include "mLayer.h"

#include "ObClassTypeOf.h"
#include "ObDirty.h"
#include "ObSelection.h"
#include "Painter.h"
#include "XmlReader.h"
#include "XmlWriter.h"
#include "aAssert.h"
#include "aColor.h"
#include "aRefresher.h"
#include "aTrace.h"
#include "aTs.h"
#include "giLayer.h"
#include "mAttrLimits.h"
#include "mEdb.h"
#include "mEvent.h"
#include "mExtent.h"
#include "mRecords.h"
#include "mScale.h"
#include "mTimeline.h"
#include "mTrace.h"
#include "tlStep.h"
#include "tlUi.h"
#include "uiGi.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace {

using L = mAttrLimits;

mAttrLimits::Range const LayerLimits[] = {
    {"numRows", 0, L::RowsHi},
    {"sceneH", -1, L::SceneHeightLimit, false},
    // Spacing may overlap the layers: "Zero Spacing" leaves minus one pixel.
    {"paddingTop", -L::RowsHi, L::RowsHi},
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

// How the fill is darkened (factors on its HSV value), and the header's and the band's lines.
constexpr float ActiveShade = 0.9f;
constexpr float InactiveShade = 0.7f;
constexpr float TitleMargin = 2;
constexpr float TitleBoxH = 20;
constexpr float SelectedOutlineW = 2;
constexpr int RowLineAlpha = 20;

} // namespace

mLayer::mLayer() = default;

mLayer::~mLayer()
{
    giClear();
    dropScales();
    unfileEvents();
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
    unfileEvents();
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
    myReadTimeScale = myReadRowScale = false;
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
    tlUi::objectGoing(this);
    rxDisconnect();
    M_TRACE("mLayer::recycleObj %p\n", static_cast<void*>(this));
    giClear();
    clearObj();
    mLayerData::recycleObj();
    myEventCache.reset();
    dropScales();
}

bool mLayer::xmlReadStartElement(XmlReader& r, char const* name, int attrCount)
{
    // The attributes first: most elements of a document are.
    if (mAttrLimits::readOwnAttr(r, static_cast<mLayerData&>(*this), name, LayerLimits))
        return true;
    if (std::strcmp(name, "layer_events") == 0)
        return true;
    if (std::strcmp(name, "time_scale") == 0)
        return mRecords::readOwnedScale(r, *this, name, myTimeScaleHdl, myTimeScale,
                                        myReadTimeScale);
    if (std::strcmp(name, "row_scale") == 0)
        return mRecords::readOwnedScale(r, *this, name, myRowScaleHdl, myRowScale,
                                        myReadRowScale);
    if (std::strcmp(name, "layer_event") == 0) {
        // Whether it names an event of this layer is checked once every object is read.
        Obh h;
        if (!Obh::xmlReadHdl(r, &h, nullptr) || !h.isValid())
            mAttrLimits::refuse(r, *this, "a \"layer_event\" is not a readable handle");
        else
            myEvents.insert(h);
        return true;
    }
    if (!mAttrLimits::accept(r, *this, name, LayerLimits))
        return true;
    return mLayerData::xmlReadStartElement(r, name, attrCount);
}

void mLayer::clearEvents()
{
    unfileEvents();
    dropEventsThatGo();
}

void mLayer::dropEventsThatGo()
{
    mySpansValid = false;
    if (!myEvents.empty()) {
        raiseDirt(DirtActiveEvents);
        raiseDirt(DirtEventSetInLayer);
    }
    ++ourFilings;
    myTimeIndex.clear();
    myRowIndex.clear();
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
        M_TRACE("  sync sequence time to %.1f\n", getTickTime(tick));
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

void mLayer::shadedFillColor(int& r, int& g, int& b) const
{
    fillColorAtValue(getIsActive() ? ActiveShade : InactiveShade, 0.0f, r, g, b);
}

void mLayer::fillColorAtValue(float keep, float lift, int& r, int& g, int& b) const
{
    float h = 0, s = 0, v = 0;
    aColor::RgbToHsv(float(getBgColorR()) / 255.0f, float(getBgColorG()) / 255.0f,
                     float(getBgColorB()) / 255.0f, h, s, v);
    v = v * keep + (1.0f - v) * lift;
    float fr = 0, fg = 0, fb = 0;
    aColor::HsvToRgb(h, s, v, fr, fg, fb);
    r = int(fr * 255.0f);
    g = int(fg * 255.0f);
    b = int(fb * 255.0f);
}

void mLayer::giPaint(Painter& p) const
{
    float x = 0, y = 0, w = 0, h = 0;
    p.get2dGeometry(x, y, w, h);
    p.setAntiAliasing(false);
    float const top = std::floor(y);
    float const bottom = std::ceil(y + h - 2);
    int r = 0, g = 0, b = 0;
    shadedFillColor(r, g, b);
    p.setFillColorRgba8(r, g, b, getBgColorA());
    p.draw2dFilledRect(x, top, w, bottom - top);
    p.setLineColorRgba8(getLineColorR(), getLineColorG(), getLineColorB(), getLineColorA());
    p.draw2dLine(x, bottom, x + w, bottom);
    p.draw2dLine(x, top, x + w, top);
    p.setLineColorRgba8(0, 0, 0, RowLineAlpha);
    // A row lower than a pixel would only grey the band over, and a step of nothing would never
    // reach the bottom.
    double const step = double(getVerticalScale()) * (1.0 / getSceneYScale());
    if (std::isfinite(step) && step >= 1.0)
        for (int k = 0;; ++k) {
            double const yy = double(top) + k * step;
            if (!(yy < double(bottom)))
                break;
            p.draw2dLine(x, float(yy), x + w, float(yy));
        }
}

void mLayer::paintLayerHeader(Painter& p, Obh& layer) const
{
    float x = 0, y = 0, w = 0, h = 0;
    p.get2dGeometry(x, y, w, h);
    paintLayerHeader(p, layer, x + float(int(w)) - TitleMargin);
}

void mLayer::paintLayerHeader(Painter& p, Obh& layer, float titleEnd) const
{
    mLayer const* named = layerOf(layer);
    if (!named) {
        A_TRACE_C("red", "mLayer::paintLayerHeader: the handle names no layer\n");
        return;
    }
    float x = 0, y = 0, w = 0, h = 0;
    p.get2dGeometry(x, y, w, h);
    int r = 0, g = 0, b = 0;
    shadedFillColor(r, g, b);
    p.setFillColorRgba8(r, g, b, getBgColorA());
    p.draw2dFilledRect(x, y, w, h);
    p.setFont(named->getLabelFontFamily().c(), float(named->getLabelFontSize()),
              named->getLabelFontWeight());
    p.setTextColorRgba8(getTextColorR(), getTextColorG(), getTextColorB(), getTextColorA());
    float const titleW = titleEnd - (x + TitleMargin);
    // Layer titles often differ only in their end ("Layer #10", "Layer #11"): that end stays.
    std::string const title = p.elided(getTitle().c(), titleW, Painter::Cut::Middle);
    p.draw2dText(title.c_str(), x + TitleMargin, y + TitleMargin, titleW, TitleBoxH, -1, -1);
    ObSelection* selection = getSelectionEngine();
    if (selection && selection->isSelectedTest(layer)) {
        p.setLineWidth(SelectedOutlineW);
        p.setLineColorRgbaF(1, 1, 1, 1);
        p.draw2dOutlinedRectFromTo(x + 1, y + 1, x + w, y + h);
    }
    p.setLineColorRgba8(getLineColorR(), getLineColorG(), getLineColorB(), getLineColorA());
    p.draw2dLine(x, y + h - 1, x + w, y + h - 1);
    p.draw2dLine(x, y, x + w, y);
}

void mLayer::paintLayerContents(Painter&) const
{
    A_TRACE_C("red", "mLayer::paintLayerContents: a layer draws no contents of its own\n");
}

void mLayer::resetSequence()
{
    for (int i = 0; i < 4; ++i)
        M_TRACE_C("ired", "%60s\n", "");
    for (Obh h : myEvents)
        if (auto* ev = h.isValid() ? dynamic_cast<mEvent*>(h.obj()) : nullptr)
            ev->resetSequence();
}

// Rows and events -------------------------------------------------------------------------------

void mLayer::fileEvent(mEvent& ev, Obh const& h)
{
    mTimeIndex::Extent const e = ev.indexExtent();
    ++ourFilings;
    myTimeIndex.insert(&ev, e);
    myRowIndex.insert(&ev, h.getAddr(), e);
    ev.setFiling(this, h, e);
}

void mLayer::unfileEvent(mEvent& ev)
{
    ++ourFilings;
    mTimeIndex::Filed const f = ev.filed();
    myTimeIndex.erase(&ev, f.lo);
    myRowIndex.erase(&ev, f);
}

void mLayer::unfileEvents()
{
    ++ourFilings;
    myTimeIndex.forEach([](mEvent* ev) { ev->setFiling(nullptr, Obh(), {}); });
    myTimeIndex.clear();
    myRowIndex.clear();
}

void mLayer::modelRowSpan(double row, double size, double& r, double& s) const
{
    r = row, s = size;
    if (myRowScale) {
        r = myRowScale->localToParent(row);
        s = myRowScale->localToParent(row + size) - r;
    }
    r += getModelY();
}

void mLayer::sceneRowSpan(double row, double size, double& y, double& h) const
{
    double r = 0, s = 0;
    modelRowSpan(row, size, r, s);
    mScale const* perp = getTimelinePerpScale();
    if (!perp) {
        y = r, h = s;
        return;
    }
    y = perp->localToParent(r);
    h = perp->localToParent(r + s) - y;
}

mRowIndex& mLayer::rowIndex()
{
    if (!myRowIndex.built())
        myRowIndex.build(myTimeIndex);
    return myRowIndex;
}

void mLayer::refileEvent(mEvent& ev)
{
    if (ev.filedIn() != this)
        return;
    unfileEvent(ev);
    fileEvent(ev, ev.filedHdl());
    myEventCache.reset();
}

void mLayer::forgetEvent(mEvent& ev)
{
    if (ev.filedIn() != this)
        return;
    Obh h = ev.filedHdl();
    unfileEvent(ev);
    ev.setFiling(nullptr, Obh(), {});
    myEvents.erase(h);
    myEventCache.reset();
    mySpansValid = false;
}

void mLayer::computeSpans() const
{
    mExtent time, rows;
    for (Obh const& h : myEvents)
        if (mEvent const* ev = eventOf(h)) {
            time.add(ev->getStartTime(), ev->getStartTime() + ev->getTimeLength());
            rows.add(ev->getRowIndex(), ev->getRowIndex() + 1.0);
        }
    mySpanMinTime = std::min(time.lo, time.hi);
    mySpanMaxTime = std::max(time.lo, time.hi);
    mySpanMinRi = std::min(rows.lo, rows.hi);
    mySpanMaxRi = std::max(rows.lo, rows.hi);
    mySpansValid = true;
    M_TRACE("Returning CALCED spans: %.1f, %.1f, %.1f, %.1f\n", mySpanMinTime, mySpanMaxTime,
            mySpanMinRi, mySpanMaxRi);
}

void mLayer::getSpans(double& minTime, double& maxTime, double& minRi, double& maxRi,
                      bool force) const
{
    if (!mySpansValid || force)
        computeSpans();
    minTime = mySpanMinTime;
    maxTime = mySpanMaxTime;
    minRi = mySpanMinRi;
    maxRi = mySpanMaxRi;
}

void mLayer::rebuildSpanCache(bool force)
{
    if (mySpansValid || force)
        computeSpans();
}

int mLayer::stackRowOf(double row) const
{
    double const rowMin = rowScale() ? rowScale()->getMinValue() : 0.0;
    return static_cast<int>(std::trunc(getStackRowIndex() + (row - rowMin)));
}

void mLayer::addEvent(Obh& evHdl, double startTime, double rowIndex)
{
    mEvent* ev = eventOf(evHdl);
    A_ASSERT(ev);
    // Adding what the layer holds already moves it.
    takeOut(evHdl);
    double const row = wholeRow(rowIndex);
    M_TRACE("Adding EVENT at time=%.1f, ri=%.1f\n", startTime, row);
    ev->setStartTime(startTime);
    ev->setRowIndex(row);
    raiseDirt(DirtActiveEvents);
    raiseDirt(DirtEventSetInLayer);
    myEvents.insert(evHdl);
    fileEvent(*ev, evHdl);
    if (myEventCache && ev->presentAtTimeTest(myEventCacheTime))
        myEventCache.reset();
    // The first event sets the cache (the zeros of an empty layer are no extent to widen).
    if (!mySpansValid || myEvents.size() == 1)
        computeSpans();
    else
        widenSpans(*ev);
    widenRowScale();
}

void mLayer::widenSpans(mEvent const& ev)
{
    mySpanMinTime = std::min(mySpanMinTime, ev.getStartTime());
    mySpanMaxTime = std::max(mySpanMaxTime, ev.getStartTime() + ev.getTimeLength());
    mySpanMinRi = std::min(mySpanMinRi, ev.getRowIndex());
    mySpanMaxRi = std::max(mySpanMaxRi, ev.getRowIndex() + 1.0);
}

void mLayer::widenRowScale()
{
    if (!myRowScale)
        return;
    if (myRowScale->getMinValue() > mySpanMinRi)
        myRowScale->setMinValue(mySpanMinRi);
    if (myRowScale->getMaxValue() < mySpanMaxRi)
        myRowScale->setMaxValue(mySpanMaxRi);
}

void mLayer::addEvent(Obh& evHdl, double startTime)
{
    mEvent* ev = eventOf(evHdl);
    A_ASSERT(ev);
    double pre = 0, post = 0;
    ev->getPrePostTimes(pre, post);
    double const row = getNextEmptyRowIndex(pre, post, ev->getRowSize());
    M_TRACE("Adding EVENT: rowI = %f\n", row);
    addEvent(evHdl, startTime, row);
}

bool mLayer::takeOut(Obh& evHdl)
{
    if (myEvents.erase(evHdl) == 0)
        return false;
    mEvent const* ev = eventOf(evHdl);
    bool const spansKept = ev && spansStayWithout(*ev, false);
    letGo(evHdl);
    eventsTakenOut(spansKept);
    return true;
}

bool mLayer::spansStayWithout(mEvent const& ev, bool rowKept) const
{
    // As computeSpans counts it; a time that is not a number is inside nothing.
    double const start = ev.getStartTime(), end = start + ev.getTimeLength();
    double const row = ev.getRowIndex();
    return mySpansValid && std::min(start, end) > mySpanMinTime &&
           std::max(start, end) < mySpanMaxTime &&
           (rowKept || (row > mySpanMinRi && row + 1.0 < mySpanMaxRi));
}

void mLayer::letGo(Obh const& h)
{
    if (mEvent* ev = eventOf(h)) {
        ev->setLayerHdl(Obh());
        if (ev->filedIn() == this) {
            unfileEvent(*ev);
            ev->setFiling(nullptr, Obh(), {});
        }
    }
}

void mLayer::eventsTakenOut(bool spansKept)
{
    myEventCache.reset();
    // Recomputed when next asked: taking many events out costs one pass, not one each.
    if (!spansKept)
        mySpansValid = false;
    raiseDirt(DirtActiveEvents);
    raiseDirt(DirtEventSetInLayer);
}

void mLayer::takeOutEvents(std::vector<Obh> const& handles, std::vector<bool> const& marked,
                           mRowIndex* keep, std::function<double(double)> const& keepRow,
                           bool unfile)
{
    if (handles.empty())
        return;
    ++ourFilings;
    if (ObhSet::fewAmong(handles.size(), myEvents.size())) {
        takeOutFew(handles, keep, keepRow);
        return;
    }
    auto const isMarked = [&marked](mEvent const* ev) {
        std::size_t const slot = ev->filedHdl().getAddr();
        return slot < marked.size() && marked[slot];
    };
    if (myRowIndex.built()) {
        myRowIndex.moveMarked(marked, keep,
                              [&keepRow](mRowIndex::Key const& k) { return keepRow(k.row); });
    } else if (keep) {
        myTimeIndex.forEachFiled([&](mEvent* ev, mTimeIndex::Extent e) {
            if (!isMarked(ev))
                return;
            e.row = keepRow(ev->filed().row);
            e.rows = 1.0;
            keep->insert(ev, ev->filedHdl().getAddr(), e);
        });
    }
    // Every event of the layer goes: the set and the time index are emptied whole.
    if (handles.size() == myEvents.size()) {
        myEvents.clear();
        myTimeIndex.clear();
    } else {
        myEvents.eraseSorted(handles);
        myTimeIndex.eraseIf([&](mEvent* ev) { return ev->filedIn() == this && isMarked(ev); });
    }
    if (unfile) {
        for (Obh const& h : handles)
            if (mEvent* ev = eventOf(h)) {
                ev->setLayerHdl(Obh());
                if (ev->filedIn() == this)
                    ev->setFiling(nullptr, Obh(), {});
            }
    }
    eventsTakenOut(false);
}

void mLayer::takeOutFew(std::vector<Obh> const& handles, mRowIndex* keep,
                        std::function<double(double)> const& keepRow)
{
    bool spansKept = mySpansValid;
    for (Obh const& h : handles) {
        myEvents.erase(h);
        mEvent* ev = eventOf(h);
        if (!ev)
            continue;
        ev->setLayerHdl(Obh());
        if (ev->filedIn() != this) {
            spansKept = spansKept && spansStayWithout(*ev, false);
            continue;
        }
        // Out of each index under what it was filed, into `keep` as the bulk pass moves it.
        mTimeIndex::Filed const f = ev->filed();
        mTimeIndex::Extent e {f.lo, f.lo, f.instant, keepRow(f.row), 1.0};
        bool const timed = myTimeIndex.erase(ev, f.lo, &e.hi);
        bool const rowed = myRowIndex.erase(ev, f);
        if (keep && (myRowIndex.built() ? rowed : timed))
            keep->insert(ev, ev->filedHdl().getAddr(), e);
        // Most rows hold many events: one that shares its row bounds no rows alone.
        bool const rowKept = rowed && f.row == ev->getRowIndex() && myRowIndex.holds(f);
        spansKept = spansKept && spansStayWithout(*ev, rowKept);
        ev->setFiling(nullptr, Obh(), {});
    }
    eventsTakenOut(spansKept);
}

void mLayer::addEvents(std::vector<Obh> const& handles)
{
    struct Filed
    {
        mEvent* ev;
        Obh h;
        mTimeIndex::Extent e;
    };
    std::vector<Filed> filed;
    filed.reserve(handles.size());
    std::vector<Obh> added;
    added.reserve(handles.size());
    for (Obh h : handles) {
        mEvent* ev = eventOf(h);
        if (!ev)
            continue;
        // One held somewhere (here too) leaves there first, keeping the layer it was given.
        if (mLayer* holder = ev->filedIn()) {
            Obh const layer = ev->getLayerHdl();
            holder->removeEvent(h);
            ev->setLayerHdl(layer);
            if (ev->filedIn())
                continue;
        }
        filed.push_back({ev, h, ev->indexExtent()});
        added.push_back(h);
    }
    if (filed.empty())
        return;
    ++ourFilings;
    bool const wasEmpty = myEvents.empty();
    bool const few = ObhSet::fewAmong(filed.size(), myEvents.size());
    myEvents.insertSorted(added);
    added = {};
    // In order of start, as both indexes keep them.
    auto const order = [](Filed const& a, Filed const& b) {
        return a.e.lo < b.e.lo || (a.e.lo == b.e.lo && a.ev < b.ev);
    };
    if (!std::is_sorted(filed.begin(), filed.end(), order))
        std::sort(filed.begin(), filed.end(), order);
    if (few) {
        for (Filed const& f : filed)
            myTimeIndex.insert(f.ev, f.e);
    } else {
        std::vector<std::pair<mEvent*, mTimeIndex::Extent>> timed;
        timed.reserve(filed.size());
        for (Filed const& f : filed)
            timed.emplace_back(f.ev, f.e);
        myTimeIndex.insertMany(timed);
    }
    for (Filed const& f : filed) {
        myRowIndex.insert(f.ev, f.h.getAddr(), f.e);
        f.ev->setFiling(this, f.h, f.e);
    }
    raiseDirt(DirtActiveEvents);
    raiseDirt(DirtEventSetInLayer);
    myEventCache.reset();
    // The spans as addEvent leaves them, widened by each.
    if (!mySpansValid || wasEmpty)
        computeSpans();
    else
        for (Filed const& f : filed)
            widenSpans(*f.ev);
    widenRowScale();
}

bool mLayer::deleteEvent(Obh& ev)
{
    return takeOut(ev);
}

bool mLayer::removeEvent(Obh& ev)
{
    return takeOut(ev);
}

double mLayer::getNextEmptyRowIndex(double startTime, double endTime, double riSize)
{
    double const first = myRowScale ? myRowScale->getMinValue() : 0.0;
    return getNextEmptyRowIndex(startTime, endTime, first, riSize);
}

double mLayer::getNextEmptyRowIndex(double startTime, double endTime, double startRi, double riSize)
{
    double const firstRi = std::floor(startRi);
    if (Ob::ourTrace)
        A_TRACE("GetNextEmptyRowIndex: startTime %s, endTime %s, startRowIndex %f, riSize %f\n",
                aTs(startTime).getStr(false).c(), aTs(endTime).getStr(false).c(), startRi, riSize);
    // The row blocks of this layer's events that meet the time.
    struct Block
    {
        double lo, hi, start, size;
    };
    std::vector<Block> blocks;
    myTimeIndex.forEachNear(startTime, endTime, mTimeIndex::instantReach(*this), [&](mEvent* ev) {
        double from = startTime, to = endTime;
        if (ev->getLayer() == this && ev->isVisibleBetween(from, to)) {
            double const r = ev->getRowIndex(), s = ev->getRowSize();
            blocks.push_back({std::min(r, r + s), std::max(r, r + s), r, s});
        }
        return false;
    });
    double const lastRi = std::floor(myRowScale ? myRowScale->getMaxValue() : 1.0);
    // With nothing of this layer there, the row asked for as it is when nothing of any layer is
    // there either; that matters only for a fractional row or one below the last.
    if (blocks.empty() && (startRi != firstRi || firstRi > lastRi)) {
        mTimeline* tl = getTimeline();
        if (!tl || !tl->getEdb() || !tl->getEdb()->anyEventBetween(startTime, endTime)) {
            M_TRACE("   NextEmptyRowIndex: found no events impeding... return start Ri = %f\n",
                    startRi);
            return startRi;
        }
    }
    bool const degenerate =
        !(riSize > 0.0) ||
        std::any_of(blocks.begin(), blocks.end(), [](Block const& b) { return !(b.size > 0.0); });
    if (degenerate) {
        // Blocks of no height: row by row, as the overlap rule reads them.
        for (double ri = firstRi; ri <= lastRi; ri += 1.0) {
            bool const taken = std::any_of(blocks.begin(), blocks.end(), [&](Block const& b) {
                return dimIntersects(ri, riSize, b.start, b.size);
            });
            if (!taken)
                return ri;
        }
        M_TRACE("MAX ri reached, use it as result %f\n", lastRi);
        return lastRi;
    }
    // Rows from the first one up: a row is taken while a block that starts above its end
    // reaches below its top; the next candidate is then the first whole step past that block.
    std::sort(blocks.begin(), blocks.end(),
              [](Block const& a, Block const& b) { return a.lo < b.lo; });
    std::size_t next = 0;
    double reach = -std::numeric_limits<double>::infinity();
    double ri = firstRi;
    while (ri <= lastRi) {
        while (next < blocks.size() && blocks[next].lo < ri + riSize)
            reach = std::max(reach, blocks[next++].hi);
        if (!(reach > ri)) {
            M_TRACE("At ri=%f, check time interval %f -> %f - NO INTERSECT! use as result\n", ri,
                    startTime, endTime);
            return ri;
        }
        ri = std::max(ri + 1.0, firstRi + std::ceil(reach - firstRi));
    }
    M_TRACE("MAX ri reached, use it as result %f\n", lastRi);
    return lastRi;
}

bool mLayer::isEmptyTest(double startTm, double endTm, double startRi, double endRi, bool)
{
    M_TRACE("Check Layer Is Empty, startTm=%f, endTm=%f, startRi=%f, endRi=%f\n", startTm, endTm,
            startRi, endRi);
    mEvent const* found = nullptr;
    myTimeIndex.forEachNear(startTm, endTm, mTimeIndex::instantReach(*this), [&](mEvent* ev) {
        double from = startTm, to = endTm;
        if (ev->getLayer() == this && ev->isVisibleBetween(from, to) &&
            dimIntersects(ev->getRowIndex(), ev->getRowSize(), startRi, endRi - startRi))
            found = ev;
        return found != nullptr;
    });
    if (found) {
        M_TRACE("   isEmpty FAILED (FX found) @ time=%f, index = %f\n", found->getStartTime(),
                found->getRowIndex());
        return false;
    }
    M_TRACE("   isEmpty SUCCESS (NO FX found) \n");
    return true;
}

void mLayer::addRows(int n)
{
    if (myRowScale)
        myRowScale->setMaxValue(myRowScale->getMaxValue() + n);
    setSceneH(getSceneH() + getVerticalScale() * n / getSceneYScale());
    raiseDirt(DirtNumRowsInLayer);
}

void mLayer::fitRows()
{
    double unused = 0;
    getSpans(unused, unused, unused, unused, false);
    // The events by whole row, rows ascending, handle order within a row.
    std::map<double, std::vector<mEvent*>> byRow;
    for (Obh const& h : myEvents) {
        mEvent* ev = eventOf(h);
        A_ASSERT(ev);
        byRow[std::floor(ev->getRowIndex())].push_back(ev);
    }
    if (myRowScale) {
        double const lo = std::floor(myRowScale->getMinValue());
        double const hi = std::floor(myRowScale->getMaxValue());
        for (double row = lo; row <= hi; row += 1.0)
            if (!byRow.count(row)) {
                raiseDirt(DirtNumRowsInLayer);
                M_TRACE("ROW INDEX %f is empty\n", row);
            }
    }
    double const s = getSceneYScale();
    double count = 0;
    double k = 0;
    for (auto& [row, events] : byRow) {
        M_TRACE("Re-rowing RI = %f\n", row);
        for (mEvent* ev : events) {
            double const fraction = ev->getRowIndex() - std::trunc(ev->getRowIndex());
            ev->setRowIndex(k + fraction);
            if (ev->giGet())
                ev->giSetY(ev->getRowIndex() / s);
            count = std::max(count, ev->getRowIndex() + ev->getRowSize());
        }
        k += 1.0;
    }
    if (count == 0)
        count = 1;
    mySpanMinRi = 0;
    mySpanMaxRi = count;
    if (myRowScale) {
        myRowScale->setMinValue(0);
        myRowScale->setMaxValue(count);
    }
    setSceneH(getVerticalScale() * count / s);
    raiseDirt(DirtNumRowsInLayer);
}

void mLayer::insertRowsAtIndex(double ri, double n)
{
    // Every event of the layer at ri or below moves, whatever its time.
    double minT = 0, maxT = 0, minR = 0, maxR = 0;
    getSpans(minT, maxT, minR, maxR, false);
    std::vector<mEvent*> candidates;
    for (Obh const& h : myEvents)
        if (mEvent* ev = eventOf(h))
            candidates.push_back(ev);
    insertRows(minT, maxT, ri, n, candidates);
}

void mLayer::insertRowsAtIndex(double startTime, double endTime, double ri, double n)
{
    std::vector<mEvent*> candidates;
    myTimeIndex.forEachNear(startTime, endTime, mTimeIndex::instantReach(*this), [&](mEvent* ev) {
        double from = startTime, to = endTime;
        if (ev->isVisibleBetween(from, to))
            candidates.push_back(ev);
        return false;
    });
    insertRows(startTime, endTime, ri, n, candidates);
}

void mLayer::insertRows(double startTime, double endTime, double ri, double n,
                        std::vector<mEvent*> const& candidates)
{
    M_TRACE("%s INSERT %f ROWS, at ri=%f, from time=%f to and including time=%f\n", getTitle().c(),
            n, ri, startTime, endTime);
    if (myRowScale) {
        M_TRACE("LAYER: ROWS SETTING RI: min %f, max %f\n", myRowScale->getMinValue(),
                myRowScale->getMaxValue());
        myRowScale->setMaxValue(myRowScale->getMaxValue() + n);
    }
    for (mEvent* ev : candidates) {
        if (ev->getLayer() != this)
            continue;
        if (ev->getRowIndex() < ri) {
            M_TRACE("   insertRows NO shift needed for %s ri %.2f\n", ev->desc().c(),
                    ev->getRowIndex());
            continue;
        }
        ev->setRowIndex(ev->getRowIndex() + n);
        M_TRACE("   insertRows shifting %s down by %.2f to %.2f\n", ev->desc().c(), n,
                ev->getRowIndex());
        // The cache counts an event as one row high.
        if (mySpansValid && ev->getRowIndex() + 1.0 > mySpanMaxRi) {
            mySpanMaxRi = ev->getRowIndex() + 1.0;
            raiseDirt(DirtNumRowsInLayer);
        }
    }
    if (myEventCache && startTime <= myEventCacheTime && myEventCacheTime <= endTime)
        myEventCache.reset();
}

mLayer::EventsByRow* mLayer::getEventCacheAtTime(double time)
{
    if (myEventCache && myEventCacheTime == time)
        return myEventCache.get();
    myEventCache.reset();
    if (myEvents.empty())
        return nullptr;
    auto cache = std::make_unique<EventsByRow>(&compareEventsByRow);
    myTimeIndex.forEachNear(time, time, 0.0, [&](mEvent* ev) {
        if (ev->presentAtTimeTest(time))
            cache->insert(ev->filedHdl());
        return false;
    });
    myEventCacheTime = time;
    myEventCache = std::move(cache);
    return myEventCache.get();
}

template <class F> void mLayer::forEachCachedAt(double time, F&& f)
{
    if (EventsByRow* cache = getEventCacheAtTime(time))
        for (Obh const& h : *cache) {
            mEvent* ev = eventOf(h);
            A_ASSERT(ev);
            f(h, *ev);
        }
}

void mLayer::getEventsAtTimeAndRow(double time, double row, std::list<Obh>& out)
{
    forEachCachedAt(time, [&](Obh const& h, mEvent& ev) {
        if (!ev.presentAtTimeTest(time) || !ev.presentAtRowTest(row))
            return;
        M_TRACE("FOUND AT TIME=%.1f/Y=%.1f - %s: start=%.1f, y=%.1f\n", time, row,
                ev.getTitle().c(), ev.getStartTime(), ev.getRowIndex());
        out.push_back(h);
    });
}

void mLayer::getActiveEventsAtTime(double time, std::list<Obh>& out)
{
    forEachCachedAt(time, [&](Obh const& h, mEvent& ev) {
        A_ASSERT(ev.presentAtTimeTest(time));
        if (ev.getIsActive())
            out.push_back(h);
    });
}

void mLayer::printEventsAtTime(double time)
{
    EventsByRow* cache = getEventCacheAtTime(time);
    if (!cache) {
        A_TRACE("NO FX found AT TIME=%.1f\n", time);
        return;
    }
    for (Obh const& h : *cache)
        if (mEvent* ev = eventOf(h))
            A_TRACE("FOUND AT TIME=%.1f - %s: start=%.1f, y=%.1f, present=%s\n", time,
                    ev->getTitle().c(), ev->getStartTime(), ev->getRowIndex(),
                    ev->presentAtTimeTest(time) ? "YES" : "no");
}

void mLayer::printEventsCache()
{
    if (!myEventCache)
        return;
    A_TRACE("   TIME=%.1f, %i fx\n", myEventCacheTime, static_cast<int>(myEventCache->size()));
    for (Obh const& h : *myEventCache)
        if (mEvent* ev = eventOf(h))
            A_TRACE("      %s time=[%.1f, %.1f] ri=[%.1f]\n", "mEvent", ev->getStartTime(),
                    ev->getTimeLength(), ev->getRowIndex());
}

void mLayer::setEventPositionsWithinLayer()
{
    double unused = 0;
    getSpans(unused, unused, unused, unused, false);
    double const s = getSceneYScale();
    mScale const* ts = getTimelineTimeScale();
    for (Obh const& h : myEvents) {
        mEvent* ev = eventOf(h);
        A_ASSERT(ev);
        if (!ev->giGet()) // items are made for what is in view only
            continue;
        double const x = ts ? ts->localToParent(ev->getStartTime()) : ev->getStartTime();
        ev->giSetPos(std::floor(x), (ev->getRowIndex() - mySpanMinRi) / s);
    }
}

uiGi* mLayer::giNew(Obh& hdl) const
{
    if (!myGi) {
        myGi = new giLayer(hdl);
        myGi->setZValue(0.0);
    }
    return myGi;
}

// Records --------------------------------------------------------------------------------------

bool mLayer::xmlReadEndElement(XmlReader& r, char const* name)
{
    for (char const* own : {"layer_event", "layer_events", "time_scale", "row_scale"})
        if (std::strcmp(name, own) == 0)
            return true;
    return mLayerData::xmlReadEndElement(r, name);
}

bool mLayer::xmlWrite(XmlWriter& w)
{
    bool ok = Obh::xmlWriteHdl(w, "time_scale", myTimeScaleHdl, nullptr);
    ok = Obh::xmlWriteHdl(w, "row_scale", myRowScaleHdl, nullptr) && ok;
    ok = w.startElement("layer_events") && ok;
    for (Obh const& h : myEvents) {
        A_ASSERT(eventOf(h));
        ok = Obh::xmlWriteHdl(w, "layer_event", h, nullptr) && ok;
    }
    ok = w.endElement() && ok;
    return mLayerData::xmlWrite(w) && ok;
}

void mLayer::postLoadHook()
{
    if (myRowScale)
        myRowScale->setNumericUnits();
    // What the document lists was checked when it was read; anything else is let go.
    unfileEvents();
    std::vector<Obh> strangers;
    for (Obh const& h : myEvents) {
        mEvent* ev = eventOf(h);
        if (!ev || ev->getLayer() != this || ev->filedIn()) {
            A_TRACE_C("red", "mLayer::postLoadHook: %s lists an event that is not its own\n",
                      getTitle().c());
            strangers.push_back(h);
            continue;
        }
        fileEvent(*ev, h);
    }
    for (Obh const& h : strangers)
        myEvents.erase(h);
    mySpansValid = false;
    myEventCache.reset();
}
