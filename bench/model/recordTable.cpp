// The attributes of 100,000 events written to text and read back from text, once by walking the
// event record's field table and once by a hand-written loop over the same fields with the same
// conversions. Prints the table's cost over the hand-written one at the end (1.5 at most wanted).

#include "ObRecord.h"
#include "mEventData.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int Events = 100000;

std::vector<std::unique_ptr<mEventData>>& events()
{
    static std::vector<std::unique_ptr<mEventData>> all = [] {
        std::vector<std::unique_ptr<mEventData>> out;
        for (int i = 0; i < Events; ++i) {
            auto e = std::make_unique<mEventData>();
            e->setStartTime(1.6e9 + i * 37.5);
            e->setTimeLength(i % 3600);
            e->setRowIndex(i % 17);
            e->setBgColorR(i % 256);
            e->setIsImpulse(i % 5 == 0);
            e->setTitle(rtl::str("an event"));
            out.push_back(std::move(e));
        }
        return out;
    }();
    return all;
}

// The texts of every field of one event, in field order.
std::vector<rtl::str> textsOf(mEventData const& e)
{
    std::vector<rtl::str> out(mEventData::fields().size());
    std::size_t i = 0;
    for (auto const& f : mEventData::fields())
        ObRecord::toText(e, f, out[i++]);
    return out;
}

void BM_WriteThroughTable(benchmark::State& state)
{
    auto const fields = mEventData::fields();
    rtl::str text;
    for (auto _ : state) {
        std::size_t total = 0;
        for (auto const& e : events())
            for (auto const& f : fields) {
                ObRecord::toText(*e, f, text);
                total += text.size();
            }
        benchmark::DoNotOptimize(total);
    }
}

void BM_WriteByHand(benchmark::State& state)
{
    using namespace ObRecord;
    rtl::str text;
    for (auto _ : state) {
        std::size_t total = 0;
        auto put = [&](auto v) {
            using V = decltype(v);
            if constexpr (std::is_same_v<V, int>)
                intText(v, text);
            else if constexpr (std::is_same_v<V, bool>)
                text = boolText(v);
            else if constexpr (std::is_same_v<V, rtl::str>)
                text = v;
            else
                realText(v, text);
            total += text.size();
        };
        for (auto const& p : events()) {
            mEventData const& e = *p;
            put(e.myColorStyle), put(e.myStartTime), put(e.myTimeLength), put(e.mySceneW);
            put(e.mySceneH), put(e.myRowIndex), put(e.myRowSize), put(e.myIsActive);
            put(e.myIsImpulse), put(e.myBgColorR), put(e.myBgColorG), put(e.myBgColorB);
            put(e.myBgColorA), put(e.myLineColorR), put(e.myLineColorG), put(e.myLineColorB);
            put(e.myLineColorA), put(e.myTextColorR), put(e.myTextColorG), put(e.myTextColorB);
            put(e.myTextColorA), put(e.myTitle), put(e.myNotes), put(e.myAmount), put(e.myUnits);
            put(e.myKeywords);
        }
        benchmark::DoNotOptimize(total);
    }
}

// The texts of the first 1,000 events, read into all 100,000 in turn.
std::vector<std::vector<rtl::str>> const& sourceTexts()
{
    static std::vector<std::vector<rtl::str>> texts = [] {
        std::vector<std::vector<rtl::str>> out;
        for (int i = 0; i < 1000; ++i)
            out.push_back(textsOf(*events()[i]));
        return out;
    }();
    return texts;
}

void BM_ReadThroughTable(benchmark::State& state)
{
    auto const fields = mEventData::fields();
    auto const& texts = sourceTexts();
    for (auto _ : state) {
        std::size_t n = 0;
        for (auto& e : events()) {
            auto const& t = texts[n++ % texts.size()];
            std::size_t i = 0;
            for (auto const& f : fields)
                ObRecord::fromText(*e, f, t[i++]);
        }
        benchmark::ClobberMemory();
    }
}

void BM_ReadByHand(benchmark::State& state)
{
    using namespace ObRecord;
    auto const& texts = sourceTexts();
    for (auto _ : state) {
        std::size_t n = 0;
        for (auto& p : events()) {
            mEventData& e = *p;
            auto const& t = texts[n++ % texts.size()];
            std::size_t i = 0;
            auto get = [&](auto& v) {
                using V = std::remove_reference_t<decltype(v)>;
                rtl::str const& s = t[i++];
                double d = 0;
                if constexpr (std::is_same_v<V, int>)
                    intValue(s.c(), v);
                else if constexpr (std::is_same_v<V, bool>)
                    v = boolValue(s.c());
                else if constexpr (std::is_same_v<V, rtl::str>)
                    v = s;
                else if (realValue(s.c(), d))
                    v = static_cast<V>(d);
            };
            get(e.myColorStyle), get(e.myStartTime), get(e.myTimeLength), get(e.mySceneW);
            get(e.mySceneH), get(e.myRowIndex), get(e.myRowSize), get(e.myIsActive);
            get(e.myIsImpulse), get(e.myBgColorR), get(e.myBgColorG), get(e.myBgColorB);
            get(e.myBgColorA), get(e.myLineColorR), get(e.myLineColorG), get(e.myLineColorB);
            get(e.myLineColorA), get(e.myTextColorR), get(e.myTextColorG), get(e.myTextColorB);
            get(e.myTextColorA), get(e.myTitle), get(e.myNotes), get(e.myAmount), get(e.myUnits);
            get(e.myKeywords);
        }
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_WriteThroughTable)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_WriteByHand)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadThroughTable)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadByHand)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Keeps the real time per iteration of every run for the ratios.
class Keeper : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(std::vector<Run> const& runs) override
    {
        for (Run const& r : runs)
            times[r.benchmark_name()] = r.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    Keeper keeper;
    benchmark::RunSpecifiedBenchmarks(&keeper);
    auto ratio = [&](char const* table, char const* hand) {
        auto t = keeper.times.find(std::string(table) + "/min_time:2.000");
        auto h = keeper.times.find(std::string(hand) + "/min_time:2.000");
        return t == keeper.times.end() || h == keeper.times.end() || h->second == 0
                   ? 0.0
                   : t->second / h->second;
    };
    std::printf("write through the table / by hand: %.2f (1.50 at most wanted)\n",
                ratio("BM_WriteThroughTable", "BM_WriteByHand"));
    std::printf("read through the table / by hand: %.2f (1.50 at most wanted)\n",
                ratio("BM_ReadThroughTable", "BM_ReadByHand"));
    benchmark::Shutdown();
    return 0;
}
