#pragma once

#include "tlCmd.h"

// "Remove Empty Layers": every layer without events goes; the top one stays when all are empty.
class cmdRemoveEmptyLayers : public tlCmd
{
public:
    // Active when some layer holds no event.
    bool isActiveTest() const override;
    bool cmdAction() override;

    static cmdRemoveEmptyLayers ourInstance;
};
