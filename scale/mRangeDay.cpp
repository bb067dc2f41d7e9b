#include "mRangeDay.h"

#include "mRangeLabels.h"

mRangeDay::mRangeDay(tlUnits* units, int index, double zoomBegin, double zoomEnd)
    : mRange(units, index, zoomBegin, zoomEnd)
{
    myLabelingSchemes.emplace_back(20.0f, LabelCallback(&mRangeLabels::labelDayFull));
    myLabelingSchemes.emplace_back(25.0f, LabelCallback(&mRangeLabels::labelDayAbbrev));
    myLabelingSchemes.emplace_back(35.0f, LabelCallback(&mRangeLabels::labelMonthDay));
    myLabelingSchemes.emplace_back(40.0f, LabelCallback(&mRangeLabels::labelAbbrevMonthDay));
    myLabelingSchemes.emplace_back(80.0f, LabelCallback(&mRangeLabels::labelDayOfMonth));
}

bool mRangeDay::timesSpanAGridline(aTs const& previous, aTs const& current, double secsPerPixel) const
{
    if (secsPerPixel > 86400.0)
        return true;
    return fieldsOf(previous).day != fieldsOf(current).day;
}

void mRangeDay::roundTimeToUnits(aTs& t) const
{
    mLocalFields const f = fieldsOf(t);
    if (f.ok)
        setFields(t, f.year, f.month, f.day, 0, 0, 0);
}

bool mRangeDay::timeIsMajorGrid(aTs const& t) const
{
    mLocalFields const f = fieldsOf(t);
    return f.ok && f.day == 1;
}

bool mRangeDay::timeIsMinorGrid(aTs const& t) const
{
    mLocalFields const f = fieldsOf(t);
    return f.ok && (f.weekday == 1 || f.weekday == 6);
}
