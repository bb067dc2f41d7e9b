#pragma once

#include "cmdLayerSpacing.h"

// "Make Smaller".
class cmdLayerLessSpacing : public cmdLayerSpacing
{
public:
    cmdLayerLessSpacing();
    static cmdLayerLessSpacing ourInstance;
};
