#pragma once

#include "Ob.h"
#include "aTrace.h"

// Debug lines of the busy paths of the model and of the folders above it (placing, syncing,
// searching, input, painting), plain or coloured, only while the framework's traces are on
// (Ob::ourTrace, VANTREL_TRACE=1): a benchmark or a very large document switches them off once.
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
