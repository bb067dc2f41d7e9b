#include "ObTestTypes.h"
#include "ScratchDir.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

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
    EXPECT_STREQ(static_cast<Rec*>(s.recs.objFromAddr(3))->myName.c(), "Zo\xc3\xab \xe6\x97\xa5 \xf0\x9f\x98\x80")
        << "text beyond ISO-8859-1 comes back through character references";
    EXPECT_EQ(HookCount::postLoads, 3);
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
        EXPECT_TRUE(w.addAttribute("tid", "Nope") && w.addAttribute("oid", 0) && w.addAttribute("flags", 1));
        EXPECT_TRUE(w.endElement());
        EXPECT_TRUE(w.startElement("junk"));
        EXPECT_TRUE(w.addAttribute("tid", "Rec") && w.addAttribute("oid", "-1") && w.addAttribute("flags", 1));
        EXPECT_TRUE(w.endElement());
        ASSERT_TRUE(w.endDocument());
    }
    EXPECT_NE(readFile(f).find("<timeline _t=\"h\" _id=\"x\" tid=\"Rec\" oid=\"1\" flags=\"1\"/>"), std::string::npos);
    EXPECT_NE(readFile(f).find("<bare _t=\"h\" tid=\"Rec\" oid=\"0\" flags=\"1\"/>"), std::string::npos);

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

TEST(ObStore, DamagedDocumentsAreRefusedOrSkippedSafely)
{
    // Each file of the corpus is named for its expected outcome: refuse-* fail to load, skip-*
    // load with the damaged part left out. Either way the pools stay sound and every live
    // object was initialised.
    DIR* d = opendir(data("damaged").c_str());
    ASSERT_NE(d, nullptr);
    std::vector<std::string> names;
    while (dirent* e = readdir(d))
        if (e->d_name[0] != '.')
            names.push_back(e->d_name);
    closedir(d);
    ASSERT_GT(names.size(), 10u);
    for (auto const& n : names) {
        Store s;
        Obh h = s.recs.make(); // a live object that the load must recycle, not leak
        HookCount::zero();
        bool ok = loadObjects(s.engine, data("damaged") + "/" + n);
        if (n.rfind("refuse-", 0) == 0) {
            EXPECT_FALSE(ok) << n;
            // Nothing of a part that was not read to its end stays live or gets its hook.
            EXPECT_EQ(s.recs.getCurrentTypeCount() + s.plains.getCurrentTypeCount(), 0u) << n;
            EXPECT_EQ(HookCount::postLoads, 0) << n;
        } else {
            EXPECT_TRUE(ok) << n;
        }
        EXPECT_TRUE(rosterSound(s.recs)) << n;
        EXPECT_TRUE(rosterSound(s.plains)) << n;
        for (uint32_t r = 0; r < s.recs.getCurrentTypeCount(); ++r)
            EXPECT_TRUE(s.recs.myData[s.recs.myAddrsByRosterIndex[r]]->myInitialised) << n;
        // The store stays usable after any of them.
        Obh fresh = s.recs.make();
        EXPECT_NE(fresh.obj(), nullptr) << n;
    }
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
    DIR* d = opendir(dir.path.c_str());
    int entries = 0;
    while (dirent* e = readdir(d))
        entries += e->d_name[0] != '.';
    closedir(d);
    EXPECT_EQ(entries, 1);
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
