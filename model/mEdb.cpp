#include "mEdb.h"

#include "ObClassTypeOf.h"
#include "XmlReader.h"
#include "XmlWriter.h"
#include "aTrace.h"
#include "aTs.h"
#include "mEvent.h"
#include "mLayer.h"
#include "mScale.h"
#include "mTimeline.h"
#include "mTrace.h"
#include "uiGi.h"

#include <algorithm>
#include <cstring>
#include <vector>

mEdb::mEdb(mTimeline* timeline) : myTimeline(timeline)
{
}

mEdb::~mEdb() = default;

void mEdb::registerEvent(Obh& h)
{
    myEvents.insert(h);
}

void mEdb::unregisterEvent(Obh& h)
{
    myEvents.erase(h);
}

void mEdb::unregisterEvents(std::vector<Obh> const& handles)
{
    myEvents.eraseSorted(handles);
}

template <class F> bool mEdb::forEachBetween(double from, double to, bool shownOnly, F&& f)
{
    if (!myTimeline)
        return false;
    double const lo = std::min(from, to), hi = std::max(from, to);
    double const reach = mTimeIndex::instantReach(*myTimeline);
    for (Obh const& lh : myTimeline->getLayerHdls()) {
        mLayer const* layer = tlObj::layerOf(lh);
        if (!layer || (shownOnly && myTimeline->layerHiddenTest(*layer)))
            continue;
        bool const stopped = layer->timeIndex().forEachNear(lo, hi, reach, [&](mEvent* ev) {
            Obh const h = ev->filedHdl();
            double a = from, b = to;
            if (!isRegistered(h) || !ev->isVisibleBetween(a, b))
                return false;
            return f(h, ev);
        });
        if (stopped)
            return true;
    }
    return false;
}

template <class Out, class Get>
void mEdb::findSorted(aTs const& from, aTs const& to, Out& out, Get get)
{
    double const f = from.asSeconds(), t = to.asSeconds();
    if (Ob::ourTrace)
        A_TRACE("findAllEventsIncludingAndBetween %s -> %s, checking %i events\n",
                from.getStr(false).c(), to.getStr(false).c(), static_cast<int>(myEvents.size()));
    std::vector<Obh> found;
    forEachBetween(f, t, false, [&](Obh const& h, mEvent* ev) {
        M_TRACE_C("cyan", "      got ev %s, ri %f -> %f\n", ev->desc().c(), ev->getRowIndex(),
                  ev->getRowIndex() + ev->getRowSize());
        found.push_back(h);
        return false;
    });
    std::sort(found.begin(), found.end());
    for (Obh const& h : found)
        out.push_back(get(h));
}

void mEdb::findAllEventsIncludingAndBetween(aTs const& from, aTs const& to, std::list<mEvent*>& out)
{
    findSorted(from, to, out, [](Obh const& h) { return tlObj::eventOf(h); });
}

void mEdb::findAllEventsIncludingAndBetween(aTs const& from, aTs const& to, std::list<Obh>& out)
{
    findSorted(from, to, out, [](Obh const& h) { return h; });
}

void mEdb::findShownEventsBetween(double from, double to, std::list<Obh>& out)
{
    std::vector<Obh> found;
    forEachBetween(from, to, true, [&](Obh const& h, mEvent*) {
        found.push_back(h);
        return false;
    });
    std::sort(found.begin(), found.end());
    out.insert(out.end(), found.begin(), found.end());
}

bool mEdb::anyEventBetween(double from, double to)
{
    return forEachBetween(from, to, false, [](Obh const&, mEvent*) { return true; });
}

void mEdb::noteItemMade(Obh const& h)
{
    myWithItems.push_back(h);
}

