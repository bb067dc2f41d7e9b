#include "mScale.h"

#include "aAssert.h"
#include "aNumber.h"
#include "mLocalFields.h"
#include "mRange.h"
#include "scTrace.h"
#include "tlUnitsNumeric.h"
#include "tlUnitsTime.h"
#include "XmlReader.h"
#include "XmlWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

tlUnitsTime* mScale::ourTimeUnits = nullptr;
tlUnitsNumeric* mScale::ourNumericUnits = nullptr;

namespace {

// b - a whole seconds: exact while the difference is a long, else as near as doubles get (a
// window zoomed far out spans more).
double wholeSecondsBetween(long a, long b)
{
    long d = 0;
    return __builtin_sub_overflow(b, a, &d) ? double(b) - double(a) : double(d);
}

// The difference of two instants in seconds, exact down to the nanosecond before rounding.
double secondsBetween(aTs const& a, aTs const& b)
{
    return wholeSecondsBetween(a.sec(), b.sec()) + double(b.nsec() - a.nsec()) * 1e-9;
}

// The zoom in seconds as aTimeDelta::asSeconds sums it, here where the mapping can inline it.
inline double zoomSeconds(aTimeDelta const& z)
{
    return z.getNanoseconds() / 1e9 + (double(z.getSeconds()) + double(z.getDays()) * 86400.0);
}

// Spans up to this many nanoseconds (about 100 days) are scaled as one exact integer.
constexpr double ExactSpanNs = 9007199254740992.0; // 2^53

constexpr long NsPerSec = 1000000000L;

// The stamp of the last grid build of any scale: every build takes the next (main thread only).
unsigned long ourLastGridStamp = 0;

aTs fromSeconds(double v)
{
    aTs t;
    t.setSecondsSince1970(v, 0);
    return t;
}

} // namespace

void mScale::makeUnits()
{
    // Made on first need and kept for the life of the process; every scale shares them.
    if (!ourTimeUnits)
        ourTimeUnits = new tlUnitsTime;
    if (!ourNumericUnits)
        ourNumericUnits = new tlUnitsNumeric(1.1, 0.0, 1e-10);
}

mScale::mScale()
{
    makeUnits();
    setVisStart(0.0);
    setVisEnd(-1.0);
}

// The ranges and their grids are shared by every scale: another one may still show them.
mScale::~mScale() = default;

// The lifecycle resets: flags, selection kinds, units and range; the window 0 .. -1 (an end
// before the start: never laid out).
void mScale::resetState()
{
    // Only forgotten: the ranges are shared, and the grid they hold may be another scale's.
    myRange = nullptr;
    myNeedsReconfig = true;
    myNeedsRecenter = false;
    mySelType = SelNone;
    myLastSelType = SelNone;
    myRangesWithGrids.clear();
    myGridStamp = 0;
    // A different geometry from any real one: the first reconfiguration builds the grid.
    myGridParentPos = -1;
    myGridParentSize = -1;
    myGridZoom = -1.0;
    setVisStart(0.0);
    setVisEnd(-1.0);
}

void mScale::initObj()
{
    myZoom.set(0L, 1L, 0L);
    makeUnits();
    myUnits = nullptr;
    resetState();
    setParentPos(0);
    setParentSize(1);
    setVisStart(0.0);
    setVisEnd(-1.0);
}

void mScale::recycleObj()
{
    myUnits = nullptr;
    resetState();
}

void mScale::clearObj()
{
    myUnits = nullptr;
    resetState();
}

bool mScale::isTimeScale() const
{
    return myUnits && myUnits == ourTimeUnits;
}

void mScale::traceNeedsReconfig(char const* what) const
{
    SC_TRACE_C("ired", "%s scale needsReconfig %s\n", isTimeScale() ? "Time" : "Num", what);
}

void mScale::raiseIfMoved(aTs const& oldStart, aTs const& oldEnd, char const* what) const
{
    if (myVisStart != oldStart || myVisEnd != oldEnd) {
        traceNeedsReconfig(what);
        myNeedsReconfig = true;
    }
}

// Units -----------------------------------------------------------------------------------------

tlUnits* mScale::setTimeUnits()
{
    makeUnits();
    if (myUnits == ourTimeUnits)
        return myUnits;
    myUnits = ourTimeUnits;
    myUnitType = "time";
    setHasMinValue(false);
    setHasMaxValue(false);
    myNeedsReconfig = true;
    setZoom(60.0);
    return myUnits;
}

tlUnits* mScale::setNumericUnits()
{
    makeUnits();
    if (myUnits == ourNumericUnits)
        return myUnits;
    myUnitType = "numeric";
    myUnits = ourNumericUnits;
    setHasMinValue(true);
    setHasMaxValue(true);
    myNeedsReconfig = true;
    return myUnits;
}

tlUnits* mScale::setNumericUnits(double a, double b)
{
    tlUnits* u = setNumericUnits();
    zoomToLocalRange(a, b, 1.0f);
    return u;
}

void mScale::hookUnitType(rtl::str, rtl::str now)
{
    if (now == "time") {
        if (myUnits != ourTimeUnits)
            setTimeUnits();
    } else if (!myUnits || myUnits != ourNumericUnits) {
        setNumericUnits();
    }
}

tlUnits* mScale::getUnits() const
{
    A_ASSERT(myUnits);
    return myUnits;
}

// Mapping ---------------------------------------------------------------------------------------

