#include "aRefList.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Item
{
    explicit Item(int v) : value(v) { ++alive; }
    virtual ~Item() { --alive; }
    int value;
    aRef<Item> next; // an item may own the one after it
    static int alive;
};
int Item::alive = 0;

using Ref = aRef<Item>;

std::vector<int> walk(aRefIt<Item> it)
{
    std::vector<int> v;
    for (; it.MoreItems(); it.NextItem())
        v.push_back(it.CurrentData()->value);
    return v;
}

class aRefListTest : public testing::Test
{
protected:
    void SetUp() override { Item::alive = 0; }
    void TearDown() override { EXPECT_EQ(Item::alive, 0); }
};

} // namespace

TEST_F(aRefListTest, HandlesShareMoveAndDeleteOnce)
{
    Ref a(new Item(1));
    Ref b(a), c(a);
    EXPECT_EQ(b.RefCount(), 3);
    a.RefSet(new Item(2));
    EXPECT_EQ(Item::alive, 2);
    a.RefSet(a.RefData()); // already held: no second keeper
    b.RefSetAll(a);        // b and c onto a's object: the first object goes
    EXPECT_EQ(Item::alive, 1);
    EXPECT_EQ(c.RefCount(), 3);
    c.RefSetAll(new Item(3));
    EXPECT_EQ(Item::alive, 1);
    EXPECT_EQ(a.RefData()->value, 3);
    Ref d(new Item(4));
    d *= a;
    EXPECT_EQ(Item::alive, 1);
    EXPECT_EQ(a.RefCount(), 4);
    b.RefSetAll(Ref());
    EXPECT_EQ(Item::alive, 0);
    EXPECT_FALSE(a);
    EXPECT_FALSE(d);
    EXPECT_EQ(a.RefCount(), 0);

    // Moving onto an object owned only by the old one.
    a.RefSet(new Item(5));
    a.RefData()->next.RefSet(new Item(6));
    a.RefData()->next.RefData()->next.RefSet(new Item(7));
    a = a.RefData()->next;
    EXPECT_EQ(a.RefData()->value, 6);
    a.RefSet(a.RefData()->next);
    EXPECT_EQ(a.RefData()->value, 7);
    EXPECT_EQ(Item::alive, 1);
}

TEST_F(aRefListTest, AppendCountAndRemove)
{
    aRefList<Item> l;
    Ref a(new Item(1)), b(new Item(2));
    EXPECT_EQ(l.Append(Ref()), 0);
    l.Append(a);
    l.Append(b);
    l.Prepend(a);
    EXPECT_FALSE(l.AppendUnique(b));
    EXPECT_EQ(l.Count(a), 2);
    EXPECT_EQ(a.RefCount(), 3);
    EXPECT_EQ(walk(l.GetRevIter()), (std::vector<int>{2, 1, 1}));

    // The handle named may be an element itself.
    aRefEl<Item>* head = l.GetFwdIter().CurrentEl();
    EXPECT_EQ(l.RemoveMatching(*head), 2);
    EXPECT_EQ(l.Length(), 1);
    EXPECT_EQ(a.RefCount(), 1);
    EXPECT_EQ(l.GetHeadItem(), b);

    // An iterator reset onto another list's element walks that list and hears of its removals.
    aRefList<Item> other;
    other.Append(a);
    other.Append(b);
    aRefIt<Item> it = l.GetFwdIter();
    it.Reset(other.GetFwdIter().CurrentEl());
    other.RemoveTail();
    it.NextItem();
    EXPECT_FALSE(it.MoreItems());
    EXPECT_EQ(it.Length(), 1);
}

TEST_F(aRefListTest, ObjectsDestroyedElsewhereDropOut)
{
    aRefList<Item> l;
    std::vector<Ref> owners;
    for (int i = 0; i < 5; ++i) {
        owners.emplace_back(new Item(i));
        l.Append(owners.back());
    }
    owners[1].RefClearAll(true);
    owners[4].RefClearAll(true);
    EXPECT_EQ(l.Length(), 3);
    EXPECT_EQ(Item::alive, 3);

    // Two walks at once: the first one's next element dies and the second one deletes it.
    aRefIt<Item> first = l.GetFwdIter();
    ASSERT_EQ(first.CurrentData()->value, 0);
    owners[2].RefClearAll(true);
    aRefIt<Item> second = l.GetFwdIter();
    EXPECT_EQ(walk(second), (std::vector<int>{0, 3}));
    first.NextItem();
    EXPECT_EQ(first.CurrentData()->value, 3);

    // Removing the current element, and the one the walk would go to next.
    aRefIt<Item> it = l.GetFwdIter();
    l.Remove(l.GetRevIter().CurrentEl());
    l.Remove(it.CurrentEl());
    it.NextItem();
    EXPECT_FALSE(it.MoreItems());
    EXPECT_EQ(l.Length(), 0);
    owners.clear();
}

TEST_F(aRefListTest, ListEndsBeforeItsIterators)
{
    auto* l = new aRefList<Item>;
    Ref a(new Item(1)), b(new Item(2));
    l->Append(a);
    l->Append(b);
    b.RefClearAll(true); // a dead element left linked: the list's end must still free it
    aRefIt<Item> it = l->GetFwdIter();
    aRefIt<Item> copy;
    copy = it;
    delete l;
    EXPECT_EQ(a.RefCount(), 1);
    EXPECT_EQ(copy.RefCount(), 2);
}
