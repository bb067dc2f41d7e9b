#include "mRange.h"

#include "Xml.h"
#include "aAssert.h"
#include "aNumber.h"
#include "mFontMeasure.h"
#include "mRangeSetups.h"
#include "mRangeYear.h"
#include "scTrace.h"
#include "tlUnits.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <typeinfo>

namespace {

constexpr int LabelBufSize = 255;
// The least room between two labels of one row, in pixels.
constexpr double LabelGap = 2.0;

// The warning box of a preset label that fits at no size: eight lines of one width.
void tracePresetMisfit(char const* range, char const* label)
{
    rtl::str lines[8];
    char const* blank = "                                                               \n";
    lines[0] = blank;
    lines[1] = blank;
    lines[2].set("       Range: %s                                               \n", range);
    lines[3].set("       Label: %s                                               \n", label);
    lines[4] = "       BAD PRESET DETECTED!!!                                  \n";
    lines[5] = "       A specified label doesn't fit in the space provided     \n";
    lines[6] = blank;
    lines[7] = blank;
    int width = 0;
    for (auto const& l : lines)
        width = l.size() > width ? l.size() : width;
    for (auto& l : lines) {
        // Pad before the line end so every line of the box is as wide as the widest.
        rtl::str body = l.subStr(0, l.size() - 1);
        body.ljustMe(width - 1, ' ');
        body += "\n";
        SC_TRACE_C("ired", "%s", body.c());
    }
}

} // namespace

mRange::mRange(tlUnits* units, int index, double zoomBegin, double zoomEnd)
    : myUnits(units)
{
    setIndex(index);
    setZoomBegin(zoomBegin);
    setZoomEnd(zoomEnd);
    myGridStart.stamp();
}

mRange::~mRange()
{
    // The grid list belongs to clearGrid; a range that still holds one gives it back here.
    clearGrid();
    if (Ob::ourTrace)
        for (int i = 0; i < 30; ++i)
            SC_TRACE_C("ired", "%s", "\n");
}

// Tm::round's quotient, without its remainder: every column of a grid build asks for it.
int mRange::floorBucket(double v, double n)
{
    return aNumber::saturateToInt(std::floor(v / n));
}

void mRange::setFields(aTs& t, int year, int month, int day, int hour, int minute, int second, long ns)
{
    aTs moved;
    if (moved.set(year, month, day, hour, minute, second, ns, -1, 0))
        t = moved;
}

rtl::str mRange::desc() const
{
    return rtl::str(Xml::className(typeid(*this)).c_str());
}

double mRange::getVisibility(double zoom) const
{
    return (getZoomBegin() <= zoom && zoom <= getZoomEnd()) ? 1.0 : 0.0;
}

bool mRange::calcTickBgColor(mGridline*, double, int&, int&, int&, int&) const
{
    return false;
}

bool mRange::calcTickFgColor(mGridline*, double, int&, int&, int&, int&) const
{
    return false;
}

void mRange::roundTimeToUnits(aTs&) const {}

int mRange::getNumGridlines() const
{
    return myGridlines ? static_cast<int>(myGridlines->size()) : 0;
}

mGridline* mRange::getGridline(int i) const
{
    A_ASSERT(myGridlines && i >= 0 && i < static_cast<int>(myGridlines->size()));
    return (*myGridlines)[static_cast<std::size_t>(i)];
}

bool mRange::timeIsMajorGrid(aTs const&) const
{
    return false;
}

bool mRange::timeIsMinorGrid(aTs const&) const
{
    return false;
}

void mRange::lookUpRangeSetup(double secsPerPixel)
{
    mRangeSetups* rss = myUnits->getRangeSetupsForZoom(secsPerPixel);
    myRangeSetup = rss ? rss->getRangeSetup(this) : nullptr;
    A_ASSERT(rss);
}

void mRange::beginGrid(aTs const& start, aTs const&, aTimeDelta const& zoom, double x0, double x1)
{
    if (myGridlines)
        clearGrid();
    myGridlines = new std::vector<mGridline*>;
    myGridStamp = 0;
    myGridStart = start;
    myGridBeginX = x0;
    myGridEndX = x1;
    myGridSecondsPerPixel = zoom.asSeconds();
    lookUpRangeSetup(myGridSecondsPerPixel);
    myGridlines->push_back(nullptr);
}

