#pragma once

#include "ObAttr.h"
#include "ObBin.h"
#include "ObClassTypeOf.h"
#include "ObEngine.h"
#include "ObObj.h"
#include "Xml.h"
#include "XmlReader.h"
#include "XmlWriter.h"

#include <cstdlib>
#include <cstring>
#include <string>

// Hook counters shared by the test classes.
struct HookCount
{
    static inline int made = 0, inits = 0, recycles = 0, clears = 0, postLoads = 0;
    static void zero() { made = inits = recycles = clears = postLoads = 0; }
};

// A record with one attribute of each kind, built the way attribute records are.
class Rec : public ObObj
{
public:
    rtl::str myName;
    int myN = 0;
    float myX = 0;
    bool myOn = false;
    bool myInitialised = false;
    static inline bool ourFailWrite = false;

    Rec() { ++HookCount::made; }
    void initObj() override
    {
        ++HookCount::inits;
        myInitialised = true;
        myName = "";
        myN = 0;
        myX = 0;
        myOn = false;
    }
    void recycleObj() override
    {
        ++HookCount::recycles;
        myInitialised = false;
    }
    void clearObj() override { ++HookCount::clears; }
    void postLoadHook() override { ++HookCount::postLoads; }

    void getAttrNames(std::list<rtl::str>& names) const override
    {
        for (char const* n : {"name", "n", "x", "on"})
            names.push_back(rtl::str(n));
    }
    bool getAttr(rtl::str name, ObAttr& attr) const override
    {
        char const* t = name == "name" ? "rtl::str"
                        : name == "n"  ? "int"
                        : name == "x"  ? "float"
                        : name == "on" ? "bool"
                                       : nullptr;
        if (!t)
            return ObObj::getAttr(name, attr);
        attr.setDataType(t);
        return true;
    }
    bool getAttrAsString(rtl::str name, rtl::str& text) const override
    {
        if (ourFailWrite)
            return false;
        char buf[400];
        if (name == "name")
            text = myName.c();
        else if (name == "n")
            text.set("%i", myN);
        else if (name == "x")
            text = Xml::formatReal(buf, sizeof buf, myX);
        else if (name == "on")
            text = myOn ? "True" : "False";
        else
            return ObObj::getAttrAsString(name, text);
        return true;
    }
    bool setAttrByString(rtl::str name, rtl::str value, char const* type) override
    {
        if (name == "name")
            myName = value.c();
        else if (name == "n")
            myN = std::atoi(value.c());
        else if (name == "x") {
            double d = 0;
            Xml::parseReal(value.c(), d);
            myX = static_cast<float>(d);
        } else if (name == "on")
            myOn = value == "T" || value == "True" || value == "t" || value == "true";
        else
            return ObObj::setAttrByString(name, value, type);
        return true;
    }
};

// An object without attributes whose ObObj base is not its first base.
struct Pad
{
    virtual ~Pad() {}
    long pad[3] = {1, 2, 3};
};
class Plain : public Pad, public ObObj
{
public:
    void initObj() override { ++HookCount::inits; }
    void recycleObj() override { ++HookCount::recycles; }
};

// Names a Rec by a handle element and keeps a bin of settings, as the model's objects do; the
// handle is resolved after the load through the checked lookup for handles from a file.
class Linker : public ObObj
{
public:
    Obh myLink;
    Rec* myLinked = nullptr;
    ObBin* mySettings = nullptr;
    // The pool its links lead to; set by the store.
    static inline ObClassTypeOf<Rec>* ourRecs = nullptr;

