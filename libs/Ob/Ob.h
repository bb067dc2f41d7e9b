#pragma once

class ObEngine;

// Empty polymorphic root of the object framework.
class Ob
{
public:
    Ob() {}
    virtual ~Ob() {}

    // The current object store: the one constructed last. Handles and embedded objects resolve
    // type names through it while a document is read.
    static ObEngine* ourEngine;

    // Debug lines of the pools, objects and store (one or more per object made, freed, written
    // or read) and of the refresh passes. Off unless VANTREL_TRACE=1; tests may switch them.
    static bool ourTrace;
};
