#include "mEvent.h"

#include "ObClassTypeOf.h"
#include "ObSelection.h"
#include "Painter.h"
#include "aAssert.h"
#include "aColor.h"
#include "aTs.h"
#include "mAttrLimits.h"
#include "mLayer.h"
#include "mScale.h"
#include "uiGi.h"

#include <algorithm>
#include <cmath>
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

// The shape's margin above and below, the shading of its edges (on the HSV value) and of its fill
// (the bottom and the middle of the gradient), and how much a layer's fill is lightened.
constexpr float ShapeMargin = 2;
constexpr float EdgeShading = 0.1f;
constexpr float GradientBottom = 0.5f;
constexpr float GradientMiddle = 0.7f;
constexpr float LayerFillLightening = 0.2f;

// The title: its font, the sizes it may take, and how far it keeps from the box's sides (each)
// and from its height (in all).
constexpr char const* TitleFamily = "Gil Sans";
constexpr int TitleWeight = 50;
constexpr int TitleLargest = 64;
constexpr int TitleSmallest = 11;
constexpr float TitleInsetX = 5;
constexpr float TitleInsetH = 4;

// Sets the largest title size, from TitleLargest down to TitleSmallest, at which the title is
// narrower than w and lower than h, and answers true; when none is, sets the smallest and answers
// false. Sizes only grow a text, so halving the range of sizes finds the size that trying every
// size from the largest down would find, in six measurements instead of up to 54.
bool fitTitle(Painter& p, char const* title, float w, float h)
{
    int lo = TitleSmallest, hi = TitleLargest, best = 0, set = 0;
    while (lo <= hi) {
        int const size = lo + (hi - lo) / 2;
        p.setFont(TitleFamily, float(size), TitleWeight);
        set = size;
        float tw = 0, th = 0;
        p.getTextSize(title, tw, th);
        if (tw < w && th < h) {
            best = size;
            lo = size + 1;
        } else {
            hi = size - 1;
        }
    }
    int const size = best ? best : TitleSmallest;
    if (set != size)
        p.setFont(TitleFamily, float(size), TitleWeight);
    return best != 0;
}

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

mLayer const* mEvent::colourLayer() const
{
    return getColorStyle() == EventColorByLayer ? getLayer() : nullptr;
}

void mEvent::calcBgColor(int& r, int& g, int& b, int& a) const
{
    getColor(r, g, b, a);
    if (mLayer const* layer = colourLayer())
        layer->fillColorAtValue(1.0f, LayerFillLightening, r, g, b);
}

void mEvent::calcLineColor(int& r, int& g, int& b, int& a) const
{
    mLayer const* layer = colourLayer();
    r = layer ? layer->getLineColorR() : getLineColorR();
    g = layer ? layer->getLineColorG() : getLineColorG();
    b = layer ? layer->getLineColorB() : getLineColorB();
    a = getLineColorA();
}

void mEvent::calcTextColor(int& r, int& g, int& b, int& a) const
{
    mLayer const* layer = colourLayer();
    r = layer ? layer->getTextColorR() : getTextColorR();
    g = layer ? layer->getTextColorG() : getTextColorG();
    b = layer ? layer->getTextColorB() : getTextColorB();
    a = getTextColorA();
}

void mEvent::giPaint(Painter& p) const
{
    uiGi const* item = giGet();
    ObSelection* selection = getSelectionEngine();
    bool const selected = item && selection && selection->isSelectedTest(item->hdl());
    draw(p, p.getLod(), selected, 2.0f, 1.0f, true, 255, 255, 255);
}