    ~Linker() override { delete mySettings; }
    void initObj() override
    {
        myLink = Obh();
        myLinked = nullptr;
        delete mySettings;
        mySettings = nullptr;
    }
    void postLoadHook() override { myLinked = ourRecs ? ourRecs->ptrFromFile(myLink) : nullptr; }
    bool xmlWriteChildren(XmlWriter& w) override
    {
        bool ok = !myLink.isValid() || Obh::xmlWriteHdl(w, "link", myLink, nullptr);
        if (ok && mySettings)
            ok = w.startElement("settings") && mySettings->xmlWrite(w) && w.endElement();
        return ok;
    }
    bool xmlReadStartElement(XmlReader& r, char const* name, int count) override
    {
        if (std::strcmp(name, "link") == 0) {
            Obh h;
            if (Obh::xmlReadHdl(r, &h, nullptr))
                myLink = h;
            return true;
        }
        if (std::strcmp(name, "settings") == 0) {
            delete mySettings;
            mySettings = new ObBin();
            if (!r.isEmptyElement())
                r.pushHandler(mySettings, nullptr);
            return true;
        }
        return ObObj::xmlReadStartElement(r, name, count);
    }
    bool xmlReadEndElement(XmlReader& r, char const* name) override
    {
        if (std::strcmp(name, "settings") == 0) {
            if (r.currentHandler() == mySettings)
                r.popHandler();
            return true;
        }
        return std::strcmp(name, "link") == 0 || ObObj::xmlReadEndElement(r, name);
    }
};

// Three registered types on a fresh store, as a document holds them.
struct Store
{
    ObEngine engine;
    ObClassTypeOf<Rec> recs {"Rec", 1, 1};
    ObClassTypeOf<Plain> plains {"Plain", 2, -1};
    ObClassTypeOf<Linker> links {"Linker", 1, 1};
    Store()
    {
        engine.registerType(&recs);
        engine.registerType(&plains);
        engine.registerType(&links);
        Linker::ourRecs = &recs;
    }
    ~Store()
    {
        Linker::ourRecs = nullptr;
        Ob::ourEngine = nullptr;
    }
    unsigned int live() const
    {
        return recs.getCurrentTypeCount() + plains.getCurrentTypeCount() +
               links.getCurrentTypeCount();
    }
};

// Saves a document with the store's objects part the way the document does.
inline bool saveObjects(ObEngine& engine, std::string const& path)
{
    XmlWriter w("ISO-8859-1");
    if (!w.startDocument(path.c_str(), "timeline_document_v1"))
        return false;
    bool ok = w.startElement("objects") && engine.xmlWrite(w) && w.endElement();
    return ok && w.endDocument();
}

// The document side of reading: pushes the store at "objects" (also inside the component's
// part) and pops it at its end; the document's own attributes after it are not looked at.
struct DocReader : XmlReadHandler
{
    ObEngine* engine;
    explicit DocReader(ObEngine* e) : engine(e) {}
    bool xmlReadStartElement(XmlReader& r, char const* name, int) override
    {
        for (char const* part : {"timeline_document_v1", "timeline_component", "doc"})
            if (std::strcmp(name, part) == 0)
                return true;
        if (std::strcmp(name, "objects") == 0) {
            if (!r.isEmptyElement())
                r.pushHandler(engine, nullptr);
            return true;
        }
        return false;
    }
    bool xmlReadEndElement(XmlReader& r, char const* name) override
    {
        if (std::strcmp(name, "objects") == 0) {
            r.popHandler();
            return true;
        }
        return true;
    }
};

// Loads as the document does: the parse's own result decides. balanced: whether the handlers
// ended where they began (a handler fault when the parse succeeded and they did not).
inline bool loadObjects(ObEngine& engine, std::string const& path, bool* balanced = nullptr,
                        std::string* why = nullptr)
{
    engine.xmlReadPrep();
    DocReader doc(&engine);
    XmlReader reader;
    reader.pushHandler(&doc, nullptr);
    bool const ok = reader.parseFile(path.c_str());
    engine.xmlReadPost(ok);
    if (balanced)
        *balanced = reader.currentHandler() == &doc && reader.stackSize() == 0;
    if (why)
        *why = reader.failMessage();
    return ok;
}

// The pool's invariants: inverse rosters, live count within the pool, every live slot holding
// its object.
template <class T> bool rosterSound(ObClassTypeOf<T> const& t)
{
    if (t.myNextRosterIndex > t.mySize)
        return false;
    for (uint32_t r = 0; r < t.mySize; ++r) {
        uint32_t a = t.myAddrsByRosterIndex[r];
        if (a >= t.mySize || t.myRosterIndicesByAddr[a] != r)
            return false;
        if (r < t.myNextRosterIndex && !t.myData[a])
            return false;
    }
    return true;
}
