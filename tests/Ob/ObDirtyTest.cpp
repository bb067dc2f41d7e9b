#include "ObCleanIfDirty.h"
#include "ObCleanOr.h"
#include "ObDirty.h"
#include "ObTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string out() { return testing::internal::GetCapturedStdout(); }

bool has(std::string const& text, std::string const& part) { return text.find(part) != std::string::npos; }

} // namespace

TEST(ObDirty, IdsNamesAndRaising)
{
    CountingRefresher refresher;
    ObDirty dirt(nullptr, &refresher);
    testing::internal::CaptureStdout();
    EXPECT_EQ(dirt.newDirtId(nullptr), 1u);
    EXPECT_EQ(dirt.newDirtId(""), 2u);
    EXPECT_EQ(dirt.newDirtId("DirtSelection"), 3u);
    std::string log = out();
    EXPECT_TRUE(has(log, "DIRT NAME[1] = Dirt[1]"));
    EXPECT_TRUE(has(log, "DIRT NAME[3] = DirtSelection"));
    EXPECT_STREQ(dirt.getDirtName(2), "Dirt[2]");
    EXPECT_STREQ(dirt.getDirtName(0), "<?>");
    EXPECT_STREQ(dirt.getDirtName(ObDirty::INVALID_DIRT), "<?>");

    testing::internal::CaptureStdout();
    dirt.setDirty(3, true);
    dirt.setDirty(3, true);
    log = out();
    EXPECT_EQ(refresher.requests, 1);
    EXPECT_TRUE(has(log, "Set dirty DirtSelection"));
    EXPECT_TRUE(has(log, "Already dirty DirtSelection"));
    EXPECT_TRUE(refresher.myNeedsRefresh);

    dirt.setDirty(1, false);
    EXPECT_EQ(refresher.requests, 1);
    dirt.setDirty(std::set<unsigned int>{1, 3}, true); // nothing new: no pass
    EXPECT_EQ(refresher.requests, 1);
    dirt.setDirty(std::set<unsigned int>{1, 2, 3}, true);
    EXPECT_EQ(refresher.requests, 2);
    std::set<unsigned int> got{42};
    dirt.getDirt(got);
    EXPECT_EQ(got, (std::set<unsigned int>{1, 2, 3, 42}));

    testing::internal::CaptureStdout();
    dirt.setAllDirty();
    EXPECT_TRUE(has(out(), "Set ALL dirty!"));
    EXPECT_EQ(refresher.requests, 2);
    dirt.clearAllDirt();
    EXPECT_FALSE(dirt.isDirty(3));
    dirt.setAllDirty();
    EXPECT_EQ(refresher.requests, 3);
    EXPECT_TRUE(dirt.isDirty(1) && dirt.isDirty(2) && dirt.isDirty(3));

    EXPECT_DEATH((tracesToStderr(), dirt.setDirty(42, true)), "Unknown dirt! 42");
}

TEST(ObDirty, CleanRulesDecideWhichStepsRun)
{
    ObDirty dirt(nullptr, nullptr);
    unsigned int const zoom = dirt.newDirtId("DirtTimeScaleZoom");
    unsigned int const pan = dirt.newDirtId("DirtTimeScalePan");
    dirt.initCleaning("pGv_updateScene", new ObCleanOr(new ObCleanIfDirty(zoom), new ObCleanIfDirty(pan), nullptr));
    // The step finds the id that installing the rule gave it.
    unsigned int const step = dirt.initCleanable("pGv_updateScene");
    EXPECT_EQ(step, 3u);
    EXPECT_TRUE(dirt.hasCleanable("pGv_updateScene"));
    EXPECT_STREQ(dirt.getDirtName(step), "pGv_updateScene");
    EXPECT_FALSE(dirt.needsCleaningTest(step));
    dirt.setDirty(pan, false);
    EXPECT_TRUE(dirt.needsCleaningTest(step));

    testing::internal::CaptureStdout();
    dirt.printCleanings();
    std::string log = out();
    EXPECT_TRUE(has(log, "Need cleaning"));
    EXPECT_TRUE(has(log, "  pGv_updateScene - Or(IfDirty[1],IfDirty[2])"));

    dirt.clearAllDirt();
    EXPECT_FALSE(dirt.needsCleaningTest(step));
    EXPECT_EQ(dirt.initCleanable("pGv_updateScene"), step); // kept through clearing

    unsigned int untouched = 77;
    EXPECT_FALSE(dirt.getCleanable("giEvent_update", untouched));
    EXPECT_EQ(untouched, 77u);
    EXPECT_TRUE(dirt.getCleanable("pGv_updateScene", untouched));
    EXPECT_EQ(untouched, step);

    unsigned int const orphan = dirt.initCleanable("giEvent_update");
    EXPECT_DEATH((tracesToStderr(), dirt.needsCleaningTest(orphan)), "No clean checks found \\(in tlCmp\\) for cleanable\\[4\\]");
    EXPECT_DEATH((tracesToStderr(), dirt.needsCleaningTest(99)), "UNREGISTERED cleanable ID");
    EXPECT_DEATH((tracesToStderr(), dirt.initCleaning("pGv_updateScene", new ObCleanIfDirty(zoom))), "FIX THIS!!!");
}

