#include "Aa/TzGuard.h"
#include "TimelineTestDoc.h"
#include "mScale.h"
#include "mSkin.h"
#include "mTimeline.h"
#include "views/RecordingPainter.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using testing::ElementsAre;
using testing::IsEmpty;

namespace {

// The skin over a 1,000-pixel time axis showing 1,000 seconds from start.
struct Marks : testing::Test
{
    TimelineTestDoc doc;
    mTimeline& timeline = *doc.cmp.getCmpTimeline();
    mScale& scale = *timeline.timeScale();
    mSkin& skin = *doc.cmp.getCmpSkin();

    ~Marks() override
    {
        if (skin.inContext())
            skin.endContext();
    }
    void show(double start, double end = -1)
    {
        scale.setParentPos(0);
        scale.setParentSize(1000);
        scale.reconfig();
        scale.setVisStart(start);
        scale.setVisEnd(end < 0 ? start + 1000 : end);
        scale.setNeedsReconfig(false);
    }
    void open() { skin.beginContext(&timeline, true); }
};

// What a drag in progress draws, for the foreground's order.
void guide(Painter& p)
{
    p.draw2dText("guide", 0, 0, 1, 1, 0, 0);
}

} // namespace

TEST_F(Marks, ASpanSelectionIsAWashBetweenWholePixelLinesWithADarkMiddle)
{
    show(1000);
    scale.localSelectAtParentSpan(10, 20);
    scale.setVisStart(999.6); // the selection now runs from pixel 10.4 to 20.4
    scale.setVisEnd(1999.6);
    open();
    RecordingPainter p(0, 5, 1000, 50);
    skin.drawTimeSelection(p);
    EXPECT_THAT(p.calls(),
                ElementsAre("setFillColorRgba8(255, 255, 255, 40)",
                            "draw2dFilledRect(10, 5, 11, 50)", "setAntiAliasing(0)",
                            "setLineColorRgba8(255, 255, 255, 110)", "draw2dLine(10, 5, 10, 55)",
                            "draw2dLine(21, 5, 21, 55)", "setLineWidth(0.5)",
                            "setLineColorRgba8(0, 0, 0, 55)", "draw2dLine(15, 5, 15, 55)"));
}

TEST_F(Marks, APointSelectionIsOneLineAndNoSelectionNothing)
{
    show(1000);
    open();
    RecordingPainter none(0, 0, 1000, 50);
    skin.drawTimeSelection(none);
    EXPECT_THAT(none.calls(), IsEmpty());

    scale.localSelectAtParentPos(300);
    RecordingPainter p(0, 0, 1000, 50);
    skin.drawTimeSelection(p);
    EXPECT_THAT(p.calls(),
                ElementsAre("setAntiAliasing(0)", "setLineColorRgba8(255, 255, 255, 110)",
                            "draw2dLine(300, 0, 300, 50)"));
}

TEST_F(Marks, TheLockToNowLineIsRightOfTheMiddleOnAnEvenWidth)
{
    RecordingPainter odd(0, 0, 101, 50);
    skin.drawLockToNow(odd);
    EXPECT_THAT(odd.calls(), ElementsAre("setAntiAliasing(0)", "setLineColorRgba8(0, 255, 0, 200)",
                                         "draw2dLine(50, 0, 50, 50)"));
    RecordingPainter even(0, 0, 100, 50);
    skin.drawLockToNow(even);
    EXPECT_THAT(even.callsStartingWith("draw2dLine"), ElementsAre("draw2dLine(51, 0, 51, 50)"));
    RecordingPainter offset(20, 0, 100, 50);
    skin.drawLockToNow(offset);
    EXPECT_THAT(offset.callsStartingWith("draw2dLine"), ElementsAre("draw2dLine(71, 0, 71, 50)"));
}

TEST_F(Marks, TheForegroundDrawsTheDragGuideThenTheSelectionThenTheNowLine)
{
    show(1000);
    scale.localSelectAtParentPos(300);
    timeline.setLockToNowFlag(true);
    open();
    RecordingPainter plain(0, 0, 1000, 50);
    skin.drawTimelineFg(plain);
    EXPECT_THAT(plain.callsStartingWith("draw2d"),
                ElementsAre("draw2dLine(300, 0, 300, 50)", "draw2dLine(501, 0, 501, 50)"));

    mSkin::ourSceneGuide = &guide;
    RecordingPainter dragging(0, 0, 1000, 50);
    skin.drawTimelineFg(dragging);
    mSkin::ourSceneGuide = nullptr;
    EXPECT_THAT(dragging.callsStartingWith("draw2d"),
                ElementsAre("draw2dText(\"guide\", 0, 0, 1, 1, 0, 0)",
                            "draw2dLine(300, 0, 300, 50)", "draw2dLine(501, 0, 501, 50)"));
}

TEST_F(Marks, MarksThatReadTheScaleDrawNothingOutsideAContext)
{
    RecordingPainter p(0, 0, 200, 70);
    skin.drawHeader(p);
    skin.drawTimeSelection(p);
    skin.drawCtrlPanel(p);
    EXPECT_THAT(p.calls(), IsEmpty());
}

TEST_F(Marks, TheControlPanelReadsTheWindowsEndsInTwelveHourTime)
{
    TzGuard zone("UTC");
    // From Tuesday 5 March 2024 at 3:05 in the afternoon to half a minute past midnight.
    show(double(utcSeconds(2024, 3, 5, 15, 5, 0)), double(utcSeconds(2024, 3, 6, 0, 5, 30)));
    open();
    RecordingPainter p(0, 0, 200, 70);
    skin.drawCtrlPanel(p);
    // The recording painter measures 6 pixels a character in its 12-point font.
    EXPECT_THAT(p.callsStartingWith("draw2dText"),
                ElementsAre("draw2dText(\"3:05 PM\", 3, 10, -1, -1, -1, -1)",
                            "draw2dText(\"Tue\", 3, 24, -1, -1, -1, -1)",
                            "draw2dText(\"Mar 5\", 3, 38, -1, -1, -1, -1)",
                            "draw2dText(\"2024\", 3, 52, -1, -1, -1, -1)",
                            "draw2dText(\"12:05:30 AM\", 132, 10, 66, 12, 1, -1)",
                            "draw2dText(\"Wed\", 180, 24, 18, 12, 1, -1)",
                            "draw2dText(\"Mar 6\", 168, 38, 30, 12, 1, -1)",
                            "draw2dText(\"2024\", 174, 52, 24, 12, 1, -1)"));
    EXPECT_THAT(p.callsStartingWith("setTextColor"),
                ElementsAre("setTextColorRgba8(170, 190, 190, 255)"));
    EXPECT_EQ(p.calls().back(), "draw2dLine(0, 0, 200, 0)");
}
