#include "ObDirty.h"
#include "tlCmp.h"
#include "tlObj.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace {

// The steps in their order of installation, and for every dirt id the steps (numbered from 1 in
// that order) that the id alone makes run: the two tables of the refresh vocabulary, read
// crosswise.
char const* const Steps[] = {
    "mLayer_adjustSceneHeight",
    "mLayer_syncToTick",
    "mTimeline_reconfigTimeScale",
    "mTimeline_reconfigPerpScale",
    "mTimeline_resyncLayers",
    "mTimeline_snapLayersToTimelineTimeScale",
    "mTimeline_clearLocalSelectionFromTimeScale",
    "mTimeline_clearEventsFromSelection",
    "mTimeline_selectEventsByTimeSelection",
    "mTimeline_restackLayers",
    "mTimeline_syncEventsToView",
    "pTicks_doUpdate",
    "pCtrls_updateTimeRangeLabels",
    "pHeader_unselectLayer",
    "pHeader_reskin",
    "pHeader_syncLayerControls",
    "pHeader_stopEditingTitle",
    "pHeader_stopEditingLayer",
    "pHeader_update",
    "pTopLeft_syncLayerControls",
    "pTopLeft_update",
    "giEvent_update",
    "giLayer_update",
    "pGv_updateScene",
    "pGv_updateFg",
    "pGv_repaint",
    "pGv_updateEventGeomInScene",
    "pGv_updateTimeSelection",
    "pTimeline_doRelayer",
    "pTimeline_lockToNowChanged",
    "pTimeline_lockToNowDisengage",
    "pTimeline_doLayout",
    "pTimeline_recenterScene",
    "pTimeline_restackLayerHeaders",
    "pTimeline_syncPerpPan",
    "pTimeline_doUpdate",
};

struct ReadBy
{
    char const* id;
    std::set<int> steps;
};

ReadBy const Readers[] = {
    {"DirtSelection", {17, 19, 22, 23, 28}},
    {"DirtScene", {33}},
    {"DirtReset", {2}},
    {"DirtTick", {2, 12}},
    {"DirtLayerStackingInTimeline", {10, 11, 19, 23, 24, 25, 29, 33, 34, 35, 36}},
    {"DirtActiveEvents", {}},
    {"DirtLayerTimeScale", {6}},
    {"DirtNumRowsInLayer", {1, 10, 19, 23, 33, 34, 35, 36}},
    // Edits in the pop-up editors redraw the headers and the items (19, 22, 23), not only mark
    // the document modified.
    {"DirtUserEditedAttrs", {19, 22, 23}},
    {"DirtTrans", {}},
    {"DirtTimeScalePanToNow", {6, 12, 13, 27, 28, 30, 36}},
    {"DirtTimeScaleLockToNowChanged", {12, 28, 30}},
    {"DirtTimeScaleZoom", {6, 12, 13, 17, 18, 27, 28, 30, 36}},
    {"DirtTimeScalePan", {6, 12, 13, 27, 28, 31, 36}},
    {"DirtLayout", {3, 4, 5, 10, 11, 12, 17, 18, 19, 22, 23, 24, 27, 29, 32, 33}},
    {"DirtEventsDroppedInRow", {10, 11, 17, 18, 19, 24, 27, 34, 35}},
    {"DirtActiveLayers", {12, 36}},
    {"DirtEventSetInLayer", {1}},
    {"DirtNewEvent", {17, 18, 22, 24, 27}},
    {"DirtSelectionByTimeDisabled", {7, 12, 19, 22, 28, 36}},
    {"DirtTimeSelectionChanged", {8, 9, 12, 17, 18, 22, 28, 36}},
    {"DirtRubberBandSelectionStart", {7, 17, 18, 19}},
    // The corner's "H" follows the hiding switch however it changed (20).
    {"DirtLayerHidingChanged", {10, 11, 16, 17, 18, 19, 20, 24, 25, 29, 34, 35, 36}},
    {"DirtEventWasDeleted", {17, 18, 22, 23, 24}},
    {"DirtEventColorChanged", {17, 18, 22}},
    // A layer's new colours show at once in its header and items (19, 22, 23).
    {"DirtLayerColorChanged", {19, 22, 23}},
    {"DirtDocNameChanged", {}},
    {"DirtDocJustSynced", {}},
    {"DirtDocFileChange", {}},
    {"DirtLayerHeaderBgClicked", {17}},
    {"DirtLayerHeaderClicked", {17}},
    {"DirtRowScalePan", {10, 11, 19, 34, 35}},
    {"DirtRowScaleZoom", {1, 10, 11, 17, 18, 19, 22, 23, 24, 27, 29, 32, 34, 35, 36}},
    {"DirtLayerControlVisibility", {16, 20}},
    {"DirtNewHandful", {17, 18, 25}},
    {"DirtClearHandful", {17, 18, 25}},
    {"DirtTimelineWindowShown", {}},
    {"DirtDocLoaded", {}},
};

