#include "mRangeMins1.h"

#include "mRangeLabels.h"

mRangeMins1::mRangeMins1(tlUnits* units, int index, double zoomBegin, double zoomEnd, bool dayNightTicks)
    : mRangeDayNight(units, index, zoomBegin, zoomEnd, dayNightTicks)
{
    myLabelingSchemes.emplace_back(20.0f, LabelCallback(&mRangeLabels::labelMinute));
}

bool mRangeMins1::timesSpanAGridline(aTs const& previous, aTs const& current, double secsPerPixel) const
{
    if (secsPerPixel > 60.0)
        return true;
    return fieldsOf(previous).minute != fieldsOf(current).minute;
}

void mRangeMins1::roundTimeToUnits(aTs& t) const
{
    mLocalFields const f = fieldsOf(t);
    if (f.ok)
        setFields(t, f.year, f.month, f.day, f.hour, f.minute, 0);
}

bool mRangeMins1::timeIsMajorGrid(aTs const& t) const
{
    mLocalFields const f = fieldsOf(t);
    return f.ok && f.minute % 10 == 0;
}

// A one-minute row has no minor lines: the same test as the major one.
bool mRangeMins1::timeIsMinorGrid(aTs const& t) const
{
    return timeIsMajorGrid(t);
}
