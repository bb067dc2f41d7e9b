#include "ctHandfulEventsQt.h"

#include "ObClassTypeOf.h"
#include "ObDirty.h"
#include "ObSelection.h"
#include "Painter.h"
#include "PainterQt.h"
#include "aTrace.h"
#include "aTs.h"
#include "ctHndQt.h"
#include "mByLayer.h"
#include "mEvent.h"
#include "mLayer.h"
#include "mRowIndex.h"
#include "mScale.h"
#include "mTimeline.h"
#include "mTrace.h"
#include "tlCmp.h"
#include "tlScene.h"
#include "tlUi.h"
#include "uiGi.h"

#include <QCoreApplication>
#include <QDrag>
#include <QGraphicsSceneDragDropEvent>
#include <QMimeData>
#include <QPixmap>
#include <QStringList>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <optional>
#include <set>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace {

char const* titleOf(mLayer const* layer)
{
    return layer ? layer->getTitle().cs() : "NULL";
}

double rowMin(mLayer const& layer)
{
    return layer.rowScale() ? layer.rowScale()->getMinValue() : 0.0;
}

double rowMax(mLayer const& layer)
{
    return layer.rowScale() ? layer.rowScale()->getMaxValue() : 0.0;
}

int rowCount(mLayer const& layer)
{
    return static_cast<int>(rowMax(layer) - rowMin(layer));
}

// Stack row -> (row in its layer, layer) over every layer that is not hidden: layers scrolled out
// of view keep their stack rows, and the hover's clamp may need them.
void indexStackRows(mTimeline const& tl, std::map<int, std::pair<double, Obh>>& out)
{
    for (Obh const& h : tl.getLayerHdls()) {
        mLayer const* layer = tlObj::layerOf(h);
        if (!layer || !layer->rowScale() || layer->getStackRowIndex() < 0)
            continue;
        double const lo = rowMin(*layer), hi = rowMax(*layer);
        for (double ri = lo; ri < hi; ri += 1.0)
            out[static_cast<int>(ri - lo) + layer->getStackRowIndex()] = {ri, h};
    }
}

// Hangs an event's item under the layer's item, hidden or not. An item that cannot hang there
// (none, a parent in no scene, an item still in one) is dropped: the next scene sync makes the
// event's item again where it belongs.
void hangItem(mEvent& ev, uiGi* parent, bool hide)
{
    uiGi* item = ev.giGet();
    if (!item)
        return;
    if (parent && parent->scene() && !item->scene()) {
        ev.giSetParent(parent);
        if (hide)
            ev.giHide();
        return;
    }
    ev.giClear();
}

// The grabbed event's band and the label's box of a zone's guide, in scene y, against the gap the
// zone lookup divided (gapY, gapH) and a quarter row (q).
struct GuideBox
{
    double bandTop = 0, bandBottom = 0;
    double top = 0, bottom = 0, arrow = 0;
};

GuideBox guideBox(DropZoneRule::Guide guide, double gapY, double gapH, double q)
{
    using Guide = DropZoneRule::Guide;
    switch (guide) {
    case Guide::AtGapStart:
        return {gapY - q, gapY, gapY - 21, gapY - 1, gapY - 1};
    case Guide::AcrossGap: {
        double const arrow = gapY + gapH / 2;
        return {gapY, gapY + gapH, arrow - 10, arrow + 10, arrow};
    }
    case Guide::AtGapEnd: {
        double const top = gapY + gapH + 1;
        return {gapY + gapH, gapY + gapH + q, top, top + 20, top};
    }
    case Guide::None:
        break;
    }
    return {};
}

// Our drags are numbered, so that a drag of ours is told from an older one.
int ourDragSerial = 0;

// After a drag of many events: the allocator keeps the pages of what the drag freed (the events'
// set and index entries taken out, moved and put back) for reuse, which leaves the process half
// as large again as before the drag; glibc gives them back to the system on request. The one
// place this program asks.
void giveBackMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

} // namespace

char const* const ctHandfulEventsQt::MimeType = "application/x-vantrel-events";

// The plan ----------------------------------------------------------------------------------------

// What a release at the hover makes of the stack, top to bottom, and where each event lands in it.
// The ghosts are drawn from it and the drop carries it out, so the two cannot differ.
struct ctHandfulEventsQt::DropPlan
{
    // One layer of the stack as the drop leaves it: a layer that is there (a hidden one has no
    // stack rows and is left out), or one the drop makes.
    struct Layer
    {
        enum class Made
        {
            Not,      // there before the drop
            ForZone,  // the zone's new layer
            AboveAll, // a first layer for the rows the handful needs above the stack
            BelowAll, // a last layer for the rows it needs below
        };
        Obh layer;
        Made made = Made::Not;
        double rowMin = 0, rows = 0;
        // Rows the drop adds above and below a layer's own: its new top or bottom row.
        int addedAbove = 0, addedBelow = 0;
        // Its first stack row once the drop is made (number()).
        int firstSri = 0;

        int rowsBefore() const
        {
            return made == Made::Not ? static_cast<int>(rows) - addedAbove - addedBelow : 0;
        }
    };
    // Where an event lands: its layer in the stack, its row there and its stack row.
    struct Landing
    {
        std::size_t at = 0;
        double ri = 0;
        int sri = 0;
    };

    bool valid = false;
    std::vector<Layer> stack;
    // The layer the zone drops into, makes a row in, or makes.
    std::size_t zoneAt = 0;
    // Rows the handful needs above and below the stack, and whether the zone's new layer takes
    // them (else a layer of their own does).
    int extraTop = 0, extraBottom = 0;
    bool topInZoneLayer = false, bottomInZoneLayer = false;
    // One landing for each stack row from the grabbed event that the handful's events stand at
    // (the records of one such row all land in one row), in the order of those rows.
    std::vector<Landing> landings;
    // The first and the last stack row of the rows that were there before; -1 without any.
    int firstOld = -1, lastOld = -1;

    void clear()
    {
        valid = false;
        stack.clear();
        landings.clear();
        zoneAt = 0;
        extraTop = extraBottom = 0;
        topInZoneLayer = bottomInZoneLayer = false;
        firstOld = lastOld = -1;
    }
    // The first stack row of a layer: the whole rows above it, as the stacking counts them.
    int firstSri(std::size_t at) const
    {
        int sri = 0;
        for (std::size_t i = 0; i < at && i < stack.size(); ++i)
            sri += static_cast<int>(stack[i].rows);
        return sri;
    }
    int rowCount() const { return firstSri(stack.size()); }
    // Every layer's first stack row, and where the rows that were there lie, once the stack is
    // planned.
    void number()
    {
        int sri = 0;
        for (Layer& l : stack) {
            l.firstSri = sri;
            if (int const before = l.rowsBefore(); before > 0) {
                if (firstOld < 0)
                    firstOld = sri + l.addedAbove;
                lastOld = sri + l.addedAbove + before - 1;
            }
            sri += static_cast<int>(l.rows);
        }
    }
    // The layer and the row of a stack row, as the stack-row index finds them (a later layer
    // takes a row that two claim); false for a row of no layer. After number().
    bool find(int sri, std::size_t& at, double& ri) const
    {
        auto it = std::upper_bound(stack.begin(), stack.end(), sri,
                                   [](int s, Layer const& l) { return s < l.firstSri; });
        while (it != stack.begin()) {
            --it;
            if (sri - it->firstSri < it->rows) {
                at = static_cast<std::size_t>(it - stack.begin());
                ri = it->rowMin + (sri - it->firstSri);
                return true;
            }
        }
        return false;
    }
    // The row, there before the drop, that a landing is: false for a row the drop makes.
    bool rowBefore(Landing const& landing, Obh& layer, double& ri) const
    {
        Layer const& l = stack[landing.at];
        int const k = landing.sri - l.firstSri - l.addedAbove;
        if (k < 0 || k >= l.rowsBefore())
            return false;
        layer = l.layer;
        ri = l.rowMin + k;
        return true;
    }
};

