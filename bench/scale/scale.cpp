// The time scale's own costs on a 1,600-pixel axis: a zoom step (in, then out) with the lazy
// reconfiguration and grid build that follows it, a pan by 10 pixels with its rebuild, and a
// value mapped to a pixel and back. Targets: each step under 1 ms at the median, the mapping
// under 20 ns.
#include "Ob.h"
#include "mScale.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace {

constexpr int Columns = 1600;

// A time scale at one minute per pixel, laid out and up to date.
struct Axis
{
    explicit Axis(double zoom = 60)
    {
        s.setTimeUnits();
        s.setParentSize(Columns);
        aTs start;
        start.set(2024, 3, 5, 9, 30, 0, 0, -1, 0);
        s.zoomToLocalRange(start, start + aTimeDelta(zoom * Columns), 1.0f);
        s.reconfig();
    }
    mScale s;
};

void BM_ZoomStepAndRebuild(benchmark::State& state)
{
    Axis a(state.range(0));
    bool in = true;
    for (auto _ : state) {
        if (in)
            a.s.zoomIn();
        else
            a.s.zoomOut();
        in = !in;
        a.s.reconfig();
    }
}
BENCHMARK(BM_ZoomStepAndRebuild)->Arg(1)->Arg(60)->Arg(3600)->Arg(86400)->Unit(benchmark::kMicrosecond);

void BM_PanTenPixelsAndRebuild(benchmark::State& state)
{
    Axis a(state.range(0));
    double const f = 10.0 / Columns;
    bool forward = true;
    for (auto _ : state) {
        if (forward)
            a.s.nudgeVisibleWindowForward(f);
        else
            a.s.nudgeVisibleWindowBackward(f);
        forward = !forward;
        a.s.reconfig();
    }
}
BENCHMARK(BM_PanTenPixelsAndRebuild)->Arg(1)->Arg(60)->Arg(3600)->Arg(86400)->Unit(benchmark::kMicrosecond);

void BM_MapToPixelAndBack(benchmark::State& state)
{
    Axis a;
    aTs t = a.s.parentToLocal(321.5);
    double x = 0;
    for (auto _ : state) {
        x = a.s.localToParent(t);
        t = a.s.parentToLocal(x);
        benchmark::DoNotOptimize(t);
    }
}
BENCHMARK(BM_MapToPixelAndBack);

void BM_PixelToValue(benchmark::State& state)
{
    Axis a;
    double x = 321.5;
    for (auto _ : state) {
        benchmark::DoNotOptimize(a.s.parentToLocal(x));
        x = x < 1600 ? x + 1 : 0;
    }
}
BENCHMARK(BM_PixelToValue);

void BM_MapToPixel(benchmark::State& state)
{
    Axis a;
    aTs const t = a.s.parentToLocal(321.5);
    for (auto _ : state)
        benchmark::DoNotOptimize(a.s.localToParent(t));
}
BENCHMARK(BM_MapToPixel);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Ob::ourTrace = false;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
