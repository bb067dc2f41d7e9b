#include "pCtrls.h"

#include "ObApp.h"
#include "ObClassTypeOf.h"
#include "ObCmd.h"
#include "ObSelection.h"
#include "Painter.h"
#include "aAssert.h"
#include "aTs.h"
#include "cmdTimelineZoomToPreset_Days.h"
#include "cmdTimelineZoomToPreset_Hours.h"
#include "cmdTimelineZoomToPreset_Minutes.h"
#include "cmdTimelineZoomToPreset_Months.h"
#include "cmdTimelineZoomToPreset_Seconds.h"
#include "cmdTimelineZoomToPreset_Weeks.h"
#include "cmdTimelineZoomToPreset_Years.h"
#include "cmdViewLockTimeToNow.h"
#include "mEvent.h"
#include "mLayer.h"
#include "mScale.h"
#include "mSkin.h"
#include "mTimeline.h"
#include "mTrace.h"
#include "tlCmp.h"
#include "tlStep.h"
#include "tlUi.h"

#include <QPushButton>

#include <algorithm>
#include <set>

namespace {

struct ButtonDecl
{
    char const* label;
    void (pCtrls::*slot)();
};

// In the order of pCtrls::Button. The minutes and months buttons both read "M": their place in
// the row tells them apart.
constexpr ButtonDecl ourButtonDecls[pCtrls::ButtonCount] = {
    {"*", &pCtrls::btnNowCb},      {">", &pCtrls::btnFwdCb},      {"<", &pCtrls::btnRevCb},
    {"+", &pCtrls::btnUpCb},       {"-", &pCtrls::btnDownCb},     {"||", &pCtrls::btnZoomSelCb},
    {"S", &pCtrls::btnSecsCb},     {"M", &pCtrls::btnMinsCb},     {"H", &pCtrls::btnHoursCb},
    {"D", &pCtrls::btnDaysCb},     {"W", &pCtrls::btnWeeksCb},    {"M", &pCtrls::btnMonthsCb},
    {"Y", &pCtrls::btnYearsCb},
};

constexpr pCtrls::Button ourUnitRow[] = {pCtrls::Secs,  pCtrls::Mins,   pCtrls::Hours,
                                         pCtrls::Days,  pCtrls::Weeks,  pCtrls::Months,
                                         pCtrls::Years};

char const* const ourStyle = "QPushButton { background: #777; border-radius: 1px; } "
                             "QPushButton:hover { background: #999; } "
                             "QPushButton:pressed { background: #666; }";

// The buttons that run a menu command, as the menus do: lock to now and the zoom presets.
struct ButtonCmd
{
    pCtrls::Button button;
    ObCmd* cmd;
};

ButtonCmd const ourButtonCmds[] = {
    {pCtrls::Now, &cmdViewLockTimeToNow::ourInstance},
    {pCtrls::Secs, &cmdTimelineZoomToPreset_Seconds::ourInstance},
    {pCtrls::Mins, &cmdTimelineZoomToPreset_Minutes::ourInstance},
    {pCtrls::Hours, &cmdTimelineZoomToPreset_Hours::ourInstance},
    {pCtrls::Days, &cmdTimelineZoomToPreset_Days::ourInstance},
    {pCtrls::Weeks, &cmdTimelineZoomToPreset_Weeks::ourInstance},
    {pCtrls::Months, &cmdTimelineZoomToPreset_Months::ourInstance},
    {pCtrls::Years, &cmdTimelineZoomToPreset_Years::ourInstance},
};

ObCmd* commandOf(pCtrls::Button b)
{
    for (ButtonCmd const& c : ourButtonCmds)
        if (c.button == b)
            return c.cmd;
    return nullptr;
}

} // namespace

pCtrls::pCtrls(QWidget* parent, tlCmp* cmp, tlUi* ui)
    : pPane(parent, cmp), myTlUi(ui ? ui : (cmp ? cmp->getUi() : nullptr))
{
    for (int k = 0; k < ButtonCount; ++k) {
        auto* b = new QPushButton(this);
        b->setText(ourButtonDecls[k].label);
        // A click must leave the keyboard with the window (Space opens the editor there).
        b->setFocusPolicy(Qt::NoFocus);
        myButtons[k] = b;
    }
    setStyleSheet(ourStyle);
    for (int k = 0; k < ButtonCount; ++k) {
        bool const wide = k <= ZoomSel;
        myButtons[k]->resize(wide ? myWideW : myBtnSize, myBtnSize);
        connect(myButtons[k], &QPushButton::clicked, this, ourButtonDecls[k].slot);
    }
    for (QPushButton* b : myButtons)
        b->show();
    show();
    scheduleWithViews();
}

pCtrls::~pCtrls() = default;

void pCtrls::sync()
{
    (void)timeScale();
}

void pCtrls::refresh(aRefreshContext*)
{
    static tlStep updateLabels("pCtrls_updateTimeRangeLabels");
    if (updateLabels.needsCleaning(getDirtEngine(), "pCtrls"))
        update();
}

void pCtrls::closeEvent(QEvent*)
{
    if (!testAttribute(Qt::WA_DeleteOnClose) || !myTlUi)
        return;
    myTlUi->forgetCtrls(this);
    myTlUi = nullptr;
}

