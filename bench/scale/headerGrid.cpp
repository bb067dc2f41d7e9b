// The whole header grid of a 1,600-pixel time axis (every visible range, its gridlines and its
// labels measured with the toolkit's font metrics) at 20 zooms from 1 ns to 1e13 s per pixel.
// Prints the worst and the median zoom at the end (target: the worst under 2 ms).
#include "Ob.h"
#include "mRange.h"
#include "tlUnitsTime.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int Columns = 1600;
constexpr int Zooms = 20;

tlUnitsTime* units()
{
    static tlUnitsTime* u = new tlUnitsTime;
    return u;
}

double zoomAt(int i)
{
    return 1e-9 * std::pow(1e22, double(i) / (Zooms - 1));
}

// As the scale builds it: quantise, pick, configure and stack, then the column scan.
void buildHeader(double zoomSeconds)
{
    aTimeDelta zoom(zoomSeconds);
    units()->quantizeZoom(zoom);
    double const z = zoom.asSeconds();
    std::vector<mRange*> visible;
    units()->configureVisibleRangesForZoom(units()->pickRangeForZoom(z), z, visible);
    aTs start;
    start.set(2024, 3, 5, 9, 30, 0, 0, -1, 0);
    mRange::LabelOwners labels;
    mRange::TickOwners ticks;
    mLocalFields::Scope keep;
    aTs const end = start + zoom * Columns;
    for (auto r = visible.rbegin(); r != visible.rend(); ++r)
        (*r)->beginGrid(start, end, zoom, 0, Columns);
    aTs prev = start - zoom;
    aTs t = start;
    double x = 0;
    for (; x <= Columns; x += 1) {
        for (auto r = visible.rbegin(); r != visible.rend(); ++r)
            (*r)->checkBuildGridline(prev, t, zoom, x, labels, ticks);
        prev = t;
        t = t + zoom;
    }
    for (auto r = visible.rbegin(); r != visible.rend(); ++r)
        (*r)->finishGrid(start, zoom, x);
}

void BM_HeaderGrid(benchmark::State& state)
{
    double const zoom = zoomAt(int(state.range(0)));
    for (auto _ : state)
        buildHeader(zoom);
    state.SetLabel(std::to_string(zoom) + " s/px");
}
BENCHMARK(BM_HeaderGrid)->DenseRange(0, Zooms - 1)->Unit(benchmark::kMicrosecond);

// The median of many builds per zoom; then the worst and the median over the zooms.
void summary()
{
    std::vector<double> perZoom;
    double worstZoom = 0;
    for (int i = 0; i < Zooms; ++i) {
        std::vector<double> runs;
        for (int k = 0; k < 21; ++k) {
            auto const t0 = std::chrono::steady_clock::now();
            buildHeader(zoomAt(i));
            runs.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        }
        std::sort(runs.begin(), runs.end());
        double const ms = runs[runs.size() / 2];
        if (perZoom.empty() || ms > *std::max_element(perZoom.begin(), perZoom.end()))
            worstZoom = zoomAt(i);
        perZoom.push_back(ms);
    }
    std::vector<double> sorted = perZoom;
    std::sort(sorted.begin(), sorted.end());
    std::printf("header grid, %i px: worst zoom %.3f ms (at %g s/px), median zoom %.3f ms\n", Columns,
                sorted.back(), worstZoom, sorted[sorted.size() / 2]);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Ob::ourTrace = false;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    summary();
    return 0;
}