TEST(ObDirty, DirtyItemsAttributesAndTypes)
{
    TStore store;
    CountingRefresher refresher;
    ObDirty dirt(&store.engine, &refresher);
    Obh item = store.items.make();
    Obh whole = store.items.make();
    Obh other = store.others.make();

    dirt.setDirtyItem(Obh()); // invalid: ignored
    EXPECT_EQ(refresher.requests, 0);
    EXPECT_TRUE(dirt.myDirtyItems.empty());

    rtl::str title("title");
    dirt.setDirtyItem(item, &title);
    EXPECT_EQ(refresher.requests, 1);
    rtl::str notes("notes");
    dirt.setDirtyItem(item, &notes); // a further name: a pass is due already
    EXPECT_EQ(refresher.requests, 1);
    dirt.setDirtyItem(item); // does not widen the item to a whole-item mark
    EXPECT_FALSE(dirt.itemAttrIsDirty(item, "colour"));
    EXPECT_TRUE(dirt.itemAttrIsDirty(item, "notes"));
    EXPECT_EQ(refresher.requests, 1);
    dirt.setDirtyItem(item, "title"); // the text form always asks
    EXPECT_EQ(refresher.requests, 2);

    dirt.setDirtyItem(whole);
    EXPECT_EQ(refresher.requests, 3);
    EXPECT_TRUE(dirt.itemAttrIsDirty(whole, "anything"));
    EXPECT_TRUE(dirt.typeIsDirty(&store.items));
    EXPECT_FALSE(dirt.typeIsDirty(&store.others));
    EXPECT_FALSE(dirt.itemIsDirty(other));
    EXPECT_FALSE(dirt.itemAttrIsDirty(other, "title"));
    rtl::str attr("title");
    EXPECT_DEATH(dirt.setDirtyItem(whole, &attr), "ASSERTION FAILED: attrNameSet");
    rtl::str empty("");
    EXPECT_DEATH(dirt.setDirtyItem(other, &empty), "ASSERTION FAILED: \\*attrName");

    // A handle whose slot was freed names nothing any more.
    Obh stale = other;
    other.dealloc();
    int const before = refresher.requests;
    dirt.setDirtyItem(stale);
    dirt.setDirtyItem(stale, "title");
    EXPECT_FALSE(dirt.itemIsDirty(stale));
    EXPECT_EQ(refresher.requests, before);

    dirt.clearAllDirt();
    EXPECT_FALSE(dirt.itemIsDirty(item));
    EXPECT_FALSE(dirt.typeIsDirty(&store.items));
    EXPECT_FALSE(dirt.itemAttrIsDirty(whole, "anything"));
}

TEST(ObDirty, PrintDirtListsIdsTypesAndItems)
{
    TStore store;
    ObDirty dirt(&store.engine, nullptr);
    testing::internal::CaptureStdout();
    dirt.printDirt();
    std::string log = out();
    EXPECT_TRUE(has(log, "  No Dirty Flags Set"));
    EXPECT_EQ(log.find("DIRTY"), std::string::npos);

    unsigned int const a = dirt.newDirtId("DirtA");
    dirt.newDirtId("DirtB");
    dirt.setDirty(a, false);
    Obh first = store.items.make();  // type index 0
    Obh second = store.others.make(); // type index 1
    dirt.setDirtyItem(first, "title");
    dirt.setDirtyItem(first, "notes");
    dirt.setDirtyItem(second);
    rtl::str desc = first.desc();
    testing::internal::CaptureStdout();
    dirt.printDirt();
    log = out();
    EXPECT_TRUE(has(log, "---------------- DIRTY"));
    EXPECT_TRUE(has(log, "    DIRTY - DirtA"));
    EXPECT_FALSE(has(log, "DIRTY - DirtB"));
    EXPECT_TRUE(has(log, "  2 DIRTY TYPES"));
    EXPECT_TRUE(has(log, "    DIRTY TYPE - TItem"));
    EXPECT_TRUE(has(log, "    DIRTY TYPE - TOther"));
    EXPECT_TRUE(has(log, "  2 DIRTY ITEMS"));
    // Attribute names in order, the later ones lined up under the first.
    EXPECT_TRUE(has(log, std::string("     ") + desc.c() + ".notes"));
    EXPECT_TRUE(has(log, std::string("     ") + std::string(std::string(desc.c()).size(), ' ') + ".title"));
    EXPECT_TRUE(has(log, std::string("     ") + second.desc().c() + ": ALL ATTRS"));

    // Without a store, types have no names; a freed item is shown as such.
    ObDirty bare(nullptr, nullptr);
    bare.setDirtyItem(second);
    second.dealloc();
    testing::internal::CaptureStdout();
    bare.printDirt();
    log = out();
    EXPECT_TRUE(has(log, "    DIRTY TYPE - <?>"));
    EXPECT_TRUE(has(log, "     <free slot>: ALL ATTRS"));
}
