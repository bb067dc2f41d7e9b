#include "ObTestTypes.h"
#include "ScopedTraces.h"
#include "ScratchDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <sys/stat.h>

using testing::HasSubstr;

namespace {

std::string data(char const* name)
{
    return std::string(VANTREL_TEST_DATA_DIR) + "/" + name;
}

// Recs at 0, 2, 3 (1 freed), Plains at 5, 0, 3 live in the roster, of six slots.
void fill(Store& s)
{
    Obh r[4];
    for (auto& h : r)
        h = s.recs.make();
    Rec* a = s.recs.ptr(r[0]);
    a->myName = "first <one> & \"quoted\"";
    a->myN = -7;
    a->myX = 0.5f;
    a->myOn = true;
    s.recs.ptr(r[2])->myN = 42;
    s.recs.ptr(r[3])->myX = 2.25f;
    s.recs.ptr(r[3])->myName = "Zo\xc3\xab \xe6\x97\xa5 \xf0\x9f\x98\x80";
    r[1].dealloc();
    Obh p[6];
    for (auto& h : p)
        h = s.plains.make();
    p[1].dealloc();
    p[2].dealloc();
    p[4].dealloc();
}

} // namespace

// The golden file also holds a type without live objects: its bank is written empty.
TEST(ObStore, SavesTheGoldenFileAndLoadsItBack)
{
    ScratchDir dir;
    std::string f = dir.file("doc_data.xml");
    {
        Store s;
        fill(s);
        ASSERT_TRUE(saveObjects(s.engine, f));
    }
    EXPECT_EQ(readFile(f), readFile(data("objects_golden.xml")));

    HookCount::zero();
    Store s;
    s.recs.make(); // whatever was there before is thrown away by the load
    ASSERT_TRUE(loadObjects(s.engine, f));
    EXPECT_EQ(s.recs.mySize, 4u);
    EXPECT_EQ(s.recs.getCurrentTypeCount(), 3u);
    for (uint32_t a : {0u, 2u, 3u})
        EXPECT_TRUE(s.recs.isAddrValidTest(a)) << a;
    EXPECT_FALSE(s.recs.isAddrValidTest(1));
    Rec* a = static_cast<Rec*>(s.recs.objFromAddr(0));
    ASSERT_NE(a, nullptr);
    EXPECT_STREQ(a->myName.c(), "first <one> & \"quoted\"");
    EXPECT_EQ(a->myN, -7);
    EXPECT_EQ(a->myX, 0.5f);
    EXPECT_TRUE(a->myOn);
    EXPECT_EQ(static_cast<Rec*>(s.recs.objFromAddr(2))->myN, 42);
    EXPECT_STREQ(static_cast<Rec*>(s.recs.objFromAddr(3))->myName.c(),
                 "Zo\xc3\xab \xe6\x97\xa5 \xf0\x9f\x98\x80")
        << "text beyond ISO-8859-1 comes back through character references";
    EXPECT_EQ(HookCount::postLoads, 3);
    EXPECT_EQ(s.links.getCurrentTypeCount(), 0u);
    EXPECT_TRUE(rosterSound(s.links));
    EXPECT_TRUE(rosterSound(s.recs));
    EXPECT_TRUE(rosterSound(s.plains));

    // Live slots 0, 3, 5 of 6 read in that order leave the free ones as 1, 4, 2.
    EXPECT_EQ(s.plains.getCurrentTypeCount(), 3u);
    EXPECT_EQ(s.plains.make().getAddr(), 1u);
    EXPECT_EQ(s.plains.make().getAddr(), 4u);
    EXPECT_EQ(s.plains.make().getAddr(), 2u);
    EXPECT_EQ(s.plains.make().getAddr(), 6u);
    EXPECT_EQ(s.recs.make().getAddr(), 1u);

    // A type written empty, types in another order and an unknown type in between load alike.
    Store t;
    ASSERT_TRUE(loadObjects(t.engine, data("reordered.xml")));
    EXPECT_EQ(t.recs.getCurrentTypeCount(), 1u);
    EXPECT_TRUE(t.recs.isAddrValidTest(1));
    EXPECT_EQ(t.plains.getCurrentTypeCount(), 2u);
    EXPECT_TRUE(rosterSound(t.plains));
}

