#include "ObClassTypeOf.h"
#include "ObSelection.h"
#include "ViewsDoc.h"
#include "mEvent.h"
#include "pBotLeft.h"
#include "pTopLeft.h"
#include "uiButton.h"
#include "uiToggle.h"

namespace {

struct Corners : ViewsDoc
{
    QWidget window;
    pTopLeft* top = new pTopLeft(&window, &doc.cmp);
    pBotLeft* bottom = new pBotLeft(&window, &doc.cmp);

    Corners() { window.show(); }
};

} // namespace

TEST_F(Corners, ControlsSitAlongTheBottomEdgeInTheHeadersColumns)
{
    top->resize(200, 80);
    EXPECT_EQ(top->myHideToggle->geometry(), QRect(155, 65, 12, 12));
    EXPECT_EQ(top->myCollapseBtn->geometry(), QRect(170, 65, 12, 12));
    EXPECT_EQ(top->myNewLayerBtn->geometry(), QRect(185, 65, 12, 12));
    top->resize(120, 30);
    EXPECT_EQ(top->myNewLayerBtn->geometry(), QRect(105, 15, 12, 12));
}

TEST_F(Corners, ControlsFollowOnlyTheShowControlsFlag)
{
    EXPECT_TRUE(top->myHideToggle->isHidden()) << "a new timeline shows no layer controls";
    timeline.setShowLayerControls(true);
    timeline.setLayerHidingEnabled(true);
    doc.dirt.setDirty(tlObj::DirtLayerControlVisibility, true);
    doc.pass();
    EXPECT_FALSE(top->myHideToggle->isHidden()) << "the switch of layer hiding stays";
    EXPECT_FALSE(top->myCollapseBtn->isHidden());
    EXPECT_FALSE(top->myNewLayerBtn->isHidden());
}

TEST_F(Corners, HideToggleSwitchesLayerHiding)
{
    top->myHideToggle->activate();
    EXPECT_TRUE(timeline.getLayerHidingEnabled());
    EXPECT_TRUE(raised(tlObj::DirtLayerHidingChanged));
    top->myHideToggle->activate();
    EXPECT_FALSE(timeline.getLayerHidingEnabled());
}

TEST_F(Corners, APressOnEitherCornerSelectsTheTimeline)
{
    Obh layer = tlObj::ourType_mLayer->make();
    for (QWidget* corner : {static_cast<QWidget*>(top), static_cast<QWidget*>(bottom)}) {
        doc.selection.setSelection(layer);
        mouseAt(*corner, QEvent::MouseButtonPress, {20, 5});
        EXPECT_TRUE(doc.selection.isSelectedTest(doc.cmp.getTimelineHdl()));
        EXPECT_FALSE(doc.selection.isSelectedTest(layer));
    }
}

TEST_F(Corners, TheButtonsCollapseTheLayersAndAddOne)
{
    Obh kept = timeline.newLayer();
    timeline.newLayer();
    Obh h = tlObj::ourType_mEvent->make();
    tlObj::ourType_mEvent->ptr(h)->setTimeLength(10);
    timeline.addEvent(h, 0, 0, kept, true);
    top->myCollapseBtn->buttonPressed(top->myCollapseBtn);
    EXPECT_EQ(timeline.getLayerHdls().size(), 1u) << "the layer without events goes";
    EXPECT_TRUE(raised(tlObj::DirtLayerStackingInTimeline));
    top->myNewLayerBtn->buttonPressed(top->myNewLayerBtn);
    EXPECT_EQ(timeline.getLayerHdls().size(), 2u);
}
