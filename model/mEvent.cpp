#include "mEvent.h"

#include "ObClassTypeOf.h"
#include "ObSelection.h"
#include "Painter.h"
#include "XmlWriter.h"
#include "aAssert.h"
#include "aColor.h"
#include "aTs.h"
#include "giEvent.h"
#include "mAttrLimits.h"
#include "mEdb.h"
#include "mLayer.h"
#include "mScale.h"
#include "mSkin.h"
#include "mTimeline.h"
#include "mTrace.h"
#include "tlUi.h"
#include "uiGi.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

using L = mAttrLimits;

// Why a start without a date is refused, when read and when written.
char const* const Undated = "is beyond the calendar's years";

// A start without a date could never have been saved: it is refused where it is read.
bool dated(double start)
{
    return std::fabs(start) < mScale::DatedSeconds || aTs(start).hasLocalFields();
}

mAttrLimits::Range const EventLimits[] = {
    {"startTime", -std::numeric_limits<double>::max(), std::numeric_limits<double>::max(), false,
     dated, Undated},
    // A fit keeps a row above the first (whole row -1 and its fraction), so such a row reads back.
    {"rowIndex", -L::RowsHi, L::RowsHi},
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

// Half the edge zone in which a press stretches an event, in scene units.
constexpr double EdgeZone = 7.0;
// How far an instant's marker lands to the left of the drop point.
constexpr double InstantDropShift = 16.0;
constexpr int NoStackRow = -9999;

} // namespace

mEvent::mEvent() = default;

mEvent::~mEvent()
{
    if (myGi) // the clearing traces itself: only for an item there is
        giClear();
    if (myFiledIn)
        myFiledIn->forgetEvent(*this);
}

void mEvent::release()
{
    // Runs for every event made or freed: the clearing (which traces) only for an item.
    if (myGi)
        giClear();
    // An event that goes while a layer still holds it leaves that layer altogether.
    if (myFiledIn)
        myFiledIn->forgetEvent(*this);
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
    tlUi::objectGoing(this);
    release();
    mEventData::recycleObj();
}

bool mEvent::xmlReadStartElement(XmlReader& r, char const* name, int attrCount)
{
    // The attributes first: most elements of a document are.
    if (mAttrLimits::readOwnAttr(r, static_cast<mEventData&>(*this), name, EventLimits))
        return true;
    if (std::strcmp(name, "event_layer") == 0) {
        // Whether it names the layer that lists the event is checked once every object is read.
        Obh h;
        if (!Obh::xmlReadHdl(r, &h, nullptr))
            mAttrLimits::refuse(r, *this, "\"event_layer\" is not a readable handle");
        else
            myLayerHdl = h;
        return true;
    }
    if (std::strcmp(name, "event_time") == 0) {
        aTs unused;
        mScale::xmlReadTs(r, unused, name); // damaged fields refuse the document there
        return true;
    }
    if (!mAttrLimits::accept(r, *this, name, EventLimits))
        return true;
    return mEventData::xmlReadStartElement(r, name, attrCount);
}

