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
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

bool mEdb::ourCrowdedRows = true;

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

void mEdb::registerEvents(std::vector<Obh> const& handles)
{
    myEvents.insertSorted(handles);
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
    mySynced = syncInputs(*timeline, scene);
    if (++mySyncPass == 0)
        mySyncPass = 1;
    mScale const* ts = timeline->timeScale();
    mScale const* perp = timeline->perpScale();
    double const tStart = ts->getMinVisValue(), tEnd = ts->getMaxVisValue();
    double const pStart = perp ? perp->getMinVisValue() : 0.0;
    double const pLen = perp ? perp->getMaxVisValue() - pStart : 0.0;
    double const reach = mTimeIndex::instantReach(*timeline);
    int const width = std::max(1, ts->getParentSize());
    // Every row in view of a shown layer: crowded when too thin or too full for its events to
    // be told apart, else a candidate for items.
    struct Candidate
    {
        mLayer* layer;
        mRowIndex::Row* row;
        std::size_t count;
    };
    std::vector<Candidate> open;
    std::size_t inItems = 0;
    for (Obh const& lh : timeline->getLayerHdls()) {
        mLayer* layer = tlObj::layerOf(lh);
        if (!layer || !timeline->syncLayerToView(lh, scene))
            continue;
        for (auto& [key, row] : layer->rowIndex().rows()) {
            row.crowded = false;
            double r = 0, rSize = 0, y = 0, h = 0;
            layer->modelRowSpan(key.row, key.size, r, rSize);
            if (!perp || !tlObj::dimIntersects(pStart, pLen, r, rSize))
                continue;
            layer->sceneRowSpan(key.row, key.size, y, h);
            // Those that start in view: a long span that reaches in from before is one of few.
            std::size_t const count = row.countStartingIn(tStart - reach, tEnd + reach);
            if (ourCrowdedRows &&
                (h < MinRowPixels || count * MinPixelsPerEvent > std::size_t(width))) {
                row.crowded = true;
                continue;
            }
            open.push_back({layer, &row, count});
            inItems += count;
        }
    }
    // Past the budget, the fullest rows are drawn crowded too.
    if (ourCrowdedRows && inItems > ItemBudget) {
        std::sort(open.begin(), open.end(),
                  [](Candidate const& a, Candidate const& b) { return a.count > b.count; });
        for (Candidate& c : open) {
            if (inItems <= ItemBudget)
                break;
            c.row->crowded = true;
            inItems -= c.count;
        }
    }
    // The events of the other rows get their items: what the window shows, no more.
    std::vector<Obh> shown;
    for (Candidate const& c : open) {
        if (c.row->crowded)
            continue;
        auto show = [&](mRowIndex::Entry const& e) {
            mEvent* ev = e.ev;
            Obh const h = ev->filedHdl();
            if (timeline->syncEventInLayer(*ev, h, *c.layer, true)) {
                ev->mySyncPass = mySyncPass;
                shown.push_back(h);
            }
        };
        // The spans that reach into the view from before it, then what starts in view, in
        // order of start: items made later lie on top.
        double const from = tStart - reach;
        auto const& spans = c.row->spans();
        c.row->forEachReaching(std::size_t(mRowIndex::startingFrom(spans, from) - spans.begin()),
                               from, show);
        for (auto const* entries : {&spans, &c.row->instants()})
            for (auto at = mRowIndex::startingFrom(*entries, from);
                 at != entries->end() && at->lo < tEnd + reach; ++at)
                show(*at);
    }
    // The held event keeps its item, wherever its row.
    if (mEvent* held = tlObj::eventOf(myHeld); held && held->mySyncPass != mySyncPass) {
        mLayer* layer = held->getLayer();
        if (layer && layer->giInSceneTest() &&
            timeline->syncEventInLayer(*held, myHeld, *layer, true)) {
            held->mySyncPass = mySyncPass;
            shown.push_back(myHeld);
        }
    }
    // Whatever had an item and was not shown now loses it.
    for (Obh const& h : myWithItems) {
        mEvent* ev = tlObj::eventOf(h);
        if (ev && ev->mySyncPass != mySyncPass && ev->giGet())
            ev->giClear();
    }
    myWithItems = std::move(shown);
}

std::vector<double> mEdb::syncInputs(mTimeline& timeline, tlScene const* scene) const
{
    std::vector<double> in;
    auto mapping = [&in](mScale const* s) {
        if (s)
            in.insert(in.end(), {s->getVisStart().asSeconds(), s->getVisEnd().asSeconds(),
                                 double(s->getParentPos()), double(s->getParentSize())});
    };
    mapping(timeline.timeScale());
    mapping(timeline.perpScale());
    in.insert(in.end(), {double(reinterpret_cast<std::uintptr_t>(scene)), double(ourCrowdedRows),
                         double(myHeld.getAddr()), double(myHeld.getType() != nullptr),
                         double(mLayer::filings())});
    for (Obh const& lh : timeline.getLayerHdls()) {
        mLayer const* layer = tlObj::layerOf(lh);
        if (!layer)
            continue;
        mScale const* rows = layer->rowScale();
        in.insert(in.end(), {double(lh.getAddr()), double(timeline.layerHiddenTest(*layer)),
                             double(layer->giInSceneTest()), layer->getModelY(), layer->getSceneY(),
                             layer->getSceneH(), rows ? rows->getMinValue() : 0.0,
                             rows ? rows->getMaxValue() : 0.0});
    }
    return in;
}

