#pragma once

#include "mRange.h"

// Calendar months; the unit's length counts 28 days, but gridlines fall on the real month
// boundaries. Majors in January, minors in April, July and October.
class mRangeMonth : public mRange
{
public:
    mRangeMonth(tlUnits* units, int index, double zoomBegin, double zoomEnd);

    bool timesSpanAGridline(aTs const& previous, aTs const& current, double secsPerPixel) const override;
    double getSecondsPerUnit() const override { return 2419200.0; }
    void roundTimeToUnits(aTs& t) const override;
    bool timeIsMajorGrid(aTs const& t) const override;
    bool timeIsMinorGrid(aTs const& t) const override;

    // The month name; the abbreviated month name.
    void label0(mGridline* g, double secsPerPixel, rtl::str& out) const;
    void label1(mGridline* g, double secsPerPixel, rtl::str& out) const;
};
