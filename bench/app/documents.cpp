// The program on large documents, as a person meets it: the application opens a bundle and its
// window paints for the first time; the application saves it and closes it; and at a million
// events, wheel turns that zoom and pan the time axis, each a frame (the turn, the refresh pass
// and a paint of the window). Sizes: 10,000 events in 20 layers, 100,000 in 50, 1,000,000 in
// 200, made once by tools/gendoc into a temporary folder.
//
// Wanted: 100,000 events open to first paint in under 1 s, a million in under 10 s, under 1 KB
// per event (counter bytes_per_event: resident memory after the first paint over what it was
// before the first document, per event, so the sizes run from small to large; peak_MB: the
// process's peak while opening); at a million, the median frame of zoom and pan under 16 ms
// (counter median_ms).
//
// The program's trace goes to /dev/null and the results to standard error. The benchmarks named
// "traced" keep the object and XML traces on, as the program runs; the others turn them off.
// Run by hand in a release build: build/rel/bench/bench_app_documents [--benchmark_filter=...].
#include "Ob.h"
#include "ObQtRefresher.h"
#include "ObQtWinDoc.h"
#include "Xml.h"
#include "mApp.h"
#include "mDoc.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPaintEvent>
#include <QWheelEvent>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct Size
{
    int events;
    int layers;
};

fs::path const& folder()
{
    static fs::path const dir = [] {
        std::string d = (fs::temp_directory_path() / "vantrel-bench-app-XXXXXX").string();
        return fs::path(mkdtemp(d.data()));
    }();
    return dir;
}

// The generated bundle of that many events, made on first use.
std::string bundle(Size size)
{
    static std::map<int, std::string> made;
    auto found = made.find(size.events);
    if (found != made.end())
        return found->second;
    fs::path const gendoc = fs::path(__FILE__).parent_path() / "../../tools/gendoc";
    std::string const path = (folder() / ("doc" + std::to_string(size.events))).string();
    std::string const command = "python3 '" + gendoc.string() + "' '" + path + "' " +
                                std::to_string(size.events) + " " + std::to_string(size.layers) +
                                " >/dev/null";
    if (std::system(command.c_str()) != 0)
        return {};
    return made[size.events] = path + ".orstime";
}

long statusKb(char const* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    std::size_t const n = std::char_traits<char>::length(field);
    while (std::getline(status, line))
        if (line.compare(0, n, field) == 0)
            return std::atol(line.c_str() + n + 1);
    return 0;
}

// The peak resident size starts again from the present one.
void resetPeak()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// Resident memory before the first document.
long ourBaseKb = 0;

// Notes the first paint of a graphics view's viewport whose scene holds items: the moment the
// timeline first shows its layers and events.
class FirstPaint : public QObject
{
public:
    FirstPaint() { qApp->installEventFilter(this); }
    ~FirstPaint() override { qApp->removeEventFilter(this); }
    bool seen = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!seen && event->type() == QEvent::Paint) {
            auto* view = qobject_cast<QGraphicsView*>(watched->parent());
            seen = view && view->viewport() == watched && view->scene() &&
                   !view->scene()->items().isEmpty();
        }
        return false;
    }
};

// Waits (processing events) for the condition, for a minute at most.
template <class Test>
bool until(Test test)
{
    QElapsedTimer clock;
    clock.start();
    while (!test() && clock.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return test();
}

mDoc* current()
{
    return dynamic_cast<mDoc*>(mApp::app()->getDoc());
}

// Opens the bundle and waits for the first paint of its timeline; false when either failed.
bool openAndShow(std::string const& path)
{
    FirstPaint paint;
    if (!mApp::app()->openDoc(path.c_str()))
        return false;
    return current() && current()->getWindow() && until([&] { return paint.seen; });
}

// Closes the current document and waits until its window has gone.
bool closeCurrent()
{
    mDoc* doc = current();
    if (!doc)
        return true;
    if (!mApp::app()->saveAndCloseDoc(doc))
        return false;
    // The menu bar is a top-level widget of its own, never shown.
    return until([] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        auto const widgets = QApplication::topLevelWidgets();
        return ObApp::ourDocs.empty() &&
               std::none_of(widgets.begin(), widgets.end(), [](QWidget* w) {
                   return w->isVisible();
               });
    });
}

void traces(bool on)
{
    Ob::ourTrace = on;
    Xml::ourTrace = on;
}

Size sizeOf(benchmark::State const& state)
{
    return {static_cast<int>(state.range(0)), static_cast<int>(state.range(1))};
}

