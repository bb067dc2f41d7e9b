#include "tlObj.h"

#include "Aa.h"
#include "ObClassTypeOf.h"
#include "ObDirty.h"
#include "Painter.h"
#include "aAssert.h"
#include "aRefresher.h"
#include "aTs.h"
#include "ctHandfulQt.h"
#include "ctHndQt.h"
#include "mEvent.h"
#include "mLayer.h"
#include "mScale.h"
#include "mSkin.h"
#include "mTimeline.h"
#include "tlCmp.h"

#include <cmath>
#include <cstdio>
#include <cstring>

tlCmp* tlObj::ourCurrentCmp = nullptr;
ctHndQt tlObj::ourHand;

namespace {

// The skin draws the guide of the drag in progress through this, knowing nothing of handfuls.
void drawHandfulGuide(Painter& painter)
{
    if (ctHandfulQt* handful = tlObj::ourHand.getHandfulQt())
        handful->drawSceneGuide(painter);
}

struct GuideHook
{
    GuideHook() { mSkin::ourSceneGuide = &drawHandfulGuide; }
} const guideHook;

} // namespace

ObClassTypeOf<mScale>* tlObj::ourType_mScale = nullptr;
ObClassTypeOf<mTimeline>* tlObj::ourType_mTimeline = nullptr;
ObClassTypeOf<mLayer>* tlObj::ourType_mLayer = nullptr;
ObClassTypeOf<mSkin>* tlObj::ourType_mSkin = nullptr;
ObClassTypeOf<mEvent>* tlObj::ourType_mEvent = nullptr;
ObClassTypeOf<mPlSample>* tlObj::ourType_mPlSample = nullptr;

uint32_t tlObj::DirtSelection = 0;
uint32_t tlObj::DirtScene = 0;
uint32_t tlObj::DirtReset = 0;
uint32_t tlObj::DirtTick = 0;
uint32_t tlObj::DirtLayerStackingInTimeline = 0;
uint32_t tlObj::DirtActiveEvents = 0;
uint32_t tlObj::DirtLayerTimeScale = 0;
uint32_t tlObj::DirtNumRowsInLayer = 0;
uint32_t tlObj::DirtUserEditedAttrs = 0;
uint32_t tlObj::DirtTrans = 0;
uint32_t tlObj::DirtTimeScalePanToNow = 0;
uint32_t tlObj::DirtTimeScaleLockToNowChanged = 0;
uint32_t tlObj::DirtTimeScaleZoom = 0;
uint32_t tlObj::DirtTimeScalePan = 0;
uint32_t tlObj::DirtLayout = 0;
uint32_t tlObj::DirtEventsDroppedInRow = 0;
uint32_t tlObj::DirtActiveLayers = 0;
uint32_t tlObj::DirtEventSetInLayer = 0;
uint32_t tlObj::DirtNewEvent = 0;
uint32_t tlObj::DirtSelectionByTimeDisabled = 0;
uint32_t tlObj::DirtTimeSelectionChanged = 0;
uint32_t tlObj::DirtRubberBandSelectionStart = 0;
uint32_t tlObj::DirtLayerHidingChanged = 0;
uint32_t tlObj::DirtEventWasDeleted = 0;
uint32_t tlObj::DirtEventColorChanged = 0;
uint32_t tlObj::DirtLayerColorChanged = 0;
uint32_t tlObj::DirtDocNameChanged = 0;
uint32_t tlObj::DirtDocJustSynced = 0;
uint32_t tlObj::DirtDocFileChange = 0;
uint32_t tlObj::DirtLayerHeaderBgClicked = 0;
uint32_t tlObj::DirtLayerHeaderClicked = 0;
uint32_t tlObj::DirtRowScalePan = 0;
uint32_t tlObj::DirtRowScaleZoom = 0;
uint32_t tlObj::DirtLayerControlVisibility = 0;
uint32_t tlObj::DirtNewHandful = 0;
uint32_t tlObj::DirtClearHandful = 0;
uint32_t tlObj::DirtTimelineWindowShown = 0;
uint32_t tlObj::DirtDocLoaded = 0;

namespace {

#define TL_DIRT(name)                                                                              \
    tlObj::DirtDecl                                                                                \
    {                                                                                              \
#name, &tlObj::name                                                                        \
    }

// The order of declaration fixes the numbers: every document's engine hands out the same ones,
// and the refresh steps keep the numbers of their first pass.
tlObj::DirtDecl const DirtDecls[] = {
    TL_DIRT(DirtSelection),
    TL_DIRT(DirtScene),
    TL_DIRT(DirtReset),
    TL_DIRT(DirtTick),
    TL_DIRT(DirtLayerStackingInTimeline),
    TL_DIRT(DirtActiveEvents),
    TL_DIRT(DirtLayerTimeScale),
    TL_DIRT(DirtNumRowsInLayer),
    TL_DIRT(DirtUserEditedAttrs),
    TL_DIRT(DirtTrans),
    TL_DIRT(DirtTimeScalePanToNow),
    TL_DIRT(DirtTimeScaleLockToNowChanged),
    TL_DIRT(DirtTimeScaleZoom),
    TL_DIRT(DirtTimeScalePan),
    TL_DIRT(DirtLayout),
    TL_DIRT(DirtEventsDroppedInRow),
    TL_DIRT(DirtActiveLayers),
    TL_DIRT(DirtEventSetInLayer),
    TL_DIRT(DirtNewEvent),
    TL_DIRT(DirtSelectionByTimeDisabled),
    TL_DIRT(DirtTimeSelectionChanged),
    TL_DIRT(DirtRubberBandSelectionStart),
    TL_DIRT(DirtLayerHidingChanged),
    TL_DIRT(DirtEventWasDeleted),
    TL_DIRT(DirtEventColorChanged),
    TL_DIRT(DirtLayerColorChanged),
    TL_DIRT(DirtDocNameChanged),
    TL_DIRT(DirtDocJustSynced),
    TL_DIRT(DirtDocFileChange),
    TL_DIRT(DirtLayerHeaderBgClicked),
    TL_DIRT(DirtLayerHeaderClicked),
    TL_DIRT(DirtRowScalePan),
    TL_DIRT(DirtRowScaleZoom),
    TL_DIRT(DirtLayerControlVisibility),
    TL_DIRT(DirtNewHandful),
    TL_DIRT(DirtClearHandful),
    TL_DIRT(DirtTimelineWindowShown),
    TL_DIRT(DirtDocLoaded),
};

#undef TL_DIRT

} // namespace

