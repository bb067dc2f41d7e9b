// The timeline pane under the wheel: a pane 1,600 by 900 pixels over 100,000 or 1,000,000 events
// in twenty layers, about 300 of them in view. Each step is one wheel turn sent to the pane, the
// refresh pass it asks for (restack, scene sync, the panes' steps) and a render of the whole pane
// (view, ruler, headers, corners, control strip) into an image: what a person waits for. The
// events keep one density, so the view shows about as many at either size. Counters give the
// median and the 95th percentile of the steps in milliseconds, and where the time went. The
// refresh steps trace to standard output: send it elsewhere and read the results with
// --benchmark_out=FILE --benchmark_out_format=console.
//
// Beside each step the floor takes the same turn: a bare QGraphicsView of the pane's size holding
// one rectangle item and one text item for each event of the document, placed as the pane places
// them, showing what the pane shows, turned by the same wheel and rendered the same way.
// floor_ms is its median and ratio our median over it: at or under 1 wanted. A stricter floor
// beside it holds items only for the events in view (floor_shown_ms, ratio_shown).
#include "BenchApp.h"
#include "ObClassTypeOf.h"
#include "TimelineTestDoc.h"
#include "Xml.h"
#include "giEvent.h"
#include "mEvent.h"
#include "mScale.h"
#include "mTimeline.h"
#include "pTimeline.h"
#include "tlScene.h"
#include "tlUi.h"

#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsView>
#include <QImage>
#include <QWheelEvent>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr int Layers = 20;
constexpr int PaneW = 1600;
constexpr int PaneH = 900;
constexpr double Year = 365.25 * 86400;
constexpr double Start = 1.6e9;
// 10,000 events a year; the 44 rows the view holds show about 300 of them over 50 days.
constexpr double Density = 10000;
constexpr double ViewSeconds = 50 * 86400;
constexpr int Turns = 200;

// Seconds spent in the wheel handlers, the refresh passes and the renders since the last report.
double ourWheel = 0, ourPass = 0, ourRender = 0;

struct PaneDoc
{
    std::unique_ptr<TimelineTestDoc> doc;
    mTimeline* tl = nullptr;
    std::unique_ptr<pTimeline> pane;
    std::vector<Obh> events;
    QImage image {PaneW, PaneH, QImage::Format_ARGB32_Premultiplied};

    explicit PaneDoc(int n)
    {
        ensureBenchApp();
        Ob::ourTrace = false;
        Xml::ourTrace = false;
        doc = std::make_unique<TimelineTestDoc>();
        tl = doc->cmp.getCmpTimeline();
        std::vector<Obh> layers;
        for (int i = 0; i < Layers; ++i)
            layers.push_back(tl->newLayer());
        // Events of a minute to a month, one in ten an instant, spread evenly.
        std::mt19937 rnd(1);
        std::uniform_real_distribution<> at(Start, Start + n / Density * Year);
        std::uniform_real_distribution<> logLength(std::log(60.0), std::log(30 * 86400.0));
        for (int i = 0; i < n; ++i) {
            Obh h = tlObj::ourType_mEvent->make();
            mEvent* ev = tlObj::ourType_mEvent->ptr(h);
            bool const instant = i % 10 == 0;
            double const t = at(rnd);
            ev->setStartTime(t);
            ev->setTimeLength(instant ? 0.0 : std::exp(logLength(rnd)));
            ev->setIsImpulse(instant);
            ev->setLayerHdl(layers[size_t(i % Layers)]);
            // Titles as generated documents have them: the floor draws a text per event too.
            rtl::str title;
            title.set("Event %d", i + 1);
            ev->setTitle(title);
            tl->addEvent(h, t);
            events.push_back(h);
        }
        pane = std::make_unique<pTimeline>(nullptr, &doc->cmp, doc->cmp.getUi());
        pane->resize(PaneW, PaneH);
        pane->freeze();
        pane->layoutTimerCb();
        pane->layoutTimer()->stop();
        double const from = Start + 0.5 * n / Density * Year;
        tl->timeScale()->zoomToLocalRange(from, from + ViewSeconds, 1.0f);
        mScale* rows = tl->perpScale();
        rows->zoomToLocalRange(0.0, rows->getMaxValue(), 1.0f);
        pane->layoutTimerCb();
        pane->layoutTimer()->stop();
        doc->pass();
        render();
    }

