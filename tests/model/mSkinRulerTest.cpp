#include "Aa/TzGuard.h"
#include "TimelineTestDoc.h"
#include "mGridline.h"
#include "mRange.h"
#include "mRangeSetup.h"
#include "mScale.h"
#include "mSkin.h"
#include "mTimeline.h"
#include "uiFonts.h"
#include "views/RecordingPainter.h"

#include <QStaticText>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using testing::ElementsAre;
using testing::IsEmpty;

namespace {

// A header row made by hand: its place in the stack, its weight, its gridlines (pixel position
// and label) and, when given one, its row style.
class TestRange : public mRange
{
public:
    explicit TestRange(int depth = 0, float units = 1, bool preSubtract = false)
        : mRange(nullptr, 0, 0, 1)
    {
        setStackDepth(depth);
        setRowScaleUnits(units);
        setPreSubtract(preSubtract);
    }
    bool timesSpanAGridline(aTs const&, aTs const&, double) const override { return false; }
    double getSecondsPerUnit() const override { return 60; }
    bool calcTickBgColor(mGridline* g, double, int& r, int& gr, int& b, int& a) const override
    {
        r = 1, gr = 2, b = 3, a = 4;
        return g->getWeight() == 2;
    }
    bool calcTickFgColor(mGridline* g, double, int& r, int& gr, int& b, int& a) const override
    {
        r = 5, gr = 6, b = 7, a = 8;
        return g->getWeight() == 2;
    }

    void grid(std::vector<std::pair<double, char const*>> const& lines)
    {
        clearGrid();
        myGridlines = new std::vector<mGridline*>;
        for (auto const& [pos, label] : lines) {
            auto* g = new mGridline(int(myGridlines->size()), aTs(), pos, -1);
            g->setLabel(label);
            myGridlines->push_back(g);
        }
    }
    mGridline& line(int i) { return *getGridline(i); }
    // A row style that draws nothing unless a test turns it on, without size limits.
    mRangeSetup& style()
    {
        if (!myStyle) {
            myStyle = std::make_unique<mRangeSetup>();
            myStyle->setMinSize(0);
            myStyle->setShowLabels(false);
            myStyle->setShowSpanLabel(false);
            myStyle->setShowTick(false);
            setRangeSetup(myStyle.get());
        }
        return *myStyle;
    }

private:
    std::unique_ptr<mRangeSetup> myStyle;
};

// The skin in a context on the document's timeline, drawing the test's rows.
struct Ruler : testing::Test
{
    TimelineTestDoc doc;
    mTimeline& timeline = *doc.cmp.getCmpTimeline();
    mScale& scale = *timeline.timeScale();
    mSkin& skin = *doc.cmp.getCmpSkin();

    ~Ruler() override
    {
        if (skin.inContext())
            skin.endContext();
    }
    // The scale is laid out first, so that drawing takes the rows as they are.
    void open(std::vector<mRange*> rows)
    {
        if (scale.needsReconfig())
            scale.reconfig();
        skin.beginContext(&timeline, true);
        skin.myVisRanges = std::move(rows);
    }
};

} // namespace

TEST_F(Ruler, RowsShareTheHeightByTheirUnitsWithTheLastRangeAtTheTop)
{
    TestRange first(0, 1), second(0, 1), last(0, 2);
    first.style(), second.style(), last.style();
    open({&first, &second, &last});
    RecordingPainter p(0, 0, 100, 80);
    skin.drawHeader(p);
    EXPECT_THAT(p.callsStartingWith("set2dGeometry"),
                ElementsAre("set2dGeometry(0, 0, 100, 40)", "set2dGeometry(0, 40, 100, 20)",
                            "set2dGeometry(0, 60, 100, 20)", "set2dGeometry(0, 0, 100, 80)"));
}