// The hot path of every drawn item: the record's members are read directly. Mapping needs the
// window only, not the grid: whichever scale laid out the shared ranges last does not matter here.
double mScale::localToParent(aTs const& t) const
{
    if (needsLayout())
        reconfig();
    double const w = secondsBetween(myVisStart, myVisEnd);
    if (w == 0.0)
        return myParentPos;
    double const x = myParentPos + myParentSize * secondsBetween(myVisStart, t) / w;
    A_ASSERT(!std::isnan(x));
    return x;
}

double mScale::localToParent(double v) const
{
    double const x = Pixels(*this)(v);
    A_ASSERT(!std::isnan(x));
    return x;
}

double mScale::Pixels::exact(double v) const
{
    return myScale.localToParent(fromSeconds(v));
}

mScale::Pixels::Pixels(mScale const& scale) : myScale(scale)
{
    if (scale.needsLayout())
        scale.reconfig();
    mySec = scale.myVisStart.sec();
    myNs = scale.myVisStart.nsec();
    myWindow = secondsBetween(scale.myVisStart, scale.myVisEnd);
    myPos = scale.myParentPos;
    mySize = scale.myParentSize;
    myStart = double(mySec) + double(myNs) * 1e-9;
    myPerSecond = myWindow != 0.0 ? mySize / myWindow : 0.0;
}

aTs mScale::parentToLocal(double x) const
{
    if (needsLayout())
        reconfig();
    A_ASSERT(!std::isnan(x));
    if (myParentSize == 0)
        return myVisStart;
    double const f = (x - myParentPos) / myParentSize;
    long const s0 = myVisStart.sec(), n0 = myVisStart.nsec();
    double const spanNs =
        std::fabs(wholeSecondsBetween(s0, myVisEnd.sec()) * 1e9 + double(myVisEnd.nsec() - n0));
    if (spanNs < ExactSpanNs) {
        // The same nanosecond as scaling days, seconds and nanoseconds apart, in one product,
        // rounded as they are (a cut and a correction: cheaper than a call to round).
        double const off = spanNs * f;
        if (std::fabs(off) < ExactSpanNs) {
            long offNs = static_cast<long>(off);
            double const rest = off - double(offNs);
            offNs += (rest >= 0.5) - (rest <= -0.5);
            long sec = 0;
            if (!__builtin_add_overflow(s0, offNs / NsPerSec, &sec))
                return aTs(sec, n0 + offNs % NsPerSec);
        }
    }
    aTimeDelta span = myVisEnd - myVisStart;
    span.abs();
    return myVisStart + makeTimeDeltaMult(span, f);
}

double mScale::getPixelsPerValue() const
{
    return getParentSize() / (getMaxVisValue() - getMinVisValue());
}

double mScale::getMinVisValue() const
{
    if (needsLayout() && myNeedsRecenter)
        reconfig();
    return myVisStart.asSeconds();
}

double mScale::getMaxVisValue() const
{
    if (needsLayout() && myNeedsRecenter)
        reconfig();
    return myVisEnd.asSeconds();
}

bool mScale::checkScreenPos(int p) const
{
    return p < 1000;
}

void mScale::getLocalSpan(aTs& start, aTs& end) const
{
    start = myVisStart;
    end = myVisEnd;
}

void mScale::setVisStart(double v) const
{
    myVisStart.setSecondsSince1970(v, 0);
}

void mScale::setVisEnd(double v) const
{
    myVisEnd.setSecondsSince1970(v, 0);
}

void mScale::setVisStart(aTs const& t) const
{
    myVisStart = t;
}

void mScale::setVisEnd(aTs const& t) const
{
    myVisEnd = t;
}

// Geometry --------------------------------------------------------------------------------------

bool mScale::setParentSize(int v)
{
    int const old = getParentSize();
    bool const result = mScaleData::setParentSize(v);
    if (old != v) {
        myNeedsRecenter = true;
        traceNeedsReconfig("setParentSize");
        myNeedsReconfig = true;
    }
    return result;
}

bool mScale::setParentPos(int v)
{
    int const old = getParentPos();
    bool const result = mScaleData::setParentPos(v);
    if (old != v) {
        myNeedsRecenter = true;
        traceNeedsReconfig("setParentPos");
        myNeedsReconfig = true;
    }
    return result;
}

void mScale::sizeChanged()
{
    traceNeedsReconfig("sizeChanged");
    myNeedsReconfig = true;
    myNeedsRecenter = true;
}

// Zoom as stored, and amounts of time -----------------------------------------------------------

double mScale::getZoom() const
{
    return myZoom.asSeconds();
}

long mScale::getZoomWhole() const
{
    return myZoom.getDays() * 86400 + myZoom.getSeconds();
}

long mScale::getZoomFract() const
{
    return myZoom.getNanoseconds();
}

aTimeDelta mScale::getZoomDelta() const
{
    return myZoom;
}

aTimeDelta mScale::makeTimeDelta(double days, double secs, double ns) const
{
    return aTimeDelta(days, secs, ns);
}

aTimeDelta mScale::makeTimeDeltaMult(aTimeDelta const& d, double f) const
{
    return makeTimeDelta(d.getDays() * f, d.getSeconds() * f, d.getNanoseconds() * f);
}

double mScale::simplifyTd(double days, double secs, double ns) const
{
    return makeTimeDelta(days, secs, ns).asSeconds();
}

double mScale::timedeltaSecs(aTimeDelta const& d) const
{
    return d.asSeconds();
}

double mScale::roundChunkSize(double c) const
{
    double const size = getParentSize();
    int const n = c > 0 ? aNumber::saturateToInt(size / c) : 0;
    return n > 0 ? size / n : size;
}

double mScale::chunkSizeForUnits(int) const
{
    return myRange ? myRange->getSecondsPerUnit() / getZoom() : 0.0;
}

