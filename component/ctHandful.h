#pragma once

#include "tlObj.h"

// The model side of a handful, the set of things being dragged: where the grabbed item was
// grabbed (in its own coordinates), and how to put everything back.
class ctHandful : public tlObj
{
public:
    ctHandful(double grabX, double grabY) : myGrabEventX(grabX), myGrabEventY(grabY) {}
    ~ctHandful() override;

    // Puts back whatever the drag took and no drop placed.
    virtual void returnEventsToOrigLocations() = 0;

    double myGrabEventX;
    double myGrabEventY;
};
