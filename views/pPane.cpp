#include "pPane.h"

#include "ObSelection.h"
#include "PainterQt.h"
#include "aRefresher.h"
#include "mSkin.h"
#include "mTimeline.h"
#include "tlCmp.h"

#include <QMouseEvent>
#include <QPainter>

pPane::pPane(QWidget* parent, tlCmp* cmp) : uiWin(parent), myTlCmp(cmp)
{
}

pPane::~pPane() = default;

mTimeline* pPane::timeline() const
{
    return myTlCmp ? myTlCmp->getCmpTimeline() : getTimeline();
}

mScale* pPane::timeScale() const
{
    mTimeline* tl = timeline();
    return tl ? tl->timeScale() : nullptr;
}

mSkin* pPane::skin() const
{
    return myTlCmp ? myTlCmp->getCmpSkin() : getSkin();
}

void pPane::paintWithSkin(std::function<void(Painter&, mSkin&)> const& draw)
{
    mTimeline* tl = timeline();
    mSkin* look = skin();
    if (!tl || !look || look->inContext())
        return;
    QPainter qp(this);
    PainterQt p(qp);
    p.set2dGeometry(0, 0, float(width()), float(height()));
    mSkin::Context context(*look, tl, true);
    draw(p, *look);
}

void pPane::scheduleWithViews()
{
    if (aRefresher* refresher = getRefreshEngine())
        refresher->schedule(static_cast<aRefreshable*>(this), LevelViews, nullptr);
}

void pPane::selectTimeline(QMouseEvent* event)
{
    if (ObSelection* selection = getSelectionEngine(); selection && myTlCmp)
        selection->setSelection(myTlCmp->getTimelineHdl());
    requestRefresh();
    update();
    event->accept();
}
