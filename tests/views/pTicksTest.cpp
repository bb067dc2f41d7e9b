#include "ObSelection.h"
#include "ViewsDoc.h"
#include "aTs.h"
#include "pTicks.h"

namespace {

struct Ruler : ViewsDoc
{
    QWidget window;
    pTicks* ruler = new pTicks(&window, &doc.cmp);
    int const dragDistance = QApplication::startDragDistance();

    Ruler()
    {
        window.show();
        ruler->resize(1000, 60);
        show(50000);
        QApplication::setStartDragDistance(4);
    }
    ~Ruler() override { QApplication::setStartDragDistance(dragDistance); }

    void press(int x, Qt::MouseButton button = Qt::LeftButton)
    {
        doc.dirt.clearAllDirt();
        mouseAt(*ruler, QEvent::MouseButtonPress, {x, 30}, button);
    }
    void moveTo(int x, int y)
    {
        doc.dirt.clearAllDirt();
        QPointF const p(x, y);
        QMouseEvent event(QEvent::MouseMove, p, ruler->mapToGlobal(p), Qt::NoButton,
                          Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(ruler, &event);
    }
    int selectionType() const { return scale.selectionType(); }
    double selStart() const { return scale.getSelStart().asSeconds(); }
    double selEnd() const { return scale.getSelEnd().asSeconds(); }
};

} // namespace

TEST_F(Ruler, APressSelectsThePointAndTheTimeline)
{
    press(200, Qt::RightButton); // every button selects
    EXPECT_EQ(selectionType(), 1);
    EXPECT_DOUBLE_EQ(selStart(), 50200);
    EXPECT_TRUE(raised(tlObj::DirtTimeSelectionChanged));
    EXPECT_TRUE(doc.selection.isSelectedTest(doc.cmp.getTimelineHdl()));
}

TEST_F(Ruler, APressOnThePointSelectedOrBesideItClearsIt)
{
    for (int at : {199, 200, 201}) {
        press(200);
        press(at);
        EXPECT_EQ(selectionType(), 0) << at;
        EXPECT_TRUE(raised(tlObj::DirtSelectionByTimeDisabled)) << at;
        EXPECT_FALSE(raised(tlObj::DirtTimeSelectionChanged)) << at;
    }
    press(200);
    press(202);
    EXPECT_EQ(selectionType(), 1);
    EXPECT_DOUBLE_EQ(selStart(), 50202);
    EXPECT_TRUE(raised(tlObj::DirtTimeSelectionChanged));
}

TEST_F(Ruler, APressOnASpanAlwaysSelectsAPoint)
{
    scale.localSelectAtParentSpan(300, 400);
    press(300);
    EXPECT_EQ(selectionType(), 1);
    EXPECT_DOUBLE_EQ(selStart(), 50300);
}

TEST_F(Ruler, ADragSelectsASpanFromTheDragDistanceOn)
{
    press(500);
    moveTo(503, 32); // Manhattan length 5
    EXPECT_EQ(selectionType(), 2);
    EXPECT_DOUBLE_EQ(selStart(), 50500);
    EXPECT_DOUBLE_EQ(selEnd(), 50503);
    EXPECT_TRUE(raised(tlObj::DirtTimeSelectionChanged));

    moveTo(501, 32); // length 3: the point under the pointer, not under the press
    EXPECT_EQ(selectionType(), 1);
    EXPECT_DOUBLE_EQ(selStart(), 50501);

    moveTo(440, 30); // leftwards: from the pointer to the press
    EXPECT_EQ(selectionType(), 2);
    EXPECT_DOUBLE_EQ(selStart(), 50440);
    EXPECT_DOUBLE_EQ(selEnd(), 50500);
}

TEST_F(Ruler, ASpanCanFollowAPressThatClearedAPoint)
{
    press(100);
    press(100);
    ASSERT_EQ(selectionType(), 0);
    moveTo(130, 30);
    EXPECT_EQ(selectionType(), 2);
    EXPECT_DOUBLE_EQ(selStart(), 50100);
    EXPECT_DOUBLE_EQ(selEnd(), 50130);
}
