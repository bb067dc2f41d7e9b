#pragma once

#include "mRange.h"

// Weeks as the Sunday-based week number of the year counts them: a gridline at the start of
// every Sunday and at every 1 January. No major or minor lines.
class mRangeWeek : public mRange
{
public:
    mRangeWeek(tlUnits* units, int index, double zoomBegin, double zoomEnd);

    bool timesSpanAGridline(aTs const& previous, aTs const& current, double secsPerPixel) const override;
    double getSecondsPerUnit() const override { return 604800.0; }
    // 00:00 of the Monday on or before the time (at most six days back).
    void roundTimeToUnits(aTs& t) const override;

    // Day of month; abbreviated month and day; month and day.
    void label0(mGridline* g, double secsPerPixel, rtl::str& out) const;
    void label1(mGridline* g, double secsPerPixel, rtl::str& out) const;
    void label2(mGridline* g, double secsPerPixel, rtl::str& out) const;
};
