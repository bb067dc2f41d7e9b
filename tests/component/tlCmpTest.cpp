#include "tlCmp.h"
#include "ObClassTypeOf.h"
#include "ObDirty.h"
#include "ObEngine.h"
#include "ObSelection.h"
#include "ScopedTraces.h"
#include "ScratchDir.h"
#include "TimelineTestDoc.h"
#include "aRefresher.h"
#include "aStateEngine.h"
#include "cmdSelectAll.h"
#include "mSkin.h"
#include "mTimeline.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <list>
#include <memory>
#include <sstream>
#include <string>

using testing::HasSubstr;

namespace {

std::string readText(std::string const& path)
{
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

unsigned int cleanable(ObDirty& dirt, char const* name)
{
    unsigned int id = 0;
    EXPECT_TRUE(dirt.getCleanable(name, id)) << name;
    return id;
}

} // namespace

TEST(tlCmp, NumbersIdsAndStepsTheSameInEveryDocument)
{
    // The document's selection engine takes the first number; then the timeline's ids, then
    // its steps. A second document in the same run numbers alike.
    for (int doc = 0; doc < 2; ++doc) {
        TimelineTestDoc d;
        SCOPED_TRACE(doc);
        EXPECT_STREQ(d.dirt.getDirtName(1), "DirtObSelection");
        EXPECT_EQ(tlObj::DirtSelection, 2u);
        EXPECT_EQ(d.selection.getSelectionDirt(), tlObj::DirtSelection);
        EXPECT_EQ(tlObj::DirtDocLoaded, 39u);
        EXPECT_STREQ(d.dirt.getDirtName(39), "DirtDocLoaded");
        EXPECT_EQ(cleanable(d.dirt, "mLayer_adjustSceneHeight"), 40u);
        EXPECT_EQ(cleanable(d.dirt, "pTimeline_doUpdate"), 75u);
        EXPECT_EQ(d.dirt.myLastId, 75u);
    }
}

TEST(tlCmp, DeclaresTheIdsUnderTheirOwnNames)
{
    TimelineTestDoc d;
    auto const decls = tlObj::dirtDecls();
    ASSERT_EQ(decls.size(), 38u);
    for (std::size_t i = 0; i < decls.size(); ++i) {
        EXPECT_EQ(*decls[i].id, i + 2) << decls[i].name;
        EXPECT_STREQ(d.dirt.getDirtName(*decls[i].id), decls[i].name);
    }
}

TEST(tlCmp, AComponentWithAllEnginesOwnsNoneAndWritesNoObjects)
{
    ScratchDir dir;
    std::string const path = dir.file("doc.xml");
    {
        TimelineTestDoc d;
        EXPECT_FALSE(d.cmp.ownsDataEngine());
        EXPECT_FALSE(d.cmp.ownsDirtEngine());
        EXPECT_FALSE(d.cmp.ownsStateEngine());
        EXPECT_FALSE(d.cmp.ownsSelectionEngine());
        EXPECT_FALSE(d.cmp.ownsRefreshEngine());
        EXPECT_EQ(d.cmp.getCmpDataEngine(), &d.store);
        EXPECT_EQ(d.cmp.getCmpRefreshEngine(), &d.refresher);
        ASSERT_TRUE(saveTimelineDoc(d.cmp, path));
    }
    std::string const text = readText(path);
    std::size_t const part = text.find("<timeline_component>");
    ASSERT_NE(part, std::string::npos);
    std::string const content = text.substr(part);
    EXPECT_EQ(content.find("<objects"), std::string::npos);
    EXPECT_LT(content.find("<skin "), content.find("<timeline "));
}

TEST(tlCmp, AComponentWithoutEnginesOwnsAllAndWritesObjectsFirst)
{
    ScratchDir dir;
    std::string const path = dir.file("doc.xml");
    {
        tlCmp cmp(nullptr, nullptr, nullptr, nullptr, nullptr);
        EXPECT_TRUE(cmp.ownsDataEngine());
        EXPECT_TRUE(cmp.ownsDirtEngine());
        EXPECT_TRUE(cmp.ownsStateEngine());
        EXPECT_TRUE(cmp.ownsSelectionEngine());
        EXPECT_TRUE(cmp.ownsRefreshEngine());
        EXPECT_EQ(cmp.getCmpSelectionEngine()->getSelectionDirt(), tlObj::DirtSelection);
        ASSERT_TRUE(saveTimelineDoc(cmp, path));
    } // ASan would see an engine left behind or deleted twice
    std::string const text = readText(path);
    std::size_t const part = text.find("<timeline_component>");
    ASSERT_NE(part, std::string::npos);
    std::string const content = text.substr(part);
    std::size_t const objects = content.find("<objects>");
    ASSERT_NE(objects, std::string::npos);
    EXPECT_LT(objects, content.find("<skin "));
    EXPECT_LT(content.find("<skin "), content.find("<timeline "));
    // The six types in their order of registration.
    std::size_t at = objects;
    for (char const* type : {"mScale", "mTimeline", "mLayer", "mSkin", "mEvent", "mPlSample"}) {
        std::size_t const found = content.find(std::string("<type name=\"") + type + "\"", at);
        EXPECT_NE(found, std::string::npos) << type;
        at = found;
    }
}

TEST(tlCmp, OwnedStoreRoundTripsThroughItsPart)
{
    ScratchDir dir;
    std::string const path = dir.file("doc.xml");
    tlCmp cmp(nullptr, nullptr, nullptr, nullptr, nullptr);
    cmp.getCmpTimeline()->setLayerHeaderW(333);
    ASSERT_TRUE(saveTimelineDoc(cmp, path));
    cmp.getCmpTimeline()->setLayerHeaderW(1);
    std::string message;
    ASSERT_TRUE(loadTimelineDoc(cmp, path, &message)) << message;
    ASSERT_NE(cmp.getCmpTimeline(), nullptr);
    EXPECT_EQ(cmp.getCmpTimeline()->getLayerHeaderW(), 333);
    EXPECT_NE(cmp.getCmpSkin(), nullptr);
}

TEST(tlCmp, ReadsItsPartInEitherOrder)
{
    ScratchDir dir;
    std::string const path = dir.file("doc.xml");
    TimelineTestDoc d;
    Obh const timeline = d.cmp.getTimelineHdl();
    Obh const skin = d.cmp.getSkinHdl();
    d.cmp.getCmpTimeline()->setTick(9);
    ASSERT_TRUE(saveTimelineDoc(d.cmp, path));
    std::string text = readText(path);
    // Swap the two handle lines: the timeline first.
    std::size_t const s = text.find("<skin ");
    std::size_t const t = text.find("<timeline ");
    std::size_t const sEnd = text.find('\n', s) + 1;
    std::size_t const tEnd = text.find('\n', t) + 1;
    ASSERT_LT(s, t);
    std::string const skinLine = text.substr(s, sEnd - s);
    std::string const timelineLine = text.substr(t, tEnd - t);
    text.replace(t, tEnd - t, skinLine);
    text.replace(s, sEnd - s, timelineLine);
    std::ofstream(path) << text;

    std::string message;
    ASSERT_TRUE(loadTimelineDoc(d.cmp, path, &message)) << message;
    EXPECT_EQ(d.cmp.getTimelineHdl(), timeline);
    EXPECT_EQ(d.cmp.getSkinHdl(), skin);
    ASSERT_NE(d.cmp.getCmpTimeline(), nullptr);
    EXPECT_EQ(d.cmp.getCmpTimeline()->getTick(), 9);
}

TEST(tlCmp, TheNewestComponentIsCurrentUntilItGoes)
{
    auto first = std::make_unique<TimelineTestDoc>();
    EXPECT_EQ(tlObj::ourCurrentCmp, &first->cmp);
    {
        TimelineTestDoc second;
        tlObj anObject;
        EXPECT_EQ(tlObj::ourCurrentCmp, &second.cmp);
        EXPECT_EQ(anObject.getDirtEngine(), &second.dirt);
        EXPECT_EQ(anObject.getTimeline(), second.cmp.getCmpTimeline());
        EXPECT_EQ(tlObj::ourType_mTimeline->getName(), std::string("mTimeline"));
    }
    // The second one went: nothing is current, and the pools it made are no one's.
    EXPECT_EQ(tlObj::ourCurrentCmp, nullptr);
    EXPECT_EQ(tlObj::ourType_mTimeline, nullptr);
    tlObj::ourCurrentCmp = &first->cmp;
    first.reset();
    EXPECT_EQ(tlObj::ourCurrentCmp, nullptr);
}

TEST(tlCmp, WithoutAComponentEveryAccessorAnswersNothing)
{
    ASSERT_EQ(tlObj::ourCurrentCmp, nullptr);
    tlObj o;
    EXPECT_EQ(o.getCmp(), nullptr);
    EXPECT_EQ(o.getUi(), nullptr);
    EXPECT_EQ(o.getSkin(), nullptr);
    EXPECT_EQ(o.getTimeline(), nullptr);
    EXPECT_EQ(o.getDataEngine(), nullptr);
    EXPECT_EQ(o.getDirtEngine(), nullptr);
    EXPECT_EQ(o.getStateEngine(), nullptr);
    EXPECT_EQ(o.getRefreshEngine(), nullptr);
    EXPECT_EQ(o.getSelectionEngine(), nullptr);
    EXPECT_EQ(o.getSceneYScale(), 1.0);
    o.raiseDirt(5); // nowhere to raise it: nothing happens
    double before = 0, after = 0;
    o.getImpulseBeforeAfter(100.0, before, after);
    EXPECT_EQ(before, 100.0);
    EXPECT_EQ(after, 100.0);
}

TEST(tlCmp, GoingAwayLeavesTheRefreshEngineItsDocumentKeeps)
{
    ObEngine store;
    aStateEngine state;
    aRefresher refresher(true);
    ObDirty dirt(&store, &refresher);
    ObSelection selection(&dirt, ObDirty::INVALID_DIRT);
    {
        tlCmp cmp(&store, &dirt, &state, &selection, &refresher);
        EXPECT_EQ(refresher.myTxByLevel.count(tlObj::LevelPrintDirt), 1u);
        EXPECT_EQ(refresher.myTxByLevel.count(tlObj::LevelCleanDirt), 1u);
    }
    // A pass after the component went calls nothing of it (ASan would catch the call).
    refresher.setNeedsRefresh(nullptr);
    refresher.doRefreshIfNeeded(nullptr);
    for (auto const& [level, tx] : refresher.myTxByLevel)
        EXPECT_EQ(tx.get()->txSize(), 0u) << level;
    EXPECT_EQ(store.myTypes.size(), 0u) << "the component's pools left the store";
}

TEST(tlCmp, APassOpensWithTheTraceAndClosesWithNoDirtLeft)
{
    TimelineTestDoc d;
    ScopedTraces traces(true);
    d.dirt.setDirty(tlObj::DirtLayout, true);
    testing::internal::CaptureStdout();
    d.pass();
    std::string const out = testing::internal::GetCapturedStdout();
    EXPECT_THAT(out, HasSubstr("REFRESH PHASE"));
    EXPECT_THAT(out, HasSubstr("DIRTY - DirtLayout"));
    EXPECT_THAT(out, HasSubstr("cleaning mTimeline_reconfigTimeScale"));
    EXPECT_THAT(out, HasSubstr("<---------------------------------------------- ACTION!"));
    std::set<unsigned int> left;
    d.dirt.getDirt(left);
    EXPECT_TRUE(left.empty());
}

// What a person does most (a document made and closed, layers and events made, all of them
// selected and then none, refresh passes) writes nothing unless the busy paths trace; traced, the
// same steps write the component's progress lines and a line per change of the selection.
TEST(tlCmp, TheBusyPathsWriteNothingUnlessTraced)
{
    for (bool const traced : {false, true}) {
        ScopedTraces traces(traced);
        testing::internal::CaptureStdout();
        {
            TimelineTestDoc d;
            for (int i = 0; i < 3; ++i)
                d.cmp.newLayer();
            for (int i = 0; i < 20; ++i)
                d.cmp.newEvent(Obh());
            d.pass();
            EXPECT_TRUE(cmdSelectAll::ourInstance.cmdAction());
            d.pass();
            d.selection.clearSelection();
            d.pass();
        }
        std::string const out = testing::internal::GetCapturedStdout();
        if (!traced) {
            EXPECT_EQ(out, "");
            continue;
        }
        EXPECT_THAT(out, HasSubstr("HERE  - tlCmp.cpp, line "));
        EXPECT_THAT(out, HasSubstr("items to selection"));
        EXPECT_THAT(out, HasSubstr("mLayer::recycleObj"));
    }
}

TEST(tlCmp, OffersTheTwoPanelTypesAfterWhatTheListHeld)
{
    TimelineTestDoc d;
    std::list<rtl::str> names {rtl::str("Other")};
    d.cmp.cmpGetPanelTypeNames(names);
    ASSERT_EQ(names.size(), 3u);
    EXPECT_STREQ(names.front().c(), "Other");
    EXPECT_STREQ((++names.begin())->c(), "Timeline");
    EXPECT_STREQ(names.back().c(), "Timeline Ctrls");
    EXPECT_EQ(d.cmp.getPanelById(-1), nullptr);
    EXPECT_EQ(d.cmp.getCtrlsPanelById(-1), nullptr);
}
TEST(tlCmp, RefusesEveryDamagedPartWithAMessageNamingIt)
{
    expectEveryDamagedDocumentRefused(VANTREL_TEST_DATA_DIR "/damaged");
}

TEST(tlCmp, APartThatCouldNotBeWrittenSaysSo)
{
    // Answers whether every piece was written (not always true), so a failed save never
    // passes for a saved document.
    auto writesToNoFile = [](tlCmp& cmp) {
        XmlWriter unopened("ISO-8859-1"); // no file: every piece fails
        testing::internal::CaptureStdout();
        bool const written = cmp.xmlWrite(unopened);
        testing::internal::GetCapturedStdout();
        return written;
    };
    {
        TimelineTestDoc d;
        EXPECT_FALSE(writesToNoFile(d.cmp)) << "the handles";
    }
    tlCmp owning(nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(writesToNoFile(owning)) << "its own objects and the handles";
}

TEST(tlCmp, RefusesItsOwnObjectsAfterTheHandlesThatNameThem)
{
    // Any order is read but this one: handles read before the objects they name would be
    // checked against the objects that the reading then replaces. The program never writes it.
    ScratchDir dir;
    std::string const path = dir.file("doc.xml");
    tlCmp cmp(nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(saveTimelineDoc(cmp, path));
    std::string text = readText(path);
    std::size_t const objects = text.find("<objects>");
    std::size_t const objectsEnd = text.find("</objects>") + std::string("</objects>\n").size();
    std::size_t const handlesEnd = text.find("</timeline_component>");
    ASSERT_NE(objects, std::string::npos);
    ASSERT_LT(objectsEnd, handlesEnd);
    std::string const part = text.substr(objects, objectsEnd - objects);
    text.insert(handlesEnd, part);
    text.erase(objects, objectsEnd - objects);
    std::ofstream(path) << text;

    std::string message;
    EXPECT_FALSE(loadTimelineDoc(cmp, path, &message));
    EXPECT_THAT(message, HasSubstr("\"objects\" comes after the handles"));
    EXPECT_NE(cmp.getCmpTimeline(), nullptr) << "the document's model is still there";
}
