#include "uiMouseTrackingFilter.h"

#include <QApplication>
#include <QGraphicsSceneMouseEvent>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

struct Target : QWidget
{
    Q_OBJECT

public:
    int moves = 0;
    void mouseMoveEvent(QMouseEvent*) override { ++moves; }
};

} // namespace

TEST(uiMouseTrackingFilterTest, KeepsTheLastMousePositionAndPassesEveryEventOn)
{
    uiMouseTrackingFilter::ourMouseX = uiMouseTrackingFilter::ourMouseY = -1;
    Target target;
    target.setMouseTracking(true);
    uiMouseTrackingFilter filter(&target);
    target.installEventFilter(&filter);

    QMouseEvent move(QEvent::MouseMove, QPointF(12.7, 30.2), QPointF(12.7, 30.2), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &move);
    EXPECT_EQ(target.moves, 1) << "the filter takes nothing away";
    EXPECT_EQ(uiMouseTrackingFilter::ourMouseX, 12);
    EXPECT_EQ(uiMouseTrackingFilter::ourMouseY, 30);

    QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 2), QPointF(1, 2), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &press);
    EXPECT_EQ(uiMouseTrackingFilter::ourMouseX, 12) << "only moves are kept";

    QGraphicsSceneMouseEvent sceneMove(QEvent::GraphicsSceneMouseMove);
    sceneMove.setPos(QPointF(3.9, 4.2));
    EXPECT_FALSE(filter.eventFilter(&target, &sceneMove));
    EXPECT_EQ(uiMouseTrackingFilter::ourMouseX, 3);
    EXPECT_EQ(uiMouseTrackingFilter::ourMouseY, 4);
}

#include "uiMouseTrackingFilterTest.moc"
