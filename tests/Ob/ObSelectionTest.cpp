#include "ObSelection.h"
#include "ObDirty.h"
#include "ObTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <list>
#include <set>
#include <string>
#include <vector>

namespace {

// Records its hooks as "+addr", "-addr" and "*" (changed).
struct Recording : ObSelection
{
    using ObSelection::ObSelection;
    void itemWasAddedHook(Obh& h) override { calls += "+" + std::to_string(h.getAddr()); }
    void itemWasRemovedHook(Obh& h) override { calls += "-" + std::to_string(h.getAddr()); }
    void selectionChangedHook() override { calls += "*"; }
    std::string take()
    {
        std::string c;
        c.swap(calls);
        return c;
    }
    std::string calls;
};

// Forty items and five of another pool, and a check that a selection's look-up by slot answers
// what its set holds for each of them.
struct Pools
{
    TStore store;
    std::vector<Obh> items, others;
    Pools()
    {
        for (int i = 0; i < 40; ++i)
            items.push_back(store.items.make());
        for (int i = 0; i < 5; ++i)
            others.push_back(store.others.make());
    }
    void agree(ObSelection& sel, char const* after) const
    {
        for (auto const* pool : {&items, &others})
            for (Obh h : *pool)
                EXPECT_EQ(sel.isSelectedTest(h), sel.getSelection().count(h) == 1)
                    << after << ", slot " << h.getAddr();
    }
};

} // namespace

TEST(ObSelection, ChangesRaiseTheDirtAndCallTheHooks)
{
    TStore store;
    CountingRefresher refresher;
    ObDirty dirt(&store.engine, &refresher);
    unsigned int const id = dirt.newDirtId("DirtSelection");
    Recording sel(&dirt, id);
    Obh a = store.items.make(), b = store.items.make(), c = store.others.make();
    auto raised = [&] {
        bool r = dirt.isDirty(id);
        dirt.clearAllDirt();
        return r;
    };

    sel.addToSelection(a);
    EXPECT_EQ(sel.take(), "+0*");
    EXPECT_TRUE(raised());
    EXPECT_EQ(refresher.requests, 1);
    sel.addToSelection(a); // already there: nothing
    EXPECT_FALSE(sel.removeFromSelection(b));
    EXPECT_EQ(sel.take(), "");
    EXPECT_FALSE(raised());
    EXPECT_TRUE(sel.removeFromSelection(a));
    EXPECT_EQ(sel.take(), "-0*");
    EXPECT_TRUE(raised());

    // Clearing changes the set without raising; setting one item always raises.
    sel.addToSelection(b);
    sel.addToSelection(a);
    raised();
    sel.take();
    sel.clearSelection();
    EXPECT_EQ(sel.take(), "-0-1*");
    EXPECT_FALSE(raised());
    sel.setSelection(b);
    raised();
    sel.setSelection(b);
    EXPECT_EQ(sel.take(), "*+1*-1*+1*");
    EXPECT_TRUE(raised());

    std::list<Obh> none;
    sel.setSelection(none);
    EXPECT_EQ(sel.take(), "-1*");
    EXPECT_FALSE(raised());
    std::list<Obh> twice {a, c, b, a};
    sel.setSelection(twice);
    EXPECT_EQ(sel.take(), "*+0+0+1*");
    EXPECT_TRUE(raised());

    std::list<Obh> items {c};
    sel.getSelectedItemsOfType(&store.items, items);
    EXPECT_EQ(items, (std::list<Obh> {c, a, b}));
    sel.removeSelectedItemsOfType(&store.items);
    EXPECT_EQ(sel.take(), "*");
    EXPECT_FALSE(raised());
    EXPECT_EQ(sel.getSelection(), (std::set<Obh> {c}));
    sel.removeSelectedItemsOfType(&store.items);
    EXPECT_EQ(sel.take(), "");
}

