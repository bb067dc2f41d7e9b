#pragma once

#include <stdexcept>

// Thrown when an empty handle is dereferenced with operator->. Carries no text of its own.
class IsNullError : public std::runtime_error
{
public:
    IsNullError();
    ~IsNullError() override;
};
