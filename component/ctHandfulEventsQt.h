#pragma once

#include "CrowdPainter.h"
#include "DropZone.h"
#include "EventDragCache.h"
#include "ObSelection.h"
#include "Obh.h"
#include "ctHandfulEvents.h"
#include "ctHandfulQt.h"
#include "str.h"

#include <QByteArray>
#include <Qt>
#include <map>
#include <memory>
#include <utility>
#include <vector>

class QMimeData;
class QPointF;
class QString;
class mEvent;
class mLayer;
class mRowIndex;

// The handful of events: a drag of the selected events. Picked up, it records where every
// selected event came from and how many stack rows it stands from the grabbed one, and takes the
// events out of the selection. Its drag object takes them out of the timeline for the length of
// the drag. While the drag hovers over the layers it works out the drop zone under the pointer and
// the whole change a release there makes (the drop plan): the ghosts show where the plan puts
// each event, in its row and at its time, with the label of a zone that makes rows or layers; the
// skin draws that guide. A drop on a layer carries out the plan of the drop point: the rows and
// layers it needs, then the events in their rows, moved in time as far as the pointer moved from
// the grab point (unless Shift is held), and selected. Where no plan stands (off the view, no
// layer, not a move) no ghost is drawn and a release drops nothing: whatever the drop did not place
// goes back where it came from.
//
// The drag carries a private type of data of ours besides its text: only such drags are taken.
// Only Move drops are carried out.
class ctHandfulEventsQt : public ctHandfulEvents, public ctHandfulQt
{
public:
    // The source widget (the view's viewport), the grabbed event's item and the grab point in
    // that item. The item must name an event; the selected events are the handful.
    ctHandfulEventsQt(QWidget* source, uiGi* grabbed, QPointF const& grab);
    ~ctHandfulEventsQt() override;

    // The handful of a drag that starts at the item: null when the item names no event or its
    // event is not selected (a press that toggled it off), so that no drag starts.
    static std::unique_ptr<ctHandfulEventsQt> pickUp(QWidget* source, uiGi* grabbed,
                                                     QPointF const& grab);
    // The whole drag of the selected events from the item, through the hand: the answer of the
    // drag, IgnoreAction when none started.
    static Qt::DropAction drag(QWidget* source, uiGi* grabbed, QPointF const& grab);

    // Every recorded event the drop did not place goes back to its layer, time and row, and is
    // selected (its payload when it has one).
    void returnEventsToOrigLocations() override;
    // A drag with a 1 x 1 transparent picture, the text "events,0,0" and our own data; the
    // recorded events leave the scene and the timeline.
    QDrag* getQDrag() override;

    // Drops on an event item are the base's (refused).
    using ctHandfulQt::canDropOn;
    using ctHandfulQt::dropOn;
    // Hover over a layer item: the guide follows the pointer; a Move that places the events is
    // accepted.
    bool canDropOn(giLayer* item, QGraphicsSceneDragDropEvent* event) override;
    // A drop on a layer: the events go where the hover zone says. True when placed.
    bool dropOn(giLayer* item, QGraphicsSceneDragDropEvent* event) override;
    // Hover over the scene: true where a release would place the events.
    bool canDropOn(tlScene* scene, QGraphicsSceneDragDropEvent* event) override;
    // Nothing is dropped on the bare scene: false, nothing changes.
    bool dropOn(tlScene* scene, QGraphicsSceneDragDropEvent* event) override;
    // Off the view a release drops nothing and the events go back: no ghost is drawn.
    void dropLeave(tlScene* scene, QGraphicsSceneDragDropEvent* event) override;
    // The ghosts, and the label of a zone that makes rows or layers; nothing without a plan.
    void drawSceneGuide(Painter& painter) override;

