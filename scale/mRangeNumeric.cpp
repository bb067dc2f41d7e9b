#include "mRangeNumeric.h"

#include "aNumber.h"
#include "mRangeLabels.h"

mRangeNumeric::mRangeNumeric(tlUnits* units, int index, double zoomBegin, double zoomEnd)
    : mRange(units, index, zoomBegin, zoomEnd)
{
    myLabelingSchemes.emplace_back(50.0f, LabelCallback(&mRangeLabels::labelNumber));
}

bool mRangeNumeric::timesSpanAGridline(aTs const& previous, aTs const& current, double) const
{
    return aNumber::saturateToInt(previous.asSeconds()) != aNumber::saturateToInt(current.asSeconds());
}

bool mRangeNumeric::calcTickBgColor(mGridline*, double, int& r, int& g, int& b, int& a) const
{
    r = g = b = 0;
    a = 255;
    return true;
}

bool mRangeNumeric::calcTickFgColor(mGridline*, double, int& r, int& g, int& b, int& a) const
{
    r = g = b = 255;
    a = 255;
    return true;
}

void mRangeNumeric::roundTimeToUnits(aTs& t) const
{
    // Seconds and nanoseconds share one sign: dropping the nanoseconds truncates toward zero.
    t.setNs(0);
}

bool mRangeNumeric::timeIsMajorGrid(aTs const& t) const
{
    return aNumber::saturateToInt(t.asSeconds()) % 10 == 0;
}

bool mRangeNumeric::timeIsMinorGrid(aTs const& t) const
{
    return t.nsec() == 0;
}
