// Saving and loading a document of 100,000 events against bare libxml2 writing and reading the
// same file: the writer replays the saved file's elements and attributes with the same encoding
// and indentation, the reader visits every element and attribute. Prints bare / ours for each
// (0.8 at least wanted). The load includes the checks and the post-load hooks.
#include "BenchTimeline.h"

#include <benchmark/benchmark.h>
#include <libxml/xmlreader.h>
#include <libxml/xmlwriter.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

constexpr int Events = 100000;

std::string folder()
{
    static std::string const dir = [] {
        std::string d = (std::filesystem::temp_directory_path() / "vantrel-bench-XXXXXX").string();
        return std::string(mkdtemp(d.data()));
    }();
    return dir;
}

std::string const& savedPath()
{
    static std::string const path = [] {
        bench::Timeline t;
        t.make(Events);
        t.place();
        std::string p = folder() + "/doc.xml";
        if (!saveTimelineDoc(t.doc->cmp, p))
            std::fprintf(stderr, "could not save %s\n", p.c_str());
        return p;
    }();
    return path;
}

// The saved file as the bare writer replays it: element starts with their attributes, and ends.
struct Node
{
    bool end;
    std::string name;
    std::vector<std::pair<std::string, std::string>> attrs;
};

std::vector<Node> const& savedNodes()
{
    static std::vector<Node> const nodes = [] {
        std::vector<Node> out;
        xmlTextReaderPtr r = xmlReaderForFile(savedPath().c_str(), nullptr, 0);
        while (xmlTextReaderRead(r) == 1) {
            int const type = xmlTextReaderNodeType(r);
            if (type == XML_READER_TYPE_END_ELEMENT) {
                out.push_back({true, {}, {}});
                continue;
            }
            if (type != XML_READER_TYPE_ELEMENT)
                continue;
            Node n {false, reinterpret_cast<char const*>(xmlTextReaderConstName(r)), {}};
            bool const empty = xmlTextReaderIsEmptyElement(r);
            while (xmlTextReaderMoveToNextAttribute(r) == 1)
                n.attrs.emplace_back(reinterpret_cast<char const*>(xmlTextReaderConstName(r)),
                                     reinterpret_cast<char const*>(xmlTextReaderConstValue(r)));
            out.push_back(std::move(n));
            if (empty)
                out.push_back({true, {}, {}});
        }
        xmlFreeTextReader(r);
        return out;
    }();
    return nodes;
}

void BM_SaveOurs(benchmark::State& state)
{
    bench::Timeline t;
    t.make(Events);
    t.place();
    std::string const path = folder() + "/ours.xml";
    for (auto _ : state)
        if (!saveTimelineDoc(t.doc->cmp, path))
            state.SkipWithError("save failed");
}

void BM_SaveBareLibxml2(benchmark::State& state)
{
    auto const& nodes = savedNodes();
    std::string const path = folder() + "/bare.xml";
    auto x = [](std::string const& s) { return reinterpret_cast<xmlChar const*>(s.c_str()); };
    for (auto _ : state) {
        xmlTextWriterPtr w = xmlNewTextWriterFilename(path.c_str(), 0);
        xmlTextWriterSetIndent(w, 1);
        xmlTextWriterSetIndentString(w, reinterpret_cast<xmlChar const*>("   "));
        xmlTextWriterStartDocument(w, nullptr, "ISO-8859-1", nullptr);
        for (Node const& n : nodes) {
            if (n.end) {
                xmlTextWriterEndElement(w);
                continue;
            }
            xmlTextWriterStartElement(w, x(n.name));
            for (auto const& [name, value] : n.attrs)
                xmlTextWriterWriteAttribute(w, x(name), x(value));
        }
        xmlTextWriterEndDocument(w);
        xmlFreeTextWriter(w);
    }
}

void BM_LoadOurs(benchmark::State& state)
{
    std::string const& path = savedPath();
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<TimelineTestDoc>();
        state.ResumeTiming();
        if (!loadTimelineDoc(doc->cmp, path))
            state.SkipWithError("load failed");
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
}

void BM_LoadBareLibxml2(benchmark::State& state)
{
    std::string const& path = savedPath();
    for (auto _ : state) {
        std::size_t seen = 0;
        xmlTextReaderPtr r = xmlReaderForFile(path.c_str(), nullptr, XML_PARSE_NONET);
        while (xmlTextReaderRead(r) == 1) {
            if (xmlTextReaderNodeType(r) != XML_READER_TYPE_ELEMENT)
                continue;
            seen += xmlStrlen(xmlTextReaderConstName(r));
            while (xmlTextReaderMoveToNextAttribute(r) == 1)
                seen += xmlStrlen(xmlTextReaderConstValue(r));
        }
        xmlFreeTextReader(r);
        benchmark::DoNotOptimize(seen);
    }
}

// Five runs of each; the ratios compare medians. On a busy machine, interleave them with
// --benchmark_enable_random_interleaving=true.
BENCHMARK(BM_SaveOurs)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_SaveBareLibxml2)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_LoadOurs)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_LoadBareLibxml2)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);

// Keeps the median real time of every benchmark, by the benchmark's function, for the ratios.
class Keeper : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(std::vector<Run> const& runs) override
    {
        for (Run const& r : runs)
            if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median")
                times[r.run_name.function_name] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    double ratio(char const* bare, char const* ours) const
    {
        auto b = times.find(bare);
        auto o = times.find(ours);
        return b == times.end() || o == times.end() || o->second == 0 ? 0.0 : b->second / o->second;
    }
    std::map<std::string, double> times;
};

} // namespace

int main(int argc, char** argv)
{
    bench::ensureApp();
    benchmark::Initialize(&argc, argv);
    Keeper keeper;
    benchmark::RunSpecifiedBenchmarks(&keeper);
    std::printf("save: bare libxml2 / ours %.2f (0.80 at least wanted)\n",
                keeper.ratio("BM_SaveBareLibxml2", "BM_SaveOurs"));
    std::printf("load: bare libxml2 / ours %.2f (0.80 at least wanted)\n",
                keeper.ratio("BM_LoadBareLibxml2", "BM_LoadOurs"));
    benchmark::Shutdown();
    std::filesystem::remove_all(folder());
    return 0;
}
