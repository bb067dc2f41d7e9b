#include "XmlSkipHandler.h"

#include "XmlReader.h"

bool XmlSkipHandler::xmlReadStartElement(XmlReader& reader, char const*, int)
{
    if (!reader.isEmptyElement())
        ++myDepth;
    return true;
}

bool XmlSkipHandler::xmlReadEndElement(XmlReader& reader, char const*)
{
    if (myDepth == 0)
        reader.popHandler();
    else
        --myDepth;
    return true;
}

bool XmlSkipHandler::xmlReadValue(XmlReader&, char const*)
{
    return true;
}
