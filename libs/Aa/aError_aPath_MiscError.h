#pragma once

#include "aError.h"

// A removal failed with any other errno value, or the path was neither file, link nor directory.
class aError_aPath_MiscError : public aError
{
public:
    aError_aPath_MiscError();
    aError_aPath_MiscError(aError_aPath_MiscError const& other);
    ~aError_aPath_MiscError() override;
};
