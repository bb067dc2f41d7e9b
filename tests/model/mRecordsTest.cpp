#include "ObAttr.h"
#include "ObClassTypeOf.h"
#include "ScratchDir.h"
#include "TimelineTestDoc.h"
#include "mEvent.h"
#include "mLayer.h"
#include "mPlSample.h"
#include "mScale.h"
#include "mSkin.h"
#include "mTimeline.h"

#include <gtest/gtest.h>

#include <clocale>
#include <list>
#include <map>
#include <string>
#include <vector>

namespace {

// One attribute as a fresh object answers it: name, data type name, text of the default.
struct Attr
{
    std::string name, type, value;
    bool operator==(Attr const&) const = default;
};

std::ostream& operator<<(std::ostream& out, Attr const& a)
{
    return out << a.name << ":" << a.type << "=" << a.value;
}

std::vector<Attr> attrsOf(ObObj const& o)
{
    std::list<rtl::str> names;
    o.getAttrNames(names);
    std::vector<Attr> out;
    for (rtl::str const& n : names) {
        ObAttr a;
        rtl::str text;
        EXPECT_TRUE(o.getAttr(n, a)) << n.c();
        EXPECT_TRUE(o.getAttrAsString(n, text)) << n.c();
        out.push_back({n.c(), a.getCDataType(), text.c()});
    }
    return out;
}

// Gives every attribute a value other than its default: what a save must carry through.
void setEveryAttr(ObObj& o, int seed)
{
    std::list<rtl::str> names;
    o.getAttrNames(names);
    int i = seed;
    for (rtl::str const& n : names) {
        ObAttr a;
        o.getAttr(n, a);
        std::string const type = a.getCDataType();
        rtl::str text;
        ++i;
        if (type == "int")
            text.set("%i", 3 + i % 90); // within every range a document may hold
        else if (type == "float" || type == "double")
            text.set("%i.25", 1 + i % 500);
        else if (type == "bool")
            text = o.getAttrAsString(n, text) && text == "True" ? "False" : "True";
        else
            text.set("%s \xc3\xbc <%i> & \"q\"", n.c(), i);
        ASSERT_TRUE(o.setAttrByString(n, text, nullptr)) << n.c();
    }
}

std::map<std::string, std::vector<Attr>> everything()
{
    std::map<std::string, std::vector<Attr>> out;
    auto take = [&](char const* type, Obt* t) {
        for (unsigned r = 0; r < t->getCurrentTypeCount(); ++r) {
            unsigned const addr = t->myAddrsByRosterIndex[r];
            out[std::string(type) + "#" + std::to_string(addr)] = attrsOf(*t->objFromAddr(addr));
        }
    };
    take("mTimeline", tlObj::ourType_mTimeline);
    take("mLayer", tlObj::ourType_mLayer);
    take("mSkin", tlObj::ourType_mSkin);
    take("mEvent", tlObj::ourType_mEvent);
    take("mPlSample", tlObj::ourType_mPlSample);
    return out;
}

// Switches the process to a locale that writes reals with a decimal comma, for one test.
class CommaLocale
{
public:
    CommaLocale() : myOld(std::setlocale(LC_ALL, nullptr))
    {
        ok = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    }
    ~CommaLocale() { std::setlocale(LC_ALL, myOld.c_str()); }
    bool ok;

private:
    std::string myOld;
};

} // namespace

// A reused slot holds an object as a fresh one starts, whatever its last user left in it.
TEST(mRecords, AnObjectTakenAgainFromItsPoolStartsFromTheDefaults)
{
    TimelineTestDoc doc;
    auto expectReusedAsFresh = [](auto* type, int seed) {
        SCOPED_TRACE(seed);
        Obh fresh = type->make();
        std::vector<Attr> const defaults = attrsOf(*type->ptr(fresh));
        Obh h = type->make();
        setEveryAttr(*type->ptr(h), seed);
        unsigned const slot = h.getAddr();
        h.dealloc();
        Obh again = type->make();
        EXPECT_EQ(again.getAddr(), slot);
        EXPECT_EQ(attrsOf(*type->ptr(again)), defaults);
        return type->ptr(again);
    };
    mEvent* ev = expectReusedAsFresh(tlObj::ourType_mEvent, 1);
    EXPECT_FALSE(ev->getPayload().isValid());
    EXPECT_FALSE(ev->getLayerHdl().isValid());
    expectReusedAsFresh(tlObj::ourType_mLayer, 2);
    expectReusedAsFresh(tlObj::ourType_mPlSample, 3);
    mSkin* skin = expectReusedAsFresh(tlObj::ourType_mSkin, 4);
    // The skin's scene scales are 1 once it is made, whatever the record's own defaults say.
    EXPECT_EQ(skin->mSkinData::getSceneXScale(), 1);
    EXPECT_EQ(skin->mSkinData::getSceneYScale(), 1);
}

TEST(mRecords, EveryRecordRoundTripsUnderACommaDecimalLocale)
{
    CommaLocale locale;
    if (!locale.ok)
        GTEST_SKIP() << "the locale de_DE.UTF-8 is not installed (tools/deps generates it)";
    ScratchDir dir;
    std::string const path = dir.file("doc.xml");
    TimelineTestDoc doc;
    mTimeline& timeline = *doc.cmp.getCmpTimeline();
    setEveryAttr(timeline, 10);
    timeline.setLockToNowFlag(false); // a load always clears it
    setEveryAttr(*doc.cmp.getCmpSkin(), 20);
    // A document holds a sound model: its layers in the timeline at their places, its events
    // in a layer.
    for (int i = 0; i < 2; ++i) {
        Obh h = timeline.newLayer();
        mLayer* layer = tlObj::ourType_mLayer->ptr(h);
        setEveryAttr(*layer, 30 + i);
        layer->setIndex(i);
    }
    Obh ev = tlObj::ourType_mEvent->make();
    mEvent* event = tlObj::ourType_mEvent->ptr(ev);
    setEveryAttr(*event, 40);
    timeline.addEvent(ev, event->getStartTime(), event->getRowIndex(), timeline.getLayerHdls()[1],
                      true);
    Obh sample = tlObj::ourType_mPlSample->make();
    setEveryAttr(*tlObj::ourType_mPlSample->ptr(sample), 50);
    auto const saved = everything();
    ASSERT_EQ(saved.size(), 6u);
    EXPECT_EQ(saved.at("mEvent#0")[2].value, "44.250000") << "a real keeps its point";

    ASSERT_TRUE(saveTimelineDoc(doc.cmp, path));
    std::string message;
    ASSERT_TRUE(loadTimelineDoc(doc.cmp, path, &message)) << message;
    EXPECT_EQ(everything(), saved);
}
