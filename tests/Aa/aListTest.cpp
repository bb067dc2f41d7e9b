#include "aList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

std::vector<int> forward(aList<int> const& l)
{
    std::vector<int> v;
    for (aListEl<int>* el = l.GetHead(); el; el = el->Next())
        v.push_back(el->Data());
    return v;
}

// The items back to front, reversed: equal to forward() only when both link directions agree.
std::vector<int> backward(aList<int> const& l)
{
    std::vector<int> v;
    for (aListEl<int>* el = l.GetTail(); el; el = el->Last())
        v.push_back(el->Data());
    std::reverse(v.begin(), v.end());
    return v;
}

int ascending(int a, int b) { return a < b ? -1 : a > b ? 1 : 0; }

} // namespace

TEST(aList, RemovingTheCurrentItemKeepsTheWalk)
{
    aList<int> l;
    for (int i : {5, 1, 5, 5, 2, 5})
        l.Append(i);
    std::vector<int> seen;
    aListIter<int> it(l);
    for (; it.MoreItems(); it.NextItem()) {
        seen.push_back(it.CurrentItem());
        if (it.CurrentItem() == 5)
            l.Remove(it.Current());
    }
    EXPECT_EQ(seen, (std::vector<int>{5, 1, 5, 5, 2, 5}));
    EXPECT_EQ(forward(l), (std::vector<int>{1, 2}));
    EXPECT_EQ(backward(l), forward(l));

    l.Append(1);
    EXPECT_EQ(l.RemoveMatching(1), 2);
    EXPECT_EQ(forward(l), std::vector<int>{2});
    EXPECT_EQ(backward(l), forward(l));
    EXPECT_EQ(l.Length(), 1);
}

TEST(aList, SortRelinksBothWays)
{
    std::vector<std::vector<int>> cases = {
        {3, 1, 2, 9}, {4, 4, 4, 4}, {2, 1}, {1}, {},
        {7, 3, 9, 3, 0, -2, 11, 5, 5, 8, 1, 6, 6, 4, 10, -7},
    };
    for (auto const& items : cases) {
        aList<int> l;
        for (int i : items)
            l.Append(i);
        l.Sort(ascending);
        std::vector<int> want = items;
        std::sort(want.begin(), want.end());
        EXPECT_EQ(forward(l), want);
        EXPECT_EQ(backward(l), want);
        EXPECT_EQ(l.Length(), static_cast<int>(items.size()));
    }

    // A listing that comes in sorted already, either way round, must not run the stack out.
    for (bool up : {true, false}) {
        aList<int> l;
        int const n = 100000;
        for (int i = 0; i < n; ++i)
            l.Append(up ? i : n - i);
        l.Sort(ascending);
        std::vector<int> v = forward(l);
        EXPECT_TRUE(std::is_sorted(v.begin(), v.end()));
        EXPECT_EQ(backward(l), v);
    }
}
