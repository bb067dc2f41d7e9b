#pragma once

#include "Ob.h"
#include "Xml.h"
#include "aTrace.h"

#include <typeinfo>

// A coloured line of the object framework's busy paths (dirt, refresh steps), only while
// Ob::ourTrace is on.
#define OB_TRACE_C(colourName, ...)                                                                \
    do {                                                                                           \
        if (Ob::ourTrace)                                                                          \
            A_TRACE_C(colourName, __VA_ARGS__);                                                    \
    } while (0)

// Debug line of the object framework, white on blue, only while Ob::ourTrace is on.
#define OB_TRACE(...) OB_TRACE_C("iblue", __VA_ARGS__)

// The run-time class name of an object, demangled, for the front of a trace.
#define OB_CLASS(objRef) (Xml::className(typeid(objRef)).c_str())
