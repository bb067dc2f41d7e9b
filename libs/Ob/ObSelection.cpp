#include "ObSelection.h"

#include "ObDirty.h"
#include "ObObj.h"
#include "ObTrace.h"
#include "aAssert.h"
#include "aTrace.h"
#include "aTypeName.h"

#include <algorithm>
#include <limits>
#include <typeinfo>

ObSelection::ObSelection(ObDirty* dirt, unsigned int dirtId) : myDirtEngine(dirt), mySelectionDirt(dirtId)
{
    if (!myDirtEngine) {
        // A private engine with neither store nor refresher: its dirt asks for no pass.
        myDirtEngine = new ObDirty(nullptr, nullptr);
        myOwnsDirtEngine = true;
    }
    A_ASSERT(myDirtEngine);
    if (mySelectionDirt == ObDirty::INVALID_DIRT)
        mySelectionDirt = myDirtEngine->newDirtId("DirtObSelection");
}

ObSelection::~ObSelection()
{
    if (myOwnsDirtEngine)
        delete myDirtEngine;
}

unsigned int ObSelection::getSelectionDirt()
{
    return mySelectionDirt;
}

void ObSelection::setSelectionDirt(unsigned int dirtId)
{
    mySelectionDirt = dirtId;
}

void ObSelection::itemWasAddedHook(Obh&)
{
}

void ObSelection::itemWasRemovedHook(Obh&)
{
}

void ObSelection::selectionChangedHook()
{
}

void ObSelection::raise()
{
    myDirtEngine->setDirty(mySelectionDirt, true);
}

void ObSelection::mark(Obh const& h, bool on)
{
    ++myChanges;
    auto found = std::find_if(myMarks.begin(), myMarks.end(),
                              [&](auto const& m) { return m.first == h.getType(); });
    if (found == myMarks.end()) {
        if (!on)
            return;
        myMarks.push_back({h.getType(), {}});
        found = myMarks.end() - 1;
    }
    std::vector<bool>& slots = found->second;
    if (h.getAddr() >= slots.size()) {
        if (!on)
            return;
        slots.resize(std::max<std::size_t>(h.getAddr() + 1, slots.size() * 2));
    }
    slots[h.getAddr()] = on;
}

bool ObSelection::enter(Obh const& h)
{
    if (!mySelection.insert(h).second)
        return false;
    mark(h, true);
    return true;
}

bool ObSelection::leave(Obh const& h)
{
    if (mySelection.erase(h) == 0)
        return false;
    mark(h, false);
    return true;
}

bool ObSelection::isSelectedTest(Obh h) const
{
    return isSelectedSlot(h.getType(), h.getAddr());
}

void ObSelection::addToSelection(Obh h)
{
    OB_TRACE("Add item to selection\n");
    if (!enter(h))
        return;
    raise();
    itemWasAddedHook(h);
    selectionChangedHook();
}

void ObSelection::addToSelection(std::vector<Obh> const& handles)
{
    OB_TRACE("Add %i items to selection\n", static_cast<int>(handles.size()));
    bool entered = false;
    auto hint = mySelection.end();
    for (Obh h : handles) {
        // In handle order each goes in at the end: no search.
        auto const before = mySelection.size();
        hint = mySelection.insert(hint, h);
        if (mySelection.size() == before)
            continue;
        ++hint;
        mark(h, true);
        entered = true;
        itemWasAddedHook(h);
    }
    if (!entered)
        return;
    raise();
    selectionChangedHook();
}

bool ObSelection::removeFromSelection(Obh h)
{
    OB_TRACE("Remove item from selection\n");
    if (!leave(h))
        return false;
    raise();
    itemWasRemovedHook(h);
    selectionChangedHook();
    return true;
}

void ObSelection::clearSelection()
{
    OB_TRACE("CLEAR SELECTION\n");
    // The hooks see each handle while the set still holds it. They walk a copy: a hook may
    // change the selection (a slot of the Qt signal, say) without breaking the walk.
    std::set<Obh> const selected = mySelection;
    for (Obh h : selected)
        itemWasRemovedHook(h);
    mySelection.clear();
    myMarks.clear();
    ++myChanges;
    selectionChangedHook();
}

void ObSelection::setSelection(Obh h)
{
    OB_TRACE("Set selection to 1 item\n");
    clearSelection();
    enter(h);
    raise();
    itemWasAddedHook(h);
    selectionChangedHook();
}

