#pragma once

#include "Obh.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <set>
#include <vector>

// A set of handles with the keys and the order of std::set<Obh> (pool, then slot; the flags and
// the type index are not part of the key, and an element keeps the ones it was inserted with),
// kept small for the sets of a model that hold a handle per event: the valid handles of one pool
// (the first such handle inserted names it) are kept as their slots alone, 4 bytes each, in short
// sorted runs; any other handle (another pool, other flags, another type index) is kept whole
// beside them. Iteration yields handles by value, in order, whichever half holds them.
class ObhSet
{
public:
    using value_type = Obh;
    using size_type = std::size_t;

    class const_iterator
    {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Obh;
        using difference_type = std::ptrdiff_t;
        using pointer = Obh const*;
        using reference = Obh const&;

        const_iterator() = default;
        Obh const& operator*() const { return myCurrent; }
        Obh const* operator->() const { return &myCurrent; }
        const_iterator& operator++();
        const_iterator operator++(int)
        {
            const_iterator before = *this;
            ++*this;
            return before;
        }
        bool operator==(const_iterator const& other) const
        {
            return myRun == other.myRun && myAt == other.myAt && myOther == other.myOther;
        }
        bool operator!=(const_iterator const& other) const { return !(*this == other); }

    private:
        friend class ObhSet;
        const_iterator(ObhSet const* set, std::size_t run, std::size_t at,
                       std::set<Obh>::const_iterator other);
        // Which half the next handle comes from, and that handle.
        void settle();

        ObhSet const* mySet = nullptr;
        std::size_t myRun = 0;
        std::size_t myAt = 0;
        std::set<Obh>::const_iterator myOther;
        bool myFromRuns = false;
        Obh myCurrent;
    };
    using iterator = const_iterator;

    ObhSet() = default;
    ObhSet(std::initializer_list<Obh> handles);

    // False when the key is there already (the element there stays as it is).
    bool insert(Obh const& h);
    // The number of elements taken out: 0 or 1.
    std::size_t erase(Obh const& h);
    // Takes out every key of the handles, which are in handle order (as a set's are): one walk
    // over the set, or a search each for a few beside the set. The number taken out.
    std::size_t eraseSorted(std::vector<Obh> const& handles);
    // Puts in every key of the handles, which are in handle order: one merge with the set, or an
    // insertion each for a few beside the set. The number put in (a key there already stays as
    // it is).
    std::size_t insertSorted(std::vector<Obh> const& handles);
    // Whether k changes to a set or an index of n are few enough to make one at a time (a search
    // each) rather than in one pass over all n.
    static bool fewAmong(std::size_t k, std::size_t n) { return k * 32 < n; }
    std::size_t count(Obh const& h) const { return contains(h) ? 1 : 0; }
    bool contains(Obh const& h) const;
    std::size_t size() const { return mySize; }
    bool empty() const { return mySize == 0; }
    void clear();

    const_iterator begin() const;
    const_iterator end() const;

    // Same elements, as std::set compares them (Obh::operator==).
    bool operator==(ObhSet const& other) const;
    bool operator!=(ObhSet const& other) const { return !(*this == other); }

private:
    using Run = std::vector<uint32_t>;
    // Runs are split when they grow past twice this.
    static constexpr std::size_t RunSize = 128;

    // Whether a handle is kept by its slot alone.
    bool compact(Obh const& h) const
    {
        return h.myType == myType && h.myTypeIndex == myTypeIndex && h.myFlags == Obh::IsValid;
    }
    // The run that holds the slot, or would (the last when none).
    std::size_t runFor(uint32_t addr) const;
    // Whether the runs hold the slot of the pool; r is then the run that holds it, and is the one
    // that would whenever the pool is that of the runs.
    bool inRuns(Obt const* type, uint32_t addr, std::size_t& r) const;
    bool inOthers(Obh const& h) const;
    Obh handleAt(uint32_t addr) const;

    // The pool of the compact half; null until the first valid handle, and again once that half
    // is empty.
    Obt* myType = nullptr;
    uint32_t myTypeIndex = 0;
    std::vector<Run> myRuns;
    std::set<Obh> myOthers;
    std::size_t mySize = 0;
};
