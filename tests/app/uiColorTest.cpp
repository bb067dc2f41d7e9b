#include "uiColor.h"
#include "uiColorDraw.h"
#include "uiHs.h"
#include "uiOpacity.h"
#include "uiSwatch.h"
#include "uiVal.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <vector>

using testing::ElementsAre;

namespace {

using Rgba = std::array<int, 4>;

void mouse(QWidget& w, QEvent::Type type, QPointF at)
{
    Qt::MouseButtons const held = type == QEvent::MouseButtonRelease ? Qt::NoButton
                                                                     : Qt::LeftButton;
    QMouseEvent event(type, at, w.mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}

void click(QWidget& w, QPointF at)
{
    mouse(w, QEvent::MouseButtonPress, at);
    mouse(w, QEvent::MouseButtonRelease, at);
}

Rgba rgba(uiColor const& picker)
{
    Rgba c {};
    picker.getColor(c[0], c[1], c[2], c[3]);
    return c;
}

// Every colour the picker announces, as 8-bit components.
struct Heard : QObject
{
    Q_OBJECT

public:
    std::vector<Rgba> colours;
    void changed(float h, float s, float v, float a)
    {
        Rgba c {};
        uiColorDraw::toRgba8(h, s, v, a, c[0], c[1], c[2], c[3]);
        colours.push_back(c);
    }
};

// The picker as the editors size it, shown so that its children are laid out.
struct Picker
{
    Picker() : picker(nullptr, 0, 0, 1, 1, 12)
    {
        picker.resize(190, 70);
        picker.show();
        QObject::connect(&picker, &uiColor::colorChanged, &heard, &Heard::changed);
    }
    uiColor picker;
    Heard heard;
};

} // namespace

TEST(uiColorTest, EightBitColoursReadBackUnchangedUntilEdited)
{
    Picker p;
    for (int grey = 0; grey < 256; ++grey) {
        p.picker.setColor(grey, grey, grey, 255 - grey);
        EXPECT_EQ(rgba(p.picker), (Rgba {grey, grey, grey, 255 - grey}));
        float h, s, v, a;
        p.picker.getColor(h, s, v, a);
        EXPECT_EQ(h, 0.0f) << "a grey has no hue";
        EXPECT_EQ(s, 0.0f);
    }

    std::mt19937 random(20240101);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int k = 0; k < 1000; ++k) {
        Rgba const given {byte(random), byte(random), byte(random), byte(random)};
        p.picker.setColor(given[0], given[1], given[2], given[3]);
        ASSERT_EQ(rgba(p.picker), given);
        // The last-colour swatch takes the colour back the same way.
        p.picker.setLastColor(0, 0, 0, 0);
        p.picker.setColor(0.3f, 0.4f, 0.5f, 0.6f);
        mouse(*p.picker.getLastSwatch(), QEvent::MouseButtonRelease, {2, 2});
        ASSERT_EQ(rgba(p.picker), given);
    }
}

TEST(uiColorTest, EveryChangeIsAnnouncedOnceWithTheWholeColour)
{
    Picker p;
    p.picker.setColor(200, 0, 0, 128);
    EXPECT_THAT(p.heard.colours, ElementsAre(Rgba {200, 0, 0, 128}));

    // Dragging to the top of the value bar: full value, hue and saturation kept.
    p.heard.colours.clear();
    uiVal& valueBar = *p.picker.getValueBar();
    mouse(valueBar, QEvent::MouseButtonPress, {5, -40});
    EXPECT_THAT(p.heard.colours, ElementsAre(Rgba {255, 0, 0, 128}));

    p.heard.colours.clear();
    uiOpacity& opacityBar = *p.picker.getOpacityBar();
    mouse(opacityBar, QEvent::MouseButtonPress, {5, opacityBar.height() + 40.0});
    EXPECT_THAT(p.heard.colours, ElementsAre(Rgba {255, 0, 0, 0}));

    // A click on the current swatch announces the colour it shows.
    p.heard.colours.clear();
    click(*p.picker.getSwatch(), {2, 2});
    EXPECT_THAT(p.heard.colours, ElementsAre(Rgba {255, 0, 0, 0}));
}