TEST_F(Ruler, RowStylesCapAndWidenRowsAndSpaceLeftOverStaysAtTheTop)
{
    TestRange first(0, 1), second(0, 1), last(0, 2);
    first.style().setMinSize(25);
    first.style().setMaxSize(10); // the minimum wins
    second.style();
    last.style().setMaxSize(30);
    open({&first, &second, &last});
    RecordingPainter p(0, 0, 100, 80);
    skin.drawHeader(p);
    // 25 + 20 + 30 = 75 pixels at the bottom, 5 left empty at the top.
    EXPECT_THAT(p.callsStartingWith("set2dGeometry"),
                ElementsAre("set2dGeometry(0, 5, 100, 30)", "set2dGeometry(0, 35, 100, 20)",
                            "set2dGeometry(0, 55, 100, 25)", "set2dGeometry(0, 0, 100, 80)"));
}

TEST_F(Ruler, AStackedRowLiesInTheBandAboveTheCursor)
{
    TestRange own(0, 2), stacked(1, 1, true);
    own.style(), stacked.style();
    open({&stacked, &own});
    RecordingPainter p(0, 0, 100, 80);
    skin.drawHeader(p);
    EXPECT_THAT(p.callsStartingWith("set2dGeometry"),
                ElementsAre("set2dGeometry(0, 0, 100, 80)", "set2dGeometry(0, 40, 100, 40)",
                            "set2dGeometry(0, 0, 100, 80)"));
}

TEST_F(Ruler, AStackWithoutUnitsDrawsOnlyTheBackground)
{
    TestRange none(0, 0), stacked(1, 3, true);
    none.grid({{10, "a"}, {50, "b"}});
    open({&stacked, &none});
    RecordingPainter p(0, 0, 100, 80);
    skin.drawHeader(p);
    EXPECT_THAT(p.calls(),
                ElementsAre("draw2dGradientRectVert(0, 0, 100, 80, 60, 60, 60, 255, 0, 0, 0, 255, "
                            "-1, -1, -1, -1, 0.5)",
                            "setFillColorRgba8(110, 110, 90, 10)",
                            "draw2dFilledRect(0, 0, 100, 80)", "setLineColorRgb8(140, 160, 180)",
                            "draw2dLine(0, 79, 100, 79)"));
}

TEST_F(Ruler, ARulerOfNoHeightDrawsNothing)
{
    TestRange row;
    open({&row});
    RecordingPainter p(0, 0, 100, 0);
    skin.drawHeader(p);
    EXPECT_THAT(p.calls(), IsEmpty());
}

TEST_F(Ruler, WithoutARowStyleTicksAndLabelsAreRedAndTheFirstGridlineIsNotLabelled)
{
    TestRange row;
    row.setFontSize(10);
    row.grid({{10, "a"}, {40, "b"}, {70, "c"}});
    open({&row});
    RecordingPainter p(0, 0, 100, 20);
    skin.drawRangeHeaderLabels(p, &row, 0, 20);
    EXPECT_THAT(p.calls(),
                ElementsAre("setFont(\"Gil Sans\", 10, 50)", "setLineColorRgba8(254, 13, 13, 255)",
                            "draw2dLine(10, 0, 10, 20)", "setLineColorRgba8(254, 13, 13, 255)",
                            "draw2dLine(40, 0, 40, 20)", "setTextColorRgb8(255, 0, 0)",
                            "draw2dText(\"b\", 42, 2, 30, 20, -1, -1)",
                            "setLineColorRgba8(254, 13, 13, 255)", "draw2dLine(70, 0, 70, 20)",
                            "setTextColorRgb8(255, 0, 0)",
                            "draw2dText(\"c\", 72, 2, 30, 20, -1, -1)"));
}

TEST_F(Ruler, WithoutARowStyleAStackedRowTicksItsShareAndHasNoLabels)
{
    TestRange stacked(2);
    stacked.setFontSize(10);
    stacked.grid({{10, "a"}, {40, "b"}});
    open({&stacked});
    RecordingPainter p(0, 0, 100, 30);
    skin.drawRangeHeaderLabels(p, &stacked, 0, 30);
    // Depth 2: the bottom third of the row.
    EXPECT_THAT(p.callsStartingWith("draw2dLine"),
                ElementsAre("draw2dLine(10, 20, 10, 30)", "draw2dLine(40, 20, 40, 30)"));
    EXPECT_THAT(p.callsStartingWith("draw2dText"), IsEmpty());
}