TEST(ObStore, HandleElementsNameTheSameObjectAfterLoading)
{
    ScratchDir dir;
    std::string f = dir.file("h.xml");
    Store s;
    Obh a = s.recs.make();
    Obh b = s.recs.make();
    {
        XmlWriter w("ISO-8859-1");
        ASSERT_TRUE(w.startDocument(f.c_str(), "r"));
        EXPECT_TRUE(Obh::xmlWriteHdl(w, "timeline", b, "x"));
        EXPECT_TRUE(w.startElement("bare"));
        EXPECT_TRUE(Obh::xmlWriteHdl(w, nullptr, a, nullptr));
        EXPECT_TRUE(w.endElement());
        EXPECT_TRUE(w.startElement("alien"));
        EXPECT_TRUE(w.addAttribute("tid", "Nope"));
        EXPECT_TRUE(w.addAttribute("oid", 0));
        EXPECT_TRUE(w.addAttribute("flags", 1));
        EXPECT_TRUE(w.endElement());
        EXPECT_TRUE(w.startElement("junk"));
        EXPECT_TRUE(w.addAttribute("tid", "Rec"));
        EXPECT_TRUE(w.addAttribute("oid", "-1"));
        EXPECT_TRUE(w.addAttribute("flags", 1));
        EXPECT_TRUE(w.endElement());
        ASSERT_TRUE(w.endDocument());
    }
    EXPECT_THAT(readFile(f),
                HasSubstr("<timeline _t=\"h\" _id=\"x\" tid=\"Rec\" oid=\"1\" flags=\"1\"/>"));
    EXPECT_THAT(readFile(f), HasSubstr("<bare _t=\"h\" tid=\"Rec\" oid=\"0\" flags=\"1\"/>"));

    struct Probe : XmlReadHandler
    {
        std::map<std::string, std::pair<bool, Obh>> got;
        rtl::str id;
        bool xmlReadStartElement(XmlReader& r, char const* name, int) override
        {
            Obh h;
            bool ok = Obh::xmlReadHdl(r, &h, std::strcmp(name, "timeline") == 0 ? &id : nullptr);
            got[name] = {ok, h};
            return true;
        }
    } probe;
    XmlReader reader;
    reader.pushHandler(&probe, nullptr);
    ASSERT_TRUE(reader.parseFile(f.c_str()));
    EXPECT_TRUE(probe.got["timeline"].first);
    EXPECT_EQ(probe.got["timeline"].second, b);
    EXPECT_EQ(probe.got["timeline"].second.obj(), b.obj());
    EXPECT_STREQ(probe.id.c(), "x");
    EXPECT_EQ(probe.got["bare"].second, a);
    EXPECT_FALSE(probe.got["alien"].first) << "a type the store does not have";
    EXPECT_FALSE(probe.got["junk"].first) << "a slot that is not a number";
    EXPECT_FALSE(probe.got["r"].first);
}

// Flags other than 0 and 1 are never written: a handle that carries them is no handle of ours,
// and the reader stops with the reason whatever its caller does with the answer.
TEST(ObStore, HandleFlagsNeverWrittenRefuseTheDocumentWithTheReason)
{
    ScratchDir dir;
    Store s;
    s.recs.make();
    for (char const* flags : {"2", "3", "4294967295"}) {
        SCOPED_TRACE(flags);
        std::string const f = dir.file("odd.xml");
        {
            XmlWriter w("ISO-8859-1");
            ASSERT_TRUE(w.startDocument(f.c_str(), "r"));
            EXPECT_TRUE(w.startElement("odd"));
            EXPECT_TRUE(w.addAttribute("tid", "Rec"));
            EXPECT_TRUE(w.addAttribute("oid", 0));
            EXPECT_TRUE(w.addAttribute("flags", flags));
            EXPECT_TRUE(w.endElement());
            ASSERT_TRUE(w.endDocument());
        }
        struct Probe : XmlReadHandler
        {
            bool read = true;
            bool xmlReadStartElement(XmlReader& r, char const* name, int) override
            {
                Obh h;
                if (std::strcmp(name, "odd") == 0)
                    read = Obh::xmlReadHdl(r, &h, nullptr);
                return true;
            }
        } probe;
        XmlReader reader;
        reader.pushHandler(&probe, nullptr);
        EXPECT_FALSE(reader.parseFile(f.c_str()));
        EXPECT_FALSE(probe.read);
        EXPECT_THAT(reader.failMessage(),
                    HasSubstr(std::string("the handle to \"Rec\" 0 has \"flags\" = \"") + flags));
    }
}

