#pragma once

#include "XmlReadHandler.h"

// Swallows one element with its whole subtree and pops itself at that element's end. The
// reader pushes it when a handler refuses an element, so that nothing inside a refused element
// reaches the handlers below (a misplaced structural element must not act on them).
class XmlSkipHandler : public XmlReadHandler
{
public:
    XmlSkipHandler() : myDepth(0) {}

    void begin() { myDepth = 0; }
    bool xmlReadStartElement(XmlReader& reader, char const* name, int attrCount) override;
    bool xmlReadEndElement(XmlReader& reader, char const* name) override;
    bool xmlReadValue(XmlReader& reader, char const* text) override;

private:
    int myDepth;
};
