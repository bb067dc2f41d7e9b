// Loading and saving an objects part of 100,000 objects against bare libxml2 walking and writing
// the same file. Prints the ratios of the bare speeds to ours at the end.

// The objects are the tests' record type, saved and loaded as the tests do it.
#include "../../tests/Ob/ObTestTypes.h"

#include <benchmark/benchmark.h>
#include <libxml/xmlreader.h>
#include <libxml/xmlwriter.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <unistd.h>

namespace {

constexpr int Objects = 100000;

struct Fixture
{
    std::string dir;
    std::string ours, bare;
    ObEngine engine;
    ObClassTypeOf<Rec> items {"Rec", 1, 1};

    Fixture()
    {
        Ob::ourTrace = false;
        Xml::ourTrace = false;
        char tmpl[] = "/tmp/vantrel-bench-XXXXXX";
        if (!mkdtemp(tmpl))
            std::abort();
        dir = tmpl;
        ours = dir + "/ours.xml";
        bare = dir + "/bare.xml";
        engine.registerType(&items);
        for (int i = 0; i < Objects; ++i) {
            Obh h = items.make();
            Rec* it = items.ptr(h);
            it->myName.set("event %i", i);
            it->myN = i;
            it->myX = static_cast<float>(i) * 0.25f;
            it->myOn = (i & 1) != 0;
        }
        if (!saveObjects(engine, ours))
            std::abort();
    }
    ~Fixture()
    {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_OurLoad(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state)
        if (!loadObjects(f.engine, f.ours) || f.items.getCurrentTypeCount() != Objects)
            state.SkipWithError("load failed");
}

void BM_BareRead(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        xmlTextReaderPtr r = xmlReaderForFile(f.ours.c_str(), nullptr, XML_PARSE_NONET);
        size_t bytes = 0;
        int ret;
        while ((ret = xmlTextReaderRead(r)) == 1) {
            if (xmlTextReaderNodeType(r) != XML_READER_TYPE_ELEMENT)
                continue;
            bytes += std::strlen(reinterpret_cast<char const*>(xmlTextReaderConstName(r)));
            while (xmlTextReaderMoveToNextAttribute(r) == 1)
                bytes += std::strlen(reinterpret_cast<char const*>(xmlTextReaderConstValue(r)));
            xmlTextReaderMoveToElement(r);
        }
        xmlFreeTextReader(r);
        benchmark::DoNotOptimize(bytes);
        if (ret != 0)
            state.SkipWithError("bare read failed");
    }
}

void BM_OurSave(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state)
        if (!saveObjects(f.engine, f.ours))
            state.SkipWithError("save failed");
}

void BM_BareWrite(benchmark::State& state)
{
    Fixture& f = fixture();
    auto x = [](char const* s) { return reinterpret_cast<xmlChar const*>(s); };
    for (auto _ : state) {
        xmlTextWriterPtr w = xmlNewTextWriterFilename(f.bare.c_str(), 0);
        xmlTextWriterSetIndent(w, 1);
        xmlTextWriterSetIndentString(w, x("   "));
        xmlTextWriterStartDocument(w, nullptr, "ISO-8859-1", nullptr);
        xmlTextWriterStartElement(w, x("timeline_document_v1"));
        xmlTextWriterStartElement(w, x("objects"));
        xmlTextWriterStartElement(w, x("type"));
        xmlTextWriterWriteAttribute(w, x("name"), x("Rec"));
        xmlTextWriterStartElement(w, x("bank"));
        xmlTextWriterWriteFormatAttribute(w, x("count"), "%u", f.items.getCurrentTypeCount());
        xmlTextWriterWriteFormatAttribute(w, x("bytes"), "%i", 8);
        xmlTextWriterWriteFormatAttribute(w, x("total"), "%u", f.items.mySize);
        xmlTextWriterWriteFormatAttribute(w, x("inc"), "%u", f.items.myExpandBy);
        char buf[64];
        for (uint32_t a = 0; a < f.items.mySize; ++a) {
            // The live slots, as the pool writes them; a slot never live has no object.
            if (!f.items.isAddrValidTest(a))
                continue;
            Rec* it = f.items.myData[a];
            xmlTextWriterStartElement(w, x("addr"));
            xmlTextWriterWriteFormatAttribute(w, x("_id"), "%u", a);
            xmlTextWriterStartElement(w, x("object"));
            xmlTextWriterWriteAttribute(w, x("_t"), x("Rec"));
            struct
            {
                char const* id;
                char const* type;
                char const* value;
            } attrs[] = {{"name", "rtl::str", it->myName.cs()},
                         {"n", "int", nullptr},
                         {"x", "float", nullptr},
                         {"on", "bool", it->myOn ? "True" : "False"}};
            for (auto& at : attrs) {
                xmlTextWriterStartElement(w, x("attr"));
                xmlTextWriterWriteAttribute(w, x("_id"), x(at.id));
                xmlTextWriterWriteAttribute(w, x("_t"), x(at.type));
                if (at.value)
                    xmlTextWriterWriteAttribute(w, x("value"), x(at.value));
                else if (at.id[0] == 'n')
                    xmlTextWriterWriteFormatAttribute(w, x("value"), "%i", it->myN);
                else
                    xmlTextWriterWriteAttribute(w, x("value"), x(Xml::formatReal(buf, sizeof buf, it->myX)));
                xmlTextWriterEndElement(w);
            }
            xmlTextWriterEndElement(w);
            xmlTextWriterEndElement(w);
        }
        if (xmlTextWriterEndDocument(w) < 0)
            state.SkipWithError("bare write failed");
        xmlFreeTextWriter(w);
    }
}

BENCHMARK(BM_OurLoad)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BareRead)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_OurSave)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BareWrite)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Keeps the real time per iteration of every run for the ratios.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> times;
    void ReportRuns(std::vector<Run> const& runs) override
    {
        for (auto const& r : runs)
            times[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    auto& t = reporter.times;
    auto ratio = [&](char const* bare, char const* ours) {
        auto b = t.find(bare), o = t.find(ours);
        return (b == t.end() || o == t.end() || o->second <= 0) ? 0.0 : b->second / o->second;
    };
    double load = ratio("BM_BareRead/min_time:2.000", "BM_OurLoad/min_time:2.000");
    double save = ratio("BM_BareWrite/min_time:2.000", "BM_OurSave/min_time:2.000");
    std::printf("load speed / bare reader speed: %.2f (at least 0.50 wanted)\n", load);
    std::printf("save speed / bare writer speed: %.2f (at least 0.50 wanted)\n", save);
    benchmark::Shutdown();
    return 0;
}
