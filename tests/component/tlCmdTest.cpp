#include "ObApp.h"
#include "ObDoc.h"
#include "ScratchDir.h"
#include "cmdEventDeleteSelected.h"
#include "cmdEventNew.h"
#include "cmdEventSetColorStyle.h"
#include "cmdFileClose.h"
#include "cmdFileNew.h"
#include "cmdFileOpen.h"
#include "cmdFileSave.h"
#include "cmdFileSaveAs.h"
#include "cmdLayerLessSpacing.h"
#include "cmdLayerMoreSpacing.h"
#include "cmdLayerNoSpacing.h"
#include "cmdLayerNormalSpacing.h"
#include "cmdNewRowInSelectedLayers.h"
#include "cmdRemoveEmptyLayers.h"
#include "cmdRemoveEmptyRows.h"
#include "cmdSelectAll.h"
#include "cmdTimelineNewLayer.h"
#include "cmdTimelineZoomToPreset_Days.h"
#include "cmdTimelineZoomToPreset_Hours.h"
#include "cmdTimelineZoomToPreset_Minutes.h"
#include "cmdTimelineZoomToPreset_Months.h"
#include "cmdTimelineZoomToPreset_Seconds.h"
#include "cmdTimelineZoomToPreset_Weeks.h"
#include "cmdTimelineZoomToPreset_Years.h"
#include "cmdToggleShowLayerControls.h"
#include "cmdViewFitSelected.h"
#include "cmdViewFitSelectedHorizontal.h"
#include "cmdViewFitSelectedVertical.h"
#include "cmdViewLockTimeToNow.h"
#include "cmdViewPanTimeToNow.h"
#include "model/ModelFixture.h"

#include <QDateTime>

#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

// The application as the commands see it: its current document and what it was asked to do.
struct FakeApp : ObApp
{
    ObDoc* current = nullptr;
    int newDocs = 0, openDocs = 0, closes = 0;
    bool closeAnswer = true, saveAnswer = true;
    std::vector<bool> saves;
    // Why New and Open stop short, if they do; either way they answer with the current document.
    ObApp::Stop stop = ObApp::Stop::None;

    using ObApp::getDoc;
    ObDoc* getDoc() override { return current; }
    ObDoc* newDoc() override
    {
        ++newDocs;
        ObApp::stopped(stop);
        return current;
    }
    using ObApp::openDoc;
    ObDoc* openDoc() override
    {
        ++openDocs;
        ObApp::stopped(stop);
        return current;
    }
    bool saveDoc(ObDoc*, bool saveAs) override
    {
        saves.push_back(saveAs);
        return saveAnswer;
    }
    bool saveAndCloseDoc(ObDoc*) override
    {
        ++closes;
        return closeAnswer;
    }
};

// Every command of the menus and the control panel, by its menu text.
std::vector<std::pair<char const*, ObCmd*>> const Commands = {
    {"New Document", &cmdFileNew::ourInstance},
    {"Open...", &cmdFileOpen::ourInstance},
    {"Close", &cmdFileClose::ourInstance},
    {"Save", &cmdFileSave::ourInstance},
    {"Save As...", &cmdFileSaveAs::ourInstance},
    {"Select All", &cmdSelectAll::ourInstance},
    {"Delete Selected", &cmdEventDeleteSelected::ourInstance},
    {"New Event", &cmdEventNew::ourInstance},
    {"Color - Individually", &cmdEventSetColorStyle::ourInstance0},
    {"Color - By Layer", &cmdEventSetColorStyle::ourInstance1},
    {"New Layer", &cmdTimelineNewLayer::ourInstance},
    {"Remove Empty Layers", &cmdRemoveEmptyLayers::ourInstance},
    {"New Row", &cmdNewRowInSelectedLayers::ourInstance},
    {"Remove Empty Rows", &cmdRemoveEmptyRows::ourInstance},
    {"Show Controls", &cmdToggleShowLayerControls::ourInstance},
    {"Zero Spacing", &cmdLayerNoSpacing::ourInstance},
    {"Reset Spacing", &cmdLayerNormalSpacing::ourInstance},
    {"Make Smaller", &cmdLayerLessSpacing::ourInstance},
    {"Make Bigger", &cmdLayerMoreSpacing::ourInstance},
    {"Go To Now", &cmdViewPanTimeToNow::ourInstance},
    {"Lock To Now", &cmdViewLockTimeToNow::ourInstance},
    {"Fit Selected", &cmdViewFitSelected::ourInstance},
    {"Fit Selected - Vertical", &cmdViewFitSelectedVertical::ourInstance},
    {"Fit Selected - Horizontal", &cmdViewFitSelectedHorizontal::ourInstance},
    {"S", &cmdTimelineZoomToPreset_Seconds::ourInstance},
    {"M", &cmdTimelineZoomToPreset_Minutes::ourInstance},
    {"H", &cmdTimelineZoomToPreset_Hours::ourInstance},
    {"D", &cmdTimelineZoomToPreset_Days::ourInstance},
    {"W", &cmdTimelineZoomToPreset_Weeks::ourInstance},
    {"Mo", &cmdTimelineZoomToPreset_Months::ourInstance},
    {"Y", &cmdTimelineZoomToPreset_Years::ourInstance},
};

