// The XML reader alone on a large document of the program's form (tools/gendoc, 100,000 events
// in 50 layers, and a million in 200), beside libxml2 alone on the same file: one SAX2 parse with
// empty callbacks on one thread. The reader hands every node to a handler that takes it and does
// nothing: what reading costs before the model sees a node. "Once" is the reader's single parse,
// "Stretches" its parallel reading on every core. Run by hand in a release build:
// build/rel/bench/bench_xml_reading [--benchmark_filter=...].
#include "BareSax2.h"
#include "XmlReader.h"
#include "XmlStretches.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

fs::path const& folder()
{
    static fs::path const dir = [] {
        std::string d = (fs::temp_directory_path() / "vantrel-bench-xml-XXXXXX").string();
        return fs::path(mkdtemp(d.data()));
    }();
    return dir;
}

// The document's file, made on first use.
std::string document(int events, int layers)
{
    static std::map<int, std::string> made;
    auto found = made.find(events);
    if (found != made.end())
        return found->second;
    fs::path const gendoc = fs::path(VANTREL_SOURCE_DIR) / "tools/gendoc";
    std::string const path = (folder() / ("doc" + std::to_string(events))).string();
    std::string const command = "python3 '" + gendoc.string() + "' '" + path + "' " +
                                std::to_string(events) + " " + std::to_string(layers) +
                                " >/dev/null";
    if (std::system(command.c_str()) != 0)
        return {};
    return made[events] = path + ".orstime/doc_data.xml";
}

long residentKb()
{
    FILE* f = std::fopen("/proc/self/status", "r");
    char line[256];
    long kb = 0;
    while (f && std::fgets(line, sizeof line, f))
        if (std::strncmp(line, "VmRSS:", 6) == 0)
            kb = std::atol(line + 6);
    if (f)
        std::fclose(f);
    return kb;
}

struct Nothing : XmlReadHandler
{
    bool xmlReadStartElement(XmlReader&, char const*, int) override { return true; }
    bool xmlReadEndElement(XmlReader&, char const*) override { return true; }
    bool xmlReadValue(XmlReader&, char const*) override { return true; }
};

void BM_BareSax2(benchmark::State& state)
{
    std::string const file =
        document(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state)
        if (!bareSax2Parse(file.c_str()))
            state.SkipWithError("the document did not parse");
}

void read(benchmark::State& state, bool stretches)
{
    std::string const file =
        document(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    XmlStretches::Settings const saved = XmlStretches::settings();
    if (!stretches)
        XmlStretches::settings().parallelFrom = std::size_t(1) << 62;
    for (auto _ : state) {
        Nothing nothing;
        XmlReader reader;
        reader.pushHandler(&nothing, nullptr);
        if (!reader.parseFile(file.c_str()))
            state.SkipWithError("the document did not read");
        state.counters["stretches"] = reader.course().stretches;
    }
    state.counters["resident_MB"] = residentKb() / 1024.0;
    XmlStretches::settings() = saved;
}

void BM_ReadOnce(benchmark::State& state)
{
    read(state, false);
}

void BM_ReadStretches(benchmark::State& state)
{
    read(state, true);
}

void sizes(benchmark::internal::Benchmark* b)
{
    b->Args({100000, 50})->Args({1000000, 200})->Unit(benchmark::kMillisecond)->Repetitions(3);
}

BENCHMARK(BM_BareSax2)->Apply(sizes)->Iterations(1);
BENCHMARK(BM_ReadOnce)->Apply(sizes)->Iterations(1);
BENCHMARK(BM_ReadStretches)->Apply(sizes)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(folder());
    return 0;
}