void openToFirstPaint(benchmark::State& state, bool traced)
{
    std::string const path = bundle(sizeOf(state));
    if (path.empty()) {
        state.SkipWithError("tools/gendoc failed");
        return;
    }
    traces(traced);
    long after = 0, peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        closeCurrent();
        resetPeak();
        state.ResumeTiming();
        if (!openAndShow(path)) {
            state.SkipWithError("the document did not open and paint");
            break;
        }
        state.PauseTiming();
        after = statusKb("VmRSS:");
        peak = statusKb("VmHWM:");
        state.ResumeTiming();
    }
    closeCurrent();
    traces(true);
    state.counters["bytes_per_event"] = (after - ourBaseKb) * 1024.0 / state.range(0);
    state.counters["peak_MB"] = peak / 1024.0;
}

void BM_OpenToFirstPaint(benchmark::State& state)
{
    openToFirstPaint(state, false);
}

void BM_OpenToFirstPaintTraced(benchmark::State& state)
{
    openToFirstPaint(state, true);
}

void BM_Save(benchmark::State& state)
{
    traces(false);
    fs::path const copy = folder() / "saved";
    if (!openAndShow(bundle(sizeOf(state)))) {
        state.SkipWithError("the document did not open and paint");
        return;
    }
    mDoc* doc = current();
    doc->setPath(rtl::str(copy.c_str()));
    for (auto _ : state)
        if (!mApp::app()->saveDoc(doc, false))
            state.SkipWithError("the save failed");
    closeCurrent();
    traces(true);
}

void BM_Close(benchmark::State& state)
{
    traces(false);
    std::string const path = bundle(sizeOf(state));
    for (auto _ : state) {
        state.PauseTiming();
        bool const opened = openAndShow(path);
        state.ResumeTiming();
        if (!opened || !closeCurrent()) {
            state.SkipWithError("the document did not open or close");
            break;
        }
    }
    traces(true);
}

// One frame: a wheel turn over the timeline's view, the refresh pass it asks for, a paint of
// the window. The median of the frames is the counter median_ms.
void wheelFrames(benchmark::State& state, Qt::KeyboardModifiers modifiers)
{
    traces(false);
    if (!openAndShow(bundle(sizeOf(state)))) {
        state.SkipWithError("the document did not open and paint");
        return;
    }
    mDoc* doc = current();
    QWidget* window = doc->getWindow();
    auto* view = window->findChild<QGraphicsView*>();
    if (!view) {
        state.SkipWithError("the window shows no graphics view");
        return;
    }
    QWidget* target = view->viewport();
    QPointF const at(target->width() / 2.0, target->height() / 2.0);
    std::vector<double> frames;
    int turn = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        // Two turns one way, two back: the view stays near where it began.
        int const delta = (turn++ / 2) % 2 == 0 ? 120 : -120;
        QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(target, &wheel);
        doc->getQtRefresher()->_doRefreshIfNeeded(nullptr);
        window->repaint();
        frames.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::nth_element(frames.begin(), frames.begin() + frames.size() / 2, frames.end());
    state.counters["median_ms"] = frames.empty() ? 0.0 : frames[frames.size() / 2];
    closeCurrent();
    traces(true);
}

void BM_ZoomFrame(benchmark::State& state)
{
    wheelFrames(state, Qt::ControlModifier | Qt::AltModifier);
}

void BM_PanFrame(benchmark::State& state)
{
    wheelFrames(state, Qt::AltModifier);
}

void sizes(benchmark::internal::Benchmark* b)
{
    b->Args({10000, 20})->Args({100000, 50})->Args({1000000, 200});
}

BENCHMARK(BM_OpenToFirstPaint)->Apply(sizes)->Iterations(1)->Repetitions(3)->Unit(
    benchmark::kMillisecond);
BENCHMARK(BM_OpenToFirstPaintTraced)->Args({100000, 50})->Iterations(1)->Unit(
    benchmark::kMillisecond);
BENCHMARK(BM_Save)->Apply(sizes)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Close)->Apply(sizes)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomFrame)->Args({1000000, 200})->Iterations(60)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PanFrame)->Args({1000000, 200})->Iterations(60)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    setenv("XDG_DATA_HOME", folder().c_str(), 1);
    // The program's trace is part of what is measured, but not what is read.
    if (!std::freopen("/dev/null", "w", stdout))
        return 1;
    mApp app(argc, argv);
    mApp::setIdentity();
    if (!app.init())
        return 1;
    ourBaseKb = statusKb("VmRSS:");
    benchmark::Initialize(&argc, argv);
    benchmark::ConsoleReporter reporter;
    reporter.SetOutputStream(&std::cerr);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    closeCurrent();
    fs::remove_all(folder());
    return 0;
}
