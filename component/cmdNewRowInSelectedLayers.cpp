#include "cmdNewRowInSelectedLayers.h"

#include "ObClassTypeOf.h"
#include "ObSelection.h"
#include "mLayer.h"

#include <list>

cmdNewRowInSelectedLayers cmdNewRowInSelectedLayers::ourInstance;

std::vector<mLayer*> cmdNewRowInSelectedLayers::selectedLayers() const
{
    std::vector<mLayer*> layers;
    ObSelection* selection = getSelectionEngine();
    if (!selection || !ourType_mLayer)
        return layers;
    std::list<Obh> handles;
    selection->getSelectedItemsOfType(ourType_mLayer, handles);
    for (Obh const& h : handles)
        if (mLayer* layer = ourType_mLayer->ptrFromFile(h))
            layers.push_back(layer);
    return layers;
}

bool cmdNewRowInSelectedLayers::isActiveTest() const
{
    return tlCmd::isActiveTest() && !selectedLayers().empty();
}

bool cmdNewRowInSelectedLayers::cmdAction()
{
    if (!getTimeline())
        return false;
    for (mLayer* layer : selectedLayers())
        layer->addRows(1);
    requestRefresh();
    return true;
}
