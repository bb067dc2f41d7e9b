#include "mRowIndex.h"

#include "mEvent.h"
#include "mScale.h"
#include "tlObj.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

bool before(mRowIndex::Entry const& a, mRowIndex::Entry const& b)
{
    return a.lo < b.lo || (a.lo == b.lo && a.ev < b.ev);
}

} // namespace

void mRowIndex::Row::List::add(Entry const& e)
{
    // Additions in order (a build, a load) extend the sorted run.
    if (sorted == entries.size() && (entries.empty() || !before(e, entries.back())))
        ++sorted;
    entries.push_back(e);
    ++live;
}

bool mRowIndex::Row::List::take(mEvent const* ev, double lo)
{
    auto const tail = entries.begin() + static_cast<std::ptrdiff_t>(sorted);
    auto at = std::lower_bound(entries.begin(), tail, lo, [ev](Entry const& e, double t) {
        return e.lo < t || (e.lo == t && e.ev < ev);
    });
    // An entry taken out and filed again under the same key may stand beside its dead self.
    for (; at != tail && at->lo == lo && at->ev == ev; ++at)
        if (at->live()) {
            at->hi = Gone;
            ++dead;
            --live;
            return true;
        }
    for (auto it = tail; it != entries.end(); ++it)
        if (it->ev == ev && it->lo == lo) {
            *it = entries.back();
            entries.pop_back();
            --live;
            return true;
        }
    return false;
}

std::size_t mRowIndex::Row::List::settle()
{
    std::size_t changed = entries.size();
    if (dead > 0) {
        auto const firstDead =
            std::find_if(entries.begin(), entries.end(), [](Entry const& e) { return !e.live(); });
        changed = static_cast<std::size_t>(firstDead - entries.begin());
        std::size_t const keptSorted = static_cast<std::size_t>(
            std::count_if(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(sorted),
                          [](Entry const& e) { return e.live(); }));
        entries.erase(
            std::remove_if(firstDead, entries.end(), [](Entry const& e) { return !e.live(); }),
            entries.end());
        sorted = keptSorted;
        dead = 0;
    }
    if (sorted < entries.size()) {
        auto const tail = entries.begin() + static_cast<std::ptrdiff_t>(sorted);
        std::sort(tail, entries.end(), before);
        auto const from = std::upper_bound(entries.begin(), tail, *tail, before);
        changed = std::min(changed, static_cast<std::size_t>(from - entries.begin()));
        std::inplace_merge(entries.begin(), tail, entries.end(), before);
        sorted = entries.size();
    }
    return changed;
}

void mRowIndex::Row::ready()
{
    std::size_t const from = std::min(mySpans.settle(), myFurthest.size());
    myInstants.settle();
    std::vector<Entry> const& s = mySpans.entries;
    myFurthest.resize(s.size());
    for (std::size_t i = from; i < s.size(); ++i) {
        std::size_t best = i;
        if (i > 0 && s[myFurthest[i - 1]].hi >= s[i].hi)
            best = myFurthest[i - 1];
        myFurthest[i] = static_cast<std::uint32_t>(best);
    }
    readyReach(from);
}

void mRowIndex::Row::readyReach(std::size_t from)
{
    std::vector<Entry> const& s = mySpans.entries;
    std::size_t const blocks = (s.size() + ReachBlock - 1) / ReachBlock;
    std::size_t leaves = 1;
    while (leaves < blocks)
        leaves *= 2;
    if (leaves != myReachLeaves) {
        myReachLeaves = leaves;
        from = 0;
    } else if (from >= s.size() && !myReach.empty()) {
        return;
    }
    if (s.empty()) {
        myReach.clear();
        return;
    }
    myReach.resize(2 * leaves, -std::numeric_limits<double>::infinity());
    double* const leaf = myReach.data() + leaves;
    std::size_t const first = from / ReachBlock;
    for (std::size_t b = first; b < leaves; ++b) {
        double far = -std::numeric_limits<double>::infinity();
        for (std::size_t i = b * ReachBlock, end = std::min(s.size(), i + ReachBlock); i < end; ++i)
            far = std::max(far, s[i].hi);
        leaf[b] = far;
    }
    // Up the tree from the first block that changed: each level halves what is left.
    for (std::size_t lo = (leaves + first) / 2, hi = (2 * leaves - 1) / 2; lo >= 1;
         lo /= 2, hi /= 2) {
        for (std::size_t k = lo; k <= hi; ++k)
            myReach[k] = std::max(myReach[2 * k], myReach[2 * k + 1]);
        if (lo == 1)
            break;
    }
}

