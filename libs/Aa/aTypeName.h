#pragma once

#include <typeinfo>

// The class name as the run-time type information gives it, without the one or two length
// digits in front (global classes only carry those).
inline char const* aTypeName(std::type_info const& type)
{
    char const* name = type.name();
    for (int i = 0; i < 2 && *name >= '0' && *name <= '9'; ++i)
        ++name;
    return name;
}
