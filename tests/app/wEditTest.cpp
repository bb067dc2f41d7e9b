#include "wEdit.h"

#include "TimelineTestDoc.h"
#include "tlUi.h"

#include <QApplication>
#include <QBitmap>
#include <QImage>
#include <QKeyEvent>
#include <QPointer>
#include <QResizeEvent>
#include <gtest/gtest.h>

namespace {

constexpr int W = wEdit::ContentW;
constexpr int H = wEdit::ContentH;
QRect const ourScreen(0, 0, 1440, 900);

struct Placement
{
    int alignH, alignV, popX, popY, dist;

    // The tip of the EditPoint in screen coordinates.
    QPoint tip() const
    {
        if (alignH < 0)
            return {popX, popY + dist};
        if (alignH > 0)
            return {popX + W + 15, popY + dist};
        if (alignV < 0)
            return {popX + dist, popY};
        return {popX + dist, popY + H + 15};
    }
};

Placement place(QRect const& screen, QRect const& sel)
{
    Placement p {};
    wEdit::pickPopGeom(screen, W, H, sel.x(), sel.y(), sel.width(), sel.height(), p.alignH,
                       p.alignV, p.popX, p.popY, p.dist);
    return p;
}

} // namespace

TEST(wEditTest, BalloonGoesRightOfTheSelectionElseLeftElseAboveElseBelow)
{
    struct Case
    {
        char const* what;
        QRect sel;
        int alignH, alignV, popX, popY, dist;
        QPoint tip;
    };
    Case const cases[] = {
        {"right of it, tip level with its middle", {100, 300, 50, 20}, -1, 0, 155, 278, 32,
         {155, 310}},
        {"pushed up from the bottom, tip still level", {100, 800, 50, 20}, -1, 0, 155, 500, 310,
         {155, 810}},
        {"held 14 below the top, tip clear of the corner", {100, 5, 50, 10}, -1, 0, 155, 14, 32,
         {155, 46}},
        {"left of it when the right is too narrow", {1200, 300, 50, 20}, +1, 0, 905, 278, 32,
         {1195, 310}},
        {"above a selection as wide as the screen", {0, 600, 1440, 20}, 0, +1, 583, 180, 137,
         {720, 595}},
        {"below when there is no room above", {0, 200, 1440, 20}, 0, -1, 583, 225, 137,
         {720, 225}},
        {"above, held on the screen, tip clear of the corner", {-1140, 600, 2300, 20}, 0, +1, 0,
         180, 32, {32, 595}},
        {"centred without a point when nothing fits", {0, 0, 1440, 900}, 0, 0, 583, 250, 0,
         {}},
    };
    for (Case const& c : cases) {
        Placement const p = place(ourScreen, c.sel);
        EXPECT_EQ(p.alignH, c.alignH) << c.what;
        EXPECT_EQ(p.alignV, c.alignV) << c.what;
        EXPECT_EQ(QPoint(p.popX, p.popY), QPoint(c.popX, c.popY)) << c.what;
        EXPECT_EQ(p.dist, c.dist) << c.what;
        if (c.alignH || c.alignV) {
            EXPECT_EQ(p.tip(), c.tip) << c.what;
        }
    }
}

TEST(wEditTest, PlacementKeepsToAScreenAreaThatDoesNotStartAtTheOrigin)
{
    QRect const second(1440, 100, 1440, 900);
    Placement const p = place(second, {1540, 105, 50, 10});
    EXPECT_EQ(p.alignH, -1);
    EXPECT_EQ(QPoint(p.popX, p.popY), QPoint(1595, 114));
    EXPECT_EQ(p.dist, 32);

    Placement const centred = place(second, second);
    EXPECT_EQ(QPoint(centred.popX, centred.popY), QPoint(2160 - W / 2, 550 - H / 2));
}

