#include "mRangeMins15.h"

mRangeMins15::mRangeMins15(tlUnits* units, int index, double zoomBegin, double zoomEnd, bool dayNightTicks)
    : mRangeDayNight(units, index, zoomBegin, zoomEnd, dayNightTicks)
{
    myLabelingSchemes.emplace_back(20.0f, fastdelegate::MakeDelegate(this, &mRangeMins15::label0));
}

bool mRangeMins15::timesSpanAGridline(aTs const& previous, aTs const& current, double secsPerPixel) const
{
    if (secsPerPixel > 900.0)
        return true;
    return floorBucket(fieldsOf(previous).minute, 15) != floorBucket(fieldsOf(current).minute, 15);
}

void mRangeMins15::roundTimeToUnits(aTs& t) const
{
    mLocalFields const f = fieldsOf(t);
    if (f.ok)
        setFields(t, f.year, f.month, f.day, f.hour, f.minute - f.minute % 15, 0);
}

// Minutes run 0 to 59: a multiple of 180 is minute 0, the full hour.
bool mRangeMins15::timeIsMajorGrid(aTs const& t) const
{
    mLocalFields const f = fieldsOf(t);
    return f.ok && f.minute % 180 == 0;
}

bool mRangeMins15::timeIsMinorGrid(aTs const& t) const
{
    mLocalFields const f = fieldsOf(t);
    return f.ok && f.minute % 60 == 0;
}

void mRangeMins15::label0(mGridline* g, double, rtl::str& out) const
{
    mLocalFields const f = fieldsOf(g->getTs());
    if (!f.ok)
        out = "Overflow";
    else
        out.set("%i", f.minute);
}
