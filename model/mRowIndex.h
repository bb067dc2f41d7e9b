#pragma once

#include "mEvent.h"
#include "mScale.h"
#include "mTimeIndex.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <unordered_map>
#include <vector>

// The events of one layer row by row, each row's spans and instants in order of start, with, for
// every span, which one before it reaches furthest. It answers per pixel column of a row which
// event's item would show there at the cost of a binary search, however many events the row
// holds: a crowded view draws and picks its events from it without an item each.
//
// A row is where events lie: their row index and their height in rows, as filed. The index is
// built on first use (when the layer is first shown) from the layer's time index and follows
// every filing after; changes are gathered and sorted in when next asked.
class mRowIndex
{
public:
    struct Key
    {
        double row = 0.0;
        double size = 1.0;
        friend bool operator<(Key const& a, Key const& b)
        {
            return a.row < b.row || (a.row == b.row && a.size < b.size);
        }
    };
    // A span from lo to hi, or an instant at lo == hi, with its event's slot in the store and the
    // number of its look (what its drawn colours are worked out from): a crowded row is drawn
    // without reading its events. An entry taken out keeps its place, with no end, until the row
    // is next made ready.
    struct Entry
    {
        double lo;
        double hi;
        mEvent* ev;
        std::uint32_t slot;
        std::uint32_t look;
        bool live() const { return hi != Gone; }
    };
    static constexpr double Gone = -std::numeric_limits<double>::infinity();
    // The first of entries in order of start that starts at t or later.
    static std::vector<Entry>::const_iterator startingFrom(std::vector<Entry> const& entries,
                                                           double t)
    {
        return std::lower_bound(entries.begin(), entries.end(), t,
                                [](Entry const& e, double x) { return e.lo < x; });
    }

    class Row
    {
    public:
        // The row's spans (instants) by start, then by event; ready() must have been called.
        std::vector<Entry> const& spans() const { return mySpans.entries; }
        std::vector<Entry> const& instants() const { return myInstants.entries; }
        // Of spans [0, i], the one whose end lies furthest.
        std::size_t furthest(std::size_t i) const { return myFurthest[i]; }
        // Calls f(entry) for every span among the first `before` (in order of start) that ends
        // at t or later: those that reach a time from before it. Costs a step down a tree of the
        // spans' furthest ends per span found, not a walk over the spans before.
        template <class F> void forEachReaching(std::size_t before, double t, F&& f) const;
        std::size_t size() const { return mySpans.live + myInstants.live; }
        // Entries whose start lies in [lo, hi): spans and instants.
        std::size_t countStartingIn(double lo, double hi) const;

        // A stretch [from, to) of pixel columns where one span's item would show, with the
        // columns of the item itself, [first, first + width).
        struct Run
        {
            Entry const* entry;
            int from;
            int to;
            double first;
            double width;
        };
        // The runs within [c0, c1) on the time scale, left to right: at each column the
        // latest-starting span whose item covers it, else the one that reaches furthest. A
        // binary search a run or a gap, whatever the number of spans. Like instantsShown, it
        // only reads: rows made ready may be walked on several threads at once.
        //
        // On a device of several pixels a column (its pixel ratio), the columns are the device's:
        // an item's columns [first, first + width) lie on the device columns from
        // round(first * by + offset), round(width * by) of them, the runs' [from, to) are device
        // columns (first and width stay the item's own).
        struct Scaled
        {
            double by = 1.0;
            double offset = 0.0;
        };
        void spanRuns(mScale const& ts, int c0, int c1, std::vector<Run>& out,
                      Scaled const* device = nullptr) const;
        // The instants whose markers may show within [c0, c1), left to right: of those at one
        // pixel, the latest, with the left edge of its marker's box as its item stands.
        struct Marker
        {
            Entry const* entry;
            double left;
        };
        void instantsShown(mScale const& ts, int c0, int c1, std::vector<Marker>& out) const;
        // The columns [first, first + width) of a span's item, from the pixels its start and end
        // fall in, as the item places itself.
        static void spanColumns(mScale::Pixels const& pixel, double viewWidth, Entry const& e,
                                double& first, double& width);
        // The left edge of an instant's marker as its item stands: its box is the columns
        // [floor(left), floor(left) + 2 * ImpulseHalfWidth).
        static double markerLeft(mScale::Pixels const& pixel, double viewWidth, Entry const& e);

        // Set by the view that shows the row: its events are drawn and picked through this
        // index, without an item each.
        bool crowded = false;

