#pragma once

#include "DropZone.h"
#include "Obh.h"
#include "aRefreshable.h"
#include "mTimelineData.h"
#include "ref.h"
#include "str.h"
#include "tlObj.h"

#include <functional>
#include <list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

class Painter;
class XmlReader;
class XmlWriter;
class aTs;
class mEdb;
class mEvent;
class mLayer;
class mRowIndex;
class tlScene;
template <class T> class ObClassTypeOf;

// The one timeline of a document: the order of the layer stack, the current layer, and the two
// scales of the timeline, the TIME scale along the time axis and the PERP scale across it (which
// maps the stack's model units to scene pixels). Pooled in the store; refreshed once per pass
// at the timeline's level, where it runs its named steps in a fixed order.
class mTimeline : public tlObj, public mTimelineData, public aRefreshable
{
public:
    mTimeline();
    ~mTimeline() override;

    // Appends the handle of every listed layer, top first.
    virtual void getLayers(std::list<Obh>& out);
    // Taken from the pool: every attribute from its default, new scales, scheduled.
    void initObj() override;
    void refresh(aRefreshContext* ctx) override;
    void clearObj() override;
    void recycleObj() override;
    bool xmlReadStartElement(XmlReader& r, char const* name, int attrCount) override;
    virtual mScale* timeScale() const { return myTimeScale; }
    // The current layer, or nothing when there is none; becomes the top layer when none is
    // current and there are layers.
    virtual void setCurrentLayerHdl(Obh& h);
    virtual Obh getCurrentLayerHdl();
    // A different tick raises the tick's dirt.
    void hookTick(int oldTick, int newTick) override;
    virtual void incrementTick(int n);
    // Every set of the row scale or of the layer-control flag asks the views for a pass.
    void hookRowScale(double oldScale, double newScale) override;
    void hookShowLayerControls(bool oldFlag, bool newFlag) override;

    mScale* perpScale() const { return myVScale; }
    int getMaxStackRowIndex() const { return myMaxStackRowIndex; }
    Obh getTimeScaleHdl() const { return myTimeScaleHdl; }
    Obh getPerpScaleHdl() const { return myVScaleHdl; }
    // Advances the time of every active layer (which keeps none yet).
    void incrementTime();
    void printLayers();

    // The event set: every event of the timeline, by handle.
    mEdb* getEdb() const { return myEdb.get(); }
    // A layer is hidden while layer hiding is on and the layer is not active.
    bool layerHiddenTest(mLayer const& layer) const;

    // Stacking: lays the layers out top to bottom in the PERP scale's model units (padding
    // above, rows times the vertical scale, padding below), numbers their stack rows and the
    // layers that are not hidden, sets the PERP scale's extent, maps each layer to scene pixels
    // and marks the layers outside the visible rows. Hidden layers take no room.
    virtual void restackLayers();
    // Every layer's padding and rows, hidden ones included; 0 without layers.
    virtual double getTotalLayersSize() const;
    // Earliest event start, latest event end, top and bottom scene y over the layers; left as
    // they are without layers.
    void getSpans(double& minTime, double& maxTime, double& minY, double& maxY);

    // The layer list. Layers are appended, then moved; each layer's index is its place.
    Obh newLayer();
    // A layer of rows rows just above (below) the reference layer.
    Obh insertNewLayer(Obh layer, bool below, double rows);
    Obh insertNewLayerWithRowsAtTop(double rows);
    Obh insertNewLayerWithRowsAtBottom(double rows);
    // Moves the row scale's window just far enough to show the stacked layer with its padding
    // (its top, when it is taller than the window); raises DirtRowScalePan when it moved.
    // Whether it moved.
    bool revealLayer(Obh layer);
    // Moves the layer at fromIndex (the last one for -1) to the fractional place toIndex: 0.5
    // between the first two, -0.5 before the first. Nothing for a whole or a wrong place.
    void moveLayer(float toIndex, int fromIndex);
    // Takes the layer out of the selection and the list, deletes its events and returns it to
    // its pool; when it was current, no layer is current until the next request.
    void deleteLayer(Obh layer);
    void deleteSelectedLayers();
    // Deletes the empty layers (after fitting their rows when fit), keeping the top one when
    // every layer is empty.
    void collapseLayers(bool fit);
    void clearLayers();
    void countLayersAndRows(int& layers, int& rows);
    std::vector<Obh> const& getLayerHdls() const { return myLayerHdls; }

