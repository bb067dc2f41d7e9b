#pragma once

#include "aTimeDelta.h"

#include <vector>

class mRange;
class mRangeSetups;

// The zoom policy of a kind of scale. A zoom is an amount of value per pixel (seconds per pixel
// on a calendar scale). The policy decides what does not depend on one scale: the next zoom step
// out and in, the snapping of very small zooms, the limit, a zoom's place in the whole zoom range
// (for a slider), the range that anchors a zoom, which ranges become header rows and how they
// stack. One calendar policy (tlUnitsTime) and one numeric policy (tlUnitsNumeric) serve every
// scale of the process.
class tlUnits
{
public:
    // A maxZoom of 0 means no maximum: the largest double / 10.
    tlUnits(double zoomFactor, double maxZoom);
    virtual ~tlUnits();

    // Sets the factor of one zoom step; the cached steps are rebuilt on next use.
    virtual void setZoomFactor(double factor);
    virtual double calcNextZoomOut(double zoom, float mult) = 0;
    virtual double calcNextZoomIn(double zoom, float mult) = 0;
    // The policy's ranges, finest first.
    virtual std::vector<mRange*>* getRanges();
    // Nothing uses it; the policies stop on it.
    virtual int countZoomSteps(double zoom) = 0;
    // Snaps a zoom to the policy's fixed steps where it has them.
    virtual int quantizeZoom(aTimeDelta& zoom) = 0;
    virtual mRange* pickRangeForZoom(double zoom) = 0;
    virtual mRangeSetups* getRangeSetupsForZoom(double zoom) = 0;
    // Fills visible with the ranges that become header rows and stacks them; the preset used.
    virtual mRangeSetups* configureVisibleRangesForZoom(mRange* picked, double zoom,
                                                        std::vector<mRange*>& visible) = 0;
    // The zoom's place among all zoom-out steps, in (0, 1].
    virtual float calcZoomRangeFract(double zoom);
    virtual void clearGrids() = 0;
    virtual void recacheZoomSteps();
    virtual void setMaxZoom(double zoom);

    double getMaxZoom() const { return myMaxZoom; }
    double getZoomFactor() const { return myZoomFactor; }
    std::vector<double> const& zoomSteps() const { return myZoomSteps; }

protected:
    double myMaxZoom;
    double myZoomFactor;
    std::vector<double> myZoomSteps;
    double myZoomStepsFactor = 0.0;
    double myFractZoom = 0.0;
    float myFract = 0.0f;
};