void mRowIndex::Row::reaching(std::size_t node, std::size_t lo, std::size_t width,
                              std::size_t before, double t, std::vector<std::size_t>& blocks) const
{
    if (lo >= before || myReach[node] < t)
        return;
    if (width == 1) {
        blocks.push_back(lo);
        return;
    }
    reaching(2 * node, lo, width / 2, before, t, blocks);
    reaching(2 * node + 1, lo + width / 2, width / 2, before, t, blocks);
}

std::size_t mRowIndex::Row::countStartingIn(double lo, double hi) const
{
    auto count = [lo, hi](std::vector<Entry> const& v) {
        return static_cast<std::size_t>(startingFrom(v, hi) - startingFrom(v, lo));
    };
    return count(mySpans.entries) + count(myInstants.entries);
}

namespace {

// The first entry from lo on (of n) whose start does not map left of x; every entry before lo
// does. Galloping: a walk from left to right costs the log of each step, not of the row.
template <class X> std::size_t firstFrom(std::size_t n, std::size_t lo, double x, X&& startPixel)
{
    std::size_t hi = lo, step = 1;
    while (hi < n && startPixel(hi) < x) {
        lo = hi + 1;
        hi = lo + step;
        step *= 2;
    }
    hi = std::min(hi, n);
    while (lo < hi) {
        std::size_t const m = lo + (hi - lo) / 2;
        if (startPixel(m) < x)
            lo = m + 1;
        else
            hi = m;
    }
    return lo;
}

} // namespace

void mRowIndex::Row::spanRuns(mScale const& ts, int c0, int c1, std::vector<Run>& out,
                              Scaled const* device) const
{
    out.clear();
    std::vector<Entry> const& s = mySpans.entries;
    std::size_t const n = s.size();
    if (n == 0 || c0 >= c1)
        return;
    mScale::Pixels const pixel(ts);
    double const viewWidth = ts.getParentSize();
    // Only whole pixels matter: an entry starts left of column c when the floor of its start's
    // pixel does, and its item's columns [first, end) follow from that floor and the ceiling of
    // its end's pixel (within a view's width either side of the view: ints).
    struct Span
    {
        int first, end;
    };
    // On a device, a column's first device column (rounded as the items' corners are).
    auto onDevice = [device](double c) { return std::round(c * device->by + device->offset); };
    auto startOf = [&](std::size_t i) {
        double const floor = pixel.floorAt(s[i].lo);
        // Left of column c when the item's first device column is.
        return device && std::isfinite(floor) ? onDevice(floor + 1) - 1 : floor;
    };
    auto ownColumns = [&](std::size_t i) {
        double first = 0, width = 0;
        spanColumns(pixel, viewWidth, s[i], first, width);
        return Span {int(first), int(first + width)};
    };
    auto spanOf = [&](std::size_t i) {
        Span const own = ownColumns(i);
        if (!device)
            return own;
        int const first = int(onDevice(own.first));
        return Span {first, first + int(std::round((own.end - own.first) * device->by))};
    };
    // Entries before a have their first column at or left of c0; from b on, right of c1.
    std::size_t const a = firstFrom(n, 0, c0, startOf);
    std::size_t const b = firstFrom(n, a, c1, startOf);
    // The entries between are worked out once each, when they are not many more than the columns
    // (their starts lie in the view: their first column is the one after); a row with many to a
    // column is walked by binary steps instead, each entry as it is met. One window a thread:
    // views walk several rows at once.
    static thread_local std::vector<Span> window;
    bool const worked = b - a <= 8 * std::size_t(c1 - c0);
    if (worked) {
        window.resize(b - a);
        for (std::size_t i = a; i < b; ++i)
            window[i - a] = spanOf(i);
    }
    Span const* const inWindow = window.data();
    struct Known
    {
        std::size_t i = std::size_t(-1);
        Span span {0, 0};
    };
    std::array<Known, 16> known;
    auto at = [&](std::size_t i) {
        if (worked && i >= a && i < b)
            return inWindow[i - a];
        Known& k = known[i % known.size()];
        if (k.i != i)
            k = {i, spanOf(i)};
        return k.span;
    };
    // From c on, entries [0, k) have their first column at or left of c.
    int c = c0;
    std::size_t k = a;
    auto advance = [&] {
        if (worked) {
            while (k < b && inWindow[k - a].first <= c)
                ++k;
            return;
        }
        k = firstFrom(n, k, c, [&](std::size_t i) { return double(at(i).first - 1); });
    };
    while (c < c1) {
        Span owner {0, 0};
        std::size_t ownerAt = n;
        if (k > 0) {
            if (Span const last = at(k - 1); last.first <= c && c < last.end) {
                owner = last, ownerAt = k - 1;
            } else if (std::size_t const m = myFurthest[k - 1]; m != k - 1) {
                if (Span const far = at(m); far.first <= c && c < far.end)
                    owner = far, ownerAt = m;
            }
        }
        int const next = k < n ? std::min(c1, std::max(at(k).first, c + 1)) : c1;
        if (ownerAt == n) {
            if (k == n)
                break;
            c = next;
            advance();
            continue;
        }
        int const end = std::min(next, owner.end);
        if (device)
            owner = ownColumns(ownerAt);
        out.push_back({&s[ownerAt], c, end, double(owner.first), double(owner.end - owner.first)});
        c = end;
        advance();
    }
}

