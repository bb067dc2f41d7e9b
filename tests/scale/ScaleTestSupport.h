#pragma once

#include "Aa/TzGuard.h"
#include "mFontMeasure.h"
#include "mRange.h"
#include "tlUnitsNumeric.h"
#include "tlUnitsTime.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

// Labels measured as a fixed number of pixels per character, 10 pixels high, whatever the font:
// fitting decisions that tests can work out by hand. Installed for the life of the object.
class FixedMeasure : public mFontMeasure
{
public:
    explicit FixedMeasure(int perChar = 6) : myPerChar(perChar) { mFontMeasure::install(this); }
    ~FixedMeasure() override { mFontMeasure::install(nullptr); }
    void measure(rtl::str const&, int pointSize, char const* text, int& width, int& height) override
    {
        // Larger sizes are wider: one pixel more per character for every 2 points above 10.
        width = int(std::strlen(text)) * (myPerChar + (pointSize - 10) / 2);
        height = 10;
        ++calls;
    }
    int calls = 0;

private:
    int myPerChar;
};

// The calendar and numeric policies, made once and kept, as the scale keeps its own.
inline tlUnitsTime* timeUnits()
{
    static tlUnitsTime* units = new tlUnitsTime;
    return units;
}

inline mRange* rangeAt(int index)
{
    return (*timeUnits()->getRanges())[static_cast<std::size_t>(index)];
}

// Indexes of the calendar ranges.
enum RangeIndex {
    RangeSecs1 = 81, RangeSecs5, RangeSecs15, RangeSecs30, RangeMins1, RangeMins5, RangeMins15, RangeHour,
    RangeHours3, RangeHours6, RangeHours12, RangeDay, RangeWeek, RangeMonth, RangeMonths3, RangeMonths6,
    RangeYear1, RangeYear5, RangeYear10
};

// One grid build over columns 0..columns as the scale drives it: begin on every range, then
// every column on every range (last first), then finish.
inline void buildGrids(std::vector<mRange*> const& ranges, aTs const& start, double secsPerPixel, int columns)
{
    aTimeDelta const zoom(secsPerPixel);
    mRange::LabelOwners labels;
    mRange::TickOwners ticks;
    mLocalFields::Scope keep;
    aTs const end = start + zoom * columns;
    for (auto r = ranges.rbegin(); r != ranges.rend(); ++r)
        (*r)->beginGrid(start, end, zoom, 0, columns);
    aTs prev = start - zoom;
    aTs t = start;
    double x = 0;
    for (; x <= columns; x += 1) {
        for (auto r = ranges.rbegin(); r != ranges.rend(); ++r)
            (*r)->checkBuildGridline(prev, t, zoom, x, labels, ticks);
        prev = t;
        t = t + zoom;
    }
    for (auto r = ranges.rbegin(); r != ranges.rend(); ++r)
        (*r)->finishGrid(start, zoom, x);
}

inline std::vector<std::string> labelsOf(mRange const* r)
{
    std::vector<std::string> out;
    for (int i = 1; i < r->getNumGridlines(); ++i)
        out.emplace_back(r->getGridline(i)->getLabel().c());
    return out;
}

inline aTs utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return aTs(double(utcSeconds(year, month, day, hour, minute, second)));
}