ctHandfulEventsQt::ctHandfulEventsQt(QWidget* source, uiGi* grabbed, QPointF const& grab)
    : ctHandfulEvents(grabbed ? grabbed->hdl() : Obh(), grab.x(), grab.y()),
      ctHandfulQt(grabbed, source), myPlan(std::make_unique<DropPlan>())
{
    myGrabEventHdl = grabbed ? grabbed->hdl() : Obh();
    myGrabEvent = eventOf(myGrabEventHdl);
    if (grabbed) {
        QPointF const atScene = grabbed->mapToScene(grab);
        myGrabSceneX = atScene.x();
        myGrabSceneY = atScene.y();
    }
    indexStack();
    if (mTimeline* tl = getTimeline(); tl && tl->timeScale())
        myGrabTime = tl->timeScale()->parentToLocal(myGrabSceneX).asSeconds();
    mySrcViewW = source ? source->width() : 0;
    if (myGrabEvent) {
        mLayer const* layer = myGrabEvent->getLayer();
        if (layer && layer->rowScale())
            myGrabRi = layer->rowScale()->parentToLocal(myGrabEventY).asSeconds();
        myGrabSri = myGrabEvent->getStackRowIndex();
    }

    ObSelection* selection = getSelectionEngine();
    // The selected events leave the selection at once, their entries kept to be given back as
    // they were; their records follow them in handle order, with no search for each.
    if (selection && ourType_mEvent)
        myTakenSelection = selection->takeItemsOfType(ourType_mEvent);
    M_TRACE("START DRAG - Got %i selected events.  RI %f, time %f\n",
            static_cast<int>(myTakenSelection.items.size()), myGrabRi, myGrabTime);
    std::size_t const count = myTakenSelection.items.size();
    myHeldHdls.reserve(count);
    myEventCaches.reserve(count);
    myHeldSlots.assign(myTakenSelection.marks.size(), false);
    // The layer of the last event, and what its events' stack rows are counted from.
    mByLayer layerNumbers;
    Obh lastLayer;
    mLayer const* layer = nullptr;
    std::size_t layerAt = 0;
    // Each keeps its own handle, flags and all, to go back under: the one its layer files it
    // under, else the selection's (selectedOf() gives it).
    auto hold = [&](mEvent* ev, auto const& selectedOf) {
        if (Obh const lh = ev->getLayerHdl(); myOrigLayers.empty() || lh != lastLayer) {
            lastLayer = lh;
            layerAt = layerNumbers.numberOf(lh);
            if (layerAt == myOrigLayers.size())
                myOrigLayers.push_back(lh);
            layer = layerNumbers.layerAt(layerAt);
        }
        Obh const h = layer && ev->filedIn() == layer ? ev->filedHdl() : selectedOf();
        bool const grabbed = !(h < myGrabEventHdl) && !(myGrabEventHdl < h);
        double const sri = layer ? layer->stackRowOf(ev->getRowIndex()) : ev->getStackRowIndex();
        int const dsri = grabbed ? 0 : static_cast<int>(sri - myGrabSri);
        M_TRACE("EVENT %s ri %f, sri %f, dsri %i\n", ev->getTitle().cs(), ev->getRowIndex(), sri,
                dsri);
        double const start = ev->getStartTime(), end = start + ev->getTimeLength();
        if (myHeldHdls.empty()) {
            myMinDsri = myMaxDsri = dsri;
            myTimeMin = start;
            myTimeMax = end;
        }
        myMinDsri = std::min(myMinDsri, dsri);
        myMaxDsri = std::max(myMaxDsri, dsri);
        myTimeMin = std::min(myTimeMin, start);
        myTimeMax = std::max(myTimeMax, end);
        if (ev->filedIn() != layer)
            myAstray.push_back(myHeldHdls.size());
        if (ev->giGet())
            myWithItems.push_back(myHeldHdls.size());
        myHeldHdls.push_back(h);
        myEventCaches.push_back({static_cast<std::uint32_t>(layerAt), dsri});
        myHeldSlots[h.getAddr()] = true;
        if (Obh payload = ev->getPayload(); payload.isValid())
            selection->removeFromSelection(payload);
    };
    // In handle order either way: by the entries when they are few beside the pool's slots, else
    // by the marks of the slots (a walk over bits, not over the set's nodes), looking the
    // selection's handle up only for an event its layer does not file.
    std::set<Obh> const& items = myTakenSelection.items;
    if (count * 64 < myTakenSelection.marks.size()) {
        for (Obh const& selected : items)
            if (mEvent* ev = eventOf(selected))
                hold(ev, [&selected] { return selected; });
    } else {
        Obh probe = count ? *items.begin() : Obh();
        probe.myFlags = Obh::IsValid;
        myTakenSelection.forEachSlot([&](unsigned int slot) {
            probe.myAddr = slot;
            if (mEvent* ev = eventOf(probe))
                hold(ev, [&items, &probe] {
                    auto const found = items.find(probe);
                    return found != items.end() ? *found : probe;
                });
        });
    }
    // The grabbed event is known by its record's handle from here on, whatever the item's.
    myGrabAt = recordAt(myGrabEventHdl);
    if (myGrabAt < myHeldHdls.size())
        myGrabEventHdl = myHeldHdls[myGrabAt];
    // The stack rows the events stand at from the grabbed one, each once, in order.
    if (!myHeldHdls.empty()) {
        std::vector<char> at(static_cast<std::size_t>(myMaxDsri - myMinDsri) + 1, 0);
        for (EventDragCache const& rec : myEventCaches)
            at[static_cast<std::size_t>(rec.myDsri - myMinDsri)] = 1;
        for (std::size_t i = 0; i < at.size(); ++i)
            if (at[i])
                myDsris.push_back(static_cast<int>(i) + myMinDsri);
    }
    // The ghosts of many events are drawn a row at a time, from an index of the events by the
    // stack row they keep from the grabbed one, filled as the events leave the timeline.
    if (myHeldHdls.size() > GhostBudget) {
        myGhostIndex = std::make_unique<mRowIndex>();
        myGhostIndex->build(mTimeIndex());
    } else {
        myGhosts.resize(myHeldHdls.size());
    }
    raiseDirt(DirtSelection);
    M_TRACE("myMinDsri = %i\n", myMinDsri);
    M_TRACE("myMaxDsri = %i\n", myMaxDsri);
    M_TRACE("myGrabSri = %f\n", myGrabSri);
}

