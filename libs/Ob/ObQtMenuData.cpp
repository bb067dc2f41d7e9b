#include "ObQtMenuData.h"

#include "ObAttr.h"

bool ObQtMenuData::setTitle(rtl::str title)
{
    if (!checkTitle(title))
        return false;
    rtl::str old = myTitle;
    myTitle = title;
    hookTitle(old, title);
    return true;
}

bool ObQtMenuData::setIsDynamic(bool isDynamic)
{
    if (!checkIsDynamic(isDynamic))
        return false;
    bool const old = myIsDynamic;
    myIsDynamic = isDynamic;
    hookIsDynamic(old, isDynamic);
    return true;
}

void ObQtMenuData::getAttrNames(std::list<rtl::str>& names) const
{
    names.push_back(rtl::str("title"));
    names.push_back(rtl::str("isDynamic"));
    ObObj::getAttrNames(names);
}

bool ObQtMenuData::getAttr(rtl::str name, ObAttr& attr) const
{
    if (name == "title") {
        attr.setDataType("rtl::str");
        return true;
    }
    if (name == "isDynamic") {
        attr.setDataType("bool");
        return true;
    }
    return ObObj::getAttr(name, attr);
}

bool ObQtMenuData::setAttrByString(rtl::str name, rtl::str value, char const* type)
{
    if (name == "title") {
        myTitle = value;
        return true;
    }
    if (name == "isDynamic") {
        myIsDynamic = value == "T" || value == "True" || value == "t" || value == "true";
        return true;
    }
    return ObObj::setAttrByString(name, value, type);
}

bool ObQtMenuData::getAttrAsString(rtl::str name, rtl::str& text) const
{
    if (name == "title") {
        text = myTitle;
        return true;
    }
    if (name == "isDynamic") {
        text = myIsDynamic ? "True" : "False";
        return true;
    }
    return ObObj::getAttrAsString(name, text);
}