    void render() { pane->render(&image); }

    // One turn over the middle of the view with the modifiers given.
    void turn(int delta, Qt::KeyboardModifiers mods)
    {
        QPointF const at(PaneW / 2.0, PaneH / 2.0);
        QWheelEvent event(at, pane->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, mods,
                          Qt::NoScrollPhase, false);
        auto const t0 = std::chrono::steady_clock::now();
        QApplication::sendEvent(pane.get(), &event);
        auto const t1 = std::chrono::steady_clock::now();
        doc->pass();
        auto const t2 = std::chrono::steady_clock::now();
        render();
        auto const t3 = std::chrono::steady_clock::now();
        ourWheel += std::chrono::duration<double>(t1 - t0).count();
        ourPass += std::chrono::duration<double>(t2 - t1).count();
        ourRender += std::chrono::duration<double>(t3 - t2).count();
    }
};

// The floor's view: a turn that zooms the pane's time axis scales the time axis about the
// pointer; any other turn scrolls, as a bare view does.
class BareView : public QGraphicsView
{
    Q_OBJECT
public:
    using QGraphicsView::QGraphicsView;

protected:
    void wheelEvent(QWheelEvent* event) override
    {
        if (pTimeline::wheelModeFor(event->modifiers()) != pTimeline::WheelZoomTime) {
            QGraphicsView::wheelEvent(event);
            return;
        }
        double const f = event->angleDelta().y() > 0 ? 1.25 : 0.8;
        scale(f, 1.0);
        event->accept();
    }
};

// The bare view over the whole document: a rectangle and a title per event, where the pane's
// scene would place it at the pane's zoom (those in view where the pane shows them), as large as
// the pane (the pixels our frame paints), with the pane's view transform, centre and render
// hints. Its own index finds what is in view. Asked for the shown events alone, it holds only
// those the pane's scene has items for.
struct Floor
{
    QGraphicsScene scene;
    BareView view {&scene};
    QImage image {PaneW, PaneH, QImage::Format_ARGB32_Premultiplied};

    Floor(PaneDoc& d, bool shownAlone)
    {
        auto* gv = d.pane->findChild<QGraphicsView*>();
        mScale const* ts = d.tl->timeScale();
        std::vector<mEvent const*> events;
        if (shownAlone) {
            for (QGraphicsItem* item : gv->scene()->items())
                if (auto* ev = dynamic_cast<giEvent*>(item))
                    if (auto const* model = dynamic_cast<mEvent const*>(ev->mgr()))
                        events.push_back(model);
        } else {
            for (Obh h : d.events)
                events.push_back(tlObj::ourType_mEvent->ptr(h));
        }
        for (mEvent const* model : events) {
            double const x = ts->localToParent(model->getStartTime());
            double const w = std::max(
                1.0, ts->localToParent(model->getStartTime() + model->getTimeLength()) - x);
            double y = 0, rows = 0;
            model->getSceneVisRowSpan(y, rows);
            auto* rect = scene.addRect(QRectF(x, y, w, rows), QPen(QColor(90, 90, 90)),
                                       QBrush(QColor(128, 128, 128)));
            auto* text =
                new QGraphicsSimpleTextItem(QString::fromUtf8(model->getTitle().cs()), rect);
            text->setPos(x + 5, y + 2);
        }
        view.setRenderHints(gv->renderHints());
        view.setHorizontalScrollBarPolicy(gv->horizontalScrollBarPolicy());
        view.setVerticalScrollBarPolicy(gv->verticalScrollBarPolicy());
        view.setFrameShape(gv->frameShape());
        view.setTransformationAnchor(QGraphicsView::AnchorUnderMouse);
        view.resize(PaneW, PaneH);
        view.setTransform(gv->transform());
        view.centerOn(gv->mapToScene(gv->viewport()->rect().center()));
        view.QWidget::render(&image);
    }