std::set<std::string> allBut(std::set<std::string> const& left)
{
    std::set<std::string> out;
    for (auto const& [text, cmd] : Commands)
        if (!left.count(text))
            out.insert(text);
    return out;
}

// A document with two layers, a (empty) and b (events x and y), current in the application.
struct Commanded : ModelFixture
{
    FakeApp app;
    ObDoc document;
    Obh a = tl.newLayer(), b = tl.newLayer();
    Obh x = at(100, 50, 0, b), y = at(400, 0, 1, b, true);

    Commanded()
    {
        app.current = &document;
        tl.restackLayers();
    }
    std::set<std::string> active() const
    {
        std::set<std::string> out;
        for (auto const& [text, cmd] : Commands)
            if (cmd->isActiveTest())
                out.insert(text);
        return out;
    }
    std::set<Obh> selected() const { return doc.selection.getSelection(); }
    float padding(Obh h) { return layer(h)->getPaddingTop(); }
    float onePx() const { return static_cast<float>(perp.getZoom()); }
};

} // namespace

TEST_F(Commanded, EachCommandIsActiveWhenItHasSomethingToActOn)
{
    // A new document: never saved, no layer selected, a holds no event.
    EXPECT_EQ(active(), allBut({"New Row"})) << "Save asks where a new document goes";

    document.setPath("/data/Plans.orstime");
    doc.selection.addToSelection(a);
    at(700, 10, 0, a);
    EXPECT_EQ(active(), allBut({"Remove Empty Layers"}));

    app.current = nullptr;
    EXPECT_EQ(active(), (std::set<std::string> {"New Document", "Open..."}));
}

TEST_F(Commanded, WithoutAComponentNothingActsOnATimeline)
{
    tlCmp* const cmp = std::exchange(tlObj::ourCurrentCmp, nullptr);
    EXPECT_EQ(active(),
              (std::set<std::string> {"New Document", "Open...", "Close", "Save", "Save As..."}));
    std::set<std::string> const fileCommands = {"New Document", "Open...", "Close", "Save",
                                                "Save As..."};
    for (auto const& [text, cmd] : Commands) {
        if (!fileCommands.count(text)) {
            EXPECT_FALSE(cmd->cmdAction()) << text;
        }
    }
    tlObj::ourCurrentCmp = cmp;
    EXPECT_EQ(tl.getLayerHdls().size(), 2u);
}

TEST_F(Commanded, OnlyShowControlsAndLockToNowAreCheckedAndByTheirFlags)
{
    for (auto const& [text, cmd] : Commands)
        EXPECT_FALSE(cmd->isCheckedTest()) << text;
    tl.setShowLayerControls(true);
    tl.setLockToNowFlag(true);
    EXPECT_TRUE(cmdToggleShowLayerControls::ourInstance.isCheckedTest());
    EXPECT_TRUE(cmdViewLockTimeToNow::ourInstance.isCheckedTest());
    EXPECT_TRUE(cmdToggleShowLayerControls::ourInstance.cmdAction());
    EXPECT_FALSE(tl.getShowLayerControls());
}

