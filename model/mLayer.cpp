#include "mLayer.h"

#include "ObClassTypeOf.h"
#include "ObDirty.h"
#include "ObSelection.h"
#include "Painter.h"
#include "aAssert.h"
#include "aColor.h"
#include "aRefresher.h"
#include "aTrace.h"
#include "mAttrLimits.h"
#include "mEvent.h"
#include "mScale.h"
#include "mTimeline.h"
#include "tlStep.h"
#include "uiGi.h"

#include <cmath>

namespace {

using L = mAttrLimits;

mAttrLimits::Range const LayerLimits[] = {
    {"numRows", 0, L::RowsHi},
    {"sceneH", -1, L::SceneHeightLimit, false},
    {"paddingTop", 0, L::RowsHi},
    {"paddingBottom", 0, L::RowsHi},
    {"verticalScale", 0, L::RowsHi, true},
    {"bgColor*", L::ColorLo, L::ColorHi},
    {"lineColor*", L::ColorLo, L::ColorHi},
    {"textColor*", L::ColorLo, L::ColorHi},
    {"labelMaxFontSize", 0, L::FontSizeHi},
    {"labelMinFontSize", 0, L::FontSizeHi},
    {"labelFontSize", 0, L::FontSizeHi},
    {"labelFontWeight", 0, L::FontWeightHi},
};

// How the fill is darkened (factors on its HSV value), and the header's and the band's lines.
constexpr float ActiveShade = 0.9f;
constexpr float InactiveShade = 0.7f;
constexpr float TitleMargin = 2;
constexpr float TitleBoxH = 20;
constexpr float SelectedOutlineW = 2;
constexpr int RowLineAlpha = 20;

} // namespace

mLayer::mLayer() = default;

mLayer::~mLayer()
{
    giClear();
    dropScales();
    myEvents.clear();
}

void mLayer::makeScales()
{
    A_ASSERT(ourType_mScale);
    myRowScaleHdl = ourType_mScale->make();
    myRowScale = ourType_mScale->ptr(myRowScaleHdl);
    myTimeScaleHdl = ourType_mScale->make();
    myTimeScale = ourType_mScale->ptr(myTimeScaleHdl);
    A_ASSERT(myRowScale);
    A_ASSERT(myTimeScale);
    A_ASSERT(myRowScaleHdl);
    A_ASSERT(myTimeScaleHdl);
    myTimeScale->setTimeUnits();
    myTimeScale->setNote("Layer TIME scale");
    myRowScale->setNote("Layer ROW scale");
    myRowScale->setMinValue(0.0);
    myRowScale->setMaxValue(1.0);
    myRowScale->setParentPos(0);
    myRowScale->setParentSize(1);
    myRowScale->zoomToLocalRange(0.0, 1.0, 1.0f);
    myRowScale->setNumericUnits();
}

void mLayer::dropScales()
{
    // Handles of a pool that is gone, or of slots given back already, name nothing to return.
    if (ourType_mScale) {
        if (ourType_mScale->ptrFromFile(myTimeScaleHdl))
            myTimeScaleHdl.dealloc();
        if (ourType_mScale->ptrFromFile(myRowScaleHdl))
            myRowScaleHdl.dealloc();
    }
    myTimeScaleHdl = Obh();
    myRowScaleHdl = Obh();
    myTimeScale = nullptr;
    myRowScale = nullptr;
}

void mLayer::clearSpans()
{
    mySpanMinTime = mySpanMaxTime = mySpanMinRi = mySpanMaxRi = 0.0;
}

void mLayer::initObj()
{
    resetAttrs();
    setIndex(-1);
    myEvents.clear();
    makeScales();
    myTimeline = nullptr;
    myEventCache.reset();
    myEventCacheTime = 0.0;
    mySpansValid = false;
    clearSpans();
    setSceneH(-1.0);
    setSceneW(-1.0);
    setModelH(-1.0);
    if (aRefresher* refresher = getRefreshEngine())
        refresher->schedule(static_cast<aRefreshable*>(this), LevelLayer, "mLayer::refresh");
    else
        A_TRACE_C("red", "mLayer: no refresh engine, the layer is not refreshed\n");
    mLayerData::initObj();
}

void mLayer::clearObj()
{
    rxDisconnect(); // leaves the refresh engine, whichever it is
    clearEvents();
    mLayerData::clearObj();
    myEventCache.reset();
    setIndex(-2);
}

void mLayer::recycleObj()
{
    rxDisconnect();
    A_TRACE("mLayer::recycleObj %p\n", static_cast<void*>(this));
    giClear();
    clearObj();
    mLayerData::recycleObj();
    myEventCache.reset();
    dropScales();
}

bool mLayer::xmlReadStartElement(XmlReader& r, char const* name, int attrCount)
{
    if (!mAttrLimits::accept(r, *this, name, LayerLimits))
        return true;
    return mLayerData::xmlReadStartElement(r, name, attrCount);
}

void mLayer::clearEvents()
{
    mySpansValid = false;
    if (!myEvents.empty()) {
        raiseDirt(DirtActiveEvents);
        raiseDirt(DirtEventSetInLayer);
    }
    myEvents.clear();
    myEventCache.reset();
    clearSpans();
    mySpansValid = true;
}