// The first whole second after previous, up to current, whose clock no longer shows the offset
// that previous shows (zones change their offsets on whole seconds).
long mRange::offsetStepSecond(aTs const& previous, aTs const& current, long offsetBefore)
{
    long lo = previous.sec() - (previous.nsec() < 0 ? 1 : 0);
    long hi = current.sec() + (current.nsec() > 0 ? 1 : 0);
    while (hi - lo > 1) {
        long const mid = lo + (hi - lo) / 2;
        mLocalFields const f = fieldsOf(aTs(mid, 0L));
        if (f.ok && f.gmtOffset == offsetBefore)
            lo = mid;
        else
            hi = mid;
    }
    return hi;
}

// A unit boundary in the column, also where the wall clock steps back (the end of daylight
// saving) and a unit starts again within the repeated time: the hour row of a 25-hour day
// shows 25 hours. Only the clock times shown after the step count there: a unit that began
// before the step, in this column or the one before, has its gridline already.
bool mRange::boundaryInColumn(aTs const& previous, aTs const& current, double secsPerPixel) const
{
    if (timesSpanAGridline(previous, current, secsPerPixel))
        return true;
    mLocalFields const before = fieldsOf(previous);
    mLocalFields const now = fieldsOf(current);
    if (!before.ok || !now.ok || now.gmtOffset >= before.gmtOffset)
        return false;
    // The instant just before the step's first clock time, read on the clock before the step.
    long const back = before.gmtOffset - now.gmtOffset;
    long const step = offsetStepSecond(previous, current, before.gmtOffset);
    aTs const probe = aTs(step - back, 0L) - aTimeDelta(0L, 0L, 1L);
    return timesSpanAGridline(probe, current, secsPerPixel);
}

void mRange::checkBuildGridline(aTs const& previous, aTs const& current, aTimeDelta const& zoom, double x,
                                LabelOwners& labelOwners, TickOwners& tickOwners)
{
    if (!boundaryInColumn(previous, current, zoom.asSeconds()))
        return;
    int const key = aNumber::saturateToInt(x);
    auto* g = new mGridline(static_cast<int>(myGridlines->size()), current, x, -1);
    bool const tickDone = tickOwners.count(key) != 0 && getIndex() != 0;
    auto const label = labelOwners.find(key);
    bool const labelDone = label != labelOwners.end() && label->second == getRow();
    g->setTickDone(tickDone);
    g->setLabelDone(labelDone);
    g->setWeight(timeIsMajorGrid(current) ? 2 : (timeIsMinorGrid(current) ? 1 : 0));
    myGridlines->push_back(g);
    if (!tickDone && (!myRangeSetup || myRangeSetup->getShowTick()))
        tickOwners[key] = getIndex();
    if (!labelDone && (!myRangeSetup || myRangeSetup->getShowLabels()))
        labelOwners[key] = getRow();
}

// The unit running at the left edge began before the first column (a boundary there would be a
// gridline of its own). A unit longer than its nominal length (a month of 31 days, a leap year)
// would put it inside the window, where no boundary is: it stays in the column before.
void mRange::placeLeadingGridline(aTs const& start, double secsPerPixel, double xWithoutBoundary)
{
    double const pixelsPerUnit = getSecondsPerUnit() / secsPerPixel;
    mGridline* lead = nullptr;
    if (myGridlines->size() > 1)
        lead = new mGridline(
            -1, start - aTimeDelta(secsPerPixel),
            std::min((*myGridlines)[1]->getParentPos() - pixelsPerUnit, myGridBeginX - 1.0), -1);
    else
        lead = new mGridline(-1, start, xWithoutBoundary, -1);
    (*myGridlines)[0] = lead;
}

void mRange::labelGrid(aTimeDelta const& zoom)
{
    if (myRangeSetup)
        usePresetLabelingScheme(zoom);
    else
        autoPickLabelingScheme(zoom);
}

void mRange::finishGrid(aTs const& start, aTimeDelta const& zoom, double x)
{
    placeLeadingGridline(start, zoom.asSeconds(), x);
    labelGrid(zoom);
}

void mRange::clearGrid()
{
    if (!myGridlines)
        return;
    for (mGridline* g : *myGridlines)
        delete g;
    delete myGridlines;
    myGridlines = nullptr;
    myGridStamp = 0;
}

