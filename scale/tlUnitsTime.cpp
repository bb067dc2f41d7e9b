#include "tlUnitsTime.h"

#include "aAssert.h"
#include "mRangeDay.h"
#include "mRangeHour.h"
#include "mRangeHours.h"
#include "mRangeMins1.h"
#include "mRangeMins15.h"
#include "mRangeMins5.h"
#include "mRangeMonth.h"
#include "mRangeMonths.h"
#include "mRangeNano.h"
#include "mRangeSecs.h"
#include "mRangeWeek.h"
#include "mRangeYear.h"
#include "scTrace.h"

#include <algorithm>
#include <cstring>
#include <cmath>
#include <limits>

std::vector<aTimeDelta> tlUnitsTime::ourSmallZooms;
std::map<double, rtl::ref<mRangeSetups>> tlUnitsTime::ourRangeSetupsPerZoom;

namespace {

// A range's band ends where one of its units is this many pixels wide.
constexpr double UnitPixels = 30.0;
constexpr double SecsPerYear = 31536000.0;
constexpr double YearZoom = SecsPerYear / UnitPixels; // 1,051,200
// Above about eight days per pixel the zoom moves in whole millions of seconds.
constexpr double MillionsFrom = 686022.0;

} // namespace

tlUnitsTime::tlUnitsTime()
    : tlUnits(1.1, 1e14)
{
    if (ourSmallZooms.empty()) {
        for (long ns : {1L, 5L, 10L, 50L, 100L})
            ourSmallZooms.emplace_back(0L, 0L, ns);
        for (long ns = 500; ns <= 49990; ns += 10)
            ourSmallZooms.emplace_back(0L, 0L, ns);
    }

    double prevUnit = 0.0;
    auto band = [&](double unit, double& begin, double& end) {
        begin = prevUnit / UnitPixels;
        end = unit / UnitPixels;
        prevUnit = unit;
    };
    auto add = [&](mRange* r) { myRanges.push_back(r); };
    auto index = [&] { return static_cast<int>(myRanges.size()); };
    double b = 0.0, e = 0.0;

    long scale = 1;
    for (int exp = 0; exp <= 8; ++exp, scale *= 10)
        for (long k = 1; k <= 9; ++k) {
            band(double(k * scale) / 1e9, b, e);
            add(new mRangeNano(k * scale, this, index(), b, e, true));
        }
    for (double s : {1.0, 5.0, 15.0, 30.0}) {
        band(s, b, e);
        add(new mRangeSecs(s, this, index(), b, e, true));
    }
    band(60, b, e);
    add(new mRangeMins1(this, index(), b, e, true));
    band(300, b, e);
    add(new mRangeMins5(this, index(), b, e, true));
    band(900, b, e);
    add(new mRangeMins15(this, index(), b, e, true));
    band(3600, b, e);
    add(new mRangeHour(this, index(), b, e, false));
    // Several hours, and below several months, do not move the running unit: an empty band,
    // never an anchor, still a header row through the presets.
    for (int h : {3, 6, 12})
        add(new mRangeHours(h, this, index(), 3600 / UnitPixels, 3600 / UnitPixels, false));
    band(86400, b, e);
    add(new mRangeDay(this, index(), b, e));
    band(604800, b, e);
    add(new mRangeWeek(this, index(), b, e));
    band(2419200, b, e);
    add(new mRangeMonth(this, index(), b, e));
    for (int m : {3, 6})
        add(new mRangeMonths(m, this, index(), 2419200 / UnitPixels, 2419200 / UnitPixels));
    add(new mRangeYear(1, this, index(), 2419200 / UnitPixels, YearZoom));
    add(new mRangeYear(5, this, index(), YearZoom, 5 * YearZoom));
    double prevYears = 5;
    double power = 1;
    for (int exp = 1; exp <= 8; ++exp) {
        power *= 10;
        for (double k : {1.0, 5.0}) {
            double const years = k * power;
            auto* r = new mRangeYear(int(years), this, index(), prevYears * YearZoom, years * YearZoom);
            rtl::str note;
            note.set(k == 1.0 ? "%.0f * 1" : "%.0f * 5", double(exp));
            r->setNote(note);
            add(r);
            prevYears = years;
        }
    }
    add(new mRangeYear(500000000, this, index(), prevYears * YearZoom, std::numeric_limits<double>::max()));

    for (mRange* r : myRanges) {
        A_ASSERT(r);
        SC_TRACE_C("iyellow", "RANGE [%s] ==> zoom %f -> zoom %f\n", r->desc().c(), r->getZoomBegin(),
                   r->getZoomEnd());
    }
    if (ourRangeSetupsPerZoom.empty())
        initRangeSetups();
}

