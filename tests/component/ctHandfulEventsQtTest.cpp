#include "DragDoc.h"
#include "ScratchDir.h"
#include "mPlSample.h"
#include "mRowIndex.h"
#include "mSkin.h"
#include "views/RecordingPainter.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QTimer>
#include <gmock/gmock.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <map>
#include <ostream>
#include <set>
#include <string>
#include <tuple>
#include <utility>

namespace {

using testing::Contains;
using testing::HasSubstr;

// The document before any drag.
using Undragged = DragDoc;

// The drag of x, y and z grabbed at y: the handful and its drag object (the events are out of
// the timeline while it lives).
struct Drags : DragDoc
{
    std::unique_ptr<ctHandfulEventsQt> handful = pick(y);
    std::unique_ptr<QDrag> drag {handful ? handful->getQDrag() : nullptr};
    // 50 pixels (50 seconds) right of the grab point.
    double pointerX = handful ? handful->myGrabSceneX + 50 : 0;

    // Hovers over a layer item at the model row position; whether the handful can drop there.
    bool hover(double modelY, Qt::KeyboardModifiers keys = {})
    {
        auto event = dragEvent(QEvent::GraphicsSceneDragMove, pointerX, sceneY(modelY),
                               drag->mimeData(), Qt::MoveAction, keys);
        return handful->canDropOn(anyLayerItem, event.get());
    }
    ctHandfulEventsQt::Ghost const& ghostOf(Obh h) const { return *handful->ghostOf(h); }
};

} // namespace

TEST_F(Undragged, APickUpRecordsStackRowsFromTheGrabbedEventAndEmptiesTheSelection)
{
    Obh payload = tlObj::ourType_mPlSample->make();
    ev(z)->setPayload(payload);
    doc.selection.addToSelection(payload);
    auto handful = pick(y);
    ASSERT_TRUE(handful);
    EXPECT_EQ(handful->recordOf(x)->myDsri, -1);
    EXPECT_EQ(handful->recordOf(y)->myDsri, 0);
    EXPECT_EQ(handful->recordOf(z)->myDsri, 2);
    EXPECT_EQ(handful->myMinDsri, -1);
    EXPECT_EQ(handful->myMaxDsri, 2);
    EXPECT_TRUE(doc.selection.getSelection().empty()) << "the events and z's payload";
}

TEST_F(Drags, TheDragCarriesATransparentPixelOurTextAndOurDataAndTakesTheEventsOut)
{
    ASSERT_TRUE(drag);
    QImage const picture = drag->pixmap().toImage();
    EXPECT_EQ(picture.size(), QSize(1, 1));
    EXPECT_EQ(picture.pixelColor(0, 0), QColor(0, 0, 0, 0));
    EXPECT_EQ(drag->mimeData()->text(), QString("events,0,0"));
    EXPECT_TRUE(handful->carriesOurDrag(drag->mimeData()));
    QMimeData sameText;
    sameText.setText("events,0,0");
    EXPECT_FALSE(handful->carriesOurDrag(&sameText)) << "text alone is no drag of ours";
    for (Obh h : {x, y, z}) {
        EXPECT_FALSE(inTimeline(h));
        EXPECT_FALSE(ev(h)->giInSceneTest());
    }
    EXPECT_TRUE(inTimeline(w));
}

TEST_F(Undragged, NoDragStartsFromAnEventThatIsNotSelectedOrFromALayer)
{
    doc.selection.removeFromSelection(y);
    EXPECT_FALSE(pick(y)) << "a press that toggled it off";
    EXPECT_EQ(ctHandfulEventsQt::drag(&source, ev(y)->giGet(), QPointF(10, 10)), Qt::IgnoreAction);
    EXPECT_FALSE(ctHandfulEventsQt::pickUp(&source, layer(a)->giGet(), QPointF(0, 0)));
    EXPECT_EQ(spots(), (std::vector<DragDoc::Spot> {{0, 2, 100}, {1, 0, 300}, {1, 2, 500}}));
}

TEST(DragText, IsReadOnlyWhenItsFieldsAreSound)
{
    struct Case
    {
        char const* text;
        bool read;
    } const cases[] = {
        {"events,3,-4", true}, {"events,3", false},    {"events,3,4,5", false},
        {"events,a,4", false}, {"events,3,4x", false}, {"files,3,4", false},
        {"", false},           {"events,,4", false},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.text);
        int hx = 7, hy = 7;
        EXPECT_EQ(ctHandfulEventsQt::readDragText(c.text, hx, hy), c.read);
        EXPECT_EQ(hx, c.read ? 3 : 7) << "nothing is written for a text of another kind";
        EXPECT_EQ(hy, c.read ? -4 : 7);
    }
}

TEST_F(Drags, HoverFindsTheZoneAndTheReferenceLayerWithAndWithoutTheZoningModifier)
{
    struct Case
    {
        char const* where;
        double modelY;
        bool zoning;
        DropZone zone;
        char ref;
        char const* label;
    } const cases[] = {
        {"in a", 2.5, false, DropZone::IntoRows, 'a', "Drop on\n"},
        {"high above a", 0.2, true, DropZone::NewLayerAboveAll, 'a', "New layer"},
        {"just above a", 0.8, true, DropZone::NewTopRow, 'a', "New top row"},
        {"gap, just below a", 4.3, true, DropZone::NewBottomRow, 'a', "New bottom row"},
        {"gap, upper middle", 4.85, true, DropZone::NewLayerAfter, 'a', "New layer"},
        {"gap, lower middle", 5.15, true, DropZone::NewLayerBefore, 'b', "New layer"},
        {"gap, just above b", 5.7, true, DropZone::NewTopRow, 'b', "New top row"},
        {"just below b", 9.15, true, DropZone::NewBottomRow, 'b', "New bottom row"},
        {"far below b", 9.5, true, DropZone::NewLayerBelowAll, 'b', "New layer"},
        // Without the zoning key a gap is a drop on the layer across it.
        {"gap, just below a, plain", 4.3, false, DropZone::IntoRows, 'b', "New bottom row"},
        {"high above a, plain", 0.2, false, DropZone::IntoRows, 'a', "New layer"},
        {"far below b, plain", 9.5, false, DropZone::IntoRows, 'b', "New layer"},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.where);
        EXPECT_TRUE(hover(c.modelY, c.zoning ? Qt::ControlModifier : Qt::NoModifier));
        EXPECT_EQ(handful->myZone, c.zone);
        EXPECT_EQ(handful->myRefLayerHdl, c.ref == 'a' ? a : b);
        EXPECT_EQ(std::string(handful->myZoneLabel.cs()), c.label);
        EXPECT_EQ(handful->myLabelPolygon.empty(), c.zone == DropZone::IntoRows);
    }
}

