#pragma once

#include "ObObj.h"
#include "str.h"

#include <map>
#include <vector>

// A general container of named settings: attributes created on first use, each of one fixed
// kind (float, int, bool, text or complex text), and named child bins, so that bins form a
// tree. A child may inherit an attribute from its parent.
class ObBin : public ObObj
{
public:
    typedef void (*Factory)(ObBin*& out);
    typedef std::vector<ObBin*> SubList;
    typedef std::map<rtl::str, SubList*> SubMap;

    ObBin();
    ~ObBin() override;

    void writeBinary(aIO&, unsigned long) override;
    void readBinary(aIO&, unsigned long) override;
    bool xmlReadStartElement(XmlReader& r, char const* name, int attrCount) override;
    bool xmlReadEndElement(XmlReader& r, char const* name) override;
    bool xmlReadHandleValue(XmlReader& r, char const* text) override;
    bool xmlReadValue(XmlReader& r, char const* text) override;
    bool xmlObjFactory(char const* typeName, ObObj*& obj, Obh& h, char const* id) override;
    bool xmlWrite(XmlWriter& w) override;
    bool xmlWriteChildren(XmlWriter& w) override;
    void getAttrNames(std::list<rtl::str>& names) const override;
    bool getAttr(rtl::str name, ObAttr& attr) const override;
    bool setAttrByString(rtl::str name, rtl::str value, char const* typeName) override;
    bool getAttrAsString(rtl::str name, rtl::str& text) const override;
    bool setAttrByObject(rtl::str name, ObObj* obj) override;
    void dump(char const* prefix, int depth) const override;
    bool hasAttr(char const* name) const override;

    virtual bool hasAttr(rtl::str name) const;
    virtual unsigned long getAttrFlags(rtl::str name) const;
    virtual void setAttrFlags(rtl::str name, unsigned long flags);
    virtual void adjustAttrFlags(rtl::str name, unsigned long set, unsigned long clear);
    virtual bool getAttr(rtl::str name, rtl::str& text, bool complex) const;
    virtual bool getAttr(rtl::str name, float& value) const;
    virtual bool getAttr(rtl::str name, int& value) const;
    virtual bool getAttr(rtl::str name, bool& value) const;
    virtual bool getInheritedAttr(rtl::str name, rtl::str& text, bool complex) const;
    virtual bool getInheritedAttr(rtl::str name, float& value) const;
    virtual bool getInheritedAttr(rtl::str name, int& value) const;
    virtual bool getInheritedAttr(rtl::str name, bool& value) const;
    virtual void setAttr(rtl::str name, rtl::str text, bool complex = false);
    virtual void setAttr(rtl::str name, char const* text, bool complex = false);
    virtual void setAttr(rtl::str name, float value);
    virtual void setAttr(rtl::str name, int value);
    virtual void setAttr(rtl::str name, bool value);
    virtual int getInt(rtl::str name) const;
    virtual bool getBool(rtl::str name) const;
    virtual float getFloat(rtl::str name) const;
    virtual rtl::str getString(rtl::str name) const;
    virtual char const* getCString(rtl::str name) const;
    virtual rtl::str getComplex(rtl::str name) const;
    virtual char const* getCComplex(rtl::str name) const;
    virtual ObBin* newSub(rtl::str name);
    virtual void addSub(rtl::str name, ObBin* bin);
    virtual ObBin* removeSub(rtl::str name, int index);
    virtual bool deleteSub(rtl::str name, int index);
    virtual void deleteAllSubs();
    virtual ObBin* getSub(rtl::str name, int index) const;
    virtual ObBin* ensureAtPath(rtl::str path);
    virtual bool setMultiAttrs(rtl::str first, rtl::str assignments);
    virtual bool copyTo(ObBin* dest, Factory factory) const;

    ObBin* getTop();
    rtl::str getPath() const;

    rtl::str myName;
    int mySubIndex;
    std::map<rtl::str, float> myFloats;
    std::map<rtl::str, int> myInts;
    std::map<rtl::str, bool> myBools;
    std::map<rtl::str, rtl::str> myStrings;
    std::map<rtl::str, rtl::str> myComplex;
    std::map<rtl::str, unsigned long> myAttrFlags;
    SubMap* mySubs;
    ObBin* myParent;

private:
    // The value of this bin's own map, else the parent's when the attribute inherits; the text
    // forms pass on which of the two text maps.
    template <class V, class... Kind> bool ownOrInherited(std::map<rtl::str, V> const& own,
                                                          rtl::str const& name, V& out,
                                                          Kind... kind) const;
    // The value of the nearest bin up the tree that has the attribute.
    template <class V, class... Kind>
    bool nearestUp(rtl::str const& name, V& out, Kind... kind) const;

    static constexpr unsigned long KindBits = ParmFloat | ParmInt | ParmBool | ParmString | ParmComplex;
    unsigned long kindOf(rtl::str const& name) const;
    void setKind(rtl::str const& name, unsigned long kind);
};
