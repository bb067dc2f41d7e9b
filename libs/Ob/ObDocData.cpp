#include "ObDocData.h"

#include "ObAttr.h"

namespace {

bool isTrueText(rtl::str const& value)
{
    return value == "T" || value == "True" || value == "t" || value == "true";
}

} // namespace

bool ObDocData::setPath(rtl::str path)
{
    if (!checkPath(path))
        return false;
    rtl::str old = myPath;
    myPath = path;
    hookPath(old, path);
    return true;
}

bool ObDocData::setName(rtl::str name)
{
    if (!checkName(name))
        return false;
    rtl::str old = myName;
    myName = name;
    hookName(old, name);
    return true;
}

bool ObDocData::setNeedsSave(bool needsSave)
{
    if (!checkNeedsSave(needsSave))
        return false;
    bool const old = myNeedsSave;
    myNeedsSave = needsSave;
    hookNeedsSave(old, needsSave);
    return true;
}

void ObDocData::getAttrNames(std::list<rtl::str>& names) const
{
    names.push_back(rtl::str("path"));
    names.push_back(rtl::str("name"));
    names.push_back(rtl::str("needsSave"));
    ObObj::getAttrNames(names);
}

bool ObDocData::getAttr(rtl::str name, ObAttr& attr) const
{
    if (name == "path" || name == "name") {
        attr.setDataType("rtl::str");
        return true;
    }
    if (name == "needsSave") {
        attr.setDataType("bool");
        return true;
    }
    return ObObj::getAttr(name, attr);
}

bool ObDocData::setAttrByString(rtl::str name, rtl::str value, char const* type)
{
    // Reading restores values silently: no check, no hook.
    if (name == "path") {
        myPath = value;
        return true;
    }
    if (name == "name") {
        myName = value;
        return true;
    }
    if (name == "needsSave") {
        myNeedsSave = isTrueText(value);
        return true;
    }
    return ObObj::setAttrByString(name, value, type);
}

bool ObDocData::getAttrAsString(rtl::str name, rtl::str& text) const
{
    if (name == "path") {
        text = myPath;
        return true;
    }
    if (name == "name") {
        text = myName;
        return true;
    }
    if (name == "needsSave") {
        text = myNeedsSave ? "True" : "False";
        return true;
    }
    return ObObj::getAttrAsString(name, text);
}
