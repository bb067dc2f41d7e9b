// A drag of events at scale: one step of the pointer over the layers, with 1 or 300 events in hand,
// over 100,000 or 1,000,000 events in ten layers. Each step works out the zone under the pointer,
// the whole drop plan and every ghost: it should cost the layers and the dragged events, whatever
// the size of the document.
#include "../model/BenchTimeline.h"
#include "ctHandfulEventsQt.h"
#include "uiGi.h"

#include <QDrag>
#include <QGraphicsSceneDragDropEvent>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <memory>

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

} // namespace
