#include "mRangeSecs.h"

#include "aAssert.h"
#include "mRangeLabels.h"

#include <cmath>

mRangeSecs::mRangeSecs(double sec, tlUnits* units, int index, double zoomBegin, double zoomEnd,
                       bool dayNightTicks)
    : mRangeDayNight(units, index, zoomBegin, zoomEnd, dayNightTicks)
    , mySecs(sec)
{
    A_ASSERT(((sec == ((int)sec)) && (sec>=1.0)) || ((sec<1.0) && (sec>0.0)));
    if (mySecs < 1.0)
        myLabelingSchemes.emplace_back(50.0f, LabelCallback(&mRangeLabels::labelSecsFraction));
    else
        myLabelingSchemes.emplace_back(50.0f, LabelCallback(&mRangeLabels::labelSecsWhole));
}

rtl::str mRangeSecs::desc() const
{
    rtl::str d;
    if (mySecs >= 1.0)
        d.set("%s[%i]", "mRangeSecs", static_cast<int>(mySecs));
    else
        d.set("%s[ %g ]", "mRangeSecs", mySecs);
    return d;
}

// The unit a time falls in, within its minute (and, below a second, within its second).
long mRangeSecs::bucketOf(aTs const& t) const
{
    mLocalFields const f = fieldsOf(t);
    if (mySecs > 1.0)
        return floorBucket(double(f.second), mySecs);
    if (mySecs == 1.0)
        return f.second;
    long const usecPerUnit = static_cast<long>(mySecs * 1e6);
    // The second is part of the unit: a fraction restarts at every whole second.
    return f.second * 1000000L + f.ns / 1000 / (usecPerUnit > 0 ? usecPerUnit : 1);
}

bool mRangeSecs::timesSpanAGridline(aTs const& previous, aTs const& current, double secsPerPixel) const
{
    if (secsPerPixel > mySecs)
        return true;
    return bucketOf(previous) != bucketOf(current);
}

void mRangeSecs::roundTimeToUnits(aTs& t) const
{
    mLocalFields const f = fieldsOf(t);
    if (!f.ok)
        return;
    double const q = f.second / mySecs;
    double whole = std::floor(q);
    if (q - whole > 0.5)
        whole += 1.0;
    setFields(t, f.year, f.month, f.day, f.hour, f.minute, static_cast<int>(whole * mySecs));
}

bool mRangeSecs::timeIsMajorGrid(aTs const& t) const
{
    mLocalFields const f = fieldsOf(t);
    return f.ok && std::fmod(f.second, 10 * mySecs) == 0.0;
}

bool mRangeSecs::timeIsMinorGrid(aTs const& t) const
{
    mLocalFields const f = fieldsOf(t);
    return f.ok && std::fmod(f.second, mySecs) == 0.0;
}
