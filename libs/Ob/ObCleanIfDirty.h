#pragma once

#include "ObCleanCheck.h"

// Holds while one dirt id is raised.
class ObCleanIfDirty : public ObCleanCheck
{
public:
    explicit ObCleanIfDirty(unsigned int dirtId);
    void getSignature(rtl::str& signature, ObDirty const* dirt) const override;
    bool needsCleaning(ObDirty const* dirt) override;

    unsigned int myDirtId;
};
