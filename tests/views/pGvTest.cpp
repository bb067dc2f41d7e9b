#include "ObClassTypeOf.h"
#include "ViewsDoc.h"
#include "mEvent.h"
#include "mLayer.h"
#include "pGv.h"
#include "tlScene.h"
#include "uiGi.h"

#include <QImage>
#include <gmock/gmock.h>

#include <memory>
#include <string>

using testing::HasSubstr;

namespace {

// The view as the pane sets it up: no scroll bars, the registry's scene.
std::unique_ptr<pGv> makeView(tlCmp* cmp, QGraphicsScene* scene)
{
    auto view = std::make_unique<pGv>(nullptr, cmp);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setScene(scene);
    view->resize(300, 200);
    view->setSceneRect(0, 0, 300, 200);
    return view;
}

std::string dumped(pGv const& view)
{
    return loggedBy([&] { view.dumpScene(); });
}

struct View : ViewsDoc
{
    std::unique_ptr<pGv> view = makeView(&doc.cmp, doc.cmp.getUi()->getScene());
};

} // namespace

TEST(pGvTest, WithoutATimelineTheViewIsBlack)
{
    ASSERT_EQ(tlObj::ourCurrentCmp, nullptr);
    QGraphicsScene scene;
    auto view = makeView(nullptr, &scene);
    view->show();
    QImage const picture = view->grab().toImage();
    EXPECT_EQ(picture.pixelColor(10, 10), QColor(0, 0, 0));
    EXPECT_EQ(picture.pixelColor(290, 190), QColor(0, 0, 0));
}

TEST_F(View, TheSkinPaintsTheBackground)
{
    skin.setTimelineBgR(30);
    skin.setTimelineBgG(60);
    skin.setTimelineBgB(90);
    view->show();
    QImage const picture = view->grab().toImage();
    EXPECT_EQ(picture.pixelColor(150, 100), QColor(30, 60, 90));
    EXPECT_FALSE(skin.inContext());
}

TEST_F(View, APressAnywhereEndsSelectionByTime)
{
    view->show();
    mouseAt(*view->viewport(), QEvent::MouseButtonPress, {40, 40});
    EXPECT_TRUE(raised(tlObj::DirtSelectionByTimeDisabled));
}

TEST_F(View, TheDumpListsTheItemsUnderAHeaderLine)
{
    EXPECT_THAT(dumped(*view),
                HasSubstr("<-------------------- 0 SCENE ITEMS, within sceneRect 300.0 x 200.0 @ "
                          "( 0.0 , 0.0 )\n"));

    Obh layer = tlObj::ourType_mLayer->make();
    mLayer& l = *tlObj::ourType_mLayer->ptr(layer);
    l.setSceneW(300);
    l.setSceneH(40);
    l.giAddToScene(*doc.cmp.getUi()->getScene(), layer);
    l.giSetPos(0, 25);
    l.giHide();
    std::string const out = dumped(*view);
    EXPECT_THAT(out, HasSubstr("1 SCENE ITEMS"));
    EXPECT_THAT(out, HasSubstr("  Item QGraphicsItem, z=0.00,   300.00 x 40.00 @ ( 0.00, 25.00 ) "
                               "invisible\n"));
}

TEST_F(View, TheEventsAreSyncedIntoTheSceneTheViewShows)
{
    show(0, 300);
    Obh layer = timeline.newLayer();
    Obh h = tlObj::ourType_mEvent->make();
    tlObj::ourType_mEvent->ptr(h)->setTimeLength(50);
    timeline.addEvent(h, 100, 0, layer, true);
    timeline.perpScale()->setParentSize(200);
    timeline.perpScale()->zoomToLocalRange(0.0, 10.0, 1.0f);
    doc.dirt.setDirty(tlObj::DirtLayout, true);
    doc.pass();
    uiGi* item = tlObj::ourType_mEvent->ptr(h)->giGet();
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->scene(), doc.cmp.getUi()->getScene());
    EXPECT_TRUE(view->getScene()->items().isEmpty()) << "the view's own scene stays empty";
}
