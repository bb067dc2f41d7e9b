#pragma once

#include "Ob.h"
#include "aTrace.h"

// Debug line of the time scale, coloured, while the framework's traces are on (Ob::ourTrace):
// a benchmark or a very large build switches them off once for the whole framework.
#define SC_TRACE_C(colourName, ...)              \
    do {                                         \
        if (Ob::ourTrace)                        \
            A_TRACE_C(colourName, __VA_ARGS__);  \
    } while (0)
