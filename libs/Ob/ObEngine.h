#pragma once

#include "Ob.h"
#include "Obh.h"
#include "XmlReadHandler.h"
#include "str.h"

#include <list>
#include <map>
#include <set>
#include <vector>

class Obt;
class ObObj;
class XmlReader;
class XmlWriter;

// The object store of a document: the registered types in registration order, found by index,
// handle or name; writes and reads their objects as the "objects" part of a document. The
// store does not own its types.
class ObEngine : public Ob, public XmlReadHandler
{
public:
    ObEngine();
    ~ObEngine() override;

    bool xmlReadStartElement(XmlReader& r, char const* name, int attrCount) override;
    bool xmlReadEndElement(XmlReader& r, char const* name) override;
    bool xmlReadValue(XmlReader&, char const*) override { return false; }
    virtual bool xmlObjFactory(char const* typeName, ObObj*& obj, Obh& h, char const* id);
    virtual void postLoadHook();

    void registerType(Obt* t);
    bool hasType(Obt* t) const;
    bool hasTypeNamed(char const* name) const;
    Obt* getTypeNamed(char const* name) const;
    Obt* getType(unsigned int index);
    Obt* getType(Obh h);
    void getTypes(std::list<Obt*>& out);
    // Called by a type that is destroyed before its store.
    void forgetType(Obt* t);
    void reset();
    void dump() const;

    bool xmlWrite(XmlWriter& w);
    // Around the reading of a document that holds an objects part: xmlReadPrep empties every
    // pool; xmlReadPost takes the parse's own result. A document that was read whole gets the
    // post-load hooks of its objects; a refused one (wherever the damage lies, also after a
    // complete objects part) leaves every pool empty and runs no hook.
    void xmlReadPrep();
    void xmlReadPost(bool parsed);
    // Reads a file whose root is "objects".
    bool xmlRead(char const* path);

    // A type made by the current store (Ob::ourEngine) for an object read from a document: binds
    // the handle to a fresh object of the named type, the object pointer null. False for a
    // name the store does not know and for a handle already bound.
    static bool makeForRead(char const* typeName, ObObj*& obj, Obh& h);

    std::vector<Obt*> myTypes;
    std::set<Obt*> myTypeSet;
    std::map<rtl::str, Obt*> myTypesByName;

private:
    std::set<Obt*> myReadTypes;
};