    // Events. newEvent makes an event at the time selection (an instant for a point, or the
    // middle of the visible range without one) in the first free row of the current layer,
    // making a layer when there is none. addEvent places an event in its own layer, else the
    // current one, else a new one: in the first free row, or at the row given; the result is
    // the layer used, or nothing when the handle names no event.
    Obh newEvent(Obh payload);
    Obh addEvent(Obh ev, double startTime);
    Obh addEvent(Obh ev, double startTime, double rowIndex, Obh layer, bool flag);
    // Out of the selection, every layer and the event set; deleteEvent also returns it to its
    // pool, removeEvent keeps it (with its attributes) for adding back.
    void deleteEvent(Obh& ev);
    void removeEvent(Obh& ev);
    // removeEvent for many events at once, given by the layer that holds them (filed there), in
    // handle order, with their slots marked in `marked`: each layer takes out its own in one
    // pass (mLayer::takeOutEvents, which keeps their row entries in `keep`, in the rows
    // keepRow(layer, row) names), then the events of `all` (in handle order) let go of their
    // layers and the event set lets go of them, a walk each.
    using EventsByLayer = std::vector<std::pair<mLayer*, std::vector<Obh>>>;
    void takeOutEvents(EventsByLayer& byLayer, std::vector<Obh> const& all,
                       std::vector<bool> const& marked, mRowIndex* keep,
                       std::function<double(mLayer const&, double)> const& keepRow);
    // addEvent for many events at once, each into the layer it names, at the time and the row it
    // has (mLayer::addEvents), given in handle order. Those whose layer is gone are left out and
    // returned, in order.
    std::vector<Obh> addEvents(std::vector<Obh> const& handles);

    // The drop zone on the row axis (model units of the PERP scale) at a scene row position,
    // with its layer (and the layer across a gap), the band the guide marks, the region divided
    // to find it and the zone's caption; NoLayer, with the outputs untouched, when no layer is
    // visible. Null outputs are skipped.
    DropZone getLayerHdlZoneAtSceneRowPos(double scenePos, Obh& layer, Obh& other,
                                          double* zoneStart, double* zoneSize, double* gapStart,
                                          double* gapSize, rtl::str* caption) const;
    // Stack row -> (row within the layer, layer) for every row of every visible layer.
    void getSriIndex(std::map<int, std::pair<double, Obh>>& out);
    // The layer and row of a stack row: layers that are not hidden only (a hidden layer has no
    // stack rows). False when no layer covers it.
    bool getLayerAndRowByStackRowIndex(int sri, Obh& layer, double& ri);
    Obh getBottomLayer() const;
    void getBreadLayers(Obh& top, Obh& bottom) const;

