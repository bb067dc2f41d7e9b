#pragma once

#include "str.h"

#include <map>

// A document's set of up to 64 named state flags, the bits of one word, with the set as it
// was before the last change. State arguments are bit masks and may name several states.
class aStateEngine
{
public:
    aStateEngine() = default;
    virtual ~aStateEngine();

    // A new state id (a mask of one bit no earlier call handed out), named by the text or,
    // without one, "State[<count so far>]". After 64 ids it refuses with 0.
    virtual unsigned long newStateId(const char* name);
    virtual unsigned long setState(unsigned long bits);
    virtual unsigned long clearState(unsigned long bits);
    // True when any of the given bits is set.
    virtual bool stateIsSet(unsigned long bits) const;
    virtual bool stateIsActive(unsigned long bits) const;
    virtual bool lastStateWasSet(unsigned long bits) const;
    virtual unsigned long getStates() const;

    // The name given to an id, or an empty handle for an id never handed out.
    rtl::str getStateName(unsigned long id) const;

private:
    int myNextId = 0;
    unsigned long myStates = 0;
    unsigned long myLastStates = 0;
    std::map<unsigned long, rtl::str> myStateNames;
};
