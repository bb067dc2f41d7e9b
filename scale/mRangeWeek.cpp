#include "mRangeWeek.h"

mRangeWeek::mRangeWeek(tlUnits* units, int index, double zoomBegin, double zoomEnd)
    : mRange(units, index, zoomBegin, zoomEnd)
{
    using fastdelegate::MakeDelegate;
    myLabelingSchemes.emplace_back(40.0f, MakeDelegate(this, &mRangeWeek::label2));
    myLabelingSchemes.emplace_back(60.0f, MakeDelegate(this, &mRangeWeek::label1));
    myLabelingSchemes.emplace_back(80.0f, MakeDelegate(this, &mRangeWeek::label0));
}

bool mRangeWeek::timesSpanAGridline(aTs const& previous, aTs const& current, double secsPerPixel) const
{
    if (secsPerPixel > 604800.0)
        return true;
    return fieldsOf(previous).sundayWeek() != fieldsOf(current).sundayWeek();
}

void mRangeWeek::roundTimeToUnits(aTs& t) const
{
    aTs day = t;
    mLocalFields f = fieldsOf(day);
    // Bounded: a week holds one Monday; a day whose weekday cannot be had leaves the time as is.
    for (int step = 0; f.ok && f.weekday != 1; ++step) {
        if (step == 7)
            return;
        aTs const back = aTs::moveTs(day, 0, 0, -1, 0, 0, 0, 0);
        if (back == day)
            return;
        day = back;
        f = fieldsOf(day);
    }
    if (f.ok)
        setFields(t, f.year, f.month, f.day, 0, 0, 0);
}

void mRangeWeek::label0(mGridline* g, double, rtl::str& out) const
{
    mLocalFields const f = fieldsOf(g->getTs());
    if (!f.ok)
        out = "Overflow";
    else
        out.set("%s %i", g->getTs().getMonthName(), f.day);
}

void mRangeWeek::label1(mGridline* g, double, rtl::str& out) const
{
    mLocalFields const f = fieldsOf(g->getTs());
    if (!f.ok)
        out = "Overflow";
    else
        out.set("%s %i", g->getTs().getAbbrevMonthName(), f.day);
}

void mRangeWeek::label2(mGridline* g, double, rtl::str& out) const
{
    mLocalFields const f = fieldsOf(g->getTs());
    if (!f.ok)
        out = "Overflow";
    else
        out.set("%i", f.day);
}
