// The timeline at scale: placing events by first fit into ten layers (10,000 to 1,000,000
// events), closing such a document, and one zoom step or a 10-pixel pan of a 1,600-pixel view
// showing about 300 of 100,000 or 1,000,000 events, with restacking and the scene sync; and a pan
// over a row that a long span reaches into. The events
// keep one density (10,000 a year), so a view of one width shows about as many of them at either
// size.
#include "BenchTimeline.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>

namespace {

void BM_FirstFitPlacement(benchmark::State& state)
{
    int const n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        bench::Timeline t;
        t.make(n);
        state.SetIterationTime(t.place());
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void afterViewChange(bench::Timeline& t)
{
    t.tl.restackLayers();
    t.tl.syncLayerViews();
    t.sync();
}

void BM_ZoomStep(benchmark::State& state)
{
    bench::Timeline& t = bench::shown(static_cast<int>(state.range(0)));
    bool in = true;
    for (auto _ : state) {
        if (in)
            t.tl.timeScale()->zoomIn();
        else
            t.tl.timeScale()->zoomOut();
        in = !in;
        afterViewChange(t);
    }
    state.counters["items"] = t.items();
}

// Pans of 10 pixels there and back, each a frame.
void panFrames(benchmark::State& state, bench::Timeline& t)
{
    double const step = 10.0 / bench::ViewWidth;
    bool forward = true;
    for (auto _ : state) {
        if (forward)
            t.tl.timeScale()->nudgeVisibleWindowForward(step);
        else
            t.tl.timeScale()->nudgeVisibleWindowBackward(step);
        forward = !forward;
        afterViewChange(t);
    }
    state.counters["items"] = t.items();
}

void BM_Pan10Pixels(benchmark::State& state)
{
    panFrames(state, bench::shown(static_cast<int>(state.range(0))));
}

// Closing: the document of placed and shown events goes, as closing its window lets it go.
void BM_Close(benchmark::State& state)
{
    int const n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto t = std::make_unique<bench::Timeline>();
        t->make(n);
        t->place();
        t->view(bench::ViewSeconds);
        state.ResumeTiming();
        auto const t0 = std::chrono::steady_clock::now();
        t->doc.reset();
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
}

// One row of 200,000 short events and a view just after them: a pan frame with nothing else in
// the row (arg 0), with one long span from before the events reaching into the view (1), and
// after that span was deleted again (2). The frame should cost the same in all three.
void BM_RowReachedByALongSpan(benchmark::State& state)
{
    bench::Timeline t;
    Obh layer = t.layers[0];
    double const start = bench::Start;
    auto add = [&](double at, double length) {
        Obh h = tlObj::ourType_mEvent->make();
        mEvent* ev = tlObj::ourType_mEvent->ptr(h);
        ev->setStartTime(at);
        ev->setTimeLength(length);
        ev->setLayerHdl(layer);
        t.tl.addEvent(h, at, 0.0, layer, false);
        return h;
    };
    int const n = 200000;
    for (int i = 0; i < n; ++i)
        add(start + 100.0 * i, 60.0);
    double const after = start + 100.0 * n + 1000.0;
    Obh span;
    if (state.range(0) > 0)
        span = add(start - 1000.0, after + 3600.0 - (start - 1000.0));
    t.view(1800.0);
    t.tl.timeScale()->zoomToLocalRange(after, after + 1800.0, 1.0f);
    afterViewChange(t);
    // Deleted once the view has shown it.
    if (state.range(0) > 1) {
        t.tl.deleteEvent(span);
        afterViewChange(t);
    }
    panFrames(state, t);
}

BENCHMARK(BM_FirstFitPlacement)
    ->Arg(10000)
    ->Arg(100000)
    ->Arg(1000000)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Close)
    ->Arg(100000)
    ->Arg(1000000)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomStep)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Pan10Pixels)
    ->Arg(100000)
    ->Arg(1000000)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_RowReachedByALongSpan)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    bench::ensureApp();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
