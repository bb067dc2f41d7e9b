#include "tlUnitsNumeric.h"

#include "aAssert.h"
#include "mRangeNumeric.h"
#include "scTrace.h"

tlUnitsNumeric::tlUnitsNumeric(double zoomFactor, double maxZoom, double minZoom)
    : tlUnits(zoomFactor, maxZoom)
    , myMinZoom(minZoom)
    , myRange(new mRangeNumeric(this, 0, minZoom, myMaxZoom))
{
    myRanges.push_back(myRange);
}

tlUnitsNumeric::~tlUnitsNumeric()
{
    delete myRange;
}

double tlUnitsNumeric::calcNextZoomOut(double zoom, float mult)
{
    double next = zoom / (1.0 + 0.1 * mult);
    if (next < myMinZoom)
        next = myMinZoom;
    SC_TRACE_C("ired", "NEXT ZOOM OUT orig %f, mult %f, nextZoomOut = %f\n", zoom, double(mult), next);
    return next;
}

double tlUnitsNumeric::calcNextZoomIn(double zoom, float mult)
{
    double next = zoom * (1.0 + 0.1 * mult);
    if (next > myMaxZoom)
        next = myMaxZoom;
    SC_TRACE_C("ired", "NEXT ZOOM IN orig %f, mult %f, nextZoomIn = %f\n", zoom, double(mult), next);
    return next;
}

std::vector<mRange*>* tlUnitsNumeric::getRanges()
{
    return &myRanges;
}

int tlUnitsNumeric::countZoomSteps(double)
{
    A_ASSERT(!"tlUnitsNumeric::countZoomSteps");
    return 0;
}

int tlUnitsNumeric::quantizeZoom(aTimeDelta&)
{
    return -1;
}

mRange* tlUnitsNumeric::pickRangeForZoom(double)
{
    return myRange;
}

mRangeSetups* tlUnitsNumeric::getRangeSetupsForZoom(double)
{
    return nullptr;
}

mRangeSetups* tlUnitsNumeric::configureVisibleRangesForZoom(mRange*, double, std::vector<mRange*>&)
{
    return nullptr;
}

void tlUnitsNumeric::clearGrids() {}

void tlUnitsNumeric::setMinZoom(double zoom)
{
    myMinZoom = zoom;
}
