#include "mRangeYear.h"

#include "aNumber.h"

#include <cmath>
#include <cstdlib>
#include <typeinfo>

mRangeYear::mRangeYear(int years, tlUnits* units, int index, double zoomBegin, double zoomEnd)
    : mRange(units, index, zoomBegin, zoomEnd)
    , myYears(years > 0 ? years : 1)
    , mySecsPerUnit(31536000.0 * double(myYears))
{
    using fastdelegate::MakeDelegate;
    myLabelingSchemes.emplace_back(50.0f, MakeDelegate(this, &mRangeYear::label0));
    myLabelingSchemes.emplace_back(80.0f, MakeDelegate(this, &mRangeYear::label1));
}

rtl::str mRangeYear::desc() const
{
    rtl::str d;
    d.set("%s[%lu] %s", "mRangeYear", static_cast<unsigned long>(myYears), getNote().c());
    return d;
}

bool mRangeYear::timesSpanAGridline(aTs const& previous, aTs const& current, double secsPerPixel) const
{
    if (secsPerPixel > mySecsPerUnit)
        return true;
    return floorBucket(fieldsOf(previous).year, int(myYears)) !=
           floorBucket(fieldsOf(current).year, int(myYears));
}

void mRangeYear::roundTimeToUnits(aTs& t) const
{
    mLocalFields const f = fieldsOf(t);
    if (!f.ok)
        return;
    long const start = long(floorBucket(f.year, int(myYears))) * myYears;
    setFields(t, aNumber::saturateToInt(double(start)), 1, 1, 0, 0, 0);
}

bool mRangeYear::timeIsMajorGrid(aTs const& t) const
{
    mLocalFields const f = fieldsOf(t);
    return f.ok && f.year % 10 == 0;
}

bool mRangeYear::timeIsMinorGrid(aTs const& t) const
{
    mLocalFields const f = fieldsOf(t);
    return f.ok && f.year % 5 == 0;
}

void mRangeYear::label0(mGridline* g, double, rtl::str& out) const
{
    out = fieldsOf(g->getTs()).ok ? g->getTs().getYearName() : "Overflow";
}

void mRangeYear::label1(mGridline* g, double, rtl::str& out) const
{
    mLocalFields const f = fieldsOf(g->getTs());
    if (!f.ok)
        out = "Overflow";
    else
        out.set("%i", f.year % 100);
}

rtl::str mRangeYear::yearLabel(aTs const& t) const
{
    rtl::str label;
    mLocalFields const f = fieldsOf(t);
    if (!f.ok)
        return label;
    double const n = double(myYears);
    double const q = std::fabs(double(f.year)) / n;
    double whole = std::floor(q);
    if (q - whole > 0.5)
        whole += 1.0;
    double y = n * whole;
    if (f.year < 0)
        y = -y;
    int const year = aNumber::saturateToInt(y);
    double const size = std::fabs(double(year));
    char const* sign = year < 0 ? "-" : "";
    if (year == 0)
        label = "0";
    else if (size < 3000)
        label.set("%i", year);
    else if (size < 1000000)
        label.set("%s%.0fk", sign, size / 1000);
    else if (size < 1000000000)
        label.set("%s%.0fM", sign, size / 1000000);
    else
        label.set("%.0fG", year / 1000000000.0);
    return label;
}
