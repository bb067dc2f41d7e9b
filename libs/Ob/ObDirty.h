#pragma once

#include "Obh.h"
#include "ref.h"
#include "str.h"

#include <map>
#include <set>

class aRefresher;
class ObCleanCheck;
class ObEngine;
class Obt;

// What changed since the last refresh pass (raised dirt ids, dirty items and their types), and
// for each named refresh step (a cleanable) the check that says whether it has to run now.
// Dirt ids and cleanable ids come from one counter, from 1, and share one name table.
class ObDirty
{
public:
    static constexpr unsigned int INVALID_DIRT = 0;

    ObDirty(ObEngine* engine, aRefresher* refresher);
    ObDirty(ObDirty const&) = delete;
    ObDirty& operator=(ObDirty const&) = delete;
    virtual ~ObDirty();

    virtual unsigned int newDirtId(char const* name) const;
    virtual void dirtAddedHook();
    virtual bool hasCleanable(rtl::str name);
    virtual bool getCleanable(rtl::str name, unsigned int& id);
    virtual unsigned int initCleanable(rtl::str name);
    virtual bool needsCleaningTest(unsigned int id) const;
    virtual void initCleaning(rtl::str name, ObCleanCheck* check);

    char const* getDirtName(unsigned int id) const;
    void setDirty(unsigned int id, bool notify);
    void setDirty(std::set<unsigned int> const& ids, bool notify);
    void setAllDirty();
    void setDirtyItem(Obh h);
    void setDirtyItem(Obh h, rtl::str* attrName);
    void setDirtyItem(Obh h, char const* attrName);
    bool isDirty(unsigned int id) const { return myDirt.count(id) != 0; }
    void getDirt(std::set<unsigned int>& out) const;
    bool itemIsDirty(Obh h) const;
    bool itemAttrIsDirty(Obh h, rtl::str const& name) const;
    bool typeIsDirty(Obt* type) const;
    void clearAllDirt();
    void printDirt() const;
    void printCleanings() const;

    ObEngine* myObEngine;
    aRefresher* myRefreshEngine;
    std::set<unsigned int> myDirtyTypes;
    std::map<Obh, rtl::ref<std::set<rtl::str>>> myDirtyItems;
    mutable std::map<unsigned int, rtl::str> myDirtNames;
    std::set<unsigned int> myDirt;
    std::map<rtl::str, unsigned int> myCleanables;
    std::map<unsigned int, ObCleanCheck*> myCleanChecks;
    mutable unsigned int myLastId = 0;

private:
    // True when something new was recorded; traces the change.
    bool recordDirtyItem(Obh h, rtl::str* attrName);
    char const* typeNameAt(unsigned int typeIndex) const;
};