TEST_F(Commanded, FileCommandsAskTheApplicationAndSayWhatItAnswered)
{
    // A document came in only when nothing stopped New or Open short.
    for (ObCmd* cmd :
         std::initializer_list<ObCmd*> {&cmdFileNew::ourInstance, &cmdFileOpen::ourInstance}) {
        for (ObApp::Stop stop : {ObApp::Stop::None, ObApp::Stop::Failed}) {
            app.stop = stop;
            ObApp::ourStop = ObApp::Stop::None; // as runCmd starts a command
            EXPECT_EQ(cmd->cmdAction(), stop == ObApp::Stop::None) << static_cast<int>(stop);
        }
    }
    EXPECT_EQ(app.newDocs, 2);
    EXPECT_EQ(app.openDocs, 2);
    ObApp::ourStop = ObApp::Stop::None;

    EXPECT_TRUE(cmdFileSaveAs::ourInstance.cmdAction());
    app.saveAnswer = false;
    EXPECT_FALSE(cmdFileSave::ourInstance.cmdAction()) << "a failed save fails the command";
    EXPECT_EQ(app.saves, (std::vector<bool> {true, false}));

    app.closeAnswer = false;
    EXPECT_FALSE(cmdFileClose::ourInstance.cmdAction());
    app.closeAnswer = true;
    EXPECT_TRUE(cmdFileClose::ourInstance.cmdAction());
    EXPECT_EQ(app.closes, 2);

    app.current = nullptr;
    for (ObCmd* cmd : std::initializer_list<ObCmd*> {
             &cmdFileSave::ourInstance, &cmdFileSaveAs::ourInstance, &cmdFileClose::ourInstance})
        EXPECT_FALSE(cmd->cmdAction());
    EXPECT_EQ(app.saves.size(), 2u);
    EXPECT_EQ(app.closes, 2);
}

TEST(LayerSpacing, StepsByATenthOfThePaddingAndAPixelAtLeast)
{
    float const px = 0.25f;
    struct Case
    {
        cmdLayerSpacing::Rule rule;
        float padding, expected;
    } const cases[] = {
        {&cmdLayerSpacing::more, -px, 0},           {&cmdLayerSpacing::more, 0, px},
        {&cmdLayerSpacing::more, px, 2 * px},       {&cmdLayerSpacing::more, 20 * px, 22 * px},
        {&cmdLayerSpacing::less, 0, -px},           {&cmdLayerSpacing::less, -px, -px},
        {&cmdLayerSpacing::less, 30 * px, 27 * px}, {&cmdLayerSpacing::less, px / 2, -px / 2},
        {&cmdLayerSpacing::zero, 7, -px},           {&cmdLayerSpacing::normal, 7, 10 * px},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.padding);
        EXPECT_FLOAT_EQ(c.rule(c.padding, px), c.expected);
    }
}

TEST_F(Commanded, SpacingActsOnTheSelectedLayersElseOnAll)
{
    doc.selection.addToSelection(a);
    doc.dirt.clearAllDirt();
    EXPECT_TRUE(cmdLayerNormalSpacing::ourInstance.cmdAction());
    EXPECT_FLOAT_EQ(padding(a), 10 * onePx());
    EXPECT_FLOAT_EQ(padding(b), 0.2f);
    EXPECT_TRUE(raised(tlObj::DirtLayerStackingInTimeline));

    doc.selection.clearSelection();
    EXPECT_TRUE(cmdLayerNoSpacing::ourInstance.cmdAction());
    EXPECT_FLOAT_EQ(padding(a), -onePx());
    EXPECT_FLOAT_EQ(padding(b), -onePx());
}

