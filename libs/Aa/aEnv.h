#pragma once

class aString;

// The process environment.
class aEnv
{
public:
    // True, with value set to the variable's text, when the variable is set.
    static bool GetEnv(char const* name, aString& value);
    static bool SetEnv(char const* name, char const* value, bool overwrite);
};
