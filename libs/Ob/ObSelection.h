#pragma once

#include "Obh.h"

#include <cstddef>
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
    // Takes every item of the pool out at once: the cost of freeing them, with no search.
    void removeSelectedItemsOfType(Obt* type);
    void getSelectedItemsOfType(Obt* type, std::set<Obh>& out);
    void getSelectedItemsOfType(Obt* type, std::list<Obh>& out);

    // The items of one pool taken out of the selection together (their entries and their marks
    // by slot, as the selection kept them), to be given back as they were.
    struct Taken
    {
        Obt const* type = nullptr;
        std::set<Obh> items;
        std::vector<bool> marks;
        // Calls f(slot) for every item's slot, in order: a walk over the marks, not the entries.
        template <class F> void forEachSlot(F&& f) const
        {
            for (std::size_t slot = 0; slot < marks.size(); ++slot)
                if (marks[slot])
                    f(static_cast<unsigned int>(slot));
        }
    };
    // Takes every item of the pool out at once, as removeSelectedItemsOfType does, and hands
    // them over: when they are all the selection holds, without freeing or walking an entry.
    Taken takeItemsOfType(Obt* type);
    // The taken items selected again, beside whatever is selected now: at once when nothing is.
    // Like removeSelectedItemsOfType, announced as one change (the hook of the change alone).
    void giveBack(Taken&& taken);

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
    // The items of a pool, which stand together in handle order.
    std::pair<std::set<Obh>::const_iterator, std::set<Obh>::const_iterator>
    rangeOf(Obt const* type) const;

    // Per pool, a mark for every slot in the selection.
    std::vector<std::pair<Obt const*, std::vector<bool>>> myMarks;
    std::uint64_t myChanges = 0;
};
