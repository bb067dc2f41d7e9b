#include "aError_aPath_SystemError.h"

aError_aPath_SystemError::aError_aPath_SystemError(char const* sentence)
    : aError(sentence)
    , myErrno(0)
{
    myMessage = "ERROR: [aPath_SystemError] - ";
    myMessage += sentence;
}

aError_aPath_SystemError::aError_aPath_SystemError(aError_aPath_SystemError const& other) = default;

aError_aPath_SystemError::~aError_aPath_SystemError() = default;
