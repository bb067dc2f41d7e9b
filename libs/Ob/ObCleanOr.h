#pragma once

#include "ObCleanCombo.h"

// Holds when some sub-check holds; the first that holds decides (an empty Or never holds).
// The arguments end at the first null.
class ObCleanOr : public ObCleanCombo
{
public:
    explicit ObCleanOr(ObCleanCheck* first, ...);
    bool needsCleaning(ObDirty const* dirt) override;
};
