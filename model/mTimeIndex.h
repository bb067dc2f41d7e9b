#pragma once

#include <algorithm>
#include <cstddef>
#include <utility>
#include <vector>

class mEvent;
class tlObj;

// The events of one layer by their extent in time, so that "which events may meet this
// interval" costs a binary search and a scan of what lies near it, not a walk over every event.
// The events are kept in order of start in short sorted runs (blocks), each knowing the latest
// end in it: a search starts no further back than the longest event reaches, skips every run
// that ends before the interval, and scans the rest as contiguous memory. Instants are kept at
// their time: the width of their marker on screen follows the zoom and is added at the search.
//
// The index holds the events by pointer and does not own them. Whoever files an event keeps the
// extent it was filed under and hands it back to erase it (mEvent keeps it while filed); an event
// is filed once.
class mTimeIndex
{
public:
    // An event's extent as filed: a span from lo to hi (lo <= hi), or an instant at lo == hi;
    // and where it lies across, its row index and height in rows (which this index ignores and
    // the layer's row index files by).
    struct Extent
    {
        double lo = 0.0;
        double hi = 0.0;
        bool instant = false;
        double row = 0.0;
        double rows = 1.0;
    };

    // What an event filed under an extent is found by again: its start and kind, and its row
    // and height in rows (for the layer's row index). The index keeps the end itself.
    struct Filed
    {
        double lo = 0.0;
        double row = 0.0;
        double rows = 1.0;
        bool instant = false;
    };

    mTimeIndex() = default;
    mTimeIndex(mTimeIndex const&) = delete;
    mTimeIndex& operator=(mTimeIndex const&) = delete;

    void insert(mEvent* ev, Extent const& e);
    // lo must be the start ev was filed under; an event not filed so is left alone. True when it
    // was taken out; hi (when given) is then the end it was filed under.
    bool erase(mEvent* ev, double lo, double* hi = nullptr);
    void clear();
    // Takes out every event for which taken(ev) answers true: one pass over the runs, however
    // many go. The number taken out.
    template <class Taken> std::size_t eraseIf(Taken&& taken);
    // Files many events at once, as insert does each: a sort and one merge with what is filed.
    void insertMany(std::vector<std::pair<mEvent*, Extent>> const& events);
    std::size_t size() const { return mySize; }
    bool empty() const { return mySize == 0; }

    // Calls f(mEvent*) for every span whose extent touches [lo, hi] (ends included) and every
    // instant within reach of it. A superset of what meets the interval: the caller tests each.
    // f answers true to stop the walk; the result says whether it stopped.
    template <class F> bool forEachNear(double lo, double hi, double reach, F&& f) const;

    // Calls f(mEvent*) for every filed event, in order of start.
    template <class F> void forEach(F&& f) const;
    // The same with the extent each was filed under (its row and height left at their defaults):
    // f(mEvent*, Extent const&).
    template <class F> void forEachFiled(F&& f) const;

    // How far an instant's marker reaches either side of its time on the timeline's time scale,
    // with room to spare: what a search widens its window by for instants.
    static double instantReach(tlObj const& obj);

private:
    struct Entry
    {
        double lo;
        double hi;
        mEvent* ev;
        bool instant;
    };
    struct Block
    {
        std::vector<Entry> entries; // by start, then by event
        double maxHi;
        // The key of the last entry, kept beside the runs so that finding a run reads one array.
        double lastLo;
        mEvent const* lastEv;
    };
    // Runs are split when they grow past twice this.
    static constexpr std::size_t BlockSize = 64;

    static bool before(Entry const& a, double lo, mEvent const* ev)
    {
        return a.lo < lo || (a.lo == lo && a.ev < ev);
    }
    // The first block that may hold an entry at or after the key (the last one when none).
    std::size_t blockFor(double lo, mEvent const* ev) const;
    static void refreshMax(Block& b);
    static void refreshLast(Block& b);

    std::vector<Block> myBlocks;
    std::size_t mySize = 0;
    // The longest span filed since the index was last empty: how far back a search looks.
    double myLongest = 0.0;
};

template <class F> bool mTimeIndex::forEachNear(double lo, double hi, double reach, F&& f) const
{
    if (hi < lo) {
        double const swap = lo;
        lo = hi;
        hi = swap;
    }
    double const from = lo - reach, to = hi + reach;
    // Nothing that starts before the longest span's length ahead of the interval reaches it.
    std::size_t b = myBlocks.empty() ? 0 : blockFor(from - myLongest, nullptr);
    for (; b < myBlocks.size(); ++b) {
        Block const& block = myBlocks[b];
        if (block.entries.front().lo > to)
            break;
        if (block.maxHi < from)
            continue;
        for (Entry const& e : block.entries) {
            if (e.lo > to)
                return false;
            bool const near = e.instant ? e.lo >= from : (e.hi >= lo && e.lo <= hi);
            if (near && f(e.ev))
                return true;
        }
    }
    return false;
}

template <class Taken> std::size_t mTimeIndex::eraseIf(Taken&& taken)
{
    std::size_t const before = mySize;
    std::size_t kept = 0;
    for (std::size_t b = 0; b < myBlocks.size(); ++b) {
        Block& block = myBlocks[b];
        auto const end = std::remove_if(block.entries.begin(), block.entries.end(),
                                        [&](Entry const& e) { return taken(e.ev); });
        std::size_t const left = static_cast<std::size_t>(end - block.entries.begin());
        mySize -= block.entries.size() - left;
        block.entries.erase(end, block.entries.end());
        if (block.entries.empty())
            continue;
        // A run left short joins the one before it while the two stay within a run's size.
        if (kept > 0 && myBlocks[kept - 1].entries.size() + left <= BlockSize) {
            Block& into = myBlocks[kept - 1];
            into.entries.insert(into.entries.end(), block.entries.begin(), block.entries.end());
            refreshMax(into);
            refreshLast(into);
            continue;
        }
        if (left < block.entries.capacity() / 2)
            block.entries.shrink_to_fit();
        refreshMax(block);
        refreshLast(block);
        if (kept != b)
            myBlocks[kept] = std::move(block);
        ++kept;
    }
    myBlocks.resize(kept);
    if (mySize == 0)
        clear();
    return before - mySize;
}

template <class F> void mTimeIndex::forEach(F&& f) const
{
    for (Block const& block : myBlocks)
        for (Entry const& e : block.entries)
            f(e.ev);
}

template <class F> void mTimeIndex::forEachFiled(F&& f) const
{
    for (Block const& block : myBlocks)
        for (Entry const& e : block.entries)
            f(e.ev, Extent {e.lo, e.hi, e.instant});
}
