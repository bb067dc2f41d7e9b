#include "cmdSelectAll.h"

#include "ObClassTypeOf.h"
#include "ObSelection.h"
#include "Obt.h"
#include "Xml.h"
#include "aTrace.h"
#include "mEvent.h"
#include "mLayer.h"
#include "mTimeline.h"

#include <list>
#include <typeinfo>
#include <vector>

cmdSelectAll cmdSelectAll::ourInstance;

bool cmdSelectAll::cmdAction()
{
    mTimeline* tl = getTimeline();
    ObSelection* selection = getSelectionEngine();
    if (!tl || !selection)
        return false;
    std::list<Obh> layers;
    tl->getLayers(layers);
    // One change for the lot: a million events are selected as fast as they are listed.
    std::vector<Obh> chosen;
    for (Obh const& h : layers) {
        mLayer* layer = ourType_mLayer->ptrFromFile(h);
        if (!layer || !layer->getIsActive())
            continue;
        chosen.push_back(h);
        for (Obh const& e : layer->getEvents()) {
            if (ourType_mEvent->ptrFromFile(e)) {
                chosen.push_back(e);
                continue;
            }
            // What a layer should never hold is left out and told.
            if (mLayer* other = ourType_mLayer->ptrFromFile(e)) {
                A_TRACE_C("ired", "%s has a LAYER event handle %p %s\n", layer->getTitle().cs(),
                          static_cast<void*>(other), other->getTitle().cs());
                continue;
            }
            ObObj* obj = e.getType() ? e.getType()->objFromFile(e) : nullptr;
            std::string const name = obj ? Xml::className(typeid(*obj)) : std::string("?");
            A_TRACE_C("ired", "%s has a null event handle %p %s\n", layer->getTitle().cs(),
                      static_cast<void*>(obj), name.c_str());
        }
    }
    selection->addToSelection(chosen);
    raiseDirt(DirtSelection);
    requestRefresh();
    return true;
}
