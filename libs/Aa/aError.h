#pragma once

#include "str.h"

#include <list>

// Base of the errors thrown by the path layer: message, throw site and the call stack captured at
// the throw. A thrower builds the error as a local, sets its fields, calls throw_() and throws a
// copy by value.
class aError
{
public:
    aError();
    explicit aError(char const* text);
    aError(aError const& other);
    virtual ~aError();

    // Captures the call stack; throws nothing itself.
    virtual void throw_();
    virtual char const* message() const;
    // Writes the error, where it was thrown and its stack to standard output.
    virtual void dump(char const* file, int line, char const* text);

    void captureStacktrace();

    rtl::str myMessage;
    rtl::str myFile;
    rtl::str myPlace;
    int myLine;
    std::list<rtl::str> myStack;
};