tlUnitsTime::~tlUnitsTime()
{
    for (mRange* r : myRanges) {
        if (Ob::ourTrace)
            for (int i = 0; i < 15; ++i)
                SC_TRACE_C("ired", "%s", "\n");
        delete r;
    }
    myRanges.clear();
}

std::vector<mRange*>* tlUnitsTime::getRanges()
{
    A_ASSERT(myRanges.size()>0);
    return &myRanges;
}

int tlUnitsTime::countZoomSteps(double)
{
    A_ASSERT(!"tlUnitsTime::countZoomSteps");
    return 0;
}

int tlUnitsTime::clampZoomToSmallZooms(aTimeDelta& zoom)
{
    aTimeDelta const& last = ourSmallZooms.back();
    if (zoom.asSeconds() > last.asSeconds())
        return -1;
    // At most the last step: a positive zoom is nanoseconds alone; none at all goes to the first.
    long const ns = zoom.asSeconds() <= 0 ? 0 : zoom.getNanoseconds();
    auto it = std::lower_bound(ourSmallZooms.begin(), ourSmallZooms.end(), ns,
                               [](aTimeDelta const& step, long v) { return step.getNanoseconds() < v; });
    A_ASSERT(it != ourSmallZooms.end());
    zoom = *it;
    return static_cast<int>(it - ourSmallZooms.begin());
}

int tlUnitsTime::quantizeZoom(aTimeDelta& zoom)
{
    return clampZoomToSmallZooms(zoom);
}

double tlUnitsTime::calcNextZoomOut(double z, float)
{
    if (!std::isfinite(z))
        return z;
    double next = z < MillionsFrom ? z * myZoomFactor : z;
    if (next >= MillionsFrom) {
        double const base = std::trunc(z / 1e6) * 1e6;
        double const step = std::max(base / 5, 1e6);
        next = base;
        while (z >= next || next - z < 1e6)
            next += step;
    }
    if (next >= myMaxZoom) {
        SC_TRACE_C("ired", "ZOOM LIMIT REACHED! %g nextZoom\n", next);
        return z;
    }
    aTimeDelta zd(z), nd(next);
    int const a = clampZoomToSmallZooms(zd);
    int const b = clampZoomToSmallZooms(nd);
    if (a >= 0 && b >= 0 && a == b) {
        int const lastStep = static_cast<int>(ourSmallZooms.size()) - 1;
        if (a < lastStep)
            next = ourSmallZooms[static_cast<std::size_t>(a + 1)].asSeconds();
        else
            next = ourSmallZooms.back().asSeconds() + ourSmallZooms.front().asSeconds();
    }
    SC_TRACE_C("iyellow", "Last Zoom(%g), Next Zoom(Out): %g\n", z, next);
    return next;
}

double tlUnitsTime::calcNextZoomIn(double z, float)
{
    double next = z / myZoomFactor;
    aTimeDelta zd(z), nd(next);
    int const a = clampZoomToSmallZooms(zd);
    int const b = clampZoomToSmallZooms(nd);
    if (a >= 1 && b >= 1 && a == b)
        next = ourSmallZooms[static_cast<std::size_t>(b - 1)].asSeconds();
    SC_TRACE_C("iyellow", "Last Zoom(%g), Next Zoom(In): %g\n", z, next);
    return next;
}

mRange* tlUnitsTime::pickRangeForZoom(double z)
{
    A_ASSERT(myRanges.size()>0);
    SC_TRACE_C("iyellow", "Selecting from %i ranges for zoom %f\n", static_cast<int>(myRanges.size()), z);
    for (mRange* r : myRanges)
        if (r->getZoomBegin() < z && z <= r->getZoomEnd()) {
            SC_TRACE_C("iyellow", "PICKED RANGE %s, %.2f -> %.2f, FOR zoom %.2f\n", r->desc().c(),
                       r->getZoomBegin(), r->getZoomEnd(), z);
            return r;
        }
    SC_TRACE_C("red", "No range picked!\n");
    return nullptr;
}

