#pragma once

#include <cstdint>

// What a drag of events keeps of one dragged event beside its handle: the layer it came from (its
// place in the handful's list of such layers) and how many stack rows it stands from the grabbed
// event. The handful keeps these in one vector in handle order, beside the handles: a million
// events are picked up without an allocation each.
struct EventDragCache
{
    std::uint32_t myOrigLayer = 0;
    // Stack rows from the grabbed event (0 for it).
    int myDsri = 0;
};
