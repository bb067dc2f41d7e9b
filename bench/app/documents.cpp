// The program on large documents, as a person meets it: the application opens a bundle and its
// window paints for the first time; the application saves it and closes it; and at a million
// events, wheel turns that zoom and pan the time axis, each a frame (the turn, the refresh pass
// and a paint of the window). Sizes: 10,000 events in 20 layers, 100,000 in 50, 1,000,000 in
// 200, made once by tools/gendoc into a temporary folder.
//
// Wanted: 100,000 events open to first paint and saved in under 1 s each, a million in under 10 s
// each, under 1 KB per event (counter bytes_per_event: resident memory after the first paint over
// what it was before the first document, per event, so the sizes run from small to large;
// peak_MB: the process's peak while opening, beside resident_MB, what it holds after the first
// paint); at a million, the median frame of zoom and pan under 16 ms (counter median_ms).
//
// Beside each open, bare_sax2_ms is libxml2 alone on the same file in the same run: one SAX2 parse
// with empty callbacks on one thread, the floor a single pass of the library sets; x_sax2 is the
// open's time over it. Each save is printed beside libxml2's bare xmlTextWriter writing a file of
// the same shape in the same run (counters xmlTextWriter_ms, without a sync; fsync_ms, the sync of
// that file measured apart; ratio, the save over the bare writer).
//
// The program's trace goes to /dev/null and the results to standard error. The benchmarks named
// "traced" keep the object and XML traces on, as the program runs; the others turn them off. The
// one named "one parse" reads the file on the main thread alone, for comparison.
// Run by hand in a release build: build/rel/bench/bench_app_documents [--benchmark_filter=...].
#include "../xml/BareSax2.h"
#include "AppBench.h"
#include "Ob.h"
#include "ObQtRefresher.h"
#include "ObQtWinDoc.h"
#include "Xml.h"
#include "XmlStretches.h"
#include "mApp.h"
#include "mDoc.h"
#include "pTimeline.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QPaintEvent>
#include <QWheelEvent>
#include <benchmark/benchmark.h>
#include <libxml/xmlwriter.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

using namespace appBench;

// libxml2 alone on the document's file, in ms.
double bareSax2Ms(std::string const& bundlePath)
{
    std::string const file = bundlePath + "/doc_data.xml";
    QElapsedTimer clock;
    clock.start();
    bool const parsed = bareSax2Parse(file.c_str());
    double const ms = clock.nsecsElapsed() / 1e6;
    return parsed ? ms : -1;
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
    double openMs = 0;
    for (auto _ : state) {
        state.PauseTiming();
        closeCurrent();
        resetPeak();
        state.ResumeTiming();
        QElapsedTimer clock;
        clock.start();
        if (!openAndShow(path)) {
            state.SkipWithError("the document did not open and paint");
            break;
        }
        openMs = clock.nsecsElapsed() / 1e6;
        state.PauseTiming();
        after = statusKb("VmRSS:");
        peak = statusKb("VmHWM:");
        state.ResumeTiming();
    }
    closeCurrent();
    traces(true);
    double const bare = bareSax2Ms(path);
    state.counters["bytes_per_event"] = (after - ourBaseKb) * 1024.0 / state.range(0);
    state.counters["peak_MB"] = peak / 1024.0;
    state.counters["resident_MB"] = after / 1024.0;
    state.counters["bare_sax2_ms"] = bare;
    state.counters["x_sax2"] = bare > 0 ? openMs / bare : 0;
}

void BM_OpenToFirstPaint(benchmark::State& state)
{
    openToFirstPaint(state, false);
}

void BM_OpenToFirstPaintTraced(benchmark::State& state)
{
    openToFirstPaint(state, true);
}

// The same open with the file read by one parse on the main thread, as small files are.
void BM_OpenToFirstPaintOneParse(benchmark::State& state)
{
    XmlStretches::Settings const saved = XmlStretches::settings();
    XmlStretches::settings().parallelFrom = std::size_t(1) << 62;
    openToFirstPaint(state, false);
    XmlStretches::settings() = saved;
}

