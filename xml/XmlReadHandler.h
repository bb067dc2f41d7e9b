#pragma once

class XmlReader;

// Everything that can sit on an XmlReader's handler stack. A handler answers true when it took
// the node. An element start that the current handler declines is skipped with its content;
// a declined end or text is offered to the handlers stacked below it.
class XmlReadHandler
{
public:
    XmlReadHandler() {}
    virtual ~XmlReadHandler() {}

    virtual bool xmlReadStartElement(XmlReader& reader, char const* name, int attrCount);
    virtual bool xmlReadEndElement(XmlReader& reader, char const* name);
    virtual bool xmlReadValue(XmlReader& reader, char const* text);
};