void mRange::buildGrid(aTs& start, aTs& end, aTimeDelta& zoom, double x0, double x1, LabelOwners& labelOwners,
                       TickOwners& tickOwners)
{
    A_ASSERT(myGridlines);
    myGridStart = start;
    myGridBeginX = x0;
    myGridEndX = x1;
    double const spp = zoom.asSeconds();
    myGridSecondsPerPixel = spp;
    lookUpRangeSetup(spp);
    SC_TRACE_C("iwhite", "--------------------------------------------------- BUILD GRID %s\n", desc().c());
    SC_TRACE_C("iwhite", "secStart %g\n", start.asSeconds());
    SC_TRACE_C("iwhite", "Build TD\n");
    SC_TRACE_C("iwhite", "BUILD GRID %s, deltaT = [ %li, %li, %li ], zoom = %g\n", desc().c(), zoom.getDays(),
               zoom.getSeconds(), zoom.getNanoseconds(), spp);
    SC_TRACE_C("iwhite", "    row:   %i\n", getRow());
    SC_TRACE_C("iwhite", "    stack: %i\n", getStackDepth());
    (void)end;
    mLocalFields::Scope keep;
    aTs prev = start - zoom;
    aTs t = start;
    int made = 0;
    double x = std::trunc(x0);
    for (; x <= x1; x += 1.0) {
        std::size_t const before = myGridlines->size();
        checkBuildGridline(prev, t, zoom, x, labelOwners, tickOwners);
        if (myGridlines->size() > before)
            myGridlines->back()->setIndex(made++);
        prev = t;
        t = t + zoom;
    }
    placeLeadingGridline(start, spp, x0);
    labelGrid(zoom);
}

rtl::str mRange::presetLabel(aTs const& t, rtl::str const& format) const
{
    // Rows without a format (most minor rows) have nothing to format.
    if (!format)
        return rtl::str("");
    char buf[LabelBufSize + 1];
    unsigned long const n = t.strfTime(buf, LabelBufSize, format.c(), true);
    return rtl::str(n == 0 ? "" : buf);
}

void mRange::measure(int size, char const* text, int& w, int& h) const
{
    mFontMeasure::current()->measure(getFontFamily(), size, text, w, h);
}

void mRange::usePresetLabelingScheme(aTimeDelta const& zoom)
{
    A_ASSERT(myRangeSetup);
    double const pixelsPerUnit = getSecondsPerUnit() / zoom.asSeconds();
    rtl::str const format = myRangeSetup->getLabelFormat();
    int const pct = myRangeSetup->getLabelVisPct();
    LabelFits fits;
    for (mGridline* gridline : *myGridlines) {
        A_ASSERT(gridline);
        bool anyFit = false;
        // Formatted once per gridline: the same text at every size, and again when labelling.
        rtl::str const label = presetLabel(gridline->getTs(), format);
        gridline->setLabel(label);
        for (int s = getMaxFontSize(); s >= getMinFontSize(); --s) {
            auto const known = fits.find({s, -1});
            if (known != fits.end() && !known->second)
                continue;
            int w = 0, h = 0;
            measure(s, label.c(), w, h);
            bool const fit = w / pixelsPerUnit < pct / 100.0;
            fits[{s, -1}] = fit;
            anyFit = anyFit || fit;
        }
        if (!anyFit) {
            tracePresetMisfit(desc().c(), label.c());
            fits[{getMinFontSize(), -1}] = true;
        }
    }
    pickBestComboAndSetLabels(zoom, fits);
}

void mRange::autoPickLabelingScheme(aTimeDelta const& zoom)
{
    double const spp = zoom.asSeconds();
    double const pixelsPerUnit = getSecondsPerUnit() / spp;
    LabelFits fits;
    int const schemes = static_cast<int>(myLabelingSchemes.size());
    // A scheme's text for a gridline is the same at every size: made once, when first needed.
    std::vector<rtl::str> texts(static_cast<std::size_t>(schemes));
    std::vector<char> made(static_cast<std::size_t>(schemes));
    for (mGridline* gridline : *myGridlines) {
        A_ASSERT(gridline);
        std::fill(made.begin(), made.end(), 0);
        for (int s = getMaxFontSize(); s >= getMinFontSize(); --s) {
            for (int j = 0; j < schemes; ++j) {
                auto const known = fits.find({s, j});
                if (known != fits.end() && !known->second)
                    continue;
                std::size_t const at = static_cast<std::size_t>(j);
                LabelingScheme const& scheme = myLabelingSchemes[at];
                if (!made[at]) {
                    texts[at] = "";
                    scheme.second(gridline, spp, texts[at]);
                    made[at] = 1;
                }
                rtl::str const& text = texts[at];
                int w = 0, h = 0;
                measure(s, text.c(), w, h);
                int const pct = aNumber::saturateToInt(scheme.first);
                fits[{s, j}] = w / pixelsPerUnit < pct / 100.0;
            }
        }
    }
    pickBestComboAndSetLabels(zoom, fits);
}

