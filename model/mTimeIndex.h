#pragma once

#include <cmath>
#include <cstddef>
#include <map>
#include <set>

class mEvent;
class tlObj;

// The events of one layer by their extent in time, so that "which events may meet this
// interval" costs the logarithm of the layer's size plus what is found, not a walk over every
// event. Spans are kept by start within classes of length (each class holds lengths below one
// power of two, so a query looks back at most that far); instants are kept apart by their time,
// since the width of their marker on screen follows the zoom and is known only at the query.
//
// The index holds the events by pointer and does not own them. Whoever files an event keeps the
// extent it was filed under and hands it back to erase it (mEvent keeps it while filed).
class mTimeIndex
{
public:
    // An event's extent as filed: a span from lo to hi (lo <= hi), or an instant at lo == hi.
    struct Extent
    {
        double lo = 0.0;
        double hi = 0.0;
        bool instant = false;
    };

    mTimeIndex() = default;
    mTimeIndex(mTimeIndex const&) = delete;
    mTimeIndex& operator=(mTimeIndex const&) = delete;

    void insert(mEvent* ev, Extent const& e);
    // e must be the extent ev was filed under; an event not filed so is left alone.
    void erase(mEvent* ev, Extent const& e);
    void clear();
    std::size_t size() const { return mySize; }
    bool empty() const { return mySize == 0; }

    // Calls f(mEvent*) for every span whose extent touches [lo, hi] (ends included) and every
    // instant within reach of it. A superset of what meets the interval: the caller tests each.
    // f answers true to stop the walk; the result says whether it stopped.
    template <class F> bool forEachNear(double lo, double hi, double reach, F&& f) const;

    // Calls f(mEvent*) for every filed event, in no particular order.
    template <class F> void forEach(F&& f) const;

    // How far an instant's marker reaches either side of a time on the timeline's time scale,
    // with room to spare: what a search near that time widens its window by for instants.
    static double instantReach(tlObj const& obj, double t);

private:
    struct Entry
    {
        double lo;
        double hi;
        mEvent* ev;
    };
    struct ByStart
    {
        bool operator()(Entry const& a, Entry const& b) const
        {
            return a.lo < b.lo || (a.lo == b.lo && a.ev < b.ev);
        }
    };
    using Bucket = std::set<Entry, ByStart>;

    // The class of a length: the exponent of the power of two above it; spans of no length have
    // a class of their own.
    static int lengthClass(double length);
    // How far before a query's start a span of the class may begin and still reach it.
    static double classReach(int cls);
    static constexpr int NoLength = -100000;

    std::map<int, Bucket> mySpans;
    Bucket myInstants;
    std::size_t mySize = 0;
};

template <class F> bool mTimeIndex::forEachNear(double lo, double hi, double reach, F&& f) const
{
    if (hi < lo)
        std::swap(lo, hi);
    for (auto const& [cls, bucket] : mySpans) {
        double const from = lo - classReach(cls);
        for (auto it = bucket.lower_bound(Entry {from, 0.0, nullptr}); it != bucket.end(); ++it) {
            if (it->lo > hi)
                break;
            if (it->hi >= lo && f(it->ev))
                return true;
        }
    }
    for (auto it = myInstants.lower_bound(Entry {lo - reach, 0.0, nullptr});
         it != myInstants.end() && it->lo <= hi + reach; ++it)
        if (f(it->ev))
            return true;
    return false;
}

template <class F> void mTimeIndex::forEach(F&& f) const
{
    for (auto const& [cls, bucket] : mySpans)
        for (Entry const& e : bucket)
            f(e.ev);
    for (Entry const& e : myInstants)
        f(e.ev);
}