TEST_F(Commanded, SelectedLayersThatAreGoneAreSkipped)
{
    Obh gone = a;
    tl.deleteLayer(a);
    doc.selection.addToSelection(gone);
    EXPECT_FALSE(cmdNewRowInSelectedLayers::ourInstance.isActiveTest());
    EXPECT_TRUE(cmdNewRowInSelectedLayers::ourInstance.cmdAction());
    EXPECT_TRUE(cmdRemoveEmptyRows::ourInstance.cmdAction()) << "the layers left are acted on";
    EXPECT_TRUE(cmdLayerMoreSpacing::ourInstance.cmdAction());
    EXPECT_FLOAT_EQ(padding(b), 0.2f + onePx());
}

TEST_F(Commanded, ANegativeSpacingIsSavedAndReadBack)
{
    ScratchDir dir;
    std::string const path = dir.file("doc.xml");
    ASSERT_TRUE(cmdLayerNoSpacing::ourInstance.cmdAction());
    float const spacing = padding(b);
    ASSERT_TRUE(saveTimelineDoc(doc.cmp, path));
    TimelineTestDoc read;
    std::string message;
    ASSERT_TRUE(loadTimelineDoc(read.cmp, path, &message)) << message;
    EXPECT_NEAR(padding(b), spacing, 1e-6) << "as the document writes it";
}

TEST_F(Commanded, FitsShowTheSelectionAndLeaveAnEmptyRangeAlone)
{
    layer(b)->setPaddingTop(5);
    tl.restackLayers();
    doc.selection.addToSelection(x);
    doc.dirt.clearAllDirt();
    ASSERT_TRUE(cmdViewFitSelectedVertical::ourInstance.cmdAction());
    EXPECT_TRUE(raised(tlObj::DirtRowScalePan));
    EXPECT_FALSE(raised(tlObj::DirtTimeScaleZoom));
    EXPECT_EQ(ts.getMinVisValue(), 0.0) << "time untouched";
    double const rowTop = layer(b)->getModelY();
    EXPECT_LE(perp.getMinVisValue(), rowTop);
    EXPECT_GE(perp.getMaxVisValue(), rowTop + 1);
    EXPECT_LT(perp.getMaxVisValue() - perp.getMinVisValue(), 2.0) << "a row and 5 %";

    ASSERT_TRUE(cmdViewFitSelectedHorizontal::ourInstance.cmdAction());
    EXPECT_LE(ts.getMinVisValue(), 100.0);
    EXPECT_GE(ts.getMaxVisValue(), 150.0);
    EXPECT_LT(ts.getMaxVisValue() - ts.getMinVisValue(), 100.0);

    // A point of time and a hidden layer: nothing to fit to, and still a success.
    doc.selection.clearSelection();
    layOut(0, 1000);
    ts.localSelectAtParentPos(500);
    tl.setLayerHidingEnabled(true);
    layer(a)->setIsActive(false);
    tl.restackLayers();
    doc.selection.addToSelection(a);
    double const perpSpan = perp.getMaxVisValue() - perp.getMinVisValue();
    doc.dirt.clearAllDirt();
    EXPECT_TRUE(cmdViewFitSelected::ourInstance.cmdAction());
    EXPECT_FALSE(raised(tlObj::DirtTimeScaleZoom));
    EXPECT_FALSE(raised(tlObj::DirtRowScalePan));
    EXPECT_EQ(ts.getMaxVisValue() - ts.getMinVisValue(), 1000.0);
    EXPECT_EQ(perp.getMaxVisValue() - perp.getMinVisValue(), perpSpan);
}

TEST_F(Commanded, PresetsZoomToTheirSecondsAPixel)
{
    struct Case
    {
        cmdTimelineZoomToPreset* cmd;
        double zoom;
    } const cases[] = {
        {&cmdTimelineZoomToPreset_Seconds::ourInstance, 0.1},
        {&cmdTimelineZoomToPreset_Minutes::ourInstance, 15},
        {&cmdTimelineZoomToPreset_Hours::ourInstance, 60},
        {&cmdTimelineZoomToPreset_Days::ourInstance, 86400.0 / 60},
        {&cmdTimelineZoomToPreset_Weeks::ourInstance, 7 * 86400.0 / 60},
        {&cmdTimelineZoomToPreset_Months::ourInstance, 28 * 86400.0 / 60},
        {&cmdTimelineZoomToPreset_Years::ourInstance, 365 * 86400.0 / 60},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.zoom);
        EXPECT_EQ(c.cmd->zoom(), c.zoom);
        doc.dirt.clearAllDirt();
        ASSERT_TRUE(c.cmd->cmdAction());
        EXPECT_TRUE(raised(tlObj::DirtTimeScaleZoom));
        EXPECT_NEAR(ts.getZoom(), c.zoom, c.zoom * 0.5) << "as the scale's units quantise it";
    }
}

