// The program when a whole large document is in the window, as a person meets it: open (the view
// of a few weeks that tools/gendoc stores, a Days zoom of a few hundred events), Select All, Fit
// Selected, then wheel turns that zoom and pan the fitted view, Select All again there, the Days
// and Years presets from it, and back to Days. Sizes: 100,000 events in 50
// layers and 1,000,000 in 200, made once by tools/gendoc. Each step is timed from the input to
// the repainted window (the command or wheel turn, the refresh pass, a paint).
//
// Counters, in ms: days_zoom_ms and days_pan_ms, the median frame in the view as opened (the frame
// the fitted view is held to); fit_zoom_ms and fit_pan_ms, the median frame in the fitted view, and
// x_days, the fitted zoom frame over the Days one (wanted: under 3); select_all_ms (from the Days
// view), fit_ms (Fit Selected after it; wanted under 500 ms at 100,000, 2 s at 1,000,000),
// fit_select_all_ms (Select All in the fitted view, after the selection was cleared; wanted under
// 500 ms), preset_days_ms and preset_years_ms (from the fitted view; wanted under 500 ms).
// Memory: opened_MB, resident after opening; x_peak, the peak from then to the end over it, and
// x_back, resident back in the Days view over it (wanted: both under 1.3). items_days and
// items_fit: the scene's items in the view as opened and in the fitted one.
//
// Beside them, two anchors on 1600 x 900 pixels, 20 rows, every event in view, events like
// tools/gendoc's: BM_AnchorItemView, a bare QGraphicsView with an item per event (what a plain
// item-per-event view costs a zoom step, and its memory), and BM_AnchorPainterPass, a plain
// QPainter pass that marks each event's pixel columns in its row and fills the runs (the floor).
// Each gives x_fitted: the fitted document's zoom frame of as many events over its step.
//
// Run by hand in a release build: build/rel/bench/bench_app_crowded [--benchmark_filter=...].
#include "AppBench.h"
#include "ObSelection.h"
#include "cmdSelectAll.h"
#include "cmdTimelineZoomToPreset_Days.h"
#include "cmdTimelineZoomToPreset_Years.h"
#include "cmdViewFitSelected.h"
#include "ctHandfulEventsQt.h"
#include "ctHndQt.h"
#include "mEdb.h"
#include "mEvent.h"
#include "mTimeline.h"
#include "tlCmp.h"
#include "uiGi.h"

#include <QDrag>
#include <QGraphicsRectItem>
#include <QGraphicsSceneDragDropEvent>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <memory>
#include <random>

