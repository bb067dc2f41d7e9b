#pragma once

#include "Obh.h"
#include "aGraphic.h"
#include "aRefreshable.h"
#include "mLayerData.h"
#include "tlObj.h"

#include <memory>
#include <set>

class XmlReader;

// One layer of the timeline: a band of rows holding events. It keeps the set of its events (by
// handle, in handle order), a row scale and a time scale of its own (both in the store), the
// timeline that holds it, its scene item, and the caches of its extent. Its rows are the range of
// its row scale. Pooled in the store; refreshed in every pass before the timeline.
class mLayer : public tlObj, public mLayerData, public aGraphic, public aRefreshable
{
public:
    mLayer();
    ~mLayer() override;

    void clearObj() override;
    void recycleObj() override;
    // Taken from the pool: every attribute from its default (so the layer is active), new
    // scales, one row, no events, scheduled.
    void initObj() override;
    bool xmlReadStartElement(XmlReader& r, char const* name, int attrCount) override;
    void refresh(aRefreshContext* ctx) override;
    virtual mScale* timeScale() const { return myTimeScale; }
    virtual mScale* rowScale() const { return myRowScale; }
    // Scene geometry: a changed box is announced to the item first. setSceneH and setSceneW
    // answer false for the current value; a scene height at or above the layer's limit (or not a
    // finite number) is refused.
    bool setSceneH(double h) override;
    bool setSceneW(double w) override;
    // Always stores, and moves the item to that y.
    bool setSceneY(double y) override;
    bool checkSceneH(double h) const override;
    void giGetBbox(double& x, double& y, double& w, double& h) const override;
    // The band, in the item's picture: the fill, the edge lines at the bottom and the top, a
    // faint line at the top of every row.
    void giPaint(Painter& painter) const override;
    // The header of the layer the handle names, over the painter's area: the fill, the title
    // (in that layer's font) at the top left, a white outline when the layer is selected, the
    // edge lines. A handle that names no layer draws nothing.
    virtual void paintLayerHeader(Painter& painter, Obh& layer) const;
    // A layer has no contents of its own to draw: its events are items of their own.
    virtual void paintLayerContents(Painter& painter) const;
    // The fill colour as the band and the header draw it: its HSV value darkened, less for an
    // active layer than for an inactive one. The alpha is the stored one.
    void shadedFillColor(int& r, int& g, int& b) const;
    // The fill colour with its HSV value v made v * keep + (1 - v) * lift: below 1 keep darkens,
    // above 0 lift lightens towards white.
    void fillColorAtValue(float keep, float lift, int& r, int& g, int& b) const;
    virtual void resetSequence();

    mTimeline* getTimeline() const { return myTimeline; }
    void setTimeline(mTimeline* timeline) { myTimeline = timeline; }
    Obh getTimeScaleHdl() const { return myTimeScaleHdl; }
    Obh getRowScaleHdl() const { return myRowScaleHdl; }
    // A tick of the timeline as a time of the layer: the same number.
    double getTickTime(double tick) const { return tick; }
    // A layer keeps no time of its own to advance.
    void incrementTime() {}
    // Empties the event set (the events keep their layer handles) and raises the layer's event
    // dirt when it held any.
    void clearEvents();
    std::set<Obh> const& getEvents() const { return myEvents; }

    std::set<Obh> myEvents;
    mTimeline* myTimeline = nullptr;
    Obh myRowScaleHdl;
    Obh myTimeScaleHdl;
    mScale* myRowScale = nullptr;
    mScale* myTimeScale = nullptr;
    bool mySpansValid = false;
    std::unique_ptr<std::set<Obh>> myEventCache;
    double myEventCacheTime = 0.0;
    double mySpanMinTime = 0.0;
    double mySpanMaxTime = 0.0;
    double mySpanMinRi = 0.0;
    double mySpanMaxRi = 0.0;

private:
    void makeScales();
    void dropScales();
    void clearSpans();
};