TEST(ObStore, DamagedDocumentsAreRefusedOrSkippedSafely)
{
    // Each file of the corpus is named for its expected outcome: refuse-* fail to load, skip-*
    // load with the damaged part left out. A refused document leaves every pool empty and runs
    // no post-load hook, wherever its damage lies (also after a complete objects part). Either
    // way the pools stay sound, every live object was initialised and every handle read from
    // the file resolves to a live object of its pool or to nothing.
    std::vector<std::string> const names = listing(data("damaged"));
    ASSERT_GT(names.size(), 10u);
    for (auto const& n : names) {
        Store s;
        s.recs.make(); // a live object that the load must recycle, not leak
        HookCount::zero();
        bool balanced = false;
        bool ok = loadObjects(s.engine, data("damaged") + "/" + n, &balanced);
        if (n.rfind("refuse-", 0) == 0) {
            EXPECT_FALSE(ok) << n;
            EXPECT_EQ(s.live(), 0u) << n;
            EXPECT_EQ(HookCount::postLoads, 0) << n;
        } else {
            EXPECT_TRUE(ok) << n;
            EXPECT_TRUE(balanced) << n;
        }
        EXPECT_TRUE(rosterSound(s.recs)) << n;
        EXPECT_TRUE(rosterSound(s.plains)) << n;
        EXPECT_TRUE(rosterSound(s.links)) << n;
        for (uint32_t r = 0; r < s.recs.getCurrentTypeCount(); ++r)
            EXPECT_TRUE(s.recs.myData[s.recs.myAddrsByRosterIndex[r]]->myInitialised) << n;
        // A damaged handle (skip-link-*) resolves to nothing; the others to what they name.
        bool const badLinks = n.rfind("skip-link-", 0) == 0;
        for (uint32_t r = 0; r < s.links.getCurrentTypeCount(); ++r) {
            Linker const* l = s.links.myData[s.links.myAddrsByRosterIndex[r]];
            EXPECT_EQ(l->myLinked, badLinks ? nullptr : s.recs.ptrFromFile(l->myLink)) << n;
        }
        // The store stays usable after any of them.
        Obh fresh = s.recs.make();
        EXPECT_NE(fresh.obj(), nullptr) << n;
    }
}

TEST(ObStore, HandlesAndBinsComeBackAndResolveThroughTheCheckedLookup)
{
    ScratchDir dir;
    std::string f = dir.file("doc_data.xml");
    {
        Store s;
        s.recs.make();
        Obh target = s.recs.make();
        s.recs.ptr(target)->myN = 11;
        Obh linker = s.links.make();
        Linker* l = s.links.ptr(linker);
        l->myLink = target;
        l->mySettings = new ObBin();
        l->mySettings->setAttr(rtl::str("colour"), "red");
        l->mySettings->newSub(rtl::str("inner"))->setAttr(rtl::str("depth"), 2);
        s.links.make(); // links nothing, keeps no settings
        ASSERT_TRUE(saveObjects(s.engine, f));
    }
    Store s;
    ASSERT_TRUE(loadObjects(s.engine, f));
    ASSERT_EQ(s.links.getCurrentTypeCount(), 2u);
    Linker* l = static_cast<Linker*>(s.links.objFromAddr(0));
    ASSERT_NE(l->myLinked, nullptr);
    EXPECT_EQ(l->myLinked->myN, 11);
    EXPECT_EQ(l->myLink.getAddr(), 1u);
    ASSERT_NE(l->mySettings, nullptr);
    EXPECT_STREQ(l->mySettings->getCString(rtl::str("colour")), "red");
    ASSERT_NE(l->mySettings->getSub(rtl::str("inner"), 0), nullptr);
    EXPECT_EQ(l->mySettings->getSub(rtl::str("inner"), 0)->getInt(rtl::str("depth")), 2);
    Linker* none = static_cast<Linker*>(s.links.objFromAddr(1));
    EXPECT_EQ(none->myLinked, nullptr);
    EXPECT_EQ(none->mySettings, nullptr);
}

