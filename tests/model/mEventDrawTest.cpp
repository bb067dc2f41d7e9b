#include "ObClassTypeOf.h"
#include "PainterQt.h"
#include "TimelineTestDoc.h"
#include "mEvent.h"
#include "mLayer.h"
#include "uiGi.h"
#include "views/RecordingPainter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;

namespace {

struct EventDrawing : testing::Test
{
    TimelineTestDoc doc;
    Obh layerHdl = tlObj::ourType_mLayer->make();
    mLayer& layer = *tlObj::ourType_mLayer->ptr(layerHdl);
    Obh hdl = tlObj::ourType_mEvent->make();
    mEvent& ev = *tlObj::ourType_mEvent->ptr(hdl);

    EventDrawing()
    {
        ev.setLayerHdl(layerHdl);
        ev.setColorStyle(EventColorIndividual);
        ev.setBgColorR(80), ev.setBgColorG(120), ev.setBgColorB(200);
    }

    void colours(int bg, int line, int text)
    {
        ev.setBgColorR(bg), ev.setBgColorG(bg + 10), ev.setBgColorB(bg + 20);
        ev.setBgColorA(200);
        ev.setLineColorR(line), ev.setLineColorG(line + 10), ev.setLineColorB(line + 20);
        ev.setLineColorA(210);
        ev.setTextColorR(text), ev.setTextColorG(text + 10), ev.setTextColorB(text + 20);
        ev.setTextColorA(220);
    }
    // Selected, with an item of its own (the drawing asks the item whether it is selected).
    void select() { doc.selection.addToSelection(ev.giNew(hdl)->hdl()); }
};

std::string rgba(int r, int g, int b, int a)
{
    return std::to_string(r) + ", " + std::to_string(g) + ", " + std::to_string(b) + ", " +
           std::to_string(a);
}

// The three colours an event draws in, as text.
std::array<std::string, 3> drawnColours(mEvent const& ev)
{
    int r, g, b, a;
    std::array<std::string, 3> out;
    ev.calcBgColor(r, g, b, a);
    out[0] = rgba(r, g, b, a);
    ev.calcLineColor(r, g, b, a);
    out[1] = rgba(r, g, b, a);
    ev.calcTextColor(r, g, b, a);
    out[2] = rgba(r, g, b, a);
    return out;
}

// The size of the last font set before the title was drawn, and the title call; size 0 when no
// title was drawn.
struct DrawnTitle
{
    int size = 0;
    std::string call;
};
DrawnTitle drawnTitle(RecordingPainter const& p)
{
    DrawnTitle out;
    int lastSize = 0;
    for (std::string const& call : p.calls()) {
        if (call.rfind("setFont(", 0) == 0)
            lastSize = std::stoi(call.substr(call.find(", ") + 2));
        if (call.rfind("draw2dText(", 0) == 0)
            out = {lastSize, call};
    }
    return out;
}

// The size that trying every size from 64 down to 11 picks: the first whose measure fits.
int firstFittingSize(RecordingPainter const& p, char const* title, float w, float h)
{
    for (int size = 64; size >= 11; --size) {
        float tw = 0, th = 0;
        p.measure(title, float(size), tw, th);
        if (tw < w && th < h)
            return size;
    }
    return 11;
}

} // namespace

TEST_F(EventDrawing, ColoursComeFromTheLayerOnlyForTheByLayerStyleWithALayer)
{
    colours(10, 40, 70);
    std::array<std::string, 3> const own = {"10, 20, 30, 200", "40, 50, 60, 210",
                                            "70, 80, 90, 220"};
    // The layer's fill (100, 100, 100) lightened, its line and text colours as they are, each
    // with the event's own alpha.
    std::array<std::string, 3> const byLayer = {"131, 131, 131, 200", "120, 120, 120, 210",
                                                "255, 255, 255, 220"};
    ev.setColorStyle(EventColorByLayer);
    EXPECT_EQ(drawnColours(ev), byLayer);
    ev.setColorStyle(EventColorIndividual);
    EXPECT_EQ(drawnColours(ev), own);
    ev.setColorStyle(2);
    EXPECT_EQ(drawnColours(ev), own) << "an unknown style draws as individual";
    ev.setColorStyle(EventColorByLayer);
    ev.setLayerHdl(Obh());
    EXPECT_EQ(drawnColours(ev), own) << "by layer without a layer";
}

TEST_F(EventDrawing, AByLayerEventIsFilledWithTheLightenedLayerFill)
{
    ev.setColorStyle(EventColorByLayer);
    RecordingPainter p(0, 0, 100, 24);
    ev.giPaint(p);
    EXPECT_THAT(p.callsStartingWith("setFillColor"),
                ElementsAre("setFillColorRgba8(131, 131, 131, 255)"));
    EXPECT_THAT(p.callsStartingWith("draw2dGradient"),
                ElementsAre("draw2dGradientRectVert(0, 2, 100, 20, 131, 131, 131, 255, 65, 65, 65, "
                            "255, 91, 91, 91, 255, 0.5)"));
}

