#pragma once

#include "Obh.h"
#include "ObhSet.h"
#include "XmlReadHandler.h"

#include <list>
#include <vector>

class XmlReader;
class XmlWriter;
class aTs;
class mEvent;
class mTimeline;
class tlScene;

// The timeline's register of every event that belongs to it, whatever its layer: handles in
// handle order (type, then slot). It answers which events meet a stretch of time through the
// time indexes of the timeline's layers (every registered event is filed in its layer), so a
// search costs what it finds, not the number of events. It keeps the scene in step with the
// visible part of the timeline, and reads the timeline's "events" element of a document.
//
// The events live in the store's event pool; only clear(true) frees them.
class mEdb : public XmlReadHandler
{
public:
    explicit mEdb(mTimeline* timeline);
    ~mEdb() override;
    mEdb(mEdb const&) = delete;
    mEdb& operator=(mEdb const&) = delete;

    bool xmlReadStartElement(XmlReader& r, char const* name, int attrCount) override;
    bool xmlReadEndElement(XmlReader& r, char const* name) override;
    // One "event" handle element per registered event that is live, in handle order.
    virtual bool xmlWrite(XmlWriter& w);

    // Registering twice keeps one entry; unregistering what is not registered does nothing.
    void registerEvent(Obh& h);
    void unregisterEvent(Obh& h);
    // The same for many events at once, given in handle order: one walk over the register (a
    // search each for a few).
    void unregisterEvents(std::vector<Obh> const& handles);
    void registerEvents(std::vector<Obh> const& handles);
    bool isRegistered(Obh const& h) const { return myEvents.contains(h); }
    ObhSet const& getEvents() const { return myEvents; }
    std::size_t size() const { return myEvents.size(); }

    // Appends, in handle order, every registered event that meets [from, to]: never one that
    // begins after to; spans that only touch do not meet; an instant occupies its marker.
    void findAllEventsIncludingAndBetween(aTs const& from, aTs const& to, std::list<mEvent*>& out);
    void findAllEventsIncludingAndBetween(aTs const& from, aTs const& to, std::list<Obh>& out);
    // The same over the layers that are not hidden, for what the user can see.
    void findShownEventsBetween(double from, double to, std::list<Obh>& out);
    // Whether any registered event meets [from, to]; stops at the first.
    bool anyEventBetween(double from, double to);

    // Gives every event in the visible rows and times its item under its layer's item, and
    // takes the item from every event that had one and is out of view now. A row whose events
    // cannot be told apart (thinner than MinRowPixels, or with fewer than MinPixelsPerEvent
    // pixels an event) is marked crowded instead: its layer's item draws and picks its events
    // per pixel column, from the layer's row index. Past ItemBudget events in items, the
    // fullest rows are crowded too. Walks the rows in view and what gets or had an item, never
    // the events of a crowded row.
    void syncEventsToView(mTimeline* timeline, tlScene* scene);
    // Syncs again when what the last sync was made from has changed since (an event filed or
    // moved, a layer's place or rows, either scale's mapping, the held event): whatever made the
    // change, and whether or not a refresh step follows it, every event in view is then drawn
    // once, by its item or by its crowded row. Costs a look at each layer when nothing changed.
    void syncIfChanged(mTimeline* timeline, tlScene* scene);
    // Off, no row is crowded: every event in view has its item, the picture the crowded drawing
    // is held to.
    static bool ourCrowdedRows;
    static constexpr double MinRowPixels = 4.0;
    static constexpr std::size_t MinPixelsPerEvent = 4;
    static constexpr std::size_t ItemBudget = 1000;
    // An event made an item (wherever that happened): the next sync drops it when out of view.
    void noteItemMade(Obh const& h);
    // The event drawn at a scene point of a crowded row (an instant's marker above the spans, as
    // drawn), or an invalid handle. Costs a binary step a crowded row there.
    Obh crowdedEventAt(double x, double y);
    // Appends the events of crowded rows drawn within the scene rectangle [x0, x1) x [y0, y1)
    // (the way a rubber band selects items: any of their pixels in it), in handle order.
    void crowdedEventsIn(double x0, double y0, double x1, double y1, std::vector<Obh>& out);
    // The event keeps its item while in view, crowded row or not: the one a press went to, so
    // that its press, drag or double click reaches it as any event's does. One at a time.
    void holdItem(Obh const& h) { myHeld = h; }

    // With true, every registered event goes back to its pool first.
    void clear(bool freeEvents);
    void printEvents();

private:
    // Calls f(handle, event) for every registered event of the timeline's layers (all of them,
    // or only those not hidden) that meets [from, to]; f answers true to stop.
    template <class F> bool forEachBetween(double from, double to, bool shownOnly, F&& f);
    // Calls f(row) for every crowded row of the shown layers whose drawn pixels meet the scene's
    // band [y0, y1), until f answers true.
    template <class F> void forEachCrowdedRowIn(double y0, double y1, F&& f);
    template <class Out, class Get>
    void findSorted(aTs const& from, aTs const& to, Out& out, Get get);

    // What a sync is made from, in numbers.
    std::vector<double> syncInputs(mTimeline& timeline, tlScene const* scene) const;

    mTimeline* myTimeline;
    ObhSet myEvents;
    std::vector<double> mySynced;
    // Events that had an item after the last sync or made one since.
    std::vector<Obh> myWithItems;
    Obh myHeld;
    unsigned int mySyncPass = 0;
};
