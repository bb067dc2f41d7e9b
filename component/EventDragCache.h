#pragma once

#include "Obh.h"

class mEvent;
class mLayer;

// What a drag of events keeps of one dragged event: where it came from, where it stands against
// the grabbed event, its ghost at the current hover position, and where a drop puts it.
struct EventDragCache
{
    mEvent* myEvent = nullptr;
    Obh myOrigLayerHdl;
    mLayer* myOrigLayer = nullptr;
    // Stack rows from the grabbed event (0 for it).
    double myDsri = 0;
    // The event's scene rectangle when it was picked up.
    double mySceneX = 0, mySceneW = 0, mySceneY = 0, mySceneH = 0;
    // The ghost at the current hover position; myGhostInRow when its target row exists.
    double myGhostX = 0, myGhostW = 0, myGhostY = 0, myGhostH = 0;
    bool myGhostInRow = false;
    // Set by a drop that found the event's target row: the layer and row it goes to.
    bool myPlaced = false;
    Obh myDropLayerHdl;
    double myDropRi = 0;
};