ctHandfulEventsQt::~ctHandfulEventsQt() = default;

std::unique_ptr<ctHandfulEventsQt> ctHandfulEventsQt::pickUp(QWidget* source, uiGi* grabbed,
                                                             QPointF const& grab)
{
    tlCmp* cmp = ourCurrentCmp;
    ObSelection* selection = cmp ? cmp->getCmpSelectionEngine() : nullptr;
    Obh const h = grabbed ? grabbed->hdl() : Obh();
    if (!eventOf(h) || !selection || !selection->isSelectedTest(h)) {
        M_TRACE_C("iyellow", "No drag: the grabbed item is no selected event\n");
        return nullptr;
    }
    return std::make_unique<ctHandfulEventsQt>(source, grabbed, grab);
}

Qt::DropAction ctHandfulEventsQt::drag(QWidget* source, uiGi* grabbed, QPointF const& grab)
{
    std::unique_ptr<ctHandfulEventsQt> handful = pickUp(source, grabbed, grab);
    if (!handful)
        return Qt::IgnoreAction;
    return ourHand.runDrag(std::move(handful));
}

QDrag* ctHandfulEventsQt::getQDrag()
{
    M_TRACE("\n\n=============================================\n  GET DRAG\n"
            "=============================================\n");
    myHoverX = myHoverY = -1.0;
    auto* qdrag = new QDrag(mySrcWidget);
    auto* mime = new QMimeData;
    if (myGrabEvent)
        myGrabSri = myGrabEvent->getStackRowIndex();
    myHotSpotX = myHotSpotY = 0;
    // The pointer carries no picture: the ghosts in the scene show where the events go.
    QPixmap picture(1, 1);
    picture.fill(QColor(0, 0, 0, 0));
    M_TRACE("DRAG PIXMAP: %i x %i\n", picture.width(), picture.height());
    mTimeline* tl = getTimeline();
    for (std::size_t i : myWithItems)
        if (mEvent* ev = eventOf(myHeldHdls[i]); ev && ev->giGet()) {
            ev->giRemoveFromScene();
            ev->giHide();
        }
    if (tl && !myTakenOut) {
        // Each layer lets go of its own in one pass (one not filed in its layer is looked for in
        // every layer); its row entries of them go straight into the ghost index, by the stack
        // row they keep from the grabbed event.
        for (std::size_t i : myAstray) {
            Obh h = myHeldHdls[i];
            myHeldSlots[h.getAddr()] = false;
            tl->removeEvent(h);
            if (mEvent* ev = eventOf(h); ev && myGhostIndex) {
                mTimeIndex::Extent e = ev->indexExtent();
                e.row = myEventCaches[i].myDsri;
                e.rows = 1.0;
                myGhostIndex->insert(ev, h.getAddr(), e);
            }
        }
        mTimeline::EventsByLayer byLayer(myOrigLayers.size());
        for (std::size_t at = 0; at < myOrigLayers.size(); ++at)
            byLayer[at].first = layerOf(myOrigLayers[at]);
        std::vector<std::size_t> counts(myOrigLayers.size(), 0);
        for (EventDragCache const& rec : myEventCaches)
            ++counts[rec.myOrigLayer];
        for (std::size_t at = 0; at < myOrigLayers.size(); ++at)
            byLayer[at].second.reserve(counts[at]);
        for (std::size_t i = 0; i < myHeldHdls.size(); ++i)
            if (myHeldSlots[myHeldHdls[i].getAddr()])
                byLayer[myEventCaches[i].myOrigLayer].second.push_back(myHeldHdls[i]);
        double const grabSri = myGrabSri;
        tl->takeOutEvents(byLayer, myHeldHdls, myHeldSlots, myGhostIndex.get(),
                          [grabSri](mLayer const& in, double row) {
                              return in.stackRowOf(row) - grabSri;
                          });
        myTakenOut = true;
    }
    qdrag->setPixmap(picture);
    M_TRACE("ENCODING DRAG: HOT %i %i\n", myHotSpotX, myHotSpotY);
    mime->setText(QString::asprintf("events,%i,%i", myHotSpotX, myHotSpotY));
    myDragMark = QByteArray::number(QCoreApplication::applicationPid()) + ':' +
                 QByteArray::number(++ourDragSerial);
    mime->setData(MimeType, myDragMark);
    qdrag->setMimeData(mime);
    return qdrag;
}

void ctHandfulEventsQt::returnEventsToOrigLocations()
{
    if (myHeldHdls.empty())
        return;
    ObSelection* selection = getSelectionEngine();
    mTimeline* tl = getTimeline();
    // Each goes back to its layer at the time and in the row it kept, all in one pass a layer;
    // its payload is selected in its stead when it has one.
    std::vector<Obh> back, events, payloads;
    back.reserve(myHeldHdls.size());
    events.reserve(myHeldHdls.size());
    for (std::size_t i = 0; i < myHeldHdls.size(); ++i) {
        Obh const h = myHeldHdls[i];
        mEvent* ev = eventOf(h);
        if (!ev)
            continue;
        if (Obh const payload = ev->getPayload(); payload.isValid())
            payloads.push_back(payload);
        else
            events.push_back(h);
        Obh const orig = myOrigLayers[myEventCaches[i].myOrigLayer];
        // One the drag did not take out stays where it is.
        if (ev->filedIn() && ev->getLayerHdl() == orig)
            continue;
        ev->setLayerHdl(orig);
        if (ev->giGet()) {
            mLayer* layer = layerOf(orig);
            hangItem(*ev, layer ? layer->giGet() : nullptr, false);
        }
        back.push_back(h);
    }
    if (tl) {
        // A layer that went during the drag gives its events to the current layer, else to a
        // new one: no event is left outside the timeline.
        for (Obh const& h : tl->addEvents(back))
            if (mEvent* ev = eventOf(h))
                tl->addEvent(h, ev->getStartTime());
    }
    back = {};
    if (selection) {
        // Every one selected as it was: the entries taken at the pick-up go back whole.
        if (payloads.empty() && events.size() == myTakenSelection.items.size()) {
            selection->giveBack(std::move(myTakenSelection));
        } else {
            selection->addToSelection(events);
            std::sort(payloads.begin(), payloads.end());
            selection->addToSelection(payloads);
        }
    }
    M_TRACE_C("iyellow", "Returned %i events to where they were\n",
              static_cast<int>(myHeldHdls.size()));
    forgetRecords();
    raiseDirt(DirtSelection);
    // The scene sync places the events' items again.
    raiseDirt(DirtEventsDroppedInRow);
    requestRefresh();
}

std::size_t ctHandfulEventsQt::recordAt(Obh const& h) const
{
    // By pool and slot: the flags of the handle asked with may be the item's, not the record's.
    auto const at = std::lower_bound(myHeldHdls.begin(), myHeldHdls.end(), h);
    if (at == myHeldHdls.end() || h < *at)
        return myHeldHdls.size();
    return static_cast<std::size_t>(at - myHeldHdls.begin());
}

