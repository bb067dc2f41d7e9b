#pragma once

#include "tlCmd.h"

// "Delete Selected": every selected event is deleted (and leaves the selection with it);
// selected handles that no longer name an event are skipped.
class cmdEventDeleteSelected : public tlCmd
{
public:
    bool cmdAction() override;

    static cmdEventDeleteSelected ourInstance;
};