mRangeSetups* tlUnitsTime::getRangeSetupsForZoom(double zoom)
{
    A_ASSERT(ourRangeSetupsPerZoom.size()>0);
    for (auto const& e : ourRangeSetupsPerZoom) {
        mRangeSetups* rss = e.second.get();
        double const stop = static_cast<float>(rss->getStopZoom());
        double const start = static_cast<float>(rss->getStartZoom());
        if (start <= zoom && zoom < stop)
            return rss;
    }
    return nullptr;
}

mRangeSetups* tlUnitsTime::configureVisibleRangesForZoom(mRange* picked, double zoom, std::vector<mRange*>& visible)
{
    A_ASSERT(myRanges.size()>0);
    visible.clear();
    mRangeSetups* preset = getRangeSetupsForZoom(zoom);
    int const p = picked ? picked->getIndex() : 0;
    int const n = static_cast<int>(myRanges.size());
    if (preset) {
        for (mRange* r : myRanges) {
            r->setOffset(r->getIndex() - p);
            if (preset->getRangeSetup(r))
                visible.push_back(r);
        }
    } else {
        auto take = [&](int i, int offset) {
            mRange* r = myRanges[static_cast<std::size_t>(i)];
            r->setOffset(offset);
            visible.push_back(r);
        };
        if (p < n - 2)
            take(p + 2, 2);
        if (p < n - 1)
            take(p + 1, 1);
        take(p, 0);
        if (p > 0)
            take(p - 1, -1);
    }
    stackHeader(visible, preset);
    return preset;
}

void tlUnitsTime::stackHeader(std::vector<mRange*>& visible, mRangeSetups* preset) const
{
    A_ASSERT(myRanges.size()>0);
    std::size_t const n = visible.size();
    std::vector<char> heads(n, 0);
    std::vector<float> weights(n, 100.0f);
    for (std::size_t k = 0; k < n; ++k) {
        std::size_t const i = n - 1 - k;
        mRange* r = visible[i];
        mRangeSetup* look = preset ? preset->getRangeSetup(r) : nullptr;
        r->setRangeSetup(look);
        bool const head = k == 0 || (look ? look->getDoNotStack() : i == 0);
        heads[i] = head;
        if (head)
            weights[i] = look ? look->getSizeScale() : 100.0f;
    }
    int row = -1;
    int depth = 0;
    float bandWeight = 0.0f;
    for (std::size_t k = 0; k < n; ++k) {
        std::size_t const i = n - 1 - k;
        mRange* r = visible[i];
        float rowScale = 0.0f;
        bool preSubtract = true;
        if (heads[i]) {
            ++row;
            depth = 0;
            bandWeight = weights[i];
            rowScale = bandWeight;
            preSubtract = false;
        } else {
            mRangeSetup const* look = r->getRangeSetup();
            rowScale = look ? (look->getSizeScale() / 100.0f) * bandWeight : bandWeight;
        }
        r->setPreSubtract(preSubtract);
        r->setRowScaleUnits(rowScale);
        r->setStackDepth(depth);
        r->setRow(row);
        ++depth;
    }
}

void tlUnitsTime::clearGrids()
{
    for (mRange* r : myRanges) {
        A_ASSERT(r);
        r->clearGrid();
    }
}

// The header presets ----------------------------------------------------------------------------

