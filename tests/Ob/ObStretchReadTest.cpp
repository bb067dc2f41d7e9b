#include "ObTestTypes.h"
#include "ScratchDir.h"
#include "XmlStretches.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

// The reading's settings for one test, put back when it ends.
struct Stretching
{
    XmlStretches::Settings saved = XmlStretches::settings();
    Stretching(std::size_t from, std::size_t bytes) { XmlStretches::settings() = {from, bytes, 3}; }
    ~Stretching() { XmlStretches::settings() = saved; }
};

// Every live object of the store by pool and slot, with the texts of its attributes, what its
// link resolves to and its settings.
std::map<std::string, std::string> contents(Store& s)
{
    std::map<std::string, std::string> out;
    auto add = [&](Obt& t) {
        for (uint32_t r = 0; r < t.getCurrentTypeCount(); ++r) {
            uint32_t const addr = t.myAddrsByRosterIndex[r];
            ObObj* o = t.objFromAddr(addr);
            std::string text;
            std::list<rtl::str> names;
            o->getAttrNames(names);
            for (auto const& n : names) {
                rtl::str v;
                o->getAttrAsString(n, v);
                text += std::string(n.cs()) + "=" + v.cs() + ";";
            }
            if (auto* l = dynamic_cast<Linker*>(o)) {
                text += "link=" +
                        std::to_string(l->myLinked ? s.recs.myRosterIndicesByAddr[l->myLink.myAddr]
                                                   : -1);
                if (l->mySettings) {
                    rtl::str colour;
                    text += l->mySettings->getAttrAsString(rtl::str("colour"), colour) ? colour.cs()
                                                                                       : "-";
                }
            }
            out[std::string(t.getName()) + "/" + std::to_string(addr)] = text;
        }
    };
    add(s.recs);
    add(s.plains);
    add(s.links);
    return out;
}

struct Loaded
{
    bool ok = false;
    std::map<std::string, std::string> objects;
    int postLoads = 0;
    int stretches = 0;
};

Loaded load(std::string const& path, bool stretched)
{
    Stretching setting =
        stretched ? Stretching(0, 3000) : Stretching(std::size_t(1) << 40, 1 << 20);
    Store s;
    s.recs.make(); // a live object that the load replaces
    HookCount::zero();
    s.engine.xmlReadPrep();
    DocReader doc(&s.engine);
    XmlReader reader;
    reader.pushHandler(&doc, nullptr);
    Loaded out;
    out.ok = reader.parseFile(path.c_str());
    s.engine.xmlReadPost(out.ok);
    out.objects = contents(s);
    out.postLoads = HookCount::postLoads;
    out.stretches = reader.course().stretches;
    return out;
}

} // namespace

// A store of a few thousand objects (texts beyond ASCII and with markup, freed slots, links and
// settings) read in stretches by several threads is the store one parse reads, object for object;
// damaged in the middle or followed by more after its root, both refuse it and keep nothing.
TEST(ObStore, ReadInStretchesEqualsOneParseObjectForObject)
{
    ScratchDir dir;
    std::string const file = dir.file("doc_data.xml");
    {
        Store s;
        std::vector<Obh> recs;
        char const* const names[] = {"plain", "caf\xc3\xa9 <&> \"q\"", "line\nbreak\ttab",
                                     "\xe2\x82\xac", ""};
        for (int i = 0; i < 3000; ++i) {
            Obh h = s.recs.make();
            Rec* r = s.recs.ptr(h);
            r->myName = rtl::str(names[i % 5]) + rtl::str(std::to_string(i).c_str());
            r->myN = i * 7 - 1000;
            r->myX = static_cast<float>(i) / 3.0f;
            r->myOn = i % 2;
            recs.push_back(h);
        }
        for (int i = 0; i < 3000; i += 17)
            s.recs.dealloc(&recs[static_cast<std::size_t>(i)]);
        for (int i = 0; i < 500; ++i) {
            s.plains.make();
            Obh l = s.links.make();
            Linker* k = s.links.ptr(l);
            k->myLink = recs[static_cast<std::size_t>(i * 5 + 1)];
            if (i % 3 == 0) {
                k->mySettings = new ObBin();
                k->mySettings->setAttr(rtl::str("colour"), i % 2 ? "r\xc3\xa9" : "blue");
            }
        }
        ASSERT_TRUE(saveObjects(s.engine, file));
    }
    Loaded const once = load(file, false);
    Loaded const cut = load(file, true);
    ASSERT_TRUE(once.ok);
    EXPECT_EQ(once.stretches, 0);
    EXPECT_GT(cut.stretches, 50);
    EXPECT_TRUE(cut.ok);
    EXPECT_EQ(cut.objects.size(), 3000u - 177 + 1000);
    EXPECT_EQ(cut.objects, once.objects);
    EXPECT_EQ(cut.postLoads, once.postLoads);

    std::string const text = readFile(file);
    std::string const damaged[] = {
        text.substr(0, text.size() / 2),
        std::string(text).insert(text.find("<addr _id=\"1500\""), "<addr _id=\"1500\"/>\n"),
        std::string(text).insert(text.find("<addr _id=\"2000\""), "<addr _id=\"x\"/>\n"),
        // What follows the root, past a comment longer than a stretch: a cut falls on it.
        text + "<!--" + std::string(4000, ' ') +
            "-->\n<attr _id=\"winX\" _t=\"int\" value=\"999\"/>\n",
    };
    for (std::string const& d : damaged) {
        writeFile(file, d);
        Loaded const a = load(file, false);
        Loaded const b = load(file, true);
        EXPECT_FALSE(a.ok);
        EXPECT_FALSE(b.ok);
        EXPECT_TRUE(a.objects.empty());
        EXPECT_TRUE(b.objects.empty());
        EXPECT_EQ(a.postLoads, 0);
        EXPECT_EQ(b.postLoads, 0);
    }
}
