#pragma once

#include "tlCmd.h"

// "New Layer": a new layer at the bottom of the stack, selected alone, current (the next new
// event goes into it) and scrolled into view.
class cmdTimelineNewLayer : public tlCmd
{
public:
    bool cmdAction() override;

    static cmdTimelineNewLayer ourInstance;
};
