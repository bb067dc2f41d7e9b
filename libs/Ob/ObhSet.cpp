#include "ObhSet.h"

#include "aAssert.h"

#include <algorithm>
#include <iterator>

ObhSet::const_iterator::const_iterator(ObhSet const* set, std::size_t run, std::size_t at,
                                       std::set<Obh>::const_iterator other)
    : mySet(set), myRun(run), myAt(at), myOther(other)
{
    settle();
}

void ObhSet::const_iterator::settle()
{
    bool const runsLeft = myRun < mySet->myRuns.size();
    bool const othersLeft = myOther != mySet->myOthers.end();
    if (!runsLeft && !othersLeft)
        return;
    if (runsLeft) {
        Obh const h = mySet->handleAt(mySet->myRuns[myRun][myAt]);
        if (!othersLeft || h < *myOther) {
            myFromRuns = true;
            myCurrent = h;
            return;
        }
    }
    myFromRuns = false;
    myCurrent = *myOther;
}

ObhSet::const_iterator& ObhSet::const_iterator::operator++()
{
    if (myFromRuns) {
        if (++myAt == mySet->myRuns[myRun].size()) {
            ++myRun;
            myAt = 0;
        }
    } else {
        ++myOther;
    }
    settle();
    return *this;
}

ObhSet::ObhSet(std::initializer_list<Obh> handles)
{
    for (Obh const& h : handles)
        insert(h);
}

Obh ObhSet::handleAt(uint32_t addr) const
{
    Obh h;
    h.myType = myType;
    h.myTypeIndex = myTypeIndex;
    h.myAddr = addr;
    h.myFlags = Obh::IsValid;
    return h;
}

std::size_t ObhSet::runFor(uint32_t addr) const
{
    // The first run whose last slot is not below the slot.
    auto const it = std::lower_bound(myRuns.begin(), myRuns.end(), addr,
                                     [](Run const& r, uint32_t a) { return r.back() < a; });
    std::size_t const i = static_cast<std::size_t>(it - myRuns.begin());
    return std::min(i, myRuns.size() - 1);
}

bool ObhSet::inRuns(Obt const* type, uint32_t addr, std::size_t& r) const
{
    if (myRuns.empty() || type != myType)
        return false;
    r = runFor(addr);
    Run const& run = myRuns[r];
    return std::binary_search(run.begin(), run.end(), addr);
}

bool ObhSet::inOthers(Obh const& h) const
{
    return !myOthers.empty() && myOthers.count(h) != 0;
}

bool ObhSet::contains(Obh const& h) const
{
    std::size_t r = 0;
    return inRuns(h.myType, h.myAddr, r) || inOthers(h);
}

bool ObhSet::insert(Obh const& h)
{
    // The run is found once: a handle kept by its slot goes where the search ended.
    std::size_t r = 0;
    if (inRuns(h.myType, h.myAddr, r) || inOthers(h))
        return false;
    if (myRuns.empty() && h.myFlags == Obh::IsValid) {
        myType = h.myType;
        myTypeIndex = h.myTypeIndex;
    }
    ++mySize;
    if (!compact(h)) {
        myOthers.insert(h);
        return true;
    }
    if (myRuns.empty()) {
        myRuns.push_back({h.myAddr});
        return true;
    }
    Run& run = myRuns[r];
    run.insert(std::lower_bound(run.begin(), run.end(), h.myAddr), h.myAddr);
    if (run.size() <= 2 * RunSize)
        return true;
    // A run grown too long is split in two halves.
    Run upper(run.begin() + RunSize, run.end());
    run.resize(RunSize);
    run.shrink_to_fit();
    myRuns.insert(myRuns.begin() + static_cast<std::ptrdiff_t>(r) + 1, std::move(upper));
    return true;
}

std::size_t ObhSet::erase(Obh const& h)
{
    std::size_t r = 0;
    if (inRuns(h.myType, h.myAddr, r)) {
        Run& run = myRuns[r];
        run.erase(std::lower_bound(run.begin(), run.end(), h.myAddr));
        if (run.empty())
            myRuns.erase(myRuns.begin() + static_cast<std::ptrdiff_t>(r));
        if (myRuns.empty())
            myType = nullptr;
        --mySize;
        return 1;
    }
    if (myOthers.empty())
        return 0;
    std::size_t const n = myOthers.erase(h);
    mySize -= n;
    return n;
}

