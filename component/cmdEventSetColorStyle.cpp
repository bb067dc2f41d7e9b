#include "cmdEventSetColorStyle.h"

#include "ObClassTypeOf.h"
#include "ObSelection.h"
#include "mEvent.h"

#include <list>

cmdEventSetColorStyle cmdEventSetColorStyle::ourInstance0(0);
cmdEventSetColorStyle cmdEventSetColorStyle::ourInstance1(1);

cmdEventSetColorStyle::cmdEventSetColorStyle(int style) : myStyle(style)
{
}

bool cmdEventSetColorStyle::cmdAction()
{
    ObSelection* selection = getSelectionEngine();
    if (!selection || !getTimeline())
        return false;
    std::list<Obh> events;
    selection->getSelectedItemsOfType(ourType_mEvent, events);
    for (Obh& h : events)
        if (mEvent* ev = ourType_mEvent->ptrFromFile(h))
            ev->setColorStyle(myStyle);
    raiseDirt(DirtEventColorChanged);
    requestRefresh();
    return true;
}
