#pragma once

#include "mRangeMonth.h"

// Several months per unit (3, 6): the months 1 to 12 in floor buckets, so a 3-month row starts
// units in March, June, September and December, and at every 1 January.
class mRangeMonths : public mRangeMonth
{
public:
    mRangeMonths(int months, tlUnits* units, int index, double zoomBegin, double zoomEnd);

    bool timesSpanAGridline(aTs const& previous, aTs const& current, double secsPerPixel) const override;
    double getSecondsPerUnit() const override { return myMonths * 2419200.0; }
    void roundTimeToUnits(aTs& t) const override;
    bool timeIsMajorGrid(aTs const& t) const override;
    bool timeIsMinorGrid(aTs const& t) const override;

private:
    int myMonths;
};
