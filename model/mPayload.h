#pragma once

#include "Obh.h"

// What every payload answers: a model object that an event carries beside its own attributes.
class mPayload
{
public:
    mPayload() = default;
    virtual ~mPayload() = default;

    // The payload is being attached to the event; false would refuse it. The base accepts.
    virtual bool droppedIntoEvent(Obh& ev);
};
