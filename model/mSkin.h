#pragma once

#include "aTs.h"
#include "mSkinData.h"
#include "tlObj.h"

#include <vector>

class Painter;
class XmlReader;
class mGridline;
class mRange;
class mRangeSetup;
class mRangeSetups;

// The skin of one component: the colours, the label font and the header geometry of the
// document's timeline views, and the painter of what belongs to no layer or event. Its drawing
// runs inside a context that a view opens for one timeline and one orientation and closes after
// the paint; the context caches what the drawing reads of the time scale, so every part of one
// paint sees the same scale. Contexts do not nest.
//
// The record's integer getSceneYScale and tlObj's row zoom share a name: callers on a skin name
// the one they mean (mSkinData:: or tlObj::).
class mSkin : public mSkinData, public tlObj
{
public:
    mSkin();
    ~mSkin() override;

    void clearObj() override;
    // Taken from the pool: every attribute from its default, the scene scales 1, no context.
    void initObj() override;
    void recycleObj() override;
    bool xmlReadStartElement(XmlReader& r, char const* name, int attrCount) override;

    // Opens the context for the timeline, time along x when horiz. Opening a second one stops
    // the program: every beginContext needs its endContext (Context pairs them for a scope). A
    // time scale that must be laid out again is laid out first, so that the context holds its
    // new state.
    virtual void beginContext(mTimeline* timeline, bool horiz);

    // The drawing context for one scope: opened on construction, closed when the scope ends,
    // whichever way it ends.
    class Context
    {
    public:
        Context(mSkin& skin, mTimeline* timeline, bool horiz) : mySkin(skin)
        {
            skin.beginContext(timeline, horiz);
        }
        ~Context() { mySkin.endContext(); }
        Context(Context const&) = delete;
        Context& operator=(Context const&) = delete;

    private:
        mSkin& mySkin;
    };

    // Drawing, over the painter's area (which each operation reads first and leaves as it found
    // it). What reads the time scale or the timeline draws nothing outside a context.

    // The time ruler: the visible ranges as header rows, the last one at the top, each given its
    // share of the height by its row-scale units (a row style may cap or widen it), with the
    // rows' backgrounds, ramps, range colouring, ticks and labels; then the time selection and the
    // lock-to-now mark over the bottom 10 pixels.
    virtual void drawHeader(Painter& painter) const;
    virtual void drawBg(Painter& painter) const;
    // The control panel: the footer's background, then the date and time of the visible start
    // at the left and of the visible end at the right, four lines each, in the painter's font.
    virtual void drawCtrlPanel(Painter& painter) const;
    virtual void endContext();
    // A header row's height: the maximum total shared by the visible ranges, else the minimum
    // total when above 30, else 30; a and b are 0. False, with nothing set, when the maximum is
    // below the minimum (neither -1).
    virtual bool calcHeaderRangeGeom(mRange* range, float& a, float& b, float& rowH,
                                     float maxTotalRangeHeight, float minTotalRangeHeight) const;
    // The corner pane's and the control panel's background: a dark gradient, a faint wash.
    virtual void drawFooterBg(Painter& painter) const;
    // The ruler's background: a gradient, a faint wash and the skin's line along the bottom.
    virtual void drawHeaderBg(Painter& painter) const;
    // One header row (the painter's area), gridline by gridline: the ramp, the range's colouring,
    // the tick (ending at top + height, the ruler's bottom edge), the label (never on the first
    // gridline) and, for a gridline alone in the row, the label across the whole row.
    virtual void drawRangeHeaderLabels(Painter& painter, mRange* range, float top,
                                       float height) const;
    // One header row's background and top and bottom lines, as its row style says.
    virtual void drawRangeHeaderBg(Painter& painter, mRange* range, float top, float height) const;
    virtual void drawHeaderFg(Painter& painter) const;
    // The looks of a row that has no row style. A tick: red, weight + 1 wide, over the row's
    // depth share of the perpendicular extent. No colouring. Labels in red on rows of their own
    // band only. Each answers whether to draw.
    virtual bool calcHeaderTickColorAndSize(mRange* range, mGridline* gridline, float perpStart,
                                            float perpEnd, float& tickStart, float& tickEnd,
                                            float& tickWidth, int& r, int& g, int& b, int& a) const;
    virtual bool calcHeaderTickBgColor(mRange* range, mGridline* gridline, int& r, int& g, int& b,
                                       int& a) const;
    virtual bool calcHeaderTickLabelColor(mRange* range, mGridline* gridline, int& r, int& g,
                                          int& b, int& a) const;
    // A grid line's look by its weight: heavier lines wider and lighter.
    virtual bool calcGridLineColorAndSize(mRange* range, mGridline* gridline, float& width, int& r,
                                          int& g, int& b, int& a) const;
    // The graphics view's background: the skin's timeline colour, opaque.
    virtual void drawTimelineBg(Painter& painter) const;
    // The graphics view's foreground: the guide of a drag in progress (ourSceneGuide), the time
    // selection, the lock-to-now line.
    virtual void drawTimelineFg(Painter& painter) const;
    // A point selection as a line, a span as a wash between two lines with a dark middle line;
    // always across the area, at the selection's pixel columns.
    virtual void drawTimeSelection(Painter& painter) const;
    // A green line in the area's middle column (right of the middle on an even width), where the
    // present time stays while the view is locked to now.
    virtual void drawLockToNow(Painter& painter) const;

