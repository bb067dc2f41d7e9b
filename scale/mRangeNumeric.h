#pragma once

#include "mRange.h"

// Plain numbers: one unit per whole number (the value truncated toward zero, so (-1, 1) is one
// unit). Boundaries majors every 10.
class mRangeNumeric : public mRange
{
public:
    mRangeNumeric(tlUnits* units, int index, double zoomBegin, double zoomEnd);

    bool timesSpanAGridline(aTs const& previous, aTs const& current, double secsPerPixel) const override;
    double getSecondsPerUnit() const override { return 1.0; }
    bool calcTickBgColor(mGridline* g, double zoom, int& r, int& gr, int& b, int& a) const override;
    bool calcTickFgColor(mGridline* g, double zoom, int& r, int& gr, int& b, int& a) const override;
    void roundTimeToUnits(aTs& t) const override;
    bool timeIsMajorGrid(aTs const& t) const override;
    bool timeIsMinorGrid(aTs const& t) const override;
};
