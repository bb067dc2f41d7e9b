#include "ObDirty.h"
#include "ObSelection.h"
#include "ObTestSupport.h"

#include <gtest/gtest.h>

#include <string>

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
    std::list<Obh> twice{a, c, b, a};
    sel.setSelection(twice);
    EXPECT_EQ(sel.take(), "*+0+0+1*");
    EXPECT_TRUE(raised());

    std::list<Obh> items{c};
    sel.getSelectedItemsOfType(&store.items, items);
    EXPECT_EQ(items, (std::list<Obh>{c, a, b}));
    sel.removeSelectedItemsOfType(&store.items);
    EXPECT_EQ(sel.take(), "*");
    EXPECT_FALSE(raised());
    EXPECT_EQ(sel.getSelection(), (std::set<Obh>{c}));
    sel.removeSelectedItemsOfType(&store.items);
    EXPECT_EQ(sel.take(), "");
}
