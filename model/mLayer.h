#pragma once

#include "Obh.h"
#include "ObhSet.h"
#include "aGraphic.h"
#include "aRefreshable.h"
#include "mLayerData.h"
#include "mRowIndex.h"
#include "mTimeIndex.h"
#include "tlObj.h"

#include <cmath>
#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <set>
#include <vector>

class XmlReader;
class XmlWriter;
class mEvent;

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
    // The same with the title ending at x titleEnd (where the header's controls begin): a longer
    // title loses its middle to "…", keeping its start and its end.
    virtual void paintLayerHeader(Painter& painter, Obh& layer, float titleEnd) const;
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
    // The same for a layer whose events all go next: the set and the index are emptied without
    // a walk over the events, each of which finds the layer empty as it goes (see forgetEvent).
    // Every event the layer held must go before anything files it again.
    void dropEventsThatGo();
    ObhSet const& getEvents() const { return myEvents; }

    // Rows and events. A row index's floor names the row, its fraction places the event in it;
    // the rows are the range of the row scale. Adding takes the event's time and whole row and
    // grows the rows to hold it; the first-fit form finds the lowest row from the first one
    // where the event's time (its marker for an instant) meets no event of this layer.
    void addEvent(Obh& ev, double startTime);
    void addEvent(Obh& ev, double startTime, double rowIndex);
    // The whole row that adding at a row index takes.
    static double wholeRow(double rowIndex) { return std::floor(static_cast<float>(rowIndex)); }
    // False when the layer does not hold the event; the event keeps no layer.
    bool deleteEvent(Obh& ev);
    bool removeEvent(Obh& ev);
    // removeEvent for many at once: handles in handle order, each held by this layer (filed in
    // it), their slots marked in `marked`. One pass over the set and over each index when many
    // go; a search in each for each of a few (see ObhSet::fewAmong). What the row index held of
    // them goes into `keep` (when not null), each row's into the row keepRow(row) names there;
    // from a row index not built, they are filed there from the time index. The spans stay known
    // when none of the events bounds them. Without unfile, events taken out in one pass keep their
    // layer handle and filing for the caller to clear (mTimeline::takeOutEvents does, in one walk
    // for every layer).
    void takeOutEvents(std::vector<Obh> const& handles, std::vector<bool> const& marked,
                       mRowIndex* keep, std::function<double(double)> const& keepRow,
                       bool unfile = true);
    // addEvent for many at once, each at the time and the row it has, none held by a layer:
    // handles in handle order. A sort and one merge into the set and the time index; for a few,
    // an insertion each.
    void addEvents(std::vector<Obh> const& handles);
    // First fit: the lowest free whole row from floor(startRi) for a block riSize high over
    // [startTime, endTime]; without a free row, the row below the last (which adding there
    // grows). With no event of any layer in that time, startRi itself.
    double getNextEmptyRowIndex(double startTime, double endTime, double riSize);
    double getNextEmptyRowIndex(double startTime, double endTime, double startRi, double riSize);
    bool isEmptyTest(double startTm, double endTm, double startRi, double endRi, bool);
    void addRows(int n);
    // Drops the empty rows: occupied rows renumbered from 0, fractions kept; one row at least.
    void fitRows();
    // Moves every event of the layer at row ri or below it down by n rows (the 4-argument form:
    // those that meet the time interval).
    void insertRowsAtIndex(double ri, double n);
    void insertRowsAtIndex(double startTime, double endTime, double ri, double n);
    // The span cache: earliest start, latest end, lowest row, highest row end (0 each for no
    // events). Computed when not valid, or when forced.
    void getSpans(double& minTime, double& maxTime, double& minRi, double& maxRi, bool force) const;
    void rebuildSpanCache(bool force);
    // The events present at a time, by row (one per row index), cached for the last time asked.
    using EventsByRow = std::set<Obh, bool (*)(Obh const&, Obh const&)>;
    EventsByRow* getEventCacheAtTime(double time);
    void getEventsAtTimeAndRow(double time, double row, std::list<Obh>& out);
    void getActiveEventsAtTime(double time, std::list<Obh>& out);
    void printEventsAtTime(double time);
    void printEventsCache();
    // Moves the items of the layer's events to their time and row.
    virtual void setEventPositionsWithinLayer();
    // The layer's item: z 0 (an existing one is kept).
    uiGi* giNew(Obh& hdl) const override;

    // The layer's events by time; and row by row, built when first asked.
    mTimeIndex const& timeIndex() const { return myTimeIndex; }
    mRowIndex& rowIndex();
    // Counts every filing, refiling and unfiling of an event in any layer: what was drawn from
    // the filings is stale when it moved.
    static std::uint64_t filings() { return ourFilings; }
    // Where size rows from row (the layer's own row units) lie in the timeline's row units, and
    // in the scene: top and height.
    void modelRowSpan(double row, double size, double& r, double& s) const;
    // The stack row (counted down the whole stack of layers) that a row of this layer is.
    int stackRowOf(double row) const;
    void sceneRowSpan(double row, double size, double& y, double& h) const;
    // Called by an event whose time, length or kind changed while the layer holds it.
    void refileEvent(mEvent& ev);
    // Called by an event that goes while the layer holds it: the layer lets go of it.
    void forgetEvent(mEvent& ev);

    // Records: the two scale handles, "layer_events", then the attributes.
    bool xmlReadEndElement(XmlReader& r, char const* name) override;
    bool xmlWrite(XmlWriter& w) override;
    char const* userNoun() const override { return "a layer"; }
    // After a load: the row scale's units, and every listed event filed by time.
    void postLoadHook() override;

    ObhSet myEvents;
    mTimeline* myTimeline = nullptr;
    Obh myRowScaleHdl;
    Obh myTimeScaleHdl;
    mScale* myRowScale = nullptr;
    mScale* myTimeScale = nullptr;
    mutable bool mySpansValid = false;
    std::unique_ptr<EventsByRow> myEventCache;
    double myEventCacheTime = 0.0;
    mutable double mySpanMinTime = 0.0;
    mutable double mySpanMaxTime = 0.0;
    mutable double mySpanMinRi = 0.0;
    mutable double mySpanMaxRi = 0.0;

