#pragma once

#include "mRangeDayNight.h"

// Whole seconds (1, 5, 15, 30 within the minute) or a fraction of a second.
class mRangeSecs : public mRangeDayNight
{
public:
    // secs: a whole number of at least 1, or strictly between 0 and 1.
    mRangeSecs(double secs, tlUnits* units, int index, double zoomBegin, double zoomEnd, bool dayNightTicks);

    rtl::str desc() const override;
    bool timesSpanAGridline(aTs const& previous, aTs const& current, double secsPerPixel) const override;
    double getSecondsPerUnit() const override { return mySecs; }
    void roundTimeToUnits(aTs& t) const override;
    bool timeIsMajorGrid(aTs const& t) const override;
    bool timeIsMinorGrid(aTs const& t) const override;

private:
    long bucketOf(aTs const& t) const;

    double mySecs;
};
