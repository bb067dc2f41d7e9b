// Memory of a timeline with its scene, measured, not estimated: the process's peak resident
// memory (VmHWM) after making, placing and showing the events, less the peak after an empty
// document. Prints bytes per event (under 1 KB wanted). Events: the first argument, 100,000 by
// default.
#include "BenchTimeline.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace {

long peakKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    int const n = argc > 1 ? std::atoi(argv[1]) : 100000;
    bench::Timeline t;
    long const empty = peakKilobytes();
    t.make(n);
    t.place();
    t.view(9.5 * 86400);
    long const full = peakKilobytes();
    std::printf("events %d, scene items %d, peak %ld KB, empty document %ld KB: %.0f bytes per "
                "event (under 1024 wanted)\n",
                n, t.items(), full, empty, (full - empty) * 1024.0 / n);
    return 0;
}
