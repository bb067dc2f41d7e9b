#pragma once

#include <stdexcept>
#include <string>

// Thrown when a string's formatting buffer cannot be allocated; the string is left unchanged.
class NoStringMemory : public std::runtime_error
{
public:
    explicit NoStringMemory(std::string const& message);
    ~NoStringMemory() override;
};