TEST_F(Ruler, GridlinesThatAnotherRowTicksOrLabelsAreSkipped)
{
    TestRange row;
    row.setFontSize(10);
    row.grid({{10, "a"}, {40, "b"}, {70, "c"}});
    row.line(1).setTickDone(true);
    row.line(2).setLabelDone(true);
    open({&row});
    RecordingPainter p(0, 0, 100, 20);
    skin.drawRangeHeaderLabels(p, &row, 0, 20);
    EXPECT_THAT(p.callsStartingWith("draw2dLine"),
                ElementsAre("draw2dLine(10, 0, 10, 20)", "draw2dLine(70, 0, 70, 20)"));
    EXPECT_THAT(p.callsStartingWith("draw2dText"),
                ElementsAre("draw2dText(\"b\", 42, 2, 30, 20, -1, -1)"));
}

TEST_F(Ruler, AGridlineAloneInItsRowIsLabelledAcrossTheWholeRow)
{
    TestRange row;
    row.setFontSize(10);
    row.grid({{-30, "March 2024"}});
    row.style().setShowSpanLabel(true);
    row.style().setLabelPadT(3);
    row.style().setSpanLabelColorR(-1); // takes the label colour's red
    row.style().setLabelColorR(17);
    open({&row});
    RecordingPainter p(0, 20, 100, 20);
    skin.drawRangeHeaderLabels(p, &row, 0, 40);
    EXPECT_THAT(p.callsStartingWith("setTextColor"),
                ElementsAre("setTextColorRgba8(17, 250, 250, 255)"));
    EXPECT_THAT(p.callsStartingWith("draw2dText"),
                ElementsAre("draw2dText(\"March 2024\", 1, 23, 98, 20, 0, -1)"));
}

TEST_F(Ruler, TicksOfARowStyleEndAtTheRulersBottomEdge)
{
    TestRange row;
    row.grid({{10, ""}, {50, ""}});
    row.style().setShowTick(true);
    row.style().setTickSizePct(20);
    row.style().setTickColorR(9);
    open({&row});
    // The row's top lies 60 pixels above the ruler's bottom edge: 20 % of that is 12.
    RecordingPainter p(0, 20, 100, 20);
    skin.drawRangeHeaderLabels(p, &row, 0, 80);
    EXPECT_THAT(p.calls(),
                ElementsAre("setLineColorRgba8(9, 60, 60, 255)", "draw2dLine(10, 68, 10, 80)",
                            "setLineColorRgba8(9, 60, 60, 255)", "draw2dLine(50, 68, 50, 80)"));

    row.style().setTickMaxSize(10);
    p.clear();
    skin.drawRangeHeaderLabels(p, &row, 0, 80);
    EXPECT_THAT(p.callsStartingWith("draw2dLine"),
                ElementsAre("draw2dLine(10, 70, 10, 80)", "draw2dLine(50, 70, 50, 80)"));
}

