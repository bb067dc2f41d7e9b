#pragma once

#include "Ob.h"
#include "aTrace.h"

// Debug lines of the model's busy paths (placing, syncing, searching), plain or coloured, only
// while the framework's traces are on (Ob::ourTrace): a benchmark or a very large document
// switches them off once.
#define M_TRACE(...)                \
    do {                            \
        if (Ob::ourTrace)           \
            A_TRACE(__VA_ARGS__);   \
    } while (0)

#define M_TRACE_C(colourName, ...)                  \
    do {                                            \
        if (Ob::ourTrace)                           \
            A_TRACE_C(colourName, __VA_ARGS__);     \
    } while (0)
