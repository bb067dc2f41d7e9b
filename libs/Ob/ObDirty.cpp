#include "ObDirty.h"

#include "ObCleanCheck.h"
#include "ObEngine.h"
#include "ObObj.h"
#include "ObTrace.h"
#include "Obt.h"
#include "aAssert.h"
#include "aRefresher.h"
#include "aTrace.h"
#include "aTypeName.h"

#include <list>
#include <string>
#include <typeinfo>

namespace {

char const* const FreeSlot = "<free slot>";

// The class name of the object a handle names, or a marker for a slot that is free now.
char const* className(Obh const& h)
{
    ObObj const* obj = h.obj();
    return obj ? aTypeName(typeid(*obj)) : FreeSlot;
}

void traceDirtyItem(Obh const& h, rtl::str const* attrName)
{
    if (!Ob::ourTrace)
        return;
    char const* name = className(h); // resolved before the line starts: resolving may trace
    if (attrName)
        A_TRACE_C("magenta", "Set dirty item.attr( %s.%s )\n", name, attrName->c());
    else
        A_TRACE_C("magenta", "Set dirty item( %s )\n", name);
}

} // namespace

ObDirty::ObDirty(ObEngine* engine, aRefresher* refresher)
    : myObEngine(engine), myRefreshEngine(refresher)
{
}

ObDirty::~ObDirty()
{
    // The checks were handed over at installation and nothing else can free them.
    for (auto& entry : myCleanChecks)
        delete entry.second;
}

unsigned int ObDirty::newDirtId(char const* name) const
{
    unsigned int const id = ++myLastId;
    rtl::str text;
    if (name && *name)
        text = name;
    else
        text.set("Dirt[%u]", id);
    OB_TRACE("DIRT NAME[%u] = %s\n", id, text.cs());
    myDirtNames[id] = text;
    return id;
}

char const* ObDirty::getDirtName(unsigned int id) const
{
    auto it = myDirtNames.find(id);
    return it == myDirtNames.end() ? "<?>" : it->second.cs();
}

void ObDirty::setDirty(unsigned int id, bool notify)
{
    if (myDirtNames.find(id) == myDirtNames.end()) {
        A_TRACE_C("iyellow", "%18s\n", "");
        A_TRACE_C("iyellow", "Unknown dirt! %u \n", id);
        A_TRACE_C("iyellow", "%18s\n", "");
        A_ASSERT(0);
    }
    if (isDirty(id)) {
        OB_TRACE_C("magenta", "Already dirty %s\n", getDirtName(id));
        return;
    }
    myDirt.insert(id);
    OB_TRACE_C("magenta", "Set dirty %s\n", getDirtName(id));
    if (notify)
        dirtAddedHook();
}

void ObDirty::setDirty(std::set<unsigned int> const& ids, bool notify)
{
    std::size_t const before = myDirt.size();
    for (unsigned int id : ids)
        setDirty(id, false);
    if (notify && myDirt.size() > before)
        dirtAddedHook();
}

void ObDirty::setAllDirty()
{
    std::size_t const before = myDirt.size();
    for (auto const& entry : myDirtNames)
        setDirty(entry.first, false);
    if (myDirt.size() > before)
        dirtAddedHook();
    OB_TRACE_C("magenta", "Set ALL dirty!\n");
}

void ObDirty::dirtAddedHook()
{
    if (myRefreshEngine)
        myRefreshEngine->setNeedsRefresh(nullptr);
}

bool ObDirty::recordDirtyItem(Obh h, rtl::str* attrName)
{
    // Invalid handles, and handles whose slot is free now, name nothing that could be redrawn.
    if (!h.isValid() || !h.obj())
        return false;
    if (attrName)
        A_ASSERT(*attrName);
    traceDirtyItem(h, attrName);

    bool added = myDirtyTypes.insert(h.getTypeIndex()).second;
    auto it = myDirtyItems.find(h);
    if (it == myDirtyItems.end()) {
        rtl::ref<std::set<rtl::str>> attrs;
        if (attrName)
            attrs.set(new std::set<rtl::str> {*attrName});
        myDirtyItems.emplace(h, attrs);
        added = true;
    } else {
        rtl::ref<std::set<rtl::str>>& attrNameSet = it->second;
        if (attrName) {
            A_ASSERT(attrNameSet);
            attrNameSet.get()->insert(*attrName);
        }
    }
    return added;
}

void ObDirty::setDirtyItem(Obh h, rtl::str* attrName)
{
    if (recordDirtyItem(h, attrName))
        dirtAddedHook();
}

void ObDirty::setDirtyItem(Obh h)
{
    setDirtyItem(h, static_cast<rtl::str*>(nullptr));
}

void ObDirty::setDirtyItem(Obh h, char const* attrName)
{
    if (!h.isValid() || !h.obj())
        return;
    rtl::str name;
    if (attrName)
        name = attrName;
    rtl::str* attr = attrName ? &name : nullptr;
    recordDirtyItem(h, attr);
    traceDirtyItem(h, attr);
    dirtAddedHook();
}

void ObDirty::getDirt(std::set<unsigned int>& out) const
{
    out.insert(myDirt.begin(), myDirt.end());
}

bool ObDirty::itemIsDirty(Obh h) const
{
    return myDirtyItems.find(h) != myDirtyItems.end();
}

