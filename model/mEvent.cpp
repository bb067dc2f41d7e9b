#include "mEvent.h"

#include "ObClassTypeOf.h"
#include "aAssert.h"
#include "aTs.h"
#include "mAttrLimits.h"
#include "mLayer.h"
#include "mScale.h"
#include "uiGi.h"

#include <limits>

namespace {

using L = mAttrLimits;

mAttrLimits::Range const EventLimits[] = {
    {"rowIndex", 0, L::RowsHi},
    {"rowSize", 0, L::RowsHi, true},
    {"timeLength", 0, std::numeric_limits<double>::max()},
    {"bgColor*", L::ColorLo, L::ColorHi},
    {"lineColor*", L::ColorLo, L::ColorHi},
    {"textColor*", L::ColorLo, L::ColorHi},
};

} // namespace

mEvent::mEvent() = default;

mEvent::~mEvent()
{
    giClear();
}

void mEvent::release()
{
    giClear();
    A_ASSERT(myGi == nullptr);
    myLayerHdl = Obh();
    myPayload = Obh();
}

void mEvent::initObj()
{
    resetAttrs();
    release();
    mEventData::initObj();
}

void mEvent::clearObj()
{
    release();
    mEventData::clearObj();
}

void mEvent::recycleObj()
{
    release();
    mEventData::recycleObj();
}

bool mEvent::xmlReadStartElement(XmlReader& r, char const* name, int attrCount)
{
    if (!mAttrLimits::accept(r, *this, name, EventLimits))
        return true;
    return mEventData::xmlReadStartElement(r, name, attrCount);
}

mLayer* mEvent::getLayer() const
{
    Obh h = myLayerHdl;
    if (!h.isValid() || !ourType_mLayer || h.getType() != ourType_mLayer)
        return nullptr;
    return ourType_mLayer->ptrFromFile(h);
}

double mEvent::sceneRows(mLayer const& layer, double s) const
{
    return layer.getVerticalScale() * (s / getSceneYScale());
}

bool mEvent::setRowIndex(double r)
{
    if (r == getRowIndex())
        return false;
    if (!mEventData::setRowIndex(r))
        return false;
    mLayer* layer = getLayer();
    if (giGet() && layer && layer->rowScale())
        giSetY(sceneRows(*layer, r - layer->rowScale()->getMinValue()));
    return true;
}

bool mEvent::setRowSize(double s)
{
    if (s == getRowSize())
        return false;
    if (!mEventData::setRowSize(s))
        return false;
    giBboxWillChange();
    if (giGet()) {
        // An item stands under its layer's item: without a layer there is no row height.
        if (mLayer* layer = getLayer())
            setSceneH(sceneRows(*layer, s));
    }
    return true;
}

void mEvent::getColor(int& r, int& g, int& b, int& a) const
{
    r = getBgColorR();
    g = getBgColorG();
    b = getBgColorB();
    a = getBgColorA();
}

rtl::str mEvent::desc() const
{
    mLayer const* layer = getLayer();
    int const index = layer ? layer->getIndex() : -1;
    rtl::str const start = aTs(getStartTime()).getStr(false);
    rtl::str out;
    if (getIsImpulse()) {
        out.set("[%i]Impulse @ %s, %f, %f", index, start.c(), getRowIndex(), getRowSize());
    } else {
        rtl::str const end = aTs(getStartTime() + getTimeLength()).getStr(false);
        out.set("[%i]Event   %s -> %s, %f, %f", index, start.c(), end.c(), getRowIndex(),
                getRowSize());
    }
    return out;
}

void mEvent::giGetBbox(double& x, double& y, double& w, double& h) const
{
    y = 0;
    h = getSceneH();
    if (getIsImpulse()) {
        x = -ImpulseHalfWidth;
        w = 2 * ImpulseHalfWidth;
    } else {
        x = 0;
        w = getSceneW();
    }
}

void mEvent::giPaint(Painter&) const
{
    // The event is drawn by the event drawing, which builds on this item.
}
