#pragma once

#include "Obh.h"
#include "aGraphic.h"
#include "mEventData.h"
#include "mTimeIndex.h"
#include "tlObj.h"

#include <algorithm>
#include <array>

class XmlReader;
class XmlWriter;
class aTs;
class mLayer;

// One event: a span of time (a start and a length) or an instant, placed at a fractional row of
// one layer, with its texts, colour style and colours. Pooled in the store; the timeline's and the
// layers' event sets know it by handle. It knows its layer by handle, may carry a payload by
// handle, and owns at most one scene item.
class mEvent : public mEventData, public aGraphic, public tlObj
{
public:
    mEvent();
    ~mEvent() override;

    void clearObj() override;
    // Taken from the pool: every attribute from its default, no layer, no payload, no item. A
    // new event in a reused slot shows nothing of the event that held it before.
    void initObj() override;
    void recycleObj() override;
    bool xmlReadStartElement(XmlReader& r, char const* name, int attrCount) override;
    // Moving to another row moves the item; the same row answers false.
    bool setRowIndex(double r) override;
    // Another height resizes the item; the same height answers false.
    bool setRowSize(double s) override;

    // One line for traces.
    virtual rtl::str desc() const;
    void giGetBbox(double& x, double& y, double& w, double& h) const override;
    // Draws the event into its item's picture, with a white highlight when it is selected.
    void giPaint(Painter& painter) const override;
    // Draws the event over the painter's area less 2 units above and below: an instant as a
    // diamond with lit and shaded edges, a span as a shaded box with lit and shaded edges and its
    // title, centred at the largest size that fits, else left-aligned at the smallest. lod is the
    // device pixels per unit (edges are one device pixel wide); alphaFactor scales every alpha;
    // the highlight, hlWidth wide in (hlR, hlG, hlB), is drawn when selected and showHighlight.
    // A drag draws the ghosts of its events through it, with settings of its own.
    virtual void draw(Painter& p, double lod, bool selected, float hlWidth, float alphaFactor,
                      bool showHighlight, int hlR, int hlG, int hlB) const;
    // The colours drawn, by the colour style: the event's own, or its layer's (the fill
    // lightened). The alpha is always the event's own.
    virtual void calcBgColor(int& r, int& g, int& b, int& a) const;
    virtual void calcLineColor(int& r, int& g, int& b, int& a) const;
    virtual void calcTextColor(int& r, int& g, int& b, int& a) const;
    // What the drawn colours are worked out from besides the layer, as stored: views that draw
    // many events compare these instead of working the colours out for each.
    struct LookInputs
    {
        int style;
        std::array<int, 8> own;
        bool instant;
        bool operator==(LookInputs const&) const = default;
    };
    LookInputs lookInputs() const
    {
        return {myColorStyle,
                {myBgColorR, myBgColorG, myBgColorB, myBgColorA, myLineColorR, myLineColorG,
                 myLineColorB, myLineColorA},
                myIsImpulse};
    }
    virtual void setPayload(Obh& pl) { myPayload = pl; }
    virtual Obh getPayload() const { return myPayload; }
    virtual double eventTime(double t) { return t; }
    virtual void resetSequence() {}
    // The event's own fill colour (not what its colour style draws).
    virtual void getColor(int& r, int& g, int& b, int& a) const;
    // The layer, or null when the handle names none.
    virtual mLayer* getLayer() const;
    virtual Obh getLayerHdl() const { return myLayerHdl; }
    virtual void setLayerHdl(Obh h) { myLayerHdl = h; }

    // Geometry. Times are seconds (or plain numbers on a numeric scale); time pixels are the
    // timeline's time scale; the row extents go through the layer's row scale (layer units), the
    // layer's modelY (model units) and the timeline's PERP scale (scene units). Whatever reads a
    // layer is for events in a layer.
    //
    // The time the event takes: a span's start and end, or an instant widened by its marker.
    void getPrePostTimes(double& pre, double& post) const;
    virtual double getEndTime() const;
    virtual int getIntFirstTime() const;
    virtual int getIntLastTime() const;
    // A span is present from its start to its end, both included; an instant only at its time.
    bool presentAtTimeTest(double t) const;
    // Present in one row from rowIndex, whatever the event's height.
    bool presentAtRowTest(double row) const;
    // Whether the event meets the window: never when it ends before the event begins; spans
    // that only touch do not meet. isBetweenTest traces its answer.
    bool isBetweenTest(aTs const& from, aTs const& to) const;
    virtual bool isVisibleBetween(aTs& from, aTs& to) const;
    virtual bool isVisibleBetween(double& from, double& to) const;
    // Time extents in whole time pixels. The model extent is the event's full length; the layer
    // (and scene) extent is clipped to what a view of P pixels can show, -P to 2P, one pixel
    // wide at least, so that no item grows with the event's length at a fine zoom.
    void getModelVisTimeSpan(double& t, double& size) const;
    void getLayerVisTimeSpan(double& t, double& size) const;
    // The pixel columns [x, x + w) of the item of what occupies pixels xPre to xPost of a view
    // viewWidth wide, as the item is placed.
    static void itemColumnsAt(double xPre, double xPost, double viewWidth, double& x, double& w);
    // The same from the floor of the first pixel and the ceiling of the last, both finite: all
    // the columns depend on.
    static void itemColumnsOfWhole(double startFloor, double endCeil, double viewWidth, double& x,
                                   double& w)
    {
        x = std::max(startFloor + 1.0, -viewWidth);
        w = std::max(1.0, std::min(endCeil, 2.0 * viewWidth) - x);
    }
    void getSceneVisTimeSpan(double& t, double& size) const;
    void getLayerVisRowSpan(double& r, double& size) const;
    void getModelVisRowSpan(double& r, double& size) const;
    void getSceneVisRowSpan(double& r, double& size) const;
    void getModelGeom(double& t, double& r, double& tSize, double& rSize) const;
    void getLayerGeom(double& x, double& y, double& w, double& h) const;
    void getSceneGeom(double& x, double& y, double& w, double& h) const;

