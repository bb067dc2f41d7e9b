#include "mSkin.h"

#include "Painter.h"
#include "aAssert.h"
#include "aTrace.h"
#include "mAttrLimits.h"
#include "mGridline.h"
#include "mRange.h"
#include "mRangeSetup.h"
#include "mScale.h"
#include "mTimeline.h"
#include "scTrace.h"
#include "tlUnits.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>

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

// The skin's own colours: red, green, blue, alpha.
struct Rgba
{
    int r, g, b, a;
};
constexpr Rgba HeaderTop {60, 60, 60, 255};
constexpr Rgba HeaderBottom {0, 0, 0, 255};
constexpr Rgba FooterTop {0, 0, 0, 255};
constexpr Rgba FooterBottom {40, 40, 40, 255};
constexpr Rgba Wash {110, 110, 90, 10};
constexpr Rgba RowEdge {0, 0, 0, 255};
constexpr Rgba FallbackTick {254, 13, 13, 255};
constexpr Rgba FallbackLabel {255, 0, 0, 255};
constexpr Rgba FallbackColouring {255, 255, 255, 255};
constexpr Rgba SelectionLine {255, 255, 255, 110};
constexpr Rgba SelectionWash {255, 255, 255, 40};
constexpr Rgba SelectionMiddle {0, 0, 0, 55};
constexpr Rgba NowLine {0, 255, 0, 200};
constexpr Rgba PanelTopLine {255, 255, 255, 60};

// The ruler's bottom strip that carries the selection and the now mark.
constexpr float MarkStrip = 10;
constexpr float SelectionMiddleW = 0.5f;
// Labels of a row without a row style: the weight, the pads and the room a centred label needs.
constexpr int LabelWeight = 50;
constexpr int FallbackPad = 2;
// The least room, in pixels, between a label's text and a tick drawn through its row.
constexpr float TickClearance = 1;
// The control panel: the columns' inset from the left and the right, the first line's drop and
// the line pitch; the buffer one readout is formatted into.
constexpr float PanelLeftInset = 3;
constexpr float PanelRightInset = 2;
constexpr float PanelTop = 10;
constexpr int PanelPitch = 14;
constexpr unsigned long ReadoutBuffer = 63;

void setFill(Painter& p, Rgba c)
{
    p.setFillColorRgba8(c.r, c.g, c.b, c.a);
}

void setLine(Painter& p, Rgba c)
{
    p.setLineColorRgba8(c.r, c.g, c.b, c.a);
}

// A background over the painter's area: a gradient from the top colour to the bottom one
// (without a middle colour) under a faint wash.
void washedGradient(Painter& p, Rgba top, Rgba bottom)
{
    float x = 0, y = 0, w = 0, h = 0;
    p.get2dGeometry(x, y, w, h);
    p.draw2dGradientRectVert(x, y, w, h, top.r, top.g, top.b, top.a, bottom.r, bottom.g, bottom.b,
                             bottom.a, -1, -1, -1, -1, 0.5f);
    setFill(p, Wash);
    p.draw2dFilledRect(x, y, w, h);
}

// A length given as a share of an extent, brought up to a minimum and down to a maximum (each
// only when above 0; the maximum wins).
float clampedShare(float pct, float extent, float minSize, float maxSize)
{
    float len = pct / 100.0f * extent;
    if (minSize > 0 && minSize > len)
        len = minSize;
    if (maxSize > 0 && len > maxSize)
        len = maxSize;
    return len;
}

