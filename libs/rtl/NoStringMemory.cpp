#include "NoStringMemory.h"

NoStringMemory::NoStringMemory(std::string const& message)
    : std::runtime_error(message)
{
}

NoStringMemory::~NoStringMemory() = default;
