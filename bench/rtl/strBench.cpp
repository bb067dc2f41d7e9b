#include "str.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

// Copying a handle and dropping it again, with a number of other sharers already on the text:
// the cost must not depend on that number.
static void StrCopyDrop(benchmark::State& state)
{
    rtl::str a("a shared text of some length");
    std::vector<rtl::str> others(state.range(0), a);
    for (auto _ : state) {
        rtl::str b(a);
        benchmark::DoNotOptimize(b);
    }
}
BENCHMARK(StrCopyDrop)->Arg(0)->Arg(1000);

static void SharedPtrCopyDrop(benchmark::State& state)
{
    auto a = std::make_shared<std::string>("a shared text of some length");
    std::vector<std::shared_ptr<std::string>> others(state.range(0), a);
    for (auto _ : state) {
        std::shared_ptr<std::string> b(a);
        benchmark::DoNotOptimize(b);
    }
}
BENCHMARK(SharedPtrCopyDrop)->Arg(0)->Arg(1000);

// Assigning one handle to another that holds a different text, and back.
static void StrAssign(benchmark::State& state)
{
    rtl::str a("first"), b("second"), c;
    for (auto _ : state) {
        c = a;
        benchmark::DoNotOptimize(c);
        c = b;
        benchmark::DoNotOptimize(c);
    }
}
BENCHMARK(StrAssign);

static void SharedPtrAssign(benchmark::State& state)
{
    auto a = std::make_shared<std::string>("first");
    auto b = std::make_shared<std::string>("second");
    std::shared_ptr<std::string> c;
    for (auto _ : state) {
        c = a;
        benchmark::DoNotOptimize(c);
        c = b;
        benchmark::DoNotOptimize(c);
    }
}
BENCHMARK(SharedPtrAssign);

// Formatting a number: into a fresh handle, through the printf-style set, and plain snprintf.
static void StrSetInt(benchmark::State& state)
{
    rtl::str s;
    int i = 0;
    for (auto _ : state) {
        s.set(++i);
        benchmark::DoNotOptimize(s.c());
    }
}
BENCHMARK(StrSetInt);

static void StrSetFormat(benchmark::State& state)
{
    rtl::str s;
    int i = 0;
    for (auto _ : state) {
        s.set("%i", ++i);
        benchmark::DoNotOptimize(s.c());
    }
}
BENCHMARK(StrSetFormat);

static void Snprintf(benchmark::State& state)
{
    char buf[32];
    int i = 0;
    for (auto _ : state) {
        std::snprintf(buf, sizeof buf, "%i", ++i);
        benchmark::DoNotOptimize(buf);
    }
}
BENCHMARK(Snprintf);
