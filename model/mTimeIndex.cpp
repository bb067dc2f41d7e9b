#include "mTimeIndex.h"

#include "mScale.h"
#include "mTimeline.h"
#include "tlObj.h"

#include <algorithm>
#include <cmath>

double mTimeIndex::instantReach(tlObj const& obj)
{
    // The marker's half width in time, as the scale maps it (linearly, wherever the instant is).
    mScale const* ts = obj.getTimelineTimeScale();
    double half = 0.0;
    if (ts && ts->getParentSize() > 0) {
        double const window = ts->getVisEnd().asSeconds() - ts->getVisStart().asSeconds();
        half = tlObj::ImpulseHalfWidth * std::fabs(window) / ts->getParentSize();
    }
    // Twice the marker, and a microsecond for the rounding of times to nanoseconds.
    return std::isfinite(half) ? 2.0 * half + 1e-6 : 1e-6;
}

std::size_t mTimeIndex::blockFor(double lo, mEvent const* ev) const
{
    // The first block whose last entry is not before the key.
    std::size_t a = 0, b = myBlocks.size();
    while (a < b) {
        std::size_t const m = (a + b) / 2;
        Block const& block = myBlocks[m];
        if (block.lastLo < lo || (block.lastLo == lo && block.lastEv < ev))
            a = m + 1;
        else
            b = m;
    }
    return a;
}

void mTimeIndex::refreshMax(Block& b)
{
    b.maxHi = b.entries.front().hi;
    for (Entry const& e : b.entries)
        b.maxHi = std::max(b.maxHi, e.hi);
}

void mTimeIndex::refreshLast(Block& b)
{
    b.lastLo = b.entries.back().lo;
    b.lastEv = b.entries.back().ev;
}

void mTimeIndex::insert(mEvent* ev, Extent const& e)
{
    if (std::isnan(e.lo) || std::isnan(e.hi))
        return; // has no place in time (events refuse such times)
    Entry const entry {e.lo, e.hi, ev, e.instant};
    if (!e.instant)
        myLongest = std::max(myLongest, e.hi - e.lo);
    ++mySize;
    if (myBlocks.empty()) {
        myBlocks.push_back({{entry}, e.hi, e.lo, ev});
        return;
    }
    std::size_t const b = std::min(blockFor(e.lo, ev), myBlocks.size() - 1);
    Block& block = myBlocks[b];
    auto at =
        std::lower_bound(block.entries.begin(), block.entries.end(), entry,
                         [](Entry const& x, Entry const& y) { return before(x, y.lo, y.ev); });
    block.entries.insert(at, entry);
    block.maxHi = std::max(block.maxHi, e.hi);
    refreshLast(block);
    if (block.entries.size() <= 2 * BlockSize)
        return;
    // A run grown too long is split in two halves.
    Block upper {{block.entries.begin() + BlockSize, block.entries.end()}, 0.0, 0.0, nullptr};
    block.entries.resize(BlockSize);
    refreshMax(block);
    refreshMax(upper);
    refreshLast(block);
    refreshLast(upper);
    myBlocks.insert(myBlocks.begin() + static_cast<std::ptrdiff_t>(b) + 1, std::move(upper));
}

void mTimeIndex::insertMany(std::vector<std::pair<mEvent*, Extent>> const& events)
{
    std::vector<Entry> added;
    added.reserve(events.size());
    for (auto const& [ev, e] : events) {
        if (std::isnan(e.lo) || std::isnan(e.hi))
            continue; // as insert: no place in time
        added.push_back({e.lo, e.hi, ev, e.instant});
        if (!e.instant)
            myLongest = std::max(myLongest, e.hi - e.lo);
    }
    if (added.empty())
        return;
    auto const order = [](Entry const& x, Entry const& y) { return before(x, y.lo, y.ev); };
    if (!std::is_sorted(added.begin(), added.end(), order))
        std::sort(added.begin(), added.end(), order);
    // What is filed and what comes, merged once and cut into runs again.
    std::vector<Entry> all;
    if (!myBlocks.empty()) {
        all.reserve(mySize + added.size());
        for (Block const& block : myBlocks)
            all.insert(all.end(), block.entries.begin(), block.entries.end());
        std::size_t const filed = all.size();
        all.insert(all.end(), added.begin(), added.end());
        std::inplace_merge(all.begin(), all.begin() + static_cast<std::ptrdiff_t>(filed), all.end(),
                           order);
    } else {
        all = std::move(added);
    }
    mySize = all.size();
    myBlocks.clear();
    myBlocks.reserve((all.size() + BlockSize - 1) / BlockSize);
    for (std::size_t i = 0; i < all.size(); i += BlockSize) {
        auto const from = all.begin() + static_cast<std::ptrdiff_t>(i);
        Block block {
            {from, from + static_cast<std::ptrdiff_t>(std::min(BlockSize, all.size() - i))},
            0.0,
            0.0,
            nullptr};
        refreshMax(block);
        refreshLast(block);
        myBlocks.push_back(std::move(block));
    }
}

bool mTimeIndex::erase(mEvent* ev, double lo, double* hiOut)
{
    std::size_t const b = blockFor(lo, ev);
    if (b >= myBlocks.size())
        return false;
    Block& block = myBlocks[b];
    auto at = std::lower_bound(block.entries.begin(), block.entries.end(), lo,
                               [ev](Entry const& x, double t) { return before(x, t, ev); });
    if (at == block.entries.end() || at->ev != ev || at->lo != lo)
        return false;
    double const hi = at->hi;
    if (hiOut)
        *hiOut = hi;
    block.entries.erase(at);
    --mySize;
    if (block.entries.empty()) {
        myBlocks.erase(myBlocks.begin() + static_cast<std::ptrdiff_t>(b));
    } else {
        if (hi >= block.maxHi)
            refreshMax(block);
        refreshLast(block);
    }
    if (mySize == 0)
        clear();
    return true;
}

void mTimeIndex::clear()
{
    myBlocks.clear();
    mySize = 0;
    myLongest = 0.0;
}