// A pool grows with the slots a document lists: a large claimed total costs nothing, and a
// pool above what a load used to refuse (2^20 slots) comes back whole.
TEST(ObStore, PoolsGrowWithTheSlotsTheDocumentLists)
{
    ScratchDir dir;
    std::string const f = dir.file("doc_data.xml");
    writeFile(
        f, "<timeline_document_v1><objects><type name=\"Plain\">"
           "<bank count=\"1\" bytes=\"8\" total=\"4294967295\" inc=\"1\"><addr _id=\"3\"/></bank>"
           "</type></objects></timeline_document_v1>");
    {
        Store s;
        ASSERT_TRUE(loadObjects(s.engine, f));
        EXPECT_EQ(s.plains.mySize, 4u);
        EXPECT_TRUE(s.plains.isAddrValidTest(3));
        EXPECT_TRUE(rosterSound(s.plains));
    }
    uint32_t const big = (1u << 20) + 2;
    ScopedTraces quiet(false);
    {
        Store s;
        s.plains.expandBy(big - s.plains.mySize);
        std::vector<Obh> hs(big);
        for (auto& h : hs)
            h = s.plains.make();
        for (size_t i = 1; i + 1 < hs.size(); ++i)
            hs[i].dealloc();
        ASSERT_TRUE(saveObjects(s.engine, f));
    }
    Store s;
    ASSERT_TRUE(loadObjects(s.engine, f));
    EXPECT_EQ(s.plains.getCurrentTypeCount(), 2u);
    EXPECT_EQ(s.plains.mySize, big);
    EXPECT_TRUE(s.plains.isAddrValidTest(0));
    EXPECT_TRUE(s.plains.isAddrValidTest(big - 1));
    EXPECT_TRUE(rosterSound(s.plains));
}

// A pool left sparse by many deletions, its last slots free among them, comes back with the
// same slots and is saved again byte for byte; new objects take the free slots in roster order.
TEST(ObStore, ASparsePoolIsSavedAgainByteForByte)
{
    ScratchDir dir;
    std::string const first = dir.file("first.xml");
    std::string const again = dir.file("again.xml");
    Store before;
    std::vector<Obh> recs(40);
    for (size_t i = 0; i < recs.size(); ++i) {
        recs[i] = before.recs.make();
        before.recs.ptr(recs[i])->myN = static_cast<int>(i);
    }
    for (size_t i = 0; i < recs.size(); ++i)
        if (i != 3 && i != 17 && i != 18 && i != 25)
            recs[i].dealloc();
    for (int i = 0; i < 9; ++i)
        before.plains.make();
    ASSERT_TRUE(saveObjects(before.engine, first));
    EXPECT_THAT(readFile(first),
                HasSubstr("<bank count=\"4\" bytes=\"8\" total=\"41\" inc=\"1\">"));
    EXPECT_THAT(readFile(first),
                HasSubstr("<bank count=\"0\" bytes=\"8\" total=\"1\" inc=\"1\"/>"));

    Store s;
    ASSERT_TRUE(loadObjects(s.engine, first));
    ASSERT_TRUE(saveObjects(s.engine, again));
    EXPECT_EQ(readFile(again), readFile(first));
    // Live 3, 17, 18, 25 read in that order leave the free ones as 4 to 16, 1, 2, 19 to 24, 0.
    std::vector<uint32_t> made;
    for (int i = 0; i < 17; ++i)
        made.push_back(s.recs.make().getAddr());
    EXPECT_EQ(made,
              (std::vector<uint32_t> {4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 1, 2, 19, 20}));
    EXPECT_TRUE(rosterSound(s.recs));
    // Filled beyond its slots, it grows as the pool it was saved from.
    while (s.recs.getCurrentTypeCount() <= 41)
        s.recs.make();
    while (before.recs.getCurrentTypeCount() <= 41)
        before.recs.make();
    EXPECT_EQ(s.recs.mySize, before.recs.mySize);
}