std::size_t ObhSet::insertSorted(std::vector<Obh> const& handles)
{
    if (fewAmong(handles.size(), mySize)) {
        std::size_t n = 0;
        for (Obh const& h : handles)
            n += insert(h) ? 1 : 0;
        return n;
    }
    std::size_t const before = mySize;
    // The pool of the compact half, when it has none yet, is that of the first handle that
    // insert() would keep by its slot.
    if (myRuns.empty()) {
        auto const first = std::find_if(handles.begin(), handles.end(),
                                        [](Obh const& h) { return h.myFlags == Obh::IsValid; });
        if (first != handles.end()) {
            myType = first->myType;
            myTypeIndex = first->myTypeIndex;
        }
    }
    std::vector<uint32_t> slots;
    std::vector<Obh> others;
    for (Obh const& h : handles) {
        if (compact(h) && !inOthers(h))
            slots.push_back(h.myAddr);
        else if (!compact(h))
            others.push_back(h);
    }
    if (!slots.empty()) {
        A_ASSERT(std::is_sorted(slots.begin(), slots.end()));
        // The slots there and the new ones, merged once and cut into runs again.
        std::vector<uint32_t> kept;
        for (Run const& run : myRuns)
            kept.insert(kept.end(), run.begin(), run.end());
        std::vector<uint32_t> all;
        all.reserve(kept.size() + slots.size());
        std::merge(kept.begin(), kept.end(), slots.begin(), slots.end(), std::back_inserter(all));
        all.erase(std::unique(all.begin(), all.end()), all.end());
        mySize += all.size() - kept.size();
        myRuns.clear();
        for (std::size_t i = 0; i < all.size(); i += RunSize) {
            auto const from = all.begin() + static_cast<std::ptrdiff_t>(i);
            myRuns.emplace_back(
                from, from + static_cast<std::ptrdiff_t>(std::min(RunSize, all.size() - i)));
        }
    }
    for (Obh const& h : others)
        insert(h);
    return mySize - before;
}

std::size_t ObhSet::eraseSorted(std::vector<Obh> const& handles)
{
    if (fewAmong(handles.size(), mySize)) {
        std::size_t n = 0;
        for (Obh const& h : handles)
            n += erase(h);
        return n;
    }
    std::size_t const before = mySize;
    // The slots of the compact half to take out, ascending; the other half one by one (a key
    // is in one half or the other, whatever the flags it is asked with).
    std::vector<uint32_t> slots;
    for (Obh const& h : handles) {
        if (!myOthers.empty())
            mySize -= myOthers.erase(h);
        if (!myRuns.empty() && h.myType == myType)
            slots.push_back(h.myAddr);
    }
    if (slots.empty())
        return before - mySize;
    A_ASSERT(std::is_sorted(slots.begin(), slots.end()));
    // Each run that holds any of them is closed up in place; runs left empty go.
    std::size_t next = 0, keptRuns = 0;
    for (Run& run : myRuns) {
        while (next < slots.size() && slots[next] < run.front())
            ++next;
        if (next < slots.size() && slots[next] <= run.back()) {
            std::size_t kept = 0;
            for (uint32_t addr : run) {
                while (next < slots.size() && slots[next] < addr)
                    ++next;
                if (next < slots.size() && slots[next] == addr)
                    --mySize;
                else
                    run[kept++] = addr;
            }
            run.resize(kept);
        }
        if (!run.empty())
            std::swap(myRuns[keptRuns++], run);
    }
    myRuns.resize(keptRuns);
    if (myRuns.empty())
        myType = nullptr;
    return before - mySize;
}

void ObhSet::clear()
{
    myRuns.clear();
    myOthers.clear();
    myType = nullptr;
    myTypeIndex = 0;
    mySize = 0;
}

ObhSet::const_iterator ObhSet::begin() const
{
    return const_iterator(this, 0, 0, myOthers.begin());
}

ObhSet::const_iterator ObhSet::end() const
{
    return const_iterator(this, myRuns.size(), 0, myOthers.end());
}

bool ObhSet::operator==(ObhSet const& other) const
{
    if (mySize != other.mySize)
        return false;
    for (auto a = begin(), b = other.begin(); a != end(); ++a, ++b) {
        if (*a != *b)
            return false;
    }
    return true;
}
