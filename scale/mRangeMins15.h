#pragma once

#include "mRangeDayNight.h"

// Units of a quarter of an hour; majors at the full hour.
class mRangeMins15 : public mRangeDayNight
{
public:
    mRangeMins15(tlUnits* units, int index, double zoomBegin, double zoomEnd, bool dayNightTicks);

    bool timesSpanAGridline(aTs const& previous, aTs const& current, double secsPerPixel) const override;
    double getSecondsPerUnit() const override { return 900.0; }
    void roundTimeToUnits(aTs& t) const override;
    bool timeIsMajorGrid(aTs const& t) const override;
    bool timeIsMinorGrid(aTs const& t) const override;

    void label0(mGridline* g, double secsPerPixel, rtl::str& out) const;
};