EventDragCache const* ctHandfulEventsQt::recordOf(Obh const& h) const
{
    std::size_t const at = recordAt(h);
    return at < myEventCaches.size() ? &myEventCaches[at] : nullptr;
}

ctHandfulEventsQt::Ghost const* ctHandfulEventsQt::ghostOf(Obh const& h) const
{
    std::size_t const at = recordAt(h);
    if (at < myGhosts.size())
        return &myGhosts[at];
    return at < myHeldHdls.size() && at == myGrabAt ? &myGrabGhost : nullptr;
}

void ctHandfulEventsQt::forgetRecords()
{
    bool const many = myHeldHdls.size() > GhostBudget;
    // Freed, not merely emptied: a drag of a million events held tens of megabytes here.
    myHeldHdls = {};
    myEventCaches = {};
    myHeldSlots = {};
    myGhosts = {};
    myGhostRows = {};
    myGhostIndex.reset();
    myOrigLayers = {};
    myAstray = {};
    myWithItems = {};
    myTakenSelection = {};
    myGrabAt = 0;
    if (many)
        giveBackMemory();
}

// Hover ------------------------------------------------------------------------------------------

bool ctHandfulEventsQt::carriesOurDrag(QMimeData const* mime) const
{
    return mime && !myDragMark.isEmpty() && mime->data(MimeType) == myDragMark;
}

bool ctHandfulEventsQt::readDragText(QString const& text, int& x, int& y)
{
    QStringList const fields = text.split(',');
    if (fields.size() != 3 || fields[0] != QLatin1String("events"))
        return false;
    bool okX = false, okY = false;
    int const readX = fields[1].toInt(&okX, 10);
    int const readY = fields[2].toInt(&okY, 10);
    if (!okX || !okY)
        return false;
    x = readX;
    y = readY;
    return true;
}

void ctHandfulEventsQt::repaintGuide(tlScene* scene) const
{
    if (!scene) {
        tlUi* ui = getUi();
        scene = ui ? ui->getScene() : nullptr;
    }
    if (!scene)
        return;
    // The guide is drawn over the view: scene and view share their pixels.
    QRectF const area = mySrcWidget ? QRectF(mySrcWidget->rect()) : QRectF();
    scene->invalidate(area, QGraphicsScene::ForegroundLayer);
}

bool ctHandfulEventsQt::canDropOn(giLayer*, QGraphicsSceneDragDropEvent* event)
{
    if (!event || !carriesOurDrag(event->mimeData()))
        return false;
    repaintGuide(nullptr);
    cacheHoverData(event);
    switch (event->proposedAction()) {
    case Qt::MoveAction:
        return hasDropPlan();
    case Qt::LinkAction:
        M_TRACE_C("iyellow", "Ignore drag ENTER - can't do link action\n");
        return false;
    case Qt::CopyAction:
        M_TRACE_C("iyellow", "Ignore drag ENTER - can't do copy action\n");
        return false;
    default:
        return false;
    }
}

bool ctHandfulEventsQt::canDropOn(tlScene* scene, QGraphicsSceneDragDropEvent* event)
{
    if (!event || !carriesOurDrag(event->mimeData()))
        return false;
    repaintGuide(scene);
    cacheHoverData(event);
    return hasDropPlan();
}

bool ctHandfulEventsQt::dropOn(tlScene*, QGraphicsSceneDragDropEvent*)
{
    M_TRACE_C("iyellow", "Ignore drop - nothing is dropped on the bare scene\n");
    return false;
}

void ctHandfulEventsQt::dropLeave(tlScene* scene, QGraphicsSceneDragDropEvent*)
{
    // Over the ruler, the headers or another window a release makes no drop of ours, and no
    // ghost may say otherwise: none is drawn until the pointer is back over the layers.
    repaintGuide(scene);
    forgetPlan();
    myHoverX = myHoverY = -1.0;
}

void ctHandfulEventsQt::cacheHoverData(QGraphicsSceneDragDropEvent* event)
{
    if (event)
        cacheHoverData(event->scenePos().x(), event->scenePos().y(), event);
}

DropZone ctHandfulEventsQt::simplifyZoning(DropZone zone, QGraphicsSceneDragDropEvent* event,
                                           Obh& layer, Obh& other)
{
    DropZone const given = zone;
    bool const full = event && (event->modifiers() & ZoningKey);
    if (!full && DropZoneRule::of(zone).makesRows()) {
        zone = DropZone::IntoRows;
        if (layer.isValid() && other.isValid()) {
            M_TRACE("SWAP\n");
            std::swap(layer, other);
        }
    }
    M_TRACE("Simplified zoning %i -> %i -> ref %s, other %s\n", static_cast<int>(given),
            static_cast<int>(zone), titleOf(layerOf(layer)), titleOf(layerOf(other)));
    return zone;
}

bool ctHandfulEventsQt::clampToExistingLayers(int maxSri, Obh& layer, double& dropYInLayer,
                                              double& dropRiInLayer)
{
    mLayer const* ref = layerOf(layer);
    if (!ref)
        return false;
    int const sri = ref->getStackRowIndex() + static_cast<int>(std::floor(dropRiInLayer));
    int const lo = sri + myMinDsri, hi = sri + myMaxDsri;
    int shift = 0;
    if (lo < 0)
        shift = -lo;
    if (hi >= maxSri)
        shift = maxSri - hi - 1;
    M_TRACE("CLAMP minSri = %i, minDsri %i, maxSri = %i, maxDsri %i, TLMAX %i, sri %i, dsri %i\n",
            lo, myMinDsri, hi, myMaxDsri, maxSri, sri, shift);
    if (shift == 0)
        return false;
    // A stack too short for the handful, or a row hidden since the pick-up: the drop row stays,
    // and the drop makes what rows it needs.
    auto const it = mySriIndex.find(sri + shift);
    mLayer const* to = it == mySriIndex.end() ? nullptr : layerOf(it->second.second);
    if (!to) {
        M_TRACE_C("iyellow", "Can't find %i in Sri index\n", sri + shift);
        return false;
    }
    layer = it->second.second;
    dropYInLayer = it->second.first;
    dropRiInLayer = it->second.first - rowMin(*to);
    return true;
}

void ctHandfulEventsQt::dropRowAt(mLayer const& layer, double y)
{
    mScale* perp = getTimelinePerpScale();
    double const dropY = perp ? perp->parentToLocal(y).asSeconds() : y;
    myDropYInLayer = dropY - layer.getModelY();
    myDropRiInLayer = myDropYInLayer + rowMin(layer);
    myDropSri = std::floor(myDropYInLayer) + layer.getStackRowIndex();
}

