// A drag of events at scale. One step of the pointer over the layers, with 1 or 300 events in
// hand, over 100,000 or 1,000,000 events in ten layers: each step works out the zone under the
// pointer, the whole drop plan and every ghost, and should cost the layers and the dragged events,
// whatever the size of the document. The pick-up and Escape of two events, one of them out of a
// layer of 1,000,000: they should cost the two events, not the layer (wanted: pickup_ms under 1).
// The pick-up of 1,000,000 events in 200 layers whose slots are grouped by layer or interleave
// across them (as documents made by hand do): the two should cost alike (wanted: interleaved
// within 20 % of grouped). Counters: the median pickup_ms and escape_ms, and the refresh pass
// after each (pickup_pass_ms, escape_pass_ms).
#include "../model/BenchTimeline.h"
#include "ctHandfulEventsQt.h"
#include "uiGi.h"

#include <QDrag>
#include <QElapsedTimer>
#include <QGraphicsSceneDragDropEvent>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

void BM_DragStep(benchmark::State& state)
{
    bench::Timeline& t = bench::shown(static_cast<int>(state.range(0)));
    auto const dragged = static_cast<std::size_t>(state.range(1));
    // Events in view, as a person selects them.
    t.doc->selection.clearSelection();
    uiGi* grabbed = nullptr;
    for (Obh& h : t.events) {
        uiGi* item = tlObj::ourType_mEvent->ptr(h)->giGet();
        if (!item || !item->scene())
            continue;
        t.doc->selection.addToSelection(h);
        grabbed = grabbed ? grabbed : item;
        if (t.doc->selection.getSelection().size() == dragged)
            break;
    }
    QWidget source;
    source.resize(bench::ViewWidth, 1000);
    auto handful = ctHandfulEventsQt::pickUp(&source, grabbed, QPointF(1, 1));
    if (!handful) {
        state.SkipWithError("nothing to drag");
        return;
    }
    std::unique_ptr<QDrag> drag(handful->getQDrag());
    QGraphicsSceneDragDropEvent over(QEvent::GraphicsSceneDragMove);
    over.setMimeData(drag->mimeData());
    over.setPossibleActions(Qt::MoveAction);
    over.setProposedAction(Qt::MoveAction);
    // Back and forth between two rows, so that every step works everything out.
    double const rowH = t.tl.perpScale()->localToParent(1.0) - t.tl.perpScale()->localToParent(0.0);
    int step = 0;
    for (auto _ : state) {
        double const y = (2.5 + step++ % 2) * rowH;
        over.setScenePos(QPointF(bench::ViewWidth / 2.0 + step % 7, y));
        handful->cacheHoverData(&over);
        benchmark::DoNotOptimize(handful->myDropSri);
    }
    state.counters["dragged"] = static_cast<double>(handful->myEventCaches.size());
    handful->returnEventsToOrigLocations();
}

BENCHMARK(BM_DragStep)->ArgsProduct({{100000, 1000000}, {1, 300}})->Unit(benchmark::kMicrosecond);

// A timeline of n events in `layers` layers, placed and viewed: with `big` set, every event but
// the first hundred in the first layer (those in the second); else event i in layer i % layers
// (interleaved) or in layer i * layers / n (grouped). Kept while the same is asked for again.
bench::Timeline& spread(int n, int layers, bool big, bool interleaved)
{
    static std::unique_ptr<bench::Timeline> built;
    static std::vector<int> made;
    std::vector<int> const asked {n, layers, big, interleaved};
    if (built && made == asked)
        return *built;
    built.reset();
    built = std::make_unique<bench::Timeline>();
    bench::Timeline& t = *built;
    while (static_cast<int>(t.layers.size()) < layers)
        t.layers.push_back(t.tl.newLayer());
    t.make(n);
    for (int i = 0; i < n; ++i) {
        std::size_t const at = big           ? (i < 100 ? 1 : 0)
                               : interleaved ? static_cast<std::size_t>(i % layers)
                                             : static_cast<std::size_t>(i / (n / layers));
        tlObj::ourType_mEvent->ptr(t.events[i])->setLayerHdl(t.layers[at]);
    }
    t.place();
    t.view(bench::ViewSeconds);
    made = asked;
    return t;
}

