#include "ObClassTypeOf.h"
#include "TimelineTestDoc.h"
#include "mLayer.h"
#include "mScale.h"
#include "mTimeline.h"
#include "views/RecordingPainter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::ElementsAre;
using testing::IsEmpty;

namespace {

// A layer of the document's timeline, drawn at one scene pixel per row unit.
struct LayerDrawing : testing::Test
{
    TimelineTestDoc doc;
    Obh hdl = tlObj::ourType_mLayer->make();
    mLayer& layer = *tlObj::ourType_mLayer->ptr(hdl);

    LayerDrawing()
    {
        doc.cmp.getCmpTimeline()->perpScale()->setZoom(1.0);
        layer.setTitle("Plan");
    }
};

} // namespace

TEST_F(LayerDrawing, ABandFillsAboveItsBottomEdgeAndLinesEveryRow)
{
    layer.setVerticalScale(20);
    RecordingPainter p(0, 0, 100, 60);
    layer.giPaint(p);
    EXPECT_THAT(p.calls(), ElementsAre("setAntiAliasing(0)", "setFillColorRgba8(90, 90, 90, 80)",
                                       "draw2dFilledRect(0, 0, 100, 58)",
                                       "setLineColorRgba8(120, 120, 120, 80)",
                                       "draw2dLine(0, 58, 100, 58)", "draw2dLine(0, 0, 100, 0)",
                                       "setLineColorRgba8(0, 0, 0, 20)", "draw2dLine(0, 0, 100, 0)",
                                       "draw2dLine(0, 20, 100, 20)", "draw2dLine(0, 40, 100, 40)"));
}

TEST_F(LayerDrawing, AnInactiveLayerIsFilledDarker)
{
    layer.setIsActive(false);
    RecordingPainter band(0, 0, 100, 60);
    layer.giPaint(band);
    RecordingPainter header(0, 0, 100, 40);
    layer.paintLayerHeader(header, hdl);
    EXPECT_THAT(band.callsStartingWith("setFillColor"),
                ElementsAre("setFillColorRgba8(70, 70, 70, 80)"));
    EXPECT_THAT(header.callsStartingWith("setFillColor"),
                ElementsAre("setFillColorRgba8(70, 70, 70, 80)"));
}

TEST_F(LayerDrawing, RowsLowerThanAPixelDrawNoRowLines)
{
    // Row lines closer than a pixel would only grey the band, and a height of 0 would never end.
    for (float scale : {0.5f, 0.0f}) {
        layer.setVerticalScale(scale);
        RecordingPainter p(0, 0, 100, 60);
        layer.giPaint(p);
        EXPECT_THAT(p.callsStartingWith("draw2dLine"),
                    ElementsAre("draw2dLine(0, 58, 100, 58)", "draw2dLine(0, 0, 100, 0)"))
            << "vertical scale " << scale;
    }
}

TEST_F(LayerDrawing, AHeaderHasItsTitleBoxAndAnOutlineOnlyWhenSelected)
{
    layer.setLabelFontSize(13);
    layer.setLabelFontWeight(75);
    RecordingPainter p(0, 0, 100, 40);
    layer.paintLayerHeader(p, hdl);
    EXPECT_THAT(p.calls(),
                ElementsAre("setFillColorRgba8(90, 90, 90, 80)", "draw2dFilledRect(0, 0, 100, 40)",
                            "setFont(\"Gil Sans\", 13, 75)",
                            "setTextColorRgba8(255, 255, 255, 255)",
                            "draw2dText(\"Plan\", 2, 2, 96, 20, -1, -1)",
                            "setLineColorRgba8(120, 120, 120, 80)", "draw2dLine(0, 39, 100, 39)",
                            "draw2dLine(0, 0, 100, 0)"));

    doc.selection.addToSelection(hdl);
    p.clear();
    layer.paintLayerHeader(p, hdl);
    EXPECT_THAT(p.callsStartingWith("draw2dOutlined"),
                ElementsAre("draw2dOutlinedRectFromTo(1, 1, 100, 40)"));
}

TEST_F(LayerDrawing, ATitleLongerThanItsRoomLosesItsMiddleToAnEllipsis)
{
    layer.setLabelFontSize(10); // five pixels a byte
    layer.setTitle("Conception & \xC3\x89tudes");
    RecordingPainter whole(0, 0, 100, 40);
    layer.paintLayerHeader(whole, hdl);
    RecordingPainter beside(0, 0, 100, 40);
    layer.paintLayerHeader(beside, hdl, 60);
    EXPECT_THAT(
        whole.callsStartingWith("draw2dText"),
        ElementsAre("draw2dText(\"Concepti\xE2\x80\xA6\xC3\x89tudes\", 2, 2, 96, 20, -1, -1)"));
    EXPECT_THAT(beside.callsStartingWith("draw2dText"),
                ElementsAre("draw2dText(\"Conc\xE2\x80\xA6udes\", 2, 2, 58, 20, -1, -1)"));
}

TEST_F(LayerDrawing, AHeaderForAHandleThatNamesNoLayerDrawsNothing)
{
    RecordingPainter p(0, 0, 100, 40);
    Obh none;
    layer.paintLayerHeader(p, none);
    Obh timeline = doc.cmp.getCmpTimeline()->getTimeScaleHdl();
    layer.paintLayerHeader(p, timeline);
    EXPECT_THAT(p.calls(), IsEmpty());
}
