#include "mRangeMonth.h"

mRangeMonth::mRangeMonth(tlUnits* units, int index, double zoomBegin, double zoomEnd)
    : mRange(units, index, zoomBegin, zoomEnd)
{
    using fastdelegate::MakeDelegate;
    myLabelingSchemes.emplace_back(80.0f, MakeDelegate(this, &mRangeMonth::label0));
    myLabelingSchemes.emplace_back(80.0f, MakeDelegate(this, &mRangeMonth::label1));
}

bool mRangeMonth::timesSpanAGridline(aTs const& previous, aTs const& current, double) const
{
    mLocalFields const a = fieldsOf(previous);
    mLocalFields const b = fieldsOf(current);
    return a.month != b.month || a.year != b.year;
}

void mRangeMonth::roundTimeToUnits(aTs& t) const
{
    mLocalFields const f = fieldsOf(t);
    if (f.ok)
        setFields(t, f.year, f.month, 1, 0, 0, 0);
}

bool mRangeMonth::timeIsMajorGrid(aTs const& t) const
{
    mLocalFields const f = fieldsOf(t);
    return f.ok && f.month == 1;
}

bool mRangeMonth::timeIsMinorGrid(aTs const& t) const
{
    mLocalFields const f = fieldsOf(t);
    return f.ok && (f.month == 4 || f.month == 7 || f.month == 10);
}

void mRangeMonth::label0(mGridline* g, double, rtl::str& out) const
{
    out = fieldsOf(g->getTs()).ok ? g->getTs().getMonthName() : "Overflow";
}

void mRangeMonth::label1(mGridline* g, double, rtl::str& out) const
{
    out = fieldsOf(g->getTs()).ok ? g->getTs().getAbbrevMonthName() : "Overflow";
}