    // Selection ranges. Times are seconds; rows are the PERP scale's model units.
    virtual int getSelectedEventsRanges(double& tMin, double& tMax, double& rMin, double& rMax,
                                        bool withMarkers);
    virtual int getSelectedLayerRanges(double& rMin, double& rMax);
    virtual bool getSelectedTimeRange(double& start, double& end);
    // The union of the three; sets the flags only to true (the caller clears them).
    virtual void getSelectedRanges(double& tMin, double& tMax, bool& hasTime, double& rMin,
                                   double& rMax, bool& hasRows, bool withMarkers);
    // The selected layers, or every layer when none is.
    virtual void getLayersToActOn(std::set<Obh>& out);
    // A click with Shift on a layer: deselects a selected one, else selects the range to the
    // nearest selected layer above (or below).
    virtual void shiftSelectLayer(Obh layer);
    bool getTimeSpanOfSelectedEvents(aTs& from, aTs& to);
    // Start and length of every selected event at the press of a stretch; null when none.
    using LengthMap = std::map<Obh, std::pair<double, double>>;
    rtl::ref<LengthMap> getSelectedEventLengths() const;
    // Drags an edge (negative: the start, positive: the end) of every selected event by the
    // pointer's move from pressX to dragX (scene x), keeping the pressed event's grab offset, and
    // no farther than keeps every moved edge within the dated times.
    // An event squeezed to within 4 units of its other edge becomes an instant; events without
    // an entry in the map are left alone. The scene width follows: an event's item in the scene
    // takes the clipped extent the scene sync gives it, an event without one its whole width at
    // the scale (an instant's marker, 30, either way).
    void stretchSelectedEvents(int edge, double dragX, double pressX, Obh pressed,
                               rtl::ref<LengthMap> lengths);

    // The scene: items for the visible layers (in the scene) and the visible events (children
    // of their layer's item); out of view, a layer's item leaves the scene and an event's item
    // is deleted. Both walks cost what is visible.
    virtual void syncEventsToView();
    virtual bool syncEventToView(Obh ev, tlScene* scene);
    virtual bool syncLayerToView(Obh layer, tlScene* scene);
    virtual bool layerIsInVisibleRangeTest(mLayer* layer);
    // Every layer's scales follow the timeline's time scale and the layer's height.
    void syncLayerViews();
    void paintTimelineTimeScale(Painter& p);
    // Shows (or drops) one event whose layer was synced: the part of the scene sync after the
    // layer. True when shown.
    bool syncEventInLayer(mEvent& ev, Obh const& h, mLayer& layer, bool layerShown);

    // Records: the attributes, "time_scale", "row_scale", "layers", "events".
    bool xmlReadEndElement(XmlReader& r, char const* name) override;
    bool xmlWrite(XmlWriter& w) override;
    void postLoadHook() override;
    // Whether the timelines, layers and events read into the pools form a sound model: every
    // handle live and of its type, every layer listed once by a timeline at its index, every
    // listed event in the timeline's set and its layer's and naming that layer, every scale held
    // by one owner, rows within range. why says what is wrong. An event in no layer and no set
    // (left over by older versions) is kept without a layer.
    static bool checkRecords(ObClassTypeOf<mTimeline>& timelines, ObClassTypeOf<mLayer>& layers,
                             ObClassTypeOf<mEvent>& events, ObClassTypeOf<mScale>& scales,
                             std::string& why);

    Obh myTimeScaleHdl;
    mScale* myTimeScale = nullptr;
    Obh myVScaleHdl;
    mScale* myVScale = nullptr;
    int myMaxStackRowIndex = -1;
    // Top first: entry i names the layer whose index is i.
    std::vector<Obh> myLayerHdls;
    Obh myCurrentLayerHdl;

private:
    void makeScales();
    void dropScales();
    // What recycling and clearing share: the object goes back to a bare, unscheduled state.
    void release();
    // Refresh step 5: the events of the time selection become the selection.
    void selectEventsByTimeSelection();
    // Refresh step 9: every layer's time scale spans the timeline's events.
    void snapLayersToTimelineTimeScale();
    // The PERP scale's window within the stack's extent, moved as a pan would clamp it; raises
    // DirtRowScalePan when it moved.
    void keepRowWindowOnStack();
    // A layer's time scale takes the timeline's window, unless nothing could be laid out.
    void followTimeWindow(mLayer& layer, double visStart, double visEnd);
    // The layers in list order with their indexes renumbered.
    void setLayerList(std::vector<Obh> layers);

    std::unique_ptr<mEdb> myEdb;
    bool myReadTimeScale = false;
    bool myReadRowScale = false;
};