void mEvent::draw(Painter& p, double lod, bool selected, float hlWidth, float alphaFactor,
                  bool showHighlight, int hlR, int hlG, int hlB) const
{
    float x = 0, y = 0, w = 0, h = 0;
    p.get2dGeometry(x, y, w, h);
    y += ShapeMargin;
    h -= 2 * ShapeMargin;
    // A painter that reports no scale draws its edges one unit wide.
    float const px = lod > 0 && std::isfinite(lod) ? float(1.0 / lod) : 1.0f;
    float const half = hlWidth / 2;
    int const alpha8 = int(alphaFactor * 255.0f);

    int fr = 0, fg = 0, fb = 0, fa = 0;
    calcBgColor(fr, fg, fb, fa);
    if (alphaFactor != 1.0f)
        fa = int(float(fa) / 255.0f * alphaFactor * 255.0f);
    bool const highlight = selected && showHighlight;

    int lr = 0, lg = 0, lb = 0, la = 0;
    calcLineColor(lr, lg, lb, la);
    float hue = 0, s = 0, v = 0;
    aColor::RgbToHsv(float(lr) / 255.0f, float(lg) / 255.0f, float(lb) / 255.0f, hue, s, v);
    hue /= 360.0f;
    float const alpha = float(la) / 255.0f * alphaFactor;
    float const vLight = std::min(1.0f, v + EdgeShading);
    float const vDark = std::max(0.0f, v - EdgeShading);

    p.setFillColorRgba8(fr, fg, fb, fa);
    if (getIsImpulse()) {
        float const c = x + float(ImpulseHalfWidth);
        p.setLineWidth(px);
        p.setAntiAliasing(true);
        p.begin2dPolygon();
        p.add2dPolygonVertex(c, y);
        p.add2dPolygonVertex(x, y + h / 2);
        p.add2dPolygonVertex(c, y + h);
        p.add2dPolygonVertex(x + w, y + h / 2);
        p.end2dPolygon();
        float const fx = std::floor(x), fc = std::floor(c), fe = std::floor(x + w);
        p.setLineColorHsvaF(hue, s, vLight, alpha);
        p.begin2dLines();
        p.add2dLine(fc, y, fx, y + h / 2);
        p.end2dLines();
        p.setLineColorHsvaF(hue, s, v, alpha);
        p.begin2dLines();
        p.add2dLine(fx, y + h / 2, fc, y + h);
        p.add2dLine(fc, y, fe, y + h / 2);
        p.end2dLines();
        p.setLineColorHsvaF(hue, s, vDark, alpha);
        p.begin2dLines();
        p.add2dLine(fc, y + h, fe, y + h / 2);
        p.end2dLines();
        if (highlight) {
            p.setLineWidth(hlWidth);
            p.setLineColorRgba8(hlR, hlG, hlB, alpha8);
            p.begin2dLines();
            p.add2dLine(c, y + half, x + half, y + h / 2);
            p.add2dLine(x + half, y + h / 2, c, y + h - half);
            p.add2dLine(c, y + half, x + w - half, y + h / 2);
            p.add2dLine(c, y + h - half, x + w - half, y + h / 2);
            p.end2dLines();
        }
        return; // an instant has no title
    }

    p.setAntiAliasing(true);
    p.draw2dGradientRectVert(x, y, w, h, fr, fg, fb, fa, int(float(fr) * GradientBottom),
                             int(float(fg) * GradientBottom), int(float(fb) * GradientBottom), fa,
                             int(float(fr) * GradientMiddle), int(float(fg) * GradientMiddle),
                             int(float(fb) * GradientMiddle), fa, 0.5f);
    p.setLineWidth(px);
    float const xr = x + w - px;
    float const yb = y + h - px;
    p.setAntiAliasing(false);
    p.setLineColorHsvaF(hue, s, vDark, alpha);
    p.begin2dLineSegments();
    p.add2dLineSegment(xr, y);
    p.add2dLineSegment(xr, yb);
    p.add2dLineSegment(x, yb);
    p.end2dLineSegments();
    p.setLineColorHsvaF(hue, s, vLight, alpha);
    p.begin2dLineSegments();
    p.add2dLineSegment(x, yb);
    p.add2dLineSegment(x, y);
    p.add2dLineSegment(xr, y);
    p.end2dLineSegments();
    if (highlight) {
        p.setLineWidth(hlWidth);
        p.setLineColorRgba8(hlR, hlG, hlB, alpha8);
        p.draw2dOutlinedRect(x, y, w, h);
    }

    p.setTextColorRgba8(255, 255, 255, alpha8);
    p.setFont(TitleFamily, 10, TitleWeight);
    int tr = 0, tg = 0, tb = 0, ta = 0;
    calcTextColor(tr, tg, tb, ta);
    p.setTextColorRgba8(tr, tg, tb, int(alphaFactor * float(ta)));
    rtl::str const title = getTitle();
    if (!title.c() || !*title.c())
        return; // nothing to fit or to draw
    bool const fitted = fitTitle(p, title.c(), w - 2 * TitleInsetX, h - TitleInsetH);
    p.draw2dText(title.c(), x + TitleInsetX, y, w - 2 * TitleInsetX, h, fitted ? 0 : -1, 0);
}