// A slot named far beyond the others, in a pool that claims four billion: the slots between
// cost the pool's tables, not an object each; a slot beyond what memory could hold objects for
// is refused, saying why.
TEST(ObStore, ASlotFarBeyondTheOthersMakesNoObjectsBetween)
{
    ScratchDir dir;
    std::string const f = dir.file("doc_data.xml");
    auto write = [&](std::string const& total, std::string const& far) {
        std::string const bank = "<bank count=\"3\" bytes=\"8\" total=\"" + total + "\" inc=\"1\">";
        std::string const farAddr = "<addr _id=\"" + far +
                                    "\"><object _t=\"Rec\">"
                                    "<attr _id=\"n\" _t=\"int\" value=\"5\"/></object></addr>";
        writeFile(f, "<timeline_document_v1><objects><type name=\"Rec\">" + bank +
                         "<addr _id=\"0\"><object _t=\"Rec\"/></addr><addr _id=\"1\"/>" + farAddr +
                         "</bank></type></objects></timeline_document_v1>");
    };
    write("4000000000", "2000000");
    {
        Store s;
        HookCount::zero();
        ASSERT_TRUE(loadObjects(s.engine, f));
        EXPECT_LT(HookCount::made, 10) << "objects for what the document holds, not per slot";
        EXPECT_EQ(s.recs.mySize, 2000001u);
        ASSERT_NE(s.recs.objFromAddr(2000000), nullptr);
        EXPECT_EQ(static_cast<Rec*>(s.recs.objFromAddr(2000000))->myN, 5);
        EXPECT_TRUE(rosterSound(s.recs));
        EXPECT_EQ(s.recs.make().getAddr(), 3u);
    }
    struct Case
    {
        char const* total;
        char const* why;
    } const refused[] = {
        {"4294967295", "'addr' 4000000000 needs a pool of more slots than memory holds"},
        {"4000000000", "'addr' 4000000000 is outside the pool of 4000000000 slots"},
    };
    for (auto const& c : refused) {
        write(c.total, "4000000000");
        Store s;
        HookCount::zero();
        std::string why;
        EXPECT_FALSE(loadObjects(s.engine, f, nullptr, &why)) << c.total;
        EXPECT_THAT(why, HasSubstr(c.why));
        EXPECT_EQ(s.live(), 0u) << c.total;
    }
}

// A document's growth step is a hint: the first new object in a pool that asks for 16 million
// slots a step makes a bounded number of them, and the step is written back as it was read.
TEST(ObStore, ALargeGrowthStepReadMakesABoundedPool)
{
    ScratchDir dir;
    std::string const f = dir.file("doc_data.xml");
    writeFile(f, "<timeline_document_v1><objects><type name=\"Plain\">"
                 "<bank count=\"0\" bytes=\"8\" total=\"0\" inc=\"16777216\"/>"
                 "</type></objects></timeline_document_v1>");
    Store s;
    ASSERT_TRUE(loadObjects(s.engine, f));
    EXPECT_NE(s.plains.make().obj(), nullptr);
    EXPECT_LE(s.plains.mySize, 1u << 16);
    EXPECT_TRUE(rosterSound(s.plains));
    ASSERT_TRUE(saveObjects(s.engine, f));
    EXPECT_THAT(readFile(f), HasSubstr("inc=\"16777216\""));
}

// Every object factory makes a fresh object of a type the current store knows, and nothing for
// another name or for a handle that is already bound.
TEST(ObStore, FactoriesMakeObjectsOfTheNamedType)
{
    Store s;
    Rec rec;
    ObBin bin;
    struct Factory
    {
        char const* who;
        std::function<bool(char const*, ObObj*&, Obh&)> make;
    } const factories[] = {
        {"store", [&](char const* t, ObObj*& o,
                      Obh& h) { return s.engine.xmlObjFactory(t, o, h, nullptr); }},
        {"type", [&](char const* t, ObObj*& o,
                     Obh& h) { return s.plains.xmlObjFactory(t, o, h, nullptr); }},
        {"object",
         [&](char const* t, ObObj*& o, Obh& h) { return rec.xmlObjFactory(t, o, h, nullptr); }},
    };
    for (auto const& f : factories) {
        Obh h;
        ObObj* o = &rec;
        EXPECT_TRUE(f.make("Linker", o, h)) << f.who;
        EXPECT_EQ(o, nullptr) << f.who;
        EXPECT_EQ(h.getType(), &s.links) << f.who;
        EXPECT_NE(h.obj(), nullptr) << f.who;
        Obh other;
        EXPECT_FALSE(f.make("Nope", o, other)) << f.who;
        EXPECT_FALSE(other.isValid()) << f.who;
        uint32_t const live = s.links.getCurrentTypeCount();
        EXPECT_FALSE(f.make("Linker", o, h)) << f.who << ": a bound handle is not made again";
        EXPECT_EQ(s.links.getCurrentTypeCount(), live) << f.who;
    }
    // A bin makes child bins only, owned by the caller.
    ObObj* child = nullptr;
    Obh none;
    ASSERT_TRUE(bin.xmlObjFactory("ObBin", child, none, "x"));
    EXPECT_NE(dynamic_cast<ObBin*>(child), nullptr);
    delete child;
    EXPECT_FALSE(bin.xmlObjFactory("Linker", child, none, "x"));
    EXPECT_FALSE(none.isValid());
}