void ctHandfulEventsQt::placeLanding(int maxSri, double y)
{
    mLayer const* ref = layerOf(myRefLayerHdl);
    dropRowAt(*ref, y);
    DropZoneRule const& rule = DropZoneRule::of(myZone);
    if (!rule.makesRows()) {
        // Into the rows under the pointer, the whole handful kept inside the stack.
        myNewRowSri = -1;
        if (clampToExistingLayers(maxSri, myRefLayerHdl, myDropYInLayer, myDropRiInLayer))
            ref = layerOf(myRefLayerHdl);
        myLayerHdl = myRefLayerHdl;
        myDropSri = std::floor(myDropYInLayer) + ref->getStackRowIndex();
        return;
    }
    // The grabbed event takes the new row, wherever in the gap the pointer is.
    myNewRowSri = ref->getStackRowIndex() + (rule.makesAbove() ? 0 : rowCount(*ref));
    myDropSri = myNewRowSri;
}

void ctHandfulEventsQt::indexStack()
{
    mTimeline const* tl = getTimeline();
    if (!tl)
        return;
    std::vector<IndexedLayer> stack;
    stack.reserve(tl->getLayerHdls().size());
    for (Obh const& h : tl->getLayerHdls())
        if (mLayer const* layer = layerOf(h))
            stack.push_back({h, layer->getStackRowIndex(), rowMin(*layer), rowMax(*layer)});
    if (stack == myIndexedStack && !stack.empty())
        return;
    myIndexedStack = std::move(stack);
    mySriIndex.clear();
    indexStackRows(*tl, mySriIndex);
    tl->getBreadLayers(myTopLayerHdl, myBottomLayerHdl);
    M_TRACE("Indexed %i stack rows of %i layers\n", static_cast<int>(mySriIndex.size()),
            static_cast<int>(myIndexedStack.size()));
}

void ctHandfulEventsQt::cacheHoverData(double x, double y, QGraphicsSceneDragDropEvent* event)
{
    bool const zoning = event && (event->modifiers() & ZoningKey);
    bool const keepTimes = event && (event->modifiers() & KeepTimesKey);
    Qt::DropAction const action = event ? event->proposedAction() : Qt::MoveAction;
    if (x == myHoverX && y == myHoverY && zoning == myHoverZoning &&
        keepTimes == myHoverKeepsTimes && action == myHoverAction)
        return;
    hoverAt(x, y, event);
}

void ctHandfulEventsQt::hoverAt(double x, double y, QGraphicsSceneDragDropEvent* event)
{
    myHoverX = x;
    myHoverY = y;
    myHoverZoning = event && (event->modifiers() & ZoningKey);
    myHoverKeepsTimes = event && (event->modifiers() & KeepTimesKey);
    myHoverAction = event ? event->proposedAction() : Qt::MoveAction;
    M_TRACE("----- Get HOVER DATA %f, %f\n", x, y);
    mTimeline* tl = getTimeline();
    mScale* ts = getTimelineTimeScale();
    mLayer* ref = nullptr;
    int maxSri = 0;
    // Only a Move is carried out: any other proposal places nothing, and shows nothing.
    if (tl && ts && getTimelinePerpScale() && myHoverAction == Qt::MoveAction) {
        indexStack();
        maxSri = tl->getMaxStackRowIndex();
        myZone = tl->getLayerHdlZoneAtSceneRowPos(y, myLayerHdl, myOtherLayerHdl, &myZoneY,
                                                  &myZoneH, &myGapY, &myGapH, &myZoneLabel);
        myZone = simplifyZoning(myZone, event, myLayerHdl, myOtherLayerHdl);
        ref = layerOf(myLayerHdl);
    }
    if (!ref || myZone == DropZone::NoLayer) {
        forgetPlan();
        M_TRACE("\n\n\n");
        return;
    }
    myRefLayerHdl = myLayerHdl;
    placeLanding(maxSri, y);

    // The drop moves the events by the time between the grab point and the pointer, read by one
    // conversion at one moment, or keeps their times: what the ghosts show.
    double dx = myHoverKeepsTimes ? 0.0 : x - myGrabSceneX;
    aTs const grab = ts->parentToLocal(myGrabSceneX);
    aTs hover = ts->parentToLocal(myGrabSceneX + dx);
    myHoverShift = (hover - grab).asSeconds();
    // The whole handful, as one, stays within the dated times (where they stood there): nothing
    // the drop makes is a start the save refuses. The ghosts stand where that leaves them.
    double const lo = std::min(0.0, -mScale::DatedSeconds - myTimeMin);
    double const hi = std::max(0.0, mScale::DatedSeconds - myTimeMax);
    if (double const bounded = std::clamp(myHoverShift, lo, hi); bounded != myHoverShift) {
        myHoverShift = bounded;
        hover = grab + aTimeDelta(bounded);
        dx = ts->localToParent(hover) - ts->localToParent(grab);
    }
    myHoverTime = hover.asSeconds();

    if (QMimeData const* mime = event ? event->mimeData() : nullptr) {
        QString const text = mime->text();
        myMimeText = text.toUtf8().constData();
        int hx = 0, hy = 0;
        if (readDragText(text, hx, hy)) {
            myHotSpotX = hx;
            myHotSpotY = hy;
        } else {
            M_TRACE_C("iyellow", "Drag text not ours: \"%s\"\n", myMimeText.cs());
        }
    }
    if (!makePlan()) {
        forgetPlan();
        return;
    }
    placeGhosts(dx);
}

void ctHandfulEventsQt::forgetPlan()
{
    myPlan->clear();
    myZone = DropZone::NoLayer;
    myRefLayerHdl = Obh();
    myNewRowSri = -1;
    myLabelPolygon.clear();
}

bool ctHandfulEventsQt::hasDropPlan() const
{
    return myPlan->valid && layerOf(myRefLayerHdl);
}

