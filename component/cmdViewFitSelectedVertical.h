#pragma once

#include "cmdViewFitSelected.h"

// "Fit Selected - Vertical": the rows only.
class cmdViewFitSelectedVertical : public cmdViewFitSelected
{
public:
    cmdViewFitSelectedVertical();
    static cmdViewFitSelectedVertical ourInstance;
};
