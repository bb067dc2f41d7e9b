#pragma once

#include "Obh.h"
#include "ctHandful.h"

// A handful of events: the model side of dragging events. Its Qt side (ctHandfulEventsQt) does
// the work, putting back included.
class ctHandfulEvents : public ctHandful
{
public:
    // The grabbed event (only passed through) and the grab point in its item.
    ctHandfulEvents(Obh grabbed, double grabX, double grabY);
    ~ctHandfulEvents() override;

    void returnEventsToOrigLocations() override;
};
