#include "cmdViewFitSelected.h"

#include "aTs.h"
#include "mScale.h"
#include "mTimeline.h"

cmdViewFitSelected cmdViewFitSelected::ourInstance;

namespace {

// The fitted range fills about 95 % of the view.
constexpr float Margin = 1.05f;

} // namespace

cmdViewFitSelected::cmdViewFitSelected() : cmdViewFitSelected(true, true)
{
}

cmdViewFitSelected::cmdViewFitSelected(bool fitTime, bool fitRows)
    : myFitTime(fitTime), myFitRows(fitRows)
{
}

bool cmdViewFitSelected::cmdAction()
{
    mTimeline* tl = getTimeline();
    if (!tl)
        return false;
    double tMin = 0, tMax = 0, rMin = 0, rMax = 0;
    bool hasTime = false, hasRows = false;
    tl->getSelectedRanges(tMin, tMax, hasTime, rMin, rMax, hasRows, true);
    // An empty range would zoom to nothing: that axis stays.
    if (myFitTime && hasTime && tMax > tMin && tl->timeScale()) {
        tl->timeScale()->zoomToLocalRange(aTs(tMin), aTs(tMax), Margin);
        raiseDirt(DirtTimeScaleZoom);
    }
    if (myFitRows && hasRows && rMax > rMin && tl->perpScale()) {
        tl->perpScale()->zoomToLocalRange(rMin, rMax, Margin);
        raiseDirt(DirtRowScalePan);
    }
    requestRefresh();
    return true;
}