// libxml2's own writer, bare, on a document of the shape tools/gendoc makes (the same elements,
// attributes, indentation and encoding, the values made alike), so that a save is read beside
// what that interface alone takes: the time of the writing, and apart from it the sync of the
// written file.
class BareTextWriter
{
public:
    explicit BareTextWriter(char const* path) : myWriter(xmlNewTextWriterFilename(path, 0))
    {
        myOk = myWriter && xmlTextWriterSetIndent(myWriter, 1) >= 0 &&
               xmlTextWriterSetIndentString(myWriter, x("   ")) >= 0 &&
               xmlTextWriterStartDocument(myWriter, nullptr, "ISO-8859-1", nullptr) >= 0;
    }
    ~BareTextWriter()
    {
        if (myWriter)
            xmlFreeTextWriter(myWriter);
    }
    bool end()
    {
        myOk = myOk && xmlTextWriterEndDocument(myWriter) >= 0;
        xmlFreeTextWriter(std::exchange(myWriter, nullptr));
        return myOk;
    }

    void open(char const* name) { ok(xmlTextWriterStartElement(myWriter, x(name))); }
    void close() { ok(xmlTextWriterEndElement(myWriter)); }
    void attr(char const* name, char const* value)
    {
        ok(xmlTextWriterWriteAttribute(myWriter, x(name), x(value)));
    }
    void attr(char const* name, long value)
    {
        char text[32];
        std::snprintf(text, sizeof text, "%ld", value);
        attr(name, text);
    }
    void real(char const* name, double value)
    {
        char text[400];
        std::snprintf(text, sizeof text, "%f", value);
        attr(name, text);
    }
    // <attr _id=... _t=... value=.../>, as an object's attribute is stored.
    void field(char const* id, char const* type, char const* value)
    {
        open("attr");
        attr("_id", id);
        attr("_t", type);
        attr("value", value);
        close();
    }
    void field(char const* id, long value)
    {
        char text[32];
        std::snprintf(text, sizeof text, "%ld", value);
        field(id, "int", text);
    }
    void field(char const* id, double value)
    {
        char text[400];
        std::snprintf(text, sizeof text, "%f", value);
        field(id, "double", text);
    }
    void flag(char const* id, bool value) { field(id, "bool", value ? "True" : "False"); }
    void handle(char const* element, char const* type, long slot)
    {
        open(element);
        attr("_t", "h");
        attr("tid", type);
        attr("oid", slot);
        attr("flags", 1);
        close();
    }
    void stamp(char const* element, long seconds)
    {
        std::tm t {};
        time_t const at = seconds;
        gmtime_r(&at, &t);
        open(element);
        attr("yr", t.tm_year + 1900L);
        attr("mo", t.tm_mon + 1L);
        attr("dy", static_cast<long>(t.tm_mday));
        attr("hr", static_cast<long>(t.tm_hour));
        attr("mn", static_cast<long>(t.tm_min));
        attr("sc", static_cast<long>(t.tm_sec));
        attr("ns", 0L);
        attr("dst", "False");
        attr("gmtOffsetSecs", 0L);
        close();
    }
    void bank(long count)
    {
        open("bank");
        attr("count", count);
        attr("bytes", 8L);
        attr("total", std::max(count, 1L));
        attr("inc", 1L);
    }
    void typeAndBank(char const* name, long count)
    {
        open("type");
        attr("name", name);
        bank(count);
    }
    void objectAt(long slot, char const* type)
    {
        open("addr");
        attr("_id", slot);
        open("object");
        attr("_t", type);
    }

private:
    static xmlChar const* x(char const* text) { return reinterpret_cast<xmlChar const*>(text); }
    void ok(int rc) { myOk = myOk && rc >= 0; }

    xmlTextWriterPtr myWriter;
    bool myOk = false;
};

