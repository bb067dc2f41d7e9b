#pragma once

#include "aError.h"

// A removal failed with an errno value the path layer knows; the sentence names it.
class aError_aPath_SystemError : public aError
{
public:
    explicit aError_aPath_SystemError(char const* sentence);
    aError_aPath_SystemError(aError_aPath_SystemError const& other);
    ~aError_aPath_SystemError() override;

    // errno, read right after the failing call.
    int myErrno;
};
