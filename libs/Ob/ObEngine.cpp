#include "ObEngine.h"

#include "ObTrace.h"
#include "Obt.h"
#include "XmlReader.h"
#include "XmlWriter.h"
#include "aAssert.h"

#include <cstdio>
#include <cstring>

ObEngine::ObEngine()
{
    OB_TRACE("INIT ob engine!\n");
    Ob::ourEngine = this;
}

ObEngine::~ObEngine()
{
    reset();
    if (Ob::ourEngine == this)
        Ob::ourEngine = nullptr;
}

void ObEngine::forgetType(Obt* t)
{
    for (auto it = myTypes.begin(); it != myTypes.end(); ++it)
        if (*it == t) {
            myTypes.erase(it);
            break;
        }
    myTypeSet.erase(t);
    myTypesByName.erase(rtl::str(t->getName()));
    myReadTypes.erase(t);
}

void ObEngine::reset()
{
    for (Obt* t : myTypes) {
        t->reset(true, true);
        t->myEngine = nullptr;
    }
    myTypesByName.clear();
    myTypeSet.clear();
    myTypes.clear();
}

void ObEngine::registerType(Obt* t)
{
    OB_TRACE("ObEngine::Type '%s'\n", OB_CLASS(*t));
    OB_TRACE("ObEngine::Adding type '%s'\n", t->getName());
    A_ASSERT(!hasType(t));
    A_ASSERT(!hasTypeNamed(t->getName()));
    t->myIndex = static_cast<uint32_t>(myTypes.size());
    t->myEngine = this;
    myTypeSet.insert(t);
    myTypesByName[rtl::str(t->getName())] = t;
    myTypes.push_back(t);
}

bool ObEngine::hasType(Obt* t) const
{
    return myTypeSet.count(t) != 0;
}

bool ObEngine::hasTypeNamed(char const* name) const
{
    return name && myTypesByName.count(rtl::str(name)) != 0;
}

Obt* ObEngine::getTypeNamed(char const* name) const
{
    // A store holds a handful of types, and every handle read names one: a scan of their names
    // costs less than making a string to look one up.
    if (name)
        for (Obt* t : myTypes)
            if (std::strcmp(t->getName(), name) == 0)
                return t;
    A_TRACE_C("ired", "Can't find type '%s'\n", name ? name : "");
    return nullptr;
}

Obt* ObEngine::getType(unsigned int index)
{
    // Index 0 is the first registered type, like every other index.
    return index < myTypes.size() ? myTypes[index] : nullptr;
}

Obt* ObEngine::getType(Obh h)
{
    return getType(h.myTypeIndex);
}

void ObEngine::getTypes(std::list<Obt*>& out)
{
    for (Obt* t : myTypes)
        out.push_back(t);
}

void ObEngine::dump() const
{
    std::printf("DUMPING %i types\n", static_cast<int>(myTypes.size()));
    for (Obt* t : myTypes)
        t->dump("    ", 0);
}

bool ObEngine::xmlWrite(XmlWriter& w)
{
    OB_TRACE("ObEngine::saving %i types\n", static_cast<int>(myTypes.size()));
    bool ok = true;
    for (Obt* t : myTypes) {
        OB_TRACE("   WRITING type %s \n", t->getName());
        if (ok)
            ok = t->xmlWrite(w);
        if (ok)
            OB_TRACE("   SUCCESS writing type %s \n", t->getName());
        else
            A_TRACE_C("red", "   FAIL writing type %s \n", t->getName());
    }
    return ok;
}

void ObEngine::xmlReadPrep()
{
    OB_TRACE("ObEngine::xmlReadPrep - there are %i types\n", static_cast<int>(myTypes.size()));
    for (Obt* t : myTypes) {
        OB_TRACE("RESET type %s\n", t->getName());
        t->reset(true, true);
    }
    myReadTypes.clear();
}

void ObEngine::xmlReadPost(bool parsed)
{
    myReadTypes.clear();
    if (!parsed) {
        // The load failed, so nothing of it is kept: no object half-read, none of a document
        // whose damage lay after its objects, and no hook for any of them.
        A_TRACE_C("red", "ObEngine: the document was refused, dropping what was read of it\n");
        for (Obt* t : myTypes)
            t->reset(true, true);
        return;
    }
    postLoadHook();
}

void ObEngine::postLoadHook()
{
    for (Obt* t : myTypes) {
        OB_TRACE("POST LOAD HOOK type %s\n", t->getName());
        t->postLoadHook();
    }
}

bool ObEngine::xmlRead(char const* path)
{
    xmlReadPrep();
    XmlReader reader;
    reader.pushHandler(this, nullptr);
    bool ok = reader.parseFile(path);
    xmlReadPost(ok);
    return ok;
}

bool ObEngine::xmlReadStartElement(XmlReader& r, char const* name, int)
{
    if (std::strcmp(name, "type") == 0) {
        char const* typeName = nullptr;
        if (!r.getAttr("name", typeName)) {
            A_TRACE("Ignoring element '%s'\n", name);
            r.skipElement();
            return true;
        }
        Obt* t = Ob::ourEngine ? Ob::ourEngine->getTypeNamed(typeName) : nullptr;
        if (!t || !hasType(t)) {
            A_TRACE_C("ired", "Ignoring type '%s' that has not been found in the engine!\n", typeName);
            r.skipElement();
            return true;
        }
        if (myReadTypes.count(t)) {
            A_TRACE_C("red", "objects: type '%s' is read twice\n", typeName);
            r.fail("objects: a type is read twice");
            return true;
        }
        myReadTypes.insert(t);
        if (r.isEmptyElement())
            return true;
        OB_TRACE("%s pushing type handler: %s\n", OB_CLASS(*this), typeName);
        t->xmlReadBegin();
        r.pushHandler(t, nullptr);
        return true;
    }
    // The root of a file that holds only the objects part.
    if (std::strcmp(name, "objects") == 0 && r.depth() == 0)
        return true;
    return false;
}

bool ObEngine::xmlReadEndElement(XmlReader& r, char const* name)
{
    if (std::strcmp(name, "object") == 0) {
        // Fallback for an object whose own end did not pop it; never pops the store itself.
        if (r.currentHandler() != this)
            r.popHandler();
        return true;
    }
    if (std::strcmp(name, "objects") == 0 && r.depth() == 0 && r.stackSize() == 0)
        return true;
    return false;
}

bool ObEngine::makeForRead(char const* typeName, ObObj*& obj, Obh& h)
{
    Obt* t = Ob::ourEngine ? Ob::ourEngine->getTypeNamed(typeName) : nullptr;
    if (!t) {
        A_TRACE_C("ired", "Failed to find type named '%s'\n", typeName ? typeName : "");
        return false;
    }
    if (h.isValid()) {
        A_TRACE_C("ired", "A handle that is already bound is not made again as a '%s'\n", typeName);
        return false;
    }
    OB_TRACE("xmlObjFactory making handle of type %s\n", typeName);
    obj = nullptr;
    t->make(h);
    h.dump("Just created: ");
    return true;
}

bool ObEngine::xmlObjFactory(char const* typeName, ObObj*& obj, Obh& h, char const*)
{
    return makeForRead(typeName, obj, h);
}