bool writeBare(char const* path, Size size)
{
    long const events = size.events, layers = size.layers;
    long const start = 1577836800;
    BareTextWriter w(path);
    w.open("timeline_document_v1");
    w.open("objects");
    w.typeAndBank("mScale", 2 + 2 * layers);
    for (long slot = 0; slot < 2 + 2 * layers; ++slot) {
        w.objectAt(slot, "mScale");
        w.open("zoom");
        w.attr("sc", 1512L);
        w.attr("dy", 0L);
        w.attr("ns", 0L);
        w.close();
        for (char const* name :
             {"last_sel_start", "last_sel_end", "sel_start", "sel_end", "vis_start", "vis_end"})
            w.stamp(name, start);
        w.field("note", "rtl::str", "Layer TIME scale");
        w.field("unitType", "rtl::str", "time");
        w.field("parentPos", 0L);
        w.field("parentSize", 1L);
        w.flag("hasMinValue", false);
        w.flag("hasMaxValue", false);
        w.field("minValue", 0.0);
        w.field("maxValue", 1.0);
        w.close();
        w.close();
    }
    w.close();
    w.close();
    w.typeAndBank("mTimeline", 1);
    w.objectAt(0, "mTimeline");
    w.field("tick", 1L);
    w.flag("layerHidingEnabled", false);
    w.flag("lockToNowFlag", false);
    w.field("layerHeaderW", 120L);
    w.field("rowScale", 30.0);
    w.flag("showLayerControls", false);
    w.handle("time_scale", "mScale", 0);
    w.handle("row_scale", "mScale", 1);
    w.open("layers");
    for (long j = 0; j < layers; ++j)
        w.handle("layer", "mLayer", j);
    w.close();
    w.open("events");
    for (long slot = 0; slot < events; ++slot)
        w.handle("event", "mEvent", slot);
    for (int i = 0; i < 6; ++i)
        w.close();
    w.typeAndBank("mLayer", layers);
    for (long j = 0, first = 0; j < layers; ++j) {
        long const count = events / layers + (j < events % layers ? 1 : 0);
        w.objectAt(j, "mLayer");
        w.handle("time_scale", "mScale", 3 + 2 * j);
        w.handle("row_scale", "mScale", 2 + 2 * j);
        w.open("layer_events");
        for (long slot = first; slot < first + count; ++slot)
            w.handle("layer_event", "mEvent", slot);
        w.close();
        first += count;
        for (char const* name : {"isCurrent", "isSelected", "isActive", "isVisible"})
            w.flag(name, true);
        for (char const* name : {"index", "stackRowIndex", "stackIndex", "numRows"})
            w.field(name, j);
        for (char const* name : {"modelY", "modelH", "sceneY", "sceneH", "sceneW"})
            w.field(name, 1.0);
        for (char const* name :
             {"paddingTop", "paddingBottom", "verticalScale", "alpha", "timeStep"})
            w.field(name, "float", "1.000000");
        w.field("title", "rtl::str", ("Layer #" + std::to_string(j + 1)).c_str());
        w.field("currentTime", 0.0);
        for (char const* part : {"bgColor", "lineColor", "textColor"})
            for (char const* c : {"R", "G", "B", "A"})
                w.field((std::string(part) + c).c_str(), 120L);
        w.field("labelFontFamily", "rtl::str", "Gil Sans");
        for (char const* name :
             {"labelMaxFontSize", "labelMinFontSize", "labelFontSize", "labelFontWeight"})
            w.field(name, 12L);
        w.field("notes", "rtl::str", "");
        w.field("keywords", "rtl::str", "");
        w.close();
        w.close();
    }
    w.close();
    w.close();
    w.typeAndBank("mSkin", 1);
    w.objectAt(0, "mSkin");
    for (int i = 0; i < 27; ++i)
        w.field(("skinField" + std::to_string(i)).c_str(), 40L);
    for (int i = 0; i < 4; ++i)
        w.close();
    // The events, nearly all of the file.
    w.typeAndBank("mEvent", events);
    std::uint64_t seed = 1;
    auto next = [&seed] {
        seed = seed * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<long>(seed >> 40);
    };
    for (long slot = 0; slot < events; ++slot) {
        long const at = start + next() % (86400L * (events / layers + 1));
        bool const instant = next() % 10 == 0;
        w.objectAt(slot, "mEvent");
        w.stamp("event_time", at);
        w.handle("event_layer", "mLayer", slot % layers);
        w.field("colorStyle", 1L);
        w.field("startTime", static_cast<double>(at));
        w.field("timeLength", instant ? 0.0 : static_cast<double>(60 + next() % 259140));
        w.field("sceneW", 0.0);
        w.field("sceneH", 0.0);
        w.field("rowIndex", static_cast<double>(next() % 8));
        w.field("rowSize", 1.0);
        w.flag("isActive", true);
        w.flag("isImpulse", instant);
        for (char const* part : {"bgColor", "lineColor", "textColor"})
            for (char const* c : {"R", "G", "B", "A"})
                w.field((std::string(part) + c).c_str(), *c == 'A' ? 255L : 128L);
        w.field("title", "rtl::str", ("Event " + std::to_string(slot + 1)).c_str());
        for (char const* name : {"notes", "amount", "units", "keywords"})
            w.field(name, "rtl::str", "");
        w.close();
        w.close();
    }
    w.close();
    w.close();
    w.typeAndBank("mPlSample", 0);
    w.close();
    w.close();
    w.close();
    w.open("timeline_component");
    w.handle("skin", "mSkin", 0);
    w.handle("timeline", "mTimeline", 0);
    w.close();
    w.open("doc");
    for (char const* name : {"winX", "winY", "winW", "winH"})
        w.field(name, 100L);
    w.field("path", "rtl::str", path);
    w.field("name", "rtl::str", "saved");
    w.flag("needsSave", false);
    w.close();
    return w.end();
}