namespace {

using namespace appBench;

Size sizeOf(benchmark::State const& state)
{
    return {static_cast<int>(state.range(0)), static_cast<int>(state.range(1))};
}

int sceneItems(Timeline const& shown)
{
    return shown.view->scene() ? int(shown.view->scene()->items().size()) : 0;
}

// Runs the command and waits for the window to show its result; its time in ms.
double timedCommand(Timeline const& shown, ObCmd& cmd)
{
    QElapsedTimer clock;
    clock.start();
    mApp::app()->runCmd(&cmd);
    shown.settle();
    return clock.nsecsElapsed() / 1e6;
}

// The median of turns wheel frames, two turns one way and two back.
double medianFrame(Timeline const& shown, int turns, Qt::KeyboardModifiers modifiers)
{
    std::vector<double> frames;
    for (int turn = 0; turn < turns; ++turn)
        frames.push_back(shown.wheelFrame((turn / 2) % 2 == 0 ? 120 : -120, modifiers));
    return median(frames);
}

// The fitted document's zoom frame by number of events, for the anchors' ratios: the anchors run
// after it.
std::map<int, double> ourFittedZoomMs;

// The fitted zoom frame over an anchor's step, when the fitted document of as many events ran.
void ratio(benchmark::State& state, double step)
{
    if (double const fitted = ourFittedZoomMs[int(state.range(0))]; fitted > 0 && step > 0)
        state.counters["x_fitted"] = fitted / step;
}

void BM_FittedDocument(benchmark::State& state)
{
    traces(false);
    std::string const path = bundle(sizeOf(state));
    int const turns = int(state.range(2));
    Qt::KeyboardModifiers const zoom = Qt::ControlModifier | Qt::AltModifier;
    for (auto _ : state) {
        if (path.empty() || !openAndShow(path)) {
            state.SkipWithError("the document did not open and paint");
            break;
        }
        current()->getWindow()->resize(1600, 1000);
        Timeline const shown(current());
        if (!shown.ok()) {
            state.SkipWithError("the window shows no timeline");
            break;
        }
        shown.settle();
        long const openedKb = statusKb("VmRSS:");
        resetPeak();
        state.counters["items_days"] = sceneItems(shown);
        double const daysZoom = medianFrame(shown, 12, zoom);
        state.counters["days_zoom_ms"] = daysZoom;
        state.counters["days_pan_ms"] = medianFrame(shown, 12, Qt::AltModifier);
        state.counters["select_all_ms"] = timedCommand(shown, cmdSelectAll::ourInstance);
        state.counters["fit_ms"] = timedCommand(shown, cmdViewFitSelected::ourInstance);
        state.counters["items_fit"] = sceneItems(shown);
        double const fitZoom = medianFrame(shown, turns, zoom);
        state.counters["fit_zoom_ms"] = fitZoom;
        state.counters["x_days"] = daysZoom > 0 ? fitZoom / daysZoom : 0;
        ourFittedZoomMs[sizeOf(state).events] = fitZoom;
        state.counters["fit_pan_ms"] = medianFrame(shown, turns, Qt::AltModifier);
        current()->getSelectionEngine()->clearSelection();
        tlObj::ourCurrentCmp->raiseDirt(tlObj::DirtSelection);
        shown.settle();
        state.counters["fit_select_all_ms"] = timedCommand(shown, cmdSelectAll::ourInstance);
        state.counters["preset_days_ms"] =
            timedCommand(shown, cmdTimelineZoomToPreset_Days::ourInstance);
        state.counters["preset_years_ms"] =
            timedCommand(shown, cmdTimelineZoomToPreset_Years::ourInstance);
        timedCommand(shown, cmdTimelineZoomToPreset_Days::ourInstance);
        long const peakKb = statusKb("VmHWM:"), backKb = statusKb("VmRSS:");
        state.counters["opened_MB"] = openedKb / 1024.0;
        state.counters["x_peak"] = double(peakKb) / double(openedKb);
        state.counters["x_back"] = double(backKb) / double(openedKb);
        // The steps changed the view, which a person would be asked to save: nobody answers here.
        current()->setNeedsSave(false);
        closeCurrent();
    }
    traces(true);
}

// The benchmark's document opened in a window of 1600 x 1000, everything selected and fitted into
// it; false, and the benchmark told, when it could not be opened. openedKb: the resident memory
// once it was open and shown, before the selection and the fit.
bool openFitted(benchmark::State& state, long* openedKb = nullptr)
{
    if (!openAndShow(bundle(sizeOf(state)))) {
        state.SkipWithError("the document did not open and paint");
        return false;
    }
    current()->getWindow()->resize(1600, 1000);
    Timeline const shown(current());
    if (openedKb) {
        shown.settle();
        *openedKb = statusKb("VmRSS:");
    }
    timedCommand(shown, cmdSelectAll::ourInstance);
    timedCommand(shown, cmdViewFitSelected::ourInstance);
    return true;
}

// Zoom frames alone in the fitted view, for a profiler: BM_FittedDocument's fit_zoom_ms.
void BM_FittedZoomFrame(benchmark::State& state)
{
    traces(false);
    if (!openFitted(state))
        return;
    Timeline const shown(current());
    std::vector<double> frames;
    int turn = 0;
    for (auto _ : state)
        frames.push_back(shown.wheelFrame((turn++ / 2) % 2 == 0 ? 120 : -120,
                                          Qt::ControlModifier | Qt::AltModifier));
    state.counters["median_ms"] = median(frames);
    current()->setNeedsSave(false);
    closeCurrent();
    traces(true);
}

// A drag of everything in the fitted view, as the drag runs it: the pick-up (the handful made
// and its events taken out of the timeline, what the press's move past the start distance costs
// before the first frame), then steps of the pointer over the layers (the hover's zone, plan and
// ghosts, and a paint of the window with them), then the events put back as Escape puts them;
// then a second drag of everything, dropped 30 pixels right of where it was picked up. Counters:
// pickup_ms, step_ms (the median step), back_ms, drop_ms (the drop and the frame after it);
// x_after_escape and x_after_drag, resident memory after the first drag and after the dropped
// one over that after opening (wanted: under 1.3).
void BM_DragEverything(benchmark::State& state)
{
    traces(false);
    long openedKb = 0;
    if (!openFitted(state, &openedKb))
        return;
    Timeline const shown(current());
    mTimeline* tl = tlObj::ourCurrentCmp->getCmpTimeline();
    // The event drawn in the middle of the view, given its item as a press gives it; where rows
    // are too thin to be drawn, the first event.
    QPointF const middle = shown.view->mapToScene(shown.view->viewport()->rect().center());
    auto grab = [&] {
        Obh grabbed;
        for (int dy = 0; dy < 200 && !grabbed.isValid(); ++dy)
            grabbed = tl->getEdb()->crowdedEventAt(middle.x(), middle.y() + dy);
        if (!grabbed.isValid() && !tl->getEdb()->getEvents().empty())
            grabbed = *tl->getEdb()->getEvents().begin();
        mEvent* ev = tlObj::eventOf(grabbed);
        return ev ? ev->giEnsure(grabbed) : nullptr;
    };
    for (auto _ : state) {
        uiGi* item = grab();
        if (!item) {
            state.SkipWithError("no event to grab in the middle of the view");
            break;
        }
        QElapsedTimer clock;
        clock.start();
        auto handful = ctHandfulEventsQt::pickUp(shown.view->viewport(), item, QPointF(0.5, 0.5));
        std::unique_ptr<QDrag> drag(handful ? handful->getQDrag() : nullptr);
        if (!drag) {
            state.SkipWithError("nothing picked up");
            break;
        }
        tlObj::ourHand.setHandful(handful.get());
        shown.settle();
        state.counters["pickup_ms"] = clock.nsecsElapsed() / 1e6;
        QGraphicsSceneDragDropEvent over(QEvent::GraphicsSceneDragMove);
        over.setMimeData(drag->mimeData());
        over.setPossibleActions(Qt::MoveAction);
        over.setProposedAction(Qt::MoveAction);
        std::vector<double> steps;
        for (int step = 0; step < 8; ++step) {
            clock.restart();
            over.setScenePos(middle + QPointF(10.0 * step, 7.0 * (step % 3)));
            handful->cacheHoverData(&over);
            shown.view->viewport()->update();
            shown.settle();
            steps.push_back(clock.nsecsElapsed() / 1e6);
        }
        state.counters["step_ms"] = median(steps);
        clock.restart();
        tlObj::ourHand.setHandful(nullptr);
        handful->returnEventsToOrigLocations();
        shown.settle();
        state.counters["back_ms"] = clock.nsecsElapsed() / 1e6;
        handful.reset();
        drag.reset();
        shown.settle();
        state.counters["x_after_escape"] = double(statusKb("VmRSS:")) / double(openedKb);

        // Again, dropped 30 pixels right of the grab point.
        item = grab();
        handful = item ? ctHandfulEventsQt::pickUp(shown.view->viewport(), item, QPointF(0.5, 0.5))
                       : nullptr;
        drag.reset(handful ? handful->getQDrag() : nullptr);
        if (!drag) {
            state.SkipWithError("nothing picked up for the drop");
            break;
        }
        tlObj::ourHand.setHandful(handful.get());
        shown.settle();
        QGraphicsSceneDragDropEvent release(QEvent::GraphicsSceneDrop);
        release.setMimeData(drag->mimeData());
        release.setPossibleActions(Qt::MoveAction);
        release.setProposedAction(Qt::MoveAction);
        // (The grabbed item may have gone with the pass: its event is out of the timeline.)
        release.setScenePos(QPointF(handful->myGrabSceneX + 30, handful->myGrabSceneY));
        over.setMimeData(drag->mimeData());
        over.setScenePos(release.scenePos());
        handful->cacheHoverData(&over);
        shown.settle();
        clock.restart();
        bool const dropped = handful->dropOn(static_cast<giLayer*>(nullptr), &release);
        handful->returnEventsToOrigLocations();
        tlObj::ourHand.setHandful(nullptr);
        shown.settle();
        state.counters["drop_ms"] = clock.nsecsElapsed() / 1e6;
        if (!dropped) {
            state.SkipWithError("the drop placed nothing");
            break;
        }
        handful.reset();
        drag.reset();
        shown.settle();
        state.counters["x_after_drag"] = double(statusKb("VmRSS:")) / double(openedKb);
        state.counters["opened_MB"] = openedKb / 1024.0;
    }
    current()->setNeedsSave(false);
    closeCurrent();
    traces(true);
}

// Events as tools/gendoc spreads them, in 20 rows: starts over a day per event of a row, a
// minute to three days long, one in ten an instant.
struct Event
{
    double start, length;
    int row;
};

constexpr int Rows = 20, Width = 1600, Height = 900;

std::vector<Event> anchorEvents(int count)
{
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> unit(0, 1);
    double const day = 86400, span = day * (count / Rows + 1);
    std::vector<Event> events(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        bool const instant = unit(random) < 0.1;
        double const length = std::exp(std::log(60.0) + unit(random) * std::log(3 * day / 60));
        events[std::size_t(i)] = {unit(random) * span, instant ? 0 : length, i % Rows};
    }
    return events;
}

// The whole span of the events over the width, and a zoom step in or out about the middle.
struct Window
{
    double start = 0, perPixel = 1;
    void fit(std::vector<Event> const& events)
    {
        double end = 0;
        for (Event const& e : events)
            end = std::max(end, e.start + e.length);
        perPixel = end / Width;
    }
    void step(int turn)
    {
        double const factor = (turn / 2) % 2 == 0 ? 1 / 1.1 : 1.1;
        double const middle = start + perPixel * Width / 2;
        perPixel *= factor;
        start = middle - perPixel * Width / 2;
    }
};

void BM_AnchorItemView(benchmark::State& state)
{
    std::vector<Event> const events = anchorEvents(int(state.range(0)));
    long const before = statusKb("VmRSS:");
    Window window;
    window.fit(events);
    double const rowH = double(Height) / Rows;
    auto scene = std::make_unique<QGraphicsScene>();
    for (Event const& e : events) {
        auto* item = new QGraphicsRectItem(e.start, e.row * rowH + 2,
                                           std::max(e.length, window.perPixel), rowH - 4);
        item->setBrush(QColor(120, 160, 90));
        item->setPen(QPen(QColor(200, 220, 180), 0));
        scene->addItem(item);
    }
    QGraphicsView view(scene.get());

    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.resize(Width, Height);
    view.show();
    // Shown and exposed before the first step: an unexposed view paints nothing.
    until([&] { return view.viewport()->isVisible(); });
    QCoreApplication::processEvents();
    std::vector<double> steps;
    int turn = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        window.step(turn++);
        view.setTransform(QTransform::fromScale(1 / window.perPixel, 1));
        view.centerOn(window.start + window.perPixel * Width / 2, Height / 2.0);
        view.viewport()->repaint();
        steps.push_back(clock.nsecsElapsed() / 1e6);
    }
    state.counters["step_ms"] = median(steps);
    ratio(state, median(steps));
    state.counters["resident_MB"] = (statusKb("VmRSS:") - before) / 1024.0;
}

