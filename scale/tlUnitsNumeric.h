#pragma once

#include "tlUnits.h"

#include <vector>

class mRangeNumeric;

// The zoom policy of numeric scales (the timeline's row scale): one numeric range and no
// header presets. Zooming out divides, towards the minimum zoom; zooming in multiplies, towards
// the maximum.
class tlUnitsNumeric : public tlUnits
{
public:
    tlUnitsNumeric(double zoomFactor, double maxZoom, double minZoom);
    ~tlUnitsNumeric() override;

    double calcNextZoomOut(double zoom, float mult) override;
    double calcNextZoomIn(double zoom, float mult) override;
    std::vector<mRange*>* getRanges() override;
    int countZoomSteps(double zoom) override;
    int quantizeZoom(aTimeDelta& zoom) override;
    mRange* pickRangeForZoom(double zoom) override;
    mRangeSetups* getRangeSetupsForZoom(double zoom) override;
    mRangeSetups* configureVisibleRangesForZoom(mRange* picked, double zoom, std::vector<mRange*>& visible) override;
    void clearGrids() override;
    // The range's own zoom band is not changed.
    virtual void setMinZoom(double zoom);

    double getMinZoom() const { return myMinZoom; }

private:
    double myMinZoom;
    std::vector<mRange*> myRanges;
    mRangeNumeric* myRange;
};
