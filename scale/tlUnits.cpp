#include "tlUnits.h"

#include "aAssert.h"
#include "scTrace.h"

#include <limits>

tlUnits::tlUnits(double zoomFactor, double maxZoom)
    : myMaxZoom(maxZoom == 0.0 ? std::numeric_limits<double>::max() / 10 : maxZoom)
    , myZoomFactor(zoomFactor)
{
}

tlUnits::~tlUnits() = default;

void tlUnits::setZoomFactor(double factor)
{
    myZoomFactor = factor;
    myZoomSteps.clear();
}

std::vector<mRange*>* tlUnits::getRanges()
{
    A_ASSERT(!"getRanges of a policy without ranges");
    return nullptr;
}

void tlUnits::setMaxZoom(double zoom)
{
    myMaxZoom = zoom;
}

void tlUnits::recacheZoomSteps()
{
    myZoomSteps.clear();
    SC_TRACE_C("red", "START ZOOM STEPS: %i\n", static_cast<int>(myZoomSteps.size()));
    double value = 1e-9;
    double prev = 0.0;
    // Every policy's step moves one way and stops at its limit, where it returns its input.
    while (value != prev) {
        prev = value;
        value = calcNextZoomOut(value, 1.0f);
        myZoomSteps.push_back(value);
    }
    myZoomStepsFactor = myZoomFactor;
    SC_TRACE_C("ired", "TOTAL ZOOM STEPS: %i\n", static_cast<int>(myZoomSteps.size()));
}

float tlUnits::calcZoomRangeFract(double zoom)
{
    if (myZoomSteps.empty() || myZoomStepsFactor != myZoomFactor)
        recacheZoomSteps();
    else if (zoom == myFractZoom)
        return myFract;
    std::size_t const n = myZoomSteps.size();
    float fract = 1.0f;
    double lower = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        if (lower <= zoom && zoom < myZoomSteps[i]) {
            fract = float(i + 1) / float(n);
            break;
        }
        lower = myZoomSteps[i];
    }
    myFractZoom = zoom;
    myFract = fract;
    return fract;
}
