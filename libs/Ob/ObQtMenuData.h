#pragma once

#include "ObObj.h"
#include "str.h"

#include <list>

// The attributes of a menu, so that menus can be inspected by name like every attributed object.
class ObQtMenuData : public ObObj
{
public:
    ObQtMenuData() = default;

    virtual rtl::str getTitle() const { return myTitle; }
    virtual bool setTitle(rtl::str title);
    virtual bool checkTitle(rtl::str) const { return true; }
    virtual bool getIsDynamic() const { return myIsDynamic; }
    virtual bool setIsDynamic(bool isDynamic);
    virtual bool checkIsDynamic(bool) const { return true; }
    virtual void hookTitle(rtl::str, rtl::str) {}
    virtual void hookIsDynamic(bool, bool) {}

    void getAttrNames(std::list<rtl::str>& names) const override;
    bool getAttr(rtl::str name, ObAttr& attr) const override;
    bool setAttrByString(rtl::str name, rtl::str value, char const* type) override;
    bool getAttrAsString(rtl::str name, rtl::str& text) const override;

    rtl::str myTitle;
    bool myIsDynamic = false;
};
