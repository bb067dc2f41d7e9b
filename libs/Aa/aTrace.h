#pragma once

#include "Aa.h"

// One trace statement: label, message, end. The format must be a literal; text that comes from
// data is passed as an argument ("%s"), never as the format.
#define A_TRACE(...)                                          \
    do {                                                      \
        Aa::logstart(nullptr, __FILE__, __LINE__, nullptr);   \
        Aa::logmsg(__VA_ARGS__);                              \
        Aa::logend(nullptr);                                  \
    } while (0)

// A trace of a busy path (a line per call, object or item): only with VANTREL_TRACE=1.
#define A_TRACE_DETAIL(...)                                                                        \
    do {                                                                                           \
        if (Aa::detailedTraces())                                                                  \
            A_TRACE(__VA_ARGS__);                                                                  \
    } while (0)

// A coloured trace: the colour pair of a name of the logging colour table, the message, a reset.
#define A_TRACE_C(colourName, ...)                                                        \
    do {                                                                                  \
        Aa::logstart(nullptr, __FILE__, __LINE__, nullptr);                               \
        Aa::logmsg("%s%s", Aa::foregroundCode(colourName), Aa::backgroundCode(colourName)); \
        Aa::logmsg(__VA_ARGS__);                                                          \
        Aa::logmsg("%s", "\033[0m");                                                      \
        Aa::logend(nullptr);                                                              \
    } while (0)