// Window end and calendar moves -----------------------------------------------------------------

void mScale::moveEnd()
{
    aTs const end = myVisStart + myZoom * getParentSize();
    aTs const oldStart = myVisStart;
    setVisEnd(end.asSeconds());
    SC_TRACE_C("iwhite", "moveEnd: %s %f, PLUS zoom %f * screenSize %i (=%f) == %s %f\n",
               oldStart.getStr(false).c(), oldStart.asSeconds(), getZoom(), getParentSize(),
               getZoom() * getParentSize(), myVisEnd.getStr(false).c(), myVisEnd.asSeconds());
}

void mScale::moveRange(int years, int months, int days, int hours, int minutes, int seconds, int ns)
{
    if (!years && !months && !days && !hours && !minutes && !seconds && !ns)
        return;
    aTs const moved = aTs::moveTs(myVisStart, years, months, days, hours, minutes, seconds, ns);
    setVisStart(moved.asSeconds());
    moveEnd();
}

// Grid ------------------------------------------------------------------------------------------

void mScale::clearGrid() const
{
    SC_TRACE_C("iwhite", "Clearing %i ranges with grids\n", static_cast<int>(myRangesWithGrids.size()));
    // A range laid out since by another scale holds that scale's grid: it stays.
    for (mRange* r : myRangesWithGrids)
        if (r->gridStamp() == myGridStamp)
            r->clearGrid();
    myRangesWithGrids.clear();
    if (!myUnits)
        return;
    std::vector<mRange*>* v = myUnits->getRanges();
    A_ASSERT(v);
    A_ASSERT(v->size()>0);
}

void mScale::buildGrid() const
{
    double const pos = getParentPos();
    double const size = getParentSize();
    double const end = pos + size;
    myGridParentPos = getParentPos();
    myGridParentSize = getParentSize();
    myGridZoom = getZoom();
    myGridVisStart = myVisStart;
    if (myVisRanges.empty())
        return;
    SC_TRACE_C("imagenta", "BUILD GRID, vis %i, size %f\n", static_cast<int>(myVisRanges.size()), size);
    aTs t = myVisStart;
    aTs prev = t - myZoom;
    mRange::LabelOwners labels;
    mRange::TickOwners ticks;
    clearGrid();
    myGridStamp = ++ourLastGridStamp;
    mLocalFields::Scope keep;
    for (auto r = myVisRanges.rbegin(); r != myVisRanges.rend(); ++r) {
        (*r)->beginGrid(myVisStart, myVisEnd, myZoom, pos, end);
        (*r)->setGridStamp(myGridStamp);
        myRangesWithGrids.insert(*r);
    }
    double x = pos;
    for (; x <= end; x += 1.0) {
        for (auto r = myVisRanges.rbegin(); r != myVisRanges.rend(); ++r)
            (*r)->checkBuildGridline(prev, t, myZoom, x, labels, ticks);
        prev = t;
        t = t + myZoom;
    }
    for (auto r = myVisRanges.rbegin(); r != myVisRanges.rend(); ++r)
        (*r)->finishGrid(myVisStart, myZoom, x);
}

// Zoom, pan and reconfiguration -----------------------------------------------------------------

double mScale::zoomLimit() const
{
    if (!isTimeScale() || myParentSize <= 0)
        return MaxZoom;
    // Whole seconds: the window the zoom spans is then no wider than the dated times.
    return std::min(MaxZoom, std::floor(2 * DatedSeconds / myParentSize));
}

void mScale::setZoom(double z)
{
    double const limit = zoomLimit();
    if (z > limit) {
        SC_TRACE_C("ired", "setZoom: %g is beyond the largest zoom, held at %g\n", z, limit);
        z = limit;
    }
    if (z == getZoom())
        return;
    // Zooms that are no amount of time at all never reach the window.
    if (!std::isfinite(z) || z <= 0) {
        SC_TRACE_C("ired", "setZoom: %g is no zoom, kept %g\n", z, getZoom());
        return;
    }
    if (z >= MaxZoom)
        myZoom.set(MaxZoomDays, 0L, 0L);
    else
        myZoom.set(0.0, z, 0.0);
    if (myUnits)
        myUnits->quantizeZoom(myZoom);
    // Below a nanosecond per pixel the window could never move.
    if (!myZoom.isPositive())
        myZoom.set(0L, 0L, 1L);
    traceNeedsReconfig("setZoom");
    myNeedsReconfig = true;
    myNeedsRecenter = true;
}

void mScale::zoomIn()
{
    setZoom(getUnits()->calcNextZoomIn(getZoom(), 1.0f));
}

void mScale::zoomOut()
{
    setZoom(getUnits()->calcNextZoomOut(getZoom(), 1.0f));
}

void mScale::zoomInAtLocalPos(double x, int n)
{
    zoomAtLocalPos(x, n, true);
}

void mScale::zoomOutAtLocalPos(double x, int n)
{
    zoomAtLocalPos(x, n, false);
}

// The value under x is read from the window as it stands, before the steps: read after them, from
// the window refitted for the new zoom, it would zoom around the window's centre instead.
void mScale::zoomAtLocalPos(double x, int n, bool in)
{
    aTs t;
    double pct = 0.5;
    bool const anchored = valueAtPixel(x, t, pct);
    for (int i = 0; i < n; ++i) {
        if (in)
            zoomIn();
        else
            zoomOut();
    }
    if (anchored)
        keepValueAt(t, pct);
}

void mScale::postCenterZoomAtTimePos(double x)
{
    aTs t;
    double pct = 0.5;
    if (valueAtPixel(x, t, pct))
        keepValueAt(t, pct);
}