    // The hover data for a scene position: zone, reference layer, where the grabbed event lands,
    // the drop plan, ghosts, label; nothing is worked out again while the pointer, the zoning key
    // and the proposed action rest. The drop works the same data out afresh at the drop point and
    // carries out that plan, so the events land where their ghosts stand in the stack as it is
    // then.
    void cacheHoverData(QGraphicsSceneDragDropEvent* event);
    void cacheHoverData(double x, double y, QGraphicsSceneDragDropEvent* event);
    // Without the zoning key every zone that makes rows or layers becomes IntoRows, and two
    // valid layers swap: a gap is a drop into the rows of the layer across it.
    DropZone simplifyZoning(DropZone zone, QGraphicsSceneDragDropEvent* event, Obh& layer,
                            Obh& other);
    // Moves the drop row so that the whole handful lies in the stack's rows; true when moved.
    bool clampToExistingLayers(int maxSri, Obh& layer, double& dropYInLayer, double& dropRiInLayer);
    // The drop: the plan of the last hover carried out, the rows or the layer the zone makes, the
    // rows above or below the stack the handful needs, then every event to its stack row. False,
    // and nothing changed, without a plan.
    bool dropOnHelper(giLayer* item, QGraphicsSceneDragDropEvent* event, double x, double y);
    // Puts every recorded event into the timeline, dTime later, in the layer and the row that
    // `to` gives for its stack row from the grabbed one (to[i] for myDsris[i]), all at once, and
    // makes them the selection.
    void acceptMovedEvents(double dTime, uiGi* target,
                           std::vector<std::pair<Obh, double>> const& to);

    // Whether the last hover found where a release would place the events: the guide draws its
    // ghosts, and a drop carries it out.
    bool hasDropPlan() const;
    // Past this many events the ghosts are worked out and drawn a row at a time, at the cost of
    // what the view shows of them, not of their number.
    static constexpr std::size_t GhostBudget = 1000;

    // Whether the data is a drag of ours, of this handful.
    bool carriesOurDrag(QMimeData const* mime) const;
    // Reads "events,<x>,<y>": false, and nothing written, for any other text.
    static bool readDragText(QString const& text, int& x, int& y);

    // The private data type of our drags.
    static char const* const MimeType;
    // The key that gives the full zoning during a drag: Control, as the Mac's Control key is
    // (which Qt names Meta there).
    static constexpr Qt::KeyboardModifier ZoningKey = Qt::ControlModifier;
    // The key that keeps the events' times during a drag: they change rows only.
    static constexpr Qt::KeyboardModifier KeepTimesKey = Qt::ShiftModifier;

