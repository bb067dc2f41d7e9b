// Crowded rows zoomed tall: a view of 400 x 240 pixels over two layers of four rows of 600 spans
// each (150 of them in view, too many to tell apart: every row is crowded), the rows 30 pixels
// tall or 100,000 (the middle of the first row in view: a layer stays under a million pixels),
// drawn onto a picture of a device pixel ratio of 1 or 2 (as a screen of that ratio gives the view
// its pixels). Each paint follows a pan of the time axis by a pixel, so that the crowded rows are
// drawn anew, and is timed alone.
//
// Counters: paint_ms, the median paint; x_30px, a tall row's paint over that of the rows 30 pixels
// tall at the same ratio (wanted: under 2); grown_MB, resident memory after the 20 paints over
// that before them (wanted: under 20); kept_MB, what the crowded rows' pictures kept after them
// take.
//
// Run by hand in a release build: build/rel/bench/bench_views_crowdedRows.
#include "BenchApp.h"
#include "CrowdPainter.h"
#include "ObClassTypeOf.h"
#include "TimelineTestDoc.h"
#include "Xml.h"
#include "mEdb.h"
#include "mEvent.h"
#include "mLayer.h"
#include "mScale.h"
#include "mTimeline.h"
#include "pGv.h"
#include "tlScene.h"
#include "tlUi.h"

#include <QImage>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int ViewW = 400, ViewH = 240, Layers = 2, Rows = 4, PerRow = 600, Paints = 20;
// Seconds the view shows: a quarter of each row's spans start in it.
constexpr double Shown = 1000, Span = 4000;

long residentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}

struct CrowdedView
{
    TimelineTestDoc doc;
    mTimeline& timeline = *doc.cmp.getCmpTimeline();
    mScale& scale = *timeline.timeScale();
    mScale& perp = *timeline.perpScale();
    tlScene& scene = *doc.cmp.getUi()->getScene();
    std::vector<Obh> layers;
    std::unique_ptr<pGv> view = std::make_unique<pGv>(nullptr, &doc.cmp);

    CrowdedView()
    {
        Ob::ourTrace = false;
        Xml::ourTrace = false;
        // Spans of a second to a minute, titled, one in ten selected.
        std::mt19937 random(3);
        std::uniform_real_distribution<double> unit(0, 1);
        for (int l = 0; l < Layers; ++l)
            layers.push_back(timeline.newLayer());
        for (Obh const& layer : layers)
            for (int row = 0; row < Rows; ++row)
                for (int i = 0; i < PerRow; ++i) {
                    Obh h = tlObj::ourType_mEvent->make();
                    mEvent* ev = tlObj::ourType_mEvent->ptr(h);
                    double const start = unit(random) * Span;
                    ev->setStartTime(start);
                    ev->setTimeLength(std::exp(unit(random) * std::log(60.0)));
                    ev->setTitle("Event");
                    timeline.addEvent(h, start, row, layer, true);
                    if (i % 10 == 0)
                        doc.selection.addToSelection(h);
                }
        scale.setParentPos(0);
        scale.setParentSize(ViewW);
        perp.setParentPos(0);
        perp.setParentSize(ViewH);
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->setScene(&scene);
        view->resize(ViewW, ViewH);
        view->setSceneRect(0, 0, ViewW, ViewH);
    }

    // The rows rowPixels tall: from the first row on, or for rows taller than the view, the
    // middle of the first row.
    void rowsOf(double rowPixels)
    {
        double r = 0, size = 0;
        tlObj::ourType_mLayer->ptr(layers.front())->modelRowSpan(0, 1, r, size);
        double const rows = ViewH / rowPixels;
        double const from = rows < 1 ? r + (size - rows) / 2 : r;
        perp.zoomToLocalRange(from, from + rows, 1.0f);
        timeline.restackLayers();
    }
    // The time axis from `from` on, and the scene made to show it.
    void at(double from)
    {
        scale.zoomToLocalRange(from, from + Shown, 1.0f);
        timeline.getEdb()->syncEventsToView(&timeline, &scene);
        view->show();
    }
    void paint(QImage& onto) { view->QWidget::render(&onto); }
};

double median(std::vector<double> v)
{
    std::nth_element(v.begin(), v.begin() + v.size() / 2, v.end());
    return v[v.size() / 2];
}

// The median paint of the rows 30 pixels tall at a ratio, for the tall rows' x_30px.
std::map<int, double> ourThinMs;

void BM_CrowdedRowPaint(benchmark::State& state)
{
    ensureBenchApp();
    double const rowPixels = double(state.range(0)), ratio = double(state.range(1)) / 100;
    CrowdedView crowded;
    crowded.rowsOf(rowPixels);
    QImage picture(QSize(ViewW, ViewH) * ratio, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    // A pixel of the time axis.
    double const pixel = Shown / ViewW;
    double from = (Span - Shown) / 2;
    crowded.at(from);
    long const before = residentKb();
    std::vector<double> ms;
    for (auto _ : state) {
        state.PauseTiming();
        from += ms.size() % 2 ? -pixel : pixel;
        crowded.at(from);
        state.ResumeTiming();
        auto const t0 = std::chrono::steady_clock::now();
        crowded.paint(picture);
        double const s =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        state.SetIterationTime(s);
        ms.push_back(s * 1000);
        benchmark::DoNotOptimize(picture.constBits());
    }
    double const paintMs = median(ms);
    state.counters["paint_ms"] = paintMs;
    state.counters["grown_MB"] = double(residentKb() - before) / 1024;
    state.counters["kept_MB"] = double(CrowdPainter::keptBytes()) / (1 << 20);
    if (rowPixels <= 30)
        ourThinMs[int(state.range(1))] = paintMs;
    else if (double const thin = ourThinMs[int(state.range(1))]; thin > 0)
        state.counters["x_30px"] = paintMs / thin;
}

// The rows 30 pixels tall first at each ratio: the tall ones are weighed against them.
BENCHMARK(BM_CrowdedRowPaint)
    ->Args({30, 100})
    ->Args({100000, 100})
    ->Args({30, 200})
    ->Args({100000, 200})
    ->UseManualTime()
    ->Iterations(Paints)
    ->Unit(benchmark::kMillisecond);

} // namespace