bool mScale::valueAtPixel(double x, aTs& t, double& pct) const
{
    double const pos = getParentPos();
    double const size = getParentSize();
    if (!(size > 0) || std::isnan(x)) {
        // No axis to keep a point on: the next reconfiguration centres the window.
        SC_TRACE_C("ired", "postCenterZoomAtTimePos: parent size %g, not centred\n", size);
        return false;
    }
    bool const inside = x >= pos && x <= pos + size;
    t = parentToLocal(inside ? x : pos + size / 2);
    pct = inside ? (x - pos) / size : 0.5;
    return true;
}

void mScale::keepValueAt(aTs const& t, double pct)
{
    aTs const oldStart = myVisStart, oldEnd = myVisEnd;
    aTimeDelta span(getParentSize() * getZoom());
    centerOnLocalPos(t, pct, span);
    raiseIfMoved(oldStart, oldEnd, "postCenterZoomAtTimePos");
    myNeedsRecenter = false;
}

void mScale::zoomToLocalRange(aTs const& a, aTs const& b, float factor)
{
    if (getParentSize() <= 0) {
        SC_TRACE_C("ired", "zoomToLocalRange: parent size %i, window kept\n", getParentSize());
        return;
    }
    aTimeDelta d = b - a;
    double const total = factor * d.asSeconds();
    aTimeDelta dd = makeTimeDeltaMult(d, factor);
    setZoom(std::fabs(total) / getParentSize());
    d.abs();
    aTs const c = a + makeTimeDeltaMult(d, 0.5);
    centerOnLocalPos(c, 0.5, dd);
}

void mScale::zoomToLocalRange(double a, double b, float factor)
{
    zoomToLocalRange(fromSeconds(a), fromSeconds(b), factor);
}

void mScale::nudge(double f, bool forward)
{
    aTs const oldStart = myVisStart, oldEnd = myVisEnd;
    if (isTimeScale())
        SC_TRACE_C("iwhite", "NUDGE ORIG: %s -> %s, size %f\n", myVisStart.getStr(false).c(),
                   myVisEnd.getStr(false).c(), secondsBetween(myVisStart, myVisEnd));
    else
        SC_TRACE_C("iwhite", "NUDGE ORIG: %f -> %f, size %f\n", myVisStart.asSeconds(), myVisEnd.asSeconds(),
                   secondsBetween(myVisStart, myVisEnd));
    aTimeDelta span = myVisEnd - myVisStart;
    SC_TRACE_C("iwhite", "Current VISIBLE DT: %li %li %li, sec=%f\n", span.getDays(), span.getSeconds(),
               span.getNanoseconds(), span.asSeconds());
    span.abs();
    aTimeDelta const d = makeTimeDeltaMult(span, f);
    SC_TRACE_C("iwhite", forward ? "Current NUDGE   DT[ %f ]: %li %li %li, sec=%f\n"
                                 : "Current NUDGE DT [ %f ]: %li %li %li, sec=%f\n",
               f, d.getDays(), d.getSeconds(), d.getNanoseconds(), d.asSeconds());
    if (forward) {
        myVisStart = myVisStart + d;
        myVisEnd = myVisEnd + d;
    } else {
        myVisStart = myVisStart - d;
        myVisEnd = myVisEnd - d;
    }
    char const* dir = forward ? "FORWARD" : "BACK";
    if (isTimeScale())
        SC_TRACE_C("iwhite", "NUDGE %s to: %s -> %s\n", dir, myVisStart.getStr(false).c(), myVisEnd.getStr(false).c());
    else
        SC_TRACE_C("iwhite", "NUDGE %s to: %f -> %f, size %f\n", dir, myVisStart.asSeconds(), myVisEnd.asSeconds(),
                   secondsBetween(myVisStart, myVisEnd));
    clampPan(span, !forward, forward);
    raiseIfMoved(oldStart, oldEnd, forward ? "nudgeFwd" : "nudgeBack");
    myNeedsRecenter = false;
}

void mScale::nudgeVisibleWindowForward(double f)
{
    nudge(f, true);
}

void mScale::nudgeVisibleWindowBackward(double f)
{
    nudge(f, false);
}

void mScale::clampPan(aTimeDelta const& dt, bool doMin, bool doMax) const
{
    aTs const oldStart = myVisStart, oldEnd = myVisEnd;
    double const maxV = getMaxValue();
    double const minV = getMinValue();
    double const s = myVisStart.asSeconds();
    double const e = myVisEnd.asSeconds();
    double const range = maxV - minV;
    double const w = e - s;
    double maxClamp = maxV, minClamp = minV;
    if (isTimeScale())
        keepDated();
    if (!getHasMaxValue())
        doMax = false;
    if (!getHasMinValue())
        doMin = false;
    if (!doMin && !doMax) {
        raiseIfMoved(oldStart, oldEnd, "clampPan");
        return;
    }
    if (w > range) {
        // Wider than the allowed range: the window must hold all of it.
        doMin = getHasMaxValue();
        minClamp = maxV - w;
        doMax = getHasMinValue();
        maxClamp = minV + w;
    }
    bool moved = false;
    if (doMax && e > maxClamp) {
        setVisEnd(maxClamp);
        setVisStart(maxClamp - w);
        moved = true;
        if (isTimeScale())
            SC_TRACE_C("yellow", "CLAMP END to MAX VALUE %s: %s -> %s\n", fromSeconds(maxClamp).getStr(false).c(),
                       myVisStart.getStr(false).c(), myVisEnd.getStr(false).c());
        else
            SC_TRACE_C("yellow", "CLAMP END to MAX VALUE %f: %f -> %f\n", maxClamp, myVisStart.asSeconds(),
                       myVisEnd.asSeconds());
    }
    if (doMin && s < minClamp) {
        setVisEnd(minClamp + w);
        setVisStart(minClamp);
        moved = true;
        if (isTimeScale())
            SC_TRACE_C("yellow", "CLAMP START to MIN VALUE %s: %s -> %s\n", fromSeconds(minClamp).getStr(false).c(),
                       myVisStart.getStr(false).c(), myVisEnd.getStr(false).c());
        else
            SC_TRACE_C("yellow", "CLAMP START to MIN VALUE %f: %f -> %f\n", minClamp, myVisStart.asSeconds(),
                       myVisEnd.asSeconds());
    }
    if (moved)
        A_ASSERT((myVisEnd == myVisStart) == !bool(dt));
    raiseIfMoved(oldStart, oldEnd, "clampPan");
}

