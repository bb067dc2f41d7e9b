#include "ObDirty.h"
#include "ObSelection.h"
#include "ObTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records its hooks as "+addr", "-addr" and "changed".
struct Recording : ObSelection
{
    using ObSelection::ObSelection;
    void itemWasAddedHook(Obh& h) override { calls.push_back("+" + std::to_string(h.getAddr())); }
    void itemWasRemovedHook(Obh& h) override { calls.push_back("-" + std::to_string(h.getAddr())); }
    void selectionChangedHook() override { calls.push_back("changed"); }
    std::vector<std::string> take()
    {
        std::vector<std::string> c;
        c.swap(calls);
        return c;
    }
    std::vector<std::string> calls;
};

using Calls = std::vector<std::string>;

} // namespace

TEST(ObSelection, PrivateEngineAndItsSelectionDirt)
{
    ObSelection sel(nullptr, ObDirty::INVALID_DIRT);
    EXPECT_TRUE(sel.myOwnsDirtEngine);
    EXPECT_EQ(sel.getSelectionDirt(), 1u);
    EXPECT_STREQ(sel.myDirtEngine->getDirtName(1), "DirtObSelection");

    ObDirty shared(nullptr, nullptr);
    unsigned int const id = shared.newDirtId("DirtSelection");
    ObSelection given(&shared, id);
    EXPECT_FALSE(given.myOwnsDirtEngine);
    EXPECT_EQ(given.getSelectionDirt(), id);
}

TEST(ObSelection, ChangesRaiseTheDirtAndCallTheHooks)
{
    TStore store;
    CountingRefresher refresher;
    ObDirty dirt(&store.engine, &refresher);
    unsigned int const id = dirt.newDirtId("DirtSelection");
    Recording sel(&dirt, id);
    Obh a = store.items.make();
    Obh b = store.items.make();
    Obh c = store.others.make();

    sel.addToSelection(a);
    EXPECT_EQ(sel.take(), (Calls{"+0", "changed"}));
    EXPECT_TRUE(dirt.isDirty(id));
    EXPECT_EQ(refresher.requests, 1);
    dirt.clearAllDirt();
    sel.addToSelection(a); // already there: nothing
    EXPECT_TRUE(sel.take().empty());
    EXPECT_FALSE(dirt.isDirty(id));

    EXPECT_FALSE(sel.removeFromSelection(b));
    EXPECT_TRUE(sel.take().empty());
    EXPECT_TRUE(sel.removeFromSelection(a));
    EXPECT_EQ(sel.take(), (Calls{"-0", "changed"}));
    EXPECT_TRUE(dirt.isDirty(id));
    dirt.clearAllDirt();

    // Clearing changes the set silently as far as the dirt goes.
    sel.addToSelection(b);
    sel.addToSelection(a);
    dirt.clearAllDirt();
    sel.take();
    sel.clearSelection();
    EXPECT_EQ(sel.take(), (Calls{"-0", "-1", "changed"}));
    EXPECT_FALSE(dirt.isDirty(id));
    sel.clearSelection();
    EXPECT_EQ(sel.take(), (Calls{"changed"}));

    // Setting one item raises even when it already was the whole selection.
    sel.setSelection(b);
    dirt.clearAllDirt();
    sel.take();
    sel.setSelection(b);
    EXPECT_EQ(sel.take(), (Calls{"-1", "changed", "+1", "changed"}));
    EXPECT_TRUE(dirt.isDirty(id));
    dirt.clearAllDirt();

    std::list<Obh> none;
    sel.setSelection(none);
    EXPECT_EQ(sel.take(), (Calls{"-1", "changed"}));
    EXPECT_TRUE(sel.getSelection().empty());
    EXPECT_FALSE(dirt.isDirty(id));

    std::list<Obh> twice{a, c, a};
    sel.setSelection(twice);
    EXPECT_EQ(sel.take(), (Calls{"changed", "+0", "+0", "changed"}));
    EXPECT_EQ(sel.getSelection().size(), 2u);
    EXPECT_TRUE(dirt.isDirty(id));
    EXPECT_TRUE(sel.isSelectedTest(c));
}

TEST(ObSelection, ItemsByType)
{
    TStore store;
    Recording sel(nullptr, ObDirty::INVALID_DIRT);
    Obh a = store.items.make();
    Obh b = store.items.make();
    Obh c = store.others.make();
    std::list<Obh> all{b, c, a};
    sel.setSelection(all);

    std::list<Obh> items{c};
    sel.getSelectedItemsOfType(&store.items, items);
    EXPECT_EQ(items, (std::list<Obh>{c, a, b}));
    std::set<Obh> others{a};
    sel.getSelectedItemsOfType(&store.others, others);
    EXPECT_EQ(others, (std::set<Obh>{a, c}));

    sel.myDirtEngine->clearAllDirt();
    sel.take();
    sel.removeSelectedItemsOfType(&store.items);
    EXPECT_EQ(sel.take(), (Calls{"changed"}));
    EXPECT_EQ(sel.getSelection(), (std::set<Obh>{c}));
    EXPECT_FALSE(sel.myDirtEngine->isDirty(sel.getSelectionDirt()));
    sel.removeSelectedItemsOfType(&store.items);
    EXPECT_TRUE(sel.take().empty());
}