bool ObDirty::itemAttrIsDirty(Obh h, rtl::str const& name) const
{
    if (myDirtyTypes.find(h.getTypeIndex()) == myDirtyTypes.end())
        return false;
    auto it = myDirtyItems.find(h);
    if (it == myDirtyItems.end())
        return false;
    std::set<rtl::str> const* attrs = it->second.get();
    return !attrs || attrs->count(name) != 0;
}

bool ObDirty::typeIsDirty(Obt* type) const
{
    return type && myDirtyTypes.count(type->getTypeIndex()) != 0;
}

void ObDirty::clearAllDirt()
{
    myDirtyTypes.clear();
    myDirtyItems.clear();
    myDirt.clear();
}

unsigned int ObDirty::initCleanable(rtl::str name)
{
    auto it = myCleanables.find(name);
    if (it != myCleanables.end())
        return it->second;
    unsigned int const id = newDirtId(name.c());
    OB_TRACE_C("imagenta", "INIT NEW CLENABLE: %s = %i\n", name.cs(), static_cast<int>(id));
    myCleanables[name] = id;
    return id;
}

bool ObDirty::hasCleanable(rtl::str name)
{
    return myCleanables.find(name) != myCleanables.end();
}

bool ObDirty::getCleanable(rtl::str name, unsigned int& id)
{
    auto it = myCleanables.find(name);
    if (it == myCleanables.end())
        return false;
    id = it->second;
    return true;
}

void ObDirty::initCleaning(rtl::str name, ObCleanCheck* check)
{
    if (hasCleanable(name)) {
        A_TRACE_C("ired",
                  "(NO refresh() CLEANABLE INSTALLED but init (mApp) cleaning '%s' - FIX THIS!!!\n",
                  name.cs());
        A_ASSERT(!hasCleanable(name));
    }
    unsigned int const id = initCleanable(name);
    OB_TRACE_C("icyan", "INSTALL %i CLEAN CHECK %p FOR %s \n", static_cast<int>(id),
               static_cast<void*>(check), name.cs());
    myCleanChecks[id] = check;
}

bool ObDirty::needsCleaningTest(unsigned int id) const
{
    auto it = myCleanChecks.find(id);
    if (it != myCleanChecks.end() && it->second) // a null check counts as none installed
        return it->second->needsCleaning(this);
    if (myDirtNames.find(id) == myDirtNames.end()) {
        A_TRACE_C("ired", "Checking for cleaning on UNREGISTERED cleanable ID!!! FIX THIS\n");
        A_ASSERT(0);
    }
    for (int i = 0; i < 5; ++i)
        A_TRACE_C("iyellow", "%54s\n", "");
    A_TRACE_C("iyellow", "No clean checks found (in tlCmp) for cleanable[%i] '%s'!!!\n",
              static_cast<int>(id), getDirtName(id));
    for (int i = 0; i < 4; ++i)
        A_TRACE_C("iyellow", "%54s\n", "");
    A_ASSERT(0);
    return false;
}

char const* ObDirty::typeNameAt(unsigned int typeIndex) const
{
    if (!myObEngine)
        return "<?>";
    std::list<Obt*> types;
    myObEngine->getTypes(types);
    for (Obt* type : types)
        if (type->getTypeIndex() == typeIndex)
            return type->getName();
    return "<?>";
}

void ObDirty::printDirt() const
{
    if (!Ob::ourTrace)
        return;
    if (!myDirt.empty()) {
        A_TRACE("---------------- DIRTY\n");
        for (auto const& entry : myDirtNames)
            if (isDirty(entry.first))
                A_TRACE("    DIRTY - %s\n", entry.second.cs());
    } else {
        A_TRACE_C("green", "  No Dirty Flags Set\n");
    }
    if (!myDirtyTypes.empty()) {
        A_TRACE("  %i DIRTY TYPES\n", static_cast<int>(myDirtyTypes.size()));
        for (unsigned int typeIndex : myDirtyTypes)
            A_TRACE("    DIRTY TYPE - %s\n", typeNameAt(typeIndex));
    }
    if (!myDirtyItems.empty()) {
        A_TRACE("  %i DIRTY ITEMS\n", static_cast<int>(myDirtyItems.size()));
        for (auto const& [h, attrs] : myDirtyItems) {
            rtl::str desc;
            if (h.obj())
                desc = h.desc();
            else
                desc = FreeSlot;
            std::set<rtl::str> const* names = attrs.get();
            if (!names) {
                A_TRACE("     %s: ALL ATTRS\n", desc.cs());
                continue;
            }
            std::string const blanks(std::string(desc.cs()).size(), ' ');
            bool first = true;
            for (rtl::str const& name : *names) {
                A_TRACE("     %s.%s\n", first ? desc.cs() : blanks.c_str(), name.cs());
                first = false;
            }
        }
    }
}

void ObDirty::printCleanings() const
{
    if (!Ob::ourTrace)
        return;
    bool first = true;
    for (auto const& [id, check] : myCleanChecks) {
        if (!check || !check->needsCleaning(this))
            continue;
        if (first)
            A_TRACE("Need cleaning\n");
        first = false;
        rtl::str signature;
        check->getSignature(signature, nullptr);
        A_TRACE("  %s - %s\n", getDirtName(id), signature.cs());
    }
}
