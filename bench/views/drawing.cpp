// The timeline's own drawing through PainterQt into a QImage: the ruler of a 1,600-pixel axis with
// the whole header stack of its zoom, and 300 titled span events drawn as their items draw them.
// Target: under 4 ms each at the median.
#include "BenchApp.h"
#include "DrawingScene.h"
#include "Ob.h"
#include "PainterQt.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

constexpr int Width = 1600;
constexpr int RulerH = 80;
constexpr int Height = 900;
constexpr int Spans = 300;
// 5 March 2024, 09:30 UTC.
constexpr double Start = 1709631000.0;

void ensureApp()
{
    ensureBenchApp();
    Ob::ourTrace = false;
}

// The ruler at zooms from a second to a day a pixel.
void BM_Ruler(benchmark::State& state)
{
    ensureApp();
    double const secondsPerPixel = double(state.range(0));
    auto scene = std::make_unique<DrawingScene>();
    scene->showAxis(Start, secondsPerPixel, Width);
    QImage image(Width, RulerH, QImage::Format_ARGB32_Premultiplied);
    auto paint = [&] {
        QPainter qp(&image);
        PainterQt p(qp);
        p.set2dGeometry(0, 0, float(Width), float(RulerH));
        scene->paintRuler(p);
    };
    paint();
    for (auto _ : state) {
        paint();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetLabel(std::to_string(scene->scale.getVisRanges()->size()) + " rows");
}
BENCHMARK(BM_Ruler)->Arg(1)->Arg(60)->Arg(3600)->Arg(86400)->Unit(benchmark::kMillisecond);

// 300 spans of 30 to 400 pixels in 37 rows, with titles of one to six words.
std::unique_ptr<DrawingScene> spanScene(int salt)
{
    static char const* const words[] = {"Review", "plan", "for",    "the",     "spring", "launch",
                                        "budget", "call", "design", "offsite", "Q3",     "hiring"};
    auto scene = std::make_unique<DrawingScene>();
    scene->showAxis(Start, 60, Width);
    scene->addLayer("Plans", 37, 60, 90, 140);
    unsigned seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 8) & 0xffff; };
    for (int i = 0; i < Spans; ++i) {
        double const w = 30 + next() % 370;
        double const x = next() % unsigned(Width - int(w));
        std::string title;
        int const n = 1 + int(next() % 6);
        for (int k = 0; k < n; ++k)
            title += std::string(k ? " " : "") + words[next() % 12];
        if (salt)
            title += " #" + std::to_string(salt) + "." + std::to_string(i);
        scene->addEvent(Start + x * 60, w * 60, i % 37, title.c_str());
    }
    return scene;
}

void paintSpans(DrawingScene& scene, QImage& image)
{
    image.fill(Qt::black);
    QPainter qp(&image);
    PainterQt p(qp);
    scene.paintEvents(p, 0, 0);
}

// Repainting the same events: their title sizes are known.
void BM_TitledSpanEvents(benchmark::State& state)
{
    ensureApp();
    auto scene = spanScene(0);
    QImage image(Width, Height, QImage::Format_ARGB32_Premultiplied);
    paintSpans(*scene, image);
    for (auto _ : state) {
        paintSpans(*scene, image);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * Spans);
}
BENCHMARK(BM_TitledSpanEvents)->Unit(benchmark::kMillisecond);

// Titles never painted before: every size tried is measured.
void BM_TitledSpanEventsFirstPaint(benchmark::State& state)
{
    ensureApp();
    QImage image(Width, Height, QImage::Format_ARGB32_Premultiplied);
    int salt = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto scene = spanScene(++salt);
        state.ResumeTiming();
        paintSpans(*scene, image);
        benchmark::DoNotOptimize(image.constBits());
        state.PauseTiming();
        scene.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * Spans);
}
BENCHMARK(BM_TitledSpanEventsFirstPaint)->Unit(benchmark::kMillisecond);

} // namespace
