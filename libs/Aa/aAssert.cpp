#include "aAssert.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

void aAssertFail(char const* expr, char const* file, int line)
{
    char const* slash = std::strrchr(file, '/');
    std::fflush(stdout);
    std::fprintf(stderr, "ASSERTION FAILED: %s [ %s @ %i ]\n", expr, slash ? slash + 1 : file, line);
    std::fflush(stderr);
    std::abort();
}
