#include "ObClassTypeOf.h"
#include "ObSelection.h"
#include "ViewsDoc.h"
#include "cmdTimelineZoomToPreset_Days.h"
#include "cmdTimelineZoomToPreset_Hours.h"
#include "cmdTimelineZoomToPreset_Minutes.h"
#include "cmdTimelineZoomToPreset_Months.h"
#include "cmdTimelineZoomToPreset_Seconds.h"
#include "cmdTimelineZoomToPreset_Weeks.h"
#include "cmdTimelineZoomToPreset_Years.h"
#include "mEvent.h"
#include "pCtrls.h"

#include <QPushButton>
#include <QStringList>
#include <gmock/gmock.h>

#include <vector>

namespace {

struct Ctrls : ViewsDoc
{
    QWidget window;
    pCtrls* ctrls = new pCtrls(&window, &doc.cmp, nullptr);

    Ctrls() { window.show(); }

    void click(pCtrls::Button b)
    {
        doc.dirt.clearAllDirt();
        ctrls->button(b)->click();
    }
};

QRect geometryOf(pCtrls& ctrls, pCtrls::Button b)
{
    return ctrls.button(b)->geometry();
}

} // namespace

TEST_F(Ctrls, LaysOutThreeRowsCentredInTheStrip)
{
    ctrls->resize(400, 80);
    ctrls->doLayout();
    std::vector<int> unitXs;
    for (pCtrls::Button b : {pCtrls::Secs, pCtrls::Mins, pCtrls::Hours, pCtrls::Days,
                             pCtrls::Weeks, pCtrls::Months, pCtrls::Years}) {
        EXPECT_EQ(ctrls->button(b)->y(), 10);
        EXPECT_EQ(ctrls->button(b)->size(), QSize(18, 18));
        unitXs.push_back(ctrls->button(b)->x());
    }
    EXPECT_THAT(unitXs, testing::ElementsAre(128, 149, 170, 191, 212, 233, 254));
    EXPECT_EQ(geometryOf(*ctrls, pCtrls::Reverse), QRect(128, 31, 39, 18));
    EXPECT_EQ(geometryOf(*ctrls, pCtrls::Now), QRect(170, 31, 60, 18));
    EXPECT_EQ(geometryOf(*ctrls, pCtrls::Forward), QRect(233, 31, 39, 18));
    EXPECT_EQ(geometryOf(*ctrls, pCtrls::Down), QRect(128, 52, 39, 18));
    EXPECT_EQ(geometryOf(*ctrls, pCtrls::ZoomSel), QRect(170, 52, 60, 18));
    EXPECT_EQ(geometryOf(*ctrls, pCtrls::Up), QRect(233, 52, 39, 18));

    ctrls->resize(600, 80); // the resize lays the strip out again
    EXPECT_EQ(ctrls->button(pCtrls::Secs)->x(), 228);
    EXPECT_EQ(geometryOf(*ctrls, pCtrls::Now), QRect(270, 31, 60, 18));
}

TEST_F(Ctrls, ButtonsLeaveTheKeyboardToTheWindow)
{
    for (int b = 0; b < pCtrls::ButtonCount; ++b)
        EXPECT_EQ(ctrls->button(pCtrls::Button(b))->focusPolicy(), Qt::NoFocus) << b;
}

TEST_F(Ctrls, NavigationButtonsPanAndZoomTheTimeAxis)
{
    show(10000, 400);
    click(pCtrls::Forward);
    EXPECT_DOUBLE_EQ(scale.getVisStart().asSeconds(), 10160); // 40 % of 400 s
    EXPECT_TRUE(raised(tlObj::DirtTimeScalePan));
    click(pCtrls::Reverse);
    EXPECT_DOUBLE_EQ(scale.getVisStart().asSeconds(), 10000);
    EXPECT_TRUE(raised(tlObj::DirtTimeScalePan));

    double const zoom = scale.getZoom();
    click(pCtrls::Up);
    EXPECT_LT(scale.getZoom(), zoom);
    EXPECT_TRUE(raised(tlObj::DirtTimeScaleZoom));
    EXPECT_FALSE(raised(tlObj::DirtTimeScalePan));
    click(pCtrls::Down);
    EXPECT_NEAR(scale.getZoom(), zoom, 1e-6 * zoom);
    EXPECT_TRUE(raised(tlObj::DirtTimeScaleZoom));
}

TEST_F(Ctrls, ZoomToSelectionTakesTheTimeSpanFirst)
{
    show(10000, 400);
    scale.localSelectAtParentSpan(100, 300);
    click(pCtrls::ZoomSel);
    EXPECT_NEAR(scale.getVisStart().asSeconds(), 10100, 1e-6);
    EXPECT_NEAR(scale.getVisEnd().asSeconds(), 10300, 1e-6);
    EXPECT_TRUE(raised(tlObj::DirtTimeScaleZoom));
    EXPECT_TRUE(raised(tlObj::DirtTimeScalePan));
}

TEST_F(Ctrls, ZoomToSelectionWithNothingToZoomToChangesNothing)
{
    show(10000, 400);
    click(pCtrls::ZoomSel);
    EXPECT_DOUBLE_EQ(scale.getVisStart().asSeconds(), 10000);
    EXPECT_DOUBLE_EQ(scale.getVisEnd().asSeconds(), 10400);

    // Selected layers without events: no range.
    Obh a = timeline.newLayer();
    Obh b = timeline.newLayer();
    doc.selection.addToSelection(a);
    doc.selection.addToSelection(b);
    click(pCtrls::ZoomSel);
    EXPECT_DOUBLE_EQ(scale.getVisStart().asSeconds(), 10000);
    EXPECT_DOUBLE_EQ(scale.getVisEnd().asSeconds(), 10400);
}