bool ctHandfulEventsQt::makePlan()
{
    using Made = DropPlan::Layer::Made;
    using Makes = DropZoneRule::Makes;
    DropPlan& plan = *myPlan;
    plan.clear();
    mTimeline const* tl = getTimeline();
    if (!tl)
        return false;
    DropZoneRule const& rule = DropZoneRule::of(myZone);
    // The grabbed event's stack row in the stack as the zone makes it.
    int const landing = static_cast<int>(myDropSri);
    std::optional<std::size_t> refAt;
    for (Obh const& h : tl->getLayerHdls()) {
        mLayer const* layer = layerOf(h);
        if (!layer || !layer->rowScale() || layer->getStackRowIndex() < 0)
            continue;
        if (h == myRefLayerHdl)
            refAt = plan.stack.size();
        plan.stack.push_back({h, Made::Not, rowMin(*layer), rowMax(*layer) - rowMin(*layer)});
    }
    if (!refAt)
        return false;
    plan.zoneAt = *refAt;
    DropPlan::Layer const newLayer {Obh(), Made::ForZone, 0.0, 1.0};
    switch (rule.makes) {
    case Makes::Nothing:
        break;
    case Makes::RowAtTop:
        plan.stack[plan.zoneAt].rows += 1.0;
        plan.stack[plan.zoneAt].addedAbove = 1;
        break;
    case Makes::RowAtBottom:
        plan.stack[plan.zoneAt].rows += 1.0;
        plan.stack[plan.zoneAt].addedBelow = 1;
        break;
    case Makes::LayerBefore:
        plan.stack.insert(plan.stack.begin() + static_cast<std::ptrdiff_t>(plan.zoneAt), newLayer);
        break;
    case Makes::LayerAfter:
        ++plan.zoneAt;
        plan.stack.insert(plan.stack.begin() + static_cast<std::ptrdiff_t>(plan.zoneAt), newLayer);
        break;
    }
    // Rows above the stack: in the zone's new layer when it is the first, else in a new first
    // layer. Either way they stand above every row that was there, as many as the handful needs:
    // rows between the events stay, as they do in the layers that were there.
    if (landing + myMinDsri < 0) {
        plan.extraTop = -(landing + myMinDsri);
        plan.topInZoneLayer =
            rule.makesLayer() && rule.makesAbove() && plan.firstSri(plan.zoneAt) == 0;
        if (plan.topInZoneLayer) {
            plan.stack[plan.zoneAt].rows += plan.extraTop;
        } else {
            plan.stack.insert(plan.stack.begin(),
                              {Obh(), Made::AboveAll, 0.0, static_cast<double>(plan.extraTop)});
            ++plan.zoneAt;
        }
    }
    // Rows below the stack: likewise, in the zone's new layer when it is the last.
    int const rows = plan.rowCount();
    if (int const lowest = plan.extraTop + landing + myMaxDsri; lowest >= rows) {
        plan.extraBottom = lowest - rows + 1;
        DropPlan::Layer& zone = plan.stack[plan.zoneAt];
        plan.bottomInZoneLayer = rule.makesLayer() && !rule.makesAbove() &&
                                 plan.firstSri(plan.zoneAt) + static_cast<int>(zone.rows) == rows;
        if (plan.bottomInZoneLayer)
            zone.rows += plan.extraBottom;
        else
            plan.stack.push_back(
                {Obh(), Made::BelowAll, 0.0, static_cast<double>(plan.extraBottom)});
    }
    plan.number();
    plan.landings.reserve(myDsris.size());
    for (int dsri : myDsris) {
        DropPlan::Landing to;
        to.sri = plan.extraTop + landing + dsri;
        if (!plan.find(to.sri, to.at, to.ri)) {
            M_TRACE_C("iyellow", "No stack row %i for the events %i rows from the grabbed one\n",
                      to.sri, dsri);
            plan.clear();
            return false;
        }
        plan.landings.push_back(to);
    }
    plan.valid = true;
    return true;
}

std::size_t ctHandfulEventsQt::landingAt(double dsri) const
{
    auto const at = std::lower_bound(myDsris.begin(), myDsris.end(), static_cast<int>(dsri));
    A_ASSERT(at != myDsris.end() && *at == static_cast<int>(dsri));
    return static_cast<std::size_t>(at - myDsris.begin());
}

bool ctHandfulEventsQt::manyGhosts() const
{
    return myGhostIndex != nullptr;
}

void ctHandfulEventsQt::placeGhosts(double dx)
{
    mScale* perp = getTimelinePerpScale();
    myLabelPolygon.clear();
    myGapSceneY = perp->localToParent(myGapY);
    myGapSceneH = perp->localToParent(myGapY + myGapH) - myGapSceneY;
    double const zoom = perp->getZoom();
    double const q = zoom > 0 ? 1.0 / zoom / 4.0 : 0.0;

    DropZoneRule const& rule = DropZoneRule::of(myZone);
    myGuideR = rule.r;
    myGuideG = rule.g;
    myGuideB = rule.b;
    GuideBox const box = guideBox(rule.guide, myGapSceneY, myGapSceneH, q);
    if (rule.guide != DropZoneRule::Guide::None) {
        myGuideTop = box.top;
        myGuideBottom = box.bottom;
        myGuideArrowY = box.arrow;
    }
    DropPlan const& plan = *myPlan;
    // Where the ghosts of the events that land at a place of the plan stand across: in the row
    // there, or, for rows still to be made, on thin marks 2 pixels apart above the top layer or
    // below the bottom one, as many rows away as the events will land.
    auto across = [&](DropPlan::Landing const& to, double& y, double& h) {
        Obh into;
        double ri = 0;
        mLayer const* in = plan.rowBefore(to, into, ri) ? layerOf(into) : nullptr;
        if (in && in->rowScale()) {
            // The row where the layer draws its events.
            double const a = in->getModelY() + in->rowScale()->localToParent(ri);
            double const b = in->getModelY() + in->rowScale()->localToParent(ri + 1.0);
            y = perp->localToParent(a);
            h = perp->localToParent(b) - y;
            M_TRACE("    Sri[%i] -> found layer %s, ri %f\n", to.sri, in->getTitle().cs(), ri);
            return true;
        }
        h = 1.0;
        if (to.sri < plan.firstOld) {
            mLayer const* top = layerOf(myTopLayerHdl);
            y = std::floor(top ? top->getSceneY() : 0.0) - 2.0 * (plan.firstOld - to.sri);
        } else {
            mLayer const* bottom = layerOf(myBottomLayerHdl);
            double const below = bottom ? bottom->getSceneY() + bottom->getSceneH() : 0.0;
            y = std::ceil(below) + 2.0 * std::max(0, to.sri - plan.lastOld - 1);
        }
        return false;
    };
    auto place = [&](Obh const& h, int dsri, Ghost& ghost) {
        DropPlan::Landing const& to = plan.landings[landingAt(dsri)];
        mEvent const* ev = eventOf(h);
        if (!ev)
            return;
        double sx = 0, sw = 0;
        ev->getSceneVisTimeSpan(sx, sw);
        M_TRACE("%s SEARCH AT: dropSri %f + relSri %i = %i (extra top %i)\n", ev->getTitle().cs(),
                myDropSri, dsri, to.sri, plan.extraTop);
        if (h == myGrabEventHdl && rule.makesRows()) {
            // The row the zone makes: the guide's band.
            double const gx = sx + dx;
            ghost.x = std::floor(gx);
            ghost.w = std::ceil(gx + sw) - std::floor(gx);
            ghost.y = std::floor(box.bandTop);
            ghost.h = std::ceil(box.bandBottom) - std::floor(box.bandTop);
            ghost.inRow = true;
            return;
        }
        ghost.x = sx + dx;
        ghost.w = sw;
        ghost.inRow = across(to, ghost.y, ghost.h);
    };
    myGhostShift = dx;
    if (!manyGhosts()) {
        for (std::size_t i = 0; i < myHeldHdls.size() && i < myGhosts.size(); ++i)
            place(myHeldHdls[i], myEventCaches[i].myDsri, myGhosts[i]);
        if (myGrabAt < myGhosts.size())
            myGrabGhost = myGhosts[myGrabAt];
    } else {
        // A ghost row for each place the events land at: what the pixels show costs the pixels.
        myGhostRows.clear();
        for (std::size_t i = 0; i < myDsris.size(); ++i) {
            CrowdPainter::GhostRow row {myDsris[i]};
            row.inRow = across(plan.landings[i], row.y, row.h);
            myGhostRows.push_back(row);
        }
        if (myGrabAt < myHeldHdls.size())
            place(myHeldHdls[myGrabAt], myEventCaches[myGrabAt].myDsri, myGrabGhost);
    }

    if (rule.guide == DropZoneRule::Guide::None || myGrabAt >= myHeldHdls.size())
        return;
    placeLabel(myGrabGhost.x, myGrabGhost.x + myGrabGhost.w, static_cast<double>(mySrcViewW));
}