TEST(ObStore, AStringWithoutTextIsSavedAsTheEmptyValue)
{
    ScratchDir dir;
    std::string const f = dir.file("doc_data.xml");
    Store s;
    Obh h = s.recs.make();
    s.recs.ptr(h)->myName = rtl::str();
    ASSERT_TRUE(saveObjects(s.engine, f));
    EXPECT_THAT(readFile(f), HasSubstr("<attr _id=\"name\" _t=\"rtl::str\" value=\"\"/>"));
    ObBin bin;
    bin.setAttr(rtl::str("note"), rtl::str(), false);
    ObAttr attr;
    ASSERT_TRUE(bin.getAttr(rtl::str("note"), attr));
    XmlWriter w("ISO-8859-1");
    ASSERT_TRUE(w.startDocument(f.c_str(), "setting"));
    EXPECT_TRUE(bin.xmlWrite(w));
    ASSERT_TRUE(w.endDocument());
    EXPECT_THAT(readFile(f), HasSubstr("value=\"\""));
}

TEST(ObStore, FailedSaveKeepsTheEarlierFile)
{
    ScratchDir dir;
    std::string f = dir.file("doc_data.xml");
    Store s;
    fill(s);
    ASSERT_TRUE(saveObjects(s.engine, f));
    std::string before = readFile(f);

    s.recs.make();
    Rec::ourFailWrite = true;
    EXPECT_FALSE(saveObjects(s.engine, f)) << "an object that cannot write itself";
    Rec::ourFailWrite = false;
    EXPECT_EQ(readFile(f), before);

    EXPECT_FALSE(saveObjects(s.engine, dir.file("no/such/dir/doc_data.xml")));
    EXPECT_FALSE(saveObjects(s.engine, dir.path)) << "a path that is a directory";
    EXPECT_EQ(readFile(f), before);

    // Nothing but the earlier file is left beside it.
    EXPECT_EQ(listing(dir.path), std::vector<std::string> {"doc_data.xml"});
}

TEST(ObObjXml, AttributesReadByNameWithoutChecks)
{
    ScratchDir dir;
    std::string f = dir.file("o.xml");
    writeFile(f, "<object _t=\"Rec\">"
                 "<attr _id=\"on\" _t=\"bool\" value=\"t\"/>"
                 "<attr _id=\"n\" _t=\"int\"/>"
                 "<attr _id=\"nope\" _t=\"int\" value=\"3\"/>"
                 "<attr _t=\"int\" value=\"3\"/>"
                 "<attr _id=\"x\" _t=\"str\" value=\"1.5\"/>"
                 "<bank count=\"0\" bytes=\"8\" total=\"0\" inc=\"1\"/>"
                 "<attr _id=\"name\" _t=\"rtl::str\" value=\"after\"/>"
                 "</object>");
    Rec r;
    r.myN = 9;
    struct Pusher : XmlReadHandler
    {
        ObObj* o;
        bool xmlReadStartElement(XmlReader& rd, char const*, int) override
        {
            rd.pushHandler(o, nullptr);
            return true;
        }
    } pusher;
    pusher.o = &r;
    XmlReader reader;
    reader.pushHandler(&pusher, nullptr);
    EXPECT_TRUE(reader.parseFile(f.c_str()));
    EXPECT_TRUE(r.myOn);
    EXPECT_EQ(r.myN, 9) << "an attr without value changes nothing";
    EXPECT_EQ(r.myX, 1.5f);
    EXPECT_STREQ(r.myName.c(), "after") << "a misplaced element is skipped, reading goes on";
    EXPECT_EQ(reader.currentHandler(), &pusher) << "the object popped itself at its end";
    EXPECT_TRUE(r.hasAttr("n"));
    EXPECT_FALSE(r.hasAttr("nope"));
    EXPECT_FALSE(r.ObObj::setAttrByString(rtl::str("n"), rtl::str("1"), nullptr));
}