TEST_F(Drags, GhostsStandInTheRowsWhereTheEventsWouldLand)
{
    double sx = 0, sw = 0;
    ev(x)->getSceneVisTimeSpan(sx, sw);
    // Pointer on row 1 of a: x, y, z to stack rows 0, 1, 3.
    hover(2.5);
    EXPECT_EQ(ghostOf(x).x, sx + 50);
    EXPECT_EQ(ghostOf(x).w, sw);
    for (auto [h, top] : {std::pair {x, 1.0}, {y, 2.0}, {z, 6.0}}) {
        EXPECT_TRUE(ghostOf(h).inRow);
        EXPECT_DOUBLE_EQ(ghostOf(h).y, sceneY(top));
        EXPECT_DOUBLE_EQ(ghostOf(h).h, 30);
    }
    EXPECT_EQ(handful->myGuideR + handful->myGuideG + handful->myGuideB, 3 * 255);

    // A new bottom row of a: the grabbed ghost marks the band at a's foot, z one row up.
    hover(4.3, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(ghostOf(x).y, sceneY(3));
    EXPECT_DOUBLE_EQ(ghostOf(z).y, sceneY(7));
    EXPECT_EQ(ghostOf(y).y, 112) << "a quarter row (7.5 pixels) above the gap";
    EXPECT_EQ(ghostOf(y).h, 8);
    EXPECT_EQ(std::make_tuple(handful->myGuideR, handful->myGuideG, handful->myGuideB),
              std::make_tuple(0, 255, 0));

    // Rows still to be made are marks 2 pixels apart below the bottom layer or above the top,
    // as many rows away as the events land: z the third row below b (the new layer's first and
    // second before it), x the second above a (the new layer's row before it).
    hover(9.5, Qt::ControlModifier);
    EXPECT_FALSE(ghostOf(z).inRow);
    EXPECT_EQ(ghostOf(z).y, 270 + 4);
    EXPECT_EQ(ghostOf(z).h, 1);
    hover(0.2, Qt::ControlModifier);
    EXPECT_FALSE(ghostOf(x).inRow);
    EXPECT_EQ(ghostOf(x).y, 30 - 4);
}

TEST_F(Drags, TheLabelStandsOnTheSideWithRoomOrNowhere)
{
    hover(4.3, Qt::ControlModifier);
    double const right = ghostOf(y).x + ghostOf(y).w;
    EXPECT_EQ(handful->myLabelAlign, -1);
    EXPECT_EQ(handful->myLabelPolygon.front().first, static_cast<float>(right + 20));
    EXPECT_EQ(handful->myLabelX, right + 23);

    pointerX += 600;
    hover(4.3, Qt::ControlModifier);
    EXPECT_EQ(handful->myLabelAlign, 1);
    EXPECT_EQ(handful->myLabelX, ghostOf(y).x - 127);

    // A view 150 pixels wide, the ghost from 61 to 120.
    handful->mySrcViewW = 150;
    pointerX = handful->myGrabSceneX - 240;
    hover(4.3, Qt::ControlModifier);
    EXPECT_TRUE(handful->myLabelPolygon.empty()) << "130 pixels fit on neither side";
}

TEST_F(Drags, TheHoverKeepsTheHandfulInsideTheStack)
{
    // Over a's first row x would go above the stack: the ghosts stay as over its second row.
    hover(1.5);
    EXPECT_EQ(handful->myDropSri, 1);
    EXPECT_DOUBLE_EQ(ghostOf(x).y, sceneY(1));
    // Over b's last row z would go below it: the grabbed event lands two rows up.
    hover(8.5);
    EXPECT_EQ(handful->myDropSri, 3);
    EXPECT_DOUBLE_EQ(ghostOf(z).y, sceneY(8));
}

TEST_F(Undragged, TheHoverClampReachesRowsOfLayersThatWereOutOfView)
{
    // Picked up while only b was in view, x one row above y; then a comes into view.
    perp.zoomToLocalRange(5.0, 10.0, 1.0f);
    sync();
    ASSERT_FALSE(layer(a)->getIsVisible());
    doc.selection.removeFromSelection(z);
    auto handful = pick(y);
    ASSERT_TRUE(handful);
    std::unique_ptr<QDrag> drag(handful->getQDrag());
    perp.zoomToLocalRange(0.0, 20.0, 1.0f);
    sync();
    // Over a's first row x would go above the stack: one row down, in a.
    auto over = dragEvent(QEvent::GraphicsSceneDragMove, 500, sceneY(1.5), drag->mimeData());
    EXPECT_TRUE(handful->canDropOn(anyLayerItem, over.get()));
    EXPECT_EQ(handful->myRefLayerHdl, a);
    EXPECT_EQ(handful->myDropSri, 1);
}

TEST_F(Undragged, AHandfulTallerThanTheStackIsLeftUnclamped)
{
    doc.selection.removeFromSelection(y);
    auto handful = pick(x);
    ASSERT_TRUE(handful);
    std::unique_ptr<QDrag> drag(handful->getQDrag());
    // z three rows below x; with b hidden the stack has three rows.
    tl.setLayerHidingEnabled(true);
    layer(b)->setIsActive(false);
    tl.restackLayers();
    auto over = dragEvent(QEvent::GraphicsSceneDragMove, 500, sceneY(1.5), drag->mimeData());
    EXPECT_TRUE(handful->canDropOn(anyLayerItem, over.get()));
    EXPECT_EQ(handful->myRefLayerHdl, a);
    EXPECT_EQ(handful->myDropSri, 0);
}

TEST_F(Drags, OnlyAMoveIsTaken)
{
    for (Qt::DropAction action : {Qt::CopyAction, Qt::LinkAction}) {
        auto event =
            dragEvent(QEvent::GraphicsSceneDrop, pointerX, sceneY(2.5), drag->mimeData(), action);
        EXPECT_FALSE(handful->canDropOn(anyLayerItem, event.get()));
        EXPECT_FALSE(handful->dropOn(anyLayerItem, event.get()));
    }
    for (Obh h : {x, y, z})
        EXPECT_FALSE(inTimeline(h)) << "nothing placed: the drag's end puts them back";
    EXPECT_EQ(tl.getLayerHdls().size(), 2u);
}

// A copy places nothing, so no ghost may promise it a place.
TEST_F(Drags, NoGhostIsDrawnWhileACopyIsProposed)
{
    auto drawn = [&] {
        RecordingPainter p(0, 0, 1000, 600);
        handful->drawSceneGuide(p);
        return p.callsStartingWith("draw2d").size();
    };
    ASSERT_TRUE(hover(2.5));
    ASSERT_GT(drawn(), 0u);
    auto copy = dragEvent(QEvent::GraphicsSceneDragMove, pointerX, sceneY(2.5), drag->mimeData(),
                          Qt::CopyAction);
    handful->canDropOn(anyLayerItem, copy.get());
    EXPECT_EQ(drawn(), 0u);
}

// Drops --------------------------------------------------------------------------------------

namespace {

struct DropCase
{
    char const* name;
    double modelY;
    Qt::KeyboardModifiers keys;
    // x, y and z after the drop: layer index, row, start.
    std::vector<DragDoc::Spot> spots;
    std::size_t layers;
    // w's row: a new top row moves the events in view down.
    int wRow = 1;
};

struct Drops : Drags, testing::WithParamInterface<DropCase>
{};

// 50 seconds later unless Shift is held.
DropCase const DropCases[] = {
    {"OnARow", 2.5, {}, {{0, 0, 150}, {0, 1, 350}, {1, 0, 550}}, 2},
    {"OnARowWithShift", 2.5, Qt::ShiftModifier, {{0, 0, 100}, {0, 1, 300}, {1, 0, 500}}, 2},
    // Over a's first row the handful stays in the stack, as its ghosts do: as over a's second.
    {"OverTheTop", 1.5, {}, {{0, 0, 150}, {0, 1, 350}, {1, 0, 550}}, 2},
    // Over b's last row likewise: z lands in b's last row.
    {"OverTheBottom", 8.5, {}, {{0, 2, 150}, {1, 0, 350}, {1, 2, 550}}, 2},
    {"NewBottomRowInAGap", 4.3, Qt::ControlModifier, {{0, 2, 150}, {0, 3, 350}, {1, 1, 550}}, 2},
    // b's new bottom row takes y; z needs two more rows: a new bottom layer.
    {"NewBottomRowBelowAll", 9.15, Qt::ControlModifier, {{1, 2, 150}, {1, 3, 350}, {2, 1, 550}}, 3},
    {"NewTopRowInAGap", 5.7, Qt::ControlModifier, {{0, 2, 150}, {1, 0, 350}, {1, 2, 550}}, 2, 2},
    // a's new top row takes y; x needs a row above it: a new top layer.
    {"NewTopRowAboveAll", 0.8, Qt::ControlModifier, {{0, 0, 150}, {1, 0, 350}, {1, 2, 550}}, 3},
    {"NewLayerAfter", 4.85, Qt::ControlModifier, {{0, 2, 150}, {1, 0, 350}, {2, 1, 550}}, 3},
    {"NewLayerBefore", 5.15, Qt::ControlModifier, {{0, 2, 150}, {1, 0, 350}, {2, 1, 550}}, 3},
    // The new last layer grows the two rows z needs.
    {"NewLayerBelowAll", 9.5, Qt::ControlModifier, {{1, 2, 150}, {2, 0, 350}, {2, 2, 550}}, 3},
    // The new first layer grows the row x needs above y.
    {"NewLayerAboveAll", 0.2, Qt::ControlModifier, {{0, 0, 150}, {0, 1, 350}, {1, 1, 550}}, 3},
};

} // namespace

TEST_P(Drops, PutTheEventsWhereTheZoneSaysAndSelectThem)
{
    DropCase const& c = GetParam();
    auto drop = dragEvent(QEvent::GraphicsSceneDrop, pointerX, sceneY(c.modelY), drag->mimeData(),
                          Qt::MoveAction, c.keys);
    ASSERT_TRUE(handful->dropOn(anyLayerItem, drop.get()));
    EXPECT_TRUE(drop->isAccepted());
    EXPECT_EQ(drop->dropAction(), Qt::MoveAction);
    tl.restackLayers();
    EXPECT_EQ(spots(), c.spots);
    EXPECT_EQ(tl.getLayerHdls().size(), c.layers);
    EXPECT_EQ(ev(w)->getRowIndex(), c.wRow);
    for (Obh h : {x, y, z})
        EXPECT_TRUE(inTimeline(h));
    EXPECT_EQ(doc.selection.getSelection(), (std::set<Obh> {x, y, z}));
    EXPECT_TRUE(handful->myHeldHdls.empty()) << "nothing left to put back";
    EXPECT_TRUE(raised(tlObj::DirtEventsDroppedInRow));
}

INSTANTIATE_TEST_SUITE_P(Zones, Drops, testing::ValuesIn(DropCases),
                         [](auto const& info) { return std::string(info.param.name); });

// Ghosts against landings -----------------------------------------------------------------------

namespace {

// Where an event goes, in terms that outlive the drop: a row that was there before it (its
// layer, 'a' or 'b', and row), the new row the zone makes ('n'), or the k-th row to be made above
// ('^') or below ('v') the stack.
struct Where
{
    char kind = '?';
    char layer = '-';
    int row = 0;
    bool operator==(Where const&) const = default;
};

void PrintTo(Where const& w, std::ostream* os)
{
    *os << w.kind << ' ' << w.layer << ' ' << w.row;
}

struct LandingCase
{
    char const* name;
    double modelY;
    bool zoning;
};

void PrintTo(LandingCase const& c, std::ostream* os)
{
    *os << c.name;
}

// The drag of x, y and z over a stack whose every row holds a mark: an event at 900 s that the
// drag leaves alone, by which the row is known wherever the drop moves it.
struct Landings : Drags, testing::WithParamInterface<LandingCase>
{
    // Each mark's layer and row before the drop.
    std::map<Obh, std::pair<char, int>> marks;

    Landings()
    {
        for (char l : {'a', 'b'})
            for (int row = 0; row < 3; ++row)
                marks[at(900, 20, row, named(l))] = {l, row};
    }
    Obh named(char l) const { return l == 'a' ? a : b; }
    Obh markOf(char l, int row) const
    {
        for (auto const& [mark, was] : marks)
            if (was == std::pair(l, row))
                return mark;
        return Obh();
    }
    int stackRow(Obh h) const
    {
        mEvent const* e = ev(h);
        return layerIfAny(e->getLayerHdl())->getStackRowIndex() +
               static_cast<int>(std::floor(e->getRowIndex()));
    }
    // What an event's ghost shows, read off where it stands in the scene, before the drop.
    Where ghost(Obh h) const
    {
        ctHandfulEventsQt::Ghost const& rec = ghostOf(h);
        if (!rec.inRow) {
            double const top = layer(a)->getSceneY();
            double const bottom = std::ceil(layer(b)->getSceneY() + layer(b)->getSceneH());
            if (rec.y < top)
                return {'^', '-', static_cast<int>((top - rec.y) / 2)};
            return {'v', '-', static_cast<int>((rec.y - bottom) / 2) + 1};
        }
        for (auto const& [mark, was] : marks) {
            double const rowTop = sceneY(layer(named(was.first))->getModelY() + was.second);
            if (std::abs(rec.y - rowTop) < 1e-6 && std::abs(rec.h - 30) < 1e-6)
                return {'r', was.first, was.second};
        }
        return {'n'};
    }
    // Where an event landed, after the drop.
    Where landing(Obh h) const
    {
        for (auto const& [mark, was] : marks)
            if (ev(mark)->getLayerHdl() == ev(h)->getLayerHdl() &&
                std::floor(ev(mark)->getRowIndex()) == std::floor(ev(h)->getRowIndex()))
                return {'r', was.first, was.second};
        int const s = stackRow(h);
        if (s == stackRow(y))
            return {'n'};
        int const first = stackRow(markOf('a', 0)), last = stackRow(markOf('b', 2));
        if (s < first)
            return {'^', '-', first - s};
        if (s > last)
            return {'v', '-', s - last};
        return {};
    }
};

// Over the first and the last rows of the stack, in every zone and in the gaps without the
// zoning key.
LandingCase const LandingCases[] = {
    {"IntoARow", 2.5, false},
    {"IntoTheFirstRow", 1.5, false},
    {"IntoTheLastRow", 8.5, false},
    {"NewLayerAboveAll", 0.2, true},
    {"NewTopRowAboveAll", 0.8, true},
    {"NewBottomRowInAGap", 4.3, true},
    {"NewLayerAfter", 4.85, true},
    {"NewLayerBefore", 5.15, true},
    {"NewTopRowInAGap", 5.7, true},
    {"NewBottomRowBelowAll", 9.15, true},
    {"NewLayerBelowAll", 9.5, true},
    {"NewLayerPastTheRows", 15, true},
    {"GapWithoutTheKey", 4.3, false},
    {"AboveAllWithoutTheKey", 0.2, false},
    {"BelowAllWithoutTheKey", 9.5, false},
};

} // namespace

TEST_P(Landings, AreWhereTheGhostsStood)
{
    LandingCase const& c = GetParam();
    Qt::KeyboardModifiers const keys = c.zoning ? Qt::ControlModifier : Qt::NoModifier;
    ASSERT_TRUE(hover(c.modelY, keys));
    std::map<Obh, Where> shown;
    for (Obh h : {x, y, z})
        shown[h] = ghost(h);
    auto drop = dragEvent(QEvent::GraphicsSceneDrop, pointerX, sceneY(c.modelY), drag->mimeData(),
                          Qt::MoveAction, keys);
    ASSERT_TRUE(handful->dropOn(anyLayerItem, drop.get()));
    tl.restackLayers();
    for (Obh h : {x, y, z})
        EXPECT_EQ(landing(h), shown[h]) << ev(h)->getTitle().cs() << " of x, y, z";
}

INSTANTIATE_TEST_SUITE_P(Zones, Landings, testing::ValuesIn(LandingCases),
                         [](auto const& info) { return std::string(info.param.name); });

TEST_F(Undragged, RowsBetweenTheEventsStayInTheRowsMadeAboveTheStack)
{
    // x three rows above z, grabbed at z, into a new layer above a: x two rows above the
    // stack's row made for z, and the two rows between them made too.
    doc.selection.removeFromSelection(y);
    auto handful = pick(z);
    ASSERT_TRUE(handful);
    std::unique_ptr<QDrag> drag(handful->getQDrag());
    auto drop = dragEvent(QEvent::GraphicsSceneDrop, handful->myGrabSceneX, sceneY(0.2),
                          drag->mimeData(), Qt::MoveAction, Qt::ControlModifier);
    ASSERT_TRUE(handful->canDropOn(anyLayerItem, drop.get()));
    double const markX = handful->ghostOf(x)->y;
    EXPECT_EQ(markX, 30 - 2 * 4) << "the fourth row above the stack";
    ASSERT_TRUE(handful->dropOn(anyLayerItem, drop.get()));
    tl.restackLayers();
    EXPECT_EQ(spot(x), Spot(0, 0, 100));
    EXPECT_EQ(spot(z), Spot(0, 3, 500));
    EXPECT_EQ(layer(tl.getLayerHdls().front())->rowScale()->getMaxValue(), 4);
}

TEST_F(Drags, TheGuideMarksTheNewRowWhereTheZoneTableSays)
{
    double const q = 30.0 / 4; // a quarter row
    // Across the gap for a new layer, the label beside its middle; a quarter row below the gap
    // for a new top row, the label below it. (Above the gap for a new bottom row: the ghosts'
    // test.)
    for (double const modelY : {4.85, 5.7}) {
        SCOPED_TRACE(modelY);
        hover(modelY, Qt::ControlModifier);
        bool const across = handful->myZone == DropZone::NewLayerAfter;
        double const gapY = handful->myGapSceneY, end = gapY + handful->myGapSceneH;
        double const top = across ? (gapY + end) / 2 - 10 : end + 1;
        EXPECT_DOUBLE_EQ(handful->myGuideTop, top);
        EXPECT_DOUBLE_EQ(handful->myGuideBottom, top + 20);
        EXPECT_DOUBLE_EQ(handful->myGuideArrowY, across ? top + 10 : top);
        double const bandTop = across ? gapY : end, bandBottom = across ? end : end + q;
        EXPECT_EQ(ghostOf(y).y, std::floor(bandTop));
        EXPECT_EQ(ghostOf(y).h, std::ceil(bandBottom) - std::floor(bandTop));
    }
}

TEST_F(Drags, PressingOrReleasingAKeyAloneChangesWhatTheGhostsShow)
{
    hover(4.3, Qt::ControlModifier);
    EXPECT_EQ(handful->myZone, DropZone::NewBottomRow);
    hover(4.3);
    EXPECT_EQ(handful->myZone, DropZone::IntoRows);

    // Shift keeps the times: the ghosts go back above the events, and come along again.
    double sx = 0, sw = 0;
    ev(x)->getSceneVisTimeSpan(sx, sw);
    hover(2.5, Qt::ShiftModifier);
    EXPECT_EQ(ghostOf(x).x, sx);
    EXPECT_EQ(handful->myHoverShift, 0);
    hover(2.5);
    EXPECT_EQ(ghostOf(x).x, sx + 50);
    EXPECT_EQ(handful->myHoverShift, 50);
}

TEST_F(Undragged, ANewBottomRowBelowAllForOneEventAddsARowAndNoLayer)
{
    doc.selection.removeFromSelection(x);
    doc.selection.removeFromSelection(z);
    auto handful = pick(y);
    std::unique_ptr<QDrag> drag(handful->getQDrag());
    auto drop = dragEvent(QEvent::GraphicsSceneDrop, handful->myGrabSceneX, sceneY(9.15),
                          drag->mimeData(), Qt::MoveAction, Qt::ControlModifier);
    ASSERT_TRUE(handful->dropOn(anyLayerItem, drop.get()));
    EXPECT_EQ(tl.getLayerHdls().size(), 2u);
    EXPECT_EQ(spot(y), DragDoc::Spot(1, 3, 300));
    EXPECT_EQ(layer(b)->rowScale()->getMaxValue(), 4);
}

// A drop after a pass changed the stack ------------------------------------------------------

namespace {

// A layer as a drop may change it: its rows and where each of its events is (row, start).
struct LayerState
{
    Obh layer;
    double rowMin = 0, rowMax = 0;
    std::map<Obh, std::pair<double, double>> events;
    bool operator==(LayerState const&) const = default;
};

void PrintTo(LayerState const& l, std::ostream* os)
{
    *os << "rows [" << l.rowMin << ", " << l.rowMax << "), " << l.events.size() << " events";
}

std::vector<LayerState> stackOf(mTimeline const& tl)
{
    std::vector<LayerState> out;
    for (Obh const& h : tl.getLayerHdls()) {
        mLayer const* l = DragDoc::layer(h);
        LayerState state {h, l->rowScale()->getMinValue(), l->rowScale()->getMaxValue(), {}};
        for (Obh const& e : l->getEvents())
            state.events[e] = {DragDoc::ev(e)->getRowIndex(), DragDoc::ev(e)->getStartTime()};
        out.push_back(state);
    }
    return out;
}

// Layer hiding turned on with these layers hidden, and the pass that follows, as while the
// pointer rests in a drag.
void hideInAPass(DragDoc& d, std::initializer_list<Obh> layers)
{
    d.tl.setLayerHidingEnabled(true);
    for (Obh h : layers)
        DragDoc::layer(h)->setIsActive(false);
    d.doc.dirt.setDirty(tlObj::DirtLayerHidingChanged, true);
    d.doc.pass();
}

} // namespace

TEST_F(Undragged, ADropAfterAPassThatChangedTheStackLandsInTheStackAsItIsNow)
{
    // y and z, two rows apart, grabbed at y.
    doc.selection.removeFromSelection(x);
    auto handful = pick(y);
    ASSERT_TRUE(handful);
    std::unique_ptr<QDrag> drag(handful->getQDrag());
    double const px = handful->myGrabSceneX, py = sceneY(3.5);
    // Over a's last row: y would land there, z in b's second row.
    auto over = dragEvent(QEvent::GraphicsSceneDragMove, px, py, drag->mimeData());
    ASSERT_TRUE(handful->canDropOn(anyLayerItem, over.get()));
    // While the pointer rests, a pass hides a: b moves up, the pointer is over b's second row,
    // and b's three rows are the whole stack.
    hideInAPass(*this, {a});
    auto drop = dragEvent(QEvent::GraphicsSceneDrop, px, py, drag->mimeData());
    ASSERT_TRUE(handful->dropOn(anyLayerItem, drop.get()));
    tl.restackLayers();
    EXPECT_EQ(spot(y), Spot(1, 0, 300)) << "kept inside the stack, as over b's first row";
    EXPECT_EQ(spot(z), Spot(1, 2, 500));
    EXPECT_EQ(tl.getLayerHdls().size(), 2u) << "no layer made";
}

TEST_F(Drags, ADropWithNothingLeftToLandOnChangesNothing)
{
    // A new bottom row of b, then a pass hides every layer.
    ASSERT_TRUE(hover(9.15, Qt::ControlModifier));
    ASSERT_EQ(handful->myZone, DropZone::NewBottomRow);
    hideInAPass(*this, {a, b});
    std::vector<LayerState> const before = stackOf(tl);
    auto drop = dragEvent(QEvent::GraphicsSceneDrop, pointerX, sceneY(9.15), drag->mimeData(),
                          Qt::MoveAction, Qt::ControlModifier);
    EXPECT_FALSE(handful->dropOn(anyLayerItem, drop.get()));
    EXPECT_FALSE(drop->isAccepted());
    EXPECT_EQ(stackOf(tl), before);
    handful->returnEventsToOrigLocations();
    EXPECT_EQ(spots(), (std::vector<Spot> {{0, 2, 100}, {1, 0, 300}, {1, 2, 500}}));
}

TEST_F(Undragged, EventsLandInTheRowsTheirGhostsShowInALayerWhoseRowsBeginBelowZero)
{
    // A row above b's first: b's rows run from -1 to 2.
    at(900, 20, -1, b);
    sync();
    ASSERT_EQ(layer(b)->rowScale()->getMinValue(), -1);
    doc.selection.removeFromSelection(x);
    auto handful = pick(y);
    ASSERT_TRUE(handful);
    std::unique_ptr<QDrag> drag(handful->getQDrag());
    // Over b's first row, the one numbered -1.
    auto drop =
        dragEvent(QEvent::GraphicsSceneDrop, handful->myGrabSceneX, sceneY(6.5), drag->mimeData());
    ASSERT_TRUE(handful->canDropOn(anyLayerItem, drop.get()));
    EXPECT_DOUBLE_EQ(handful->ghostOf(y)->y, sceneY(6));
    ASSERT_TRUE(handful->dropOn(anyLayerItem, drop.get()));
    EXPECT_EQ(spot(y), Spot(1, -1, 300));
    EXPECT_EQ(spot(z), Spot(1, 1, 500));
}

// The end of a drag ------------------------------------------------------------------------------

namespace {

// What the stand-in for QDrag::exec plays while the drag runs; its answer ends the drag.
struct Ending
{
    char const* name;
    Qt::DropAction (*play)(DragDoc& d, QDrag& drag);
};

DragDoc* ourDoc = nullptr;
Ending const* ourEnding = nullptr;

Qt::DropAction playEnding(QDrag& drag, Qt::DropActions)
{
    return ourEnding->play(*ourDoc, drag);
}

// Sends a drag event of ours to the scene over the model row; whether the scene took it.
bool toScene(DragDoc& d, QDrag& drag, QEvent::Type type, double modelY,
             Qt::DropAction proposed = Qt::MoveAction)
{
    auto event = d.dragEvent(type, 600, d.sceneY(modelY), drag.mimeData(), proposed);
    QCoreApplication::sendEvent(&d.scene, event.get());
    return event->isAccepted();
}

Ending const Endings[] = {
    {"Cancelled",
     [](DragDoc& d, QDrag& drag) {
         EXPECT_TRUE(toScene(d, drag, QEvent::GraphicsSceneDragEnter, 2.5));
         EXPECT_TRUE(toScene(d, drag, QEvent::GraphicsSceneDragMove, 2.5));
         return Qt::IgnoreAction;
     }},
    {"CopyProposed",
     [](DragDoc& d, QDrag& drag) {
         toScene(d, drag, QEvent::GraphicsSceneDragEnter, 2.5, Qt::CopyAction);
         EXPECT_FALSE(toScene(d, drag, QEvent::GraphicsSceneDragMove, 2.5, Qt::CopyAction));
         EXPECT_FALSE(toScene(d, drag, QEvent::GraphicsSceneDrop, 2.5, Qt::CopyAction));
         return Qt::IgnoreAction;
     }},
    // The other program took a move: exec says Move, and still nothing of ours was dropped.
    {"DroppedOnAnotherProgram",
     [](DragDoc& d, QDrag& drag) {
         toScene(d, drag, QEvent::GraphicsSceneDragEnter, 2.5);
         toScene(d, drag, QEvent::GraphicsSceneDragLeave, 2.5);
         return Qt::MoveAction;
     }},
    {"DroppedOutside",
     [](DragDoc& d, QDrag& drag) {
         toScene(d, drag, QEvent::GraphicsSceneDragEnter, 2.5);
         toScene(d, drag, QEvent::GraphicsSceneDragMove, 9.5);
         toScene(d, drag, QEvent::GraphicsSceneDragLeave, 9.5);
         return Qt::IgnoreAction;
     }},
};

struct DragEnds : DragDoc, testing::WithParamInterface<Ending>
{
    ScratchDir dir;

    DragEnds()
    {
        ourDoc = this;
        ourEnding = &GetParam();
        ctHndQt::ourDragExec = &playEnding;
    }
    ~DragEnds() override
    {
        ctHndQt::ourDragExec = &ctHndQt::execDrag;
        ourDoc = nullptr;
    }
};

} // namespace

TEST_P(DragEnds, WithoutOurDropEveryEventGoesBackAndIsSavedThere)
{
    std::vector<Spot> const before = spots();
    ctHandfulEventsQt::drag(&source, ev(y)->giGet(), QPointF(10, 10));
    EXPECT_EQ(spots(), before);
    for (Obh h : {x, y, z})
        EXPECT_TRUE(inTimeline(h));
    EXPECT_EQ(doc.selection.getSelection(), (std::set<Obh> {x, y, z}));
    EXPECT_EQ(tlObj::ourHand.getHandful(), nullptr);
    EXPECT_EQ(tl.getLayerHdls().size(), 2u);

    // The document as saved holds them there.
    std::string const path = dir.file("doc.xml");
    ASSERT_TRUE(saveTimelineDoc(doc.cmp, path));
    TimelineTestDoc saved;
    std::string message;
    ASSERT_TRUE(loadTimelineDoc(saved.cmp, path, &message)) << message;
    ASSERT_TRUE(saved.cmp.resolveModel());
    EXPECT_EQ(spots(), before) << "the same slots in the document read back";
    EXPECT_EQ(saved.cmp.getCmpTimeline()->getEdb()->getEvents().size(), 4u);
}

INSTANTIATE_TEST_SUITE_P(Ways, DragEnds, testing::ValuesIn(Endings),
                         [](auto const& info) { return std::string(info.param.name); });

TEST_F(Undragged, AMoveOfOursLeavesTheEventsWhereTheyWereDropped)
{
    ourDoc = this;
    Ending const dropped {"", [](DragDoc& doc, QDrag& drag) {
                              auto event = doc.dragEvent(QEvent::GraphicsSceneDrop, 600 + 50,
                                                         doc.sceneY(2.5), drag.mimeData());
                              // As the layer item hands it on.
                              tlObj::ourHand.getHandfulQt()->dropOn(doc.anyLayerItem, event.get());
                              return event->dropAction();
                          }};
    ourEnding = &dropped;
    ctHndQt::ourDragExec = &playEnding;
    // Grabbed at x 600: the drop 50 pixels right moves the events 50 seconds.
    QPointF const grab = ev(y)->giGet()->mapFromScene(600, 0);
    EXPECT_EQ(ctHandfulEventsQt::drag(&source, ev(y)->giGet(), QPointF(grab.x(), 10)),
              Qt::MoveAction);
    ctHndQt::ourDragExec = &ctHndQt::execDrag;
    ourDoc = nullptr;
    EXPECT_EQ(spots(), (std::vector<DragDoc::Spot> {{0, 0, 150}, {0, 1, 350}, {1, 0, 550}}));
    EXPECT_EQ(tlObj::ourHand.getHandful(), nullptr);
}

TEST_F(Undragged, ARealDragCancelledWithEscapePutsEverythingBack)
{
    QTimer::singleShot(0, [] {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(qApp, &escape);
    });
    EXPECT_EQ(ctHandfulEventsQt::drag(&source, ev(y)->giGet(), QPointF(10, 10)), Qt::IgnoreAction);
    EXPECT_EQ(spots(), (std::vector<Spot> {{0, 2, 100}, {1, 0, 300}, {1, 2, 500}}));
}

// A handful of more events than the ghosts are drawn one by one for, of both layers and every
// kind (spans, instants, rows two high, a row between two whole ones, rows whose index was never
// built): the pick-up takes every one out, Escape puts every one back exactly where and as it was
// and selected as before, and a drop moves every one by the pointer's time and rows.
struct ManyDragged : DragDoc
{
    std::vector<Obh> many;
    std::set<Obh> selected;

    ManyDragged()
    {
        for (int i = 0; many.size() <= ctHandfulEventsQt::GhostBudget + 300; ++i) {
            Obh const in = i % 3 == 0 ? a : b;
            many.push_back(at(20 + i * 0.7, i % 5 == 0 ? 0 : 0.5 + i % 7, i % 3, in, i % 5 == 0));
            if (i % 11 == 0)
                ev(many.back())->setRowSize(2);
        }
        // Half a row down in its row: the fraction places it, the floor names the row.
        ev(many[4])->setRowIndex(1.5);
        sync();
        for (Obh h : many)
            doc.selection.addToSelection(h);
        doc.selection.addToSelection(a);
        selected = doc.selection.getSelection();
        many.insert(many.end(), {x, y, z, w});
    }
    // Everything an event is filed by: layer, row, height, start, length, kind.
    using Whole = std::tuple<int, double, double, double, double, bool>;
    std::vector<Whole> wholes()
    {
        std::vector<Whole> out;
        for (Obh h : many) {
            mEvent* e = ev(h);
            mLayer* l = layerIfAny(e->getLayerHdl());
            out.emplace_back(l ? l->getIndex() : -1, e->getRowIndex(), e->getRowSize(),
                             e->getStartTime(), e->getTimeLength(), e->getIsImpulse());
        }
        return out;
    }
    // Whether every layer's set, time index and row index hold exactly its events as filed.
    void expectFiled()
    {
        for (Obh lh : {a, b}) {
            mLayer* l = layer(lh);
            std::multiset<std::tuple<double, double, mEvent*>> events, indexed, rows;
            for (Obh h : l->getEvents()) {
                mTimeIndex::Extent const e = ev(h)->indexExtent();
                events.insert({e.lo, e.row, ev(h)});
                rows.insert({e.lo, e.row + 100 * e.rows, ev(h)});
            }
            l->timeIndex().forEach([&](mEvent* e) {
                indexed.insert({e->indexExtent().lo, e->getRowIndex(), e});
            });
            EXPECT_EQ(indexed, events);
            std::multiset<std::tuple<double, double, mEvent*>> inRows;
            for (auto& [key, row] : l->rowIndex().rows())
                for (auto const* list : {&row.spans(), &row.instants()})
                    for (mRowIndex::Entry const& e : *list)
                        inRows.insert({e.lo, key.row + 100 * key.size, e.ev});
            EXPECT_EQ(inRows, rows);
        }
    }
};

TEST_F(ManyDragged, EscapePutsEveryEventBackAsItWasAndSelectedAsBefore)
{
    layer(a)->rowIndex(); // b's is left to be built when first asked
    auto const before = wholes();
    auto handful = pick(y);
    ASSERT_TRUE(handful);
    std::unique_ptr<QDrag> drag(handful->getQDrag());
    for (Obh h : many)
        EXPECT_EQ(inTimeline(h), h == w) << "every selected one out";
    EXPECT_EQ(doc.selection.getSelection(), (std::set<Obh> {a}));
    handful->returnEventsToOrigLocations();
    EXPECT_EQ(wholes(), before);
    EXPECT_EQ(ev(many[4])->getRowIndex(), 1.5);
    for (Obh h : many)
        EXPECT_TRUE(inTimeline(h));
    EXPECT_EQ(doc.selection.getSelection(), selected);
    for (Obh h : many)
        EXPECT_EQ(doc.selection.isSelectedTest(h), h != w);
    expectFiled();
}

TEST_F(ManyDragged, ADropMovesEveryEventByThePointersTimeIntoItsWholeRow)
{
    auto const before = wholes();
    auto handful = pick(y);
    ASSERT_TRUE(handful);
    std::unique_ptr<QDrag> drag(handful->getQDrag());
    // Over y's row, 40 seconds later: the handful fills the stack, so each keeps its row.
    auto drop = dragEvent(QEvent::GraphicsSceneDrop, handful->myGrabSceneX + 40, sceneY(6.5),
                          drag->mimeData());
    ASSERT_TRUE(handful->canDropOn(anyLayerItem, drop.get()));
    ASSERT_TRUE(handful->dropOn(anyLayerItem, drop.get()));
    handful->returnEventsToOrigLocations();
    auto const after = wholes();
    for (std::size_t i = 0; i < many.size(); ++i) {
        auto [layerAt, row, size, start, length, instant] = before[i];
        if (many[i] == w)
            EXPECT_EQ(after[i], before[i]);
        else
            EXPECT_EQ(after[i], Whole(layerAt, std::floor(row), size, start + 40, length, instant));
        EXPECT_TRUE(inTimeline(many[i]));
        EXPECT_EQ(doc.selection.isSelectedTest(many[i]), many[i] != w);
    }
    EXPECT_EQ(doc.selection.getSelection().size(), many.size() - 1) << "the moved events alone";
    expectFiled();
}

// A few events out of layers of many: each taken out and put back by itself, the layers' spans
// known throughout (a pick-up or an Escape of a few must not walk the layers they leave).
struct FewOfMany : ManyDragged
{
    // many[300] of a, inside its rows and its times; y of b.
    FewOfMany()
    {
        doc.selection.clearSelection();
        doc.selection.addToSelection(many[300]);
        doc.selection.addToSelection(y);
    }
    // The spans of each layer as they are over its events now, those of `known` known since.
    void expectSpansRight(std::initializer_list<Obh> known)
    {
        for (Obh lh : {a, b}) {
            mLayer* l = layer(lh);
            if (std::find(known.begin(), known.end(), lh) != known.end()) {
                EXPECT_TRUE(l->mySpansValid);
            }
            double known[4], counted[4];
            l->getSpans(known[0], known[1], known[2], known[3], false);
            l->getSpans(counted[0], counted[1], counted[2], counted[3], true);
            EXPECT_EQ(std::vector<double>(known, known + 4),
                      std::vector<double>(counted, counted + 4));
        }
    }
};

TEST_F(FewOfMany, ArePickedUpAndPutBackOneByOneAndFiledAsTheyWere)
{
    layer(a)->rowIndex(); // b's is left to be built when first asked
    for (Obh lh : {a, b})
        layer(lh)->rebuildSpanCache(true);
    auto const before = wholes();
    auto handful = pick(y);
    ASSERT_TRUE(handful);
    std::unique_ptr<QDrag> drag(handful->getQDrag());
    EXPECT_FALSE(inTimeline(many[300]));
    EXPECT_FALSE(inTimeline(y));
    // many[300] shares its first row with others; y, the first row of b too, but b has no row
    // index to tell.
    expectSpansRight({a});
    expectFiled();
    handful->returnEventsToOrigLocations();
    EXPECT_EQ(wholes(), before);
    for (Obh h : many)
        EXPECT_TRUE(inTimeline(h));
    EXPECT_EQ(doc.selection.getSelection(), (std::set<Obh> {many[300], y}));
    expectFiled();
    expectSpansRight({a, b});
}

TEST_F(FewOfMany, ADropFilesThemWhereTheyLand)
{
    for (Obh lh : {a, b}) {
        layer(lh)->rowIndex();
        layer(lh)->rebuildSpanCache(true);
    }
    auto const before = wholes();
    auto handful = pick(y);
    ASSERT_TRUE(handful);
    std::unique_ptr<QDrag> drag(handful->getQDrag());
    auto drop = dragEvent(QEvent::GraphicsSceneDrop, handful->myGrabSceneX + 40, sceneY(6.5),
                          drag->mimeData());
    ASSERT_TRUE(handful->canDropOn(anyLayerItem, drop.get()));
    ASSERT_TRUE(handful->dropOn(anyLayerItem, drop.get()));
    auto const after = wholes();
    for (std::size_t i = 0; i < many.size(); ++i) {
        bool const moved = many[i] == y || many[i] == many[300];
        EXPECT_EQ(std::get<3>(after[i]), std::get<3>(before[i]) + (moved ? 40 : 0));
        EXPECT_TRUE(inTimeline(many[i]));
    }
    expectFiled();
    expectSpansRight({a, b});
}

// x is held by its layer, the event set and the selection under a handle with flags the program
// never writes (as a document could give it before such handles were refused), and is the first
// of the handful; y and z under their own, as their items are.
struct OddlyHeld : DragDoc
{
    Obh odd = x;

    OddlyHeld()
    {
        odd.myFlags = 3;
        doc.selection.clearSelection();
        tl.removeEvent(x);
        tl.addEvent(odd, 100, 2, a, true);
        sync();
        for (Obh h : {odd, y, z})
            doc.selection.addToSelection(h);
    }
    // Every handle each holder holds, flags and all, by holder.
    std::vector<std::vector<Obh>> held()
    {
        std::vector<std::vector<Obh>> out;
        for (Obh lh : {a, b})
            out.emplace_back(layer(lh)->getEvents().begin(), layer(lh)->getEvents().end());
        out.emplace_back(tl.getEdb()->getEvents().begin(), tl.getEdb()->getEvents().end());
        out.emplace_back(doc.selection.getSelection().begin(), doc.selection.getSelection().end());
        return out;
    }
    // The flags of each handle of a holder.
    static std::vector<std::uint64_t> flagsOf(std::vector<Obh> const& handles)
    {
        std::vector<std::uint64_t> out;
        for (Obh const& h : handles)
            out.push_back(h.myFlags);
        return out;
    }
};

TEST_F(OddlyHeld, TheGrabbedEventKeepsItsGhostAndGuide)
{
    auto handful = pick(y);
    ASSERT_TRUE(handful);
    std::unique_ptr<QDrag> drag(handful->getQDrag());
    ASSERT_NE(handful->recordOf(y), nullptr) << "asked by the grabbed item's handle";
    EXPECT_EQ(handful->recordOf(y)->myDsri, 0);
    EXPECT_EQ(handful->recordOf(x)->myDsri, -1);
    // In the gap under layer a with the zoning key: a zone that makes a row, with its label.
    auto event = dragEvent(QEvent::GraphicsSceneDragMove, handful->myGrabSceneX + 50, sceneY(4.3),
                           drag->mimeData(), Qt::MoveAction, ctHandfulEventsQt::ZoningKey);
    ASSERT_TRUE(handful->canDropOn(anyLayerItem, event.get()));
    EXPECT_NE(handful->ghostOf(y), nullptr);
    EXPECT_FALSE(handful->myLabelPolygon.empty());
}

TEST_F(OddlyHeld, EscapeGivesEveryHolderBackTheHandlesItHeld)
{
    auto const before = held();
    EXPECT_EQ(flagsOf(before[0]), (std::vector<std::uint64_t> {3}));
    auto handful = pick(y);
    ASSERT_TRUE(handful);
    std::unique_ptr<QDrag> drag(handful->getQDrag());
    handful->returnEventsToOrigLocations();
    auto const after = held();
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < before.size(); ++i) {
        EXPECT_EQ(after[i], before[i]) << "holder " << i;
        EXPECT_EQ(flagsOf(after[i]), flagsOf(before[i])) << "holder " << i;
    }
}

