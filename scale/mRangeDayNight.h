#pragma once

#include "mRange.h"

// Base of the sub-hour kinds: their ticks are shaded by day (7 to 18 h) and night.
class mRangeDayNight : public mRange
{
public:
    mRangeDayNight(tlUnits* units, int index, double zoomBegin, double zoomEnd, bool dayNightTicks);

    // Shading needs the flag on; the zoom policy always sets it.
    bool calcTickBgColor(mGridline* g, double zoom, int& r, int& gr, int& b, int& a) const override;
    bool calcTickFgColor(mGridline* g, double zoom, int& r, int& gr, int& b, int& a) const override;

protected:
    bool myDayNightTicks;
};
