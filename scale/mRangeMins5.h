#pragma once

#include "mRangeDayNight.h"

// Units of five minutes; majors every half hour, minors every quarter.
class mRangeMins5 : public mRangeDayNight
{
public:
    mRangeMins5(tlUnits* units, int index, double zoomBegin, double zoomEnd, bool dayNightTicks);

    bool timesSpanAGridline(aTs const& previous, aTs const& current, double secsPerPixel) const override;
    double getSecondsPerUnit() const override { return 300.0; }
    void roundTimeToUnits(aTs& t) const override;
    bool timeIsMajorGrid(aTs const& t) const override;
    bool timeIsMinorGrid(aTs const& t) const override;
};