// A dirt engine with the timeline's ids and rules, as a component leaves it.
struct Rules
{
    ObDirty dirt {nullptr, nullptr};
    Rules()
    {
        tlObj::declareDirtIds(dirt);
        tlCmp::installCleanRules(dirt);
    }

    unsigned int step(char const* name)
    {
        unsigned int id = 0;
        EXPECT_TRUE(dirt.getCleanable(name, id)) << name;
        return id;
    }
    bool holds(char const* name) { return dirt.needsCleaningTest(step(name)); }
    void raise(std::initializer_list<uint32_t> ids)
    {
        dirt.clearAllDirt();
        for (uint32_t id : ids)
            dirt.setDirty(id, false);
    }
    std::set<int> holding()
    {
        std::set<int> out;
        for (int i = 0; i < 36; ++i)
            if (holds(Steps[i]))
                out.insert(i + 1);
        return out;
    }
};

} // namespace

TEST(tlCleanRules, StepsAreInstalledInTheirOrderAfterTheIds)
{
    Rules r;
    ASSERT_EQ(tlCmp::cleanRules().size(), 36u);
    for (int i = 0; i < 36; ++i) {
        EXPECT_STREQ(tlCmp::cleanRules()[i].step, Steps[i]);
        EXPECT_EQ(r.step(Steps[i]), 39u + i) << Steps[i];
    }
}

TEST(tlCleanRules, EachIdAloneRunsExactlyTheStepsThatReadIt)
{
    Rules r;
    ASSERT_EQ(std::size(Readers), 38u);
    for (ReadBy const& reader : Readers) {
        uint32_t* id = tlObj::dirtIdNamed(reader.id);
        ASSERT_NE(id, nullptr) << reader.id;
        r.raise({*id});
        EXPECT_EQ(r.holding(), reader.steps) << reader.id;
    }
    r.raise({});
    EXPECT_TRUE(r.holding().empty());
}

TEST(tlCleanRules, FourStepsNeverRunWhateverIsRaised)
{
    Rules r;
    r.dirt.setAllDirty();
    for (char const* step :
         {"pHeader_unselectLayer", "pHeader_reskin", "pTopLeft_update", "pGv_repaint"})
        EXPECT_FALSE(r.holds(step)) << step;
    EXPECT_TRUE(r.holds("pTimeline_doUpdate"));
}

TEST(tlCleanRules, LockToNowDisengagesOnAPanThatIsNeitherToNowNorALoad)
{
    Rules r;
    char const* const step = "pTimeline_lockToNowDisengage";
    uint32_t const pan = tlObj::DirtTimeScalePan;
    uint32_t const toNow = tlObj::DirtTimeScalePanToNow;
    uint32_t const loaded = tlObj::DirtDocLoaded;
    struct Row
    {
        bool pan, toNow, loaded, holds;
    };
    for (Row row : {Row {false, false, false, false}, Row {true, false, false, true},
                    Row {true, true, false, false}, Row {true, false, true, false},
                    Row {true, true, true, false}, Row {false, true, false, false},
                    Row {false, false, true, false}, Row {false, true, true, false}}) {
        r.dirt.clearAllDirt();
        if (row.pan)
            r.dirt.setDirty(pan, false);
        if (row.toNow)
            r.dirt.setDirty(toNow, false);
        if (row.loaded)
            r.dirt.setDirty(loaded, false);
        r.dirt.setDirty(tlObj::DirtLayout, false); // other dirt changes nothing
        EXPECT_EQ(r.holds(step), row.holds) << row.pan << row.toNow << row.loaded;
    }
}

TEST(tlCleanRules, AConditionNamingNoIdIsRefused)
{
    EXPECT_EQ(tlObj::dirtIdNamed("DirtNoSuchThing"), nullptr);
    EXPECT_EQ(tlObj::dirtIdNamed("Layout"), &tlObj::DirtLayout);
    EXPECT_EQ(tlObj::dirtIdNamed(nullptr), nullptr);
}