TEST_F(OddlyHeld, ADropKeepsEveryEventsOwnHandle)
{
    auto handful = pick(y);
    ASSERT_TRUE(handful);
    std::unique_ptr<QDrag> drag(handful->getQDrag());
    auto drop = dragEvent(QEvent::GraphicsSceneDrop, handful->myGrabSceneX + 40, sceneY(6.5),
                          drag->mimeData());
    ASSERT_TRUE(handful->canDropOn(anyLayerItem, drop.get()));
    ASSERT_TRUE(handful->dropOn(anyLayerItem, drop.get()));
    // x, y and z each once in the layers, the event set and the selection, with its own flags.
    std::map<unsigned, std::uint64_t> const own {
        {x.getAddr(), 3}, {y.getAddr(), 1}, {z.getAddr(), 1}};
    auto const after = held();
    for (std::size_t i = 0; i < after.size(); ++i) {
        for (Obh const& h : after[i]) {
            if (auto const found = own.find(h.getAddr()); found != own.end()) {
                EXPECT_EQ(h.myFlags, found->second) << "holder " << i << ", slot " << h.getAddr();
            }
        }
    }
}

namespace {

struct DatedCase
{
    char const* name;
    double pixels; // the pointer's way from the grab point, at 2e13 s a pixel
    double shift;  // the time every event moves by
};

// The view is the dated times, [-1e16, 1e16]: x, y and z start at 100, 300 and 500 s, z ends at
// 540 s, all in the view's middle.
struct DatedDrops : DragDoc, testing::WithParamInterface<DatedCase>
{
    DatedDrops()
    {
        layOut(-mScale::DatedSeconds, mScale::DatedSeconds);
        sync();
    }
};

double const Dated = mScale::DatedSeconds;
DatedCase const DatedCases[] = {
    {"WithinThem", 100, 2e15},
    {"RightToTheLast", 600, Dated - 540},
    {"LeftToTheFirst", -600, -Dated - 100},
    {"FarPastTheCalendarsYears", 5000, Dated - 540},
};

} // namespace