void pCtrls::doLayout()
{
    int const s = myBtnSize;
    int const g = myGap;
    int const x0 = width() / 2 - (7 * s) / 2 - (6 * g) / 2;
    int const row1 = 10;
    for (int k = 0; k < 7; ++k) {
        QPushButton* b = myButtons[ourUnitRow[k]];
        int const x = x0 + k * (s + g);
        if (b->x() != x)
            b->move(x, row1);
    }
    int const narrow = 2 * s + g;
    int const middle = 3 * s + 2 * g;
    int const xRev = myButtons[Secs]->x();
    int const xNow = xRev + narrow + g;
    int const xFwd = xNow + middle + g;
    int const row2 = row1 + s + g;
    int const row3 = row2 + s + g;
    myButtons[Reverse]->setGeometry(xRev, row2, narrow, s);
    myButtons[Now]->setGeometry(xNow, row2, middle, s);
    myButtons[Forward]->setGeometry(xFwd, row2, narrow, s);
    myButtons[Down]->setGeometry(xRev, row3, narrow, s);
    myButtons[ZoomSel]->setGeometry(xNow, row3, middle, s);
    myButtons[Up]->setGeometry(xFwd, row3, narrow, s);
}

void pCtrls::paintEvent(QPaintEvent*)
{
    paintWithSkin([this](Painter& p, mSkin& look) {
        float const w = float(width());
        float const h = float(height());
        p.setFillColorRgb8(150, 150, 150);
        p.setLineColorRgb8(80, 80, 80);
        p.draw2dOutlinedFilledRect(0, 0, w, h);
        p.set2dGeometry(0, 0, w, h);
        look.drawCtrlPanel(p);
    });
}

void pCtrls::run(ObCmd* cmd)
{
    if (!cmd)
        return;
    if (ObApp::ourApp)
        ObApp::ourApp->runCmd(cmd);
    else
        cmd->cmdAction();
}

void pCtrls::nudge(bool forward)
{
    mScale* scale = timeScale();
    if (!scale)
        return;
    M_TRACE("OLD RANGE: %s --> %s\n", scale->getVisStart().getStr(false).c(),
            scale->getVisEnd().getStr(false).c());
    if (forward)
        scale->nudgeVisibleWindowForward(0.4);
    else
        scale->nudgeVisibleWindowBackward(0.4);
    M_TRACE("NEW RANGE: %s --> %s\n", scale->getVisStart().getStr(false).c(),
            scale->getVisEnd().getStr(false).c());
    raiseDirt(DirtTimeScalePan);
    requestRefresh();
}

void pCtrls::zoomStep(bool in)
{
    mScale* scale = timeScale();
    if (!scale)
        return;
    if (in)
        scale->zoomIn();
    else
        scale->zoomOut();
    raiseDirt(DirtTimeScaleZoom);
    requestRefresh();
}

void pCtrls::btnNowCb()
{
    run(commandOf(Now));
}

void pCtrls::btnFwdCb()
{
    nudge(true);
}

void pCtrls::btnRevCb()
{
    nudge(false);
}

void pCtrls::btnUpCb()
{
    zoomStep(true);
}

void pCtrls::btnDownCb()
{
    zoomStep(false);
}

void pCtrls::btnZoomSelCb()
{
    mTimeline* tl = timeline();
    mScale* scale = timeScale();
    if (!tl || !scale)
        return;
    if (scale->selectionType() != 0) {
        // The scale's second flag raises the zoom, its first the pan: a span sets both, a point
        // (centred on at the same zoom) only the second.
        bool first = false, second = false;
        scale->zoomToLocalSelection(first, second);
        if (second)
            raiseDirt(DirtTimeScaleZoom);
        if (first)
            raiseDirt(DirtTimeScalePan);
        requestRefresh();
        return;
    }
    ObSelection* selection = getSelectionEngine();
    if (!selection)
        return;
    // The window moves and changes its zoom: the views must be told, or they go on drawing the
    // events where they were.
    auto zoomTo = [&](aTs start, aTs end) {
        scale->zoomToLocalRange(start, end, 1.0f);
        raiseDirt(DirtTimeScaleZoom);
        raiseDirt(DirtTimeScalePan);
        requestRefresh();
    };
    std::set<Obh> events;
    selection->getSelectedItemsOfType(ourType_mEvent, events);
    if (!events.empty()) {
        aTs start, end;
        tl->getTimeSpanOfSelectedEvents(start, end);
        zoomTo(start, end);
        return;
    }
    std::set<Obh> layers;
    selection->getSelectedItemsOfType(ourType_mLayer, layers);
    bool any = false;
    double lo = 0, hi = 0;
    for (Obh h : layers) {
        auto* layer = dynamic_cast<mLayer*>(h.obj());
        A_ASSERT(layer);
        if (layer->getEvents().empty())
            continue;
        double start = 0, end = 0, minRi = 0, maxRi = 0;
        layer->getSpans(start, end, minRi, maxRi, false);
        lo = any ? std::min(lo, start) : start;
        hi = any ? std::max(hi, end) : end;
        any = true;
    }
    // Selected layers that hold no event give no range: nothing to zoom to.
    if (!any)
        return;
    zoomTo(aTs(lo), aTs(hi));
}

void pCtrls::btnSecsCb()
{
    run(commandOf(Secs));
}

void pCtrls::btnMinsCb()
{
    run(commandOf(Mins));
}

void pCtrls::btnHoursCb()
{
    run(commandOf(Hours));
}

void pCtrls::btnDaysCb()
{
    run(commandOf(Days));
}

void pCtrls::btnWeeksCb()
{
    run(commandOf(Weeks));
}

void pCtrls::btnMonthsCb()
{
    run(commandOf(Months));
}

void pCtrls::btnYearsCb()
{
    run(commandOf(Years));
}
