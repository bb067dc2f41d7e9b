#include "uiButton.h"
#include "uiToggle.h"

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QMouseEvent>
#include <QResizeEvent>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using testing::ElementsAre;

namespace {

// A press, release or double click of a mouse button at a point of the widget, as Qt delivers it.
void mouse(QWidget& w, QEvent::Type type, Qt::MouseButton button, QPointF at = {5, 5})
{
    Qt::MouseButtons const held = type == QEvent::MouseButtonRelease ? Qt::NoButton : button;
    QMouseEvent event(type, at, w.mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(&w, &event);
}

void hover(QWidget& w, bool in)
{
    if (in) {
        QEnterEvent event(QPointF(5, 5), QPointF(5, 5), w.mapToGlobal(QPointF(5, 5)));
        QApplication::sendEvent(&w, &event);
    } else {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(&w, &event);
    }
}

QColor pixel(QWidget& w, int x, int y)
{
    return w.grab().toImage().pixelColor(x, y);
}

struct Toggles : QObject
{
    Q_OBJECT

public:
    std::vector<std::pair<uiToggle*, bool>> seen;
    void changed(uiToggle* t, bool v) { seen.emplace_back(t, v); }
};

struct Presses : QObject
{
    Q_OBJECT

public:
    std::vector<uiButton*> seen;
    void pressed(uiButton* b) { seen.push_back(b); }
};

} // namespace

TEST(uiWidgetKitTest, ToggleFlipsOnEveryLeftPressAndSignalsTheNewValue)
{
    uiToggle toggle(nullptr, "H", 0.5f, 1, 1, 10);
    Toggles heard;
    QObject::connect(&toggle, &uiToggle::toggleChanged, &heard, &Toggles::changed);
    mouse(toggle, QEvent::MouseButtonPress, Qt::LeftButton);
    mouse(toggle, QEvent::MouseButtonRelease, Qt::LeftButton);
    mouse(toggle, QEvent::MouseButtonPress, Qt::RightButton);
    mouse(toggle, QEvent::MouseButtonPress, Qt::LeftButton);
    EXPECT_THAT(heard.seen,
                ElementsAre(std::make_pair(&toggle, true), std::make_pair(&toggle, false)));

    // A double click is a press, a release and a second press: it flips twice.
    heard.seen.clear();
    mouse(toggle, QEvent::MouseButtonPress, Qt::LeftButton);
    mouse(toggle, QEvent::MouseButtonRelease, Qt::LeftButton);
    mouse(toggle, QEvent::MouseButtonDblClick, Qt::LeftButton);
    EXPECT_THAT(heard.seen,
                ElementsAre(std::make_pair(&toggle, true), std::make_pair(&toggle, false)));
    EXPECT_FALSE(toggle.getValue());

    heard.seen.clear();
    toggle.setValue(true);
    EXPECT_TRUE(toggle.getValue());
    EXPECT_TRUE(heard.seen.empty()) << "showing a state signals nothing";
}

TEST(uiWidgetKitTest, ToggleIsOutlinedInItsColourDimmedUnlessThePointerIsOver)
{
    uiToggle toggle(nullptr, "H", 0.5f, 1, 1, 10);
    toggle.resize(30, 16);
    EXPECT_EQ(pixel(toggle, 0, 8), QColor(0, 204, 204, 255));
    hover(toggle, true);
    EXPECT_TRUE(toggle.hovered());
    EXPECT_EQ(pixel(toggle, 0, 8), QColor(0, 255, 255, 255));
    hover(toggle, false);
    EXPECT_FALSE(toggle.hovered());

    uiControl::Look const off = uiControl::look(0.5f, 1, 1, false, false);
    EXPECT_EQ(off.text, QColor(0, 255, 255, 255)) << "the label is never dimmed";
    EXPECT_EQ(off.fill.alpha(), 0);

    // On: filled in its colour, a half-transparent white outline, a black label.
    toggle.setValue(true);
    EXPECT_EQ(pixel(toggle, 2, 2), QColor(0, 204, 204, 255));
    uiControl::Look const on = uiControl::look(0.5f, 1, 1, true, true);
    EXPECT_EQ(on.outline, QColor(255, 255, 255, 127));
    EXPECT_EQ(on.text, QColor(0, 0, 0, 255));
}

TEST(uiWidgetKitTest, ButtonActsOnThePressAndLooksPressedUntilTheRelease)
{
    uiButton button(nullptr, "+", 0, 1, 1, 10);
    button.resize(40, 20);
    Presses heard;
    QObject::connect(&button, &uiButton::buttonPressed, &heard, &Presses::pressed);
    mouse(button, QEvent::MouseButtonPress, Qt::LeftButton);
    EXPECT_THAT(heard.seen, ElementsAre(&button));
    EXPECT_TRUE(button.isPressed());
    EXPECT_EQ(pixel(button, 2, 2), QColor(204, 0, 0, 255));
    mouse(button, QEvent::MouseButtonRelease, Qt::LeftButton, {300, 300});
    EXPECT_THAT(heard.seen, ElementsAre(&button)) << "released away from it: nothing more";
    EXPECT_FALSE(button.isPressed());
    EXPECT_EQ(pixel(button, 39, 19), QColor(204, 0, 0, 255)) << "the box ends one pixel inside";

    mouse(button, QEvent::MouseButtonPress, Qt::RightButton);
    EXPECT_EQ(heard.seen.size(), 1u);
    mouse(button, QEvent::MouseButtonPress, Qt::LeftButton);
    mouse(button, QEvent::MouseButtonRelease, Qt::LeftButton);
    mouse(button, QEvent::MouseButtonDblClick, Qt::LeftButton);
    EXPECT_EQ(heard.seen.size(), 3u) << "a double click presses twice";
}

namespace {

struct CountedPane : uiWin
{
    Q_OBJECT

public:
    using uiWin::uiWin;
    int layouts = 0;
    void doLayout() override { ++layouts; }
};

} // namespace

TEST(uiWidgetKitTest, EveryResizeLaysTheWidgetOutOnce)
{
    CountedPane pane(nullptr);
    QResizeEvent first(QSize(100, 50), QSize(0, 0));
    QApplication::sendEvent(&pane, &first);
    EXPECT_EQ(pane.layouts, 1);
    QResizeEvent second(QSize(120, 50), QSize(100, 50));
    QApplication::sendEvent(&pane, &second);
    EXPECT_EQ(pane.layouts, 2);
    EXPECT_EQ(pane.myCmp, nullptr) << "a pane works for the current component";
}

TEST(uiWidgetKitTest, GeometryDumpIndentsEachLevelByFourInChildOrder)
{
    QWidget window;
    uiWin pane(&window);
    pane.setGeometry(0, 0, 600, 400);
    QWidget first(&pane);
    first.setGeometry(0, 30, 600, 20);
    uiWin second(&pane);
    second.setGeometry(10, 60, 100, 40);
    second.hide();
    QWidget third(&second);
    third.setGeometry(1, 2, 3, 4);
    window.show();

    testing::internal::CaptureStdout();
    pane.dumpGeom(0);
    std::string const out = testing::internal::GetCapturedStdout();
    std::vector<std::string> lines;
    for (size_t at = 0, end; (end = out.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(out.substr(at, end - at));
    ASSERT_EQ(lines.size(), 4u) << out;
    std::string const panes[] = {
        "uiWin 600 x 400 from ( 0, 0 ) to ( 600, 400 ) shown=YES, vis=YES",
        "QWidget 600 x 20 from ( 0, 30 ) to ( 600, 50 ) shown=YES, vis=YES",
        "uiWin 100 x 40 from ( 10, 60 ) to ( 110, 100 ) shown=no, vis=no",
        // Not hidden itself, but not visible under a hidden parent.
        "QWidget 3 x 4 from ( 1, 2 ) to ( 4, 6 ) shown=YES, vis=no"};
    size_t const depth[] = {0, 1, 1, 2};
    size_t const base = lines[0].find(panes[0]);
    ASSERT_NE(base, std::string::npos) << lines[0];
    for (size_t k = 0; k < 4; ++k)
        EXPECT_EQ(lines[k].find(panes[k]), base + 4 * depth[k]) << lines[k];
}

#include "uiWidgetKitTest.moc"