// A drop moves the whole handful as one, no farther than keeps every event within the dated
// times: the events keep their spacing, the ghosts stand where they land, and the document the
// drop leaves saves.
TEST_P(DatedDrops, KeepTheHandfulWithinTheDatedTimes)
{
    DatedCase const& c = GetParam();
    double sx = 0, sw = 0;
    ev(y)->getSceneVisTimeSpan(sx, sw);
    auto handful = pick(y);
    ASSERT_TRUE(handful);
    std::unique_ptr<QDrag> drag(handful->getQDrag());
    double const px = handful->myGrabSceneX + c.pixels, py = sceneY(6.5);
    auto hover = dragEvent(QEvent::GraphicsSceneDragMove, px, py, drag->mimeData());
    ASSERT_TRUE(handful->canDropOn(anyLayerItem, hover.get()));
    EXPECT_NEAR(handful->myHoverShift, c.shift, 4);
    EXPECT_NEAR(handful->ghostOf(y)->x - sx,
                ts.localToParent(300 + c.shift) - ts.localToParent(300), 1e-6)
        << "the ghost stands where the event lands";
    auto drop = dragEvent(QEvent::GraphicsSceneDrop, px, py, drag->mimeData());
    ASSERT_TRUE(handful->dropOn(anyLayerItem, drop.get()));
    handful.reset();
    for (auto [h, start] : {std::pair {x, 100.0}, {y, 300.0}, {z, 500.0}}) {
        EXPECT_NEAR(ev(h)->getStartTime(), start + c.shift, 4);
        EXPECT_GE(ev(h)->getStartTime(), -Dated);
        EXPECT_LE(ev(h)->getStartTime() + ev(h)->getTimeLength(), Dated);
    }
    EXPECT_NEAR(ev(z)->getStartTime() - ev(x)->getStartTime(), 400, 1) << "the spacing is kept";
    ScratchDir dir;
    EXPECT_TRUE(saveTimelineDoc(doc.cmp, dir.file("doc.xml")));
}