namespace {

// One setting of a row after its kind: a number, or a text (only rangeId takes one).
struct Setting
{
    char const* name;
    double value;
    char const* text;
};

constexpr Setting set(char const* name, double value)
{
    return {name, value, nullptr};
}

constexpr Setting id(char const* text)
{
    return {"rangeId", 0, text};
}

enum Kind { None, A0, B0, B1, C2, C1, C0 };

struct Row
{
    Kind kind;
    double secsPerUnit;
    char const* format;
    Setting settings[5];
};

struct Band
{
    double stop;
    Row rows[5];
};

constexpr double FirstStart = 1e-12;

// The literal bands, in order; each starts where the one before stops. Bands 11 and 16 stop
// below their start: no zoom selects them.
constexpr Band Bands[] = {
    {4.9e-09,
     {{A0, 86400, "%B <d> %Y ", {id("QQ"), set("maxSize", 18)}},
      {B0, 1, "%-l:%M:%S <P>", {set("sizeScale", 100), set("maxSize", 18)}},
      {C2, 1e-07, "+0<U7>", {set("doNotStack", 1), set("sizeScale", 100), set("tickSizePct", 100), set("maxSize", 20)}},
      {C1, 5e-08, nullptr, {set("tickSizePct", 35), set("labelPadT", 6)}},
      {C0, 1e-08, nullptr, {set("tickMaxSize", 4)}}}},
    {4.9e-08,
     {{A0, 86400, "%B <d> %Y ", {id("JJ"), set("maxSize", 18)}},
      {B0, 1, "%-l:%M:%S <P>", {set("sizeScale", 100), set("maxSize", 18)}},
      {C2, 1e-06, "+0<U6>", {set("doNotStack", 1), set("sizeScale", 100), set("tickSizePct", 100), set("maxSize", 20)}},
      {C1, 5e-07, nullptr, {set("tickSizePct", 35), set("labelPadT", 6)}},
      {C0, 1e-07, nullptr, {set("tickMaxSize", 4)}}}},
    {4.9e-07,
     {{A0, 86400, "%B <d> %Y ", {id("FF"), set("maxSize", 18)}},
      {B0, 1, "%-l:%M:%S <P>", {set("sizeScale", 100), set("maxSize", 18)}},
      {C2, 1e-05, "+0<U5>", {set("doNotStack", 1), set("sizeScale", 100), set("tickSizePct", 100), set("maxSize", 20)}},
      {C1, 5e-06, nullptr, {set("tickSizePct", 35), set("labelPadT", 6)}},
      {C0, 1e-06, nullptr, {set("tickMaxSize", 4)}}}},
    {1.25e-06,
     {{A0, 86400, "%B <d> %Y ", {id("AA"), set("maxSize", 18)}},
      {B0, 1, "%-l:%M:%S <P>", {set("sizeScale", 100), set("maxSize", 18)}},
      {C2, 0.0001, "+0<U4>", {set("doNotStack", 1), set("sizeScale", 100), set("tickSizePct", 100), set("maxSize", 20)}},
      {C1, 5e-05, nullptr, {set("tickSizePct", 35), set("labelPadT", 6)}},
      {C0, 1e-05, nullptr, {set("tickMaxSize", 4)}}}},
    {7.519e-06,
     {{A0, 86400, "%B <d> %Y ", {id("BB"), set("maxSize", 18)}},
      {B0, 1, "%-l:%M:%S <P>", {set("sizeScale", 100), set("maxSize", 18)}},
      {C2, 0.001, nullptr, {set("doNotStack", 1), set("sizeScale", 100), set("tickSizePct", 100), set("maxSize", 20)}},
      {C1, 0.0005, "+0<U4>", {set("tickSizePct", 35), set("labelPadT", 0), set("maxSize", 20)}},
      {C0, 0.0001, nullptr, {set("tickMaxSize", 4)}}}},
    {1.6271e-05,
     {{A0, 86400, "%B <d> %Y ", {id("CC"), set("maxSize", 18)}},
      {B0, 1, "%-l:%M:%S <P>", {set("sizeScale", 100), set("maxSize", 18)}},
      {C2, 0.001, "+0<U3>", {set("doNotStack", 1), set("sizeScale", 100), set("tickSizePct", 100), set("maxSize", 20)}},
      {C1, 0.0005, nullptr, {set("tickSizePct", 35), set("labelPadT", 6)}},
      {C0, 0.0001, nullptr, {set("tickMaxSize", 4)}}}},
    {8.2292e-05,
     {{A0, 86400, "%B <d> %Y ", {id("DD"), set("maxSize", 18)}},
      {B0, 1, "%-l:%M:%S <P>", {set("sizeScale", 100), set("maxSize", 18)}},
      {C2, 0.01, nullptr, {set("doNotStack", 1), set("sizeScale", 100), set("tickSizePct", 100), set("maxSize", 20)}},
      {C1, 0.005, "+0<U3>", {set("tickSizePct", 35), set("labelPadT", 0), set("maxSize", 20)}},
      {C0, 0.001, nullptr, {set("tickMaxSize", 4)}}}},
    {0.000194059,
     {{A0, 86400, "%B <d> %Y ", {id("EE"), set("maxSize", 18)}},
      {B0, 1, "%-l:%M:%S <P>", {set("sizeScale", 100), set("maxSize", 18)}},
      {C2, 0.01, "+0<U2>", {set("doNotStack", 1), set("sizeScale", 100), set("tickSizePct", 100), set("maxSize", 20)}},
      {C1, 0.005, nullptr, {set("tickSizePct", 30), set("labelPadT", 6)}},
      {C0, 0.001, nullptr, {set("tickMaxSize", 4)}}}},
    {0.00074425,
     {{A0, 86400, "%B <d> %Y ", {id("FF"), set("maxSize", 18)}},
      {B0, 1, "%-l:%M:%S <P>", {set("sizeScale", 100), set("maxSize", 18)}},
      {C2, 0.1, nullptr, {set("doNotStack", 1), set("sizeScale", 100), set("tickSizePct", 100), set("maxSize", 20)}},
      {C1, 0.05, "+0<U2>", {set("tickSizePct", 35), set("labelPadT", 0), set("maxSize", 20)}},
      {C0, 0.01, nullptr, {set("tickMaxSize", 4)}}}},
    {0.00212343,
     {{A0, 86400, "%B <d> %Y ", {id("GG"), set("maxSize", 18)}},
      {B0, 1, "%-l:%M:%S <P>", {set("sizeScale", 100), set("maxSize", 18)}},
      {C2, 0.1, "+0<U1>", {set("doNotStack", 1), set("sizeScale", 100), set("tickSizePct", 100), set("maxSize", 20)}},
      {C1, 0.05, nullptr, {set("tickSizePct", 30), set("labelPadT", 6)}},
      {C0, 0.01, nullptr, {set("tickMaxSize", 4)}}}},
    {2.56934e-05,
     {{A0, 86400, "%B <d> %Y ", {id("HH"), set("maxSize", 18)}},
      {B0, 1, "%-l:%M:%S <P>", {set("sizeScale", 100), set("maxSize", 18)}},
      {C2, 0.1, "+0<U1>", {set("doNotStack", 1), set("sizeScale", 100), set("tickSizePct", 100), set("maxSize", 20)}}}},
    {0.00733063,
     {{A0, 86400, "%B <d> %Y", {id("II"), set("maxSize", 18)}},
      {B0, 60, "%-l:%M <P>", {set("sizeScale", 100), set("maxSize", 18)}},
      {C2, 1, nullptr,
       {set("doNotStack", 1), set("sizeScale", 100), set("tickSizePct", 100), set("maxSize", 20), set("labelPadT", 0)}},
      {C1, 0.5, "%-S<U1> sec", {set("tickSizePct", 35), set("labelPadT", 6)}},
      {C0, 0.1, nullptr, {set("tickMaxSize", 4)}}}},
    {0.0230066,
     {{A0, 86400, "%B <d> %Y", {id("JJ"), set("maxSize", 18)}},
      {B0, 60, "%-l:%M <P>", {set("sizeScale", 100), set("maxSize", 18)}},
      {C2, 15, nullptr,
       {set("doNotStack", 1), set("sizeScale", 100), set("tickSizePct", 100), set("maxSize", 20), set("labelPadT", 0)}},
      {C1, 5, nullptr, {set("tickSizePct", 35)}},
      {C0, 1, ":%S", {set("tickMaxSize", 4), set("labelPadT", 6)}}}},
    {0.0961044,
     {{A0, 86400, "%B <d> %Y", {id("KK"), set("maxSize", 18)}},
      {B0, 60, "%-l:%M <P>", {set("sizeScale", 100), set("maxSize", 18)}},
      {C2, 15, nullptr,
       {set("doNotStack", 1), set("sizeScale", 100), set("tickSizePct", 100), set("maxSize", 20), set("labelPadT", 0)}},
      {C1, 5, ":%S", {set("tickSizePct", 35), set("labelPadT", 6)}},
      {C0, 1, nullptr, {set("tickMaxSize", 4)}}}},
    {0.585276,
     {{A0, 86400, "%B <d> %Y", {id("MM"), set("maxSize", 18)}},
      {B0, 60, "%-l:%M <P>", {set("sizeScale", 100), set("maxSize", 18)}},
      {C2, 15, ":%S",
       {set("doNotStack", 1), set("sizeScale", 100), set("tickSizePct", 100), set("maxSize", 20), set("labelPadT", 0)}},
      {C1, 5, nullptr, {set("tickSizePct", 35)}},
      {C0, 1, nullptr, {set("tickMaxSize", 4)}}}},
    {0.131,
     {{A0, 900, "%B <d> %Y", {id("NN")}},
      {B0, 300, "e%-l:%M <P>", {}},
      {C2, 60, nullptr, {set("tickSizePct", 50)}},
      {C1, 30, nullptr, {set("tickSizePct", 35)}},
      {C0, 15, nullptr, {}}}},
    {0.338,
     {{A0, 3600, "%B <d> %Y", {id("OO")}},
      {B0, 900, nullptr, {}},
      {C2, 300, nullptr, {}},
      {C1, 60, "%-l:%M <P>", {}},
      {C0, 30, nullptr, {}}}},
    {2.8,
     {{A0, 86400, "%B <d> %Y", {id("PP")}},
      {B0, 3600, nullptr, {}},
      {C2, 900, nullptr, {}},
      {C1, 300, "%-l:%M <P>", {}},
      {C0, 60, nullptr, {}}}},
    {12,
     {{A0, 86400, "%B <d> %Y", {id("QQ")}},
      {B0, 10800, nullptr, {}},
      {C2, 3600, nullptr, {set("tickSizePct", 50)}},
      {C1, 900, "%-l:%M<P>", {set("tickSizePct", 35)}},
      {C0, 300, nullptr, {}}}},
    {77,
     {{A0, 86400, "%B <d> %Y", {id("RR")}},
      {B0, 21600, nullptr, {}},
      {C2, 10800, nullptr, {}},
      {C1, 3600, "%-l<P>", {}},
      {C0, 900, nullptr, {}}}},
    {175,
     {{A0, 86400, "%A, %B <d>, %Y", {id("SS")}},
      {B0, 43200, nullptr, {}},
      {C2, 21600, nullptr, {set("tickSizePct", 50)}},
      {C1, 10800, "%-l <P>", {set("tickSizePct", 35)}},
      {C0, 3600, nullptr, {}}}},
    {250,
     {{A0, 86400, "%B <d> %Y", {id("TT")}},
      {B1, 43200, nullptr, {set("tickSizePct", 50)}},
      {C1, 21600, "%-l <P>", {set("tickSizePct", 35)}},
      {C0, 10800, nullptr, {}}}},
    {370,
     {{A0, 2419200, "%B %Y", {id("UU")}},
      {B1, 86400, "%A, %B <d>", {set("tickSizePct", 50)}},
      {C1, 43200, nullptr, {set("tickSizePct", 35)}},
      {C0, 21600, nullptr, {}}}},
    {600,
     {{A0, 2419200, "%B %Y", {id("VV")}},
      {B1, 86400, "%a, %b <d>", {}},
      {C1, 43200, nullptr, {set("tickSizePct", 40)}},
      {C0, 21600, nullptr, {}}}},
    {1000,
     {{A0, 2419200, "%B %Y", {id("WW")}},
      {B1, 86400, "%a, <d>", {}},
      {C1, 43200, nullptr, {set("tickSizePct", 40)}},
      {C0, 21600, nullptr, {}}}},
    {1250,
     {{A0, 2419200, "%B %Y", {id("XX")}},
      {B0, 604800, nullptr, {}},
      {C2, 86400, "%a, %-d", {set("tickSizePct", 50)}},
      {C1, 43200, nullptr, {set("tickSizePct", 35)}},
      {C0, 21600, nullptr, {}}}},
    {1851,
     {{A0, 2419200, "%B %Y", {id("YY")}},
      {B1, 604800, nullptr, {}},
      {C1, 86400, "<d>", {set("tickSizePct", 70), set("labelPadT", 8)}}}},
    {2480,
     {{A0, 2419200, "%B %Y", {id("ZZ")}},
      {B1, 604800, nullptr, {}},
      {C1, 86400, "%-d", {set("tickSizePct", 70), set("labelPadT", 8)}}}},
    {5776,
     {{A0, 2419200, "%B %Y", {id("BA")}},
      {B1, 604800, nullptr, {}},
      {C1, 86400, "%-d", {set("tickSizePct", 70), set("labelPadT", 8), set("labelAlignH", 0)}}}},
    {9355,
     {{A0, 2419200, "%B %Y", {id("BB")}},
      {B1, 604800, "<d>", {}},
      {C0, 86400, nullptr, {}}}},
    {22514,
     {{A0, 31536000, "%Y", {id("BC"), set("maxSize", 20)}},
      {B0, 2419200, "%B", {set("sizeScale", 40), set("maxSize", 15)}},
      {C1, 604800, "%-d", {set("doNotStack", 1), set("sizeScale", 60), set("maxSize", 15), set("labelPadT", 0)}}}},
    {27365,
     {{A0, 31536000, "%Y", {id("BD")}},
      {B0, 14515200, nullptr, {}},
      {C2, 7257600, nullptr, {}},
      {C1, 2419200, "%B", {}},
      {C0, 604800, nullptr, {}}}},
    {40431,
     {{A0, 31536000, "%Y", {id("BE")}},
      {B0, 14515200, nullptr, {}},
      {C2, 7257600, nullptr, {}},
      {C1, 2419200, "%b", {}},
      {C0, 604800, nullptr, {}}}},
    {72609,
     {{A0, 31536000, "%Y", {}},
      {B0, 14515200, nullptr, {}},
      {C2, 7257600, nullptr, {}},
      {C1, 2419200, "%b", {}}}},
    {89339,
     {{A0, 31536000, "%Y", {}},
      {B0, 14515200, nullptr, {}},
      {C2, 7257600, nullptr, {set("tickSizePct", 50)}},
      {C1, 2419200, "%-m", {set("tickSizePct", 35), set("labelPadT", 5)}}}},
    {168464,
     {{A0, 31536000, "%Y", {}},
      {B0, 14515200, nullptr, {}},
      {C2, 7257600, nullptr, {set("tickSizePct", 50)}},
      {C1, 2419200, "%-m", {set("tickSizePct", 35), set("labelPadT", 10), set("labelAlignH", 0)}}}},
    {329000,
     {{B0, 31536000, "%Y", {set("maxSize", 30), set("labelPadL", 4)}},
      {C2, 14515200, nullptr, {set("tickSizePct", 20)}},
      {C1, 7257600, nullptr, {set("tickSizePct", 15)}},
      {C0, 2419200, nullptr, {set("tickSizePct", 10), set("tickMaxSize", 5)}}}},
    {564392,
     {{B0, 31536000, "%Y", {set("maxSize", 30), set("labelPadL", 4)}},
      {C2, 14515200, nullptr, {set("tickSizePct", 15)}},
      {C1, 7257600, nullptr, {set("tickSizePct", 8)}}}},
    {686022,
     {{B0, 31536000, "%Y", {set("maxSize", 30), set("labelPadL", 4), set("labelAlignH", 0)}},
      {C2, 14515200, nullptr, {set("tickSizePct", 15)}},
      {C1, 7257600, nullptr, {set("tickSizePct", 8)}}}},
};

// Tick colours of the four tick levels: white, ever more transparent.
constexpr int TickAlpha[] = {180, 150, 130, 120};

void apply(mRangeSetup* rs, Setting const& s)
{
    auto const* f = ObRecord::find(mRangeSetupData::fields(), rtl::str(s.name));
    A_ASSERT(f);
    if (s.text) {
        ObRecord::fromText<mRangeSetupData>(*rs, *f, rtl::str(s.text));
        return;
    }
    switch (f->kind) {
    case ObAttrKind::Int: rs->*(f->i) = static_cast<int>(s.value); break;
    case ObAttrKind::Float: rs->*(f->f) = static_cast<float>(s.value); break;
    case ObAttrKind::Double: rs->*(f->d) = s.value; break;
    case ObAttrKind::Bool: rs->*(f->b) = s.value != 0; break;
    case ObAttrKind::Str: A_ASSERT(!"a text setting without its text"); break;
    }
    if (std::strcmp(s.name, "doNotStack") == 0)
        A_ASSERT(rs->getDoNotStack()==(s.value != 0));
}

} // namespace

