#include "aStateEngine.h"

#include "aTrace.h"

aStateEngine::~aStateEngine() = default;

unsigned long aStateEngine::newStateId(const char* name)
{
    constexpr int Bits = 64;
    if (myNextId >= Bits) {
        A_TRACE_C("ired", "aStateEngine: all %i state ids are taken, none for %s\n", Bits,
                  name && *name ? name : "an unnamed state");
        return 0;
    }
    unsigned long id = 1UL << myNextId;
    rtl::str stateName;
    if (name && *name)
        stateName = name;
    else
        stateName.set("State[%i]", myNextId);
    myStateNames[id] = stateName;
    ++myNextId;
    return id;
}

unsigned long aStateEngine::setState(unsigned long bits)
{
    myLastStates = myStates;
    myStates |= bits;
    return myStates;
}

unsigned long aStateEngine::clearState(unsigned long bits)
{
    myLastStates = myStates;
    myStates &= ~bits;
    return myStates;
}

bool aStateEngine::stateIsSet(unsigned long bits) const
{
    return (myStates & bits) != 0;
}

bool aStateEngine::stateIsActive(unsigned long bits) const
{
    return stateIsSet(bits);
}

bool aStateEngine::lastStateWasSet(unsigned long bits) const
{
    return (myLastStates & bits) != 0;
}

unsigned long aStateEngine::getStates() const
{
    return myStates;
}

rtl::str aStateEngine::getStateName(unsigned long id) const
{
    auto it = myStateNames.find(id);
    return it == myStateNames.end() ? rtl::str() : it->second;
}