INSTANTIATE_TEST_SUITE_P(Shifts, DatedDrops, testing::ValuesIn(DatedCases),
                         [](auto const& info) { return std::string(info.param.name); });

// The hand and the guide ---------------------------------------------------------------------

TEST(Hand, RemembersOnlyTheLastPressAndStartsADragAtTheStartDistance)
{
    ctHndQt hand;
    int a = 0, b = 0;
    int const d = QApplication::startDragDistance();
    hand.registerMousePressQt(&a, QPointF(10, 10));
    hand.registerMousePressQt(&b, QPointF(10, 10));
    EXPECT_FALSE(hand.moveWasDragTestQt(&a, QPointF(90, 90)));
    EXPECT_TRUE(hand.moveWasDragTestQt(&b, QPointF(10 + d - 1, 11)));
    EXPECT_FALSE(hand.moveWasDragTestQt(&b, QPointF(10 + d - 2, 11)));
    hand.clearMousePresses(&a);
    EXPECT_FALSE(hand.moveWasDragTestQt(&b, QPointF(90, 90)));
}

namespace {

// A handful with both sides that drags nothing.
struct TwoSidedHandful : ctHandfulEvents, ctHandfulQt
{
    TwoSidedHandful() : ctHandfulEvents(Obh(), 0, 0), ctHandfulQt(nullptr, nullptr) {}
    QDrag* getQDrag() override { return nullptr; }
};

} // namespace

