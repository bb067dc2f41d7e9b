#pragma once

#include "ObObj.h"
#include "str.h"

#include <list>

// The document's own attributes: its file path, its display name and whether it has changes
// not yet saved.
class ObDocData : public ObObj
{
public:
    ObDocData() = default;

    virtual rtl::str getPath() const { return myPath; }
    virtual bool setPath(rtl::str path);
    virtual bool checkPath(rtl::str) const { return true; }
    virtual rtl::str getName() const { return myName; }
    virtual bool setName(rtl::str name);
    virtual bool checkName(rtl::str) const { return true; }
    virtual bool getNeedsSave() const { return myNeedsSave; }
    virtual bool setNeedsSave(bool needsSave);
    virtual bool checkNeedsSave(bool) const { return true; }
    virtual void hookPath(rtl::str, rtl::str) {}
    virtual void hookName(rtl::str, rtl::str) {}
    virtual void hookNeedsSave(bool, bool) {}

    void getAttrNames(std::list<rtl::str>& names) const override;
    bool getAttr(rtl::str name, ObAttr& attr) const override;
    bool setAttrByString(rtl::str name, rtl::str value, char const* type) override;
    bool getAttrAsString(rtl::str name, rtl::str& text) const override;

    rtl::str myPath;
    rtl::str myName;
    bool myNeedsSave = false;
};