void mScale::keepDated() const
{
    double const s = myVisStart.asSeconds();
    double const e = myVisEnd.asSeconds();
    if (s >= -DatedSeconds && e <= DatedSeconds)
        return;
    double const w = e - s;
    if (w >= 2 * DatedSeconds) {
        setVisStart(-DatedSeconds);
        setVisEnd(DatedSeconds);
    } else if (s < -DatedSeconds) {
        setVisStart(-DatedSeconds);
        setVisEnd(-DatedSeconds + w);
    } else {
        setVisEnd(DatedSeconds);
        setVisStart(DatedSeconds - w);
    }
    SC_TRACE_C("yellow", "CLAMP to the DATED TIMES: %f -> %f\n", myVisStart.asSeconds(),
               myVisEnd.asSeconds());
}

bool mScale::needsLayout() const
{
    return myNeedsReconfig || myParentPos != myGridParentPos || myParentSize != myGridParentSize ||
           zoomSeconds(myZoom) != myGridZoom || myVisStart != myGridVisStart;
}

bool mScale::holdsItsGrid() const
{
    for (mRange const* r : myVisRanges)
        if (myGridStamp == 0 || r->gridStamp() != myGridStamp)
            return false;
    return true;
}

bool mScale::needsReconfig() const
{
    return needsLayout() || !holdsItsGrid();
}

void mScale::reconfig() const
{
    A_ASSERT(myUnits);
    double const size = getParentSize();
    double const pos = getParentPos();
    if (isTimeScale())
        SC_TRACE_C("iwhite", "=========== RECONFIG TIME GRID size=%f, pos = %f, vis %s -> %s\n", size, pos,
                   myVisStart.getStr(false).c(), myVisEnd.getStr(false).c());
    else
        SC_TRACE_C("igreen", "========== RECONFIG NUM GRID size=%f, pos = %f, vis %f -> %f\n", size, pos,
                   myVisStart.asSeconds(), myVisEnd.asSeconds());
    myUnits->quantizeZoom(myZoom);
    // An axis grown wider than its zoom was chosen for would spread its window past the dated
    // times: the zoom comes down to the limit, and the window is refitted to it.
    if (double const limit = zoomLimit(); getZoom() > limit) {
        myZoom = aTimeDelta(limit);
        myNeedsRecenter = true;
    }
    double const z = getZoom();
    if (z != myGridZoom || !myRange) {
        myRange = myUnits->pickRangeForZoom(z);
        A_ASSERT(myRange);
    }
    A_ASSERT(myRange);
    myRangeSetups = myUnits->configureVisibleRangesForZoom(myRange, z, myVisRanges);
    // Without a size there is no width to refit: the window stays, for when the size comes back.
    if (myNeedsRecenter && size > 0) {
        aTs c;
        bool chosen = false;
        if (mySelType == SelSpan) {
            aTimeDelta half = mySelEnd - mySelStart;
            half.abs();
            c = mySelStart + makeTimeDeltaMult(half, 0.5);
            SC_TRACE_C("iwhite", "time center = %s %f\n", c.getStr(false).c(), c.asSeconds());
            chosen = myVisStart <= c && c <= myVisEnd;
        } else if (mySelType == SelPoint) {
            c = mySelStart;
            SC_TRACE_C("iwhite", "time center = %s %f\n", c.getStr(false).c(), c.asSeconds());
            chosen = myVisStart <= c && c <= myVisEnd;
        }
        if (!chosen) {
            aTimeDelta half = myVisEnd - myVisStart;
            half.abs();
            c = myVisStart + makeTimeDeltaMult(half, 0.5);
            SC_TRACE_C("iwhite", "default time center = %s %f, start %f, end %f\n", c.getStr(false).c(),
                       c.asSeconds(), myVisStart.asSeconds(), myVisEnd.asSeconds());
        }
        double const w = secondsBetween(myVisStart, myVisEnd);
        double pct = w > 0 ? secondsBetween(myVisStart, c) / w : 0.5;
        // A window never laid out (its end before its start) centres on its start.
        if (!(pct >= 0.0 && pct <= 1.0))
            pct = 0.5;
        SC_TRACE_C("iwhite", "Reconfig centering... time center = %s %f\n", c.getStr(false).c(), c.asSeconds());
        aTimeDelta d(size * z);
        centerOnLocalPos(c, pct, d);
        clampPan(d, true, true);
    }
    if (getParentSize() != myGridParentSize || getParentPos() != myGridParentPos ||
        z != myGridZoom || myVisStart != myGridVisStart || !holdsItsGrid())
        buildGrid();
    myNeedsReconfig = false;
    myNeedsRecenter = false;
}

// Centring --------------------------------------------------------------------------------------

