#pragma once

#include "cmdViewFitSelected.h"

// "Fit Selected - Horizontal": the time only.
class cmdViewFitSelectedHorizontal : public cmdViewFitSelected
{
public:
    cmdViewFitSelectedHorizontal();
    static cmdViewFitSelectedHorizontal ourInstance;
};