mRangeSetups* tlUnitsTime::newRangeSetupsForZoom(double start, double stop)
{
    rtl::str name;
    name.set("PRESET %f --> %f", start, stop);
    double const key = (stop - start) / 2;
    auto* rss = new mRangeSetups;
    rss->setStartZoom(start);
    rss->setStopZoom(stop);
    ourRangeSetupsPerZoom[key] = rtl::ref<mRangeSetups>(rss);
    rss->setPresetName(name);
    return rss;
}

mRangeSetup* tlUnitsTime::initRs_SuperTick(mRangeSetups* rss, double secsPerUnit, int tickLevel, bool doNotStack,
                                           char const* labelFormat, int sizeScale) const
{
    A_ASSERT(tickLevel >= 0 && tickLevel <= 3);
    auto* rs = new mRangeSetup;
    rtl::ref<mRangeSetup> handle(rs);
    rss->addRangeSetup(secsPerUnit, handle);
    rs->setDoNotStack(doNotStack);
    rs->setMaxSize(-1);
    rs->setSizeScale(float(sizeScale));
    rs->setShowTick(true);
    rs->setShowLabels(labelFormat != nullptr);
    rs->setShowSpanLabel(false);
    rs->setShowBg(false);
    rs->setShowRamp(false);
    rs->setShowTopLine(false);
    rs->setShowBottomLine(false);
    rs->setShowRangeBgColoring(false);
    rs->setTickSizePct(100);
    rs->setTickColorR(255);
    rs->setTickColorG(255);
    rs->setTickColorB(255);
    rs->setTickColorA(TickAlpha[tickLevel]);
    if (labelFormat) {
        rs->setLabelFormat(rtl::str(labelFormat));
        rs->setSpanLabelFormat(rtl::str(labelFormat));
    }
    return rs;
}

