#include "ObDirty.h"
#include "ObCleanIfDirty.h"
#include "ObCleanOr.h"
#include "ObTestSupport.h"
#include "ScopedTraces.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

using testing::HasSubstr;

TEST(ObDirty, RaisingAsksForOnePassPerNewDirt)
{
    CountingRefresher refresher;
    ObDirty dirt(nullptr, &refresher);
    EXPECT_EQ(dirt.newDirtId(nullptr), 1u);
    EXPECT_EQ(dirt.newDirtId(""), 2u);
    EXPECT_EQ(dirt.newDirtId("DirtSelection"), 3u);
    EXPECT_STREQ(dirt.getDirtName(ObDirty::INVALID_DIRT), "<?>");

    dirt.setDirty(3, true);
    dirt.setDirty(3, true);
    EXPECT_EQ(refresher.requests, 1);
    dirt.setDirty(1, false);
    dirt.setDirty(std::set<unsigned int> {1, 3}, true); // nothing new: no pass
    EXPECT_EQ(refresher.requests, 1);
    dirt.setDirty(std::set<unsigned int> {1, 2, 3}, true);
    EXPECT_EQ(refresher.requests, 2);
    dirt.setAllDirty();
    EXPECT_EQ(refresher.requests, 2);
    dirt.clearAllDirt();
    dirt.setAllDirty();
    EXPECT_EQ(refresher.requests, 3);
}

TEST(ObDirty, CleanRulesDecideWhichStepsRun)
{
    ObDirty dirt(nullptr, nullptr);
    unsigned int const zoom = dirt.newDirtId("DirtTimeScaleZoom");
    unsigned int const pan = dirt.newDirtId("DirtTimeScalePan");
    dirt.initCleaning("pGv_updateScene",
                      new ObCleanOr(new ObCleanIfDirty(zoom), new ObCleanIfDirty(pan), nullptr));
    unsigned int const step = dirt.initCleanable("pGv_updateScene"); // the id the rule got
    EXPECT_EQ(step, 3u);
    EXPECT_FALSE(dirt.needsCleaningTest(step));
    dirt.setDirty(pan, false);
    EXPECT_TRUE(dirt.needsCleaningTest(step));
    dirt.clearAllDirt();
    EXPECT_FALSE(dirt.needsCleaningTest(step));

    unsigned int untouched = 77;
    EXPECT_FALSE(dirt.getCleanable("giEvent_update", untouched));
    EXPECT_EQ(untouched, 77u);
}

TEST(ObDirty, DirtyItemsAttributesAndTypes)
{
    TStore store;
    CountingRefresher refresher;
    ObDirty dirt(&store.engine, &refresher);
    Obh item = store.items.make(), whole = store.items.make(), other = store.others.make();
    dirt.setDirtyItem(Obh()); // invalid: ignored
    rtl::str title("title"), notes("notes");
    dirt.setDirtyItem(item, &title);
    dirt.setDirtyItem(item, &notes); // a further name: the pass is due already
    dirt.setDirtyItem(item);         // does not widen the item
    EXPECT_EQ(refresher.requests, 1);
    EXPECT_TRUE(dirt.itemAttrIsDirty(item, "notes"));
    EXPECT_FALSE(dirt.itemAttrIsDirty(item, "colour"));
    dirt.setDirtyItem(item, "title"); // the text form always asks
    dirt.setDirtyItem(whole);
    EXPECT_EQ(refresher.requests, 3);
    EXPECT_TRUE(dirt.itemAttrIsDirty(whole, "anything"));
    EXPECT_TRUE(dirt.typeIsDirty(&store.items));
    EXPECT_FALSE(dirt.typeIsDirty(&store.others));

    // A handle whose slot was freed names nothing: ignored when raised, shown as such when listed.
    Obh stale = whole;
    whole.dealloc();
    dirt.setDirtyItem(other);
    Obh staleOther = other;
    other.dealloc();
    dirt.setDirtyItem(staleOther, "title");
    EXPECT_EQ(refresher.requests, 4);
    ObDirty bare(nullptr, nullptr); // no store: types without names
    bare.setDirtyItem(item);
    ScopedTraces traces(true);
    testing::internal::CaptureStdout(); // listing a freed slot and a type without a store
    dirt.printDirt();
    bare.printDirt();
    EXPECT_THAT(testing::internal::GetCapturedStdout(), HasSubstr("<free slot>: ALL ATTRS"));
    dirt.clearAllDirt();
    EXPECT_FALSE(dirt.itemIsDirty(item));
    EXPECT_FALSE(dirt.typeIsDirty(&store.items));
    EXPECT_FALSE(dirt.itemAttrIsDirty(stale, "x"));
}