TEST_F(Ruler, ARowStyleDrawsItsBackgroundLinesRampAndTheRangesColouring)
{
    TestRange row;
    row.setFontSize(10);
    row.grid({{10, "a"}, {40, "b"}, {70, "c"}});
    row.line(2).setWeight(2); // the range colours this one
    mRangeSetup& style = row.style();
    style.setShowBg(true);
    style.setShowTopLine(true);
    style.setShowBottomLine(true);
    style.setShowRamp(true);
    style.setRampSizePct(50);
    style.setShowRangeBgColoring(true);
    style.setShowLabels(true);
    open({&row});
    RecordingPainter p(0, 20, 100, 20);
    skin.drawRangeHeaderBg(p, &row, 0, 40);
    EXPECT_THAT(p.calls(),
                ElementsAre("setFillColorRgba8(200, 200, 200, 100)",
                            "draw2dFilledRect(0, 20, 100, 20)", "setAntiAliasing(0)",
                            "setLineColorRgba8(0, 0, 0, 255)", "draw2dLine(0, 20, 100, 20)",
                            "setAntiAliasing(0)", "setLineColorRgba8(0, 0, 0, 255)",
                            "draw2dLine(0, 39, 100, 39)"));

    p.clear();
    skin.drawRangeHeaderLabels(p, &row, 0, 40);
    // The ramp takes half the row at its bottom (less a pixel); the coloured gridline fills its
    // span and takes the range's label colour, the others the row style's.
    EXPECT_THAT(p.callsStartingWith("draw2dGradientRectHorz(70"),
                ElementsAre("draw2dGradientRectHorz(70, 31, 30, 9, 100, 100, 100, 200, 200, 200, "
                            "200, 200, -1, -1, -1, -1, 0.5)"));
    EXPECT_THAT(p.callsStartingWith("draw2dFilledRect"),
                ElementsAre("draw2dFilledRect(70, 20, 30, 20)"));
    EXPECT_THAT(p.callsStartingWith("setFillColor"), ElementsAre("setFillColorRgba8(1, 2, 3, 4)"));
    EXPECT_THAT(
        p.callsStartingWith("setTextColor"),
        ElementsAre("setTextColorRgba8(170, 190, 190, 255)", "setTextColorRgba8(5, 6, 7, 8)"));
}

TEST_F(Ruler, TheSelectionAndTheNowMarkCoverTheBottomTenPixels)
{
    scale.setParentPos(0);
    scale.setParentSize(100);
    TestRange row;
    row.style();
    open({&row});
    scale.localSelectAtParentPos(30);
    timeline.setLockToNowFlag(true);
    RecordingPainter p(0, 0, 100, 80);
    skin.drawHeader(p);
    EXPECT_THAT(p.callsStartingWith("draw2dLine"),
                ElementsAre("draw2dLine(0, 79, 100, 79)", "draw2dLine(30, 70, 30, 150)",
                            "draw2dLine(51, 70, 51, 150)"));
    EXPECT_EQ(p.calls().back(), "set2dGeometry(0, 0, 100, 80)") << "the area is given back";
}

TEST_F(Ruler, AScaleChangedSinceTheContextOpenedIsLaidOutAndReadAgain)
{
    scale.setParentPos(0);
    scale.setParentSize(1600);
    scale.zoomToLocalRange(aTs(0.0), aTs(1600.0 * 60), 1.0f);
    scale.reconfig();
    skin.beginContext(&timeline, true);
    std::vector<mRange*> const minutes = skin.myVisRanges;
    scale.zoomToLocalRange(aTs(0.0), aTs(1600.0 * 86400 * 7), 1.0f); // a week a pixel
    ASSERT_TRUE(scale.needsReconfig());
    RecordingPainter p(0, 0, 1600, 80);
    skin.drawHeader(p);
    EXPECT_FALSE(scale.needsReconfig());
    EXPECT_NE(skin.myVisRanges, minutes);
    EXPECT_EQ(skin.myVisRanges, *scale.getVisRanges());
    EXPECT_EQ(skin.myZoom, scale.getZoom());
}

TEST_F(Ruler, InAVerticalContextTicksRunAcrossTheTimeAxis)
{
    TestRange row;
    row.grid({{10, ""}, {40, ""}});
    open({&row});
    skin.endContext();
    skin.beginContext(&timeline, false);
    RecordingPainter p(0, 0, 20, 100);
    skin.drawRangeHeaderLabels(p, &row, 0, 20);
    EXPECT_THAT(p.callsStartingWith("draw2dLine"),
                ElementsAre("draw2dLine(0, 10, 20, 10)", "draw2dLine(0, 40, 20, 40)"));
}