void mEdb::syncEventsToView(mTimeline* timeline, tlScene* scene)
{
    M_TRACE_C("white", "mEdb::syncEventsToView - checking %i events\n",
              static_cast<int>(myEvents.size()));
    if (!timeline || !scene || !timeline->timeScale())
        return;
    if (++mySyncPass == 0)
        mySyncPass = 1;
    std::vector<Obh> shown;
    mScale const* ts = timeline->timeScale();
    double const tStart = ts->getMinVisValue(), tEnd = ts->getMaxVisValue();
    double const reach = mTimeIndex::instantReach(*timeline);
    // Only what the view shows is walked: each visible layer's events near the window.
    for (Obh const& lh : timeline->getLayerHdls()) {
        mLayer* layer = tlObj::layerOf(lh);
        if (!layer || !timeline->syncLayerToView(lh, scene))
            continue;
        // What a layer files is registered here (the per-frame walk does not look it up).
        layer->timeIndex().forEachNear(tStart, tEnd, reach, [&](mEvent* ev) {
            Obh const h = ev->filedHdl();
            if (timeline->syncEventInLayer(*ev, h, *layer, true)) {
                ev->mySyncPass = mySyncPass;
                shown.push_back(h);
            }
            return false;
        });
    }
    // Whatever had an item and was not shown now loses it.
    for (Obh const& h : myWithItems) {
        mEvent* ev = tlObj::eventOf(h);
        if (ev && ev->mySyncPass != mySyncPass && ev->giGet())
            ev->giClear();
    }
    myWithItems = std::move(shown);
}

void mEdb::clear(bool freeEvents)
{
    if (freeEvents)
        for (Obh h : myEvents)
            if (tlObj::eventOf(h))
                h.dealloc();
    myEvents.clear();
    myWithItems.clear();
}

void mEdb::printEvents()
{
    A_TRACE("PRINTING %i events\n", static_cast<int>(myEvents.size()));
    for (Obh const& h : myEvents) {
        mEvent* ev = tlObj::eventOf(h);
        if (!ev) {
            A_TRACE_C("red", "mEvent[?] slot %u names no event\n", h.getAddr());
            continue;
        }
        mLayer const* layer = ev->getLayer();
        char const* title = layer ? layer->getTitle().c() : "(none)";
        if (ev->giGet()) {
            double x = 0, y = 0, w = 0, hgt = 0;
            ev->giGetBbox(x, y, w, hgt);
            A_TRACE_C("red", "mEvent[%s] ri %f, riSize %f, gi? %s: (%f , %f)  %f x %f, layer %s\n",
                      ev->desc().c(), ev->getRowIndex(), ev->getRowSize(), "YES", x, y, w, hgt,
                      title);
        } else {
            A_TRACE_C("red", "mEvent[%s] ri %f, riSize %f, gi? NO, layer %s\n", ev->desc().c(),
                      ev->getRowIndex(), ev->getRowSize(), title);
        }
    }
}

bool mEdb::xmlWrite(XmlWriter& w)
{
    bool ok = true;
    for (Obh const& h : myEvents) {
        if (!tlObj::eventOf(h)) {
            A_TRACE_C("red", "mEdb: slot %u names no event, not written\n", h.getAddr());
            continue;
        }
        ok = Obh::xmlWriteHdl(w, "event", h, nullptr) && ok;
    }
    return ok;
}

bool mEdb::xmlReadStartElement(XmlReader& r, char const* name, int attrCount)
{
    if (std::strcmp(name, "event") != 0)
        return XmlReadHandler::xmlReadStartElement(r, name, attrCount);
    // Whether it names an event of the timeline is checked once every object is read.
    Obh h;
    if (!Obh::xmlReadHdl(r, &h, nullptr) || !h.isValid()) {
        A_TRACE_C("red", "mTimeline: an \"event\" is not a readable handle\n");
        r.fail("mTimeline: an \"event\" is not a readable handle");
        return true;
    }
    M_TRACE("Read event hdl\n");
    registerEvent(h);
    return true;
}

bool mEdb::xmlReadEndElement(XmlReader& r, char const* name)
{
    if (std::strcmp(name, "event") == 0)
        return true;
    return XmlReadHandler::xmlReadEndElement(r, name);
}
