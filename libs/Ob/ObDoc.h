#pragma once

#include "ObDocData.h"
#include "str.h"

// The base of every document. It does no file work itself: loading and saving fail, the
// activation hooks are empty and a path is taken as it is.
class ObDoc : public ObDocData
{
public:
    ObDoc() = default;

    virtual bool load(char const* path);
    virtual bool save(char const* path);
    virtual bool canSaveTest() const;
    virtual void docWasActivated() {}
    virtual void docWasDeactivated() {}
    virtual void docWillBeClosed() {}
    virtual char const* desc() const { return "doc"; }
    virtual rtl::str normalizePath(rtl::str path) { return path; }
};
