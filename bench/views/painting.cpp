// Painting through PainterQt into a QImage, as a scene item or a pane paints. The first case is
// the text side of 300 titled spans: each span's shaded box and edges, then its title fitted by
// trying sizes from 64 down to 11 until it fits, then drawn. Later painting (the ruler, layers,
// backgrounds) goes here as further cases.
#include "BenchApp.h"
#include "PainterQt.h"

#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int Spans = 300;
constexpr int Width = 1600;
constexpr int Height = 900;

struct Span
{
    float x, y, w, h;
    std::string title;
};

// Spans of 30 to 400 pixels in rows of 24, with titles of one to six words.
std::vector<Span> spans(int salt)
{
    static char const* const words[] = {"Review", "plan", "for",    "the",     "spring", "launch",
                                        "budget", "call", "design", "offsite", "Q3",     "hiring"};
    std::vector<Span> out;
    unsigned seed = 12345;
    auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 8) & 0xffff; };
    for (int i = 0; i < Spans; ++i) {
        Span s;
        s.w = float(30 + next() % 370);
        s.x = float(next() % unsigned(Width - int(s.w)));
        s.y = float((i % 37) * 24);
        s.h = 24;
        int const n = 1 + int(next() % 6);
        for (int k = 0; k < n; ++k)
            s.title += std::string(k ? " " : "") + words[next() % 12];
        if (salt)
            s.title += " #" + std::to_string(salt) + "." + std::to_string(i);
        out.push_back(s);
    }
    return out;
}

// The calls a span makes: the shaded box, its light and dark edges, the fitted title.
void paintSpan(Painter& p, Span const& s)
{
    float const x = s.x, y = s.y + 2, w = s.w, h = s.h - 4;
    p.setFillColorRgba8(80, 120, 200, 255);
    p.setAntiAliasing(true);
    p.draw2dGradientRectVert(x, y, w, h, 80, 120, 200, 255, 40, 60, 100, 255, 56, 84, 140, 255,
                             0.5f);
    p.setLineWidth(1);
    p.setAntiAliasing(false);
    p.setLineColorHsvaF(0.6f, 0.6f, 0.7f, 1);
    p.begin2dLineSegments();
    p.add2dLineSegment(x + w - 1, y);
    p.add2dLineSegment(x + w - 1, y + h - 1);
    p.add2dLineSegment(x, y + h - 1);
    p.end2dLineSegments();
    p.setLineColorHsvaF(0.6f, 0.6f, 0.9f, 1);
    p.begin2dLineSegments();
    p.add2dLineSegment(x, y + h - 1);
    p.add2dLineSegment(x, y);
    p.add2dLineSegment(x + w - 1, y);
    p.end2dLineSegments();
    p.setTextColorRgba8(255, 255, 255, 255);
    p.setFont("Gil Sans", 10, 50);
    bool fitted = false;
    for (int size = 64; size >= 11 && !fitted; --size) {
        p.setFont("Gil Sans", float(size), 50);
        float tw, th;
        p.getTextSize(s.title.c_str(), tw, th);
        fitted = tw < w - 10 && th < h - 4;
    }
    p.draw2dText(s.title.c_str(), x + 5, y, w - 10, h, fitted ? 0 : -1, 0);
}

void paintAll(QImage& image, std::vector<Span> const& all)
{
    image.fill(Qt::black);
    QPainter qp(&image);
    PainterQt p(qp);
    p.set2dGeometry(0, 0, float(Width), float(Height));
    for (Span const& s : all)
        paintSpan(p, s);
}

// Repainting the same spans: every title size is measured once, then remembered.
void BM_TitledSpans(benchmark::State& state)
{
    ensureBenchApp();
    QImage image(Width, Height, QImage::Format_ARGB32_Premultiplied);
    std::vector<Span> const all = spans(0);
    paintAll(image, all);
    for (auto _ : state) {
        paintAll(image, all);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * Spans);
}
BENCHMARK(BM_TitledSpans)->Unit(benchmark::kMillisecond);

// Titles never painted before, each measured at every size it tries: the first paint of a view.
void BM_TitledSpansFirstPaint(benchmark::State& state)
{
    ensureBenchApp();
    QImage image(Width, Height, QImage::Format_ARGB32_Premultiplied);
    int salt = 0;
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<Span> const fresh = spans(++salt);
        state.ResumeTiming();
        paintAll(image, fresh);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * Spans);
}
BENCHMARK(BM_TitledSpansFirstPaint)->Unit(benchmark::kMillisecond);

} // namespace