mLayer* mEvent::getLayer() const
{
    return layerOf(myLayerHdl);
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

// Geometry ---------------------------------------------------------------------------------------

namespace {

// A time in time pixels; the time itself without a time scale.
double timeX(mScale const* ts, double t)
{
    return ts ? ts->localToParent(t) : t;
}

} // namespace

void mEvent::getPrePostTimes(double& pre, double& post) const
{
    double const start = getStartTime();
    if (getIsImpulse()) {
        getImpulseBeforeAfter(start, pre, post);
        return;
    }
    pre = start;
    post = start + getTimeLength();
}

double mEvent::getEndTime() const
{
    return getIsImpulse() ? getStartTime() : getStartTime() + getTimeLength();
}

int mEvent::getIntFirstTime() const
{
    return static_cast<int>(std::floor(getStartTime()));
}

int mEvent::getIntLastTime() const
{
    return static_cast<int>(std::floor(getStartTime() + getTimeLength()));
}

bool mEvent::presentAtTimeTest(double t) const
{
    if (getIsImpulse())
        return t == getStartTime();
    return getStartTime() <= t && t <= getStartTime() + getTimeLength();
}

bool mEvent::presentAtRowTest(double row) const
{
    return getRowIndex() <= row && row < getRowIndex() + 1.0;
}

bool mEvent::isVisibleBetween(double& from, double& to) const
{
    double pre = 0.0, post = 0.0;
    getPrePostTimes(pre, post);
    if (to < pre)
        return false;
    return dimIntersects(from, to - from, pre, post - pre);
}

bool mEvent::isVisibleBetween(aTs& from, aTs& to) const
{
    double f = from.asSeconds(), t = to.asSeconds();
    return isVisibleBetween(f, t);
}

bool mEvent::isBetweenTest(aTs const& from, aTs const& to) const
{
    double f = from.asSeconds(), t = to.asSeconds();
    bool const meets = isVisibleBetween(f, t);
    if (Ob::ourTrace) {
        double pre = 0.0, post = 0.0;
        getPrePostTimes(pre, post);
        rtl::str const a = aTs(pre).getStr(false), b = aTs(post).getStr(false);
        if (meets)
            A_TRACE_C("cyan", "      got ev from TIME %s -> %s, ri %f -> %f\n", a.c(), b.c(),
                      getRowIndex(), getRowIndex() + getRowSize());
        else
            A_TRACE_C("magenta", "     SKIP1 ev from TIME %s -> %s, ri %f -> %f\n", a.c(), b.c(),
                      getRowIndex(), getRowIndex() + getRowSize());
    }
    return meets;
}

void mEvent::getModelVisTimeSpan(double& t, double& size) const
{
    mScale const* ts = getTimelineTimeScale();
    double pre = 0.0, post = 0.0;
    getPrePostTimes(pre, post);
    modelColumnsAt(timeX(ts, pre), timeX(ts, post), t, size);
}

void mEvent::modelColumnsAt(double xPre, double xPost, double& t, double& size)
{
    t = mScale::Pixels::floorOf(xPre);
    size = mScale::Pixels::ceilOf(xPost) - t;
    if (!std::isfinite(t) || !std::isfinite(size)) {
        t = 0.0;
        size = 0.0;
    }
}

void mEvent::getLayerVisTimeSpan(double& t, double& size) const
{
    mScale const* ts = getTimelineTimeScale();
    double pre = 0.0, post = 0.0;
    getPrePostTimes(pre, post);
    layerColumnsAt(timeX(ts, pre), timeX(ts, post), ts ? ts->getParentSize() : 0.0, t, size);
}

void mEvent::layerColumnsAt(double xPre, double xPost, double viewWidth, double& t, double& size)
{
    modelColumnsAt(xPre, xPost, t, size);
    double end = t + size;
    t += 1.0;
    double const p = viewWidth;
    if (end > 2.0 * p)
        end = 2.0 * p;
    if (t < -p)
        t = -p;
    t = mScale::Pixels::floorOf(t);
    size = mScale::Pixels::ceilOf(end) - t;
    if (size < 1.0)
        size = 1.0;
}

void mEvent::itemColumnsAt(double xPre, double xPost, double viewWidth, double& x, double& w)
{
    layerColumnsAt(xPre, xPost, viewWidth, x, w);
    // Whole already but for a view of a fractional width.
    if (w != mScale::Pixels::floorOf(w))
        w = std::round(w);
    w = std::max(1.0, w);
}

void mEvent::getSceneVisTimeSpan(double& t, double& size) const
{
    getLayerVisTimeSpan(t, size);
}

void mEvent::getLayerVisRowSpan(double& r, double& size) const
{
    mLayer const* layer = getLayer();
    mScale const* rows = layer ? layer->rowScale() : nullptr;
    if (!rows) { // outside a layer the rows stand for themselves
        r = getRowIndex();
        size = getRowSize();
        return;
    }
    r = rows->localToParent(getRowIndex());
    size = rows->localToParent(getRowIndex() + getRowSize()) - r;
}

void mEvent::getModelVisRowSpan(double& r, double& size) const
{
    if (mLayer const* layer = getLayer())
        layer->modelRowSpan(getRowIndex(), getRowSize(), r, size);
    else
        getLayerVisRowSpan(r, size);
}

void mEvent::getSceneVisRowSpan(double& r, double& size) const
{
    if (mLayer const* layer = getLayer()) {
        layer->sceneRowSpan(getRowIndex(), getRowSize(), r, size);
        return;
    }
    getModelVisRowSpan(r, size);
    mScale const* perp = getTimelinePerpScale();
    if (!perp)
        return;
    double const top = perp->localToParent(r);
    size = perp->localToParent(r + size) - top;
    r = top;
}

void mEvent::getModelGeom(double& t, double& r, double& tSize, double& rSize) const
{
    getModelVisTimeSpan(t, tSize);
    getModelVisRowSpan(r, rSize);
}

namespace {

// Time along x unless a view opened the skin's context vertically.
bool horizontal(tlObj const& obj)
{
    mSkin const* skin = obj.getSkin();
    return !skin || skin->getHorizFlag();
}

void orient(bool horiz, double t, double tSize, double r, double rSize, double& x, double& y,
            double& w, double& h)
{
    if (horiz) {
        x = t, w = tSize, y = r, h = rSize;
    } else {
        x = r, w = rSize, y = t, h = tSize;
    }
}

} // namespace

void mEvent::getLayerGeom(double& x, double& y, double& w, double& h) const
{
    double t = 0, tSize = 0, r = 0, rSize = 0;
    getLayerVisTimeSpan(t, tSize);
    getLayerVisRowSpan(r, rSize);
    orient(horizontal(*this), t, tSize, r, rSize, x, y, w, h);
}

void mEvent::getSceneGeom(double& x, double& y, double& w, double& h) const
{
    double t = 0, tSize = 0, r = 0, rSize = 0;
    getModelVisTimeSpan(t, tSize);
    getSceneVisRowSpan(r, rSize);
    orient(horizontal(*this), t, tSize, r, rSize, x, y, w, h);
}

// The item ----------------------------------------------------------------------------------------

uiGi* mEvent::giNew(Obh& hdl) const
{
    if (!myGi) {
        myGi = new giEvent(hdl);
        myGi->setZValue(1.0);
        // The scene sync learns of every item, wherever it was made, so that it can drop it.
        if (mTimeline* tl = getTimeline(); tl && tl->getEdb())
            tl->getEdb()->noteItemMade(hdl);
    }
    return myGi;
}

void mEvent::place(double x, double y, double w, double h)
{
    // Items are whole pixels wide, one at least.
    w = std::isfinite(w) ? std::max(1.0, std::round(w)) : 1.0;
    if (w != getSceneW() || h != getSceneH()) {
        giBboxWillChange();
        setSceneW(w);
        setSceneH(h);
    }
    giSetPos(getIsImpulse() ? x + w / 2.0 : x, y, 1.0);
}

bool mEvent::itemPlacement(double& x, double& y, double& w, double& h) const
{
    mLayer const* layer = getLayer();
    if (!layer)
        return false;
    // Every view runs time along x: the item's x and width come from the clipped extent, its y
    // and height from the scene rows, relative to the layer's item.
    double r = 0, rSize = 0;
    getLayerVisTimeSpan(x, w);
    getSceneVisRowSpan(r, rSize);
    y = r - layer->getSceneY();
    h = rSize;
    w = std::max(w, 1.0);
    return true;
}

uiGi* mEvent::giEnsure(Obh& hdl) const
{
    tlUi* ui = getUi();
    if (!ui) {
        M_TRACE_C("yellow", "mEvent::giEnsure - no UI, so not visible\n");
        return nullptr;
    }
    mLayer* layer = getLayer();
    if (!layer) {
        M_TRACE_C("yellow", "mEvent::giEnsure - no layer, so not visible\n");
        return nullptr;
    }
    mScale* ts = getTimelineTimeScale();
    aTs start = ts ? ts->getVisStart() : aTs(), end = ts ? ts->getVisEnd() : aTs();
    if (!ts || !isVisibleBetween(start, end)) {
        if (Ob::ourTrace)
            A_TRACE_C("yellow", "mEvent::giEnsure - event %s not visible between %s and %s\n",
                      desc().c(), start.getStr(false).c(), end.getStr(false).c());
        giClear();
        return nullptr;
    }
    if (!myGi)
        giNew(hdl);
    // Sized before it goes in: the scene takes no item without a size, and an event that never
    // had an item has none yet.
    double x = 0, y = 0, w = 0, h = 0;
    itemPlacement(x, y, w, h);
    auto* self = const_cast<mEvent*>(this);
    self->place(x, y, w, h);
    if (!giInSceneTest())
        ui->addToScene(hdl, layer, 1.0f);
    self->giShow();
    M_TRACE_C("iblue", "ENSURE EVENT IN SCENE: %f, %f (in layer) %f x %f\n", x, y, w, h);
    giDamage();
    return myGi;
}

bool mEvent::giMousePressEvent(int button)
{
    M_TRACE("mEvent MOUSE PRESS %i\n", button);
    return false;
}

int mEvent::onEdgeTest(double localX) const
{
    // The pointer against the event's full extent, from where the item actually stands (its
    // x may be clipped to the view; an instant's origin is its marker's centre).
    double mx = 0, mw = 0;
    getModelVisTimeSpan(mx, mw);
    double originX = 0;
    if (myGi) {
        originX = myGi->x();
    } else {
        double lw = 0;
        getLayerVisTimeSpan(originX, lw);
        if (getIsImpulse())
            originX = std::floor(originX + lw / 2.0);
    }
    double const p = originX + localX;
    if (mx + mw - EdgeZone <= p && p <= mx + mw)
        return 1;
    if (mx <= p && p <= mx + EdgeZone)
        return -1;
    return 0;
}

void mEvent::getDragPos(int w, int h, int& x, int& y) const
{
    if (getIsImpulse())
        x = static_cast<int>(ImpulseHalfWidth);
    else
        x = std::clamp(x, 0, w);
    y = h / 2;
}

void mEvent::adjustDropPos(int& x, int&) const
{
    if (getIsImpulse())
        x = static_cast<int>(std::trunc(x - InstantDropShift));
}

int mEvent::getStackRowIndex() const
{
    mLayer const* layer = getLayer();
    return layer ? layer->stackRowOf(getRowIndex()) : NoStackRow;
}

// Filing in the layer's time index ------------------------------------------------------------

mTimeIndex::Extent mEvent::indexExtent() const
{
    double const start = getStartTime();
    if (getIsImpulse())
        return {start, start, true, getRowIndex(), getRowSize()};
    double const end = start + getTimeLength();
    return {std::min(start, end), std::max(start, end), false, getRowIndex(), getRowSize()};
}

void mEvent::setFiling(mLayer* layer, Obh const& h, mTimeIndex::Extent const& e)
{
    myFiledIn = layer;
    myFiledHdl = layer ? h : Obh();
    myFiledLo = e.lo;
    myFiledRow = e.row;
    myFiledRows = e.rows;
    myFiledInstant = e.instant;
}

void mEvent::refile()
{
    if (myFiledIn)
        myFiledIn->refileEvent(*this);
}

void mEvent::hookStartTime(double, double)
{
    refile();
}

void mEvent::hookTimeLength(double, double)
{
    refile();
}

void mEvent::hookIsImpulse(bool, bool)
{
    refile();
}

void mEvent::hookRowIndex(double, double)
{
    refile();
}

void mEvent::hookRowSize(double, double)
{
    refile();
}

bool mEvent::setAttrByString(rtl::str name, rtl::str value, char const* type)
{
    bool const stored = mEventData::setAttrByString(name, value, type);
    refile();
    return stored;
}

bool mEvent::checkStartTime(double t) const
{
    return std::isfinite(t);
}

bool mEvent::checkTimeLength(double length) const
{
    return std::isfinite(length);
}

bool compareEventsByRow(Obh const& a, Obh const& b)
{
    mEvent const* ea = tlObj::eventOf(a);
    mEvent const* eb = tlObj::eventOf(b);
    if (!ea || !eb)
        return !ea && eb;
    return ea->getRowIndex() < eb->getRowIndex();
}

// Records --------------------------------------------------------------------------------------

bool mEvent::xmlReadEndElement(XmlReader& r, char const* name)
{
    if (std::strcmp(name, "event_layer") == 0 || std::strcmp(name, "event_time") == 0)
        return true;
    return mEventData::xmlReadEndElement(r, name);
}

bool mEvent::xmlWritesAlone() const
{
    return std::fabs(getStartTime()) < mScale::DatedSeconds;
}

bool mEvent::xmlWrite(XmlWriter& w)
{
    // Each part only after the one before it: a half-written record is never reported written.
    // A start without a date has no fields to write: the save fails on it, saying so.
    aTs const start(getStartTime());
    if (!mScale::xmlWriteTs(w, start, "event_time")) {
        if (!start.hasLocalFields())
            w.refuseValue("the start of an event", Undated);
        return false;
    }
    // An event in no layer has no layer to name.
    return (!myLayerHdl.getType() || Obh::xmlWriteHdl(w, "event_layer", myLayerHdl, nullptr)) &&
           mEventData::xmlWrite(w);
}
