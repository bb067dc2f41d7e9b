#pragma once

#include "tlCmd.h"

// "New Layer": a new layer at the bottom of the stack, selected alone.
class cmdTimelineNewLayer : public tlCmd
{
public:
    bool cmdAction() override;

    static cmdTimelineNewLayer ourInstance;
};
