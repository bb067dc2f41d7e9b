#pragma once

#include "Obh.h"

#include <cstdint>
#include <list>
#include <set>
#include <utility>
#include <vector>

class ObDirty;
class Obt;

// The selected model objects of a document, as handles. Changes raise the selection dirt id
// (so the next refresh pass updates the views) and call the hooks; clearing and removing by
// type change the set without raising: their callers raise when the views must follow.
class ObSelection
{
public:
    ObSelection(ObDirty* dirt, unsigned int dirtId);
    ObSelection(ObSelection const&) = delete;
    ObSelection& operator=(ObSelection const&) = delete;
    virtual ~ObSelection();

    virtual unsigned int getSelectionDirt();
    virtual void setSelectionDirt(unsigned int dirtId);
    virtual void itemWasAddedHook(Obh& h);
    virtual void itemWasRemovedHook(Obh& h);
    virtual void selectionChangedHook();

    std::set<Obh> const& getSelection() const { return mySelection; }
    // Counts the changes: what was drawn from the selection was drawn from the same one while it
    // stays the same.
    std::uint64_t changes() const { return myChanges; }
    // A look-up by slot: views ask it for every mark they draw.
    bool isSelectedTest(Obh h) const;
    // The same for the object in that slot of that pool.
    bool isSelectedSlot(Obt const* type, unsigned int slot) const
    {
        for (auto const& [pool, marks] : myMarks)
            if (pool == type)
                return slot < marks.size() && marks[slot];
        return false;
    }
    void addToSelection(Obh h);
    // Many at once (Select All): one change, whatever their number; best given in handle order.
    void addToSelection(std::vector<Obh> const& handles);
    bool removeFromSelection(Obh h);
    void setSelection(Obh h);
    void setSelection(std::list<Obh>& handles);
    void clearSelection();
    void removeSelectedItemsOfType(Obt* type);
    void getSelectedItemsOfType(Obt* type, std::set<Obh>& out);
    void getSelectedItemsOfType(Obt* type, std::list<Obh>& out);

    std::set<Obh> mySelection;
    ObDirty* myDirtEngine;
    bool myOwnsDirtEngine = false;
    unsigned int mySelectionDirt;

private:
    void raise();
    // The set and the marks by slot change together.
    bool enter(Obh const& h);
    bool leave(Obh const& h);
    void mark(Obh const& h, bool on);

    // Per pool, a mark for every slot in the selection.
    std::vector<std::pair<Obt const*, std::vector<bool>>> myMarks;
    std::uint64_t myChanges = 0;
};
