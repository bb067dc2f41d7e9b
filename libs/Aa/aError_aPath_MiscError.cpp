#include "aError_aPath_MiscError.h"

aError_aPath_MiscError::aError_aPath_MiscError()
{
    myMessage = "ERROR: [aPath_MiscError] - ";
}

aError_aPath_MiscError::aError_aPath_MiscError(aError_aPath_MiscError const& other) = default;

aError_aPath_MiscError::~aError_aPath_MiscError() = default;