void ctHandfulEventsQt::placeLabel(double x0, double e, double w)
{
    double const top = myGuideTop, bottom = myGuideBottom, arrow = myGuideArrowY;
    auto const point = [](double x, double y) {
        return std::pair<float, float>(static_cast<float>(x), static_cast<float>(y));
    };
    if (x0 < w - e && e + 130 < w) {
        myLabelPolygon = {point(e + 20, top), point(e + 130, top), point(e + 130, bottom),
                          point(e + 20, bottom), point(e, arrow)};
        myLabelX = e + 23;
        myLabelAlign = -1;
    } else if (x0 >= w - e && x0 - 130 >= 0) {
        double const l = x0 - 130;
        myLabelPolygon = {point(l, top), point(l + 110, top), point(l + 130, arrow),
                          point(l + 110, bottom), point(l, bottom)};
        myLabelX = l + 3;
        myLabelAlign = 1;
    }
}

void ctHandfulEventsQt::drawSceneGuide(Painter& p)
{
    if (!hasDropPlan()) {
        M_TRACE("NO DRAW!\n");
        return;
    }
    float ax = 0, ay = 0, aw = 0, ah = 0;
    p.get2dGeometry(ax, ay, aw, ah);
    auto ghost = [&](Obh const& h, Ghost const& at) {
        mEvent* ev = eventOf(h);
        if (!ev)
            return;
        bool const guide = myZone != DropZone::IntoRows && h == myGrabEventHdl;
        int const r = guide ? myGuideR : 255, g = guide ? myGuideG : 255,
                  b = guide ? myGuideB : 255;
        auto const x = static_cast<float>(at.x), y = static_cast<float>(at.y);
        auto const w = static_cast<float>(at.w);
        auto const gh = static_cast<float>(std::max(1.0, at.h));
        // What lies outside the view is not drawn: a large handful costs what is on screen.
        if (x > ax + aw || x + w < ax || y > ay + ah || y + gh < ay)
            return;
        p.set2dGeometry(x, y, w, gh);
        if (at.inRow) {
            ev->draw(p, 1.0, true, 2.0f, 0.5f, true, r, g, b);
            return;
        }
        p.setAntiAliasing(false);
        p.setLineWidth(1);
        p.setLineColorRgb8(ev->getBgColorR(), ev->getBgColorG(), ev->getBgColorB());
        p.draw2dLine(x, y, x + w, y);
        p.setLineColorRgb8(255, 255, 255);
        p.draw2dLine(x, y, x + 2, y);
        p.draw2dLine(x + w - 2, y, x + w, y);
    };
    auto* qt = dynamic_cast<PainterQt*>(&p);
    mScale const* ts = getTimelineTimeScale();
    if (manyGhosts() && myGhostIndex && qt && ts) {
        // Many: a row at a time, then the grabbed event's own on top, in the guide's colour.
        CrowdPainter::paintGhosts(qt->qPainter(), *myGhostIndex, myGhostRows, myGhostShift, *ts,
                                  QRectF(ax, ay, aw, ah));
        if (myGrabAt < myHeldHdls.size())
            ghost(myHeldHdls[myGrabAt], myGrabGhost);
    } else {
        for (std::size_t i = 0; i < myHeldHdls.size() && i < myGhosts.size(); ++i)
            ghost(myHeldHdls[i], myGhosts[i]);
    }
    p.set2dGeometry(ax, ay, aw, ah);
    if (myLabelPolygon.empty())
        return;
    p.setAntiAliasing(true);
    p.setFillColorRgb8(myGuideR, myGuideG, myGuideB);
    p.setLineColorRgb8(255, 255, 255);
    p.setLineWidth(2);
    p.setTextColorRgb8(0, 0, 0);
    p.setFont("Gil Sans", 14, 50);
    p.begin2dPolygon();
    for (auto const& [px, py] : myLabelPolygon)
        p.add2dPolygonVertex(px, py);
    p.end2dPolygon();
    p.draw2dText(myZoneLabel.cs(), static_cast<float>(myLabelX), static_cast<float>(myGuideTop),
                 107, 20, myLabelAlign, 0);
}

// Drop -------------------------------------------------------------------------------------------

bool ctHandfulEventsQt::dropOn(giLayer* item, QGraphicsSceneDragDropEvent* event)
{
    // A copy or a link, or a drag not of this handful, changes nothing: the events go back.
    if (!event || !carriesOurDrag(event->mimeData()) || event->proposedAction() != Qt::MoveAction) {
        A_TRACE_C("iyellow", "Ignore drop - only a move of this drag is carried out\n");
        return false;
    }
    ourHand.clearMousePresses(nullptr);
    double const x = event->scenePos().x(), y = event->scenePos().y();
    M_TRACE("Scene drop at %f, %f\n", x, y);
    // The drop lands where the hover at the drop point says, in the stack as it is now: a pass
    // may have changed it since the last hover, while the pointer rested.
    if (mTimeline* tl = getTimeline())
        tl->restackLayers();
    hoverAt(x, y, event);
    ourHand.clearHandful();
    return dropOnHelper(item, event, x, y);
}

