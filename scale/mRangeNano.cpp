#include "mRangeNano.h"

#include "mLocalFields.h"
#include "mRangeLabels.h"

mRangeNano::mRangeNano(long nanos, tlUnits* units, int index, double zoomBegin, double zoomEnd,
                       bool dayNightTicks)
    : mRangeDayNight(units, index, zoomBegin, zoomEnd, dayNightTicks)
    , myNanos(nanos > 0 ? nanos : 1)
{
    myLabelingSchemes.emplace_back(60.0f, LabelCallback(&mRangeLabels::labelNanos));
}

rtl::str mRangeNano::desc() const
{
    rtl::str d;
    d.set("mRangeNano[%li]", myNanos);
    return d;
}

bool mRangeNano::timesSpanAGridline(aTs const& previous, aTs const& current, double secsPerPixel) const
{
    if (secsPerPixel > getSecondsPerUnit())
        return true;
    // The second counts too: a unit that does not divide the second restarts at each one.
    long s0, n0, s1, n1;
    mLocalFields::wallSecond(previous, s0, n0);
    mLocalFields::wallSecond(current, s1, n1);
    return s0 != s1 || n0 / myNanos != n1 / myNanos;
}

// Back to the unit's start within the second the clock shows, before 1970 as after.
void mRangeNano::roundTimeToUnits(aTs& t) const
{
    long s, ns;
    if (mLocalFields::wallSecond(t, s, ns))
        t = aTs(s, myNanos * (ns / myNanos));
}

bool mRangeNano::timeIsMajorGrid(aTs const& t) const
{
    long s, ns;
    mLocalFields::wallSecond(t, s, ns);
    return ns % (10 * myNanos) == 0;
}

bool mRangeNano::timeIsMinorGrid(aTs const& t) const
{
    long s, ns;
    mLocalFields::wallSecond(t, s, ns);
    return ns % (5 * myNanos) == 0;
}
