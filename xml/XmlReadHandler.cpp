#include "XmlReadHandler.h"

bool XmlReadHandler::xmlReadStartElement(XmlReader&, char const*, int)
{
    return false;
}

bool XmlReadHandler::xmlReadEndElement(XmlReader&, char const*)
{
    return false;
}

bool XmlReadHandler::xmlReadValue(XmlReader&, char const*)
{
    return false;
}