    // The handful: the events' own handles (as their layers file them), in handle order, and
    // beside each what the drag keeps of it; the layers they came from; their slots in the event
    // pool, marked. Emptied once the events are placed or put back.
    std::vector<Obh> myHeldHdls;
    std::vector<EventDragCache> myEventCaches;
    std::vector<Obh> myOrigLayers;
    std::vector<bool> myHeldSlots;
    // Where a ghost stands at the current hover; inRow when its target row exists.
    struct Ghost
    {
        double x = 0, w = 0, y = 0, h = 0;
        bool inRow = false;
    };
    // The record and the ghost of an event of the handful, or null. A handful of many keeps
    // the grabbed event's ghost alone.
    EventDragCache const* recordOf(Obh const& h) const;
    Ghost const* ghostOf(Obh const& h) const;
    mEvent* myGrabEvent = nullptr;
    Obh myGrabEventHdl;
    double myGrabSri = 0;
    double myGrabRi = 0;
    // The time under the grab point, by the same conversion as the hover's.
    double myGrabTime = 0;
    double myGrabSceneX = 0, myGrabSceneY = 0;
    // The earliest start and the latest end of the picked events.
    double myTimeMin = 0, myTimeMax = 0;
    double myHoverX = -1.0, myHoverY = -1.0;
    rtl::str myMimeText;
    Obh myRefLayerHdl;
    DropZone myZone = DropZone::NoLayer;
    double myZoneY = 0, myZoneH = 0;
    double myGapY = 0, myGapH = 0, myGapSceneY = 0, myGapSceneH = 0;
    Obh myLayerHdl, myOtherLayerHdl;
    // Whether the zoning key and the key that keeps the times were held at the last hover, and
    // the action it proposed: a change of any alone changes the zone, the times or whether
    // anything drops.
    bool myHoverZoning = false;
    bool myHoverKeepsTimes = false;
    Qt::DropAction myHoverAction = Qt::MoveAction;
    int myHotSpotX = 0, myHotSpotY = 0;
    double myHoverTime = 0;
    // The time shift the ghosts show and the drop makes: the hover time less the grab time, 0
    // with the key that keeps the times.
    double myHoverShift = 0;
    double myDropYInLayer = 0, myDropRiInLayer = 0;
    // Where the grabbed event lands: the stack row under the pointer (kept inside the stack), or
    // the row the zone makes.
    double myDropSri = 0;
    // The stack row of the row the zone makes, in the stack as it makes it; -1 for none.
    int myNewRowSri = -1;
    double myGuideTop = 0, myGuideBottom = 0, myGuideArrowY = 0;
    double myLabelX = 0;
    int myLabelAlign = -1;
    std::vector<std::pair<float, float>> myLabelPolygon;
    int myGuideR = 255, myGuideG = 255, myGuideB = 255;
    rtl::str myZoneLabel;
    int myMinDsri = 0, myMaxDsri = 0;
    // The stack rows from the grabbed event that events of the handful stand at, in order: the
    // events of one land in one row.
    std::vector<int> myDsris;
    // Stack row -> (row in its layer, layer), and the layers with the smallest and the largest
    // scene y: made at the pick-up, and again whenever the hover finds the stack changed.
    std::map<int, std::pair<double, Obh>> mySriIndex;
    int mySrcViewW = 0;
    Obh myTopLayerHdl, myBottomLayerHdl;
    // This drag's mark in our data, so that no other drag passes for it.
    QByteArray myDragMark;

private:
    // The whole change a release at the hover makes, worked out before the stack changes.
    struct DropPlan;
    std::unique_ptr<DropPlan> myPlan;
    // Of many events: where the ghosts of the events that stand dsri rows from the grabbed one
    // lie across (a row, or a mark for a row still to be made), the events by that row and
    // time, and the pixels the ghosts stand from their events.
    std::vector<CrowdPainter::GhostRow> myGhostRows;
    std::unique_ptr<mRowIndex> myGhostIndex;
    double myGhostShift = 0;
    // Of a few events (GhostBudget at most), each one's ghost, beside its record; of many, the
    // grabbed event's alone.
    std::vector<Ghost> myGhosts;
    Ghost myGrabGhost;
    // Where the grabbed event is among the records; the size when it is none of them.
    std::size_t myGrabAt = 0;
    // Whether the drag object took the events out of the timeline.
    bool myTakenOut = false;
    // The selection's entries of the events, given back when the same events are selected again.
    ObSelection::Taken myTakenSelection;
    // The records of events that had an item at the pick-up, and of those not filed in their
    // layer then.
    std::vector<std::size_t> myWithItems, myAstray;

    // What the stack-row index was made from: each layer's first stack row and rows.
    struct IndexedLayer
    {
        Obh layer;
        int sri = -1;
        double rowMin = 0, rowMax = 0;
        bool operator==(IndexedLayer const&) const = default;
    };
    std::vector<IndexedLayer> myIndexedStack;

    // Makes the stack-row index and the outermost layers again when the stack is not the one
    // they were made from.
    void indexStack();
    // The hover data at (x, y), worked out whatever the last hover was.
    void hoverAt(double x, double y, QGraphicsSceneDragDropEvent* event);
    // No zone and no plan: no ghost, no label, nothing for a release to carry out.
    void forgetPlan();
    // The reference layer's drop values for scene y (no clamp): myDropYInLayer,
    // myDropRiInLayer, myDropSri.
    void dropRowAt(mLayer const& layer, double y);
    // Where the grabbed event lands and the row the zone makes, for the zone's reference layer.
    void placeLanding(int maxSri, double y);
    // Invalidates the scene's foreground under the source widget, so the guide is drawn again.
    void repaintGuide(tlScene* scene) const;
    // The plan of a drop at the hover: false where no row stands for every event.
    bool makePlan();
    // The ghosts where the plan puts the events (a row of them at a time for many), and the
    // label for the zone.
    void placeGhosts(double dx);
    bool manyGhosts() const;
    // Where in the plan's landings those of the events that stand dsri stack rows from the
    // grabbed one are.
    std::size_t landingAt(double dsri) const;
    // Where a record is, by its handle's pool and slot; the size when none.
    std::size_t recordAt(Obh const& h) const;
    // Lets go of every record and of what the drag held beside them, giving the memory back.
    void forgetRecords();
    void placeLabel(double top, double bottom, double arrow);
};