TEST_F(Ctrls, ZoomToSelectionTakesTheSelectedEventsThenTheSelectedLayers)
{
    show(0, 400);
    Obh first = timeline.newLayer();
    Obh second = timeline.newLayer();
    Obh empty = timeline.newLayer();
    auto span = [&](double start, double length, Obh layer) {
        Obh h = tlObj::ourType_mEvent->make();
        tlObj::ourType_mEvent->ptr(h)->setStartTime(start);
        tlObj::ourType_mEvent->ptr(h)->setTimeLength(length);
        timeline.addEvent(h, start, 0, layer, true);
        return h;
    };
    Obh a = span(1000, 100, first);
    Obh b = span(3000, 200, second);
    span(9000, 50, second);
    doc.selection.setSelection(a);
    doc.selection.addToSelection(b);
    click(pCtrls::ZoomSel);
    EXPECT_NEAR(scale.getVisStart().asSeconds(), 1000, 1e-6);
    EXPECT_NEAR(scale.getVisEnd().asSeconds(), 3200, 1e-6);

    // No time selection, no event: the hull of the selected layers that hold events.
    doc.selection.setSelection(first);
    doc.selection.addToSelection(second);
    doc.selection.addToSelection(empty);
    click(pCtrls::ZoomSel);
    EXPECT_NEAR(scale.getVisStart().asSeconds(), 1000, 1e-6);
    EXPECT_NEAR(scale.getVisEnd().asSeconds(), 9050, 1e-6);
}

TEST_F(Ctrls, UnitButtonsZoomToTheirPresetsAndTheNowButtonLocksToNow)
{
    show(10000, 400);
    std::pair<pCtrls::Button, double> const presets[] = {
        {pCtrls::Secs, cmdTimelineZoomToPreset_Seconds::ourInstance.zoom()},
        {pCtrls::Mins, cmdTimelineZoomToPreset_Minutes::ourInstance.zoom()},
        {pCtrls::Hours, cmdTimelineZoomToPreset_Hours::ourInstance.zoom()},
        {pCtrls::Days, cmdTimelineZoomToPreset_Days::ourInstance.zoom()},
        {pCtrls::Weeks, cmdTimelineZoomToPreset_Weeks::ourInstance.zoom()},
        {pCtrls::Months, cmdTimelineZoomToPreset_Months::ourInstance.zoom()},
        {pCtrls::Years, cmdTimelineZoomToPreset_Years::ourInstance.zoom()},
    };
    for (auto const& [button, zoom] : presets) {
        click(button);
        EXPECT_NEAR(scale.getZoom(), zoom, zoom * 0.5) << button << ", as the units quantise it";
        EXPECT_TRUE(raised(tlObj::DirtTimeScaleZoom)) << button;
    }
    click(pCtrls::Now);
    EXPECT_TRUE(timeline.getLockToNowFlag());
    click(pCtrls::Now);
    EXPECT_FALSE(timeline.getLockToNowFlag());
}

namespace {

// The strip's buttons as the user reads them, left to right in the order they were made.
QStringList textsOf(pCtrls& ctrls)
{
    QStringList texts;
    for (QPushButton* b : ctrls.findChildren<QPushButton*>(Qt::FindDirectChildrenOnly))
        texts << b->text();
    return texts;
}

// The nth button (from 0) that reads text.
QPushButton* buttonReading(pCtrls& ctrls, QString const& text, int nth = 0)
{
    for (QPushButton* b : ctrls.findChildren<QPushButton*>(Qt::FindDirectChildrenOnly))
        if (b->text() == text && nth-- == 0)
            return b;
    return nullptr;
}

} // namespace

TEST_F(Ctrls, EachButtonDoesWhatItsTextSays)
{
    EXPECT_EQ(textsOf(*ctrls),
              QStringList({"*", ">", "<", "+", "-", "||", "S", "M", "H", "D", "W", "M", "Y"}));
    struct
    {
        char const* text;
        int nth;
        double shift; // how far the window moved, in widths (a pan)
        double zoom;  // seconds per pixel afterwards (a preset), else 0
    } const cases[] = {
        {">", 0, 0.4, 0},   {"<", 0, -0.4, 0},  {"S", 0, 0, 0.1},
        {"M", 0, 0, 15},    {"H", 0, 0, 60},    {"D", 0, 0, 1440},
        {"W", 0, 0, 10080}, {"M", 1, 0, 40320}, {"Y", 0, 0, 525600},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(testing::Message() << c.text << " #" << c.nth);
        show(10000, 400);
        QPushButton* b = buttonReading(*ctrls, c.text, c.nth);
        ASSERT_NE(b, nullptr);
        double const start = scale.getVisStart().asSeconds();
        double const width = scale.getVisEnd().asSeconds() - start;
        b->click();
        if (c.zoom > 0) {
            EXPECT_DOUBLE_EQ(scale.getZoom(), c.zoom);
            EXPECT_TRUE(raised(tlObj::DirtTimeScaleZoom));
        } else {
            EXPECT_NEAR(scale.getVisStart().asSeconds() - start, c.shift * width, 1e-6);
            EXPECT_NEAR(scale.getVisEnd().asSeconds() - scale.getVisStart().asSeconds(), width,
                        1e-6);
            EXPECT_TRUE(raised(tlObj::DirtTimeScalePan));
        }
    }
    EXPECT_FALSE(timeline.getLockToNowFlag());
    buttonReading(*ctrls, "*")->click();
    EXPECT_TRUE(timeline.getLockToNowFlag());
}
