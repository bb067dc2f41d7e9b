#include "IsNullError.h"

IsNullError::IsNullError()
    : std::runtime_error("")
{
}

IsNullError::~IsNullError() = default;