TEST(uiColorTest, LastSwatchRestoresTheColourTheEditorGave)
{
    Picker p;
    p.picker.setColor(10, 200, 30, 255);
    p.picker.setLastColor(10, 200, 30, 255);
    uiHs& field = *p.picker.getHsField();
    mouse(field, QEvent::MouseButtonPress, {10, 10});
    mouse(field, QEvent::MouseMove, {30, 12});
    mouse(*p.picker.getValueBar(), QEvent::MouseButtonPress, {5, 30});
    ASSERT_NE(rgba(p.picker), (Rgba {10, 200, 30, 255}));

    p.heard.colours.clear();
    click(*p.picker.getLastSwatch(), {2, 2});
    EXPECT_EQ(rgba(p.picker), (Rgba {10, 200, 30, 255}));
    EXPECT_THAT(p.heard.colours, ElementsAre(Rgba {10, 200, 30, 255}));
}

TEST(uiColorTest, FieldPicksTheColourDrawnUnderItsMarker)
{
    Picker p;
    uiHs& field = *p.picker.getHsField();
    ASSERT_EQ(field.size(), QSize(68, 68));
    // The wheel: 64 pixels across from (2, 2), its centre at (34, 34).
    QPointF const centre(34, 34);
    struct Case
    {
        QPointF offset;
        float hue;
    };
    // Hue 0 to the right, growing counter-clockwise on the screen.
    Case const cases[] = {{{20, 0}, 0.0f}, {{0, -20}, 0.25f}, {{-20, 0}, 0.5f},
                          {{0, 20}, 0.75f}, {{14, -14}, 0.125f}};
    for (Case const& c : cases) {
        // The pick is 3 pixels up and left of the pointer.
        mouse(field, QEvent::MouseButtonPress, centre + c.offset + QPointF(3, 3));
        EXPECT_NEAR(std::fmod(field.getHue(), 1.0f), c.hue, 0.01f) << c.hue;
        EXPECT_NEAR(field.getSat(), std::hypot(c.offset.x(), c.offset.y()) / 32, 0.01f);
        QPoint const marker = field.getMarker();
        EXPECT_NEAR(marker.x(), centre.x() + c.offset.x(), 1) << c.hue;
        EXPECT_NEAR(marker.y(), centre.y() + c.offset.y(), 1) << c.hue;

        // The wheel shows the picked colour where the marker stands (its centre is not drawn).
        QColor const shown = field.grab().toImage().pixelColor(marker);
        QColor const picked = uiColorDraw::toQColor(field.getHue(), field.getSat(), 1, 1);
        EXPECT_NEAR(shown.red(), picked.red(), 16) << c.hue;
        EXPECT_NEAR(shown.green(), picked.green(), 16) << c.hue;
        EXPECT_NEAR(shown.blue(), picked.blue(), 16) << c.hue;
    }
}

TEST(uiColorTest, DraggingOutsideTheWheelKeepsTheMarkerWhiteOnTheRim)
{
    Picker p;
    uiHs& field = *p.picker.getHsField();
    mouse(field, QEvent::MouseButtonPress, {34 + 3, 34 + 3});
    mouse(field, QEvent::MouseMove, {200 + 3, 34 + 3});
    EXPECT_EQ(field.getSat(), 1.0f);
    QPoint const marker = field.getMarker();
    EXPECT_NEAR(marker.x(), 34 + 32, 1);
    EXPECT_EQ(field.grab().toImage().pixelColor(marker + QPoint(-1, -1)), QColor(Qt::white));

    mouse(field, QEvent::MouseButtonRelease, {34 + 3 + 10, 34 + 3});
    EXPECT_LT(field.getSat(), 1.0f);
    EXPECT_EQ(field.grab().toImage().pixelColor(field.getMarker() + QPoint(-1, -1)),
              QColor(Qt::black));
}