    private:
        friend class mRowIndex;
        struct List
        {
            // A sorted run, then what was added since (unsorted).
            std::vector<Entry> entries;
            std::size_t sorted = 0;
            std::size_t dead = 0;
            std::size_t live = 0;
            void add(Entry const& e);
            bool take(mEvent const* ev, double lo);
            // Sorts the additions in and drops what was taken out; the first place that changed,
            // or the size when nothing did.
            std::size_t settle();
        };
        // Sorts, compacts and brings the furthest reach up to date.
        void ready();

        // The furthest end of each block of ReachBlock spans, and a tree of those above them
        // (node 1 the root, node k's children 2k and 2k + 1, the blocks from myReachLeaves on).
        static constexpr std::size_t ReachBlock = 32;
        void readyReach(std::size_t from);
        void reaching(std::size_t node, std::size_t lo, std::size_t width, std::size_t before,
                      double t, std::vector<std::size_t>& blocks) const;

        List mySpans;
        List myInstants;
        std::vector<std::uint32_t> myFurthest;
        std::vector<double> myReach;
        std::size_t myReachLeaves = 0;
    };

    mRowIndex() = default;
    mRowIndex(mRowIndex const&) = delete;
    mRowIndex& operator=(mRowIndex const&) = delete;

    bool built() const { return myBuilt; }
    // Every event of the time index, in its row (the rows as filed with each event).
    void build(mTimeIndex const& index);
    // Filing follows the time index's: the extent an event was filed under takes it out (true
    // when it did). Both do nothing while the index is not built.
    void insert(mEvent* ev, std::uint32_t slot, mTimeIndex::Extent const& e);
    bool erase(mEvent const* ev, mTimeIndex::Filed const& f);
    // Whether an event is filed in the row that one filed so is.
    bool holds(mTimeIndex::Filed const& f) const
    {
        auto const found = myRows.find(Key {f.row, f.rows});
        return found != myRows.end() && found->second.size() > 0;
    }
    // Back to not built.
    void clear();
    // Moves the live entries of the events whose slot is marked into `into` (null: nowhere),
    // each row's into the row one high that to(key) names there, in their order, with their
    // looks as `into` numbers them: one pass over the entries, with no search, however many
    // move. Here they keep their places as taken ones until the rows are next made ready.
    // Nothing happens while this index is not built, nor moves into one that is not.
    void moveMarked(std::vector<bool> const& marked, mRowIndex* into,
                    std::function<double(Key const&)> const& to);
    // A stamp that changes whenever anything filed changes, unlike any other index's: what a
    // picture drawn from the index was drawn from.
    std::uint64_t stamp() const { return myStamp; }
    // Of the look numbered n: what an entry's drawn colours are worked out from.
    mEvent::LookInputs const& look(std::uint32_t n) const { return myLooks[n]; }
    // The rows that hold events, by key, each ready to be asked.
    std::map<Key, Row>& rows();
    // Whether the row of that key is crowded; false for none.
    bool crowdedAt(double row, double size) const
    {
        auto const found = myRows.find(Key {row, size});
        return found != myRows.end() && found->second.crowded;
    }

private:
    std::uint32_t lookNumber(mEvent const& ev);
    // The number of a look, given it when first met.
    std::uint32_t lookNumberOf(mEvent::LookInputs const& look);
    void changed();
    struct LookHash
    {
        std::size_t operator()(mEvent::LookInputs const& look) const;
    };

    std::map<Key, Row> myRows;
    // The row filed in last, and its key.
    Row* myLastRow = nullptr;
    Key myLastKey;
    // The looks met, numbered in order (a layer's events mostly share a few).
    std::vector<mEvent::LookInputs> myLooks;
    std::unordered_map<mEvent::LookInputs, std::uint32_t, LookHash> myLookNumbers;
    bool myBuilt = false;
    std::uint64_t myStamp = 0;
};

template <class F> void mRowIndex::Row::forEachReaching(std::size_t before, double t, F&& f) const
{
    std::vector<Entry> const& s = mySpans.entries;
    before = std::min(before, s.size());
    if (before == 0 || myReach.empty() || myReach[1] < t)
        return;
    // The blocks whose furthest end reaches t, then their spans that do.
    static thread_local std::vector<std::size_t> blocks;
    blocks.clear();
    reaching(1, 0, myReachLeaves, (before + ReachBlock - 1) / ReachBlock, t, blocks);
    for (std::size_t b : blocks)
        for (std::size_t i = b * ReachBlock, end = std::min(before, i + ReachBlock); i < end; ++i)
            if (s[i].hi >= t)
                f(s[i]);
}
