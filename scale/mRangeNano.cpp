#include "mRangeNano.h"

#include "mRangeLabels.h"

namespace {

// The second a time falls in and its nanoseconds within that second (0 to 999,999,999), also
// before 1970 where seconds and nanoseconds are both negative.
void wallSecond(aTs const& t, long& sec, long& ns)
{
    sec = t.sec();
    ns = t.nsec();
    if (ns < 0) {
        ns += 1000000000L;
        sec -= 1;
    }
}

} // namespace

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
    wallSecond(previous, s0, n0);
    wallSecond(current, s1, n1);
    return s0 != s1 || n0 / myNanos != n1 / myNanos;
}

void mRangeNano::roundTimeToUnits(aTs& t) const
{
    t.setNs(myNanos * (t.nsec() / myNanos));
}

bool mRangeNano::timeIsMajorGrid(aTs const& t) const
{
    long s, ns;
    wallSecond(t, s, ns);
    return ns % (10 * myNanos) == 0;
}

bool mRangeNano::timeIsMinorGrid(aTs const& t) const
{
    long s, ns;
    wallSecond(t, s, ns);
    return ns % (5 * myNanos) == 0;
}
