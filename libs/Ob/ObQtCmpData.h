#pragma once

#include "ObObj.h"
#include "str.h"

#include <list>

class ObAttr;

// Attribute record of the component base: a name and a version.
class ObQtCmpData : public ObObj
{
public:
    ObQtCmpData();
    ~ObQtCmpData() override;

    void getAttrNames(std::list<rtl::str>& names) const override;
    bool getAttr(rtl::str name, ObAttr& attr) const override;
    bool setAttrByString(rtl::str name, rtl::str value, char const* type) override;
    bool getAttrAsString(rtl::str name, rtl::str& text) const override;

    virtual rtl::str getName() const;
    virtual bool setName(rtl::str value);
    virtual bool checkName(rtl::str value) const;
    virtual float getVersion() const;
    virtual bool setVersion(float value);
    virtual bool checkVersion(float value) const;
    virtual void hookName(rtl::str oldValue, rtl::str newValue);
    virtual void hookVersion(float oldValue, float newValue);

    rtl::str myName;
    float myVersion;
};
