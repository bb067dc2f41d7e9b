#pragma once

#include "Ob.h"
#include "Obh.h"
#include "XmlReadHandler.h"
#include "str.h"

#include <list>

class ObAttr;
class XmlReader;
class XmlWriter;
class aIO;

// Base of every object with named attributes: lifecycle hooks that the pools call, access to
// attributes by name, and the generic XML of an object (one "attr" element per attribute, then
// the object's children).
class ObObj : public Ob, public XmlReadHandler
{
public:
    // Kinds and flags of attribute-bin attributes.
    enum ParmFlags : unsigned long {
        ParmFloat = 1,
        ParmInt = 2,
        ParmBool = 4,
        ParmString = 8,
        ParmComplex = 16,
        ParmInherit = 0x200,
    };

    ObObj();
    ~ObObj() override;

    virtual void clearObj() {}
    virtual void initObj() {}
    virtual void recycleObj() {}
    virtual void postLoadHook() {}
    virtual void writeBinary(aIO&, unsigned long) {}
    virtual void readBinary(aIO&, unsigned long) {}
    bool xmlReadStartElement(XmlReader& r, char const* name, int attrCount) override;
    bool xmlReadEndElement(XmlReader& r, char const* name) override;
    virtual bool xmlReadHandleValue(XmlReader&, char const*) { return false; }
    virtual bool xmlObjFactory(char const* typeName, ObObj*& obj, Obh& h, char const* id);
    // The attributes (xmlWriteAttrs), then the children.
    virtual bool xmlWrite(XmlWriter& w);
    virtual bool xmlWriteChildren(XmlWriter&) { return true; }
    // One "attr" element per name of getAttrNames, in order. A record writes its own from its
    // field table, without looking each name up.
    virtual bool xmlWriteAttrs(XmlWriter& w);
    // The "attr" element of one attribute, by name.
    bool xmlWriteAttr(XmlWriter& w, rtl::str const& name);
    // The class's name as documents store it; safe on any thread.
    virtual char const* xmlGetObjectTypeName();
    // What a user calls an object of this class, with its article ("an event"), for messages
    // about it; null where users have no word for it.
    virtual char const* userNoun() const { return nullptr; }
    // After the writer refused the value of an attribute: names it on the refusal in a user's
    // words ("the title of an event"; "the attribute 'title' of mFoo" without a noun). False.
    bool xmlValueRefused(XmlWriter& w, char const* attr) const;
    // Whether xmlWrite reads only this object's own state and prints nothing whatever it meets,
    // so that objects of its kind may be written on several threads at once (XmlWriter::writeRuns).
    virtual bool xmlWritesAlone() const { return false; }
    virtual void getAttrNames(std::list<rtl::str>&) const {}
    virtual bool getAttr(rtl::str, ObAttr&) const { return false; }
    virtual bool setAttrByString(rtl::str name, rtl::str value, char const* type);
    virtual bool getAttrAsString(rtl::str, rtl::str&) const { return false; }
    virtual bool setAttrByObject(rtl::str, ObObj*) { return false; }
    virtual bool setAttrByHandle(rtl::str, Obh) { return false; }
    virtual void dump(char const* prefix, int indent) const;
    virtual bool hasAttr(char const* name) const;

    // Pending state of the "attr" element being read.
    rtl::str myReadAttrId;
    Obh myReadAttrHdl;
    ObObj* myReadAttrObj;
};
