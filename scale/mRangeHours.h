#pragma once

#include "mRangeHour.h"

// Several hours per unit (3, 6, 12), counted from midnight; the hour's labels and ticks.
class mRangeHours : public mRangeHour
{
public:
    mRangeHours(int hours, tlUnits* units, int index, double zoomBegin, double zoomEnd, bool twentyFourHourClock);

    bool timesSpanAGridline(aTs const& previous, aTs const& current, double secsPerPixel) const override;
    double getSecondsPerUnit() const override { return myHours * 3600.0; }
    void roundTimeToUnits(aTs& t) const override;
    bool timeIsMajorGrid(aTs const& t) const override;
    bool timeIsMinorGrid(aTs const& t) const override;

private:
    int myHours;
};