bool ctHandfulEventsQt::dropOnHelper(giLayer*, QGraphicsSceneDragDropEvent* event, double, double y)
{
    using Made = DropPlan::Layer::Made;
    double const dTime = myHoverShift;
    mTimeline* tl = getTimeline();
    mScale* ts = getTimelineTimeScale();
    mLayer* ref = layerOf(myRefLayerHdl);
    DropZoneRule const& rule = DropZoneRule::of(myZone);
    auto refuse = [&](char const* why) {
        A_TRACE_C("iyellow", "Ignore drop - %s (zone %s)\n", why, rule.name);
        if (event)
            event->ignore();
        return false;
    };
    if (!tl || !ts || !ref || !hasDropPlan())
        return refuse("nothing to drop on here");
    // The hover at the drop point planned where everything lands, and its ghosts showed it: the
    // drop makes the rows it needs and puts every event there.
    M_TRACE("zone    %s\ndropY in scene: %f\ndropY in layer: %f\nminRi           %f\n"
            "myDropRiInLayer       %f\nlayer sri       %i\nsri             %f\n",
            rule.name, y, myDropYInLayer, rowMin(*ref), myDropRiInLayer, ref->getStackRowIndex(),
            myDropSri);
    DropPlan const* const plan = myPlan.get();
    A_ASSERT(plan->landings.size() == myDsris.size());

    // Only now does the stack change, all of it as planned.
    double const minVis = ts->getMinVisValue(), maxVis = ts->getMaxVisValue();
    std::map<Made, Obh> made;
    double dropRi = std::floor(myDropRiInLayer);
    switch (rule.makes) {
    case DropZoneRule::Makes::Nothing:
        M_TRACE("DROP ON LAYER %s, ri %f\n", ref->getTitle().cs(), dropRi);
        break;
    case DropZoneRule::Makes::RowAtBottom:
        dropRi = rowMax(*ref);
        ref->insertRowsAtIndex(minVis, maxVis, dropRi, 1.0);
        M_TRACE("INSERT NEW ROWS at bottom of %s, drop ri %f\n", ref->getTitle().cs(), dropRi);
        break;
    case DropZoneRule::Makes::RowAtTop:
        dropRi = rowMin(*ref);
        ref->insertRowsAtIndex(minVis, maxVis, dropRi, 1.0);
        M_TRACE("INSERT NEW ROW at %s, ri %f\n", ref->getTitle().cs(), dropRi);
        break;
    case DropZoneRule::Makes::LayerAfter:
    case DropZoneRule::Makes::LayerBefore:
        M_TRACE(rule.makesAbove() ? "INSERT NEW LAYER before %s\n" : "INSERT NEW LAYER after %s\n",
                ref->getTitle().cs());
        made[Made::ForZone] = tl->insertNewLayer(myRefLayerHdl, !rule.makesAbove(), 1.0);
        dropRi = 0;
        break;
    }
    auto const layerAt = [&](std::size_t at) {
        DropPlan::Layer const& planned = plan->stack[at];
        return planned.made == Made::Not ? planned.layer : made[planned.made];
    };
    Obh dropHdl = layerAt(plan->zoneAt);
    mLayer* drop = layerOf(dropHdl);
    A_ASSERT(drop);
    if (plan->extraTop > 0) {
        int const n = plan->extraTop;
        if (plan->topInZoneLayer) {
            M_TRACE("dropSri %f, Dsri min %i, max %i, Add extra TOP LYR ROWS - ri ABOVE %i\n",
                    myDropSri, myMinDsri, myMaxDsri, n);
            drop->insertRowsAtIndex(minVis, maxVis, rowMin(*drop), n);
        } else {
            M_TRACE("dropSri %f, Dsri min %i, max %i, Add extra TOP LAYER - ri ABOVE %i\n",
                    myDropSri, myMinDsri, myMaxDsri, n);
            made[Made::AboveAll] = tl->insertNewLayerWithRowsAtTop(n);
        }
    }
    if (plan->extraBottom > 0) {
        int const n = plan->extraBottom;
        M_TRACE("ADD!\n");
        if (plan->bottomInZoneLayer) {
            M_TRACE("dropSri %f, Dsri min %i, max %i, Add BOT LYR ROWS - BELOW %i\n", myDropSri,
                    myMinDsri, myMaxDsri, n);
            drop->insertRowsAtIndex(minVis, maxVis, rowMax(*drop), n);
        } else {
            M_TRACE("dropSri %f, Dsri min %i, max %i, Add BOT LAYER - ri BELOW %i\n", myDropSri,
                    myMinDsri, myMaxDsri, n);
            made[Made::BelowAll] = tl->insertNewLayerWithRowsAtBottom(n);
        }
    }
    tl->restackLayers();
    uiGi* target = drop->giEnsure(dropHdl);

    // The layer and the row of each landing: the events of one stack row from the grabbed one
    // land in one row.
    std::vector<std::pair<Obh, double>> to;
    to.reserve(plan->landings.size());
    for (DropPlan::Landing const& landing : plan->landings) {
        to.emplace_back(layerAt(landing.at), landing.ri);
        A_ASSERT(layerOf(to.back().first));
        M_TRACE("Events of stack row %i TO layer %s, ri %f\n", landing.sri,
                titleOf(layerOf(to.back().first)), landing.ri);
    }
    forgetPlan();
    if (event)
        event->acceptProposedAction();
    acceptMovedEvents(dTime, target, to);
    if (target)
        target->update();
    return true;
}

void ctHandfulEventsQt::acceptMovedEvents(double dTime, uiGi* target,
                                          std::vector<std::pair<Obh, double>> const& to)
{
    M_TRACE("ACCEPT %i DROPPED FX: \n", static_cast<int>(myHeldHdls.size()));
    M_TRACE("  dTime       = %.2f\n", dTime);
    ObSelection* selection = getSelectionEngine();
    if (selection)
        selection->clearSelection();
    mTimeline* tl = getTimeline();
    mScale* ts = getTimelineTimeScale();
    if (!tl || !ts || to.size() != myDsris.size() || myHeldHdls.empty())
        return;
    double visStart = ts->getMinVisValue(), visEnd = ts->getMaxVisValue();
    tlUi* ui = getUi();
    tlScene* scene = ui ? ui->getScene() : nullptr;
    // Each event's landing by its stack row from the grabbed one.
    std::vector<std::size_t> landing(static_cast<std::size_t>(myMaxDsri - myMinDsri) + 1, 0);
    for (std::size_t i = 0; i < myDsris.size(); ++i)
        landing[static_cast<std::size_t>(myDsris[i] - myMinDsri)] = i;
    // Every event at its new time and row in its new layer, then all filed at once: as
    // mTimeline::addEvent places each, without a search or an insertion each.
    std::vector<Obh> moved;
    moved.reserve(myHeldHdls.size());
    for (std::size_t i = 0; i < myHeldHdls.size(); ++i) {
        Obh const h = myHeldHdls[i];
        mEvent* ev = eventOf(h);
        if (!ev)
            continue;
        auto const& [into, ri] =
            to[landing[static_cast<std::size_t>(myEventCaches[i].myDsri - myMinDsri)]];
        ev->setLayerHdl(into);
        ev->setStartTime(ev->getStartTime() + dTime);
        ev->setRowIndex(mLayer::wholeRow(std::floor(ri)));
        moved.push_back(h);
    }
    for (Obh const& h : tl->addEvents(moved))
        if (mEvent* ev = eventOf(h))
            tl->addEvent(h, ev->getStartTime());
    // The layers they landed in are in the scene; an event that kept its item hangs it there.
    for (auto const& [into, ri] : to) {
        Obh lh = into;
        if (mLayer* layer = layerOf(lh)) {
            uiGi* parent = layer->giEnsure(lh);
            if (parent && !layer->giInSceneTest() && scene)
                layer->giAddToScene(*scene, lh);
        }
    }
    for (Obh const& h : moved) {
        mEvent* ev = eventOf(h);
        if (!ev || !ev->giGet())
            continue;
        mLayer* layer = ev->getLayer();
        M_TRACE("Added event %p: newRi %f to layer %s\n", static_cast<void*>(ev), ev->getRowIndex(),
                titleOf(layer));
        if (layer && ev->isVisibleBetween(visStart, visEnd))
            hangItem(*ev, layer->giGet(), true);
    }
    if (selection) {
        // The moved events are the ones taken from the selection: their entries go back whole.
        if (moved.size() == myTakenSelection.items.size())
            selection->giveBack(std::move(myTakenSelection));
        else
            selection->addToSelection(moved);
    }
    moved = {};
    forgetRecords();
    if (target)
        target->update();
    raiseDirt(DirtEventsDroppedInRow);
    raiseDirt(DirtSelection);
    if (ObDirty* dirt = getDirtEngine(); dirt && target)
        dirt->setDirtyItem(target->hdl());
}