namespace {

// Checks, as the header is drawn, that each label of a row begins where the one before it ended
// or later, placing the text as the Qt painter does: its prepared width in the font set for it.
// Keeps each label's place, its line placed likewise in its height, and every gridline drawn
// across the time axis, to check once the header is drawn that no gridline runs through a label.
struct LabelExtents : RecordingPainter
{
    using RecordingPainter::RecordingPainter;
    void set2dGeometry(float x, float y, float w, float h) override
    {
        RecordingPainter::set2dGeometry(x, y, w, h);
        right = -1e9f;
    }
    void setFont(char const* family, float size, int weight) override
    {
        font = uiFonts::fontId(family, int(size), weight);
    }
    void getTextSize(char const* text, float& w, float& h) const override
    {
        uiFonts::textSize(font, text, w, h);
    }
    void draw2dText(char const* text, float x, float y, float w, float h, int hAlign,
                    int vAlign) override
    {
        float const tw = float(uiFonts::preparedText(font, text)->size().width());
        float const th = float(uiFonts::lineHeight(font));
        float const left = hAlign < 0 ? x : hAlign == 0 ? x + (w - tw) / 2 : x + w - tw;
        float const top = vAlign < 0 ? y : vAlign == 0 ? y + (h - th) / 2 : y + h - th;
        EXPECT_LE(right, left) << '"' << last << "\" runs into \"" << text << '"';
        right = left + tw;
        last = text;
        labels.push_back({text, left, right, top + th / 2});
    }
    void draw2dLine(float x1, float y1, float x2, float y2) override
    {
        RecordingPainter::draw2dLine(x1, y1, x2, y2);
        // A line beyond the ruler's edges is not seen.
        if (x1 == x2 && x1 >= 0 && x1 <= width)
            gridlines.push_back({x1, std::min(y1, y2), std::max(y1, y2)});
    }
    // Through a label: inside its text along the time axis and across the middle of its line
    // (the short ticks of a finer row may reach into a label's descent).
    void expectNoGridlineThroughALabel() const
    {
        for (Label const& l : labels)
            for (Gridline const& g : gridlines)
                EXPECT_FALSE(l.left < g.x && g.x < l.right && g.top < l.middle &&
                             l.middle < g.bottom)
                    << "the gridline at " << g.x << " runs through \"" << l.text << "\" (" << l.left
                    << " to " << l.right << ")";
    }

    struct Label
    {
        std::string text;
        float left, right, middle;
    };
    struct Gridline
    {
        float x, top, bottom;
    };
    float width = 0;
    float right = -1e9f;
    int font = -1;
    std::string last;
    std::vector<Label> labels;
    std::vector<Gridline> gridlines;
};

} // namespace

// Every zoom the control strip offers, at three widths and pan positions around year ends whose
// last week the new year cuts short and months that begin a day or two after a Sunday (the week
// row's days 31 and 28): no two labels of one header row overlap, and no gridline drawn through
// a row, its own or a coarser row's, runs through one of its labels.
TEST_F(Ruler, LabelsOfOneRowNeverOverlapNorAnyGridlineThroughTheRow)
{
    TzGuard zone("UTC");
    for (double zoom : {0.1, 15.0, 60.0, 1440.0, 10080.0, 40320.0, 525600.0})
        for (int width : {400, 800, 1600})
            for (double centre : {1546128000.0, 1703980800.0, 1893283200.0, 1718409600.0,
                                  1801353600.0, 1788048000.0})
                for (double shift : {-0.3, 0.0, 0.25}) {
                    aTs const at(centre + shift * width * zoom);
                    SCOPED_TRACE(std::to_string(zoom) + " s/px, " + std::to_string(width) +
                                 " px, " + at.getStr(false).c());
                    scale.setParentSize(width);
                    scale.setZoom(zoom);
                    scale.centerOnLocalPos(at, 0.5);
                    scale.reconfig();
                    skin.beginContext(&timeline, true);
                    LabelExtents p(0, 0, float(width), 60);
                    p.width = float(width);
                    skin.drawHeader(p);
                    p.expectNoGridlineThroughALabel();
                    skin.endContext();
                }
}
