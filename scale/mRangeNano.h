#pragma once

#include "mRangeDayNight.h"

// Multiples of a nanosecond within each second: a unit that does not divide the second (3e8 ns)
// starts again at every whole second.
class mRangeNano : public mRangeDayNight
{
public:
    mRangeNano(long nanos, tlUnits* units, int index, double zoomBegin, double zoomEnd, bool dayNightTicks);

    rtl::str desc() const override;
    bool timesSpanAGridline(aTs const& previous, aTs const& current, double secsPerPixel) const override;
    double getSecondsPerUnit() const override { return myNanos / 1e9; }
    void roundTimeToUnits(aTs& t) const override;
    bool timeIsMajorGrid(aTs const& t) const override;
    bool timeIsMinorGrid(aTs const& t) const override;

    long getNanos() const { return myNanos; }

private:
    long myNanos;
};
