#include "cmdEventDeleteSelected.h"

#include "ObClassTypeOf.h"
#include "ObSelection.h"
#include "mEvent.h"
#include "mTimeline.h"

#include <list>

cmdEventDeleteSelected cmdEventDeleteSelected::ourInstance;

bool cmdEventDeleteSelected::cmdAction()
{
    mTimeline* tl = getTimeline();
    ObSelection* selection = getSelectionEngine();
    if (!tl || !selection)
        return false;
    std::list<Obh> events;
    selection->getSelectedItemsOfType(ourType_mEvent, events);
    for (Obh& h : events)
        if (h.isValid() && ourType_mEvent->ptrFromFile(h))
            tl->deleteEvent(h);
    return true;
}