TEST(wEditTest, OutlineAndContentRectangleFollowTheSideOfThePoint)
{
    struct Case
    {
        char const* what;
        int alignH, alignV;
        QSize net;
        QRect inset;
        QPointF inPoint;  // inside the EditPoint, outside the body
        QPointF besidePoint;  // beside the EditPoint, outside the balloon
    };
    int const dist = 100;
    Case const cases[] = {
        {"left", -1, 0, {290, 400}, {15, 0, 275, 400}, {5, dist}, {5, dist + 20}},
        {"right", +1, 0, {290, 400}, {0, 0, 275, 400}, {285, dist}, {285, dist + 20}},
        {"top", 0, -1, {275, 415}, {0, 15, 275, 400}, {dist, 5}, {dist + 20, 5}},
        {"bottom", 0, +1, {275, 415}, {0, 0, 275, 400}, {dist, 410}, {dist + 20, 410}},
    };
    for (Case const& c : cases) {
        int netW = 0, netH = 0;
        rtl::ref<QPainterPath> const path =
            wEdit::makePath(W, H, c.alignH, c.alignV, dist, netW, netH);
        ASSERT_NE(path.get(), nullptr) << c.what;
        EXPECT_EQ(QSize(netW, netH), c.net) << c.what;
        EXPECT_EQ(path.get()->boundingRect(), QRectF(QPointF(0, 0), QSizeF(c.net))) << c.what;
        EXPECT_TRUE(path.get()->contains(c.inPoint)) << c.what;
        EXPECT_FALSE(path.get()->contains(c.besidePoint)) << c.what;
        QPointF const bodyCorner = QPointF(c.inset.topLeft()) + QPointF(1, 1);
        EXPECT_FALSE(path.get()->contains(bodyCorner)) << c.what << ": corners are rounded";
        EXPECT_TRUE(path.get()->contains(QRectF(c.inset).center())) << c.what;
    }

    int netW = 0, netH = 0;
    rtl::ref<QPainterPath> const plain = wEdit::makePath(W, H, 0, 0, 0, netW, netH);
    EXPECT_EQ(QSize(netW, netH), QSize(W, H));
    EXPECT_EQ(plain.get()->boundingRect(), QRectF(0, 0, W, H));
    EXPECT_FALSE(plain.get()->contains(QPointF(1, 1)));
}

namespace {

struct Probe : wEdit
{
    Q_OBJECT

public:
    using wEdit::wEdit;
    int layouts = 0;
    void doLayout() override { ++layouts; }
};

} // namespace

TEST(wEditTest, ContentRectangleIsTheBodyBesideThePoint)
{
    QRect const screen = wEdit::popScreen();
    ASSERT_GT(screen.width(), 500);
    Probe editor(W, H, screen.x() + 100, screen.y() + 100, 50, 20);

    Placement expected {};
    wEdit::pickPopGeom(W, H, screen.x() + 100, screen.y() + 100, 50, 20, expected.alignH,
                       expected.alignV, expected.popX, expected.popY, expected.dist);
    EXPECT_EQ(editor.geometry(), QRect(expected.popX, expected.popY, W + 15, H));
    EXPECT_EQ(editor.getAlignH(), -1);
    EXPECT_EQ(editor.getInset(), QRect(15, 0, W, H));
    Qt::WindowFlags const flags = editor.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(editor.isWindow());

    // The window takes the balloon's shape: the point and the body, not the cut corners.
    QRegion const shape = editor.mask();
    EXPECT_TRUE(shape.contains(QPoint(5, expected.dist)));
    EXPECT_FALSE(shape.contains(QPoint(5, expected.dist + 30)));
    EXPECT_TRUE(shape.contains(QPoint(150, 200)));
    EXPECT_FALSE(shape.contains(QPoint(16, 0)));

    // A negative size stands for the window's own.
    editor.setInset(0, +1, -1, -1);
    EXPECT_EQ(editor.getInset(), QRect(0, 0, W + 15, H - 15));

    int const before = editor.layouts;
    QResizeEvent resized(QSize(W + 15, H), editor.size());
    QApplication::sendEvent(&editor, &resized);
    EXPECT_EQ(editor.getInset(), QRect(15, 0, W, H)) << "the inset follows the window";
    EXPECT_EQ(editor.layouts, before + 1);
}

TEST(wEditTest, BodyIsDarkerTowardsTheBottomInsideALightBorder)
{
    wEdit editor(W, H, 100, 100, 50, 20);
    QImage const picture = editor.grab().toImage();
    QColor const top = picture.pixelColor(150, 20);
    QColor const bottom = picture.pixelColor(150, H - 20);
    EXPECT_EQ(top.red(), top.blue()) << "grey";
    EXPECT_GT(top.red(), bottom.red());
    EXPECT_GE(top.red(), 20);
    EXPECT_LE(top.red(), 60);
    // The border runs along the top edge, inside the window.
    EXPECT_GT(picture.pixelColor(150, 0).red() + picture.pixelColor(150, 1).red(), 150);
}

namespace {

struct Counting : wEdit
{
    Q_OBJECT

public:
    using wEdit::wEdit;
    int saves = 0;
    void saveToModel() override { ++saves; }
};

} // namespace

TEST(wEditTest, SpaceSavesAndClosesTheOpenEditorOtherKeysGoOn)
{
    TimelineTestDoc doc;
    auto* editor = new Counting(W, H, 100, 100, 50, 20);
    QPointer<wEdit> alive = editor;
    tlUi::ourEditor = editor;

    QKeyEvent other(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, "a");
    QApplication::sendEvent(editor, &other);
    EXPECT_FALSE(other.isAccepted());
    EXPECT_EQ(tlUi::ourEditor, editor);

    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
    QApplication::sendEvent(editor, &space);
    EXPECT_TRUE(space.isAccepted());
    EXPECT_EQ(editor->saves, 1);
    EXPECT_EQ(tlUi::ourEditor, nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull()) << "the window deletes itself";
}

#include "wEditTest.moc"