tlObj::tlObj() = default;

tlObj::~tlObj() = default;

std::span<tlObj::DirtDecl const> tlObj::dirtDecls()
{
    return DirtDecls;
}

uint32_t* tlObj::dirtIdNamed(char const* name)
{
    if (!name)
        return nullptr;
    for (DirtDecl const& d : DirtDecls)
        if (std::strcmp(d.name, name) == 0 || std::strcmp(d.name + 4, name) == 0)
            return d.id;
    return nullptr;
}

void tlObj::declareDirtIds(ObDirty& dirt)
{
    for (DirtDecl const& d : DirtDecls)
        *d.id = dirt.newDirtId(d.name);
}

tlCmp* tlObj::getCmp() const
{
    return myCmp ? myCmp : ourCurrentCmp;
}

tlUi* tlObj::getUi() const
{
    tlCmp* cmp = getCmp();
    return cmp ? cmp->getUi() : nullptr;
}

mSkin* tlObj::getSkin() const
{
    tlCmp* cmp = getCmp();
    return cmp ? cmp->getCmpSkin() : nullptr;
}

mTimeline* tlObj::getTimeline() const
{
    tlCmp* cmp = getCmp();
    return cmp ? cmp->getCmpTimeline() : nullptr;
}

ObEngine* tlObj::getDataEngine() const
{
    tlCmp* cmp = getCmp();
    return cmp ? cmp->getCmpDataEngine() : nullptr;
}

ObDirty* tlObj::getDirtEngine() const
{
    tlCmp* cmp = getCmp();
    return cmp ? cmp->getCmpDirtEngine() : nullptr;
}

aStateEngine* tlObj::getStateEngine() const
{
    tlCmp* cmp = getCmp();
    return cmp ? cmp->getCmpStateEngine() : nullptr;
}

aRefresher* tlObj::getRefreshEngine() const
{
    tlCmp* cmp = getCmp();
    return cmp ? cmp->getCmpRefreshEngine() : nullptr;
}

ObSelection* tlObj::getSelectionEngine() const
{
    tlCmp* cmp = getCmp();
    return cmp ? cmp->getCmpSelectionEngine() : nullptr;
}

mScale* tlObj::getTimelineTimeScale() const
{
    mTimeline* tl = getTimeline();
    return tl ? tl->timeScale() : nullptr;
}

mScale* tlObj::getTimelinePerpScale() const
{
    mTimeline* tl = getTimeline();
    return tl ? tl->perpScale() : nullptr;
}

mLayer* tlObj::layerOf(Obh const& h)
{
    return ourType_mLayer ? ourType_mLayer->ptrFromFile(h) : nullptr;
}

mEvent* tlObj::eventOf(Obh const& h)
{
    return ourType_mEvent ? ourType_mEvent->ptrFromFile(h) : nullptr;
}

void tlObj::raiseDirt(uint32_t id) const
{
    ObDirty* dirt = getDirtEngine();
    // Raised already: nothing to add (the engine would only trace it, once per event placed).
    if (dirt && id != ObDirty::INVALID_DIRT && !dirt->isDirty(id))
        dirt->setDirty(id, true);
}

void tlObj::requestRefresh() const
{
    if (aRefresher* refresher = getRefreshEngine())
        refresher->setNeedsRefresh(nullptr);
}

void tlObj::markDirtyItem(Obh const& h) const
{
    ObDirty* dirt = getDirtEngine();
    if (dirt && h.isValid() && !dirt->itemIsDirty(h))
        dirt->setDirtyItem(h);
}

void tlObj::traceHere(char const* file, int line)
{
    if (!Ob::ourTrace)
        return;
    std::printf("HERE %s - %s, line %i\n", "", Aa::filetail(file), line);
}

double tlObj::getSceneYScale() const
{
    mScale* perp = getTimelinePerpScale();
    return perp ? perp->getZoom() : 1.0;
}

bool tlObj::dimIntersects(double aStart, double aLength, double bStart, double bLength)
{
    if (aLength < 0.0) {
        aStart += aLength;
        aLength = -aLength;
    }
    if (bLength < 0.0) {
        bStart += bLength;
        bLength = -bLength;
    }
    if (bStart >= aStart)
        return aStart + aLength > bStart;
    return bStart + bLength > aStart;
}

void tlObj::getImpulseBeforeAfter(double t, double& before, double& after) const
{
    before = t;
    after = t;
    mScale* scale = getTimelineTimeScale();
    // A scale that maps nothing (no width, or a window of nothing) would put every instant at
    // the window's start: the instant keeps its own time.
    if (!scale || scale->getParentSize() <= 0 ||
        !(scale->getVisEnd().asSeconds() > scale->getVisStart().asSeconds()))
        return;
    double const x = scale->localToParent(t);
    before = scale->parentToLocal(x - ImpulseHalfWidth).asSeconds();
    after = scale->parentToLocal(x + ImpulseHalfWidth).asSeconds();
}