void mRowIndex::Row::instantsShown(mScale const& ts, int c0, int c1, std::vector<Marker>& out) const
{
    out.clear();
    std::vector<Entry> const& v = myInstants.entries;
    mScale::Pixels const pixel(ts);
    // Whole pixels: an instant starts left of a column when the floor of its pixel does.
    auto startPixel = [&](std::size_t i) { return pixel.floorAt(v[i].lo); };
    double const viewWidth = ts.getParentSize(), half = tlObj::ImpulseHalfWidth;
    // A marker reaches its half width, and a pixel of rounding, either side of its time.
    std::size_t i = firstFrom(v.size(), 0, c0 - half - 2, startPixel);
    while (i < v.size()) {
        double const x = pixel(v[i].lo);
        if (!(x < c1 + half + 2))
            break;
        std::size_t const j = firstFrom(v.size(), i + 1, std::floor(x) + 1, startPixel);
        out.push_back({&v[j - 1], markerLeft(pixel, viewWidth, v[j - 1])});
        i = j;
    }
}

void mRowIndex::Row::spanColumns(mScale::Pixels const& pixel, double viewWidth, Entry const& e,
                                 double& first, double& width)
{
    double start = pixel.floorAt(e.lo), end = pixel.ceilAt(e.hi);
    if (!std::isfinite(start) || !std::isfinite(end))
        start = end = 0;
    mEvent::itemColumnsOfWhole(start, end, viewWidth, first, width);
}

double mRowIndex::Row::markerLeft(mScale::Pixels const& pixel, double viewWidth, Entry const& e)
{
    double const half = tlObj::ImpulseHalfWidth;
    double const nanosecond = std::fabs(pixel.perSecond()) * 1e-9 + 1e-9;
    auto aboutWhole = [nanosecond](double x) {
        double const f = x - std::floor(x);
        return f <= nanosecond || 1 - f <= nanosecond;
    };
    // Placed as its item is, from the pixels its marker spans: the times of its edges are
    // rounded to the nanosecond, which moves a pixel that is about whole across it.
    double const x = pixel(e.lo);
    double first = 0, width = 0, pre = x - half, post = x + half;
    if (aboutWhole(pre) || aboutWhole(post)) {
        e.ev->getPrePostTimes(pre, post);
        pre = pixel(pre), post = pixel(post);
    }
    mEvent::itemColumnsAt(pre, post, viewWidth, first, width);
    return first + width / 2 - half;
}

void mRowIndex::build(mTimeIndex const& index)
{
    clear();
    myBuilt = true;
    // In order of start, as the rows keep them: every addition extends a sorted run.
    index.forEachFiled([this](mEvent* ev, mTimeIndex::Extent e) {
        mTimeIndex::Filed const f = ev->filed();
        e.row = f.row, e.rows = f.rows;
        insert(ev, ev->filedHdl().getAddr(), e);
    });
}