void mEdb::syncIfChanged(mTimeline* timeline, tlScene* scene)
{
    if (!timeline || !scene || !timeline->timeScale())
        return;
    if (syncInputs(*timeline, scene) != mySynced) {
        M_TRACE("mEdb::syncIfChanged - the view changed since the last sync\n");
        syncEventsToView(timeline, scene);
    }
}

template <class F> void mEdb::forEachCrowdedRowIn(double y0, double y1, F&& f)
{
    for (Obh const& lh : myTimeline->getLayerHdls()) {
        mLayer* layer = tlObj::layerOf(lh);
        if (!layer || !layer->giInSceneTest() || y1 <= layer->getSceneY() ||
            y0 >= layer->getSceneY() + layer->getSceneH())
            continue;
        for (auto& [key, row] : layer->rowIndex().rows()) {
            double top = 0, h = 0;
            layer->sceneRowSpan(key.row, key.size, top, h);
            // Where the row is drawn: its items' boxes cut to whole pixels, laid at the nearest.
            top = std::round(top);
            if (!row.crowded || int(h) <= 0 || y1 <= top || y0 >= top + int(h))
                continue;
            if (f(row))
                return;
        }
    }
}

Obh mEdb::crowdedEventAt(double x, double y)
{
    mScale const* ts = myTimeline ? myTimeline->timeScale() : nullptr;
    if (!ts)
        return Obh();
    int const c = int(std::floor(x));
    std::vector<mRowIndex::Row::Marker> markers;
    std::vector<mRowIndex::Row::Run> runs;
    Obh found;
    // The rows drawn on y: those that meet [y, the next double).
    forEachCrowdedRowIn(y, std::nextafter(y, HUGE_VAL), [&](mRowIndex::Row const& row) {
        row.instantsShown(*ts, c, c + 1, markers);
        // Where the marker is drawn: its item's box.
        for (auto m = markers.rbegin(); m != markers.rend(); ++m)
            if (std::floor(m->left) <= x && x < std::floor(m->left) + 2 * tlObj::ImpulseHalfWidth) {
                found = m->entry->ev->filedHdl();
                return true;
            }
        row.spanRuns(*ts, c, c + 1, runs);
        if (runs.empty())
            return false;
        found = runs.front().entry->ev->filedHdl();
        return true;
    });
    return found;
}

void mEdb::crowdedEventsIn(double x0, double y0, double x1, double y1, std::vector<Obh>& out)
{
    mScale const* ts = myTimeline ? myTimeline->timeScale() : nullptr;
    if (!ts)
        return;
    std::size_t const from = out.size();
    double const tFrom = ts->parentToLocal(x0).asSeconds(), tTo = ts->parentToLocal(x1).asSeconds();
    double const reach = mTimeIndex::instantReach(*myTimeline);
    double const viewWidth = ts->getParentSize();
    mScale::Pixels const pixel(*ts);
    forEachCrowdedRowIn(y0, y1, [&](mRowIndex::Row const& row) {
        // Spans whose columns meet [x0, x1).
        auto const& spans = row.spans();
        auto meets = [&](mRowIndex::Entry const& e) {
            double first = 0, width = 0;
            mEvent::itemColumnsAt(pixel(e.lo), pixel(e.hi), viewWidth, first, width);
            if (first < x1 && x0 < first + width)
                out.push_back(e.ev->filedHdl());
        };
        // Those that start in the band's times (and a marker's reach around them), and those
        // that reach into it from before.
        double const from = tFrom - reach;
        auto const begin = mRowIndex::startingFrom(spans, from);
        for (auto e = begin; e != spans.end() && e->lo <= tTo + reach; ++e)
            meets(*e);
        row.forEachReaching(std::size_t(begin - spans.begin()), from, meets);
        // Instants whose markers' boxes meet it.
        auto const& instants = row.instants();
        for (auto e = mRowIndex::startingFrom(instants, tFrom - reach);
             e != instants.end() && e->lo <= tTo + reach; ++e) {
            double const left = std::floor(mRowIndex::Row::markerLeft(pixel, viewWidth, *e));
            if (left < x1 && x0 < left + 2 * tlObj::ImpulseHalfWidth)
                out.push_back(e->ev->filedHdl());
        }
        return false;
    });
    std::sort(out.begin() + std::ptrdiff_t(from), out.end());
}

void mEdb::clear(bool freeEvents)
{
    if (freeEvents)
        for (Obh h : myEvents)
            if (tlObj::eventOf(h))
                h.dealloc();
    myEvents.clear();
    myWithItems.clear();
    myHeld = Obh();
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
