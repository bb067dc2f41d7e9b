#pragma once

#include "mRangeSetups.h"
#include "ref.h"
#include "tlUnits.h"

#include <map>
#include <vector>

// The calendar zoom policy: 116 ranges from one nanosecond to 500,000,000 years (finest first),
// zoom steps that follow the calendar, fixed small steps up to 49,990 ns per pixel, the limit of
// 1e14 seconds per pixel, and the table of header presets (89 zoom bands) that tells which
// ranges become header rows at a zoom and how each row looks.
class tlUnitsTime : public tlUnits
{
public:
    tlUnitsTime();
    ~tlUnitsTime() override;

    // Out: x1.1 up to 686,022 s/px, then whole millions of seconds (at least one million more);
    // the old zoom and a trace at the limit. In: /1.1. Both step along the small zooms. mult is
    // not used.
    double calcNextZoomOut(double zoom, float mult) override;
    double calcNextZoomIn(double zoom, float mult) override;
    std::vector<mRange*>* getRanges() override;
    int countZoomSteps(double zoom) override;
    int quantizeZoom(aTimeDelta& zoom) override;
    // The finest range whose band (zoomBegin, zoomEnd] holds the zoom, or null.
    mRange* pickRangeForZoom(double zoom) override;
    // The preset of the band [startZoom, stopZoom) (bounds in single precision) holding the
    // zoom, the bands taken in the table's key order; null when none does.
    mRangeSetups* getRangeSetupsForZoom(double zoom) override;
    mRangeSetups* configureVisibleRangesForZoom(mRange* picked, double zoom, std::vector<mRange*>& visible) override;
    void clearGrids() override;

    // Rows and bands of the header (see the policy's stacking): each band head opens a header
    // row; the ranges stacked under it share the row at depths 1, 2, ...
    void stackHeader(std::vector<mRange*>& visible, mRangeSetups* preset) const;
    // A zoom at most 49,990 ns/px rises to the first small step at or above it; the step's index,
    // or -1 (zoom unchanged) above the last step.
    int clampZoomToSmallZooms(aTimeDelta& zoom);

    // Building the preset table.
    void initRangeSetups();
    mRangeSetups* newRangeSetupsForZoom(double start, double stop);
    mRangeSetup* initRs_SuperTick(mRangeSetups* rss, double secsPerUnit, int tickLevel, bool doNotStack,
                                  char const* labelFormat, int sizeScale) const;
    mRangeSetup* initRs_RangeA0(mRangeSetups* rss, double secsPerUnit, char const* labelFormat) const;
    mRangeSetup* initRs_RangeB0(mRangeSetups* rss, double secsPerUnit, char const* labelFormat) const;
    mRangeSetup* initRs_RangeB1(mRangeSetups* rss, double secsPerUnit, char const* labelFormat) const;
    mRangeSetup* initRs_RangeC2(mRangeSetups* rss, double secsPerUnit, char const* labelFormat) const;
    mRangeSetup* initRs_RangeC1(mRangeSetups* rss, double secsPerUnit, char const* labelFormat) const;
    mRangeSetup* initRs_RangeC0(mRangeSetups* rss, double secsPerUnit, char const* labelFormat) const;

    // The zoom steps up to 49,990 ns/px: 1, 5, 10, 50, 100 ns, then every 10 ns from 500 ns.
    static std::vector<aTimeDelta> ourSmallZooms;
    // The header presets, keyed by half their band's width; built by the first calendar policy.
    static std::map<double, rtl::ref<mRangeSetups>> ourRangeSetupsPerZoom;

private:
    std::vector<mRange*> myRanges;
};