// Seconds the bare writer takes for the document, and apart from them the sync of its file.
struct BareTimes
{
    double write = 0, sync = 0;
};

BareTimes bareWriteAndSync(Size size)
{
    using Clock = std::chrono::steady_clock;
    std::string const path = (folder() / "bare.xml").string();
    BareTimes times;
    auto const begin = Clock::now();
    if (!writeBare(path.c_str(), size))
        return {};
    auto const written = Clock::now();
    int const fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    times.write = std::chrono::duration<double>(written - begin).count();
    times.sync = std::chrono::duration<double>(Clock::now() - written).count();
    fs::remove(path);
    return times;
}

void BM_Save(benchmark::State& state)
{
    traces(false);
    fs::path const copy = folder() / "saved";
    std::string const path = bundle(sizeOf(state));
    if (path.empty()) {
        state.SkipWithError("tools/gendoc failed");
        return;
    }
    if (!openAndShow(path)) {
        state.SkipWithError("the document did not open and paint");
        return;
    }
    mDoc* doc = current();
    doc->setPath(rtl::str(copy.c_str()));
    std::vector<double> saves, bare, syncs;
    for (auto _ : state) {
        auto const begin = std::chrono::steady_clock::now();
        if (!mApp::app()->saveDoc(doc, false))
            state.SkipWithError("the save failed");
        saves.push_back(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count());
        state.PauseTiming();
        BareTimes const times = bareWriteAndSync(sizeOf(state));
        bare.push_back(times.write);
        syncs.push_back(times.sync);
        state.ResumeTiming();
    }
    closeCurrent();
    traces(true);
    // Beside the save: the bare xmlTextWriter on a file of the same shape, the sync of that
    // file alone, and the save's time over the bare writer's.
    state.counters["xmlTextWriter_ms"] = median(bare) * 1e3;
    state.counters["fsync_ms"] = median(syncs) * 1e3;
    state.counters["ratio"] = median(bare) > 0 ? median(saves) / median(bare) : 0.0;
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
    Timeline const shown(current());
    if (!shown.ok()) {
        state.SkipWithError("the window shows no timeline");
        return;
    }
    std::vector<double> frames;
    int turn = 0;
    for (auto _ : state) {
        // Two turns one way, two back: the view stays near where it began.
        int const delta = (turn++ / 2) % 2 == 0 ? 120 : -120;
        frames.push_back(shown.wheelFrame(delta, modifiers));
    }
    state.counters["median_ms"] = median(frames);
    // The turns changed the view, which a person would be asked to save: nobody answers here.
    current()->setNeedsSave(false);
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

BENCHMARK(BM_OpenToFirstPaint)
    ->Apply(sizes)
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenToFirstPaintTraced)
    ->Args({100000, 50})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenToFirstPaintOneParse)
    ->Args({100000, 50})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Apply(sizes)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Close)->Apply(sizes)->Iterations(1)->Repetitions(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ZoomFrame)->Args({1000000, 200})->Iterations(60)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PanFrame)->Args({1000000, 200})->Iterations(60)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return appBench::runBenchmarks(argc, argv);
}