mRangeSetup* tlUnitsTime::initRs_RangeA0(mRangeSetups* rss, double secsPerUnit, char const* labelFormat) const
{
    mRangeSetup* rs = initRs_SuperTick(rss, secsPerUnit, 0, true, labelFormat, 100);
    rs->setMaxSize(30);
    rs->setShowSpanLabel(true);
    return rs;
}

mRangeSetup* tlUnitsTime::initRs_RangeB0(mRangeSetups* rss, double secsPerUnit, char const* labelFormat) const
{
    mRangeSetup* rs = initRs_SuperTick(rss, secsPerUnit, 0, true, labelFormat, 50);
    rs->setMaxSize(30);
    return rs;
}

mRangeSetup* tlUnitsTime::initRs_RangeB1(mRangeSetups* rss, double secsPerUnit, char const* labelFormat) const
{
    mRangeSetup* rs = initRs_SuperTick(rss, secsPerUnit, 1, true, labelFormat, 50);
    rs->setMaxSize(30);
    return rs;
}

mRangeSetup* tlUnitsTime::initRs_RangeC2(mRangeSetups* rss, double secsPerUnit, char const* labelFormat) const
{
    return initRs_SuperTick(rss, secsPerUnit, 1, false, labelFormat, 100);
}

mRangeSetup* tlUnitsTime::initRs_RangeC1(mRangeSetups* rss, double secsPerUnit, char const* labelFormat) const
{
    return initRs_SuperTick(rss, secsPerUnit, 2, false, labelFormat, 100);
}

