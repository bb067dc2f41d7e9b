#pragma once

#include "mRange.h"

// Days; majors on the first of the month, minors on Mondays and Saturdays.
class mRangeDay : public mRange
{
public:
    mRangeDay(tlUnits* units, int index, double zoomBegin, double zoomEnd);

    bool timesSpanAGridline(aTs const& previous, aTs const& current, double secsPerPixel) const override;
    double getSecondsPerUnit() const override { return 86400.0; }
    void roundTimeToUnits(aTs& t) const override;
    bool timeIsMajorGrid(aTs const& t) const override;
    bool timeIsMinorGrid(aTs const& t) const override;
};
