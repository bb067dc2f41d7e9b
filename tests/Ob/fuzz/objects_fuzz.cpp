// libFuzzer target: any bytes as a document file handed to the object store, whose types hold
// attributes, handle elements and bins of settings. Seeds: the documents in tests/Ob/data and
// tests/Ob/data/damaged.
//
// With VANTREL_FUZZ_STRETCHES=N in the environment every input is read in stretches of about N
// bytes by three threads (the reading of large files), whatever its size.
//
// What must hold whatever the bytes: the pools stay sound, every live object was initialised,
// a refused document leaves every pool empty and runs no post-load hook, an accepted one leaves
// the handlers where they began, a handle read from it resolves to a live object of the right
// pool or to nothing, and the store stays usable.
//
// The pools are told the memory the fuzzer lets the process hold (-rss_limit_mb, 2048 unless
// given) as the program is told the machine's: nothing but the reader's own bound keeps a
// document within the fuzzer's limit, so a reader that spends more than that bound allows is a
// finding (out-of-memory), as it would take the machine's memory in the program.

#include "ObTestTypes.h"
#include "XmlStretches.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

std::string const& scratchFile()
{
    static std::string const path = "/tmp/vantrel-fuzz-" + std::to_string(getpid()) + ".xml";
    return path;
}

void removeScratchFile()
{
    std::remove(scratchFile().c_str());
}

void check(bool holds)
{
    if (!holds)
        __builtin_trap();
}

// libFuzzer's limit of resident memory in bytes, from the command line or its default.
uint64_t rssLimit(int argc, char** argv)
{
    uint64_t mb = 2048;
    char const flag[] = "-rss_limit_mb=";
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], flag, sizeof flag - 1) == 0)
            mb = std::strtoull(argv[i] + sizeof flag - 1, nullptr, 10);
    return mb << 20;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    std::atexit(removeScratchFile);
    Obt::ourMemoryLimit = rssLimit(*argc, *argv);
    if (char const* bytes = std::getenv("VANTREL_FUZZ_STRETCHES"))
        XmlStretches::settings() = {0, std::strtoul(bytes, nullptr, 10), 3};
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    Ob::ourTrace = false;
    Xml::ourTrace = false;
    FILE* f = std::fopen(scratchFile().c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    Store s;
    s.recs.make(); // a live object that a refused load must recycle
    HookCount::zero();
    bool balanced = false;
    bool const loaded = loadObjects(s.engine, scratchFile(), &balanced);
    removeScratchFile();

    check(rosterSound(s.recs));
    check(rosterSound(s.plains));
    check(rosterSound(s.links));
    if (!loaded) {
        check(s.live() == 0);
        check(HookCount::postLoads == 0);
    } else {
        check(balanced);
    }
    for (uint32_t r = 0; r < s.recs.getCurrentTypeCount(); ++r)
        check(s.recs.myData[s.recs.myAddrsByRosterIndex[r]]->myInitialised);
    for (uint32_t r = 0; r < s.links.getCurrentTypeCount(); ++r) {
        Linker const* l = s.links.myData[s.links.myAddrsByRosterIndex[r]];
        check(!l->myLinked || l->myLinked == s.recs.ptrFromFile(l->myLink));
    }
    Obh after = s.recs.make();
    check(after.obj() != nullptr);
    return 0;
}