mRangeSetup* tlUnitsTime::initRs_RangeC0(mRangeSetups* rss, double secsPerUnit, char const* labelFormat) const
{
    mRangeSetup* rs = initRs_SuperTick(rss, secsPerUnit, 3, false, labelFormat, 100);
    rs->setTickSizePct(20);
    rs->setTickMaxSize(10);
    return rs;
}

void tlUnitsTime::initRangeSetups()
{
    A_ASSERT(ourRangeSetupsPerZoom.size()==0);
    using RowKind = mRangeSetup* (tlUnitsTime::*)(mRangeSetups*, double, char const*) const;
    RowKind const kinds[] = {nullptr,
                             &tlUnitsTime::initRs_RangeA0,
                             &tlUnitsTime::initRs_RangeB0,
                             &tlUnitsTime::initRs_RangeB1,
                             &tlUnitsTime::initRs_RangeC2,
                             &tlUnitsTime::initRs_RangeC1,
                             &tlUnitsTime::initRs_RangeC0};
    double start = FirstStart;
    for (Band const& band : Bands) {
        mRangeSetups* rss = newRangeSetupsForZoom(start, band.stop);
        for (Row const& row : band.rows) {
            if (row.kind == None)
                break;
            mRangeSetup* rs = (this->*kinds[row.kind])(rss, row.secsPerUnit, row.format);
            for (Setting const& s : row.settings)
                if (s.name)
                    apply(rs, s);
        }
        start = band.stop;
    }
    double m = 1.0;
    for (int i = 0; i <= 24; ++i, m *= 10.0) {
        rtl::str name;
        mRangeSetups* rss = newRangeSetupsForZoom(start, 3000000 * m);
        name.set("3e06 * %g [%i]", m, i);
        rss->setPresetName(name);
        mRangeSetup* rs = initRs_RangeB0(rss, 157680000 * m, "<Y>");
        rs->setMaxSize(30);
        rs->setLabelPadL(4);
        initRs_RangeC1(rss, 31536000 * m, nullptr)->setTickSizePct(15);
        start = 3000000 * m;

        rss = newRangeSetupsForZoom(start, 6000000 * m);
        name.set("6e06 * %g", m);
        rss->setPresetName(name);
        rs = initRs_RangeB0(rss, 315360000 * m, "<Y>");
        rs->setMaxSize(30);
        rs->setLabelPadL(4);
        initRs_RangeC1(rss, 157680000 * m, nullptr)->setTickSizePct(15);
        start = 6000000 * m;
    }
}
