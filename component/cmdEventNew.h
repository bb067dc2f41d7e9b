#pragma once

#include "tlCmd.h"

// "New Event": a new event at the time selection (or the middle of the view) in the current
// layer, selected alone.
class cmdEventNew : public tlCmd
{
public:
    bool cmdAction() override;

    static cmdEventNew ourInstance;
};
