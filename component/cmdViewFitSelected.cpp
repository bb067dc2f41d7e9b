#include "cmdViewFitSelected.h"

#include "aTs.h"
#include "mScale.h"
#include "mTimeline.h"

#include <algorithm>

cmdViewFitSelected cmdViewFitSelected::ourInstance;

namespace {

// The fitted range fills about 95 % of the view.
constexpr float Margin = 1.05f;

// Fits the time scale to the range with the margin, the window kept where instants have dates:
// beyond them the ruler and the window's ends have none to show. False when none of it has.
bool fitTime(mScale& ts, double tMin, double tMax)
{
    double const mid = tMin / 2 + tMax / 2;
    double const half = (tMax / 2 - tMin / 2) * double(Margin);
    double const lo = mid - half, hi = mid + half;
    double const dated = mScale::DatedSeconds;
    if (lo >= -dated && hi <= dated) {
        ts.zoomToLocalRange(aTs(tMin), aTs(tMax), Margin);
        return true;
    }
    double const from = std::max(lo, -dated), to = std::min(hi, dated);
    if (!(from < to))
        return false;
    ts.zoomToLocalRange(aTs(from), aTs(to), 1.0f);
    return true;
}

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
    if (myFitTime && hasTime && tMax > tMin && tl->timeScale() &&
        fitTime(*tl->timeScale(), tMin, tMax))
        raiseDirt(DirtTimeScaleZoom);
    if (myFitRows && hasRows && rMax > rMin && tl->perpScale()) {
        tl->perpScale()->zoomToLocalRange(rMin, rMax, Margin);
        raiseDirt(DirtRowScalePan);
    }
    requestRefresh();
    return true;
}