void mScale::centerOnLocalPos(aTs const& t, double pct, aTimeDelta& span) const
{
    if (!((pct >= 0.0) && (pct <= 1.0))) {
        SC_TRACE_C("ired", "pct %f\n", pct);
        A_ASSERT((pct >=0.0) && (pct <= 1.0));
    }
    if (!span)
        span = myVisEnd - myVisStart;
    span.abs();
    aTs const oldStart = myVisStart, oldEnd = myVisEnd;
    aTimeDelta const before = makeTimeDeltaMult(span, pct);
    aTimeDelta const after = makeTimeDeltaMult(span, 1.0 - pct);
    myVisStart = t - before;
    myVisEnd = t + after;
    // A time scale has no clamps of its own: this keeps its window where there are dates.
    clampPan(span, true, true);
    raiseIfMoved(oldStart, oldEnd, "centerOnLocalPos");
    myNeedsRecenter = false;
}

void mScale::centerOnLocalPos() const
{
    aTimeDelta span;
    centerOnLocalPos(0.5, span);
}

void mScale::centerOnLocalPos(double pct, aTimeDelta& span) const
{
    aTs now;
    now.stamp();
    SC_TRACE_C("iwhite", "mScale VIEW CURRENT TIME: %s\n", now.getStr(true).c());
    centerOnLocalPos(now, pct, span);
}

void mScale::centerOnLocalPos(aTs const& t) const
{
    aTimeDelta span;
    centerOnLocalPos(t, 0.5, span);
}

void mScale::centerOnLocalPos(double v, double pct) const
{
    aTimeDelta span;
    centerOnLocalPos(fromSeconds(v), pct, span);
}

void mScale::centerOnLocalPos(aTs const& t, double pct) const
{
    aTimeDelta span;
    centerOnLocalPos(t, pct, span);
}

void mScale::centerOnLocalPos(double v, double pct, aTimeDelta& span) const
{
    centerOnLocalPos(fromSeconds(v), pct, span);
}

void mScale::viewCurrentTime(bool select)
{
    aTs const oldStart = myVisStart, oldEnd = myVisEnd;
    aTs now;
    now.stamp();
    aTimeDelta span;
    centerOnLocalPos(now, 0.5, span);
    if (select) {
        mySelEnd = now;
        mySelStart = now;
        SC_TRACE_C("iwhite", "SET SELECTION! %s, %s, %s\n", mySelStart.getStr(true).c(), mySelEnd.getStr(true).c(),
                   now.getStr(true).c());
        // Only here is the selection's screen position kept: a locked view holds it there.
        mySelStartPos = getParentSize() > 0 ? localToParent(mySelStart) : getParentPos();
        mySelType = SelPoint;
    }
    raiseIfMoved(oldStart, oldEnd, "viewCurrentTime");
    myNeedsRecenter = false;
}

// Selection -------------------------------------------------------------------------------------

aTs mScale::pickAt(int x) const
{
    aTs const t = parentToLocal(x);
    if (!isTimeScale() || std::fabs(t.asSeconds()) <= DatedSeconds)
        return t;
    return aTs(t.asSeconds() < 0 ? -DatedSeconds : DatedSeconds);
}

void mScale::localSelectAtParentPos(int x)
{
    saveLastSelection();
    mySelStart = pickAt(x);
    mySelType = SelPoint;
}

void mScale::localSelectAtParentSpan(int x1, int x2)
{
    saveLastSelection();
    mySelStart = pickAt(x1);
    mySelEnd = pickAt(x2);
    mySelType = SelSpan;
}

void mScale::getSelection(aTs& start, aTs& end, int& kind) const
{
    start = mySelStart;
    end = mySelEnd;
    kind = mySelType;
}

void mScale::saveLastSelection()
{
    if (mySelType == SelNone)
        return;
    myLastSelStart = mySelStart;
    myLastSelEnd = mySelEnd;
    myLastSelType = mySelType;
}

void mScale::getLastSelection(aTs& start, aTs& end, int& kind) const
{
    start = myLastSelStart;
    end = myLastSelEnd;
    kind = myLastSelType;
}

void mScale::clearLocalSelection()
{
    saveLastSelection();
    mySelType = SelNone;
}

void mScale::zoomToLocalSelection(bool& zoomed, bool& moved)
{
    // A span of no length has nothing to fit: it is centred like a point.
    if (mySelType == SelSpan && mySelStart != mySelEnd) {
        zoomToLocalRange(mySelStart, mySelEnd, 1.0f);
        zoomed = true;
        moved = true;
        return;
    }
    if (mySelType == SelNone)
        return;
    aTs const oldStart = myVisStart, oldEnd = myVisEnd;
    aTimeDelta span = myVisEnd - myVisStart;
    centerOnLocalPos(mySelStart, 0.5, span);
    zoomed = false;
    moved = true;
    raiseIfMoved(oldStart, oldEnd, "zoomToLocalSelection");
    myNeedsRecenter = false;
}

bool mScale::getScrollbarState(bool& show, double& pos, double& min, double& max, double& pageStep) const
{
    double const minVis = getMinVisValue();
    double const maxVis = getMaxVisValue();
    double const minTot = getMinValue();
    double const maxTot = getMaxValue();
    double const zoom = getZoom();
    double const sizeVis = maxVis - minVis;
    double const sizeTot = maxTot - minTot;
    if (!getHasMinValue() || !getHasMaxValue())
        return false;
    // Clamps the wrong way round, or a window never laid out, give no scroll bar.
    if (!(minTot <= maxTot) || !(minVis <= maxVis) || !(zoom > 0))
        return false;
    if (sizeTot == 0) {
        pos = min = max = pageStep = 0;
        return true;
    }
    show = sizeTot > sizeVis;
    min = 0;
    max = (sizeTot - sizeVis) / zoom;
    pageStep = sizeVis / zoom;
    pos = ((minVis - minTot) / sizeTot) * max;
    return true;
}