    int items() const { return int(scene.items().size()); }

    // One turn over the middle of the view, then a render: what the frame of a bare view costs.
    double turn(int delta, Qt::KeyboardModifiers mods)
    {
        QWidget* target = view.viewport();
        QPointF const at(target->width() / 2.0, target->height() / 2.0);
        QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          mods, Qt::NoScrollPhase, false);
        auto const t0 = std::chrono::steady_clock::now();
        QApplication::sendEvent(target, &event);
        view.QWidget::render(&image);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }
};

// The document of the size asked for, kept while the same size is asked for again.
PaneDoc& shown(int n)
{
    // Left for the process' end: the application object outlives every document.
    static PaneDoc* built = nullptr;
    static int size = 0;
    if (!built || size != n) {
        delete built;
        built = new PaneDoc(n);
        size = n;
    }
    return *built;
}

// Turns back and forth (so the view stays where it was), timing each turn to its rendered pane.
void turns(benchmark::State& state, Qt::KeyboardModifiers mods)
{
    PaneDoc& d = shown(static_cast<int>(state.range(0)));
    Floor floor(d, false), shownFloor(d, true);
    std::vector<double> ms, floorMs, shownMs;
    int delta = 120;
    for (auto _ : state) {
        auto const t0 = std::chrono::steady_clock::now();
        d.turn(delta, mods);
        double const s =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        state.SetIterationTime(s);
        ms.push_back(s * 1000);
        state.PauseTiming();
        floorMs.push_back(floor.turn(delta, mods) * 1000);
        shownMs.push_back(shownFloor.turn(delta, mods) * 1000);
        state.ResumeTiming();
        delta = -delta;
    }
    std::sort(ms.begin(), ms.end());
    std::sort(floorMs.begin(), floorMs.end());
    double const floorMedian = floorMs[floorMs.size() / 2];
    state.counters["floor_ms"] = floorMedian;
    state.counters["floor_items"] = floor.items();
    state.counters["ratio"] = ms[ms.size() / 2] / floorMedian;
    std::sort(shownMs.begin(), shownMs.end());
    state.counters["floor_shown_ms"] = shownMs[shownMs.size() / 2];
    state.counters["ratio_shown"] = ms[ms.size() / 2] / shownMs[shownMs.size() / 2];
    double const turnsMade = double(ms.size());
    state.counters["wheel_ms"] = ourWheel * 1000 / turnsMade;
    state.counters["pass_ms"] = ourPass * 1000 / turnsMade;
    state.counters["render_ms"] = ourRender * 1000 / turnsMade;
    ourWheel = ourPass = ourRender = 0;
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p95_ms"] = ms[std::min(ms.size() - 1, ms.size() * 95 / 100)];
    state.counters["items"] = double(d.doc->cmp.getUi()->getScene()->items().size());
}

void BM_WheelZoomTime(benchmark::State& state)
{
    turns(state, Qt::ControlModifier | Qt::AltModifier);
}

void BM_WheelPanTime(benchmark::State& state)
{
    turns(state, Qt::AltModifier);
}

void BM_WheelPanRows(benchmark::State& state)
{
    turns(state, Qt::NoModifier);
}

BENCHMARK(BM_WheelZoomTime)
    ->Arg(100000)
    ->Arg(1000000)
    ->UseManualTime()
    ->Iterations(Turns)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WheelPanTime)
    ->Arg(100000)
    ->Arg(1000000)
    ->UseManualTime()
    ->Iterations(Turns)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WheelPanRows)
    ->Arg(100000)
    ->Arg(1000000)
    ->UseManualTime()
    ->Iterations(Turns)
    ->Unit(benchmark::kMillisecond);

} // namespace

#include "pane.moc"