TEST_F(EventDrawing, AnInstantIsADiamondWithLitPlainAndShadedEdges)
{
    ev.setIsImpulse(true);
    ev.setTitle("Launch");
    select();
    RecordingPainter p(0, 0, 30, 24);
    ev.giPaint(p);
    EXPECT_THAT(
        p.calls(),
        ElementsAre("setFillColorRgba8(80, 120, 200, 255)", "setLineWidth(1)", "setAntiAliasing(1)",
                    "begin2dPolygon()", "add2dPolygonVertex(15, 2)", "add2dPolygonVertex(0, 12)",
                    "add2dPolygonVertex(15, 22)", "add2dPolygonVertex(30, 12)", "end2dPolygon()",
                    "setLineColorHsvaF(0, 0, 0.601961, 1)", "begin2dLines()",
                    "add2dLine(15, 2, 0, 12)", "end2dLines()",
                    "setLineColorHsvaF(0, 0, 0.501961, 1)", "begin2dLines()",
                    "add2dLine(0, 12, 15, 22)", "add2dLine(15, 2, 30, 12)", "end2dLines()",
                    "setLineColorHsvaF(0, 0, 0.401961, 1)", "begin2dLines()",
                    "add2dLine(15, 22, 30, 12)", "end2dLines()",
                    // The white highlight of a selected instant, inset by half its width;
                    // no title.
                    "setLineWidth(2)", "setLineColorRgba8(255, 255, 255, 255)", "begin2dLines()",
                    "add2dLine(15, 3, 1, 12)", "add2dLine(1, 12, 15, 21)",
                    "add2dLine(15, 3, 29, 12)", "add2dLine(15, 21, 29, 12)", "end2dLines()"));
}

TEST_F(EventDrawing, ASelectedSpanIsAShadedBoxWithAWhiteOutline)
{
    select();
    RecordingPainter p(0, 0, 100, 24);
    ev.giPaint(p);
    EXPECT_THAT(p.callsStartingWith("draw2dGradient"),
                ElementsAre("draw2dGradientRectVert(0, 2, 100, 20, 80, 120, 200, 255, 40, 60, "
                            "100, 255, 56, 84, 140, 255, 0.5)"));
    EXPECT_THAT(p.callsStartingWith("add2dLineSegment"),
                ElementsAre("add2dLineSegment(99, 2)", "add2dLineSegment(99, 21)",
                            "add2dLineSegment(0, 21)", "add2dLineSegment(0, 21)",
                            "add2dLineSegment(0, 2)", "add2dLineSegment(99, 2)"));
    EXPECT_THAT(p.callsStartingWith("draw2dOutlined"),
                ElementsAre("draw2dOutlinedRect(0, 2, 100, 20)"));
}

TEST_F(EventDrawing, AnUnselectedSpanOrOneWithoutHighlightHasNoOutline)
{
    RecordingPainter unselected(0, 0, 100, 24);
    ev.giPaint(unselected);
    EXPECT_THAT(unselected.callsStartingWith("draw2dOutlined"), IsEmpty());

    select();
    RecordingPainter hidden(0, 0, 100, 24);
    ev.draw(hidden, 1.0, true, 2.0f, 1.0f, false, 255, 255, 255);
    EXPECT_THAT(hidden.callsStartingWith("draw2dOutlined"), IsEmpty());
}

TEST_F(EventDrawing, EdgesAreOneDevicePixelWide)
{
    RecordingPainter p(0, 0, 100, 24);
    ev.draw(p, 4.0, false, 2.0f, 1.0f, true, 255, 255, 255);
    EXPECT_THAT(p.callsStartingWith("setLineWidth"), ElementsAre("setLineWidth(0.25)"));
    EXPECT_THAT(p.callsStartingWith("add2dLineSegment(99"),
                ElementsAre("add2dLineSegment(99.75, 2)", "add2dLineSegment(99.75, 21.75)",
                            "add2dLineSegment(99.75, 2)"));

    RecordingPainter unscaled(0, 0, 100, 24);
    ev.draw(unscaled, 0.0, false, 2.0f, 1.0f, true, 255, 255, 255);
    EXPECT_THAT(unscaled.callsStartingWith("setLineWidth"), ElementsAre("setLineWidth(1)"))
        << "a painter without a scale";
}

TEST_F(EventDrawing, ShadedEdgesStayWithinBlackAndWhite)
{
    ev.setIsImpulse(true);
    ev.setLineColorR(255), ev.setLineColorG(255), ev.setLineColorB(255);
    RecordingPainter white(0, 0, 30, 24);
    ev.giPaint(white);
    EXPECT_THAT(white.callsStartingWith("setLineColorHsvaF"),
                ElementsAre("setLineColorHsvaF(0, 0, 1, 1)", "setLineColorHsvaF(0, 0, 1, 1)",
                            "setLineColorHsvaF(0, 0, 0.9, 1)"));

    ev.setLineColorR(0), ev.setLineColorG(0), ev.setLineColorB(0);
    RecordingPainter black(0, 0, 30, 24);
    ev.giPaint(black);
    EXPECT_THAT(black.callsStartingWith("setLineColorHsvaF"),
                ElementsAre("setLineColorHsvaF(0, 0, 0.1, 1)", "setLineColorHsvaF(0, 0, 0, 1)",
                            "setLineColorHsvaF(0, 0, 0, 1)"));
}