TEST(uiColorTest, BarsStopAtTheirEndsAndAreNotSetBackByTheirOwnDrag)
{
    Picker p;
    p.picker.setColor(0.5f, 1.0f, 0.5f, 0.5f);
    uiVal& valueBar = *p.picker.getValueBar();
    ASSERT_EQ(valueBar.height(), 56);
    mouse(valueBar, QEvent::MouseButtonPress, {5, 14});
    EXPECT_FLOAT_EQ(valueBar.barValue(), 0.75f);
    mouse(valueBar, QEvent::MouseMove, {5, 500});
    EXPECT_EQ(valueBar.barValue(), 0.0f);
    mouse(valueBar, QEvent::MouseButtonRelease, {5, -500});
    EXPECT_EQ(valueBar.barValue(), 1.0f);
    float h, s, v, a;
    p.picker.getColor(h, s, v, a);
    EXPECT_EQ(v, 1.0f);
    EXPECT_EQ(h, 0.5f) << "the value bar leaves hue and saturation alone";

    uiOpacity& opacityBar = *p.picker.getOpacityBar();
    mouse(opacityBar, QEvent::MouseButtonPress, {5, 42});
    EXPECT_FLOAT_EQ(opacityBar.barValue(), 0.25f);
    p.picker.getColor(h, s, v, a);
    EXPECT_FLOAT_EQ(a, 0.25f);
}

TEST(uiColorTest, TransparentColoursShowTheCheckerboardTheValueBarStaysOpaque)
{
    Picker p;
    p.picker.setColor(255, 0, 0, 0);
    QImage const swatch = p.picker.getSwatch()->grab().toImage();
    EXPECT_EQ(swatch.pixelColor(0, 0), QColor(200, 200, 200)) << "the frame";
    EXPECT_EQ(swatch.pixelColor(3, 3), QColor(Qt::black));
    EXPECT_EQ(swatch.pixelColor(7, 3), QColor(Qt::white));
    EXPECT_EQ(swatch.pixelColor(7, 7), QColor(Qt::black));

    p.picker.setColor(255, 0, 0, 255);
    EXPECT_EQ(p.picker.getSwatch()->grab().toImage().pixelColor(7, 3), QColor(255, 0, 0));

    // The opacity bar runs from the opaque colour at the top to transparent at the bottom.
    QImage const opacity = p.picker.getOpacityBar()->grab().toImage();
    EXPECT_EQ(opacity.pixelColor(12, 3), QColor(255, 0, 0));
    int const low = opacity.height() - 6;
    EXPECT_GT(std::abs(opacity.pixelColor(2, low).green() - opacity.pixelColor(7, low).green()),
              150)
        << "black and white cells show through near the bottom";

    QImage const value = p.picker.getValueBar()->grab().toImage();
    EXPECT_EQ(value.pixelColor(12, 3).alpha(), 255);
    EXPECT_EQ(value.pixelColor(12, 3).red(), value.pixelColor(14, 3).red()) << "no checkerboard";
}

TEST(uiColorTest, ChildrenAreLaidOutBySwatchesBarsAndField)
{
    Picker p;
    EXPECT_EQ(p.picker.getSwatch()->geometry(), QRect(1, 8, 25, 24));
    EXPECT_EQ(p.picker.getLastSwatch()->geometry(), QRect(1, 40, 25, 24));
    EXPECT_EQ(p.picker.getValueBar()->geometry(), QRect(35, 8, 25, 56));
    EXPECT_EQ(p.picker.getHsField()->geometry(), QRect(64, 1, 68, 68));
    EXPECT_EQ(p.picker.getOpacityBar()->geometry(), QRect(137, 8, 25, 56));
}

#include "uiColorTest.moc"
