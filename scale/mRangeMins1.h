#pragma once

#include "mRangeDayNight.h"

// Units of one minute; majors every 10 minutes, no minors.
class mRangeMins1 : public mRangeDayNight
{
public:
    mRangeMins1(tlUnits* units, int index, double zoomBegin, double zoomEnd, bool dayNightTicks);

    bool timesSpanAGridline(aTs const& previous, aTs const& current, double secsPerPixel) const override;
    double getSecondsPerUnit() const override { return 60.0; }
    void roundTimeToUnits(aTs& t) const override;
    bool timeIsMajorGrid(aTs const& t) const override;
    bool timeIsMinorGrid(aTs const& t) const override;
};
