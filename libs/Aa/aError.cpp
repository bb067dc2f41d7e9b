#include "aError.h"

#include <cstdio>
#include <cstdlib>
#include <execinfo.h>

namespace {

// printf must not see a null text.
char const* text(rtl::str const& s)
{
    char const* t = s.c();
    return t ? t : "";
}

} // namespace

aError::aError()
    : myMessage("")
    , myLine(0)
{
}

aError::aError(char const* text)
    : myMessage(text)
    , myLine(0)
{
}

aError::aError(aError const& other) = default;

aError::~aError() = default;

void aError::throw_()
{
    captureStacktrace();
}

char const* aError::message() const
{
    // Never null, so that a handler can print or copy it as it is.
    return myMessage.cs();
}

void aError::captureStacktrace()
{
    myStack.clear();
    std::printf("DUMPING FRAMES: \n");
    void* frames[128];
    int const count = backtrace(frames, 128);
    char** lines = backtrace_symbols(frames, count);
    if (!lines)
        return;
    for (int i = 0; i < count && lines[i]; ++i)
        myStack.push_back(rtl::str(lines[i]));
    std::free(lines);
}

void aError::dump(char const* file, int line, char const* what)
{
    std::printf("ERROR DUMPING at %s, line %i\n\n%s\n\n", file ? file : "", line, what ? what : "");
    std::printf("       THROWN at %s, line %i, in %s\n\n%s\n\n", text(myPlace), myLine, text(myFile),
                text(myMessage));
    std::printf("  STACKTRACE:\n");
    for (rtl::str const& frame : myStack)
        std::printf("  %s\n", text(frame));
    std::printf("\n");
}
