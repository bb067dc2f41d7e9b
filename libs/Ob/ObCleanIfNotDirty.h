#pragma once

#include "ObCleanCheck.h"

// Holds while one dirt id is not raised.
class ObCleanIfNotDirty : public ObCleanCheck
{
public:
    explicit ObCleanIfNotDirty(unsigned int dirtId);
    void getSignature(rtl::str& signature, ObDirty const* dirt) const override;
    bool needsCleaning(ObDirty const* dirt) override;

    unsigned int myDirtId;
};
