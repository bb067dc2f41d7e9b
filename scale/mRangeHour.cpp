#include "mRangeHour.h"

#include "mRangeLabels.h"

mRangeHour::mRangeHour(tlUnits* units, int index, double zoomBegin, double zoomEnd, bool twentyFourHourClock)
    : mRange(units, index, zoomBegin, zoomEnd)
    , my24HourClock(twentyFourHourClock)
{
    using fastdelegate::MakeDelegate;
    if (my24HourClock) {
        myLabelingSchemes.emplace_back(30.0f, LabelCallback(&mRangeLabels::labelHour12));
        myLabelingSchemes.emplace_back(80.0f, MakeDelegate(this, &mRangeHour::label0));
    } else {
        myLabelingSchemes.emplace_back(35.0f, MakeDelegate(this, &mRangeHour::label2));
        myLabelingSchemes.emplace_back(50.0f, MakeDelegate(this, &mRangeHour::label1));
        myLabelingSchemes.emplace_back(50.0f, LabelCallback(&mRangeLabels::labelHour12));
        myLabelingSchemes.emplace_back(80.0f, MakeDelegate(this, &mRangeHour::label0));
    }
}

bool mRangeHour::timesSpanAGridline(aTs const& previous, aTs const& current, double secsPerPixel) const
{
    if (secsPerPixel > 3600.0)
        return true;
    return fieldsOf(previous).hour != fieldsOf(current).hour;
}

bool mRangeHour::calcTickBgColor(mGridline* g, double, int& r, int& gr, int& b, int& a) const
{
    mRangeLabels::dayNightTick(g->getHour(), true, r, gr, b, a);
    return true;
}

bool mRangeHour::calcTickFgColor(mGridline* g, double, int& r, int& gr, int& b, int& a) const
{
    mRangeLabels::dayNightTick(g->getHour(), false, r, gr, b, a);
    return true;
}

void mRangeHour::roundTimeToUnits(aTs& t) const
{
    mLocalFields const f = fieldsOf(t);
    if (f.ok)
        setFields(t, f.year, f.month, f.day, f.hour, 0, 0);
}

bool mRangeHour::timeIsMajorGrid(aTs const& t) const
{
    mLocalFields const f = fieldsOf(t);
    return f.ok && (f.hour == 0 || f.hour == 12);
}

bool mRangeHour::timeIsMinorGrid(aTs const& t) const
{
    mLocalFields const f = fieldsOf(t);
    return f.ok && f.hour % 3 == 0 && f.hour != 0 && f.hour != 12;
}

void mRangeHour::label0(mGridline* g, double, rtl::str& out) const
{
    mLocalFields const f = fieldsOf(g->getTs());
    if (!f.ok) {
        out = "Overflow";
        return;
    }
    int h = f.hour;
    if (!my24HourClock) {
        if (h > 12)
            h -= 12;
        else if (h == 0)
            h = 12;
    }
    out.set("%i", h);
}

void mRangeHour::label1(mGridline* g, double spp, rtl::str& out) const
{
    label0(g, spp, out);
    out += fieldsOf(g->getTs()).hour >= 12 ? "pm" : "am";
}

void mRangeHour::label2(mGridline* g, double spp, rtl::str& out) const
{
    rtl::str hour;
    label0(g, spp, hour);
    out.set(" %s", hour.c());
    out += fieldsOf(g->getTs()).hour >= 12 ? " pm" : " am";
}
