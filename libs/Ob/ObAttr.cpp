#include "ObAttr.h"

#include "Xml.h"

rtl::str ObAttr::realText(double value)
{
    char buf[400];
    return rtl::str(Xml::formatReal(buf, sizeof buf, value));
}

double ObAttr::realValue(char const* text)
{
    double v = 0.0;
    Xml::parseReal(text, v);
    return v;
}
