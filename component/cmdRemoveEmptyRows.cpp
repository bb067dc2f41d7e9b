#include "cmdRemoveEmptyRows.h"

#include "mLayer.h"
#include "mTimeline.h"

cmdRemoveEmptyRows cmdRemoveEmptyRows::ourInstance;

bool cmdRemoveEmptyRows::isActiveTest() const
{
    return tlCmd::isActiveTest() && !layersToActOn(*getTimeline()).empty();
}

bool cmdRemoveEmptyRows::cmdAction()
{
    mTimeline* tl = getTimeline();
    std::vector<mLayer*> const layers = tl ? layersToActOn(*tl) : std::vector<mLayer*>();
    if (layers.empty())
        return false;
    for (mLayer* layer : layers)
        layer->fitRows();
    raiseDirt(DirtLayerStackingInTimeline);
    requestRefresh();
    return true;
}
