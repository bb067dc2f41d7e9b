#pragma once

#include "str.h"

class ObDirty;

// A condition over the dirt ids raised in a dirt engine: whether one refresh step has to run.
// The plain check never asks for cleaning.
class ObCleanCheck
{
public:
    ObCleanCheck() = default;
    virtual void getSignature(rtl::str& signature, ObDirty const* dirt) const;
    virtual bool needsCleaning(ObDirty const* dirt);
    // Deleting any check through this base destroys it completely, sub-checks included.
    virtual ~ObCleanCheck() = default;
};
