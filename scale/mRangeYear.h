#pragma once

#include "mRange.h"

// Years, one or many per unit (up to 500,000,000); a unit's length counts years of 365 days.
// Majors on multiples of 10 years, minors on multiples of 5.
class mRangeYear : public mRange
{
public:
    mRangeYear(int years, tlUnits* units, int index, double zoomBegin, double zoomEnd);

    rtl::str desc() const override;
    bool timesSpanAGridline(aTs const& previous, aTs const& current, double secsPerPixel) const override;
    double getSecondsPerUnit() const override { return mySecsPerUnit; }
    void roundTimeToUnits(aTs& t) const override;
    bool timeIsMajorGrid(aTs const& t) const override;
    bool timeIsMinorGrid(aTs const& t) const override;

    // The year name ("%Y"); the year modulo 100 ("5" for 2005).
    void label0(mGridline* g, double secsPerPixel, rtl::str& out) const;
    void label1(mGridline* g, double secsPerPixel, rtl::str& out) const;
    // The year of a time rounded to the nearest unit, shortened with k, M and G: "2010", "45k",
    // "-3M"; empty when the time has no local fields.
    rtl::str yearLabel(aTs const& t) const;

    long getYears() const { return myYears; }

private:
    long myYears;
    double mySecsPerUnit;
};
