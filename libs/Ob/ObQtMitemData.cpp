#include "ObQtMitemData.h"

#include "ObAttr.h"

bool ObQtMitemData::setTitle(rtl::str title)
{
    if (!checkTitle(title))
        return false;
    rtl::str old = myTitle;
    myTitle = title;
    hookTitle(old, title);
    return true;
}

void ObQtMitemData::getAttrNames(std::list<rtl::str>& names) const
{
    names.push_back(rtl::str("title"));
    ObObj::getAttrNames(names);
}

bool ObQtMitemData::getAttr(rtl::str name, ObAttr& attr) const
{
    if (name == "title") {
        attr.setDataType("rtl::str");
        return true;
    }
    return ObObj::getAttr(name, attr);
}

bool ObQtMitemData::setAttrByString(rtl::str name, rtl::str value, char const* type)
{
    if (name == "title") {
        myTitle = value;
        return true;
    }
    return ObObj::setAttrByString(name, value, type);
}

bool ObQtMitemData::getAttrAsString(rtl::str name, rtl::str& text) const
{
    if (name == "title") {
        text = myTitle;
        return true;
    }
    return ObObj::getAttrAsString(name, text);
}