// Persistence -----------------------------------------------------------------------------------

namespace {

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
long daysFromCivil(long y, long m, long d)
{
    y -= m <= 2;
    long const era = (y >= 0 ? y : y - 399) / 400;
    long const yoe = y - era * 400;
    long const doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    long const doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

int daysInMonth(long y, int m)
{
    static constexpr int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool const leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return m == 2 && leap ? 29 : Days[m - 1];
}

// Offsets of real zones lie within a day either way.
constexpr long MaxGmtOffset = 26 * 3600;

bool refuse(XmlReader& r, char const* element, char const* why)
{
    char message[200];
    std::snprintf(message, sizeof message, "scale: <%s> refused: %s", element, why);
    A_TRACE_C("red", "%s\n", message);
    r.fail(message);
    return false;
}

struct StateElement
{
    char const* name;
    aTs mScale::*member;
};

} // namespace

bool mScale::xmlWriteTs(XmlWriter& w, aTs const& ts, char const* name)
{
    int y, mo, d, h, mi, s;
    long ns = 0, offset = 0;
    bool dst = false;
    if (!ts.get(y, mo, d, h, mi, s, ns, dst, offset))
        return false;
    bool ok = !name || w.startElement(name);
    ok = ok && w.addAttribute("yr", y) && w.addAttribute("mo", mo) && w.addAttribute("dy", d) &&
         w.addAttribute("hr", h) && w.addAttribute("mn", mi) && w.addAttribute("sc", s) &&
         w.addAttribute("ns", ns) && w.addAttribute("dst", dst) && w.addAttribute("gmtOffsetSecs", offset);
    if (name)
        ok = ok && w.endElement();
    return ok;
}

bool mScale::xmlReadTs(XmlReader& r, aTs& ts)
{
    return xmlReadTs(r, ts, "timestamp");
}

bool mScale::xmlReadTs(XmlReader& r, aTs& ts, char const* element)
{
    int y = 0;
    if (r.getAttr("yr", y)) {
        int mo = 0, d = 0, h = 0, mi = 0, s = 0;
        long ns = 0, offset = 0;
        bool dst = false;
        if (!r.getAttr("mo", mo) || !r.getAttr("dy", d) || !r.getAttr("hr", h) || !r.getAttr("mn", mi) ||
            !r.getAttr("sc", s) || !r.getAttr("ns", ns))
            return refuse(r, element, "a calendar field is missing");
        if (mo < 1 || mo > 12 || d < 1 || d > daysInMonth(y, mo) || h < 0 || h > 23 || mi < 0 || mi > 59 || s < 0 ||
            s > 60 || ns < 0 || ns > 999999999)
            return refuse(r, element, "the calendar fields name no time");
        bool const hasDst = r.getAttr("dst", dst);
        if (r.getAttr("gmtOffsetSecs", offset)) {
            // The stored offset decides the instant: the same one in every zone, also where the
            // fields name a wall-clock time that occurs twice.
            if (offset < -MaxGmtOffset || offset > MaxGmtOffset)
                return refuse(r, element, "the offset from GMT is beyond a day");
            long const secs = daysFromCivil(y, mo, d) * 86400 + h * 3600L + mi * 60L + s - offset;
            ts = aTs() + aTimeDelta(0L, secs, ns);
            return true;
        }
        aTs local;
        if (!local.set(y, mo, d, h, mi, s, ns, hasDst ? (dst ? 1 : 0) : -1, 0))
            return refuse(r, element, "the calendar fields cannot be set");
        ts = local;
        return true;
    }
    double num = 0.0;
    if (r.getAttr("num", num)) {
        if (!std::isfinite(num))
            return refuse(r, element, "the value is not a finite number");
        ts.setSecondsSince1970(num, 0);
        return true;
    }
    return false;
}

bool mScale::xmlWrite(XmlWriter& w)
{
    bool ok = w.startElement("zoom") && w.addAttribute("sc", myZoom.getSeconds()) &&
              w.addAttribute("dy", myZoom.getDays()) && w.addAttribute("ns", myZoom.getNanoseconds()) &&
              w.endElement();
    StateElement const elements[] = {
        {"last_sel_start", &mScale::myLastSelStart}, {"last_sel_end", &mScale::myLastSelEnd},
        {"sel_start", &mScale::mySelStart},          {"sel_end", &mScale::mySelEnd},
        {"vis_start", &mScale::myVisStart},          {"vis_end", &mScale::myVisEnd},
    };
    bool const time = isTimeScale();
    for (auto const& e : elements) {
        if (!ok)
            break;
        aTs const& value = this->*e.member;
        int y = 0, mo = 0, d = 0, h = 0, mi = 0, sec = 0;
        long ns = 0;
        if (time && value.get(y, mo, d, h, mi, sec, ns))
            ok = xmlWriteTs(w, value, e.name);
        else
            // Beyond the calendar's years an instant has no fields (a view zoomed far out): its
            // seconds keep it, and the reader takes either form.
            ok = w.startElement(e.name) && w.addAttribute("num", value.asSeconds()) && w.endElement();
    }
    return ok && ObObj::xmlWrite(w);
}

bool mScale::readState(XmlReader& r, char const* name, bool& handled)
{
    static StateElement const elements[] = {
        {"sel_start", &mScale::mySelStart},   {"sel_end", &mScale::mySelEnd},
        {"last_sel_start", &mScale::myLastSelStart}, {"last_sel_end", &mScale::myLastSelEnd},
        {"vis_start", &mScale::myVisStart},   {"vis_end", &mScale::myVisEnd},
        {"range_start", &mScale::myVisStart}, {"range_end", &mScale::myVisEnd},
    };
    handled = true;
    if (std::strcmp(name, "zoom") == 0) {
        long sc = 0, dy = 0, ns = 0;
        if (!r.getAttr("sc", sc) || !r.getAttr("dy", dy) || !r.getAttr("ns", ns))
            return false;
        bool const simplified = sc >= 0 && dy >= 0 && ns >= 0 && sc < 86400 && ns < 1000000000;
        if (!simplified || (sc == 0 && dy == 0 && ns == 0))
            return refuse(r, "zoom", "the zoom is not a positive amount of time per pixel");
        if (dy > MaxZoomDays || (dy == MaxZoomDays && (sc > 0 || ns > 0)))
            return refuse(r, "zoom", "the zoom is beyond the largest a scale holds");
        myZoom.set(dy, sc, ns);
        return true;
    }
    for (auto const& e : elements)
        if (std::strcmp(name, e.name) == 0)
            return xmlReadTs(r, this->*e.member, name);
    handled = false;
    return false;
}

bool mScale::xmlReadStartElement(XmlReader& r, char const* name, int attrCount)
{
    bool handled = false;
    bool const result = readState(r, name, handled);
    return handled ? result : ObObj::xmlReadStartElement(r, name, attrCount);
}

bool mScale::xmlReadEndElement(XmlReader& r, char const* name)
{
    for (char const* n : {"zoom", "last_sel_start", "last_sel_end", "sel_start", "sel_end", "vis_start", "vis_end",
                          "range_start", "range_end"})
        if (std::strcmp(name, n) == 0)
            return true;
    return ObObj::xmlReadEndElement(r, name);
}

void mScale::postLoadHook()
{
    if (myUnitType == "time") {
        setTimeUnits();
    } else {
        if (!(myUnitType == "numeric"))
            A_TRACE_C("red", "mScale: unit type '%s' is not known, numeric units taken\n", myUnitType.c());
        setNumericUnits();
    }
    // A stored geometry beyond any screen would make the first grid build scan it all.
    int const size = getParentSize() < 0 ? 0 : (getParentSize() > MaxParentSize ? MaxParentSize : getParentSize());
    int const pos = getParentPos() < -MaxParentSize ? -MaxParentSize
                                                    : (getParentPos() > MaxParentSize ? MaxParentSize : getParentPos());
    if (size != getParentSize() || pos != getParentPos())
        A_TRACE_C("red", "mScale: stored parent %i + %i clamped to %i + %i\n", getParentPos(), getParentSize(), pos,
                  size);
    myParentSize = size;
    myParentPos = pos;
    SC_TRACE_C("iwhite", "mScale:  %s - start %f, end %f\n", getNote().c(), myVisStart.asSeconds(),
               myVisEnd.asSeconds());
    traceNeedsReconfig("postLoadHook");
    myNeedsReconfig = true;
    myGridZoom = getZoom() - 1;
    myGridVisStart = myVisStart - aTimeDelta(1.0);
    myGridParentPos = getParentPos() - 1;
    myGridParentSize = getParentSize() - 1;
    myNeedsRecenter = false;
    if (myVisStart == myVisEnd)
        myVisEnd = myVisStart + aTimeDelta(1.0);
    if (myVisEnd < myVisStart) {
        aTs const start = myVisEnd;
        myVisEnd = myVisStart;
        myVisStart = start;
    }
    aTs const a = myVisStart, b = myVisEnd;
    zoomToLocalRange(a, b, 1.0f);
}

void mScale::dump(char const* prefix, int) const
{
    bool const time = isTimeScale();
    A_TRACE("%s%s Scale\n", prefix ? prefix : "", time ? "Time" : "Num");
    A_TRACE("  needs config %s %s\n", myNeedsReconfig ? "Y" : "n", myNeedsRecenter ? "Y" : "n");
    A_TRACE("    screen pos %i\n", getParentPos());
    A_TRACE("    screen sze %i\n", getParentSize());
    A_TRACE("         zoom: %f\n", getZoom());
    A_TRACE("     sel type: %i\n", mySelType);
    A_TRACE("           min %f\n", getMinValue());
    double const visSize = secondsBetween(myVisStart, myVisEnd);
    double const selSize = secondsBetween(mySelStart, mySelEnd);
    if (time) {
        A_TRACE("      minVis:  %s\n", myVisStart.getStr(true).c());
        A_TRACE("      maxVis:  %s\n", myVisEnd.getStr(true).c());
        A_TRACE("        size:  %f\n", visSize);
        A_TRACE("      selMin:  %s\n", mySelStart.getStr(true).c());
        A_TRACE("      selMax:  %s\n", mySelEnd.getStr(true).c());
        A_TRACE("      selSiz:  %f\n", selSize);
    } else {
        A_TRACE("        minVis %f\n", myVisStart.asSeconds());
        A_TRACE("        maxVis %f\n", myVisEnd.asSeconds());
        A_TRACE("        selMin %f\n", mySelStart.asSeconds());
        A_TRACE("        selMax %f\n", mySelEnd.asSeconds());
        A_TRACE("        selSiz %f\n", selSize);
    }
    A_TRACE("           max %f\n", getMaxValue());
    A_TRACE("       sizeTot %f\n", getMaxValue() - getMinValue());
}
