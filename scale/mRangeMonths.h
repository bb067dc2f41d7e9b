#pragma once

#include "mRangeMonth.h"

// Several months per unit (3, 6): the months counted from January in floor buckets, so that a
// 3-month row starts units in January, April, July and October and a 6-month row in January and
// July, as the month row marks them.
class mRangeMonths : public mRangeMonth
{
public:
    mRangeMonths(int months, tlUnits* units, int index, double zoomBegin, double zoomEnd);

    bool timesSpanAGridline(aTs const& previous, aTs const& current,
                            double secsPerPixel) const override;
    double getSecondsPerUnit() const override { return myMonths * 2419200.0; }
    void roundTimeToUnits(aTs& t) const override;
    bool timeIsMajorGrid(aTs const& t) const override;
    bool timeIsMinorGrid(aTs const& t) const override;

private:
    // The unit of the year a month falls in: 0 for the one that begins in January.
    int unitOfYear(mLocalFields const& f) const;

    int myMonths;
};
