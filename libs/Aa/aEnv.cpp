#include "aEnv.h"

#include "aString.h"

#include <cstdlib>

bool aEnv::GetEnv(char const* name, aString& value)
{
    char const* text = name ? std::getenv(name) : nullptr;
    if (!text)
        return false;
    value = text;
    return true;
}

bool aEnv::SetEnv(char const* name, char const* value, bool overwrite)
{
    if (!name || !value)
        return false;
    return setenv(name, value, overwrite ? 1 : 0) == 0;
}
