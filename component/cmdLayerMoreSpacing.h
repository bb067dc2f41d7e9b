#pragma once

#include "cmdLayerSpacing.h"

// "Make Bigger".
class cmdLayerMoreSpacing : public cmdLayerSpacing
{
public:
    cmdLayerMoreSpacing();
    static cmdLayerMoreSpacing ourInstance;
};
