#include "ObQtCmpData.h"

#include "ObAttr.h"

ObQtCmpData::ObQtCmpData() : myVersion(1.0f)
{
}

ObQtCmpData::~ObQtCmpData() = default;

void ObQtCmpData::getAttrNames(std::list<rtl::str>& names) const
{
    names.push_back(rtl::str("name"));
    names.push_back(rtl::str("version"));
    ObObj::getAttrNames(names);
}

bool ObQtCmpData::getAttr(rtl::str name, ObAttr& attr) const
{
    if (name == "name") {
        attr.setDataType("rtl::str");
        return true;
    }
    if (name == "version") {
        attr.setDataType("float");
        return true;
    }
    return ObObj::getAttr(name, attr);
}

bool ObQtCmpData::setAttrByString(rtl::str name, rtl::str value, char const* type)
{
    // Reading a document restores values silently: no check, no hook.
    if (name == "name") {
        myName = value;
        return true;
    }
    if (name == "version") {
        myVersion = static_cast<float>(ObAttr::realValue(value.cs()));
        return true;
    }
    return ObObj::setAttrByString(name, value, type);
}

bool ObQtCmpData::getAttrAsString(rtl::str name, rtl::str& text) const
{
    if (name == "name") {
        text = myName;
        return true;
    }
    if (name == "version") {
        text = ObAttr::realText(myVersion);
        return true;
    }
    return ObObj::getAttrAsString(name, text);
}

rtl::str ObQtCmpData::getName() const
{
    return myName;
}

bool ObQtCmpData::setName(rtl::str value)
{
    if (!checkName(value))
        return false;
    rtl::str old = myName;
    myName = value;
    hookName(old, value);
    return true;
}

bool ObQtCmpData::checkName(rtl::str) const
{
    return true;
}

float ObQtCmpData::getVersion() const
{
    return myVersion;
}

bool ObQtCmpData::setVersion(float value)
{
    if (!checkVersion(value))
        return false;
    float old = myVersion;
    myVersion = value;
    hookVersion(old, value);
    return true;
}

bool ObQtCmpData::checkVersion(float) const
{
    return true;
}

void ObQtCmpData::hookName(rtl::str, rtl::str)
{
}

void ObQtCmpData::hookVersion(float, float)
{
}
