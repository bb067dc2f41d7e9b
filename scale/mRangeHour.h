#pragma once

#include "mRange.h"

// Hours, labelled on the 12-hour clock (the policy's choice) or the 24-hour clock; ticks shaded
// by day (7 to 18 h) and night.
class mRangeHour : public mRange
{
public:
    mRangeHour(tlUnits* units, int index, double zoomBegin, double zoomEnd, bool twentyFourHourClock);

    bool timesSpanAGridline(aTs const& previous, aTs const& current, double secsPerPixel) const override;
    double getSecondsPerUnit() const override { return 3600.0; }
    bool calcTickBgColor(mGridline* g, double zoom, int& r, int& gr, int& b, int& a) const override;
    bool calcTickFgColor(mGridline* g, double zoom, int& r, int& gr, int& b, int& a) const override;
    void roundTimeToUnits(aTs& t) const override;
    bool timeIsMajorGrid(aTs const& t) const override;
    bool timeIsMinorGrid(aTs const& t) const override;

    // "3"; with "pm" ("3pm"); with blanks (" 3 pm").
    void label0(mGridline* g, double secsPerPixel, rtl::str& out) const;
    void label1(mGridline* g, double secsPerPixel, rtl::str& out) const;
    void label2(mGridline* g, double secsPerPixel, rtl::str& out) const;

protected:
    bool my24HourClock;
};