TEST_F(Commanded, LockToNowFollowsTheClockUntilRunAgain)
{
    doc.dirt.clearAllDirt();
    ASSERT_TRUE(cmdViewLockTimeToNow::ourInstance.cmdAction());
    EXPECT_TRUE(tl.getLockToNowFlag());
    EXPECT_TRUE(raised(tlObj::DirtTimeScaleLockToNowChanged));
    EXPECT_TRUE(raised(tlObj::DirtTimeScalePan));
    double const now = static_cast<double>(QDateTime::currentSecsSinceEpoch());
    EXPECT_LE(ts.getMinVisValue(), now);
    EXPECT_GE(ts.getMaxVisValue(), now);
    EXPECT_EQ(ts.selectionType(), mScale::SelNone) << "locking selects nothing";

    doc.dirt.clearAllDirt();
    ASSERT_TRUE(cmdViewLockTimeToNow::ourInstance.cmdAction());
    EXPECT_FALSE(tl.getLockToNowFlag());
    EXPECT_TRUE(raised(tlObj::DirtTimeScaleLockToNowChanged));
    EXPECT_FALSE(raised(tlObj::DirtTimeScalePan));
}

TEST_F(Commanded, ANewLayerIsCurrentAndScrolledJustIntoView)
{
    for (int k = 0; k < 20; ++k) { // the rows [0, 20] show; a layer takes 1.2
        SCOPED_TRACE(k);
        double const vs = perp.getMinVisValue(), ve = perp.getMaxVisValue();
        ASSERT_TRUE(cmdTimelineNewLayer::ourInstance.cmdAction());
        Obh const made = tl.getLayerHdls().back();
        EXPECT_EQ(tl.getCurrentLayerHdl(), made);
        EXPECT_EQ(selected(), std::set<Obh> {made});
        double const bottom = layer(made)->getModelY() + layer(made)->getModelH();
        // Left where it was while the layer shows, else moved only as far as the layer ends.
        EXPECT_NEAR(perp.getMaxVisValue(), std::max(ve, bottom), 1e-6);
        EXPECT_NEAR(perp.getMaxVisValue() - perp.getMinVisValue(), ve - vs, 1e-6);
    }
    Obh e = doc.cmp.newEvent(Obh());
    EXPECT_EQ(ev(e)->getLayerHdl(), tl.getLayerHdls().back()) << "the next event goes there";
}

TEST_F(Commanded, SelectAllAddsTheActiveLayersAndTheirEvents)
{
    Obh z = at(100, 10, 0, a);
    layer(a)->setIsActive(false);
    doc.selection.addToSelection(z);
    doc.dirt.clearAllDirt();
    ASSERT_TRUE(cmdSelectAll::ourInstance.cmdAction());
    EXPECT_EQ(selected(), (std::set<Obh> {b, x, y, z})) << "z stays, inactive a is left out";
    EXPECT_TRUE(raised(tlObj::DirtSelection));

    // Every layer inactive: nothing to select, and the selection id is raised all the same.
    layer(b)->setIsActive(false);
    doc.selection.clearSelection();
    doc.dirt.clearAllDirt();
    ASSERT_TRUE(cmdSelectAll::ourInstance.cmdAction());
    EXPECT_TRUE(selected().empty());
    EXPECT_TRUE(raised(tlObj::DirtSelection));
}

