// libFuzzer target: any bytes as a document file, read by the reader once whole and then in
// stretches of several sizes (forced small, with one to three threads), once more with a handler
// that refuses the document halfway. The outcome, the message and every node the handlers get
// must be those of the reading whole. Seeds: the documents under tests/*/data and their damaged/
// folders.

#include "ReadLog.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::string const& scratchFile()
{
    static std::string const path =
        "/tmp/vantrel-fuzz-stretches-" + std::to_string(getpid()) + ".xml";
    return path;
}

void removeScratchFile()
{
    std::remove(scratchFile().c_str());
}

void quiet(void*, char const*, ...)
{
}

std::string shown(std::string const& line)
{
    return line.size() > 300 ? line.substr(0, 300) + "..." : line;
}

// Stops the run at the first difference, saying where the two readings part.
void expectSame(readlog::Outcome const& got, readlog::Outcome const& want, char const* how,
                std::size_t bytes, int threads)
{
    if (got.message == want.message && got.lines == want.lines)
        return;
    std::fprintf(stderr, "stretches_fuzz: %s, stretches of %zu bytes, %d threads\n", how, bytes,
                 threads);
    std::fprintf(stderr, "  message: [%s]\n   whole: [%s]\n", got.message.c_str(),
                 want.message.c_str());
    for (std::size_t i = 0; i < std::max(got.lines.size(), want.lines.size()); ++i) {
        std::string const g = i < got.lines.size() ? got.lines[i] : "(none)";
        std::string const w = i < want.lines.size() ? want.lines[i] : "(none)";
        if (g != w) {
            std::fprintf(stderr, "  node %zu of %zu (%zu whole): [%s]\n   whole: [%s]\n", i,
                         got.lines.size(), want.lines.size(), shown(g).c_str(), shown(w).c_str());
            break;
        }
    }
    __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    static bool const once = [] {
        std::atexit(removeScratchFile);
        return true;
    }();
    (void)once;
    Xml::ourTrace = false;
    // libxml2's own lines would only slow the run.
    xmlSetGenericErrorFunc(nullptr, quiet);
    FILE* f = std::fopen(scratchFile().c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    std::string const& path = scratchFile();
    readlog::Outcome whole;
    {
        readlog::Stretching never(std::size_t(1) << 40, 1 << 20);
        whole = readlog::read(path);
    }
    struct Way
    {
        std::size_t bytes;
        int threads;
    };
    for (Way const way : {Way {17, 1}, Way {45, 3}, Way {97, 2}, Way {300, 3}, Way {1200, 3}}) {
        readlog::Stretching small(0, way.bytes, way.threads);
        expectSame(readlog::read(path), whole, "read", way.bytes, way.threads);
    }

    // A handler's refusal halfway through the starts: where it falls, nothing more is read.
    int starts = 0;
    for (std::string const& line : whole.lines)
        starts += line[0] == '<' && line[1] != '/';
    if (starts > 1) {
        int const failAt = starts / 2;
        readlog::Outcome refused;
        {
            readlog::Stretching never(std::size_t(1) << 40, 1 << 20);
            refused = readlog::read(path, failAt);
        }
        readlog::Stretching small(0, 61, 3);
        expectSame(readlog::read(path, failAt), refused, "refused halfway", 61, 3);
    }
    removeScratchFile();
    return 0;
}