// The look-up by slot answers what the set holds after every kind of change, many handles added
// at once among them (in or out of order, twice, of two pools); and each change is counted.
TEST(ObSelection, TheLookUpBySlotFollowsTheSet)
{
    Pools pools;
    TStore& store = pools.store;
    std::vector<Obh> const &items = pools.items, &others = pools.others;
    ObSelection sel(nullptr, ObDirty::INVALID_DIRT);
    auto agrees = [&](char const* after) { pools.agree(sel, after); };
    std::uint64_t changes = sel.changes();
    auto changed = [&] {
        bool const moved = sel.changes() != changes;
        changes = sel.changes();
        return moved;
    };
    sel.addToSelection(std::vector<Obh> {items[30], items[2], items[2], others[1], items[7]});
    agrees("many added");
    EXPECT_TRUE(changed());
    sel.addToSelection(items[39]);
    EXPECT_TRUE(sel.removeFromSelection(items[2]));
    agrees("one added, one removed");
    sel.removeSelectedItemsOfType(&store.items);
    agrees("one pool removed");
    EXPECT_TRUE(changed());
    std::list<Obh> some {items[5], others[4]};
    sel.setSelection(some);
    agrees("set");
    sel.clearSelection();
    agrees("cleared");
    EXPECT_TRUE(changed());
    sel.addToSelection(std::vector<Obh> {});
    EXPECT_FALSE(changed()) << "nothing added, nothing changed";
}

// The items of a pool taken out together and given back: the rest stays selected, the marks by
// slot follow, and what was selected meanwhile is kept beside them.
TEST(ObSelection, ItemsTakenOutTogetherComeBackAsTheyWere)
{
    Pools pools;
    TStore& store = pools.store;
    std::vector<Obh> const &items = pools.items, &others = pools.others;
    Recording sel(nullptr, ObDirty::INVALID_DIRT);
    auto agrees = [&](char const* after) { pools.agree(sel, after); };
    std::vector<Obh> chosen {items[3], items[4], items[17], items[39]};
    sel.addToSelection(chosen);
    sel.addToSelection(std::vector<Obh> {others[0], others[4]});
    std::set<Obh> const before = sel.getSelection();
    sel.take();
    ObSelection::Taken taken = sel.takeItemsOfType(&store.items);
    EXPECT_EQ(taken.items, std::set<Obh>(chosen.begin(), chosen.end()));
    EXPECT_EQ(sel.getSelection(), (std::set<Obh> {others[0], others[4]}));
    agrees("taken");
    std::vector<unsigned int> slots;
    taken.forEachSlot([&](unsigned int slot) { slots.push_back(slot); });
    EXPECT_EQ(slots, (std::vector<unsigned int> {items[3].getAddr(), items[4].getAddr(),
                                                 items[17].getAddr(), items[39].getAddr()}));
    EXPECT_EQ(sel.take(), "*") << "one change";
    sel.giveBack(std::move(taken));
    EXPECT_EQ(sel.getSelection(), before);
    agrees("given back");

    // Given back into a selection that changed meanwhile, and into an empty one.
    taken = sel.takeItemsOfType(&store.items);
    sel.addToSelection(items[17]);
    sel.addToSelection(items[20]);
    sel.removeFromSelection(others[0]);
    sel.giveBack(std::move(taken));
    std::set<Obh> wanted = before;
    wanted.erase(others[0]);
    wanted.insert(items[20]);
    EXPECT_EQ(sel.getSelection(), wanted);
    agrees("given back beside others");
    sel.clearSelection();
    sel.addToSelection(chosen);
    taken = sel.takeItemsOfType(&store.items);
    EXPECT_TRUE(sel.getSelection().empty());
    agrees("all taken");
    EXPECT_TRUE(sel.takeItemsOfType(&store.items).items.empty()) << "none left to take";
    sel.giveBack(std::move(taken));
    EXPECT_EQ(sel.getSelection(), std::set<Obh>(chosen.begin(), chosen.end()));
    agrees("all given back");
}