// The four lines of the control panel for one end of the visible window: the time, the weekday,
// month and day, the year. A field that cannot be formatted shows dashes (dash alone on the
// right-hand column for all but the time).
std::array<std::string, 4> readout(aTs const& t, bool rightColumn)
{
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    long ns = 0;
    t.get(year, month, day, hour, minute, second, ns);
    int const hour12 = hour > 12 ? hour - 12 : hour == 0 ? 12 : hour;
    char buffer[ReadoutBuffer];
    auto format = [&](char const* f, bool tags) {
        return t.strfTime(buffer, sizeof buffer, f, tags) != 0;
    };
    auto text = [](char const* f, auto... args) {
        char out[2 * ReadoutBuffer];
        std::snprintf(out, sizeof out, f, args...);
        return std::string(out);
    };
    std::array<std::string, 4> lines;
    bool const whole = second == 0 && ns == 0;
    if (format(whole ? "%M %p" : "%M:%S %p", false))
        lines[0] = text("%i:%s", hour12, buffer);
    else
        lines[0] = whole ? "--:--" : "--:--:--";
    lines[1] = format("%a", false) ? std::string(buffer) : rightColumn ? "-" : "---";
    lines[2] = format("%b", false) ? text("%s %i", buffer, day) : rightColumn ? "-" : "-- --";
    lines[3] = format("<Y>", true) ? std::string(buffer) : rightColumn ? "-" : "----";
    return lines;
}

} // namespace

mSkin::SceneGuide mSkin::ourSceneGuide = nullptr;

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
    myHorizFlag = horiz;
    readScale();
    myCurRangeSetup = nullptr;
}

void mSkin::readScale()
{
    tlUnits* units = myScale->getUnits();
    myAllRanges = units ? *units->getRanges() : std::vector<mRange*>();
    myVisRanges = *myScale->getVisRanges();
    myZoom = myScale->getZoom();
    myScale->getLocalSpan(myVisStart, myVisEnd);
    myRangeSetups = units ? units->getRangeSetupsForZoom(myZoom) : nullptr;
}

