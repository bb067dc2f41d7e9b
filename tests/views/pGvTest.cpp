#include "ItemsDoc.h"
#include "ObClassTypeOf.h"
#include "ViewsDoc.h"
#include "mEvent.h"
#include "mLayer.h"
#include "pGv.h"
#include "tlScene.h"
#include "uiGi.h"

#include <QImage>
#include <QScopedValueRollback>
#include <gmock/gmock.h>

#include <algorithm>
#include <cstdlib>
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

// The largest difference of one colour channel between two pictures of one size.
int largestDifference(QImage const& a, QImage const& b)
{
    int most = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            QRgb const p = a.pixel(x, y), q = b.pixel(x, y);
            most = std::max({most, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                             std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q))});
        }
    return most;
}

// The items' document in a view of its size: a second and a row of 30 pixels to a pixel.
struct ItemsView : ItemsDoc
{
    std::unique_ptr<pGv> view = makeView(&doc.cmp, &scene);

    ItemsView()
    {
        view->resize(1000, 600);
        view->setSceneRect(0, 0, 1000, 600);
    }
    QImage picture(bool throughPixmap)
    {
        QScopedValueRollback<bool> way(uiGi::ourPaintThroughPixmap, throughPixmap);
        return view->grab().toImage();
    }
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

// Each item draws straight onto the view's painter, in the state a painter of its own starts
// with: the pixels are those of the item drawn on a transparent picture laid on the view, also
// for text, a translucent fill and a selected item's outline (a translucent colour blended once
// instead of twice may round a level apart).
TEST_F(ItemsView, ItemsDrawOnTheViewThePixelsOfAPictureOfTheirOwn)
{
    ev(a)->setTitle("Über die Brücke, 25 Tage");
    ev(b)->setBgColorA(120);
    // Rows of 600 / 21 pixels put the items between pixels.
    perp.zoomToLocalRange(0.0, 21.0, 1.0f);
    timeline.restackLayers();
    timeline.getEdb()->syncEventsToView(&timeline, &scene);
    doc.selection.setSelection(b);
    view->show();
    QImage const straight = picture(false);
    EXPECT_NE(straight.pixelColor(125, 15), straight.pixelColor(700, 500)) << "a is drawn";
    QImage const throughPixmap = picture(true);
    ASSERT_EQ(straight.size(), throughPixmap.size());
    EXPECT_LE(largestDifference(straight, throughPixmap), 1);
}
