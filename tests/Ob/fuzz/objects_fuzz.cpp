// libFuzzer target: any bytes as a document file handed to the object store. Seeds: the
// documents in tests/Ob/data and tests/Ob/data/damaged.

#include "ObTestTypes.h"

#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size)
{
    static std::string path = "/tmp/vantrel-fuzz-" + std::to_string(getpid()) + ".xml";
    Ob::ourTrace = false;
    Xml::ourTrace = false;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    Store s;
    Obh before = s.recs.make();
    loadObjects(s.engine, path);
    if (!rosterSound(s.recs) || !rosterSound(s.plains))
        __builtin_trap();
    for (uint32_t r = 0; r < s.recs.getCurrentTypeCount(); ++r)
        if (!s.recs.myData[s.recs.myAddrsByRosterIndex[r]]->myInitialised)
            __builtin_trap();
    Obh after = s.recs.make();
    if (!after.obj())
        __builtin_trap();
    return 0;
}