void mSkin::syncScale() const
{
    if (!myScale || !myScale->needsReconfig())
        return;
    myScale->reconfig();
    // The context is a copy of the scale's state, which has just changed.
    const_cast<mSkin*>(this)->readScale();
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

// The time ruler ---------------------------------------------------------------------------------

void mSkin::drawHeader(Painter& p) const
{
    if (!inContext())
        return;
    syncScale();
    float x = 0, y = 0, w = 0, h = 0;
    p.get2dGeometry(x, y, w, h);
    if (!(h > 0)) {
        SC_TRACE_C("ired", "ZERO HEIGHT!!!\n");
        return;
    }
    int const n = int(myVisRanges.size());
    // Each row's share of the height: its units among those of the rows with a band of their own,
    // capped and widened by its row style. A stack without units has no rows to share it.
    float units = 0;
    for (mRange* range : myVisRanges)
        if (range->getStackDepth() == 0)
            units += range->getRowScaleUnits();
    std::vector<float> heights(size_t(n), 0.0f);
    float fixedTotal = 0;
    if (units > 0)
        for (int i = n - 1; i >= 0; --i) {
            mRange const* range = myVisRanges[size_t(i)];
            float height = range->getRowScaleUnits() / units * h;
            if (mRangeSetup const* rs = range->getRangeSetup()) {
                if (rs->getMaxSize() > 0 && height > float(rs->getMaxSize()))
                    height = float(rs->getMaxSize());
                if (rs->getMinSize() > 0 && height < float(rs->getMinSize()))
                    height = float(rs->getMinSize());
            } else if (height < 1) {
                height = 1;
            }
            heights[size_t(i)] = height;
            if (range->getStackDepth() == 0)
                fixedTotal += height;
        }

    drawHeaderBg(p);
    if (units > 0) {
        // The rows with a band of their own fill the bottom; a stacked row lies in the band above
        // the cursor and leaves it where it is.
        std::vector<float> tops(size_t(n), 0.0f);
        float cursor = y + h - fixedTotal;
        for (int i = n - 1; i >= 0; --i) {
            float const rowH = heights[size_t(i)];
            if (myVisRanges[size_t(i)]->getPreSubtract())
                cursor -= rowH;
            tops[size_t(i)] = cursor;
            cursor += rowH;
        }
        // A coarser row's ticks run down through the finer rows: their labels keep clear of them.
        if (myHorizFlag)
            keepHeaderTicks(x, x + w, tops, heights, y + h);
        for (int i = n - 1; i >= 0; --i) {
            mRange* range = myVisRanges[size_t(i)];
            myCurRangeSetup = range->getRangeSetup();
            p.set2dGeometry(x, tops[size_t(i)], w, heights[size_t(i)]);
            drawRangeHeaderBg(p, range, y, h);
            drawRangeHeaderLabels(p, range, y, h);
        }
        myHeaderTicks.clear();
        myCurRangeSetup = nullptr;
        p.set2dGeometry(x, y, w, h);
    }
    drawHeaderFg(p);
    bool const selection = myScale->selectionType() != 0;
    bool const now = myTimeline->getLockToNowFlag();
    if (selection || now) {
        p.set2dGeometry(x, y + h - MarkStrip, w, h);
        if (selection)
            drawTimeSelection(p);
        if (now)
            drawLockToNow(p);
        p.set2dGeometry(x, y, w, h);
    }
}

void mSkin::drawHeaderBg(Painter& p) const
{
    washedGradient(p, HeaderTop, HeaderBottom);
    float x = 0, y = 0, w = 0, h = 0;
    p.get2dGeometry(x, y, w, h);
    p.setLineColorRgb8(getLineColorR(), getLineColorG(), getLineColorB());
    p.draw2dLine(x, y + h - 1, x + w, y + h - 1);
}

void mSkin::drawRangeHeaderBg(Painter& p, mRange* range, float, float) const
{
    mRangeSetup const* rs = range ? range->getRangeSetup() : nullptr;
    if (!rs)
        return;
    float x = 0, y = 0, w = 0, h = 0;
    p.get2dGeometry(x, y, w, h);
    if (rs->getShowBg()) {
        p.setFillColorRgba8(rs->getBgColorR(), rs->getBgColorG(), rs->getBgColorB(),
                            rs->getBgColorA());
        p.draw2dFilledRect(x, y, w, h);
    }
    if (rs->getShowTopLine()) {
        SC_TRACE_C("white", "%s - SHOW TOP LINE @ %f\n", range->desc().c(), double(y));
        p.setAntiAliasing(false);
        setLine(p, RowEdge);
        p.draw2dLine(x, y, x + w, y);
    }
    if (rs->getShowBottomLine()) {
        SC_TRACE_C("white", "%s - SHOW BOTTOM LINE @ %.f\n", range->desc().c(), double(y + h - 1));
        p.setAntiAliasing(false);
        setLine(p, RowEdge);
        p.draw2dLine(x, y + h - 1, x + w, y + h - 1);
    }
}

void mSkin::drawRangeHeaderLabels(Painter& p, mRange* range, float top, float height) const
{
    if (!range)
        return;
    float x = 0, y = 0, w = 0, h = 0;
    p.get2dGeometry(x, y, w, h);
    bool const horiz = myHorizFlag;
    float const timeStart = horiz ? x : y;
    float const timeEnd = timeStart + (horiz ? w : h);
    float const perpStart = horiz ? y : x;
    float const perpSize = horiz ? h : w;
    float const perpEnd = perpStart + perpSize;
    float const bottom = top + height;

    mRangeSetup const* rs = range->getRangeSetup();
    int hAlign = 0, vAlign = 0;
    float padL = 0, padT = 0;
    if (rs) {
        hAlign = rs->getLabelAlignH();
        vAlign = rs->getLabelAlignV();
        padL = float(rs->getLabelPadL());
        padT = float(rs->getLabelPadT());
    } else {
        padT = FallbackPad;
        vAlign = -1;
        if (y - float(range->getMaxLabelH() + 2) > 2) {
            padT = 0;
            vAlign = 0;
        }
        hAlign = range->getLabelHAlign();
        padL = FallbackPad;
    }
    if (hAlign == 0)
        padL = 0;
    if (vAlign == 0)
        padT = 0;

    int const fontSize = range->getFontSize();
    if (fontSize > 0)
        p.setFont(range->getFontFamily().c(), float(fontSize), LabelWeight);

    // Shapes placed along the time axis and across it, drawn in the context's orientation.
    auto fillAcross = [&](float t, float tLen, float q, float qLen) {
        if (horiz)
            p.draw2dFilledRect(t, q, tLen, qLen);
        else
            p.draw2dFilledRect(q, t, qLen, tLen);
    };
    auto lineAcross = [&](float t, float q0, float q1) {
        if (horiz)
            p.draw2dLine(t, q0, t, q1);
        else
            p.draw2dLine(q0, t, q1, t);
    };

    // A label is drawn only where no tick drawn through the ruler's rows runs through its text
    // (a coarser row's gridline through a week's day, "3|1"): placed as the painter places it in
    // its box, after its own gridline. The ticks are known while the whole ruler is drawn.
    auto clearOfTicks = [&](char const* text, float bx, float by, float bw, float bh, int ha,
                            int va, float own) {
        if (myHeaderTicks.empty() || !horiz)
            return true;
        float tw = 0, th = 0;
        p.getTextSize(text, tw, th);
        float const left = ha < 0 ? bx : ha == 0 ? bx + (bw - tw) / 2 : bx + bw - tw;
        float const textTop = va < 0 ? by : va == 0 ? by + (bh - th) / 2 : by + bh - th;
        return !tickRunsThrough(own, left, left + tw, textTop + th / 2);
    };

    int const count = range->getNumGridlines();
    for (int i = 0; i < count; ++i) {
        mGridline* g = range->getGridline(i);
        float const pos = float(g->getParentPos());
        bool const single = count == 1;
        float const next =
            i + 1 < count ? float(range->getGridline(i + 1)->getParentPos()) : timeEnd;
        float const span = next - pos;
        int r = 0, gr = 0, b = 0, a = 0;

        if (rs && rs->getShowRamp()) {
            float const ext = std::trunc(clampedShare(float(rs->getRampSizePct()), perpSize,
                                                      rs->getRampMinSize(), rs->getRampMaxSize()));
            auto ramp = [&](float rx, float ry, float rw, float rh) {
                p.draw2dGradientRectHorz(
                    rx, ry, rw, rh, rs->getRampLowColorR(), rs->getRampLowColorG(),
                    rs->getRampLowColorB(), rs->getRampLowColorA(), rs->getRampHighColorR(),
                    rs->getRampHighColorG(), rs->getRampHighColorB(), rs->getRampHighColorA(),
                    rs->getRampMidColorR(), rs->getRampMidColorG(), rs->getRampMidColorB(),
                    rs->getRampMidColorA(), 0.5f);
            };
            if (horiz)
                ramp(pos, perpEnd - ext + 1, span, ext - 1);
            else
                ramp(perpEnd - ext, pos, ext, span);
        }

        bool const coloured =
            rs ? rs->getShowRangeBgColoring() && range->calcTickBgColor(g, myZoom, r, gr, b, a)
               : calcHeaderTickBgColor(range, g, r, gr, b, a);
        if (coloured) {
            p.setFillColorRgba8(r, gr, b, a);
            fillAcross(pos, span, perpStart, perpSize);
        }

        float tickStart = 0, tickEnd = 0;
        if (headerTick(range, g, perpStart, perpEnd, bottom, tickStart, tickEnd, r, gr, b, a)) {
            p.setLineColorRgba8(r, gr, b, a);
            lineAcross(pos, tickStart, tickEnd);
        }

        if (fontSize <= 0)
            continue;
        // The first gridline is the unit already running at the left edge: its label would be
        // cut off, so only a gridline alone in its row shows it, across the whole row.
        if (i > 0 && !g->getLabelDone()) {
            rtl::str const label = g->getLabel();
            bool show = false;
            if (rs) {
                if (rs->getShowLabels()) {
                    if (!(rs->getShowRangeBgColoring() &&
                          range->calcTickFgColor(g, myZoom, r, gr, b, a)))
                        r = rs->getLabelColorR(), gr = rs->getLabelColorG(),
                        b = rs->getLabelColorB(), a = rs->getLabelColorA();
                    p.setTextColorRgba8(r, gr, b, a);
                    show = true;
                }
            } else if (calcHeaderTickLabelColor(range, g, r, gr, b, a)) {
                p.setTextColorRgb8(r, gr, b);
                show = true;
            }
            if (show && *label.c() &&
                clearOfTicks(label.c(), pos + padL, perpStart + padT, span, perpSize, hAlign,
                             vAlign, pos))
                p.draw2dText(label.c(), pos + padL, perpStart + padT, span, perpSize, hAlign,
                             vAlign);
        }
        if (single) {
            bool show = false;
            if (rs && rs->getShowSpanLabel()) {
                r = rs->getSpanLabelColorR() < 0 ? rs->getLabelColorR() : rs->getSpanLabelColorR();
                gr = rs->getSpanLabelColorG() < 0 ? rs->getLabelColorG() : rs->getSpanLabelColorG();
                b = rs->getSpanLabelColorB() < 0 ? rs->getLabelColorB() : rs->getSpanLabelColorB();
                a = rs->getSpanLabelColorA() < 0 ? rs->getLabelColorA() : rs->getSpanLabelColorA();
                p.setTextColorRgba8(r, gr, b, a);
                show = true;
            } else if (calcHeaderTickLabelColor(range, g, r, gr, b, a)) {
                p.setTextColorRgb8(r, gr, b);
                show = true;
            }
            if (show) {
                rtl::str const label = g->getLabel();
                vAlign = -1;
                SC_TRACE_C("yellow",
                           "%s drawing SPANNING label '%s', perpPos %f, perpSize %f, vAlign=%i, "
                           "rgba = %i, %i, %i, %i\n",
                           "mSkin", label.c(), double(perpStart + padT), double(perpSize), vAlign,
                           r, gr, b, a);
                if (!*label.c())
                    continue;
                if (horiz) {
                    if (clearOfTicks(label.c(), x + 1, perpStart + padT, w - 2, perpSize, 0, vAlign,
                                     x))
                        p.draw2dText(label.c(), x + 1, perpStart + padT, w - 2, perpSize, 0,
                                     vAlign);
                } else
                    p.draw2dText(label.c(), perpStart + padT, y, perpSize, h, hAlign, 0);
            }
        }
    }
}

void mSkin::drawHeaderFg(Painter&) const
{
}

bool mSkin::headerTick(mRange* range, mGridline* gridline, float perpStart, float perpEnd,
                       float bottom, float& from, float& to, int& r, int& g, int& b, int& a) const
{
    if (gridline->getTickDone())
        return false;
    mRangeSetup const* rs = range->getRangeSetup();
    if (!rs) {
        float width = 0;
        return calcHeaderTickColorAndSize(range, gridline, perpStart, perpEnd, from, to, width, r,
                                          g, b, a);
    }
    if (!rs->getShowTick())
        return false;
    float const len = clampedShare(float(rs->getTickSizePct()), bottom - perpStart,
                                   rs->getTickMinSize(), rs->getTickMaxSize());
    from = bottom - len;
    to = bottom;
    r = rs->getTickColorR(), g = rs->getTickColorG(), b = rs->getTickColorB();
    a = rs->getTickColorA();
    return true;
}

void mSkin::keepHeaderTicks(float left, float right, std::vector<float> const& tops,
                            std::vector<float> const& heights, float bottom) const
{
    myHeaderTicks.clear();
    for (size_t i = 0; i < myVisRanges.size(); ++i) {
        mRange* range = myVisRanges[i];
        int const count = range->getNumGridlines();
        for (int k = 0; k < count; ++k) {
            mGridline* g = range->getGridline(k);
            float const pos = float(g->getParentPos());
            float from = 0, to = 0;
            int r = 0, gr = 0, b = 0, a = 0;
            // One beyond the ruler's edges is not seen.
            if (pos >= left && pos <= right &&
                headerTick(range, g, tops[i], tops[i] + heights[i], bottom, from, to, r, gr, b, a))
                myHeaderTicks.push_back({pos, std::min(from, to), std::max(from, to)});
        }
    }
    std::sort(myHeaderTicks.begin(), myHeaderTicks.end(),
              [](HeaderTick const& l, HeaderTick const& r) { return l.pos < r.pos; });
}

bool mSkin::tickRunsThrough(float own, float left, float right, float middle) const
{
    // Glyphs are measured as whole pixels, placed at fractions: a tick this near a label's text
    // touches it.
    float const from = std::max(own, left - TickClearance);
    auto tick = std::upper_bound(myHeaderTicks.begin(), myHeaderTicks.end(), from,
                                 [](float v, HeaderTick const& t) { return v < t.pos; });
    for (; tick != myHeaderTicks.end() && tick->pos < right + TickClearance; ++tick)
        if (tick->from < middle && middle < tick->to)
            return true;
    return false;
}

bool mSkin::calcHeaderTickColorAndSize(mRange* range, mGridline* gridline, float perpStart,
                                       float perpEnd, float& tickStart, float& tickEnd,
                                       float& tickWidth, int& r, int& g, int& b, int& a) const
{
    tickWidth = float(gridline->getWeight() + 1);
    r = FallbackTick.r, g = FallbackTick.g, b = FallbackTick.b, a = FallbackTick.a;
    tickEnd = perpEnd;
    int const depth = range->getStackDepth();
    tickStart = depth <= 0 ? perpStart : perpEnd - (perpEnd - perpStart) / float(depth + 1);
    return true;
}

bool mSkin::calcHeaderTickBgColor(mRange*, mGridline*, int& r, int& g, int& b, int& a) const
{
    r = FallbackColouring.r, g = FallbackColouring.g, b = FallbackColouring.b;
    a = FallbackColouring.a;
    return false;
}

bool mSkin::calcHeaderTickLabelColor(mRange* range, mGridline*, int& r, int& g, int& b,
                                     int& a) const
{
    if (range->getStackDepth() > 0)
        return false;
    r = FallbackLabel.r, g = FallbackLabel.g, b = FallbackLabel.b, a = FallbackLabel.a;
    return true;
}

bool mSkin::calcHeaderRangeGeom(mRange*, float& a, float& b, float& rowH, float maxTotalRangeHeight,
                                float minTotalRangeHeight) const
{
    if (maxTotalRangeHeight < minTotalRangeHeight && maxTotalRangeHeight != -1 &&
        minTotalRangeHeight != -1) {
        A_TRACE_C("red", "mSkin::calcHeaderRangeGeom: the maximum %f is below the minimum %f\n",
                  double(maxTotalRangeHeight), double(minTotalRangeHeight));
        return false;
    }
    a = 0;
    b = 0;
    size_t const rows = std::max<size_t>(myVisRanges.size(), 1);
    if (maxTotalRangeHeight >= 0)
        rowH = maxTotalRangeHeight / float(rows);
    else
        rowH = minTotalRangeHeight > 30 ? minTotalRangeHeight : 30;
    return true;
}

bool mSkin::calcGridLineColorAndSize(mRange*, mGridline* gridline, float& width, int& r, int& g,
                                     int& b, int& a) const
{
    int const weight = gridline->getWeight();
    width = float(weight + 1) * 0.3333333f;
    r = g = b = (weight + 1) * 30 + 30;
    a = 255;
    return true;
}

// Backgrounds, marks and the control panel ------------------------------------------------------

void mSkin::drawTimelineBg(Painter& p) const
{
    float x = 0, y = 0, w = 0, h = 0;
    p.get2dGeometry(x, y, w, h);
    p.setFillColorRgba8(getTimelineBgR(), getTimelineBgG(), getTimelineBgB(), 255);
    p.draw2dFilledRect(x, y, w, h);
}

void mSkin::drawTimelineFg(Painter& p) const
{
    if (ourSceneGuide)
        ourSceneGuide(p);
    if (!inContext())
        return;
    if (myScale->selectionType() != 0)
        drawTimeSelection(p);
    if (myTimeline->getLockToNowFlag())
        drawLockToNow(p);
}

void mSkin::drawTimeSelection(Painter& p) const
{
    if (!inContext())
        return;
    float x = 0, y = 0, w = 0, h = 0;
    p.get2dGeometry(x, y, w, h);
    int const type = myScale->selectionType();
    if (type == 1) {
        float const at = float(std::floor(myScale->localToParent(myScale->getSelStart())));
        p.setAntiAliasing(false);
        setLine(p, SelectionLine);
        p.draw2dLine(at, y, at, y + h);
    } else if (type == 2) {
        float const x1 = float(std::floor(myScale->localToParent(myScale->getSelStart())));
        float const x2 = float(std::ceil(myScale->localToParent(myScale->getSelEnd())));
        float const xm = std::floor(x1 + (x2 - x1) / 2);
        setFill(p, SelectionWash);
        p.draw2dFilledRect(x1, y, x2 - x1, h);
        p.setAntiAliasing(false);
        setLine(p, SelectionLine);
        p.draw2dLine(x1, y, x1, y + h);
        p.draw2dLine(x2, y, x2, y + h);
        p.setLineWidth(SelectionMiddleW);
        setLine(p, SelectionMiddle);
        p.draw2dLine(xm, y, xm, y + h);
    }
}

void mSkin::drawLockToNow(Painter& p) const
{
    float x = 0, y = 0, w = 0, h = 0;
    p.get2dGeometry(x, y, w, h);
    p.setAntiAliasing(false);
    setLine(p, NowLine);
    float cx = std::floor(x + w / 2);
    if (w / 2 == float(int(w) / 2))
        cx += 1;
    p.draw2dLine(cx, y, cx, y + h);
}

void mSkin::drawFooterBg(Painter& p) const
{
    washedGradient(p, FooterTop, FooterBottom);
}

void mSkin::drawCtrlPanel(Painter& p) const
{
    if (!inContext()) {
        A_TRACE_C("red", "mSkin::drawCtrlPanel: no drawing context\n");
        return;
    }
    syncScale();
    float x = 0, y = 0, w = 0, h = 0;
    p.get2dGeometry(x, y, w, h);
    drawFooterBg(p);
    p.setTextColorRgba8(getCtrlsLabelColorR(), getCtrlsLabelColorG(), getCtrlsLabelColorB(),
                        getCtrlsLabelColorA());
    std::array<std::string, 4> const left = readout(myVisStart, false);
    std::array<std::string, 4> const right = readout(myVisEnd, true);
    int const top = int(y + PanelTop);
    for (int k = 0; k < 4; ++k)
        p.draw2dText(left[size_t(k)].c_str(), float(int(x + PanelLeftInset)),
                     float(top + PanelPitch * k), -1, -1, -1, -1);
    for (int k = 0; k < 4; ++k) {
        char const* text = right[size_t(k)].c_str();
        float tw = 0, th = 0;
        p.getTextSize(text, tw, th);
        p.draw2dText(text, float(int(x + w - PanelRightInset - tw)), float(top + PanelPitch * k),
                     tw, th, 1, -1);
    }
    setLine(p, PanelTopLine);
    p.draw2dLine(x, y, x + w, y);
}