    // The item: made with z 1 (an existing one is kept), placed at (x, y) in its layer's item,
    // w wide (whole, at least 1) and h high; an instant's origin is its marker's centre.
    uiGi* giNew(Obh& hdl) const override;
    void place(double x, double y, double w, double h);
    // Places the event's item under its layer's item when the event is in the time scale's
    // window (the way the scene sync places it), else drops the item; null without a registry,
    // without a layer, or out of the window.
    uiGi* giEnsure(Obh& hdl) const override;
    // Traced; clicks belong to the item.
    bool giMousePressEvent(int button) override;
    // Where the item sits and how big it is, from the clipped extent: x and w in the layer's
    // item, scene y relative to the layer's top, scene height. False without a layer.
    bool itemPlacement(double& x, double& y, double& w, double& h) const;

    // Pointer tests in item coordinates: +1 on the end edge (7 units, tested first), -1 on the
    // start edge, 0 on the body; an instant's edges lie 15 units to the left.
    int onEdgeTest(double localX) const;
    // The grab point of the event in a drag picture of w x h.
    void getDragPos(int w, int h, int& x, int& y) const;
    // Where an instant's marker lands when dropped at x: 16 pixels left.
    void adjustDropPos(int& x, int& y) const;
    // The event's row in the whole stack of layers; -9999 without a layer.
    int getStackRowIndex() const;

    // The time index of the layer that holds the event: where it is filed and under what.
    mTimeIndex::Extent indexExtent() const;
    mLayer* filedIn() const { return myFiledIn; }
    Obh filedHdl() const { return myFiledHdl; }
    mTimeIndex::Filed filed() const { return {myFiledLo, myFiledRow, myFiledRows, myFiledInstant}; }
    void setFiling(mLayer* layer, Obh const& h, mTimeIndex::Extent const& e);
    // Changes of time, length, kind or row move the event within its layer's indexes.
    void hookStartTime(double oldTime, double newTime) override;
    void hookTimeLength(double oldLength, double newLength) override;
    void hookIsImpulse(bool oldFlag, bool newFlag) override;
    void hookRowIndex(double oldRow, double newRow) override;
    void hookRowSize(double oldSize, double newSize) override;
    // So do changes of what its drawn colours are worked out from (the row index keeps it).
    void hookColorStyle(int, int) override { refile(); }
    void hookBgColorR(int, int) override { refile(); }
    void hookBgColorG(int, int) override { refile(); }
    void hookBgColorB(int, int) override { refile(); }
    void hookBgColorA(int, int) override { refile(); }
    void hookLineColorR(int, int) override { refile(); }
    void hookLineColorG(int, int) override { refile(); }
    void hookLineColorB(int, int) override { refile(); }
    void hookLineColorA(int, int) override { refile(); }
    bool setAttrByString(rtl::str name, rtl::str value, char const* type) override;
    // A time or a length must be a number.
    bool checkStartTime(double t) const override;
    bool checkTimeLength(double length) const override;
    // Records: "event_time" (the start, as a timestamp), "event_layer", then the attributes.
    // The time read back comes from the attribute; the timestamp is only checked.
    bool xmlReadEndElement(XmlReader& r, char const* name) override;
    bool xmlWrite(XmlWriter& w) override;
    char const* userNoun() const override { return "an event"; }
    // Its record, its layer's handle and its start's calendar fields: read from itself alone,
    // and silent but for a start beyond the calendar (the time classes trace it).
    bool xmlWritesAlone() const override;
    // The last scene sync that showed the event.
    unsigned int mySyncPass = 0;

private:
    // Part of what it is filed under (the rest below), kept where it costs no room.
    bool myFiledInstant = false;

public:
    Obh myPayload;
    Obh myLayerHdl;

private:
    // What recycling and clearing share.
    void release();
    // The time extents' columns for what occupies pixels xPre to xPost: the whole pixels it
    // meets; and in the layer those from the pixel after its first, one at least, cut to a
    // view's width either side of the view.
    static void modelColumnsAt(double xPre, double xPost, double& t, double& size);
    static void layerColumnsAt(double xPre, double xPost, double viewWidth, double& t,
                               double& size);
    // The scene height of s rows of the event's layer.
    double sceneRows(mLayer const& layer, double s) const;
    // The layer whose colours the event draws in, or null for its own colours.
    mLayer const* colourLayer() const;
    // Files the event again when what it was filed under changed.
    void refile();

    mLayer* myFiledIn = nullptr;
    Obh myFiledHdl;
    // A million events are filed at once: no more than what finds them again.
    double myFiledLo = 0.0;
    double myFiledRow = 0.0;
    double myFiledRows = 1.0;
};

// Orders events by row index (layers sort the events present at a time with it); handles that
// name no event come first.
bool compareEventsByRow(Obh const& a, Obh const& b);
