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

cmdSelectAll cmdSelectAll::ourInstance;

bool cmdSelectAll::cmdAction()
{
    mTimeline* tl = getTimeline();
    ObSelection* selection = getSelectionEngine();
    if (!tl || !selection)
        return false;
    std::list<Obh> layers;
    tl->getLayers(layers);
    for (Obh const& h : layers) {
        mLayer* layer = ourType_mLayer->ptrFromFile(h);
        if (!layer || !layer->getIsActive())
            continue;
        selection->addToSelection(h);
        for (Obh const& e : layer->getEvents()) {
            if (ourType_mEvent->ptrFromFile(e)) {
                selection->addToSelection(e);
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
    raiseDirt(DirtSelection);
    requestRefresh();
    return true;
}
