#include "pTopLeft.h"

#include "mSkin.h"
#include "mTimeline.h"
#include "mTrace.h"
#include "tlCmp.h"
#include "tlStep.h"
#include "uiButton.h"
#include "uiToggle.h"

pTopLeft::pTopLeft(QWidget* parent, tlCmp* cmp) : pCorner(parent, cmp)
{
    myCollapseBtn = new uiButton(this, "-", 0, 0, 0.7f, 18);
    connect(myCollapseBtn, &uiButton::buttonPressed, this, &pTopLeft::btnCollapseCb);
    myNewLayerBtn = new uiButton(this, "+", 0, 0, 0.7f, 14);
    connect(myNewLayerBtn, &uiButton::buttonPressed, this, &pTopLeft::btnNewLayerCb);
    myHideToggle = new uiToggle(this, "H", 0, 0, 0.7f, 10);
    connect(myHideToggle, &uiToggle::toggleChanged, this, &pTopLeft::hideToggleCb);
    syncLayerControls();
    scheduleWithViews();
    show();
}

pTopLeft::~pTopLeft() = default;

void pTopLeft::syncLayerControls()
{
    mTimeline* tl = timeline();
    bool const controls = tl && tl->getShowLayerControls();
    myCollapseBtn->setVisible(controls);
    myNewLayerBtn->setVisible(controls);
    myHideToggle->setVisible(controls);
    // "H" shows the timeline's switch, however it was set (a document opened, another control).
    myHideToggle->setValue(tl && tl->getLayerHidingEnabled());
}

void pTopLeft::doLayout()
{
    int const w = width();
    int const y = height() - 15;
    myHideToggle->setGeometry(w - 45, y, 12, 12);
    myCollapseBtn->setGeometry(w - 30, y, 12, 12);
    myNewLayerBtn->setGeometry(w - 15, y, 12, 12);
}

void pTopLeft::refresh(aRefreshContext*)
{
    static tlStep syncControls("pTopLeft_syncLayerControls");
    static tlStep updateStep("pTopLeft_update");
    ObDirty* dirt = getDirtEngine();
    if (syncControls.needsCleaning(dirt, "pTopLeft"))
        syncLayerControls();
    if (updateStep.needsCleaning(dirt, "pTopLeft"))
        update();
}

void pTopLeft::paintEvent(QPaintEvent*)
{
    paintCorner(&mSkin::drawHeaderBg, float(height() - 1), 80);
}

void pTopLeft::btnCollapseCb(uiButton*)
{
    M_TRACE("Collapse\n");
    if (mTimeline* tl = timeline())
        tl->collapseLayers(true);
    raiseDirt(DirtLayerStackingInTimeline);
    requestRefresh();
}

void pTopLeft::btnNewLayerCb(uiButton*)
{
    M_TRACE("New Layer\n");
    if (ourCurrentCmp)
        ourCurrentCmp->newLayer();
    requestRefresh();
}

void pTopLeft::hideToggleCb(uiToggle*, bool value)
{
    M_TRACE("TOGGLE: %s\n", value ? "T" : "f");
    if (mTimeline* tl = timeline())
        tl->setLayerHidingEnabled(value);
    raiseDirt(DirtLayerHidingChanged);
    requestRefresh();
}