TEST_F(Commanded, DeleteSelectedDeletesTheEventsAndCleansTheSelection)
{
    for (Obh h : {a, x})
        doc.selection.addToSelection(h);
    ASSERT_TRUE(cmdEventDeleteSelected::ourInstance.cmdAction());
    EXPECT_FALSE(tlObj::ourType_mEvent->ptrFromFile(x));
    EXPECT_EQ(selected(), (std::set<Obh> {a}));
    EXPECT_EQ(layer(b)->getEvents(), (ObhSet {y}));
    EXPECT_EQ(tl.getLayerHdls().size(), 2u);

    doc.selection.addToSelection(x);
    EXPECT_TRUE(cmdEventDeleteSelected::ourInstance.cmdAction()) << "a gone event is skipped";
}

TEST_F(Commanded, TheColourStyleGoesToTheSelectedEvents)
{
    doc.selection.addToSelection(x);
    ASSERT_TRUE(cmdEventSetColorStyle::ourInstance0.cmdAction());
    EXPECT_EQ(ev(x)->getColorStyle(), 0);
    EXPECT_EQ(ev(y)->getColorStyle(), 1);
    ASSERT_TRUE(cmdEventSetColorStyle::ourInstance1.cmdAction());
    EXPECT_EQ(ev(x)->getColorStyle(), 1);

    doc.selection.clearSelection();
    doc.dirt.clearAllDirt();
    EXPECT_TRUE(cmdEventSetColorStyle::ourInstance0.cmdAction());
    EXPECT_TRUE(raised(tlObj::DirtEventColorChanged));
}

TEST_F(Commanded, WhatNewLayerAndNewEventMakeIsAllThatIsSelectedAfterwards)
{
    struct Case
    {
        char const* name;
        ObCmd* cmd;
        Obt* madeOfType;
    } const cases[] = {
        {"New Layer", &cmdTimelineNewLayer::ourInstance, tlObj::ourType_mLayer},
        {"New Event", &cmdEventNew::ourInstance, tlObj::ourType_mEvent},
    };
    // Whatever was selected, layers and events alike, gives way to what was made.
    std::vector<std::vector<Obh>> const before = {{}, {a}, {a, b}, {x}, {a, x, y}};
    std::set<Obh> known = {a, b, x, y};
    for (Case const& c : cases) {
        for (auto const& selection : before) {
            SCOPED_TRACE(testing::Message() << c.name << " after " << selection.size());
            doc.selection.clearSelection();
            for (Obh h : selection)
                doc.selection.addToSelection(h);
            std::size_t const layers = tl.getLayerHdls().size();
            std::size_t const events = tl.getEdb()->size();
            doc.dirt.clearAllDirt();
            ASSERT_TRUE(c.cmd->cmdAction());
            ASSERT_EQ(selected().size(), 1u);
            Obh const made = *selected().begin();
            EXPECT_EQ(made.getType(), c.madeOfType);
            EXPECT_TRUE(known.insert(made).second) << "it is new";
            EXPECT_EQ(tl.getLayerHdls().size(), layers + (c.madeOfType == tlObj::ourType_mLayer));
            EXPECT_EQ(tl.getEdb()->size(), events + (c.madeOfType == tlObj::ourType_mEvent));
            EXPECT_TRUE(raised(tlObj::DirtSelection));
        }
    }
}

