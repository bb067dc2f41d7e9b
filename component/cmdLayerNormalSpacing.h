#pragma once

#include "cmdLayerSpacing.h"

// "Reset Spacing".
class cmdLayerNormalSpacing : public cmdLayerSpacing
{
public:
    cmdLayerNormalSpacing();
    static cmdLayerNormalSpacing ourInstance;
};
