#pragma once

#include <cstdint>

class ObDirty;

// One named refresh step of a refreshable ("mLayer_syncToTick"): whether its clean rule holds
// over the dirt raised since the last pass. Its number is looked up in the dirt engine once and
// again only when the engine is another one (a later document, or a component whose engines
// number differently), so a step never tests another step's rule.
//
// Kept in a function-level static of the refreshable's refresh.
class tlStep
{
public:
    explicit tlStep(char const* name) : myName(name) {}

    // False without a dirt engine. When the step runs it is traced with the class's name.
    bool needsCleaning(ObDirty* dirt, char const* className);
    char const* name() const { return myName; }

private:
    char const* myName;
    ObDirty const* myEngine = nullptr;
    uint32_t myId = 0;
};
