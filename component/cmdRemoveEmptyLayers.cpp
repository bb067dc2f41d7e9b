#include "cmdRemoveEmptyLayers.h"

#include "ObClassTypeOf.h"
#include "mLayer.h"
#include "mTimeline.h"

#include <list>

cmdRemoveEmptyLayers cmdRemoveEmptyLayers::ourInstance;

bool cmdRemoveEmptyLayers::isActiveTest() const
{
    if (!tlCmd::isActiveTest())
        return false;
    std::list<Obh> layers;
    getTimeline()->getLayers(layers);
    for (Obh const& h : layers)
        if (mLayer const* layer = ourType_mLayer->ptrFromFile(h);
            layer && layer->getEvents().empty())
            return true;
    return false;
}

bool cmdRemoveEmptyLayers::cmdAction()
{
    mTimeline* tl = getTimeline();
    if (!tl)
        return false;
    tl->collapseLayers(false);
    raiseDirt(DirtLayerStackingInTimeline);
    requestRefresh();
    return true;
}