TEST(Hand, SaysWhetherItHoldsAHandfulOrNone)
{
    TimelineTestDoc doc;
    ctHndQt hand;
    TwoSidedHandful twoSided;
    ctHandfulEvents modelOnly(Obh(), 0, 0);
    struct Case
    {
        char const* what;
        std::function<void()> act;
        ctHandful* held;
        ctHandfulQt* heldQt;
        bool newDirt, clearDirt;
    } const cases[] = {
        {"a handful", [&] { hand.setHandful(&twoSided); }, &twoSided, &twoSided, true, false},
        {"none", [&] { hand.setHandful(nullptr); }, nullptr, nullptr, false, true},
        {"one without a Qt side", [&] { hand.setHandful(&modelOnly); }, &modelOnly, nullptr, true,
         false},
        {"cleared", [&] { hand.clearHandful(); }, nullptr, nullptr, false, true},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(c.what);
        hand.setHandful(&twoSided); // whatever it held before
        doc.dirt.clearAllDirt();
        c.act();
        EXPECT_EQ(hand.getHandful(), c.held);
        EXPECT_EQ(hand.getHandfulQt(), c.heldQt);
        EXPECT_EQ(doc.dirt.isDirty(tlObj::DirtNewHandful), c.newDirt);
        EXPECT_EQ(doc.dirt.isDirty(tlObj::DirtClearHandful), c.clearDirt);
    }
    hand.clearHandful();
}

TEST_F(Drags, TheSkinDrawsTheGuideOfTheDragInProgress)
{
    mSkin& skin = *doc.cmp.getCmpSkin();
    RecordingPainter p(0, 0, 1000, 600);
    hover(4.3, Qt::ControlModifier);
    skin.drawTimelineFg(p);
    EXPECT_TRUE(p.callsStartingWith("begin2dPolygon").empty()) << "no handful in the hand";

    tlObj::ourHand.setHandful(handful.get());
    skin.drawTimelineFg(p);
    EXPECT_THAT(p.calls(), Contains(HasSubstr("New bottom row")));
    EXPECT_THAT(p.calls(), Contains("setFillColorRgb8(0, 255, 0)"));
    EXPECT_EQ(p.callsStartingWith("draw2dGradientRectVert").size(), 3u)
        << "every ghost in a row is drawn as its event";

    p.clear();
    hover(9.5, Qt::ControlModifier);
    skin.drawTimelineFg(p);
    EXPECT_EQ(p.callsStartingWith("draw2dGradientRectVert").size(), 2u);
    EXPECT_EQ(p.callsStartingWith("draw2dLine(").size(), 3u) << "z's row is still to be made";
}