    // What a drag in progress draws over the scene: the ghosts of the dragged events and the
    // label of the drop zone. The drag-and-drop side installs it once (it asks the hand for its
    // handful and, when the handful has a Qt side, lets that draw its guide); the foreground
    // calls it first, with the painter over the whole view. Null: nothing is drawn.
    using SceneGuide = void (*)(Painter& painter);
    static SceneGuide ourSceneGuide;

    // The orientation of the last context (horizontal before the first).
    bool getHorizFlag() const { return myHorizFlag; }
    bool inContext() const { return myTimeline != nullptr; }

    mTimeline* myTimeline = nullptr;
    mScale* myScale = nullptr;
    std::vector<mRange*> myAllRanges;
    std::vector<mRange*> myVisRanges;
    double myZoom = 0.0;
    bool myHorizFlag = true;
    aTs myVisStart;
    aTs myVisEnd;
    mRangeSetups* myRangeSetups = nullptr;
    // The row style of the header row being drawn; null outside a row.
    mutable mRangeSetup* myCurRangeSetup = nullptr;

private:
    void startFresh();
    // Reads the context's copy of the time scale's state.
    void readScale();
    // Lays the time scale out again when it must be, and reads it again then.
    void syncScale() const;
    // The tick a row draws for a gridline, across from `from` to `to` (a row style's tick ends at
    // bottom, the ruler's edge), and its colour; false where the row draws none.
    bool headerTick(mRange* range, mGridline* gridline, float perpStart, float perpEnd,
                    float bottom, float& from, float& to, int& r, int& g, int& b, int& a) const;
    // Keeps the ticks every row of the ruler is about to draw within the ruler's width (from
    // left to right), the rows lying at tops with their heights, by place along the time axis.
    void keepHeaderTicks(float left, float right, std::vector<float> const& tops,
                         std::vector<float> const& heights, float bottom) const;
    // Whether a kept tick runs through a label lying from left to right along the time axis with
    // the middle of its line at middle across it; the label's own gridline, at own, does not.
    bool tickRunsThrough(float own, float left, float right, float middle) const;

    // A tick drawn across the ruler: its place along the time axis, its extent across it.
    struct HeaderTick
    {
        float pos, from, to;
    };
    // The ticks of all rows while the ruler is drawn; none outside drawHeader.
    mutable std::vector<HeaderTick> myHeaderTicks;
};