void BM_AnchorPainterPass(benchmark::State& state)
{
    std::vector<Event> const events = anchorEvents(int(state.range(0)));
    Window window;
    window.fit(events);
    QImage image(Width, Height, QImage::Format_ARGB32_Premultiplied);
    std::vector<unsigned char> marks(std::size_t(Rows) * Width);
    std::vector<double> steps;
    int turn = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        window.step(turn++);
        std::fill(marks.begin(), marks.end(), 0);
        for (Event const& e : events) {
            double const a = (e.start - window.start) / window.perPixel;
            double const b = (e.start + e.length - window.start) / window.perPixel;
            if (b < 0 || a >= Width)
                continue;
            int const from = std::max(0, int(std::floor(a)));
            int const to = std::min(Width, std::max(from + 1, int(std::ceil(b))));
            std::fill_n(marks.begin() + e.row * Width + from, to - from, 1);
        }
        image.fill(Qt::black);
        QPainter painter(&image);
        int const rowH = Height / Rows;
        for (int row = 0; row < Rows; ++row) {
            unsigned char const* m = marks.data() + row * Width;
            for (int x = 0; x < Width;) {
                if (!m[x]) {
                    ++x;
                    continue;
                }
                int end = x;
                while (end < Width && m[end])
                    ++end;
                painter.fillRect(x, row * rowH + 2, end - x, rowH - 4, QColor(120, 160, 90));
                x = end;
            }
        }
        painter.end();
        steps.push_back(clock.nsecsElapsed() / 1e6);
    }
    state.counters["step_ms"] = median(steps);
    ratio(state, median(steps));
}

BENCHMARK(BM_FittedDocument)
    ->Args({100000, 50, 8})
    ->Args({1000000, 200, 8})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragEverything)
    ->Args({100000, 50})
    ->Args({1000000, 200})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
// The anchors last: the item view's millions of items would weigh on the memory measured after.
BENCHMARK(BM_AnchorItemView)->Arg(100000)->Iterations(4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnchorItemView)->Arg(1000000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnchorPainterPass)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(8)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FittedZoomFrame)
    ->Args({100000, 50})
    ->Args({1000000, 200})
    ->Iterations(40)
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return appBench::runBenchmarks(argc, argv);
}
