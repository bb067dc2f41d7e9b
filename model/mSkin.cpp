#include "mSkin.h"

#include "aAssert.h"
#include "mAttrLimits.h"
#include "mScale.h"
#include "mTimeline.h"
#include "tlUnits.h"

namespace {

using L = mAttrLimits;

mAttrLimits::Range const SkinLimits[] = {
    {"labelFontSize", 0, L::FontSizeHi},
    {"sceneXScale", 1, 1000},
    {"sceneYScale", 1, 1000},
    {"panelBg*", L::ColorLo, L::ColorHi},
    {"ctrlsLabelColor*", L::ColorLo, L::ColorHi},
    {"timelineBg*", L::ColorLo, L::ColorHi},
    {"timelineFg*", L::ColorLo, L::ColorHi},
    {"lineColor*", L::ColorLo, L::ColorHi},
    {"timelineTopHeaderLabel*", L::ColorLo, L::ColorHi},
    {"timelineSelectionH", 0, L::PixelsHi},
    {"timelineTopHeaderH", 0, L::PixelsHi},
    {"timelineLeftHeaderW", 0, L::PixelsHi},
    {"timelineTopRowPadH", 0, L::PixelsHi},
};

} // namespace

mSkin::mSkin()
{
    startFresh();
}

mSkin::~mSkin() = default;

void mSkin::startFresh()
{
    setSceneXScale(1);
    setSceneYScale(1);
    endContext();
}

void mSkin::initObj()
{
    resetAttrs();
    startFresh();
    mSkinData::initObj();
}

void mSkin::clearObj()
{
    endContext();
    mSkinData::clearObj();
}

void mSkin::recycleObj()
{
    endContext();
    mSkinData::recycleObj();
}

bool mSkin::xmlReadStartElement(XmlReader& r, char const* name, int attrCount)
{
    if (!mAttrLimits::accept(r, *this, name, SkinLimits))
        return true;
    return mSkinData::xmlReadStartElement(r, name, attrCount);
}

void mSkin::beginContext(mTimeline* timeline, bool horiz)
{
    A_ASSERT(!myTimeline);
    // No timeline (no current component, say): there is nothing to draw, no context opens.
    mScale* scale = timeline ? timeline->timeScale() : nullptr;
    if (!scale)
        return;
    myTimeline = timeline;
    myScale = scale;
    tlUnits* units = myScale->getUnits();
    myAllRanges = *units->getRanges();
    myVisRanges = *myScale->getVisRanges();
    myZoom = myScale->getZoom();
    myHorizFlag = horiz;
    myScale->getLocalSpan(myVisStart, myVisEnd);
    myRangeSetups = units->getRangeSetupsForZoom(myZoom);
    myCurRangeSetup = nullptr;
}

void mSkin::endContext()
{
    myTimeline = nullptr;
    myScale = nullptr;
    myAllRanges.clear();
    myVisRanges.clear();
    myRangeSetups = nullptr;
    myCurRangeSetup = nullptr;
}

void mSkin::drawBg(Painter&) const
{
}

void mSkin::drawHeaderFg(Painter&) const
{
}
