#pragma once

// A timeline of many events for the model's benchmarks: ten layers, events of mixed length
// (a minute to a month, one in ten an instant) spread evenly over a stretch of years, on a view
// 1,600 pixels wide whose height shows every row.

#include "../views/BenchApp.h"
#include "ObClassTypeOf.h"
#include "TimelineTestDoc.h"
#include "Xml.h"
#include "mEdb.h"
#include "mEvent.h"
#include "mLayer.h"
#include "mScale.h"
#include "mTimeline.h"
#include "tlScene.h"
#include "tlUi.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

namespace bench {

constexpr int Layers = 10;
constexpr int ViewWidth = 1600;
constexpr double Year = 365.25 * 86400;
constexpr double Start = 1.6e9; // September 2020
// Events per year: 100,000 events over ten years.
constexpr double Density = 10000;

// The application the scene needs, and no traces: they would be most of what is measured.
inline void ensureApp()
{
    ensureBenchApp();
    Ob::ourTrace = false;
    Xml::ourTrace = false;
}

struct Timeline
{
    std::unique_ptr<TimelineTestDoc> doc = (ensureApp(), std::make_unique<TimelineTestDoc>());
    mTimeline& tl = *doc->cmp.getCmpTimeline();
    std::vector<Obh> layers;
    std::vector<Obh> events;

    Timeline()
    {
        for (int i = 0; i < Layers; ++i)
            layers.push_back(tl.newLayer());
        tl.timeScale()->setParentSize(ViewWidth);
    }

    // n events over n / Density years, made but not placed; each knows its layer.
    void make(int n, unsigned seed = 1)
    {
        std::mt19937 rnd(seed);
        std::uniform_real_distribution<> at(Start, Start + n / Density * Year);
        std::uniform_real_distribution<> logLength(std::log(60.0), std::log(30 * 86400.0));
        events.reserve(n);
        for (int i = 0; i < n; ++i) {
            Obh h = tlObj::ourType_mEvent->make();
            mEvent* ev = tlObj::ourType_mEvent->ptr(h);
            bool const instant = i % 10 == 0;
            ev->setStartTime(at(rnd));
            ev->setTimeLength(instant ? 0.0 : std::exp(logLength(rnd)));
            ev->setIsImpulse(instant);
            ev->setLayerHdl(layers[i % Layers]);
            events.push_back(h);
        }
    }

    // First fit of every made event into its layer; the seconds it took.
    double place()
    {
        auto const t0 = std::chrono::steady_clock::now();
        for (Obh& h : events)
            tl.addEvent(h, tlObj::ourType_mEvent->ptr(h)->getStartTime());
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    }

    // The view: `width` seconds five years in (the same dates at every size, so that the time
    // scale's own header costs the same) across 1,600 pixels, and every row of the stack across
    // its height.
    void view(double width)
    {
        double const at = Start + 5 * Year;
        tl.timeScale()->zoomToLocalRange(at, at + width, 1.0f);
        tl.restackLayers();
        mScale* perp = tl.perpScale();
        perp->setParentSize(1000);
        perp->zoomToLocalRange(0.0, perp->getMaxValue(), 1.0f);
        tl.restackLayers();
        tl.syncLayerViews();
        sync();
    }

    void sync() { tl.getEdb()->syncEventsToView(&tl, doc->cmp.getUi()->getScene()); }
    int items() const { return static_cast<int>(doc->cmp.getUi()->getScene()->items().size()); }
};

// Seconds across the view that show about 300 events at 10,000 events a year.
constexpr double ViewSeconds = 9.5 * 86400;

// The timeline of n events placed and viewed, kept while the same size is asked for again: the
// steps of a run go back and forth. One at a time: the model's pools are those of the newest
// document.
inline Timeline& shown(int n)
{
    static std::unique_ptr<Timeline> built;
    static int size = 0;
    if (!built || size != n) {
        built.reset();
        built = std::make_unique<Timeline>();
        built->make(n);
        built->place();
        built->view(ViewSeconds);
        size = n;
    }
    return *built;
}

} // namespace bench