private:
    void makeScales();
    void dropScales();
    void clearSpans();
    // The span cache over every event, from scratch.
    void computeSpans() const;
    // The cached spans widened to take in an event added; the row scale to take in the spans.
    void widenSpans(mEvent const& ev);
    void widenRowScale();
    // Calls f(handle, event) for every event of the cache for the time.
    template <class F> void forEachCachedAt(double time, F&& f);
    void fileEvent(mEvent& ev, Obh const& h);
    // Out of both indexes, under what it was filed.
    void unfileEvent(mEvent& ev);
    void unfileEvents();
    // Takes the event out of the set, the index and the caches; false when not held.
    bool takeOut(Obh& ev);
    // What taking an event out of the set leaves to do: the event keeps no layer and no filing.
    void letGo(Obh const& h);
    // After events were taken out: the caches go, and the spans unless kept; the change is
    // told.
    void eventsTakenOut(bool spansKept);
    // Whether the spans are known and stay the same without the event: it lies strictly inside
    // them in time, and in rows too unless another event keeps its row (rowKept).
    bool spansStayWithout(mEvent const& ev, bool rowKept) const;
    // takeOutEvents for a few, one at a time.
    void takeOutFew(std::vector<Obh> const& handles, mRowIndex* keep,
                    std::function<double(double)> const& keepRow);
    // Grows the rows by n and moves the candidates of this layer at ri or below down by n.
    void insertRows(double startTime, double endTime, double ri, double n,
                    std::vector<mEvent*> const& candidates);

    mTimeIndex myTimeIndex;
    mRowIndex myRowIndex;
    static inline std::uint64_t ourFilings = 0;
    bool myReadTimeScale = false;
    bool myReadRowScale = false;
};