TEST_F(EventDrawing, AnAlphaFactorScalesEveryAlpha)
{
    ev.setTitle("Plan");
    RecordingPainter p(0, 0, 100, 24);
    ev.draw(p, 1.0, true, 2.0f, 0.5f, true, 255, 255, 0);
    EXPECT_THAT(p.callsStartingWith("setFillColor"),
                ElementsAre("setFillColorRgba8(80, 120, 200, 127)"));
    EXPECT_THAT(p.callsStartingWith("setLineColorHsvaF"),
                ElementsAre("setLineColorHsvaF(0, 0, 0.401961, 0.5)",
                            "setLineColorHsvaF(0, 0, 0.601961, 0.5)"));
    EXPECT_THAT(p.callsStartingWith("setLineColorRgba8"),
                ElementsAre("setLineColorRgba8(255, 255, 0, 127)"));
    EXPECT_THAT(p.callsStartingWith("setTextColor"),
                ElementsAre("setTextColorRgba8(255, 255, 255, 127)",
                            "setTextColorRgba8(128, 128, 128, 127)"));

    // A factor of one keeps a stored alpha exactly.
    ev.setBgColorA(201);
    RecordingPainter whole(0, 0, 100, 24);
    ev.draw(whole, 1.0, false, 2.0f, 1.0f, true, 255, 255, 255);
    EXPECT_THAT(whole.callsStartingWith("setFillColor"),
                ElementsAre("setFillColorRgba8(80, 120, 200, 201)"));
}

TEST_F(EventDrawing, ATitleIsCentredAtTheLargestSizeThatFitsElseLeftAtTheSmallest)
{
    ev.setTitle("Plan");
    RecordingPainter roomy(0, 0, 1000, 200);
    ev.giPaint(roomy);
    DrawnTitle const large = drawnTitle(roomy);
    EXPECT_EQ(large.size, 64);
    EXPECT_EQ(large.call, "draw2dText(\"Plan\", 5, 2, 990, 196, 0, 0)");

    // A box 24 high leaves 16 for the text, so 15 points at most (the measure is the size).
    RecordingPainter bar(0, 0, 100, 24);
    ev.giPaint(bar);
    DrawnTitle const fitted = drawnTitle(bar);
    EXPECT_EQ(fitted.size, 15);
    EXPECT_EQ(fitted.call, "draw2dText(\"Plan\", 5, 2, 90, 20, 0, 0)");

    ev.setTitle("A quarterly review of everything the team planned");
    RecordingPainter narrow(0, 0, 100, 24);
    ev.giPaint(narrow);
    DrawnTitle const cramped = drawnTitle(narrow);
    EXPECT_EQ(cramped.size, 11);
    EXPECT_EQ(cramped.call, "draw2dText(\"A quarterly review of everything the team planned\", 5, "
                            "2, 90, 20, -1, 0)");
}

TEST_F(EventDrawing, NoTitleIsDrawnForAnInstantOrAnEmptyTitle)
{
    RecordingPainter untitled(0, 0, 100, 24);
    ev.giPaint(untitled);
    EXPECT_THAT(untitled.callsStartingWith("draw2dText"), IsEmpty());

    ev.setTitle("Launch");
    ev.setIsImpulse(true);
    RecordingPainter instant(0, 0, 30, 24);
    ev.giPaint(instant);
    EXPECT_THAT(instant.callsStartingWith("draw2dText"), IsEmpty());
    EXPECT_THAT(instant.callsStartingWith("setFont"), IsEmpty());
}

TEST_F(EventDrawing, TheFittedSizeIsTheOneTryingEverySizeFromTheLargestFinds)
{
    // Widths measured as the real font measures them (DejaVu Sans, in whole pixels), and as a
    // measure with long steps; every box width and height from small to large.
    RecordingPainter qt;
    qt.measure = [](char const* text, float size, float& w, float& h) {
        PainterQt::getTextSize("Gil Sans", int(size), text, w, h);
    };
    RecordingPainter stepped;
    stepped.measure = [](char const* text, float size, float& w, float& h) {
        w = float(int(float(std::strlen(text)) * size * 0.6f / 7) * 7);
        h = size;
    };
    for (char const* title : {"Q3", "Design review", "Spring launch budget call with hiring"}) {
        ev.setTitle(title);
        for (RecordingPainter* p : {&qt, &stepped})
            for (float h : {24.0f, 40.0f, 90.0f})
                for (float w = 10; w < 900; w += 13) {
                    p->clear();
                    p->set2dGeometry(0, 0, w, h);
                    ev.giPaint(*p);
                    int const expected = firstFittingSize(*p, title, w - 10, h - 8);
                    ASSERT_EQ(drawnTitle(*p).size, expected)
                        << title << " in " << w << " by " << h << (p == &qt ? " (font)" : "");
                }
    }
}
