#pragma once

#include "tlCmd.h"

// "Select All": every active layer and its events join the selection (nothing is deselected).
class cmdSelectAll : public tlCmd
{
public:
    bool cmdAction() override;

    static cmdSelectAll ourInstance;
};
