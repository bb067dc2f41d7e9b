#include "cmdToggleShowLayerControls.h"

#include "mTimeline.h"
#include "tlCmd.h"

cmdToggleShowLayerControls cmdToggleShowLayerControls::ourInstance;

bool cmdToggleShowLayerControls::isActiveTest() const
{
    return tlCmd::docAndTimeline(*this);
}

bool cmdToggleShowLayerControls::isCheckedTest() const
{
    mTimeline* tl = getTimeline();
    return tl && tl->getShowLayerControls();
}

bool cmdToggleShowLayerControls::cmdAction()
{
    mTimeline* tl = getTimeline();
    if (!tl)
        return false;
    // The attribute's hook raises the dirt and asks for the pass.
    tl->setShowLayerControls(!tl->getShowLayerControls());
    return true;
}