void mRange::pickBestComboAndSetLabels(aTimeDelta const& zoom, LabelFits& fits)
{
    double const spp = zoom.asSeconds();
    double const pixelsPerUnit = getSecondsPerUnit() / spp;
    std::map<int, int> lowestSchemeBySize;
    for (auto const& f : fits) {
        if (!f.second)
            continue;
        auto it = lowestSchemeBySize.find(f.first.first);
        if (it == lowestSchemeBySize.end() || f.first.second < it->second)
            lowestSchemeBySize[f.first.first] = f.first.second;
    }
    if (lowestSchemeBySize.empty()) {
        SC_TRACE_C("igreen", "%s labels DON'T SHOW!\n", desc().c());
        setFontSize(-1);
        return;
    }
    int const size = lowestSchemeBySize.rbegin()->first;
    int const scheme = lowestSchemeBySize.rbegin()->second;
    setFontSize(size);
    auto const* year = scheme == -1 ? dynamic_cast<mRangeYear const*>(this) : nullptr;
    rtl::str format;
    if (scheme == -1) {
        A_ASSERT(myRangeSetup);
        format = myRangeSetup->getLabelFormat();
    }
    bool const yearLabels = year && format == "<Y>";
    double maxRatio = 0.0;
    int maxW = 0, maxH = 0;
    bool first = true;
    rtl::str label;
    for (mGridline* gridline : *myGridlines) {
        A_ASSERT(gridline);
        if (scheme == -1)
            // The preset's text was made while fitting.
            label = yearLabels ? year->yearLabel(gridline->getTs()) : gridline->getLabel();
        else {
            label = "";
            myLabelingSchemes[static_cast<std::size_t>(scheme)].second(gridline, spp, label);
        }
        // The header drawing reads the label from the gridline, whichever way it was made.
        gridline->setLabel(label);
        int w = 0, h = 0;
        measure(size, label.c(), w, h);
        double const ratio = w / pixelsPerUnit;
        if (first || ratio > maxRatio)
            maxRatio = ratio;
        if (first || w > maxW)
            maxW = w;
        if (first || h > maxH)
            maxH = h;
        first = false;
    }
    setLabelHAlign(maxRatio > 0.5 ? 0 : -1);
    setMaxLabelH(maxH);
    setMaxLabelW(maxW);
    if (!myRangeSetup || myRangeSetup->getShowLabels())
        dropCrowdedLabels(size, myRangeSetup ? myRangeSetup->getLabelAlignH() : getLabelHAlign());
}

// Each label is fitted to a whole unit, but a unit can end early (the week that a new year cuts
// short): where a label would run into the next one shown in the row, the one with less room up
// to its next gridline goes unlabelled. Labels are placed as the header draws them, in a box from
// their gridline to the next one, by the row's alignment; the row's left pad moves all alike.
void mRange::dropCrowdedLabels(int size, int hAlign)
{
    struct Shown
    {
        mGridline* gridline;
        double right, room;
    };
    std::vector<Shown> kept;
    std::size_t const n = myGridlines->size();
    for (std::size_t i = 1; i < n; ++i) {
        mGridline* g = (*myGridlines)[i];
        rtl::str const label = g->getLabel();
        if (g->getLabelDone() || !*label.c())
            continue;
        double const pos = g->getParentPos();
        double const next = i + 1 < n ? (*myGridlines)[i + 1]->getParentPos() : myGridEndX;
        int w = 0, h = 0;
        measure(size, label.c(), w, h);
        double const left =
            hAlign < 0 ? pos : (hAlign == 0 ? pos + (next - pos - w) / 2 : next - w);
        Shown const shown {g, left + w, next - pos};
        bool dropped = false;
        while (!dropped && !kept.empty() && kept.back().right + LabelGap > left) {
            dropped = kept.back().room >= shown.room;
            if (!dropped) {
                kept.back().gridline->setLabel(rtl::str(""));
                kept.pop_back();
            }
        }
        if (dropped)
            g->setLabel(rtl::str(""));
        else
            kept.push_back(shown);
    }
}
