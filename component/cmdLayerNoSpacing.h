#pragma once

#include "cmdLayerSpacing.h"

// "Zero Spacing".
class cmdLayerNoSpacing : public cmdLayerSpacing
{
public:
    cmdLayerNoSpacing();
    static cmdLayerNoSpacing ourInstance;
};