std::size_t mRowIndex::LookHash::operator()(mEvent::LookInputs const& look) const
{
    std::size_t h = std::size_t(look.style) * 2 + look.instant;
    for (int v : look.own)
        h = h * 257 + std::size_t(v);
    return h;
}

std::uint32_t mRowIndex::lookNumber(mEvent const& ev)
{
    mEvent::LookInputs const look = ev.lookInputs();
    // The last one first: events filed together are mostly alike.
    if (!myLooks.empty() && myLooks.back() == look)
        return static_cast<std::uint32_t>(myLooks.size() - 1);
    return lookNumberOf(look);
}

void mRowIndex::changed()
{
    static std::uint64_t ourStamps = 0;
    myStamp = ++ourStamps;
}

void mRowIndex::insert(mEvent* ev, std::uint32_t slot, mTimeIndex::Extent const& e)
{
    if (!myBuilt)
        return;
    changed();
    // Events filed one after the other mostly share a row.
    Key const key {e.row, e.rows};
    if (!myLastRow || myLastKey < key || key < myLastKey) {
        myLastRow = &myRows[key];
        myLastKey = key;
    }
    Row& row = *myLastRow;
    (e.instant ? row.myInstants : row.mySpans).add(Entry {e.lo, e.hi, ev, slot, lookNumber(*ev)});
}

bool mRowIndex::erase(mEvent const* ev, mTimeIndex::Filed const& e)
{
    if (!myBuilt)
        return false;
    changed();
    auto const found = myRows.find(Key {e.row, e.rows});
    return found != myRows.end() &&
           (e.instant ? found->second.myInstants : found->second.mySpans).take(ev, e.lo);
}

std::uint32_t mRowIndex::lookNumberOf(mEvent::LookInputs const& look)
{
    auto const [at, made] =
        myLookNumbers.try_emplace(look, static_cast<std::uint32_t>(myLooks.size()));
    if (made)
        myLooks.push_back(look);
    return at->second;
}

void mRowIndex::moveMarked(std::vector<bool> const& marked, mRowIndex* into,
                           std::function<double(Key const&)> const& to)
{
    if (!myBuilt)
        return;
    if (into && !into->myBuilt)
        into = nullptr;
    // This index's look numbers as into's, worked out when first met.
    constexpr std::uint32_t Unknown = std::numeric_limits<std::uint32_t>::max();
    std::vector<std::uint32_t> looks(myLooks.size(), Unknown);
    bool moved = false;
    for (auto& [key, row] : myRows) {
        Row* target = nullptr;
        for (Row::List* list : {&row.mySpans, &row.myInstants}) {
            bool const instants = list == &row.myInstants;
            for (Entry& e : list->entries) {
                if (!e.live() || e.slot >= marked.size() || !marked[e.slot])
                    continue;
                if (into) {
                    if (!target) {
                        // Room for the whole row at once: mostly all of it moves.
                        target = &into->myRows[Key {to(key), 1.0}];
                        target->mySpans.entries.reserve(target->mySpans.entries.size() +
                                                        row.mySpans.live);
                        target->myInstants.entries.reserve(target->myInstants.entries.size() +
                                                           row.myInstants.live);
                    }
                    Entry copy = e;
                    std::uint32_t& look = looks[e.look];
                    if (look == Unknown)
                        look = into->lookNumberOf(myLooks[e.look]);
                    copy.look = look;
                    (instants ? target->myInstants : target->mySpans).add(copy);
                }
                // Taken out as take() does it: in place, closed up when next made ready.
                e.hi = Gone;
                ++list->dead;
                --list->live;
                moved = true;
            }
        }
    }
    if (!moved)
        return;
    changed();
    if (into)
        into->changed();
}

void mRowIndex::clear()
{
    myRows.clear();
    myLastRow = nullptr;
    myLooks.clear();
    myLookNumbers.clear();
    myBuilt = false;
    changed();
}

std::map<mRowIndex::Key, mRowIndex::Row>& mRowIndex::rows()
{
    for (auto it = myRows.begin(); it != myRows.end();) {
        if (it->second.size() == 0) {
            if (&it->second == myLastRow)
                myLastRow = nullptr;
            it = myRows.erase(it);
            continue;
        }
        it->second.ready();
        ++it;
    }
    return myRows;
}