void mLayer::refresh(aRefreshContext*)
{
    static tlStep adjustSceneHeight("mLayer_adjustSceneHeight");
    static tlStep syncToTick("mLayer_syncToTick");
    ObDirty* dirt = getDirtEngine();
    adjustSceneHeight.needsCleaning(dirt, "mLayer"); // traced, nothing else to do
    if (syncToTick.needsCleaning(dirt, "mLayer")) {
        double const tick = myTimeline ? myTimeline->getTick() : 0;
        A_TRACE("  sync sequence time to %.1f\n", getTickTime(tick));
    }
}

bool mLayer::checkSceneH(double h) const
{
    return std::isfinite(h) && h < mAttrLimits::SceneHeightLimit;
}

bool mLayer::setSceneH(double h)
{
    if (h == getSceneH())
        return false;
    if (!checkSceneH(h))
        return false;
    giBboxWillChange();
    return mLayerData::setSceneH(h);
}

bool mLayer::setSceneW(double w)
{
    if (w == getSceneW())
        return false;
    giBboxWillChange();
    return mLayerData::setSceneW(w);
}

bool mLayer::setSceneY(double y)
{
    bool const stored = mLayerData::setSceneY(y);
    if (giGet())
        giSetY(y);
    return stored;
}

void mLayer::giGetBbox(double& x, double& y, double& w, double& h) const
{
    x = 0;
    y = 0;
    w = getSceneW();
    h = getSceneH();
}

void mLayer::shadedFillColor(int& r, int& g, int& b) const
{
    fillColorAtValue(getIsActive() ? ActiveShade : InactiveShade, 0.0f, r, g, b);
}

void mLayer::fillColorAtValue(float keep, float lift, int& r, int& g, int& b) const
{
    float h = 0, s = 0, v = 0;
    aColor::RgbToHsv(float(getBgColorR()) / 255.0f, float(getBgColorG()) / 255.0f,
                     float(getBgColorB()) / 255.0f, h, s, v);
    v = v * keep + (1.0f - v) * lift;
    float fr = 0, fg = 0, fb = 0;
    aColor::HsvToRgb(h, s, v, fr, fg, fb);
    r = int(fr * 255.0f);
    g = int(fg * 255.0f);
    b = int(fb * 255.0f);
}

void mLayer::giPaint(Painter& p) const
{
    float x = 0, y = 0, w = 0, h = 0;
    p.get2dGeometry(x, y, w, h);
    p.setAntiAliasing(false);
    float const top = std::floor(y);
    float const bottom = std::ceil(y + h - 2);
    int r = 0, g = 0, b = 0;
    shadedFillColor(r, g, b);
    p.setFillColorRgba8(r, g, b, getBgColorA());
    p.draw2dFilledRect(x, top, w, bottom - top);
    p.setLineColorRgba8(getLineColorR(), getLineColorG(), getLineColorB(), getLineColorA());
    p.draw2dLine(x, bottom, x + w, bottom);
    p.draw2dLine(x, top, x + w, top);
    p.setLineColorRgba8(0, 0, 0, RowLineAlpha);
    // A row lower than a pixel would only grey the band over, and a step of nothing would never
    // reach the bottom.
    double const step = double(getVerticalScale()) * (1.0 / getSceneYScale());
    if (std::isfinite(step) && step >= 1.0)
        for (int k = 0;; ++k) {
            double const yy = double(top) + k * step;
            if (!(yy < double(bottom)))
                break;
            p.draw2dLine(x, float(yy), x + w, float(yy));
        }
}

void mLayer::paintLayerHeader(Painter& p, Obh& layer) const
{
    mLayer const* named = ourType_mLayer && layer.isValid() && layer.getType() == ourType_mLayer
                              ? ourType_mLayer->ptrFromFile(layer)
                              : nullptr;
    if (!named) {
        A_TRACE_C("red", "mLayer::paintLayerHeader: the handle names no layer\n");
        return;
    }
    float x = 0, y = 0, w = 0, h = 0;
    p.get2dGeometry(x, y, w, h);
    int const iw = int(w);
    int r = 0, g = 0, b = 0;
    shadedFillColor(r, g, b);
    p.setFillColorRgba8(r, g, b, getBgColorA());
    p.draw2dFilledRect(x, y, w, h);
    p.setFont(named->getLabelFontFamily().c(), float(named->getLabelFontSize()),
              named->getLabelFontWeight());
    p.setTextColorRgba8(getTextColorR(), getTextColorG(), getTextColorB(), getTextColorA());
    p.draw2dText(getTitle().c(), x + TitleMargin, y + TitleMargin, float(iw - 2 * TitleMargin),
                 TitleBoxH, -1, -1);
    ObSelection* selection = getSelectionEngine();
    if (selection && selection->isSelectedTest(layer)) {
        p.setLineWidth(SelectedOutlineW);
        p.setLineColorRgbaF(1, 1, 1, 1);
        p.draw2dOutlinedRectFromTo(x + 1, y + 1, x + w, y + h);
    }
    p.setLineColorRgba8(getLineColorR(), getLineColorG(), getLineColorB(), getLineColorA());
    p.draw2dLine(x, y + h - 1, x + w, y + h - 1);
    p.draw2dLine(x, y, x + w, y);
}

void mLayer::paintLayerContents(Painter&) const
{
    A_TRACE_C("red", "mLayer::paintLayerContents: a layer draws no contents of its own\n");
}

void mLayer::resetSequence()
{
    for (int i = 0; i < 4; ++i)
        A_TRACE_C("ired", "%60s\n", "");
    for (Obh h : myEvents)
        if (auto* ev = h.isValid() ? dynamic_cast<mEvent*>(h.obj()) : nullptr)
            ev->resetSequence();
}