void ObSelection::setSelection(std::list<Obh>& handles)
{
    if (Ob::ourTrace) {
        A_TRACE("--------- SELECT %i items\n", static_cast<int>(handles.size()));
        int position = 0;
        for (Obh const& h : handles) {
            ObObj const* obj = h.obj(); // resolved before the line starts: resolving may trace
            A_TRACE("            #%i: %s\n", position++,
                    obj ? aTypeName(typeid(*obj)) : "<free slot>");
        }
    }
    clearSelection();
    bool entered = false;
    for (Obh& h : handles) {
        if (!enter(h))
            continue;
        entered = true;
        raise();
        itemWasAddedHook(h);
    }
    if (entered)
        selectionChangedHook();
}

std::pair<std::set<Obh>::const_iterator, std::set<Obh>::const_iterator>
ObSelection::rangeOf(Obt const* type) const
{
    // Handles order by pool, then slot: a pool's handles lie between its first and last slot.
    Obh first, last;
    first.myType = last.myType = const_cast<Obt*>(type);
    first.myAddr = 0;
    last.myAddr = std::numeric_limits<std::uint32_t>::max();
    return {mySelection.lower_bound(first), mySelection.upper_bound(last)};
}

void ObSelection::removeSelectedItemsOfType(Obt* type)
{
    OB_TRACE("Remove selected items of type\n");
    auto const [from, to] = rangeOf(type);
    if (from == to)
        return;
    if (from == mySelection.begin() && to == mySelection.end())
        mySelection.clear();
    else
        mySelection.erase(from, to);
    myMarks.erase(std::remove_if(myMarks.begin(), myMarks.end(),
                                 [type](auto const& m) { return m.first == type; }),
                  myMarks.end());
    ++myChanges;
    selectionChangedHook();
}

ObSelection::Taken ObSelection::takeItemsOfType(Obt* type)
{
    OB_TRACE("Take selected items of type\n");
    Taken taken;
    taken.type = type;
    auto const [from, to] = rangeOf(type);
    if (from == to)
        return taken;
    // The whole set changes hands, and the items of other pools (mostly a few) come back: no
    // entry of the pool is freed, made or walked.
    // (An end iterator does not follow a swap: the end is taken again.)
    bool const toEnd = to == mySelection.end();
    auto const first = from;
    taken.items.swap(mySelection);
    auto const last = toEnd ? taken.items.end() : to;
    for (auto it = taken.items.begin(); it != first;)
        mySelection.insert(mySelection.end(), taken.items.extract(it++));
    for (auto it = last; it != taken.items.end();)
        mySelection.insert(mySelection.end(), taken.items.extract(it++));
    auto const marks = std::find_if(myMarks.begin(), myMarks.end(),
                                    [type](auto const& m) { return m.first == type; });
    if (marks != myMarks.end()) {
        taken.marks.swap(marks->second);
        myMarks.erase(marks);
    }
    ++myChanges;
    selectionChangedHook();
    return taken;
}

void ObSelection::giveBack(Taken&& taken)
{
    if (taken.items.empty())
        return;
    OB_TRACE("Give back %i selected items\n", static_cast<int>(taken.items.size()));
    // The smaller set goes into the larger one, node by node.
    if (mySelection.size() < taken.items.size())
        mySelection.swap(taken.items);
    mySelection.merge(taken.items);
    auto const marks = std::find_if(myMarks.begin(), myMarks.end(),
                                    [&](auto const& m) { return m.first == taken.type; });
    if (marks == myMarks.end()) {
        myMarks.emplace_back(taken.type, std::move(taken.marks));
    } else {
        std::vector<bool>& into = marks->second;
        into.resize(std::max(into.size(), taken.marks.size()));
        for (std::size_t slot = 0; slot < taken.marks.size(); ++slot)
            if (taken.marks[slot])
                into[slot] = true;
    }
    taken = {};
    ++myChanges;
    raise();
    selectionChangedHook();
}

void ObSelection::getSelectedItemsOfType(Obt* type, std::set<Obh>& out)
{
    for (Obh const& h : mySelection)
        if (h.getType() == type)
            out.insert(h);
}

void ObSelection::getSelectedItemsOfType(Obt* type, std::list<Obh>& out)
{
    for (Obh const& h : mySelection)
        if (h.getType() == type)
            out.push_back(h);
}