namespace {

// A row command run with some layers selected: the row counts of a and b it leaves.
struct RowCase
{
    char const* name;
    ObCmd* cmd;
    bool selectA, selectB, selectX;
    double rowsA, rowsB; // or Same, or OneMore than before
    bool rowsDirt, stackingDirt;
};

// b's count before depends on how its events were placed: it is given relative to it.
double const Same = -1, OneMore = -2;

std::ostream& operator<<(std::ostream& out, RowCase const& c)
{
    return out << c.name;
}

// a holds three empty rows; b its events x (row 0) and y (row 1) and two empty rows below.
struct RowCommands : Commanded, testing::WithParamInterface<RowCase>
{
    RowCommands()
    {
        layer(a)->addRows(2);
        layer(b)->addRows(2);
    }
    double rows(Obh h) const
    {
        mScale const& s = *layer(h)->rowScale();
        return s.getMaxValue() - s.getMinValue();
    }
};

ObCmd* const NewRow = &cmdNewRowInSelectedLayers::ourInstance;
ObCmd* const RemoveEmptyRows = &cmdRemoveEmptyRows::ourInstance;

// "New Row" adds one row to each selected layer and to no other; "Remove Empty Rows" fits the
// selected layers, or every layer when no layer is selected (an empty layer keeps one row).
RowCase const RowCases[] = {
    {"NewRowInA", NewRow, true, false, false, 4, Same, true, false},
    {"NewRowInB", NewRow, false, true, false, Same, OneMore, true, false},
    {"NewRowInBoth", NewRow, true, true, false, 4, OneMore, true, false},
    {"NewRowWithOnlyAnEventSelected", NewRow, false, false, true, Same, Same, false, false},
    {"NewRowWithNothingSelected", NewRow, false, false, false, Same, Same, false, false},
    {"RemoveEmptyRowsOfA", RemoveEmptyRows, true, false, false, 1, Same, true, true},
    {"RemoveEmptyRowsOfB", RemoveEmptyRows, false, true, false, Same, 2, true, true},
    {"RemoveEmptyRowsOfAll", RemoveEmptyRows, false, false, false, 1, 2, true, true},
    {"RemoveEmptyRowsWithAnEventSelected", RemoveEmptyRows, false, false, true, 1, 2, true, true},
};

} // namespace

TEST_P(RowCommands, ActOnTheLayersTheyAreFor)
{
    RowCase const& c = GetParam();
    double const rowsA = rows(a), rowsB = rows(b);
    ASSERT_EQ(rowsA, 3.0);
    if (c.selectA)
        doc.selection.addToSelection(a);
    if (c.selectB)
        doc.selection.addToSelection(b);
    if (c.selectX)
        doc.selection.addToSelection(x);
    doc.dirt.clearAllDirt();
    EXPECT_TRUE(c.cmd->cmdAction());
    auto expected = [](double want, double before) {
        return want == Same ? before : want == OneMore ? before + 1 : want;
    };
    EXPECT_EQ(rows(a), expected(c.rowsA, rowsA));
    EXPECT_EQ(rows(b), expected(c.rowsB, rowsB));
    EXPECT_EQ(raised(tlObj::DirtNumRowsInLayer), c.rowsDirt);
    EXPECT_EQ(raised(tlObj::DirtLayerStackingInTimeline), c.stackingDirt);
}

INSTANTIATE_TEST_SUITE_P(Layers, RowCommands, testing::ValuesIn(RowCases),
                         [](auto const& info) { return std::string(info.param.name); });

TEST_F(Commanded, GoToNowCentresOnTheClockSelectsNowAndKeepsTheLock)
{
    tl.setLockToNowFlag(true);
    doc.dirt.clearAllDirt();
    double const before = static_cast<double>(QDateTime::currentSecsSinceEpoch());
    ASSERT_TRUE(cmdViewPanTimeToNow::ourInstance.cmdAction());
    double const after = static_cast<double>(QDateTime::currentSecsSinceEpoch()) + 1;

    EXPECT_TRUE(raised(tlObj::DirtTimeScalePan));
    EXPECT_TRUE(raised(tlObj::DirtTimeScalePanToNow));
    EXPECT_FALSE(raised(tlObj::DirtTimeScaleLockToNowChanged));
    EXPECT_TRUE(tl.getLockToNowFlag());
    // A pan to now is no pan away from it: a locked view stays locked.
    unsigned int disengage = 0;
    ASSERT_TRUE(doc.dirt.getCleanable("pTimeline_lockToNowDisengage", disengage));
    EXPECT_FALSE(doc.dirt.needsCleaningTest(disengage));

    EXPECT_EQ(ts.selectionType(), mScale::SelPoint) << "the instant now is selected";
    EXPECT_GE(ts.getSelStart().asSeconds(), before);
    EXPECT_LE(ts.getSelStart().asSeconds(), after);
    double const middle = (ts.getMinVisValue() + ts.getMaxVisValue()) / 2;
    EXPECT_GE(middle, before - 1);
    EXPECT_LE(middle, after + 1);
    EXPECT_NEAR(ts.getMaxVisValue() - ts.getMinVisValue(), 1000.0, 1.0) << "at the same zoom";
}
