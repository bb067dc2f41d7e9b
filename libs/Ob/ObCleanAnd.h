#pragma once

#include "ObCleanCombo.h"

// Holds when no sub-check fails (an empty And holds). The arguments end at the first null.
class ObCleanAnd : public ObCleanCombo
{
public:
    explicit ObCleanAnd(ObCleanCheck* first, ...);
    bool needsCleaning(ObDirty const* dirt) override;
};
