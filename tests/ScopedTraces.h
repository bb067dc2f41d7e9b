#pragma once

#include "Ob.h"
#include "Xml.h"

// The busy paths' traces (objects, XML elements, refresh steps) switched on or off for one scope,
// as VANTREL_TRACE=1 switches them on for the program; what was set before comes back after.
class ScopedTraces
{
public:
    explicit ScopedTraces(bool on) { Ob::ourTrace = Xml::ourTrace = on; }
    ~ScopedTraces()
    {
        Ob::ourTrace = myOb;
        Xml::ourTrace = myXml;
    }
    ScopedTraces(ScopedTraces const&) = delete;
    ScopedTraces& operator=(ScopedTraces const&) = delete;

private:
    bool const myOb = Ob::ourTrace;
    bool const myXml = Xml::ourTrace;
};
