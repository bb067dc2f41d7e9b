// One refresh pass over a document-sized schedule: 10,000 refreshables spread over the levels the
// views use, each asking the dirt engine about two of 40 clean rules over 38 dirt ids.
#include "ObCleanAnd.h"
#include "ObCleanIfDirty.h"
#include "ObCleanIfNotDirty.h"
#include "ObCleanOr.h"
#include "ObDirty.h"
#include "aRefresher.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int Refreshables = 10000;
constexpr int DirtIds = 38;
constexpr int Rules = 40;

struct Step : aRefreshable
{
    ObDirty* dirt = nullptr;
    unsigned int first = 0;
    unsigned int second = 0;
    long work = 0;
    void refresh(aRefreshContext*) override
    {
        if (dirt->needsCleaningTest(first))
            ++work;
        if (dirt->needsCleaningTest(second))
            ++work;
    }
};

struct Schedule
{
    explicit Schedule(bool clearAtEnd) : refresher(false), dirt(nullptr, &refresher), steps(new Step[Refreshables])
    {
        std::vector<unsigned int> ids;
        for (int i = 0; i < DirtIds; ++i)
            ids.push_back(dirt.newDirtId(("Dirt" + std::to_string(i)).c_str()));
        std::vector<unsigned int> rules;
        for (int r = 0; r < Rules - 1; ++r) {
            std::string const name = "step_" + std::to_string(r);
            dirt.initCleaning(name.c_str(), new ObCleanOr(new ObCleanIfDirty(ids[r % DirtIds]),
                                                          new ObCleanIfDirty(ids[(r + 7) % DirtIds]),
                                                          new ObCleanIfDirty(ids[(r + 19) % DirtIds]), nullptr));
            rules.push_back(dirt.initCleanable(name.c_str()));
        }
        dirt.initCleaning("step_nested", new ObCleanOr(new ObCleanAnd(new ObCleanIfDirty(ids[3]),
                                                                      new ObCleanIfNotDirty(ids[4]),
                                                                      new ObCleanIfNotDirty(ids[5]), nullptr),
                                                       nullptr));
        rules.push_back(dirt.initCleanable("step_nested"));
        int const levels[] = {150, 200, 450, 499, 500};
        for (int i = 0; i < Refreshables; ++i) {
            Step& s = steps[i];
            s.dirt = &dirt;
            s.first = rules[i % Rules];
            s.second = rules[(i * 7 + 3) % Rules];
            refresher.schedule(s, levels[i % 5], static_cast<char const*>(nullptr));
        }
        if (clearAtEnd)
            refresher.schedule(&cleaner, 1000, fastdelegate::MakeDelegate(&cleaner, &Cleaner::clean),
                               static_cast<char const*>(nullptr));
        cleaner.dirt = &dirt;
    }

    struct Cleaner : aRefreshable
    {
        ObDirty* dirt = nullptr;
        void clean(aRefreshContext*) { dirt->clearAllDirt(); }
    };

    aRefresher refresher;
    ObDirty dirt;
    std::unique_ptr<Step[]> steps;
    Cleaner cleaner;
};

// The set-up traces every id it hands out; those lines would bury the results.
struct Quiet
{
    Quiet()
    {
        std::fflush(stdout);
        saved = dup(1);
        int const null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        close(null);
    }
    ~Quiet()
    {
        std::fflush(stdout);
        dup2(saved, 1);
        close(saved);
    }
    int saved;
};

void perRefreshable(benchmark::State& state)
{
    state.counters["per_refreshable"] =
        benchmark::Counter(Refreshables, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_PassNothingDirty(benchmark::State& state)
{
    std::unique_ptr<Schedule> made;
    {
        Quiet q;
        made = std::make_unique<Schedule>(true);
    }
    Schedule& s = *made;
    for (auto _ : state)
        s.refresher.doRefreshIfNeeded(nullptr);
    perRefreshable(state);
    benchmark::DoNotOptimize(s.steps[0].work);
}
BENCHMARK(BM_PassNothingDirty)->Unit(benchmark::kMicrosecond);

void BM_PassWithRaisedDirt(benchmark::State& state)
{
    std::unique_ptr<Schedule> made;
    {
        Quiet q;
        made = std::make_unique<Schedule>(false); // the raised ids stay for every pass
        made->dirt.setDirty(4, false);
        made->dirt.setDirty(20, false);
    }
    Schedule& s = *made;
    for (auto _ : state)
        s.refresher.doRefreshIfNeeded(nullptr);
    perRefreshable(state);
    benchmark::DoNotOptimize(s.steps[0].work);
}
BENCHMARK(BM_PassWithRaisedDirt)->Unit(benchmark::kMicrosecond);

} // namespace