// The item of an event, as a press gives it.
uiGi* itemOf(Obh& h)
{
    mEvent* ev = tlObj::ourType_mEvent->ptr(h);
    return ev ? ev->giEnsure(h) : nullptr;
}

// The first event from `from` on that the view shows, with its item: one a person can grab.
Obh shownFrom(bench::Timeline& t, std::size_t from)
{
    for (std::size_t i = from; i < t.events.size(); ++i)
        if (itemOf(t.events[i]))
            return t.events[i];
    return Obh();
}

// The middle one of the values.
double median(std::vector<double> values)
{
    std::nth_element(values.begin(), values.begin() + values.size() / 2, values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Picks up the selection by the grabbed event's item and puts it back as Escape does, with the
// refresh pass that follows each; the median milliseconds of each step go to the counters (the
// machine's other work weighs less on them than on the means).
void pickUpAndEscape(benchmark::State& state, bench::Timeline& t, Obh grabbed)
{
    QWidget source;
    source.resize(bench::ViewWidth, 1000);
    std::vector<double> pickup, pickupPass, back, backPass;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        auto handful = ctHandfulEventsQt::pickUp(&source, itemOf(grabbed), QPointF(1, 1));
        std::unique_ptr<QDrag> drag(handful ? handful->getQDrag() : nullptr);
        pickup.push_back(clock.nsecsElapsed() / 1e6);
        if (!drag) {
            state.SkipWithError("nothing picked up");
            return;
        }
        clock.restart();
        t.doc->pass();
        pickupPass.push_back(clock.nsecsElapsed() / 1e6);
        clock.restart();
        handful->returnEventsToOrigLocations();
        back.push_back(clock.nsecsElapsed() / 1e6);
        clock.restart();
        t.doc->pass();
        backPass.push_back(clock.nsecsElapsed() / 1e6);
        state.SetIterationTime((pickup.back() + back.back()) / 1e3);
        handful.reset();
        drag.reset();
    }
    state.counters["pickup_ms"] = median(pickup);
    state.counters["pickup_pass_ms"] = median(pickupPass);
    state.counters["escape_ms"] = median(back);
    state.counters["escape_pass_ms"] = median(backPass);
}

// Two events in hand: the grabbed one, shown, out of a layer of n, and one of the second layer.
void BM_DragTwoOutOfLargeLayer(benchmark::State& state)
{
    int const n = static_cast<int>(state.range(0));
    bench::Timeline& t = spread(n, 2, true, false);
    ObSelection& selection = t.doc->selection;
    selection.clearSelection();
    Obh const grabbed = shownFrom(t, 100);
    if (!grabbed.isValid()) {
        state.SkipWithError("no event shown");
        return;
    }
    selection.addToSelection(grabbed);
    selection.addToSelection(t.events[0]);
    pickUpAndEscape(state, t, grabbed);
    selection.clearSelection();
}

BENCHMARK(BM_DragTwoOutOfLargeLayer)
    ->Arg(1000000)
    ->Iterations(20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

// Every event of n in `layers` layers in hand, their slots grouped by layer (0) or interleaved
// across the layers (1).
void BM_PickUpEverything(benchmark::State& state)
{
    int const n = static_cast<int>(state.range(0));
    bench::Timeline& t = spread(n, static_cast<int>(state.range(1)), false, state.range(2) != 0);
    Obh const grabbed = shownFrom(t, 0);
    if (!grabbed.isValid()) {
        state.SkipWithError("no event shown");
        return;
    }
    ObSelection& selection = t.doc->selection;
    selection.clearSelection();
    selection.addToSelection(t.events);
    pickUpAndEscape(state, t, grabbed);
    selection.clearSelection();
}

BENCHMARK(BM_PickUpEverything)
    ->Args({1000000, 200, 0})
    ->Args({1000000, 200, 1})
    ->Iterations(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace
